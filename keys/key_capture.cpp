#include "keys/key_capture.h"

#include <array>
#include <utility>

#include "keys/key_tables.h"

namespace korvane::keys {
namespace {

// Rows 0–112 of the keyboard table: evdev code, set-1 scan code, extended flag. Linux numbers
// the keys of the original PC keyboard by their set-1 scan code, so below 0x59 the two agree
// for keys without the E0 prefix; the E0 keys and the international keys are listed as they are.
struct KeyCodes {
    uint16_t evdev;
    uint8_t scan;
    bool extended;
};

constexpr KeyCodes plain(uint16_t code) {
    return KeyCodes{code, static_cast<uint8_t>(code), false};
}
constexpr KeyCodes e0(uint16_t evdev, uint8_t scan) {
    return KeyCodes{evdev, scan, true};
}

// clang-format off
constexpr std::array<KeyCodes, kRecognitionRowCount> kKeyCodes{{
    // Modifiers: LCtrl, LShift, LAlt, LWin, RCtrl, RShift, RAlt, RWin.
    plain(29), plain(42), plain(56), e0(125, 0x5B),
    e0(97, 0x1D), plain(54), e0(100, 0x38), e0(126, 0x5C),
    // A–Z.
    plain(30), plain(48), plain(46), plain(32), plain(18), plain(33), plain(34), plain(35),
    plain(23), plain(36), plain(37), plain(38), plain(50), plain(49), plain(24), plain(25),
    plain(16), plain(19), plain(31), plain(20), plain(22), plain(47), plain(17), plain(45),
    plain(21), plain(44),
    // 1–9, 0.
    plain(2), plain(3), plain(4), plain(5), plain(6), plain(7), plain(8), plain(9), plain(10),
    plain(11),
    // Enter, Esc, BackSpace, Tab, Space.
    plain(28), plain(1), plain(14), plain(15), plain(57),
    // - = [ ] \ ; ' ` , . /
    plain(12), plain(13), plain(26), plain(27), plain(43), plain(39), plain(40), plain(41),
    plain(51), plain(52), plain(53),
    // Caps Lock.
    plain(58),
    // F1–F12.
    plain(59), plain(60), plain(61), plain(62), plain(63), plain(64), plain(65), plain(66),
    plain(67), plain(68), plain(87), plain(88),
    // Print Screen, Scroll Lock, Pause, Insert, Home, Page Up, Delete, End, Page Down,
    // Right, Left, Down, Up.
    e0(99, 0x37), plain(70), KeyCodes{119, 0x45, false}, e0(110, 0x52), e0(102, 0x47),
    e0(104, 0x49), e0(111, 0x53), e0(107, 0x4F), e0(109, 0x51), e0(106, 0x4D), e0(105, 0x4B),
    e0(108, 0x50), e0(103, 0x48),
    // Num Lock, Num /, Num *, Num -, Num +, Num Enter.
    KeyCodes{69, 0x45, true}, e0(98, 0x35), plain(55), plain(74), plain(78), e0(96, 0x1C),
    // Num 1–9, Num 0, Decimal.
    plain(79), plain(80), plain(81), plain(75), plain(76), plain(77), plain(71), plain(72),
    plain(73), plain(82), plain(83),
    // App (Menu).
    e0(127, 0x5D),
    // K45 (ISO \), K56 (Ro), K14 (Yen), K107 (keypad comma), K131 (Muhenkan), K132 (Henkan),
    // K133 (Katakana/Hiragana), K150 (Hanja), K151 (Hangeul).
    KeyCodes{86, 0x56, false}, KeyCodes{89, 0x73, false}, KeyCodes{124, 0x7D, false},
    KeyCodes{121, 0x7E, false}, KeyCodes{94, 0x7B, false}, KeyCodes{92, 0x79, false},
    KeyCodes{93, 0x70, false}, KeyCodes{123, 0xF1, false}, KeyCodes{122, 0xF2, false},
}};
// clang-format on

// Consumer and system rows (114–134), by their evdev codes.
constexpr std::array<uint16_t, kFirstMacroKeyRow - kFirstConsumerRow> kConsumerCodes{{
    140,  // Launch App2: KEY_CALC
    172,  // Browser Home: KEY_HOMEPAGE
    164,  // Media Play Pause: KEY_PLAYPAUSE
    217,  // Browser Search: KEY_SEARCH
    155,  // Launch Mail: KEY_MAIL
    115,  // Volume Up
    113,  // Volume Mute: KEY_MUTE
    166,  // Media Stop: KEY_STOPCD
    114,  // Volume Down
    156,  // Browser Favorites: KEY_BOOKMARKS
    159,  // Browser Forward: KEY_FORWARD
    158,  // Browser Back: KEY_BACK
    165,  // Media Prev Track: KEY_PREVIOUSSONG
    163,  // Media Next Track: KEY_NEXTSONG
    144,  // Computer (AL Local Machine Browser): KEY_FILE
    173,  // Browser Refresh: KEY_REFRESH
    128,  // Browser Stop: KEY_STOP
    171,  // Launch Media Select (AL Consumer Control Configuration): KEY_CONFIG
    116,  // Power: KEY_POWER
    142,  // Sleep: KEY_SLEEP
    143,  // Wakeup: KEY_WAKEUP
}};

// Other codes Linux uses for the same keys.
constexpr std::array<std::pair<uint16_t, std::size_t>, 3> kAliases{{
    {95, 107},   // KEY_KPJPCOMMA: K107
    {157, 128},  // KEY_COMPUTER: Computer
    {226, 131},  // KEY_MEDIA: Launch Media Select
}};

}  // namespace

std::optional<std::size_t> rowForEvdevCode(int code) {
    if (code <= 0) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < kKeyCodes.size(); ++i) {
        if (kKeyCodes[i].evdev == code) {
            return i;
        }
    }
    for (std::size_t i = 0; i < kConsumerCodes.size(); ++i) {
        if (kConsumerCodes[i] == code) {
            return kFirstConsumerRow + i;
        }
    }
    for (const auto& [alias, row] : kAliases) {
        if (alias == code) {
            return row;
        }
    }
    return std::nullopt;
}

std::optional<int> evdevCodeForRow(std::size_t row) {
    if (row < kKeyCodes.size()) {
        return kKeyCodes[row].evdev;
    }
    if (row >= kFirstConsumerRow && row < kFirstConsumerRow + kConsumerCodes.size()) {
        return kConsumerCodes[row - kFirstConsumerRow];
    }
    return std::nullopt;
}

std::optional<ScanCode> scanCodeForRow(std::size_t row) {
    if (row >= kKeyCodes.size()) {
        return std::nullopt;
    }
    return ScanCode{kKeyCodes[row].scan, kKeyCodes[row].extended};
}

std::optional<std::size_t> rowForScanCode(ScanCode scan) {
    for (std::size_t i = 0; i < kKeyCodes.size(); ++i) {
        if (kKeyCodes[i].scan == scan.code && kKeyCodes[i].extended == scan.extended) {
            return i;
        }
    }
    return std::nullopt;
}

}  // namespace korvane::keys
