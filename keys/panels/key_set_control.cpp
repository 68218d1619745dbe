#include "keys/panels/key_set_control.h"

#include <algorithm>

#include "keys/key_capture.h"
#include "keys/key_coding.h"
#include "keys/key_tables.h"
#include "keys/panels/panel_language.h"
#include "keys/panels/panel_text.h"
#include "ui/control_lookup.h"
#include "ui/control_name.h"

namespace korvane::keys::panels {
namespace {

std::vector<std::string_view> tableKeys(std::span<const KeyRow> table) {
    std::vector<std::string_view> keys;
    for (const KeyRow& row : table) {
        keys.push_back(row.languageKey);
    }
    return keys;
}

int number(ui::Control* edit) {
    return edit != nullptr ? readDecimal(edit->text()) : 0;
}

void setNumber(ui::Control* edit, int value) {
    if (edit != nullptr) {
        edit->setText(std::to_string(value));
    }
}

void select(ui::Control* list, int index) {
    if (list != nullptr) {
        list->selectItem(index, ui::Notify::No);
    }
}

int current(ui::Control* list) {
    return list != nullptr ? list->currentIndex() : -1;
}

// Selects the row of `table` whose parameters equal the assignment's (none when no row does).
void selectRow(ui::Control* list, std::span<const KeyRow> table, const KeyAssignment& a) {
    const auto row = findRowByParameters(table, a);
    select(list, row ? static_cast<int>(*row) : -1);
}

}  // namespace

CKeySetControlUI::CKeySetControlUI(ui::Control* root, ui::UiServices services,
                                   KeyPanelDevice* device)
    : root_(root), services_(services), device_(device) {
    auto find = [&](std::string_view name) -> ui::ControlRef { return ui::find(root, name); };
    layout_ = find("keyset_layout");
    functions_ = find("keyset_function_combo");
    pages_ = find("function_switch_tablayout");
    mouseKeys_ = find("keyset_mousekey_combo");
    swingDirection_ = find("keyset_mouseswing_combo");
    swingCount_ = find("keyset_mouseswing_num_edit");
    swingDelay_ = find("keyset_mouseswing_delay_edit");
    swingSpeed_ = find("keyset_mouseswing_speed_edit");
    wheelDirection_ = find("keyset_mousewheel_combo");
    wheelCount_ = find("keyset_mousewheel_num_edit");
    wheelDelay_ = find("keyset_mousewheel_delay_edit");
    wheelSpeed_ = find("keyset_mousewheel_speed_edit");
    sensitivity_ = find("keyset_mousedpi_combo");
    fireInterval_ = find("keyset_mousefire_interval_edit");
    fireCount_ = find("keyset_mousefire_num_edit");
    keyText_ = find("keyset_keyboard_text_edit");
    media_ = find("keyset_media_combo");
    system_ = find("keyset_system_combo");
    macros_ = find("keyset_macro_combo");
    runMode_ = find("keyset_macro_over_combo");
    cycleLayout_ = find("keyset_macro_cycle_layout");
    cycleCount_ = find("keyset_macro_cycle_edit");
    guns_ = find("keyset_gunkey_combo");
    combinations_ = find("keyset_combokey_combo");
    for (int i = 0; i < kModifierOptionCount; ++i) {
        modifierOptions_[i] = find(indexedName("key_ComBox_check_", i));
    }
    fillLists();
}

std::string CKeySetControlUI::text(std::string_view key) const {
    return services_.language.text(key);
}

void CKeySetControlUI::fillList(ui::Control* list, const std::vector<std::string_view>& keys,
                                bool functionData) {
    if (list == nullptr) {
        return;
    }
    const int selected = list->currentIndex();
    std::vector<bool> visible;
    for (int i = 0; i < list->itemCount(); ++i) {
        visible.push_back(list->itemVisible(i));
    }
    list->clearItems();
    for (std::size_t i = 0; i < keys.size(); ++i) {
        list->addItem(text(keys[i]), functionData ? std::to_string(i + 1) : std::string());
        if (i < visible.size()) {
            list->setItemVisible(static_cast<int>(i), visible[i]);
        }
    }
    list->selectItem(selected, ui::Notify::No);
}

void CKeySetControlUI::fillLists() {
    fillList(functions_.get(), {kFunctionTextKeys.begin(), kFunctionTextKeys.end()}, true);
    fillList(mouseKeys_.get(), tableKeys(MouseButtonTable));
    fillList(sensitivity_.get(), tableKeys(SensitivityTable));
    fillList(media_.get(), tableKeys(MediaTable));
    fillList(system_.get(), tableKeys(SystemTable));
    fillList(guns_.get(), tableKeys(GunKeyTable));
    fillList(combinations_.get(), tableKeys(CombinationKeyTable));
    fillList(swingDirection_.get(), {direction_key::kLeft, direction_key::kRight});
    fillList(wheelDirection_.get(), {direction_key::kUp, direction_key::kDown});
    fillList(runMode_.get(), {kRunModeTextKeys.begin(), kRunModeTextKeys.end()});
}

void CKeySetControlUI::ApplyLanguage() {
    fillLists();
    if (keyText_ && keyUsage_ != 0) {
        showKeyboardKey(keyUsage_);
    }
}

void CKeySetControlUI::SetKind(int kind) {
    kind_ = kind;
    if (!functions_) {
        return;
    }
    for (int i = 0; i < functions_->itemCount(); ++i) {
        const int function = readDecimal(functions_->itemData(i));
        if (function == function::kSensitivity || function == function::kGun) {
            functions_->setItemVisible(i, kind != 1);
        }
    }
}

void CKeySetControlUI::SetMacroNames(const std::vector<std::string>& names) {
    macroCount_ = static_cast<int>(names.size());
    if (!macros_) {
        return;
    }
    macros_->clearItems();
    for (const std::string& name : names) {
        macros_->addItem(name);
    }
    macros_->selectItem(-1, ui::Notify::No);
}

void CKeySetControlUI::SetKey(const profile::KeyListEntry& entry) {
    entry_ = entry;
    ShowAssignment(entry_.assignment);
}

void CKeySetControlUI::ShowDefault() {
    ShowAssignment(entry_.defaultAssignment);
}

void CKeySetControlUI::ShowCurrent() {
    ShowAssignment(entry_.assignment);
}

void CKeySetControlUI::resetPages() {
    for (ui::Control* list : {mouseKeys_.get(), sensitivity_.get(), media_.get(), system_.get(),
                              macros_.get(), guns_.get(), combinations_.get()}) {
        select(list, -1);
    }
    select(swingDirection_.get(), 0);
    select(wheelDirection_.get(), 0);
    select(runMode_.get(), 0);
    for (ui::Control* edit : {swingCount_.get(), swingDelay_.get(), swingSpeed_.get(),
                              wheelCount_.get(), wheelDelay_.get(), wheelSpeed_.get(),
                              fireInterval_.get(), fireCount_.get(), cycleCount_.get()}) {
        setNumber(edit, 0);
    }
    showModifierOption(0);
    keyUsage_ = 0;
    if (keyText_) {
        keyText_->setText("");
    }
    if (cycleLayout_) {
        cycleLayout_->setVisible(false);
    }
}

void CKeySetControlUI::showModifierOption(int option) {
    for (int i = 0; i < kModifierOptionCount; ++i) {
        if (modifierOptions_[i]) {
            modifierOptions_[i]->setSelected(i == option, ui::Notify::No);
        }
    }
}

int CKeySetControlUI::selectedModifierOption() const {
    for (int i = 0; i < kModifierOptionCount; ++i) {
        if (modifierOptions_[i] && modifierOptions_[i]->selected()) {
            return i;
        }
    }
    return 0;
}

void CKeySetControlUI::showKeyboardKey(uint8_t usage) {
    const auto row = keyboardRowForUsage(usage);
    keyUsage_ = row ? usage : 0;
    if (keyText_) {
        keyText_->setText(row ? text(KeyboardTable[*row].languageKey) : std::string());
    }
}

void CKeySetControlUI::showMacro(const KeyAssignment& a) {
    const bool exists = a.first < macroCount_;
    select(macros_.get(), exists ? a.first : -1);
    if (a.type == type::kMacroRepeat) {
        select(runMode_.get(), exists ? kRunModeRepeat : -1);
        setNumber(cycleCount_.get(), a.second);
        if (cycleLayout_) {
            cycleLayout_->setVisible(true);
        }
    } else {
        select(runMode_.get(), exists ? a.second : -1);
        if (cycleLayout_) {
            cycleLayout_->setVisible(false);
        }
    }
}

void CKeySetControlUI::ShowAssignment(const KeyAssignment& assignment) {
    resetPages();
    KeyAssignment a = assignment;
    if (a == entry_.defaultAssignment) {
        a.type = type::kDefault;
    }
    std::optional<int> page = functionForType(a.type);
    switch (a.type) {
        case type::kMouseButton:
            selectRow(mouseKeys_.get(), MouseButtonTable, a);
            break;
        case type::kSensitivity:
            selectRow(sensitivity_.get(), SensitivityTable, a);
            break;
        case type::kMedia:
            selectRow(media_.get(), MediaTable, a);
            break;
        case type::kSystem:
            selectRow(system_.get(), SystemTable, a);
            break;
        case type::kMouseSwing: {
            const Movement m = decodeSwing(a);
            setNumber(swingDelay_.get(), m.delay);
            setNumber(swingSpeed_.get(), m.speed);
            setNumber(swingCount_.get(), m.count);
            select(swingDirection_.get(), m.direction);
            break;
        }
        case type::kWheel: {
            const Movement m = decodeWheel(a);
            setNumber(wheelDelay_.get(), m.delay);
            setNumber(wheelSpeed_.get(), m.speed);
            setNumber(wheelCount_.get(), m.count);
            select(wheelDirection_.get(), m.direction);
            break;
        }
        case type::kFire:
            setNumber(fireInterval_.get(), a.first);
            setNumber(fireCount_.get(), a.second);
            break;
        case type::kMacro:
        case type::kMacroRepeat:
            showMacro(a);
            break;
        case type::kGun:
            select(guns_.get(), a.first < GunKeyTable.size() ? a.first : -1);
            break;
        case type::kKeyboard:
            if (isCombinationModifier(a.first)) {
                selectRow(combinations_.get(), CombinationKeyTable, a);
                page = function::kCombination;
            } else if (a.first != 0) {
                const auto option = optionForModifier(a.first);
                showModifierOption(option.value_or(0));
                showKeyboardKey(a.second);
            } else if (keyboardRowForUsage(a.second)) {
                showKeyboardKey(a.second);
            } else {
                // Nothing this page can show: the key becomes an empty keyboard key.
                entry_.assignment = KeyAssignment{type::kKeyboard, 0, 0};
            }
            break;
        default:
            break;
    }

    int item = -1;
    if (page && functions_) {
        for (int i = 0; i < functions_->itemCount(); ++i) {
            if (readDecimal(functions_->itemData(i)) == *page) {
                item = i;
                break;
            }
        }
    }
    if (layout_) {
        layout_->setVisible(item >= 0);
    }
    // Without a matching function nothing stays selected, so building gives the default.
    select(functions_.get(), item);
    if (item >= 0 && pages_) {
        pages_->selectPage(*page);
    }
}

int CKeySetControlUI::selectedFunction() const {
    const int item = current(functions_.get());
    return item >= 0 ? readDecimal(functions_->itemData(item)) : -1;
}

KeyAssignment CKeySetControlUI::BuildAssignment() {
    const int function = selectedFunction();
    KeyAssignment a = entry_.defaultAssignment;
    auto tableRow = [&](ui::Control* list) {
        const auto table = tableForFunction(function);
        const int row = current(list);
        return row >= 0 && static_cast<std::size_t>(row) < table.size()
                   ? table[static_cast<std::size_t>(row)].code
                   : entry_.assignment;
    };
    switch (function) {
        case function::kMouseButton:
            a = tableRow(mouseKeys_.get());
            break;
        case function::kSensitivity:
            a = tableRow(sensitivity_.get());
            break;
        case function::kMedia:
            a = tableRow(media_.get());
            break;
        case function::kSystem:
            a = tableRow(system_.get());
            break;
        case function::kCombination:
            a = tableRow(combinations_.get());
            break;
        case function::kGun:
            a = tableRow(guns_.get());
            break;
        case function::kSwing:
            a = encodeSwing({number(swingDelay_.get()), number(swingSpeed_.get()),
                             number(swingCount_.get()), current(swingDirection_.get())});
            break;
        case function::kWheel:
            a = encodeWheel({number(wheelDelay_.get()), number(wheelSpeed_.get()),
                             number(wheelCount_.get()), current(wheelDirection_.get())});
            break;
        case function::kFire:
            a = encodeFire(number(fireInterval_.get()), number(fireCount_.get()));
            break;
        case function::kKeyboard: {
            const bool empty = !keyText_ || keyText_->text().empty();
            a = KeyAssignment{type::kKeyboard, modifierForOption(selectedModifierOption()),
                              empty ? uint8_t{0} : keyUsage_};
            break;
        }
        case function::kMacro: {
            const int macro = current(macros_.get());
            if (macro >= 0 && macro < macroCount_) {
                a = encodeMacro(macro, std::max(0, current(runMode_.get())),
                                number(cycleCount_.get()));
            } else {
                a = entry_.assignment;
            }
            break;
        }
        default:
            break;
    }
    entry_.assignment = a;
    return a;
}

void CKeySetControlUI::OnFunctionSelected() {
    const int function = selectedFunction();
    if (function < 0) {
        return;
    }
    if (layout_) {
        layout_->setVisible(true);
    }
    if (pages_) {
        pages_->selectPage(function);
    }
}

void CKeySetControlUI::OnRunModeSelected() {
    if (cycleLayout_) {
        cycleLayout_->setVisible(current(runMode_.get()) == kRunModeRepeat);
    }
}

void CKeySetControlUI::limitEdit(ui::Control* edit, int low, int high) {
    if (edit != nullptr) {
        setNumber(edit, std::clamp(number(edit), low, high));
    }
}

void CKeySetControlUI::OnEditKillFocus(std::string_view name) {
    struct Limit {
        ui::Control* edit;
        int high;
    };
    const Limit limits[] = {
        {swingDelay_.get(), 15},    {swingSpeed_.get(), 15}, {swingCount_.get(), 127},
        {wheelDelay_.get(), 15},    {wheelSpeed_.get(), 15}, {wheelCount_.get(), 128},
        {fireInterval_.get(), 255}, {fireCount_.get(), 255}, {cycleCount_.get(), 255},
    };
    for (const Limit& limit : limits) {
        if (limit.edit != nullptr && ui::namesEqual(limit.edit->name(), name)) {
            limitEdit(limit.edit, 0, limit.high);
        }
    }
}

bool CKeySetControlUI::OnKeyCaptured(int evdevCode) {
    if (!keyText_ || !keyText_->hasFocus()) {
        return false;
    }
    const auto row = rowForEvdevCode(evdevCode);
    if (!row || *row >= kFirstConsumerRow) {
        return false;
    }
    const KeyAssignment& code = KeyboardTable[*row].code;
    if (*row < kModifierRowCount) {
        showModifierOption(optionForModifier(code.first).value_or(0));
    } else {
        showKeyboardKey(code.second);
    }
    return true;
}

void CKeySetControlUI::SaveKey() {
    const KeyAssignment a = BuildAssignment();
    if (device_ != nullptr) {
        device_->storeKeyAssignment(entry_.index, a);
    }
    Close();
}

void CKeySetControlUI::RestoreDefault() {
    ShowDefault();
    Close();
}

void CKeySetControlUI::Cancel() {
    ShowCurrent();
    Close();
}

void CKeySetControlUI::SaveToDevice() {
    if (device_ == nullptr) {
        return;
    }
    const int result = device_->uploadUsedMacros();
    if (result == -1) {
        services_.messages.ShowMessage(root_.get(), "", "message_text_7", true,
                                       ui::MessageButtons::Confirm);
    } else if (result > 0) {
        services_.messages.ShowMessage(root_.get(), "",
                                       formatCount(text("message_text_16"), result), false,
                                       ui::MessageButtons::Confirm);
    }
    device_->writeKeyTable();
    device_->saveProfile();
}

void CKeySetControlUI::Open() {
    if (root_) {
        root_->setVisible(true);
    }
}

void CKeySetControlUI::Close() {
    if (root_) {
        root_->setVisible(false);
    }
}

std::string CKeySetControlUI::AssignmentName(const KeyAssignment& assignment) const {
    const std::string_view key = keyNameKey(assignment);
    return key.empty() ? std::string() : text(key);
}

}  // namespace korvane::keys::panels
