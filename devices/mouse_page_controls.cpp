#include "devices/mouse_page_controls.h"

#include <string>

#include "devices/mouse_frames.h"
#include "devices/mouse_key_table.h"
#include "devices/mouse_settings_block.h"

namespace korvane::devices {

void declareMousePageControls(ui::RequiredControls& r) {
    using K = ui::ControlKind;
    const char* skin = kMousePageSkin;
    r.require(skin, {{"mouse_device_key_light", K::Container},
                     {"mouse_device_seting_layout", K::Container},
                     {"light_0_", K::Any},
                     {"logo", K::Label},
                     {"DeviceProfileItem", K::Container},
                     {"LightControlItem", K::Container},
                     {"MacroControlItem", K::Container},
                     {"KeySetControlItem", K::Container},
                     {"ShootControlItem", K::Container},
                     {"device_function_switch", K::Tab},
                     {"device_key_function_switch", K::Tab},
                     {"pointer_speed_slider", K::Slider},
                     {"pointer_precision_check", K::Option},
                     {"scrolls_page_check", K::Option},
                     {"scroll_speed_slider", K::Slider},
                     {"double_click_slider", K::Slider}});
    for (std::size_t n = 0; n < mouse::kStageCount; ++n) {
        const std::string i = std::to_string(n);
        r.require(skin, "DPI_layout_" + i, K::Container);
        r.require(skin, "DPI_enable_check_" + i, K::Option);
        r.require(skin, "DPI_select_check_" + i, K::Option);
        r.require(skin, "DPI_slider_" + i, K::Slider);
        r.require(skin, "DPI_edit_" + i, K::Edit);
        r.require(skin, "DPI_color_option_" + i, K::Button);
        r.require(skin, "polling_rate_option_" + i, K::Option);
    }
    for (std::size_t n = 0; n < mouse::kKeyPositionCount; ++n) {
        r.require(skin, "key_" + std::to_string(n), K::Button);
    }
    for (std::size_t n = 0; n < mouse::kMouseLedCount; ++n) {
        r.require(skin, "light_" + std::to_string(n), K::Button);
    }
}

}  // namespace korvane::devices
