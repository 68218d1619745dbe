// The panels' skin files hold every control the panels look up, with a fitting kind, and the
// language files hold every text they show, in both languages. (The Qt skin check loads the
// files for real; this one reads the Designer XML as text so it runs without Qt.)
#include <gtest/gtest.h>

#include <map>
#include <regex>

#include "keys/panels/panel_controls.h"
#include "keys/panels/panel_language.h"
#include "tests/files/temp_folder.h"
#include "ui/control_kind.h"
#include "ui/language.h"

namespace korvane::keys::panels {
namespace {

std::filesystem::path skinFolder() {
    return std::filesystem::path(KORVANE_SOURCE_ROOT) / "skin";
}

// Object name → widget class of every widget in a Designer file.
std::map<std::string, std::string> widgets(const std::filesystem::path& file) {
    const std::string text = korvane::testing::readText(file);
    static const std::regex widget(R"re(<widget\s+class="([^"]+)"\s+name="([^"]+)")re");
    std::map<std::string, std::string> found;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), widget);
         it != std::sregex_iterator(); ++it) {
        found.emplace((*it)[2].str(), (*it)[1].str());
    }
    return found;
}

TEST(KeyPanelSkins, EveryDeclaredControlIsThere) {
    ui::RequiredControls required;
    declareKeyPanelControls(required);
    ASSERT_EQ(required.skinFiles().size(), 3u);
    for (const std::string& file : required.skinFiles()) {
        const auto found = widgets(skinFolder() / file);
        ASSERT_FALSE(found.empty()) << file;
        for (const ui::RequiredControl& c : required.entries()) {
            if (c.skinFile != file) {
                continue;
            }
            const auto it = found.find(c.name);
            ASSERT_NE(it, found.end()) << file << ": " << c.name;
            EXPECT_TRUE(ui::kindFits(c.kind, ui::kindForClassName(it->second)))
                << file << ": " << c.name << " is a " << it->second;
        }
    }
}

TEST(KeyPanelSkins, FunctionPagesAndGunImagesAreIndexedByNumber) {
    // The function tab's page n is function n (0–11); the gun image tab has a page per gun.
    const std::string keyset =
        korvane::testing::readText(skinFolder() / "XML/CustomControlXML/KeySetControl.ui");
    for (int page = 0; page < 12; ++page) {
        EXPECT_NE(keyset.find("name=\"keyset_page_" + std::to_string(page) + "\""),
                  std::string::npos)
            << page;
    }
    const std::string shoot =
        korvane::testing::readText(skinFolder() / "XML/CustomControlXML/ShootControl.ui");
    for (int gun = 0; gun < 4; ++gun) {
        EXPECT_NE(shoot.find("name=\"shoot_image_" + std::to_string(gun) + "\""),
                  std::string::npos);
    }
}

TEST(KeyPanelLanguages, EveryTextIsThereInBothLanguages) {
    for (const char* code : {"en", "cn"}) {
        ui::Language language;
        std::string error;
        ASSERT_TRUE(language.load(ui::Language::fileFor(skinFolder(), code), &error)) << error;
        for (std::string_view key : keyPanelLanguageKeys()) {
            EXPECT_TRUE(language.contains(key)) << code << ": " << key;
        }
        EXPECT_NE(language.text("message_text_16").find("%d"), std::string::npos) << code;
    }
}

}  // namespace
}  // namespace korvane::keys::panels
