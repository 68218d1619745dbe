#include "keys/macro_event.h"

#include <gtest/gtest.h>

#include "platform/files/json_document.h"

namespace korvane::keys {
namespace {

Json::Value parse(std::string_view text) {
    return files::ParseJsonDocument(text);
}

TEST(MacroEvent, DeviceFormIsDelayThenTypeWithPressBitThenButton) {
    EXPECT_EQ(deviceBytes({10, 0x04, true, 300}), (std::array<uint8_t, 4>{0x2C, 0x01, 0x8A, 0x04}));
    EXPECT_EQ(deviceBytes({5, 7, false, 65535}), (std::array<uint8_t, 4>{0xFF, 0xFF, 0x05, 0x07}));
}

struct ParseCase {
    std::string_view json;
    bool valid;
    MacroEvent event;
    bool clamped;
};

TEST(MacroEvent, ParsesOnlyWhatCanBeAnEvent) {
    const ParseCase cases[] = {
        {R"({"Type":10,"Button":4,"Action":"down","Delay":"120"})",
         true,
         {10, 4, true, 120},
         false},
        {R"({"Type":4,"Button":3,"Action":"up","Delay":95})", true, {4, 3, false, 95}, false},
        {R"({"Type":1,"Button":1})", true, {1, 1, false, 0}, false},
        {R"({"Type":9,"Button":2,"Action":"up","Delay":""})", true, {9, 2, false, 0}, false},
        {R"({"Type":10.0,"Button":4,"Action":"up","Delay":"1"})", true, {10, 4, false, 1}, false},
        {R"({"Type":10,"Button":4,"Action":"up","Delay":"70000"})",
         true,
         {10, 4, false, 65535},
         true},
        {R"({"Type":10,"Button":4,"Action":"up","Delay":"-5"})", true, {10, 4, false, 0}, true},
        {R"({"Type":10,"Button":4,"Action":"up","Delay":"12ms"})", true, {10, 4, false, 12}, true},
        {R"({"Type":10,"Button":4,"Action":"up","Delay":70000})",
         true,
         {10, 4, false, 65535},
         true},
        {R"({"Type":10,"Button":4,"Action":"up","Delay":-1})", true, {10, 4, false, 0}, true},
        {R"({"Type":10,"Button":4,"Action":"up","Delay":1e300})",
         true,
         {10, 4, false, 65535},
         true},
        {R"({"Type":10,"Button":4,"Action":"up","Delay":18446744073709551615})",
         true,
         {10, 4, false, 65535},
         true},
        {R"({"Type":10,"Button":4,"Action":"up","Delay":true})", true, {10, 4, false, 0}, true},
        {R"({"Type":"10","Button":4})", false, {}, false},
        {R"({"Type":7,"Button":4})", false, {}, false},
        {R"({"Type":138,"Button":4})", false, {}, false},
        {R"({"Type":10.5,"Button":4})", false, {}, false},
        {R"({"Type":10,"Button":256})", false, {}, false},
        {R"({"Type":10,"Button":-1})", false, {}, false},
        {R"({"Type":10})", false, {}, false},
        {R"({"Type":10,"Button":4,"Action":"press"})", false, {}, false},
        {R"({"Type":10,"Button":4,"Action":1})", false, {}, false},
        {R"([10,4])", false, {}, false},
        {R"("event")", false, {}, false},
    };
    for (const ParseCase& c : cases) {
        const ParsedEvent parsed = parseMacroEvent(parse(c.json));
        EXPECT_EQ(parsed.valid, c.valid) << c.json;
        if (c.valid) {
            EXPECT_EQ(parsed.event, c.event) << c.json;
            EXPECT_EQ(parsed.delayClamped, c.clamped) << c.json;
        }
    }
}

TEST(MacroEvent, FileObjectRoundTrip) {
    const MacroEvent event{5, 7, true, 4000};
    const Json::Value text = eventToJson(event);
    EXPECT_EQ(text["Delay"].asString(), "4000");
    EXPECT_EQ(text["Action"].asString(), "down");
    const Json::Value integer = eventToJson(event, DelayForm::Integer);
    EXPECT_TRUE(integer["Delay"].isInt());
    EXPECT_EQ(parseMacroEvent(text).event, event);
    EXPECT_EQ(parseMacroEvent(integer).event, event);
}

TEST(MacroEvent, LabelsNameKeysButtonsAndMovements) {
    struct Case {
        MacroEvent event;
        std::string_view name;
        std::optional<int> number;
        std::string_view style;
    };
    const Case cases[] = {
        {{10, 0x04, true, 0}, "keyboard_key_A", std::nullopt, "macro_label_keyboard_style"},
        {{9, 0x20, false, 0}, "keyboard_key_RShift", std::nullopt, "macro_label_keyboard_style"},
        {{1, 0x10, true, 0}, "mouse_key_forward", std::nullopt, "macro_label_mouse_style"},
        {{1, 0x08, false, 0}, "mouse_key_back", std::nullopt, "macro_label_mouse_style"},
        {{4, 7, true, 0}, "mouse_move_to_left_text", 7, "macro_label_mouse_style"},
        {{4, 7, false, 0}, "mouse_move_to_right_text", 7, "macro_label_mouse_style"},
        {{5, 2, true, 0}, "mouse_move_to_up_text", 2, "macro_label_mouse_style"},
        {{5, 2, false, 0}, "mouse_move_to_down_text", 2, "macro_label_mouse_style"},
        {{2, 9, false, 0}, "", 9, "macro_label_mouse_style"},
        {{10, 0xE8, false, 0}, "", std::nullopt, "macro_label_keyboard_style"},
    };
    for (const Case& c : cases) {
        const EventLabel label = describeEvent(c.event);
        EXPECT_EQ(label.nameKey, c.name) << int(c.event.type) << "/" << int(c.event.button);
        EXPECT_EQ(label.number, c.number) << int(c.event.type);
        EXPECT_EQ(label.style, c.style) << int(c.event.type);
        EXPECT_EQ(label.stateStyle,
                  c.event.down ? "macro_label_down_style" : "macro_label_up_style");
    }
}

}  // namespace
}  // namespace korvane::keys
