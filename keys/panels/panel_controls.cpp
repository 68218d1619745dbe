#include "keys/panels/panel_controls.h"

#include "keys/gun_files.h"
#include "keys/key_coding.h"
#include "keys/panels/panel_text.h"

namespace korvane::keys::panels {

using ui::ControlKind;

void declareKeySetControls(ui::RequiredControls& r) {
    r.require(kKeySetControlSkin, {{"keyset_layout", ControlKind::Container},
                                   {"keyset_function_combo", ControlKind::Combo},
                                   {"function_switch_tablayout", ControlKind::Tab},
                                   {"key_butt_keydefalut", ControlKind::Button},
                                   {"key_butt_keysave", ControlKind::Button},
                                   {"key_butt_keycancel", ControlKind::Button},
                                   {"key_butt_prosave", ControlKind::Button},
                                   {"keyset_mousekey_combo", ControlKind::Combo},
                                   {"keyset_mouseswing_combo", ControlKind::Combo},
                                   {"keyset_mouseswing_num_edit", ControlKind::Edit},
                                   {"keyset_mouseswing_delay_edit", ControlKind::Edit},
                                   {"keyset_mouseswing_speed_edit", ControlKind::Edit},
                                   {"keyset_mousewheel_combo", ControlKind::Combo},
                                   {"keyset_mousewheel_num_edit", ControlKind::Edit},
                                   {"keyset_mousewheel_delay_edit", ControlKind::Edit},
                                   {"keyset_mousewheel_speed_edit", ControlKind::Edit},
                                   {"keyset_mousedpi_combo", ControlKind::Combo},
                                   {"keyset_mousefire_interval_edit", ControlKind::Edit},
                                   {"keyset_mousefire_num_edit", ControlKind::Edit},
                                   {"keyset_keyboard_text_edit", ControlKind::Edit},
                                   {"keyset_media_combo", ControlKind::Combo},
                                   {"keyset_system_combo", ControlKind::Combo},
                                   {"keyset_macro_combo", ControlKind::Combo},
                                   {"keyset_macro_over_combo", ControlKind::Combo},
                                   {"keyset_macro_cycle_layout", ControlKind::Container},
                                   {"keyset_macro_cycle_edit", ControlKind::Edit},
                                   {"keyset_gunkey_combo", ControlKind::Combo},
                                   {"keyset_combokey_combo", ControlKind::Combo},
                                   {"text_test", ControlKind::Label}});
    for (int i = 0; i < kModifierOptionCount; ++i) {
        r.require(kKeySetControlSkin, indexedName("key_ComBox_check_", i), ControlKind::Option);
    }
}

void declareMacroControls(ui::RequiredControls& r) {
    r.require(kMacroControlSkin, {{"macro_name_list", ControlKind::List},
                                  {"macro_action_list", ControlKind::List},
                                  {"macro_action_layout", ControlKind::Container},
                                  {"mouse_move_layout", ControlKind::Container},
                                  {"macro_edit_macroname", ControlKind::Edit},
                                  {"macro_name_tab", ControlKind::Any},
                                  {"macro_tab_macroaction_edit", ControlKind::Label},
                                  {"macro_tab_macrodelay_edit", ControlKind::Label},
                                  {"macro_delay", ControlKind::Edit},
                                  {"macro_fixed_time_edit", ControlKind::Edit},
                                  {"macro_check_time", ControlKind::Option},
                                  {"mouse_x_left_edit", ControlKind::Edit},
                                  {"mouse_x_right_edit", ControlKind::Edit},
                                  {"mouse_y_up_edit", ControlKind::Edit},
                                  {"mouse_y_down_edit", ControlKind::Edit},
                                  {"macro_btn_starredio", ControlKind::Button},
                                  {"macro_btn_stopredio", ControlKind::Button},
                                  {"macro_btn_export", ControlKind::Button},
                                  {"macro_btn_import", ControlKind::Button},
                                  {"macro_btn_name_add", ControlKind::Button},
                                  {"macro_btn_name_sub", ControlKind::Button},
                                  {"macro_btn_name_edit", ControlKind::Button},
                                  {"macro_btn_save", ControlKind::Button},
                                  {"macro_btn_cancel", ControlKind::Button},
                                  {"macro_btn_up", ControlKind::Button},
                                  {"macro_btn_down", ControlKind::Button},
                                  {"macro_btn_uptop", ControlKind::Button},
                                  {"macro_btn_downbottom", ControlKind::Button},
                                  {"macro_btn_delete", ControlKind::Button},
                                  {"macro_btn_deleteall", ControlKind::Button},
                                  {"macro_inset_moveleftkey_btn", ControlKind::Button},
                                  {"macro_inset_moverightkey_btn", ControlKind::Button},
                                  {"macro_inset_moveupkey_btn", ControlKind::Button},
                                  {"macro_inset_movedownkey_btn", ControlKind::Button}});
}

void declareShootControls(ui::RequiredControls& r) {
    for (int i = 0; i < kGunCount; ++i) {
        r.require(kShootControlSkin, indexedName("shoot_gun_op_", i), ControlKind::Option);
    }
    for (int i = 0; i < kShotCount; ++i) {
        r.require(kShootControlSkin, indexedName("bullet_op_", i), ControlKind::Option);
    }
    r.require(kShootControlSkin, {{"shootdate_import_btn", ControlKind::Button},
                                  {"shootdate_export_btn", ControlKind::Button},
                                  {"shootdate_save_btn", ControlKind::Button},
                                  {"shootdate_reset_btn", ControlKind::Button},
                                  {"shoot_image_display_switch", ControlKind::Tab},
                                  {"bullet_edit_layout", ControlKind::Container},
                                  {"bullet_select_index", ControlKind::Label},
                                  {"bullet_selected_prev", ControlKind::Button},
                                  {"bullet_selected_next", ControlKind::Button},
                                  {"bullet_x_check", ControlKind::Option},
                                  {"bullet_y_check", ControlKind::Option},
                                  {"bullet_x_eidt", ControlKind::Edit},
                                  {"bullet_y_eidt", ControlKind::Edit},
                                  {"bullet_delay_eidt", ControlKind::Edit}});
}

void declareKeyPanelControls(ui::RequiredControls& required) {
    declareKeySetControls(required);
    declareMacroControls(required);
    declareShootControls(required);
}

}  // namespace korvane::keys::panels
