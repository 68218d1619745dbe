// The panel's skin file holds every control the panel looks up, with a fitting kind, and the
// language files every text the panel sets. (The Qt test loads the file for real; this one
// reads the Designer XML as text so it runs without Qt.)
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <regex>

#include "lighting/panel/light_panel_controls.h"
#include "lighting/panel/light_panel_language.h"
#include "tests/files/temp_folder.h"
#include "ui/control_kind.h"
#include "ui/language.h"
#include "ui/skin_file.h"

namespace korvane::lighting::panel {
namespace {

std::filesystem::path skinFolder() {
    const char* source = std::getenv("KORVANE_SOURCE_DIR");
    return std::filesystem::path(source != nullptr ? source : ".") / "skin";
}

std::string skinText() {
    return korvane::testing::readText(skinFolder() / ui::skinFileName(kLightControlSkin));
}

// The text of the widget element named `name` (up to the next widget), or "".
std::string widgetText(const std::string& text, const std::string& name) {
    const std::size_t at = text.find("name=\"" + name + "\"");
    if (at == std::string::npos) {
        return {};
    }
    const std::size_t end = text.find("<widget", at);
    return text.substr(at, end == std::string::npos ? std::string::npos : end - at);
}

TEST(LightPanelSkin, EveryDeclaredControlIsThereWithAFittingKind) {
    const std::string text = skinText();
    ASSERT_FALSE(text.empty());
    static const std::regex widget(R"re(<widget\s+class="([^"]+)"\s+name="([^"]+)")re");
    std::map<std::string, std::string> classes;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), widget);
         it != std::sregex_iterator(); ++it) {
        EXPECT_TRUE(classes.emplace((*it)[2].str(), (*it)[1].str()).second)
            << "two widgets named " << (*it)[2].str();
    }
    ui::RequiredControls required;
    declareLightPanelControls(required);
    ASSERT_EQ(required.skinFiles(), std::vector<std::string>{ui::skinFileName(kLightControlSkin)});
    for (const ui::RequiredControl& c : required.entries()) {
        const auto it = classes.find(c.name);
        ASSERT_NE(it, classes.end()) << c.name;
        // The palette is the skin's own class.
        const ui::ControlKind kind = it->second == "ColorPalette"
                                         ? ui::ControlKind::Container
                                         : ui::kindForClassName(it->second);
        EXPECT_TRUE(ui::kindFits(c.kind, kind)) << c.name << " is a " << it->second;
    }
    EXPECT_EQ(classes["deng_Color_Pallet"], "ColorPalette");
}

TEST(LightPanelSkin, PresetsCarryColoursAndTheDirectionsFormOneGroup) {
    const std::string text = skinText();
    static const std::regex colour(R"re(#[0-9A-Fa-f]{8})re");
    for (int n = 0; n < kColourOptionCount; ++n) {
        const std::string option = widgetText(text, "color_option_" + std::to_string(n));
        EXPECT_NE(option.find("name=\"bkcolor\""), std::string::npos) << n;
        EXPECT_TRUE(std::regex_search(option, colour)) << n;
    }
    for (const char* name : {"deng_FXL_check", "deng_FXR_check"}) {
        EXPECT_NE(widgetText(text, name).find("light_fx_group"), std::string::npos) << name;
    }
    // What the layout shows only for some modes starts hidden.
    for (const char* name :
         {"deng_same_mode", "lightcustom_layout", "light_combo_ZZCCmodeSelectLayout",
          "light_combo_AudiomodeSelectLayout"}) {
        EXPECT_NE(widgetText(text, name).find("<property name=\"visible\"><bool>false</bool>"),
                  std::string::npos)
            << name;
    }
}

TEST(LightPanelLanguages, EveryTextThePanelSetsIsThereInBothLanguages) {
    for (const char* code : {"en", "cn"}) {
        ui::Language language;
        std::string error;
        ASSERT_TRUE(language.load(ui::Language::fileFor(skinFolder(), code), &error)) << error;
        for (std::string_view key : lightPanelLanguageKeys()) {
            EXPECT_TRUE(language.contains(key)) << code << ": " << key;
        }
    }
}

}  // namespace
}  // namespace korvane::lighting::panel
