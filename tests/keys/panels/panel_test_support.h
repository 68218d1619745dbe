// What the key panel tests share: a panel built as a plain control tree from the declared
// control names (so the tests use exactly the names the skin must have), the window services
// without a window, and a device that records what the panels ask of it.
#pragma once

#include <json/value.h>

#include <cctype>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "keys/panels/key_panel_device.h"
#include "keys/panels/panel_controls.h"
#include "platform/files/json_document.h"
#include "profile/basic_profile_data.h"
#include "tests/files/temp_folder.h"
#include "ui/file_dialog.h"
#include "ui/language.h"
#include "ui/manual_dispatcher.h"
#include "ui/memory_control.h"
#include "ui/message_box.h"
#include "ui/skin_file.h"
#include "ui/ui_services.h"

namespace korvane::keys::panels::testing {

using korvane::testing::TempFolder;

// Every control declared for `skinFile`, flat under one root. Tabs get `pages` empty pages;
// options whose names share a prefix ending in "_" form an exclusive group.
inline std::unique_ptr<ui::MemoryControl> buildPanel(std::string_view skinFile, int pages) {
    ui::RequiredControls required;
    declareKeyPanelControls(required);
    auto root = std::make_unique<ui::MemoryControl>("Container", "panel");
    const std::string file = ui::skinFileName(skinFile);
    for (const ui::RequiredControl& c : required.entries()) {
        if (c.skinFile != file) {
            continue;
        }
        std::string_view className = "Container";
        switch (c.kind) {
            case ui::ControlKind::Label:
                className = "Label";
                break;
            case ui::ControlKind::Button:
                className = "Button";
                break;
            case ui::ControlKind::Option:
                className = "Option";
                break;
            case ui::ControlKind::Edit:
                className = "Edit";
                break;
            case ui::ControlKind::Combo:
                className = "Combo";
                break;
            case ui::ControlKind::List:
                className = "List";
                break;
            case ui::ControlKind::Tab:
                className = "TabLayout";
                break;
            default:
                break;
        }
        ui::MemoryControl& control = root->add(className, c.name);
        if (c.kind == ui::ControlKind::Tab) {
            for (int p = 0; p < pages; ++p) {
                control.add("Container", c.name + "_page" + std::to_string(p));
            }
            control.selectPage(0);
        }
        const std::size_t cut = c.name.rfind('_');
        if (c.kind == ui::ControlKind::Option && cut != std::string::npos &&
            cut + 1 < c.name.size() && std::isdigit(static_cast<unsigned char>(c.name[cut + 1]))) {
            control.setAttribute("group", c.name.substr(0, cut + 1));
        }
    }
    return root;
}

inline ui::MemoryControl& child(ui::MemoryControl& root, std::string_view name) {
    auto* control = dynamic_cast<ui::MemoryControl*>(root.find(name));
    if (control == nullptr) {
        throw std::runtime_error("no control " + std::string(name));
    }
    return *control;
}

struct Services {
    Services() {
        language.loadFromText(R"({
            "keyboard_key_A": "A", "keyboard_key_Space": "Space",
            "custem_copy": "Copy", "message_text_16": "Too large by %d units",
            "mouse_move_to_left_text": "Left", "mouse_move_to_right_text": "Right",
            "mouse_move_to_up_text": "Up", "mouse_move_to_down_text": "Down",
            "macro_state_down": "down", "macro_state_up": "up", "macro_delay_ms": "ms"
        })");
    }
    ui::UiServices bundle() { return ui::UiServices{dispatcher, messages, files, language}; }

    ui::ManualDispatcher dispatcher;
    ui::MemoryMessageBox messages;
    ui::MemoryFileDialog files;
    ui::Language language;
};

// A device with a real profile object over a temporary folder.
class FakeDevice : public KeyPanelDevice {
  public:
    explicit FakeDevice(int kind = 2) : kind_(kind) {}

    int kind() const override { return kind_; }
    std::filesystem::path deviceDataFolder() const override { return folder.path(); }
    std::filesystem::path defaultDataFolder() const override { return defaults.path(); }
    profile::CBasicProfiledata& profileData() override { return profile; }
    std::vector<std::filesystem::path> profileFiles() const override { return profiles; }
    void storeKeyAssignment(std::size_t position, const KeyAssignment& a) override {
        stored.emplace_back(position, a);
    }
    int uploadUsedMacros() override {
        calls.push_back("upload");
        return uploadResult;
    }
    void writeKeyTable() override { calls.push_back("keys"); }
    void saveProfile() override { calls.push_back("save"); }
    void macroListChanged() override { calls.push_back("names"); }
    void macroDeleted(int number) override { calls.push_back("deleted " + std::to_string(number)); }

    // A profile file whose "KeyList" holds these (current, default) pairs.
    std::filesystem::path addProfile(
        const std::string& name, const std::vector<std::pair<KeyAssignment, KeyAssignment>>& keys) {
        Json::Value document;
        document["profilename"] = name;
        for (std::size_t i = 0; i < keys.size(); ++i) {
            Json::Value& key = document["Device"][0]["KeyList"][Json::ArrayIndex(i)];
            key["Assignment"] = keys[i].first.packed();
            key["DefaultAssignment"] = keys[i].second.packed();
        }
        const std::filesystem::path file = folder / (name + ".Json");
        files::WriteJsonDocument(file, document);
        profiles.push_back(file);
        return file;
    }

    TempFolder folder;
    TempFolder defaults;
    profile::CBasicProfiledata profile;
    std::vector<std::filesystem::path> profiles;
    std::vector<std::pair<std::size_t, KeyAssignment>> stored;
    std::vector<std::string> calls;
    int uploadResult = 0;

  private:
    int kind_;
};

}  // namespace korvane::keys::panels::testing
