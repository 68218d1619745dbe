// The macro editor ("MacroControl"): the device's macro list (add, delete, rename, import,
// export) and the events of the selected macro (load, save, reorder, insert, record).
//
// Event rows live in the panel until Save: "macro_action_list" shows one item per event (its
// text the event's name, press state and delay, its user data the event as compact JSON), and
// "macro_delay" edits the delay of the selected row.
#pragma once

#include <json/value.h>

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "keys/macro_event.h"
#include "keys/macro_library.h"
#include "keys/panels/key_panel_device.h"
#include "ui/control.h"
#include "ui/ui_services.h"

namespace korvane::keys::panels {

class CMacroControlUI {
  public:
    CMacroControlUI(ui::Control* root, ui::UiServices services, KeyPanelDevice* device = nullptr);

    void SetDevice(KeyPanelDevice* device) { device_ = device; }
    ui::Control* control() const { return root_.get(); }

    // ---- the macro list ----
    void SetFolder(const std::filesystem::path& folder);
    // Reads "macro.config", fills "macro_name_list" and shows the first macro's events.
    void LoadList();
    std::vector<std::string> MacroNames() const { return library_.names(); }
    const MacroLibrary& library() const { return library_; }
    int SelectedMacro() const;

    // "macro_btn_name_add": the new macro's name, or empty when nothing was added.
    std::string Add();
    // "macro_btn_name_sub": after the user confirms "message_text_4", deletes the selected
    // macro and renumbers the macro keys of every other profile of the device. Returns whether
    // a macro was deleted.
    bool Delete();
    // "macro_btn_name_edit": renames the selected macro to the text of "macro_edit_macroname".
    // Returns the new name, kRenameBlank for a blank name, or empty (taken, nothing selected).
    static constexpr std::string_view kRenameBlank = "IsEmpty";
    std::string Rename();
    // "itemselect" of "macro_name_list".
    void OnMacroSelected();
    // "macro_btn_import": the imported macro's name, or empty. A refused file, or one whose
    // delays had to be clamped, is explained in a message box.
    std::string Import(const std::filesystem::path& file);
    std::string ImportWithDialog();
    // "macro_btn_export": copies the selected macro's file to `file`.
    bool Export(const std::filesystem::path& file);
    bool ExportWithDialog();

    // ---- the events of the selected macro ----
    void LoadEvents();
    // "macro_btn_save".
    bool Save();
    // "macro_btn_cancel": back to the saved events.
    void Cancel() { LoadEvents(); }
    int EventCount() const { return static_cast<int>(rows_.size()); }
    int SelectedEvent() const;
    // The event of row `row` as it would be saved.
    std::optional<MacroEvent> EventAt(int row) const;
    std::string DelayAt(int row) const;

    // "itemselect" of "macro_action_list": shows the row's delay in "macro_delay".
    void OnEventSelected();
    // "killfocus" of "macro_delay": digits only (at most 6), above 65535 as 65535, into the
    // selected row.
    void OnDelayEdited();
    // "killfocus" of "macro_fixed_time_edit".
    void OnFixedDelayEdited() { FixedDelay(); }

    // "macro_btn_up", "macro_btn_down", "macro_btn_uptop", "macro_btn_downbottom",
    // "macro_btn_delete", "macro_btn_deleteall".
    void MoveUp();
    void MoveDown();
    void MoveTop();
    void MoveBottom();
    void DeleteEvent();
    void DeleteAll();

    enum class Direction { Left, Right, Up, Down };
    // "macro_inset_move…key_btn": a movement by the distance in "mouse_x_left_edit",
    // "mouse_x_right_edit", "mouse_y_up_edit" or "mouse_y_down_edit" (0–255), after the
    // selected row (at the end without one).
    bool InsertMove(Direction direction);
    // The macro action menu's "left_down" … "back_click": button events added by hand after the
    // selected row ("_click" adds a press and a release). Unknown commands add nothing.
    bool AddMouseEvents(std::string_view command);

    // The number in "macro_fixed_time_edit", limited to 0–65535 and written back.
    int FixedDelay();
    // Whether "macro_check_time" is selected (recording then uses the fixed delay).
    bool UseRecordedTime() const;

    // ---- recording ----
    void SetRecording(bool on);
    bool Recording() const { return recording_; }
    // "macro_btn_starredio": the recording state; returns the delay mode (2 with
    // "macro_check_time" selected, else 1).
    int StartRecording();
    // "macro_btn_stopredio": leaves the recording state and saves the macro.
    void StopRecording();

    enum class Place { Append, Before, After, Replace };
    // One recorded event (key or mouse) into the rows at `place`, relative to the selected
    // row. Delay mode 1 gives the previous recorded row the time since it (`tickMs`, limited
    // to 65535), 2 the fixed delay, 3 zero; the new row's delay is the fixed delay in mode 2,
    // else 0. Replace changes the selected row's key and keeps its delay. Nothing is added at
    // 4000 rows. Returns whether the event was taken.
    bool RecordEvent(const MacroEvent& event, Place place, int delayMode, std::int64_t tickMs);

    void ApplyLanguage() { renderRows(SelectedEvent()); }

  private:
    struct Row {
        Json::Value event;  // the event object (other members kept)
        std::string delay;  // the delay text
    };

    void fillNames(int select);
    void enableMacroControls(bool any);
    void showMessage(std::string_view key);
    void renderRows(int select);
    std::string rowText(const Row& row) const;
    // Inserts without showing; the caller renders with pendingSelection_.
    std::optional<int> insertRow(Row row, Place place);
    Row makeRow(const MacroEvent& event, std::string delay) const;
    void moveRow(int from, int to);
    void renumberOtherProfiles(int deleted);

    ui::ControlRef root_;
    ui::UiServices services_;
    KeyPanelDevice* device_;
    MacroLibrary library_;
    std::vector<Row> rows_;
    bool recording_ = false;
    int lastRecordedRow_ = -1;
    int pendingSelection_ = -1;
    std::int64_t lastRecordedTick_ = 0;

    ui::ControlRef names_, actions_, actionLayout_, moveLayout_, nameEdit_, nameTab_;
    ui::ControlRef actionHeader_, delayHeader_, delayEdit_, fixedDelay_, checkTime_;
    ui::ControlRef moveLeft_, moveRight_, moveUp_, moveDown_;
    ui::ControlRef startRecord_, stopRecord_, exportButton_, deleteButton_, renameButton_;
};

}  // namespace korvane::keys::panels
