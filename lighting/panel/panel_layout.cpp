#include "lighting/panel/panel_layout.h"

#include <array>
#include <initializer_list>
#include <span>

namespace korvane::lighting::panel {
namespace {

constexpr Enable enableOf(char c) {
    return c == '1' ? Enable::On : c == '0' ? Enable::Off : Enable::Keep;
}

// `columns` gives 7C, Col, Pal, Li, Sp, Fx, LC as '1', '0' or '-' (keep).
constexpr ModeLayout row(const char (&columns)[8], bool sameMode = false) {
    ModeLayout l;
    l.multiColour = enableOf(columns[0]);
    l.colour = enableOf(columns[1]);
    l.palette = enableOf(columns[2]);
    l.light = enableOf(columns[3]);
    l.speed = enableOf(columns[4]);
    l.fx = enableOf(columns[5]);
    l.lightColour = enableOf(columns[6]);
    l.sameMode = sameMode;
    return l;
}

constexpr ModeLayout withFx(ModeLayout l, std::string_view left, std::string_view right) {
    l.fxLeftKey = left;
    l.fxRightKey = right;
    return l;
}

constexpr std::uint64_t modes(std::initializer_list<int> list) {
    std::uint64_t mask = 0;
    for (int m : list) {
        mask |= std::uint64_t{1} << m;
    }
    return mask;
}

struct Row {
    std::uint64_t modes;  // bit m: mode m; 0 marks the kind's fallback row
    ModeLayout layout;
};

constexpr bool S = true;

constexpr ModeLayout keyboard17() {
    ModeLayout l = row("0001100");
    l.hideSpeed = true;
    l.showZZCC = true;
    return l;
}

constexpr ModeLayout keyboard20() {
    ModeLayout l = row("011100-");
    l.showCustom = true;
    l.hideSpeed = true;
    return l;
}

constexpr ModeLayout keyboard29() {
    ModeLayout l = row("11110--");
    l.hideSpeed = true;
    l.showAudio = true;
    l.colourPage = 1;
    return l;
}

constexpr std::array kKeyboardRows = {
    Row{modes({1, 2}), row("11111--")},
    Row{modes({3, 24}),
        withFx(row("11111--"), "light_set_clockwise_text", "light_set_anticlockwise_text")},
    Row{modes({4}), row("0001100", S)},
    Row{modes({5, 8, 10, 13, 14, 23, 25}), row("111110-", S)},
    Row{modes({6}), row("111100-", S)},
    Row{modes({7, 9, 15, 22}), row("111110-")},
    Row{modes({11, 27}), row("0001100")},
    Row{modes({12}),
        withFx(row("00011-1"), "light_set_down_to_up_text", "light_set_up_to_down_text")},
    Row{modes({16}), row("111100-")},
    Row{modes({17}), keyboard17()},
    Row{modes({18}), withFx(row("0001011"), "light_set_outside_to_inside_text",
                            "light_set_inside_to_outside_text")},
    Row{modes({20}), keyboard20()},
    Row{modes({21}),
        withFx(row("11111--"), "light_set_up_to_down_text", "light_set_down_to_up_text")},
    Row{modes({26}), row("1111101")},
    Row{modes({28}), row("000000-", S)},
    Row{modes({29}), keyboard29()},
    Row{modes({30}), row("0001000")},
    Row{0, row("000000-")},  // 0, 19 and above 30
};

// The mouse rows leave "light_color_layout" alone.
constexpr std::array kMouseRows = {
    Row{modes({0, 5}), row("11111--")},
    Row{modes({1}), row("000110-", S)},
    Row{modes({2, 4, 6}), row("111110-", S)},
    Row{modes({3}), row("011100-", S)},
    Row{modes({7, 8}), row("000110-")},
    Row{modes({9}), row("000000-", S)},
    Row{0, row("000000-")},  // above 9
};

// Mouse pad and headset.
constexpr std::array kPadRows = {
    Row{modes({0}), row("11111--")},       Row{modes({1}), row("000110-", S)},
    Row{modes({2, 4}), row("111110-", S)}, Row{modes({3}), row("011100-", S)},
    Row{modes({8}), row("000000-", S)},    Row{0, row("000000-")},  // 5, 6, 7 and above 8
};

const ModeLayout* find(std::span<const Row> rows, int mode) {
    for (const Row& r : rows) {
        if (r.modes == 0 || (mode >= 0 && mode < 64 && (r.modes >> mode & 1) != 0)) {
            return &r.layout;
        }
    }
    return nullptr;
}

}  // namespace

const ModeLayout* layoutFor(LightKind kind, int mode) {
    switch (kind) {
        case LightKind::Keyboard:
            return find(kKeyboardRows, mode);
        case LightKind::Mouse:
            return find(kMouseRows, mode);
        case LightKind::MousePad:
        case LightKind::Headset:
            return find(kPadRows, mode);
        case LightKind::Unknown:
            break;
    }
    return nullptr;
}

bool hasKeyboardDefaults(LightKind kind) {
    return kind == LightKind::Keyboard;
}

int lightMaximum(LightKind kind) {
    switch (kind) {
        case LightKind::Keyboard:
            return 5;
        case LightKind::Mouse:
        case LightKind::MousePad:
        case LightKind::Headset:
            return 4;
        case LightKind::Unknown:
            break;
    }
    return 0;
}

int speedMaximum(LightKind kind) {
    return kind == LightKind::Unknown ? 0 : 4;
}

}  // namespace korvane::lighting::panel
