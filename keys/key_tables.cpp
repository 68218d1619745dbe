#include "keys/key_tables.h"

namespace korvane::keys {
namespace {

constexpr KeyRow row(uint8_t t, uint8_t first, uint8_t second, std::string_view key,
                     uint8_t vk = kNoVirtualKey) {
    return KeyRow{KeyAssignment{t, first, second}, vk, key};
}
// A keyboard key by HID usage.
constexpr KeyRow usage(uint8_t u, uint8_t vk, std::string_view key) {
    return row(type::kKeyboard, 0, u, key, vk);
}
// A consumer key: usage split low byte first.
constexpr KeyRow consumer(uint16_t u, uint8_t vk, std::string_view key) {
    return row(type::kMedia, static_cast<uint8_t>(u & 0xFF), static_cast<uint8_t>(u >> 8), key, vk);
}

}  // namespace

const std::array<KeyRow, 5> MouseButtonTable{{
    row(type::kMouseButton, 0x01, 0, "mouse_key_left"),
    row(type::kMouseButton, 0x04, 0, "mouse_key_middle"),
    row(type::kMouseButton, 0x02, 0, "mouse_key_right"),
    row(type::kMouseButton, 0x10, 0, "mouse_key_forward"),
    row(type::kMouseButton, 0x08, 0, "mouse_key_back"),
}};

const std::array<KeyRow, 3> SensitivityTable{{
    row(type::kSensitivity, 0x01, 0, "mouse_key_DPI_add"),
    row(type::kSensitivity, 0x02, 0, "mouse_key_DPI_sub"),
    row(type::kSensitivity, 0x03, 0, "mouse_key_DPI_loop"),
}};

const std::array<KeyRow, 18> MediaTable{{
    consumer(0x0183, 0xB5, "media_text"),
    consumer(0x00CD, 0xB3, "media_play"),
    consumer(0x00B7, 0xB2, "media_stop"),
    consumer(0x00B6, 0xB1, "media_prev"),
    consumer(0x00B5, 0xB0, "media_next"),
    consumer(0x00EA, 0xAE, "media_vol_sub"),
    consumer(0x00E9, 0xAF, "media_vol_add"),
    consumer(0x00E2, 0xAD, "media_mute"),
    consumer(0x0223, 0xAC, "web_text"),
    consumer(0x0227, 0xA8, "web_refresh"),
    consumer(0x0226, 0xA9, "wed_stop"),
    consumer(0x0224, 0xA6, "wed_back"),
    consumer(0x0225, 0xA7, "wed_forward"),
    consumer(0x022A, 0xAB, "wed_favorite"),
    consumer(0x0221, 0xAA, "web_search"),
    consumer(0x0194, 0xB6, "media_mypc"),
    consumer(0x0192, 0xB7, "media_calc"),
    consumer(0x018A, 0xB4, "media_mail"),
}};

const std::array<KeyRow, 3> SystemTable{{
    row(type::kSystem, 0x01, 0, "system_power"),
    row(type::kSystem, 0x02, 0, "system_sleep", 0x5F),
    row(type::kSystem, 0x04, 0, "system_wake_up"),
}};

const std::array<KeyRow, 11> CombinationKeyTable{{
    row(type::kKeyboard, 0x10, 0x12, "custem_open"),
    row(type::kKeyboard, 0x10, 0x11, "custem_new"),
    row(type::kKeyboard, 0x10, 0x1D, "custem_undo"),
    row(type::kKeyboard, 0x10, 0x16, "custem_save"),
    row(type::kKeyboard, 0x10, 0x06, "custem_copy"),
    row(type::kKeyboard, 0x10, 0x1B, "custem_cut"),
    row(type::kKeyboard, 0x10, 0x19, "custem_paste"),
    row(type::kKeyboard, 0x10, 0x09, "custem_find"),
    row(type::kKeyboard, 0x10, 0x04, "custem_select_all"),
    row(type::kKeyboard, 0x10, 0x2D, "custem_narrow"),
    row(type::kKeyboard, 0x10, 0x2E, "custem_magnify"),
}};

const std::array<KeyRow, 4> GunKeyTable{{
    row(type::kGun, 0, 0, "gun_1_txt"),
    row(type::kGun, 1, 0, "gun_2_txt"),
    row(type::kGun, 2, 0, "gun_3_txt"),
    row(type::kGun, 3, 0, "gun_4_txt"),
}};

// Virtual-key codes are those of a US layout; the international keys take the code their key
// produces on the layout that has it (0xFF where no layout gives one of its own).
const std::array<KeyRow, kKeyboardRowCount> KeyboardTable{{
    // 0–7: modifiers alone.
    row(type::kKeyboard, 0x01, 0, "keyboard_key_LCtrl", 0xA2),
    row(type::kKeyboard, 0x02, 0, "keyboard_key_LShift", 0xA0),
    row(type::kKeyboard, 0x04, 0, "keyboard_key_LAlt", 0xA4),
    row(type::kKeyboard, 0x08, 0, "keyboard_key_LWin", 0x5B),
    row(type::kKeyboard, 0x10, 0, "keyboard_key_RCtrl", 0xA3),
    row(type::kKeyboard, 0x20, 0, "keyboard_key_RShift", 0xA1),
    row(type::kKeyboard, 0x40, 0, "keyboard_key_RAlt", 0xA5),
    row(type::kKeyboard, 0x80, 0, "keyboard_key_RWin", 0x5C),
    // 8–33: letters.
    usage(0x04, 0x41, "keyboard_key_A"),
    usage(0x05, 0x42, "keyboard_key_B"),
    usage(0x06, 0x43, "keyboard_key_C"),
    usage(0x07, 0x44, "keyboard_key_D"),
    usage(0x08, 0x45, "keyboard_key_E"),
    usage(0x09, 0x46, "keyboard_key_F"),
    usage(0x0A, 0x47, "keyboard_key_G"),
    usage(0x0B, 0x48, "keyboard_key_H"),
    usage(0x0C, 0x49, "keyboard_key_I"),
    usage(0x0D, 0x4A, "keyboard_key_J"),
    usage(0x0E, 0x4B, "keyboard_key_K"),
    usage(0x0F, 0x4C, "keyboard_key_L"),
    usage(0x10, 0x4D, "keyboard_key_M"),
    usage(0x11, 0x4E, "keyboard_key_N"),
    usage(0x12, 0x4F, "keyboard_key_O"),
    usage(0x13, 0x50, "keyboard_key_P"),
    usage(0x14, 0x51, "keyboard_key_Q"),
    usage(0x15, 0x52, "keyboard_key_R"),
    usage(0x16, 0x53, "keyboard_key_S"),
    usage(0x17, 0x54, "keyboard_key_T"),
    usage(0x18, 0x55, "keyboard_key_U"),
    usage(0x19, 0x56, "keyboard_key_V"),
    usage(0x1A, 0x57, "keyboard_key_W"),
    usage(0x1B, 0x58, "keyboard_key_X"),
    usage(0x1C, 0x59, "keyboard_key_Y"),
    usage(0x1D, 0x5A, "keyboard_key_Z"),
    // 34–43: digits 1–9, 0.
    usage(0x1E, 0x31, "keyboard_key_1"),
    usage(0x1F, 0x32, "keyboard_key_2"),
    usage(0x20, 0x33, "keyboard_key_3"),
    usage(0x21, 0x34, "keyboard_key_4"),
    usage(0x22, 0x35, "keyboard_key_5"),
    usage(0x23, 0x36, "keyboard_key_6"),
    usage(0x24, 0x37, "keyboard_key_7"),
    usage(0x25, 0x38, "keyboard_key_8"),
    usage(0x26, 0x39, "keyboard_key_9"),
    usage(0x27, 0x30, "keyboard_key_0"),
    // 44–48.
    usage(0x28, 0x0D, "keyboard_key_Enter"),
    usage(0x29, 0x1B, "keyboard_key_Esc"),
    usage(0x2A, 0x08, "keyboard_key_BackSpace"),
    usage(0x2B, 0x09, "keyboard_key_Tab"),
    usage(0x2C, 0x20, "keyboard_key_Space"),
    // 49–59: punctuation (0x32 is K42, further down).
    usage(0x2D, 0xBD, "keyboard_key_-"),
    usage(0x2E, 0xBB, "keyboard_key_="),
    usage(0x2F, 0xDB, "keyboard_key_["),
    usage(0x30, 0xDD, "keyboard_key_]"),
    usage(0x31, 0xDC, "keyboard_key_xiegang"),
    usage(0x33, 0xBA, "keyboard_key_;"),
    usage(0x34, 0xDE, "keyboard_key_'"),
    usage(0x35, 0xC0, "keyboard_key_`"),
    usage(0x36, 0xBC, "keyboard_key_<"),
    usage(0x37, 0xBE, "keyboard_key_."),
    usage(0x38, 0xBF, "keyboard_key_/"),
    // 60.
    usage(0x39, 0x14, "keyboard_key_Caplk"),
    // 61–72: F1–F12.
    usage(0x3A, 0x70, "keyboard_key_F1"),
    usage(0x3B, 0x71, "keyboard_key_F2"),
    usage(0x3C, 0x72, "keyboard_key_F3"),
    usage(0x3D, 0x73, "keyboard_key_F4"),
    usage(0x3E, 0x74, "keyboard_key_F5"),
    usage(0x3F, 0x75, "keyboard_key_F6"),
    usage(0x40, 0x76, "keyboard_key_F7"),
    usage(0x41, 0x77, "keyboard_key_F8"),
    usage(0x42, 0x78, "keyboard_key_F9"),
    usage(0x43, 0x79, "keyboard_key_F10"),
    usage(0x44, 0x7A, "keyboard_key_F11"),
    usage(0x45, 0x7B, "keyboard_key_F12"),
    // 73–85: editing and arrow block.
    usage(0x46, 0x2C, "keyboard_key_Print Scr"),
    usage(0x47, 0x91, "keyboard_key_Scroll Lock"),
    usage(0x48, 0x13, "keyboard_key_Pause"),
    usage(0x49, 0x2D, "keyboard_key_Insert"),
    usage(0x4A, 0x24, "keyboard_key_Home"),
    usage(0x4B, 0x21, "keyboard_key_Page Up"),
    usage(0x4C, 0x2E, "keyboard_key_Delete"),
    usage(0x4D, 0x23, "keyboard_key_End"),
    usage(0x4E, 0x22, "keyboard_key_Page Down"),
    usage(0x4F, 0x27, "keyboard_key_Right"),
    usage(0x50, 0x25, "keyboard_key_Left"),
    usage(0x51, 0x28, "keyboard_key_Down"),
    usage(0x52, 0x26, "keyboard_key_Up"),
    // 86–102: numeric pad (Num Enter shares Enter's virtual key).
    usage(0x53, 0x90, "keyboard_key_Num Lock"),
    usage(0x54, 0x6F, "keyboard_key_Num /"),
    usage(0x55, 0x6A, "keyboard_key_Num *"),
    usage(0x56, 0x6D, "keyboard_key_Num -"),
    usage(0x57, 0x6B, "keyboard_key_Num +"),
    usage(0x58, 0x0D, "keyboard_key_Num Enter"),
    usage(0x59, 0x61, "keyboard_key_Num 1"),
    usage(0x5A, 0x62, "keyboard_key_Num 2"),
    usage(0x5B, 0x63, "keyboard_key_Num 3"),
    usage(0x5C, 0x64, "keyboard_key_Num 4"),
    usage(0x5D, 0x65, "keyboard_key_Num 5"),
    usage(0x5E, 0x66, "keyboard_key_Num 6"),
    usage(0x5F, 0x67, "keyboard_key_Num 7"),
    usage(0x60, 0x68, "keyboard_key_Num 8"),
    usage(0x61, 0x69, "keyboard_key_Num 9"),
    usage(0x62, 0x60, "keyboard_key_Num 0"),
    usage(0x63, 0x6E, "keyboard_key_Decimal"),
    // 103: App; 104–113: international keys.
    usage(0x65, 0x5D, "keyboard_key_App"),
    usage(0x64, 0xE2, "keyboard_key_K45"),
    usage(0x87, 0xC1, "keyboard_key_K56"),
    usage(0x89, kNoVirtualKey, "keyboard_key_K14"),
    usage(0x85, 0xC2, "keyboard_key_K107"),
    usage(0x8B, 0x1D, "keyboard_key_K131"),
    usage(0x8A, 0x1C, "keyboard_key_K132"),
    usage(0x88, kNoVirtualKey, "keyboard_key_K133"),
    usage(0x91, 0x19, "keyboard_key_K150"),
    usage(0x90, 0x15, "keyboard_key_K151"),
    usage(0x32, kNoVirtualKey, "keyboard_key_K42"),
    // 114–131: consumer keys.
    consumer(0x0192, 0xB7, "keyboard_key_Launch App2"),
    consumer(0x0223, 0xAC, "keyboard_key_Browaer Home"),
    consumer(0x00CD, 0xB3, "keyboard_key_Media Play Pause"),
    consumer(0x0221, 0xAA, "keyboard_key_Browser Search"),
    consumer(0x018A, 0xB4, "keyboard_key_Launch Mail"),
    consumer(0x00E9, 0xAF, "keyboard_key_Volume Up"),
    consumer(0x00E2, 0xAD, "keyboard_key_Volume Mute"),
    consumer(0x00B7, 0xB2, "keyboard_key_Media Stop"),
    consumer(0x00EA, 0xAE, "keyboard_key_Volume Down"),
    consumer(0x022A, 0xAB, "keyboard_key_Browser Favorites"),
    consumer(0x0225, 0xA7, "keyboard_key_Browser ForWard"),
    consumer(0x0224, 0xA6, "keyboard_key_Browser Back"),
    consumer(0x00B6, 0xB1, "keyboard_key_Media Prev Track"),
    consumer(0x00B5, 0xB0, "keyboard_key_Media Next Track"),
    consumer(0x0194, 0xB6, "keyboard_key_Computer"),
    consumer(0x0227, 0xA8, "keyboard_key_Browser Refresh"),
    consumer(0x0226, 0xA9, "wed_stop"),
    consumer(0x0183, 0xB5, "keyboard_key_Launch Media Select"),
    // 132–134: system keys.
    row(type::kSystem, 0x01, 0, "keyboard_key_Power"),
    row(type::kSystem, 0x02, 0, "keyboard_key_Sleep", 0x5F),
    row(type::kSystem, 0x04, 0, "keyboard_key_Wakeup"),
    // 135–139: macro keys M1–M5.
    row(type::kKeyboardMacro, 0xA2, 1, "keyboard_key_M1"),
    row(type::kKeyboardMacro, 0xA2, 2, "keyboard_key_M2"),
    row(type::kKeyboardMacro, 0xA2, 3, "keyboard_key_M3"),
    row(type::kKeyboardMacro, 0xA2, 4, "keyboard_key_M4"),
    row(type::kKeyboardMacro, 0xA2, 5, "keyboard_key_M5"),
    // 140, 141: special keys.
    row(type::kSpecial, 0x01, 0, "keyboard_key_FN"),
    row(type::kSpecial, 0x1B, 0, "keyboard_key_GM"),
}};

std::optional<std::size_t> findRow(std::span<const KeyRow> table, const KeyAssignment& code,
                                   std::size_t from) {
    for (std::size_t i = from; i < table.size(); ++i) {
        if (table[i].code == code) {
            return i;
        }
    }
    return std::nullopt;
}

std::optional<std::size_t> findRowByParameters(std::span<const KeyRow> table,
                                               const KeyAssignment& code) {
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (table[i].code.first == code.first && table[i].code.second == code.second) {
            return i;
        }
    }
    return std::nullopt;
}

