#include "lighting/panel/light_change.h"

namespace korvane::lighting::panel {

void commitLightEffect(LightingTarget& device, const LightEffect& effect, ScreenSize screen,
                       const CommitOptions& options) {
    const LightWords words = packLightEffect(effect);
    device.SetLightEffect(words.word1, words.word2, words.word3, words.word4);
    device.SaveProfile();
    if (options.reload) {
        device.LoadProfile();
    }
    if (options.afterReload) {
        options.afterReload();
    }
    device.WriteDeviceSettings(0, 0, 1, screen.width, screen.height);
}

LightEffect currentLightEffect(const LightingTarget& device) {
    return unpackLightEffect(device.GetLightEffect());
}

}  // namespace korvane::lighting::panel
