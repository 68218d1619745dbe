// The key assignment panel ("KeySetControl"): shows one key's assignment on the page of its
// function and builds a new assignment from the user's choices. It never writes the profile
// itself; its buttons hand the result to the device.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "keys/key_assignment.h"
#include "keys/panels/key_panel_device.h"
#include "profile/profile_records.h"
#include "ui/control.h"
#include "ui/ui_services.h"

namespace korvane::keys::panels {

class CKeySetControlUI {
  public:
    // `root` is the panel's control; the controls are looked up below it once, here.
    CKeySetControlUI(ui::Control* root, ui::UiServices services, KeyPanelDevice* device = nullptr);

    void SetDevice(KeyPanelDevice* device) { device_ = device; }
    ui::Control* control() const { return root_.get(); }

    // Kind 1 (keyboard) hides the sensitivity and gun-key functions.
    void SetKind(int kind);
    void SetMacroNames(const std::vector<std::string>& names);
    // Keeps the entry and shows its current assignment.
    void SetKey(const profile::KeyListEntry& entry);
    const profile::KeyListEntry& key() const { return entry_; }

    void ShowAssignment(const KeyAssignment& assignment);
    void ShowDefault();
    void ShowCurrent();
    // The assignment the panel's state stands for; it also becomes the entry's current one.
    KeyAssignment BuildAssignment();

    // ---- routed by the main window ----
    // "itemselect" of "keyset_function_combo": show the chosen function's page.
    void OnFunctionSelected();
    // "itemselect" of "keyset_macro_over_combo": the repeat count shows for run mode 4 only.
    void OnRunModeSelected();
    // "killfocus" of the number edits: the number is limited to its field's range and written
    // back.
    void OnEditKillFocus(std::string_view name);
    // The window's key hook, while "keyset_keyboard_text_edit" has the focus: `evdevCode` is
    // the Linux key code (keys::evdevCodeForX11Keycode for a Qt native scan code). A modifier
    // selects its option; a key with a HID usage becomes the field's key. Returns whether the
    // key was taken.
    bool OnKeyCaptured(int evdevCode);
    // "key_butt_keysave": build, hand to the device, close.
    void SaveKey();
    // "key_butt_keydefalut": show the default, close.
    void RestoreDefault();
    // "key_butt_keycancel": show the current assignment again, close.
    void Cancel();
    // "key_butt_prosave": the device uploads the used macros (telling the user when that
    // fails or does not fit), writes its key table and saves the profile.
    void SaveToDevice();

    // Shows / hides the panel.
    void Open();
    void Close();
    // Fills the lists with the texts of the current language (selections stay).
    void ApplyLanguage();

    // The language text of an assignment's name (empty when it has none).
    std::string AssignmentName(const KeyAssignment& assignment) const;

  private:
    void fillLists();
    void fillList(ui::Control* list, const std::vector<std::string_view>& keys,
                  bool functionData = false);
    void resetPages();
    int selectedFunction() const;
    int selectedModifierOption() const;
    void showModifierOption(int option);
    void showKeyboardKey(uint8_t usage);
    void showMacro(const KeyAssignment& a);
    void limitEdit(ui::Control* edit, int low, int high);
    std::string text(std::string_view key) const;

    ui::ControlRef root_;
    ui::UiServices services_;
    KeyPanelDevice* device_;
    profile::KeyListEntry entry_;
    int kind_ = 0;
    int macroCount_ = 0;
    uint8_t keyUsage_ = 0;  // the key shown in "keyset_keyboard_text_edit"

    ui::ControlRef layout_, functions_, pages_;
    ui::ControlRef mouseKeys_, swingDirection_, swingCount_, swingDelay_, swingSpeed_;
    ui::ControlRef wheelDirection_, wheelCount_, wheelDelay_, wheelSpeed_;
    ui::ControlRef sensitivity_, fireInterval_, fireCount_, keyText_, media_, system_;
    ui::ControlRef macros_, runMode_, cycleLayout_, cycleCount_, guns_, combinations_;
    std::array<ui::ControlRef, 5> modifierOptions_;
};

}  // namespace korvane::keys::panels
