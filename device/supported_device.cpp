#include "device/supported_device.h"

#include <cctype>

namespace korvane::device {
namespace {

constexpr SupportedDevice row(uint16_t vid, uint16_t pid, uint16_t mi, uint16_t col, DeviceKind kind,
                              InterfaceRole role, uint16_t page, uint16_t usage, uint16_t hasPartner,
                              uint16_t partner) {
    SupportedDevice d;
    d.vendorId = vid;
    d.productId = pid;
    d.interfaceNumber = mi;
    d.collectionNumber = col;
    d.kind = kind;
    d.role = role;
    d.usagePage = page;
    d.usage = usage;
    d.hasPartner = hasPartner;
    d.partnerIndex = partner;
    return d;
}

// Finds `marker` without regard to case.
size_t findMarker(std::string_view text, std::string_view marker) {
    if (marker.size() > text.size()) {
        return std::string_view::npos;
    }
    for (size_t i = 0; i + marker.size() <= text.size(); ++i) {
        bool equal = true;
        for (size_t j = 0; j < marker.size(); ++j) {
            if (std::tolower(static_cast<unsigned char>(text[i + j])) !=
                std::tolower(static_cast<unsigned char>(marker[j]))) {
                equal = false;
                break;
            }
        }
        if (equal) {
            return i;
        }
    }
    return std::string_view::npos;
}

// Reads hex digits after the marker like a "%x" scan: leading blanks and an
// optional sign or "0x" are accepted, reading stops at the first non-hex digit,
// and the low 16 bits are kept.
uint16_t hexAfterMarker(std::string_view path, std::string_view marker) {
    size_t at = findMarker(path, marker);
    if (at == std::string_view::npos) {
        return 0;
    }
    std::string_view rest = path.substr(at + marker.size());
    size_t i = 0;
    while (i < rest.size() && std::isspace(static_cast<unsigned char>(rest[i]))) {
        ++i;
    }
    bool negative = false;
    if (i < rest.size() && (rest[i] == '+' || rest[i] == '-')) {
        negative = rest[i] == '-';
        ++i;
    }
    if (i + 1 < rest.size() && rest[i] == '0' && (rest[i + 1] == 'x' || rest[i + 1] == 'X') &&
        i + 2 < rest.size() && std::isxdigit(static_cast<unsigned char>(rest[i + 2]))) {
        i += 2;
    }
    uint32_t value = 0;
    bool any = false;
    for (; i < rest.size() && std::isxdigit(static_cast<unsigned char>(rest[i])); ++i) {
        char c = static_cast<char>(std::tolower(static_cast<unsigned char>(rest[i])));
        uint32_t digit = c <= '9' ? static_cast<uint32_t>(c - '0') : static_cast<uint32_t>(c - 'a' + 10);
        value = (value << 4) | digit;  // wraps like the scan's unsigned conversion
        any = true;
    }
    if (!any) {
        return 0;
    }
    if (negative) {
        value = 0u - value;
    }
    return static_cast<uint16_t>(value & 0xffffu);
}

bool sameLocation(const SupportedDevice& a, const SupportedDevice& b) {
    return a.vendorId == b.vendorId && a.productId == b.productId &&
           a.collectionNumber == b.collectionNumber && a.interfaceNumber == b.interfaceNumber;
}

bool sameSixValues(const SupportedDevice& a, const SupportedDevice& b) {
    return sameLocation(a, b) && a.usagePage == b.usagePage && a.usage == b.usage;
}

}  // namespace

DeviceFamily familyOf(DeviceKind kind) {
    switch (kind) {
        case DeviceKind::Keyboard:
        case DeviceKind::KeyboardReceiver: return DeviceFamily::Keyboard;
        case DeviceKind::Mouse:
        case DeviceKind::MouseReceiver: return DeviceFamily::Mouse;
        case DeviceKind::MousePad: return DeviceFamily::MousePad;
        case DeviceKind::Headset: return DeviceFamily::Headset;
    }
    return DeviceFamily::None;
}

bool isReceiverKind(DeviceKind kind) {
    return kind == DeviceKind::MouseReceiver || kind == DeviceKind::KeyboardReceiver;
}

const char* toString(DeviceKind kind) {
    switch (kind) {
        case DeviceKind::Keyboard: return "keyboard";
        case DeviceKind::Mouse: return "mouse";
        case DeviceKind::MousePad: return "mouse pad";
        case DeviceKind::MouseReceiver: return "mouse receiver";
        case DeviceKind::Headset: return "headset";
        case DeviceKind::KeyboardReceiver: return "keyboard receiver";
    }
    return "unknown";
}

const std::array<SupportedDevice, kSupportedDeviceCount>& supportedDevices() {
    using K = DeviceKind;
    constexpr auto C = InterfaceRole::Command;
    constexpr auto S = InterfaceRole::ConsumerControl;
    static const std::array<SupportedDevice, kSupportedDeviceCount> table{
        row(0x320F, 0x505B, 1, 4, K::Keyboard, C, 0xFF1C, 0x0092, 1, 2),
        row(0x320F, 0x505B, 1, 3, K::Keyboard, S, 0x000C, 0x0001, 1, 3),
        row(0x320F, 0x5001, 1, 4, K::KeyboardReceiver, C, 0xFF1C, 0x0092, 1, 0),
        row(0x320F, 0x5001, 1, 3, K::KeyboardReceiver, S, 0x000C, 0x0001, 1, 1),
        row(0x320F, 0x221C, 1, 4, K::Mouse, C, 0xFF1C, 0x0092, 1, 6),
        row(0x320F, 0x221C, 1, 3, K::Mouse, S, 0x000C, 0x0001, 1, 7),
        row(0x320F, 0x221D, 1, 4, K::MouseReceiver, C, 0xFF1C, 0x0092, 1, 4),
        row(0x320F, 0x221D, 1, 3, K::MouseReceiver, S, 0x000C, 0x0001, 1, 5),
        row(0x320F, 0x1004, 1, 4, K::MousePad, C, 0xFF1C, 0x0092, 0, 0),
        row(0x320F, 0x1004, 1, 3, K::MousePad, S, 0x000C, 0x0001, 0, 0),
        row(0x0C76, 0x1630, 3, 0, K::Headset, C, 0x000C, 0x0001, 0, 0),
    };
    return table;
}

const std::array<DeviceTabTemplate, kTemplateCount>& deviceTabTemplates() {
    static const std::string kTab = "XML\\CustomControlXML\\DeviceOption.xml";
    static const std::array<DeviceTabTemplate, kTemplateCount> table{
        DeviceTabTemplate{kTab, "tab_header_device", "device_power_switch", "mouse", 1, 0x320F, 0x221C, 2, 0},
        DeviceTabTemplate{kTab, "tab_header_device", "device_power_switch", "keyboard", 0, 0x320F, 0x505B, 1, 0},
        DeviceTabTemplate{kTab, "tab_header_device", "device_power_switch", "MousePad", 2, 0x320F, 0x1004, 3, 0},
        DeviceTabTemplate{kTab, "tab_header_device", "device_power_switch", "HD", 3, 0x0C76, 0x1630, 7, 0},
    };
    return table;
}

const std::array<DevicePageTemplate, kTemplateCount>& devicePageTemplates() {
    static const std::array<DevicePageTemplate, kTemplateCount> table{
        DevicePageTemplate{15, 11, 1, -1, "XML\\DeviceXml\\mousedevice.xml", "brenta_light"},
        DevicePageTemplate{170, 170, 0, -1, "XML\\DeviceXml\\keyboarddevice.xml", "brenta_light"},
        DevicePageTemplate{15, 0, 0, -1, "XML\\DeviceXml\\mousepaddevice.xml", "brenta_light"},
        DevicePageTemplate{13, 0, 0, -1, "XML\\DeviceXml\\hs6533device.xml", "brenta_light"},
    };
    return table;
}

std::array<UpdateIdentity, 4>& updateIdentities() {
    static std::array<UpdateIdentity, 4> table{
        UpdateIdentity{1, 1, 0, "BRENTA", "QX20M33B", "MS", "MS", ""},
        UpdateIdentity{1, 1, 0, "BRENTA", "QX20M41B", "KB", "KB", ""},
        UpdateIdentity{2, 1, 0, "BRENTA", "QX20M41B", "AP", "AP", ""},
        UpdateIdentity{0, 1, 0, "BRENTA", "ALL", "AP", "AP", "V1.0.0.0"},
    };
    return table;
}

uint16_t vendorIdFromPath(std::string_view path) { return hexAfterMarker(path, "vid_"); }
uint16_t productIdFromPath(std::string_view path) { return hexAfterMarker(path, "pid_"); }
uint16_t interfaceNumberFromPath(std::string_view path) { return hexAfterMarker(path, "&mi_"); }
uint16_t collectionNumberFromPath(std::string_view path) { return hexAfterMarker(path, "&col"); }

SupportedDevice candidateFromPath(std::string_view path) {
    SupportedDevice c;
    c.vendorId = vendorIdFromPath(path);
    c.productId = productIdFromPath(path);
    c.interfaceNumber = interfaceNumberFromPath(path);
    c.collectionNumber = collectionNumberFromPath(path);
    return c;
}

SlotList makeSlotList() {
    const auto& table = supportedDevices();
    return SlotList(table.begin(), table.end());
}

bool preMatch(const SupportedDevice& candidate, const SlotList& slots) {
    bool inTable = false;
    for (const auto& r : supportedDevices()) {
        if (sameLocation(r, candidate)) {
            inTable = true;
            break;
        }
    }
    if (!inTable) {
        return false;
    }
    for (const auto& s : slots) {
        if (sameLocation(s, candidate) && !s.isBound()) {
            return true;
        }
    }
    return false;
}

std::optional<size_t> fullMatch(SupportedDevice& candidate, std::string_view path, SlotList& slots) {
    const SupportedDevice* match = nullptr;
    for (const auto& r : supportedDevices()) {
        if (sameSixValues(r, candidate)) {
            match = &r;
            break;
        }
    }
    if (match == nullptr) {
        return std::nullopt;
    }
    candidate.kind = match->kind;
    candidate.role = match->role;
    for (size_t i = 0; i < slots.size(); ++i) {
        SupportedDevice& s = slots[i];
        if (sameSixValues(s, candidate) && !s.isBound()) {
            s.present = 1;
            s.path = std::string(path);
            return i;
        }
    }
    return std::nullopt;
}

int findRow(uint16_t vendorId, uint16_t productId, DeviceKind kind, InterfaceRole role) {
    const auto& table = supportedDevices();
    for (size_t i = 0; i < table.size(); ++i) {
        const auto& r = table[i];
        if (r.vendorId == vendorId && r.productId == productId && r.kind == kind && r.role == role) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

int findTemplate(int32_t vendorId, int32_t productId, int32_t kind, int32_t variant) {
    const auto& table = deviceTabTemplates();
    for (size_t i = 0; i < table.size(); ++i) {
        const auto& t = table[i];
        if (t.vendorId == vendorId && t.productId == productId && t.kind == kind && t.variant == variant) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

bool partnerBound(const SlotList& slots, size_t slot) {
    if (slot >= slots.size() || slots[slot].hasPartner != 1) {
        return false;
    }
    size_t partner = slots[slot].partnerIndex;
    if (partner >= slots.size()) {
        return false;
    }
    const SupportedDevice& p = slots[partner];
    return p.partnerIndex == slot && p.present != 0 && !p.path.empty();
}

}  // namespace korvane::device
