#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ui/memory_control.h"
#include "ui/required_controls.h"

namespace korvane::ui {
namespace {

TEST(RequiredControls, ReportsMissingAndMistypedControlsPerSkinFile) {
    RequiredControls required;
    required.require("XML\\CustomControlXML\\LightControl.xml",
                     {{"light_combo_modeSelect", ControlKind::Combo},
                      {"deng_light_slider", ControlKind::Slider},
                      {"DENG_same_mode", ControlKind::Button},  // an option serves as a button
                      {"deng_colordp_btn", ControlKind::Any},
                      {"deng_edit_R", ControlKind::Edit},            // is a label
                      {"deng_7color_check", ControlKind::Option}});  // missing
    required.require("main.ui", "closebtn", ControlKind::Button);
    required.require("gone.xml", "anything", ControlKind::Any);
    EXPECT_EQ(
        required.skinFiles(),
        (std::vector<std::string>{"XML/CustomControlXML/LightControl.ui", "main.ui", "gone.ui"}));

    std::map<std::string, int> opened;
    const SkinOpener open = [&](const std::string& file,
                                std::string* error) -> std::shared_ptr<Control> {
        ++opened[file];
        if (file == "XML/CustomControlXML/LightControl.ui") {
            auto root = std::make_shared<MemoryControl>("HorizontalLayout", "LightSetControlUI");
            root->add("Combo", "light_combo_modeSelect");
            root->add("Slider", "deng_light_slider");
            root->add("Option", "deng_same_mode");
            root->add("Label", "deng_colordp_btn");
            root->add("Label", "deng_edit_R");
            return root;
        }
        if (file == "main.ui") {
            auto root = std::make_shared<MemoryControl>("Window", "root");
            root->add("Container", "caption").add("Button", "closebtn");
            return root;
        }
        *error = "no such file";
        return nullptr;
    };
    EXPECT_EQ(checkRequiredControls(required, open),
              (std::vector<std::string>{
                  "XML/CustomControlXML/LightControl.ui: \"deng_edit_R\" is a label, expected edit",
                  "XML/CustomControlXML/LightControl.ui: \"deng_7color_check\" is missing",
                  "gone.ui: cannot load (no such file)"}));
    for (const auto& [file, count] : opened) {
        EXPECT_EQ(count, 1) << file;
    }
}

}  // namespace
}  // namespace korvane::ui
