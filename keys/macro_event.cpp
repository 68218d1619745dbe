#include "keys/macro_event.h"

#include <algorithm>
#include <cmath>

#include "keys/json_integer.h"
#include "keys/key_coding.h"
#include "keys/key_tables.h"
#include "platform/files/json_fields.h"

namespace korvane::keys {
namespace {

DelayValue clampedDelay(long long value) {
    const auto clamped = std::clamp<long long>(value, 0, kMaxDelay);
    return DelayValue{static_cast<uint16_t>(clamped), clamped != value};
}

constexpr std::string_view kKeyboardStyle = "macro_label_keyboard_style";
constexpr std::string_view kMouseStyle = "macro_label_mouse_style";
constexpr std::string_view kTextStyle = "macro_label_text_style";

}  // namespace

bool isKnownEventKind(int kind) {
    switch (kind) {
        case event_kind::kMouseButton:
        case event_kind::kUnnamed2:
        case event_kind::kUnnamed3:
        case event_kind::kHorizontal:
        case event_kind::kVertical:
        case event_kind::kModifier:
        case event_kind::kKey:
            return true;
        default:
            return false;
    }
}

std::array<uint8_t, 4> deviceBytes(const MacroEvent& event) {
    return {static_cast<uint8_t>(event.delay & 0xFF), static_cast<uint8_t>(event.delay >> 8),
            static_cast<uint8_t>(event.type | (event.down ? 0x80 : 0)), event.button};
}

DelayValue parseDelayText(std::string_view text) {
    if (text.empty()) {
        return {};
    }
    const bool digitsOnly =
        std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
    DelayValue delay = clampedDelay(readDecimal(text));
    delay.clamped = delay.clamped || !digitsOnly;
    return delay;
}

DelayValue parseDelay(const Json::Value& delay) {
    if (delay.isNull()) {
        return {};
    }
    if (delay.isString()) {
        return parseDelayText(delay.asString());
    }
    if (const auto value = strictInteger(delay)) {
        return clampedDelay(std::clamp<std::int64_t>(*value, -1, kMaxDelay + 1));
    }
    if (delay.isUInt64()) {
        return DelayValue{static_cast<uint16_t>(kMaxDelay), true};
    }
    if (delay.isDouble()) {
        const double d = delay.asDouble();
        const double limited = std::isnan(d) ? 0.0 : std::clamp(d, 0.0, double{kMaxDelay});
        return DelayValue{static_cast<uint16_t>(limited), true};
    }
    return DelayValue{0, true};
}

ParsedEvent parseMacroEvent(const Json::Value& object) {
    ParsedEvent parsed;
    if (!object.isObject()) {
        return parsed;
    }
    const auto kind = strictInteger(files::member(object, "Type"));
    const auto button = strictInteger(files::member(object, "Button"));
    if (!kind || !isKnownEventKind(static_cast<int>(std::clamp<std::int64_t>(*kind, -1, 256))) ||
        !button || *button < 0 || *button > 0xFF) {
        return parsed;
    }
    const Json::Value& action = files::member(object, "Action");
    bool down = false;
    if (action.isString()) {
        const std::string text = action.asString();
        if (text != "down" && text != "up") {
            return parsed;
        }
        down = text == "down";
    } else if (!action.isNull()) {
        return parsed;
    }
    const DelayValue delay = parseDelay(files::member(object, "Delay"));
    parsed.event =
        MacroEvent{static_cast<uint8_t>(*kind), static_cast<uint8_t>(*button), down, delay.value};
    parsed.valid = true;
    parsed.delayClamped = delay.clamped;
    return parsed;
}

Json::Value eventToJson(const MacroEvent& event, DelayForm form) {
    Json::Value object(Json::objectValue);
    object["Type"] = event.type;
    object["Button"] = event.button;
    object["Action"] = std::string(actionText(event.down));
    if (form == DelayForm::Text) {
        object["Delay"] = std::to_string(event.delay);
    } else {
        object["Delay"] = event.delay;
    }
    return object;
}

const std::array<MouseEventRow, 15> MouseEventTable{{
    {event_kind::kMouseButton, 0x01, true, "mouse_key_left"},
    {event_kind::kMouseButton, 0x01, false, "mouse_key_left"},
    {event_kind::kMouseButton, 0x02, true, "mouse_key_right"},
    {event_kind::kMouseButton, 0x02, false, "mouse_key_right"},
    {event_kind::kMouseButton, 0x04, true, "mouse_key_middle"},
    {event_kind::kMouseButton, 0x04, false, "mouse_key_middle"},
    {event_kind::kMouseButton, 0x10, true, "mouse_key_forward"},
    {event_kind::kMouseButton, 0x10, false, "mouse_key_forward"},
    {event_kind::kMouseButton, 0x08, true, "mouse_key_back"},
    {event_kind::kMouseButton, 0x08, false, "mouse_key_back"},
    {event_kind::kHorizontal, 0, true, "mouse_move_to_left_text"},
    {event_kind::kHorizontal, 0, false, "mouse_move_to_right_text"},
    {event_kind::kVertical, 0, true, "mouse_move_to_up_text"},
    {event_kind::kVertical, 0, false, "mouse_move_to_down_text"},
    {0, 0, false, "mouse_cursor_text"},
}};

EventLabel describeEvent(const MacroEvent& event) {
    EventLabel label;
    label.stateStyle = event.down ? "macro_label_down_style" : "macro_label_up_style";
    switch (event.type) {
        case event_kind::kKey:
            label.style = kKeyboardStyle;
            if (const auto row = keyboardRowForUsage(event.button)) {
                label.nameKey = KeyboardTable[*row].languageKey;
            }
            break;
        case event_kind::kModifier:
            label.style = kKeyboardStyle;
            if (const auto row = modifierRowForBit(event.button)) {
                label.nameKey = KeyboardTable[*row].languageKey;
            }
            break;
        case event_kind::kMouseButton:
            label.style = kMouseStyle;
            for (const MouseEventRow& row : MouseEventTable) {
                if (row.type == event.type && row.button == event.button) {
                    label.nameKey = row.languageKey;
                    break;
                }
            }
            break;
        case event_kind::kHorizontal:
        case event_kind::kVertical:
            label.style = kMouseStyle;
            label.number = event.button;
            for (const MouseEventRow& row : MouseEventTable) {
                if (row.type == event.type && row.down == event.down) {
                    label.nameKey = row.languageKey;
                    break;
                }
            }
            break;
        case event_kind::kUnnamed2:
        case event_kind::kUnnamed3:
            label.style = kMouseStyle;
            label.number = event.button;
            break;
        default:
            label.style = kTextStyle;
            label.number = event.button;
            break;
    }
    return label;
}

}  // namespace korvane::keys
