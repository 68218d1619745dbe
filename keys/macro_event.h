// One macro event: a key or mouse button pressed or released, or a relative pointer movement,
// followed by a delay. In files an event is a JSON object {"Type", "Button", "Action", "Delay"};
// for the device it is four bytes.
#pragma once

#include <json/value.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace korvane::keys {

// Event kinds ("Type").
namespace event_kind {
inline constexpr uint8_t kMouseButton = 1;
inline constexpr uint8_t kUnnamed2 = 2;  // shown with its number only
inline constexpr uint8_t kUnnamed3 = 3;
inline constexpr uint8_t kHorizontal = 4;  // "down" = to the left, "up" = to the right
inline constexpr uint8_t kVertical = 5;    // "down" = upwards, "up" = downwards
inline constexpr uint8_t kModifier = 9;    // "Button" = modifier bit
inline constexpr uint8_t kKey = 10;        // "Button" = HID keyboard usage
}  // namespace event_kind
bool isKnownEventKind(int kind);

inline constexpr int kMaxMacroEvents = 4000;
inline constexpr int kMaxMacros = 50;
inline constexpr int kMaxDelay = 65535;

struct MacroEvent {
    uint8_t type = 0;
    uint8_t button = 0;
    bool down = false;
    uint16_t delay = 0;
    friend bool operator==(const MacroEvent&, const MacroEvent&) = default;
};

// The device form: delay (16-bit little-endian), type with bit 7 set for "down", button.
std::array<uint8_t, 4> deviceBytes(const MacroEvent& event);

// A delay read from a file: decimal text (macro files) or an integer (gun files). Values
// outside 0–65535, text that is not only digits and other JSON types are clamped (text is read
// up to its first non-digit, like strtol) and flagged. An absent delay is 0 and not flagged.
struct DelayValue {
    uint16_t value = 0;
    bool clamped = false;
};
DelayValue parseDelay(const Json::Value& delay);
DelayValue parseDelayText(std::string_view text);

// One event object from a file. `valid` is false when it cannot be an event: not an object,
// "Type" or "Button" not an integer, an unknown kind, a button outside 0–255, or an "Action"
// other than "down"/"up" (an absent action is "up").
struct ParsedEvent {
    MacroEvent event;
    bool valid = false;
    bool delayClamped = false;
};
ParsedEvent parseMacroEvent(const Json::Value& object);

// The event as a file object; "Delay" as decimal text (macro files) or as an integer (gun files).
enum class DelayForm { Text, Integer };
Json::Value eventToJson(const MacroEvent& event, DelayForm form = DelayForm::Text);

// The action text of a press state.
inline std::string_view actionText(bool down) {
    return down ? "down" : "up";
}

// The mouse event table of the macro editor: the ten button rows, the four movement
// directions and the wheel (which has no event kind: type 0).
struct MouseEventRow {
    uint8_t type = 0;
    uint8_t button = 0;
    bool down = false;
    std::string_view languageKey;
};
extern const std::array<MouseEventRow, 15> MouseEventTable;

// How the editor shows an event: the language key of its name (empty for kinds shown by
// number only, and for events without a name), the distance of a movement or the number of an
// unnamed kind (nullopt otherwise), and the label style.
struct EventLabel {
    std::string_view nameKey;
    std::optional<int> number;
    std::string_view style;  // "macro_label_keyboard_style", "..._mouse_style", "..._text_style"
    std::string_view stateStyle;  // "macro_label_down_style" or "macro_label_up_style"
};
EventLabel describeEvent(const MacroEvent& event);

}  // namespace korvane::keys
