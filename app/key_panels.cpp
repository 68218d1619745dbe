#include "app/key_panels.h"

#include "devices/mouse_device.h"

#include "ui/control_lookup.h"
#include "ui/control_name.h"

namespace korvane::app {
namespace {

using keys::panels::CMacroControlUI;

constexpr const char* kMouseMenuCommands[] = {
    "left_down",   "left_up",   "left_click",   "middle_down",  "middle_up",  "middle_click",
    "right_down",  "right_up",  "right_click",  "forward_down", "forward_up", "forward_click",
    "back_down",   "back_up",   "back_click"};

}  // namespace

KeyPanels::KeyPanels(devices::CKorvaneMouseDevice& mouse, ui::UiServices services, PopupMenu menu)
    : mouse_(mouse), services_(services), menu_(std::move(menu)) {
    adapter_ = std::make_unique<devices::MouseKeyPanelDevice>(mouse, [this](const std::vector<std::string>& names) {
        if (keySet_) keySet_->SetMacroNames(names);
    });
    if (ui::Control* item = mouse.panelItem("KeySetControlItem")) {
        keySet_ = std::make_unique<keys::panels::CKeySetControlUI>(item, services_, adapter_.get());
        keySet_->SetKind(static_cast<int>(mouse.kind()));
        keySet_->SetMacroNames(mouse.macroNames());
    }
    if (ui::Control* item = mouse.panelItem("MacroControlItem")) {
        macros_ = std::make_unique<CMacroControlUI>(item, services_, adapter_.get());
        macros_->SetFolder(mouse.deviceDataFolder());
        macros_->LoadList();
    }
    if (ui::Control* item = mouse.panelItem("ShootControlItem")) {
        shoot_ = std::make_unique<keys::panels::CShootControlUI>(item, services_);
        shoot_->SetFolders(mouse.deviceDataFolder(), mouse.defaultDataFolder());
        shoot_->Initialise();
    }
}

std::vector<MenuItem> KeyPanels::macroActionMenu(const ui::Language& language) {
    std::vector<MenuItem> items;
    for (const char* command : kMouseMenuCommands) {
        items.push_back({command, language.text(std::string("macro_menu_") + command)});
    }
    return items;
}

void KeyPanels::showKey(int position) {
    if (!keySet_ || position < 0 || static_cast<size_t>(position) >= mouse_.keyList().size()) {
        return;
    }
    mouse_.ShowSubPage(2);
    keySet_->SetKey(mouse_.keyList()[static_cast<size_t>(position)]);
    keySet_->Open();
}

bool KeyPanels::route(const ui::Notification& n) {
    return routeKeySet(n) || routeMacros(n) || routeShoot(n);
}

bool KeyPanels::routeKeySet(const ui::Notification& n) {
    if (!keySet_) return false;
    auto& p = *keySet_;
    if (n.is(ui::notify::kClick)) {
        if (n.from("key_butt_keysave")) p.SaveKey();
        else if (n.from("key_butt_keydefalut")) p.RestoreDefault();
        else if (n.from("key_butt_keycancel")) p.Cancel();
        else if (n.from("key_butt_prosave")) p.SaveToDevice();
        else return false;
        return true;
    }
    if (n.is(ui::notify::kItemSelect)) {
        if (n.from("keyset_function_combo")) p.OnFunctionSelected();
        else if (n.from("keyset_macro_over_combo")) p.OnRunModeSelected();
        else return false;
        return true;
    }
    if (n.is(ui::notify::kKillFocus)) {
        static constexpr const char* kEdits[] = {
            "keyset_mouseswing_num_edit",  "keyset_mouseswing_delay_edit",  "keyset_mouseswing_speed_edit",
            "keyset_mousewheel_num_edit",  "keyset_mousewheel_delay_edit",  "keyset_mousewheel_speed_edit",
            "keyset_mousefire_interval_edit", "keyset_mousefire_num_edit", "keyset_macro_cycle_edit"};
        for (const char* name : kEdits) {
            if (n.from(name)) {
                p.OnEditKillFocus(name);
                return true;
            }
        }
    }
    return false;
}

bool KeyPanels::routeMacros(const ui::Notification& n) {
    if (!macros_) return false;
    auto& p = *macros_;
    if (n.is(ui::notify::kClick)) {
        using D = CMacroControlUI::Direction;
        if (n.from("macro_btn_name_add")) p.Add();
        else if (n.from("macro_btn_name_sub")) p.Delete();
        else if (n.from("macro_btn_name_edit")) p.Rename();
        else if (n.from("macro_btn_save")) p.Save();
        else if (n.from("macro_btn_cancel")) p.Cancel();
        else if (n.from("macro_btn_up")) p.MoveUp();
        else if (n.from("macro_btn_down")) p.MoveDown();
        else if (n.from("macro_btn_uptop")) p.MoveTop();
        else if (n.from("macro_btn_downbottom")) p.MoveBottom();
        else if (n.from("macro_btn_delete")) p.DeleteEvent();
        else if (n.from("macro_btn_deleteall")) p.DeleteAll();
        else if (n.from("macro_btn_import")) p.ImportWithDialog();
        else if (n.from("macro_btn_export")) p.ExportWithDialog();
        else if (n.from("macro_btn_starredio")) p.StartRecording();
        else if (n.from("macro_btn_stopredio")) p.StopRecording();
        // Names compared exactly, as the window always did for these four.
        else if (n.senderName == "macro_inset_moveleftkey_btn") p.InsertMove(D::Left);
        else if (n.senderName == "macro_inset_moverightkey_btn") p.InsertMove(D::Right);
        else if (n.senderName == "macro_inset_moveupkey_btn") p.InsertMove(D::Up);
        else if (n.senderName == "macro_inset_movedownkey_btn") p.InsertMove(D::Down);
        else return false;
        return true;
    }
    if (n.is(ui::notify::kItemSelect)) {
        if (n.from("macro_name_list")) p.OnMacroSelected();
        else if (n.from("macro_action_list")) p.OnEventSelected();
        else return false;
        return true;
    }
    if (n.is(ui::notify::kKillFocus)) {
        if (n.from("macro_delay")) p.OnDelayEdited();
        else if (n.from("macro_fixed_time_edit")) p.OnFixedDelayEdited();
        else return false;
        return true;
    }
    if (n.is(ui::notify::kItemActivate) && (n.from("macro_action_list") || n.from("macro_action"))) {
        if (menu_) {
            if (auto command = menu_(macroActionMenu(services_.language))) {
                p.AddMouseEvents(*command);
            }
        }
        return true;
    }
    return false;
}

bool KeyPanels::routeShoot(const ui::Notification& n) {
    if (!shoot_) return false;
    auto& p = *shoot_;
    if (n.is(ui::notify::kClick)) {
        // A changed gun file reaches the mouse at once: the four guns go as one image.
        if (n.from("shootdate_save_btn")) {
            p.SaveShot();
            mouse_.UploadShootData();
        } else if (n.from("shootdate_reset_btn")) {
            p.ResetGun();
            mouse_.UploadShootData();
        } else if (n.from("shootdate_import_btn")) {
            if (p.ImportWithDialog()) mouse_.UploadShootData();
        } else if (n.from("bullet_selected_prev")) {
            p.PreviousShot();
        } else if (n.from("bullet_selected_next")) {
            p.NextShot();
        } else if (n.from("shootdate_export_btn")) {
            p.ExportWithDialog();
        } else {
            return false;
        }
        return true;
    }
    if (n.is(ui::notify::kSelectChanged)) {
        if (auto gun = ui::indexAfterPrefix(n.senderName, "shoot_gun_op_")) {
            if (n.sender != nullptr && n.sender->selected()) p.OnGunOption(*gun);
            return true;
        }
        if (auto shot = ui::indexAfterPrefix(n.senderName, "bullet_op_")) {
            if (n.sender != nullptr && n.sender->selected()) p.OnShotOption(*shot);
            return true;
        }
        if (n.from("bullet_x_check") || n.from("bullet_y_check")) {
            p.OnDirectionChanged();
            return true;
        }
        return false;
    }
    if (n.is(ui::notify::kKillFocus)) {
        for (const char* name : {"bullet_x_eidt", "bullet_y_eidt", "bullet_delay_eidt"}) {
            if (n.from(name)) {
                p.OnEditKillFocus(name);
                return true;
            }
        }
    }
    return false;
}

}  // namespace korvane::app
