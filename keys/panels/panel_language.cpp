#include "keys/panels/panel_language.h"

#include <algorithm>

#include "keys/event_file.h"
#include "keys/key_tables.h"
#include "keys/macro_event.h"

namespace korvane::keys::panels {

std::vector<std::string_view> keyPanelLanguageKeys() {
    std::vector<std::string_view> keys;
    auto table = [&](std::span<const KeyRow> rows) {
        for (const KeyRow& row : rows) {
            keys.push_back(row.languageKey);
        }
    };
    table(MouseButtonTable);
    table(SensitivityTable);
    table(MediaTable);
    table(SystemTable);
    table(CombinationKeyTable);
    table(GunKeyTable);
    table(KeyboardTable);
    for (const MouseEventRow& row : MouseEventTable) {
        keys.push_back(row.languageKey);
    }
    keys.insert(keys.end(), {direction_key::kUp, direction_key::kDown, direction_key::kLeft,
                             direction_key::kRight});
    keys.insert(keys.end(), kFunctionTextKeys.begin(), kFunctionTextKeys.end());
    keys.insert(keys.end(), kRunModeTextKeys.begin(), kRunModeTextKeys.end());
    keys.insert(keys.end(), {"macro_state_down", "macro_state_up", "macro_delay_ms",
                             "message_text_4", "message_text_7", "message_text_16"});
    for (const FileCheck check :
         {FileCheck::DelaysClamped, FileCheck::Unreadable, FileCheck::TooLarge,
          FileCheck::NotEventFile, FileCheck::TooManyEvents, FileCheck::BadEvent}) {
        keys.push_back(messageKey(check, EventFileKind::Macro));
        keys.push_back(messageKey(check, EventFileKind::Recoil));
    }
    std::sort(keys.begin(), keys.end());
    keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
    return keys;
}

}  // namespace korvane::keys::panels
