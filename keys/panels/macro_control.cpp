#include "keys/panels/macro_control.h"

#include <json/writer.h>

#include <algorithm>
#include <array>
#include <system_error>

#include "keys/key_coding.h"
#include "keys/macro_numbers.h"
#include "platform/files/json_fields.h"
#include "profile/basic_profile_data.h"
#include "ui/control_lookup.h"

namespace korvane::keys::panels {
namespace {

const ui::FileFilter kMacroFilter{"Macro Files(*.mac)", "*.mac"};

std::string compactJson(const Json::Value& value) {
    Json::StreamWriterBuilder builder;
    builder["indentation"] = "";
    return Json::writeString(builder, value);
}

int clampedNumber(const ui::Control* edit, int high) {
    return edit != nullptr ? std::clamp(readDecimal(edit->text()), 0, high) : 0;
}

// Digits only, at most six of them, and nothing above 65535.
std::string delayText(std::string_view typed) {
    std::string digits;
    for (char c : typed) {
        if (c >= '0' && c <= '9' && digits.size() < 6) {
            digits.push_back(c);
        }
    }
    if (!digits.empty() && readDecimal(digits) > kMaxDelay) {
        digits = std::to_string(kMaxDelay);
    }
    return digits;
}

struct MouseCommandButton {
    std::string_view name;
    uint8_t button;
};
constexpr std::array<MouseCommandButton, 5> kMouseCommandButtons = {{
    {"left", 0x01},
    {"right", 0x02},
    {"middle", 0x04},
    {"forward", 0x10},
    {"back", 0x08},
}};

bool samePath(const std::filesystem::path& a, const std::filesystem::path& b) {
    std::error_code error;
    const bool same = std::filesystem::equivalent(a, b, error);
    return error ? a.lexically_normal() == b.lexically_normal() : same;
}

}  // namespace

CMacroControlUI::CMacroControlUI(ui::Control* root, ui::UiServices services, KeyPanelDevice* device)
    : root_(root), services_(services), device_(device) {
    auto find = [&](std::string_view name) -> ui::ControlRef { return ui::find(root, name); };
    names_ = find("macro_name_list");
    actions_ = find("macro_action_list");
    actionLayout_ = find("macro_action_layout");
    moveLayout_ = find("mouse_move_layout");
    nameEdit_ = find("macro_edit_macroname");
    nameTab_ = find("macro_name_tab");
    actionHeader_ = find("macro_tab_macroaction_edit");
    delayHeader_ = find("macro_tab_macrodelay_edit");
    delayEdit_ = find("macro_delay");
    fixedDelay_ = find("macro_fixed_time_edit");
    checkTime_ = find("macro_check_time");
    moveLeft_ = find("mouse_x_left_edit");
    moveRight_ = find("mouse_x_right_edit");
    moveUp_ = find("mouse_y_up_edit");
    moveDown_ = find("mouse_y_down_edit");
    startRecord_ = find("macro_btn_starredio");
    stopRecord_ = find("macro_btn_stopredio");
    exportButton_ = find("macro_btn_export");
    deleteButton_ = find("macro_btn_name_sub");
    renameButton_ = find("macro_btn_name_edit");
    SetRecording(false);
}

// ---- the macro list ----

void CMacroControlUI::SetFolder(const std::filesystem::path& folder) {
    library_.setFolder(folder);
}

void CMacroControlUI::LoadList() {
    library_.load();
    fillNames(library_.size() > 0 ? 0 : -1);
    LoadEvents();
}

void CMacroControlUI::fillNames(int select) {
    if (names_) {
        names_->clearItems();
        for (const MacroInfo& macro : library_.macros()) {
            names_->addItem(macro.name, macro.guid);
        }
        names_->selectItem(select, ui::Notify::No);
    }
    enableMacroControls(library_.size() > 0);
}

void CMacroControlUI::enableMacroControls(bool any) {
    for (ui::Control* control : {actionLayout_.get(), moveLayout_.get(), exportButton_.get(),
                                 deleteButton_.get(), renameButton_.get()}) {
        if (control != nullptr) {
            control->setEnabled(any);
        }
    }
}

int CMacroControlUI::SelectedMacro() const {
    const int index = names_ ? names_->currentIndex() : -1;
    return index >= 0 && static_cast<std::size_t>(index) < library_.size() ? index : -1;
}

void CMacroControlUI::showMessage(std::string_view key) {
    services_.messages.ShowMessage(root_.get(), "", key, true, ui::MessageButtons::Confirm);
}

std::string CMacroControlUI::Add() {
    const auto index = library_.add();
    if (!index) {
        return {};
    }
    fillNames(static_cast<int>(*index));
    LoadEvents();
    if (device_ != nullptr) {
        device_->macroListChanged();
    }
    return library_.macros()[*index].name;
}

bool CMacroControlUI::Delete() {
    const int selected = SelectedMacro();
    if (selected < 0) {
        return false;
    }
    if (services_.messages.ShowMessage(root_.get(), "", "message_text_4", true,
                                       ui::MessageButtons::ConfirmCancel) != 1) {
        return false;
    }
    if (!library_.remove(static_cast<std::size_t>(selected))) {
        return false;
    }
    rows_.clear();
    fillNames(library_.size() > 0 ? 0 : -1);
    LoadEvents();
    renumberOtherProfiles(selected);
    if (device_ != nullptr) {
        device_->macroDeleted(selected);
    }
    return true;
}

void CMacroControlUI::renumberOtherProfiles(int deleted) {
    if (device_ == nullptr) {
        return;
    }
    profile::CBasicProfiledata& profile = device_->profileData();
    const std::filesystem::path selected = profile.profileFilePath();
    for (const std::filesystem::path& file : device_->profileFiles()) {
        std::error_code error;
        // Loading a missing file would create it: a profile that is gone stays gone.
        if (samePath(file, selected) || !std::filesystem::is_regular_file(file, error)) {
            continue;
        }
        profile.LoadSecondEntry(file);
        std::vector<profile::KeyListEntry> keys = profile.ReadSecondKeyList();
        bool changed = false;
        for (profile::KeyListEntry& key : keys) {
            changed =
                renumberAfterDelete(key.assignment, key.defaultAssignment, deleted) || changed;
        }
        if (changed) {
            profile.WriteSecondKeyList(keys);
            profile.SaveSecondEntryTo(file);
        }
    }
}

std::string CMacroControlUI::Rename() {
    const int selected = SelectedMacro();
    if (selected < 0) {
        return {};
    }
    const std::string name = nameEdit_ ? nameEdit_->text() : std::string();
    switch (library_.rename(static_cast<std::size_t>(selected), name)) {
        case MacroLibrary::RenameResult::Blank:
            return std::string(kRenameBlank);
        case MacroLibrary::RenameResult::Renamed:
            break;
        default:
            return {};
    }
    fillNames(selected);
    if (nameEdit_) {
        nameEdit_->setText("");
    }
    if (device_ != nullptr) {
        device_->macroListChanged();
    }
    return library_.macros()[static_cast<std::size_t>(selected)].name;
}

void CMacroControlUI::OnMacroSelected() {
    LoadEvents();
}

std::string CMacroControlUI::Import(const std::filesystem::path& file) {
    const MacroLibrary::ImportResult result = library_.importFile(file);
    if (!result.messageKey.empty()) {
        showMessage(result.messageKey);
    }
    if (result.status != MacroLibrary::ImportResult::Status::Imported) {
        return {};
    }
    fillNames(static_cast<int>(result.index));
    LoadEvents();
    if (device_ != nullptr) {
        device_->macroListChanged();
    }
    return library_.macros()[result.index].name;
}

std::string CMacroControlUI::ImportWithDialog() {
    const auto file = services_.files.openFile(root_.get(), kMacroFilter);
    return file && !file->empty() ? Import(*file) : std::string();
}

bool CMacroControlUI::Export(const std::filesystem::path& file) {
    const int selected = SelectedMacro();
    return selected >= 0 && library_.exportTo(static_cast<std::size_t>(selected), file);
}

bool CMacroControlUI::ExportWithDialog() {
    if (SelectedMacro() < 0) {
        return false;
    }
    const auto file = services_.files.saveFile(root_.get(), kMacroFilter);
    return file && !file->empty() && Export(*file);
}

// ---- the events ----

CMacroControlUI::Row CMacroControlUI::makeRow(const MacroEvent& event, std::string delay) const {
    Json::Value object = eventToJson(event);
    object["Delay"] = delay;
    return Row{object, std::move(delay)};
}

void CMacroControlUI::LoadEvents() {
    rows_.clear();
    const int selected = SelectedMacro();
    if (selected >= 0) {
        const EventFileContent content = library_.loadEvents(static_cast<std::size_t>(selected));
        for (const Json::Value& event : content.rows) {
            rows_.push_back(
                Row{event, std::to_string(parseDelay(files::member(event, "Delay")).value)});
        }
    }
    lastRecordedRow_ = -1;
    renderRows(rows_.empty() ? -1 : 0);
}

bool CMacroControlUI::Save() {
    const int selected = SelectedMacro();
    if (selected < 0) {
        return false;
    }
    std::vector<Json::Value> events;
    events.reserve(rows_.size());
    for (Row& row : rows_) {
        const int delay =
            std::clamp(readDecimal(row.delay.empty() ? "0" : row.delay), 0, kMaxDelay);
        row.delay = std::to_string(delay);
        row.event["Delay"] = row.delay;
        events.push_back(row.event);
    }
    renderRows(SelectedEvent());
    return library_.saveEvents(static_cast<std::size_t>(selected), events);
}

std::string CMacroControlUI::rowText(const Row& row) const {
    const ParsedEvent parsed = parseMacroEvent(row.event);
    const EventLabel label = describeEvent(parsed.event);
    std::string text =
        label.nameKey.empty() ? std::string() : services_.language.text(label.nameKey);
    if (label.number) {
        text += (text.empty() ? "" : " ") + std::to_string(*label.number);
    }
    const std::string_view state = parsed.event.down ? "macro_state_down" : "macro_state_up";
    return text + "  " + services_.language.text(state) + "  " +
           (row.delay.empty() ? std::string("0") : row.delay) + " " +
           services_.language.text("macro_delay_ms");
}

void CMacroControlUI::renderRows(int select) {
    if (actions_) {
        actions_->clearItems();
        for (const Row& row : rows_) {
            actions_->addItem(rowText(row), compactJson(row.event));
        }
        actions_->selectItem(select < static_cast<int>(rows_.size()) ? select : -1, ui::Notify::No);
    }
    OnEventSelected();
}

int CMacroControlUI::SelectedEvent() const {
    const int index = actions_ ? actions_->currentIndex() : -1;
    return index >= 0 && index < static_cast<int>(rows_.size()) ? index : -1;
}

std::optional<MacroEvent> CMacroControlUI::EventAt(int row) const {
    if (row < 0 || row >= static_cast<int>(rows_.size())) {
        return std::nullopt;
    }
    const ParsedEvent parsed = parseMacroEvent(rows_[static_cast<std::size_t>(row)].event);
    if (!parsed.valid) {
        return std::nullopt;
    }
    MacroEvent event = parsed.event;
    event.delay = static_cast<uint16_t>(
        std::clamp(readDecimal(rows_[static_cast<std::size_t>(row)].delay), 0, kMaxDelay));
    return event;
}

std::string CMacroControlUI::DelayAt(int row) const {
    return row >= 0 && row < static_cast<int>(rows_.size())
               ? rows_[static_cast<std::size_t>(row)].delay
               : std::string();
}

void CMacroControlUI::OnEventSelected() {
    if (delayEdit_) {
        const int selected = SelectedEvent();
        delayEdit_->setText(selected >= 0 ? rows_[static_cast<std::size_t>(selected)].delay : "");
        delayEdit_->setEnabled(selected >= 0);
    }
}

void CMacroControlUI::OnDelayEdited() {
    const int selected = SelectedEvent();
    if (!delayEdit_ || selected < 0) {
        return;
    }
    const std::string delay = delayText(delayEdit_->text());
    delayEdit_->setText(delay);
    rows_[static_cast<std::size_t>(selected)].delay = delay;
    renderRows(selected);
}

void CMacroControlUI::moveRow(int from, int to) {
    const auto begin = rows_.begin();
    if (from < to) {
        std::rotate(begin + from, begin + from + 1, begin + to + 1);
    } else {
        std::rotate(begin + to, begin + from, begin + from + 1);
    }
    renderRows(to);
}

void CMacroControlUI::MoveUp() {
    const int s = SelectedEvent();
    if (s > 0) {
        moveRow(s, s - 1);
    }
}

void CMacroControlUI::MoveDown() {
    const int s = SelectedEvent();
    if (s >= 0 && s + 1 < EventCount()) {
        moveRow(s, s + 1);
    }
}

void CMacroControlUI::MoveTop() {
    const int s = SelectedEvent();
    if (s > 0) {
        moveRow(s, 0);
    }
}

void CMacroControlUI::MoveBottom() {
    const int s = SelectedEvent();
    if (s >= 0 && s + 1 < EventCount()) {
        moveRow(s, EventCount() - 1);
    }
}

void CMacroControlUI::DeleteEvent() {
    const int s = SelectedEvent();
    if (s < 0) {
        return;
    }
    rows_.erase(rows_.begin() + s);
    if (lastRecordedRow_ == s) {
        lastRecordedRow_ = -1;
    } else if (lastRecordedRow_ > s) {
        --lastRecordedRow_;
    }
    renderRows(std::min(s, EventCount() - 1));
}

void CMacroControlUI::DeleteAll() {
    rows_.clear();
    lastRecordedRow_ = -1;
    renderRows(-1);
}

std::optional<int> CMacroControlUI::insertRow(Row row, Place place) {
    if (rows_.size() >= static_cast<std::size_t>(kMaxMacroEvents)) {
        return std::nullopt;
    }
    const int selected = SelectedEvent();
    int at = EventCount();
    if (selected >= 0 && place == Place::Before) {
        at = selected;
        pendingSelection_ = selected + 1;  // the selected row moves down and stays selected
    } else if (selected >= 0 && place == Place::After) {
        at = selected + 1;
        pendingSelection_ = at;  // so the next insertion follows this one
    } else {
        pendingSelection_ = selected;
    }
    rows_.insert(rows_.begin() + at, std::move(row));
    if (lastRecordedRow_ >= at) {
        ++lastRecordedRow_;
    }
    return at;
}

bool CMacroControlUI::InsertMove(Direction direction) {
    struct Move {
        ui::Control* edit;
        uint8_t kind;
        bool down;
    };
    const Move moves[] = {
        {moveLeft_.get(), event_kind::kHorizontal, true},
        {moveRight_.get(), event_kind::kHorizontal, false},
        {moveUp_.get(), event_kind::kVertical, true},
        {moveDown_.get(), event_kind::kVertical, false},
    };
    const Move& move = moves[static_cast<int>(direction)];
    const auto distance = static_cast<uint8_t>(clampedNumber(move.edit, 255));
    const int delay = UseRecordedTime() ? FixedDelay() : 0;
    if (!insertRow(makeRow(MacroEvent{move.kind, distance, move.down, 0}, std::to_string(delay)),
                   Place::After)) {
        return false;
    }
    renderRows(pendingSelection_);
    return true;
}

bool CMacroControlUI::AddMouseEvents(std::string_view command) {
    const std::size_t underscore = command.rfind('_');
    if (underscore == std::string_view::npos) {
        return false;
    }
    const std::string_view name = command.substr(0, underscore);
    const std::string_view action = command.substr(underscore + 1);
    const auto button = std::find_if(kMouseCommandButtons.begin(), kMouseCommandButtons.end(),
                                     [&](const MouseCommandButton& b) { return b.name == name; });
    if (button == kMouseCommandButtons.end() ||
        (action != "down" && action != "up" && action != "click")) {
        return false;
    }
    const std::size_t count = action == "click" ? 2 : 1;
    if (rows_.size() + count > static_cast<std::size_t>(kMaxMacroEvents)) {
        return false;
    }
    const std::string delay = std::to_string(UseRecordedTime() ? FixedDelay() : 0);
    for (const bool down : {true, false}) {
        if ((down && action == "up") || (!down && action == "down")) {
            continue;
        }
        insertRow(makeRow({event_kind::kMouseButton, button->button, down, 0}, delay),
                  Place::After);
        renderRows(pendingSelection_);
    }
    return true;
}

int CMacroControlUI::FixedDelay() {
    if (!fixedDelay_) {
        return 0;
    }
    const int delay = clampedNumber(fixedDelay_.get(), kMaxDelay);
    fixedDelay_->setText(std::to_string(delay));
    return delay;
}

bool CMacroControlUI::UseRecordedTime() const {
    return checkTime_ && checkTime_->selected();
}

// ---- recording ----

void CMacroControlUI::SetRecording(bool on) {
    recording_ = on;
    for (ui::Control* control :
         {nameTab_.get(), actionHeader_.get(), delayHeader_.get(), actions_.get()}) {
        if (control != nullptr) {
            control->setEnabled(!on);
        }
    }
    if (startRecord_) {
        startRecord_->setVisible(!on);
    }
    if (stopRecord_) {
        stopRecord_->setVisible(on);
    }
    if (on) {
        lastRecordedRow_ = -1;
    }
}

int CMacroControlUI::StartRecording() {
    SetRecording(true);
    return UseRecordedTime() ? 2 : 1;
}

void CMacroControlUI::StopRecording() {
    SetRecording(false);
    Save();
}

bool CMacroControlUI::RecordEvent(const MacroEvent& event, Place place, int delayMode,
                                  std::int64_t tickMs) {
    if (place == Place::Replace) {
        const int s = SelectedEvent();
        if (s < 0) {
            return false;
        }
        Json::Value& object = rows_[static_cast<std::size_t>(s)].event;
        object["Type"] = event.type;
        object["Button"] = event.button;
        object["Action"] = std::string(actionText(event.down));
        lastRecordedRow_ = s;
        lastRecordedTick_ = tickMs;
        renderRows(s);
        return true;
    }
    const int fixed = delayMode == 2 ? FixedDelay() : 0;
    const auto inserted = insertRow(makeRow(event, std::to_string(fixed)), place);
    if (!inserted) {
        return false;
    }
    if (lastRecordedRow_ >= 0) {
        std::int64_t gap = 0;
        if (delayMode == 1) {
            gap = std::clamp<std::int64_t>(tickMs - lastRecordedTick_, 0, kMaxDelay);
        } else if (delayMode == 2) {
            gap = fixed;
        }
        rows_[static_cast<std::size_t>(lastRecordedRow_)].delay = std::to_string(gap);
    }
    lastRecordedRow_ = *inserted;
    lastRecordedTick_ = tickMs;
    renderRows(pendingSelection_);
    return true;
}

}  // namespace korvane::keys::panels
