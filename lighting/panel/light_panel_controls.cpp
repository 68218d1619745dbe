#include "lighting/panel/light_panel_controls.h"

#include <algorithm>
#include <string>

#include "lighting/panel/light_panel_language.h"
#include "lighting/panel/panel_layout.h"

namespace korvane::lighting::panel {

void declareLightPanelControls(ui::RequiredControls& required) {
    using K = ui::ControlKind;
    required.require(kLightControlSkin, {{name::kModeCombo, K::Combo},
                                         {name::kCustomCombo, K::Combo},
                                         {name::kZZCCCombo, K::Combo},
                                         {name::kLightSlider, K::Slider},
                                         {name::kSpeedSlider, K::Slider},
                                         {name::kEditRed, K::Edit},
                                         {name::kEditGreen, K::Edit},
                                         {name::kEditBlue, K::Edit},
                                         {name::kPalette, K::Any},
                                         {name::kPreview, K::Any},
                                         {name::kMultiColour, K::Option},
                                         {name::kFxLeft, K::Option},
                                         {name::kFxRight, K::Option},
                                         {name::kSameMode, K::Button},
                                         {name::kCustomBright, K::Button},
                                         {name::kCustomOff, K::Button},
                                         {name::kEffectLayout, K::Container},
                                         {name::kColourLayout, K::Container},
                                         {name::kPaletteLayout, K::Container},
                                         {name::kLightLayout, K::Container},
                                         {name::kSpeedLayout, K::Container},
                                         {name::kFxLayout, K::Container},
                                         {name::kLightColourLayout, K::Container},
                                         {name::kCustomLayout, K::Container},
                                         {name::kZZCCLayout, K::Container},
                                         {name::kAudioLayout, K::Container},
                                         {name::kColourTabs, K::Tab}});
    for (int n = 0; n < kColourOptionCount; ++n) {
        required.require(kLightControlSkin,
                         std::string(name::kColourOptionPrefix) + std::to_string(n), K::Button);
    }
}

std::vector<std::string_view> lightPanelLanguageKeys() {
    std::vector<std::string_view> keys(kZZCCModeKeys.begin(), kZZCCModeKeys.end());
    keys.insert(keys.end(), kCustomGroupKeys.begin(), kCustomGroupKeys.end());
    keys.push_back(kFxLeftDefaultKey);
    keys.push_back(kFxRightDefaultKey);
    for (LightKind kind : {LightKind::Keyboard, LightKind::Mouse, LightKind::MousePad}) {
        for (int mode = 0; mode < 64; ++mode) {
            const ModeLayout* layout = layoutFor(kind, mode);
            if (layout != nullptr && !layout->fxLeftKey.empty()) {
                for (std::string_view key : {layout->fxLeftKey, layout->fxRightKey}) {
                    if (std::find(keys.begin(), keys.end(), key) == keys.end()) {
                        keys.push_back(key);
                    }
                }
            }
        }
    }
    return keys;
}

}  // namespace korvane::lighting::panel