std::optional<std::size_t> keyboardRowForUsage(uint8_t usage) {
    const auto keys = std::span(KeyboardTable).first(kFirstConsumerRow);
    return findRow(keys, KeyAssignment{type::kKeyboard, 0, usage}, kFirstUsageRow);
}

std::optional<std::size_t> modifierRowForBit(uint8_t bit) {
    const auto modifiers = std::span(KeyboardTable).first(kModifierRowCount);
    return findRow(modifiers, KeyAssignment{type::kKeyboard, bit, 0});
}

std::optional<std::size_t> keyboardRowForVirtualKey(uint8_t virtualKey) {
    if (virtualKey == kNoVirtualKey) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < KeyboardTable.size(); ++i) {
        if (KeyboardTable[i].virtualKey == virtualKey) {
            return i;
        }
    }
    return std::nullopt;
}

std::string_view keyNameKey(const KeyAssignment& code) {
    auto in = [&](std::span<const KeyRow> table) -> std::string_view {
        const auto i = findRow(table, code);
        return i ? table[*i].languageKey : std::string_view{};
    };
    switch (code.type) {
        case type::kKeyboard: {
            const auto name = in(KeyboardTable);
            return name.empty() ? in(CombinationKeyTable) : name;
        }
        case type::kMedia: {
            const auto name = in(KeyboardTable);
            return name.empty() ? in(MediaTable) : name;
        }
        case type::kSystem:
        case type::kSpecial:
        case type::kKeyboardMacro:
            return in(KeyboardTable);
        case type::kMouseButton:
            return in(MouseButtonTable);
        case type::kSensitivity:
            return in(SensitivityTable);
        case type::kGun:
            return in(GunKeyTable);
        default:
            return {};
    }
}

std::span<const KeyRow> tableForFunction(int function) {
    switch (function) {
        case 1:
            return MouseButtonTable;
        case 4:
            return SensitivityTable;
        case 7:
            return MediaTable;
        case 8:
            return SystemTable;
        case 10:
            return GunKeyTable;
        case 11:
            return CombinationKeyTable;
        default:
            return {};
    }
}

}  // namespace korvane::keys
