#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The supported-device table and the rules that bind HID interfaces to it.
namespace korvane::device {

enum class DeviceKind : uint16_t {
    Keyboard = 1,
    Mouse = 2,
    MousePad = 3,
    MouseReceiver = 6,
    Headset = 7,
    KeyboardReceiver = 9,
};

enum class InterfaceRole : uint16_t {
    Command = 0,
    ConsumerControl = 255,
};

// One device object serves each family; a receiver belongs to its device's family.
enum class DeviceFamily { None, Keyboard, Mouse, MousePad, Headset };

DeviceFamily familyOf(DeviceKind kind);
bool isReceiverKind(DeviceKind kind);
const char* toString(DeviceKind kind);

struct SupportedDevice {
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    uint16_t interfaceNumber = 0;
    uint16_t collectionNumber = 0;
    DeviceKind kind = DeviceKind::Keyboard;
    InterfaceRole role = InterfaceRole::Command;
    uint16_t present = 0;
    uint16_t usagePage = 0;
    uint16_t usage = 0;
    uint16_t hasPartner = 0;
    uint16_t partnerIndex = 0;
    std::string path;

    bool isBound() const { return present != 0 || !path.empty(); }

    // Identity only: presence, partner and path are not compared.
    friend bool operator==(const SupportedDevice& a, const SupportedDevice& b) {
        return a.vendorId == b.vendorId && a.productId == b.productId &&
               a.interfaceNumber == b.interfaceNumber && a.collectionNumber == b.collectionNumber &&
               a.kind == b.kind && a.role == b.role && a.usagePage == b.usagePage &&
               a.usage == b.usage;
    }
};

inline constexpr size_t kSupportedDeviceCount = 11;
const std::array<SupportedDevice, kSupportedDeviceCount>& supportedDevices();

struct DeviceTabTemplate {
    std::string tabXml;
    std::string header;
    std::string powerSwitch;
    std::string familyName;
    int32_t typeCode = 0;
    int32_t vendorId = 0;
    int32_t productId = 0;
    int32_t kind = 0;
    int32_t variant = 0;
};

struct DevicePageTemplate {
    int32_t ledCount = 0;
    int32_t keyCount = 0;
    int32_t batteryPanel = 0;
    int32_t mirrorLedIndex = -1;
    std::string deviceXml;
    std::string lightGroup;
};

struct UpdateIdentity {
    int32_t category = 0;
    int32_t flag = 0;
    int32_t version = 0;
    std::string vendor;
    std::string model;
    std::string typeCode;
    std::string subTypeCode;
    std::string versionText;
};

inline constexpr size_t kTemplateCount = 4;
const std::array<DeviceTabTemplate, kTemplateCount>& deviceTabTemplates();
const std::array<DevicePageTemplate, kTemplateCount>& devicePageTemplates();
// Filled at run time (the version field), hence not const.
std::array<UpdateIdentity, 4>& updateIdentities();

// ---- Path parsing: the hexadecimal number after a marker, 0 when absent ----
uint16_t vendorIdFromPath(std::string_view path);
uint16_t productIdFromPath(std::string_view path);
uint16_t interfaceNumberFromPath(std::string_view path);
uint16_t collectionNumberFromPath(std::string_view path);

// A candidate filled from a path (ids, interface and collection).
SupportedDevice candidateFromPath(std::string_view path);

using SlotList = std::vector<SupportedDevice>;

// A fresh slot list: one unbound copy of every table row, slot index = row index.
SlotList makeSlotList();

// Path-only test: some row has the candidate's ids, interface and collection,
// and some slot with those four values is unbound.
bool preMatch(const SupportedDevice& candidate, const SlotList& slots);

// After opening: binds the first unbound slot equal to the candidate on the six
// identity values (ids, collection, interface, usage page, usage) and returns
// its index; copies the row's kind and role into the candidate.
std::optional<size_t> fullMatch(SupportedDevice& candidate, std::string_view path, SlotList& slots);

// Index of the first row with these four values, or -1.
int findRow(uint16_t vendorId, uint16_t productId, DeviceKind kind, InterfaceRole role);

// Index of the first tab template with this key, or -1 (the same index selects the page template).
int findTemplate(int32_t vendorId, int32_t productId, int32_t kind, int32_t variant);

// The slot has a partner that points back at it and is bound.
bool partnerBound(const SlotList& slots, size_t slot);

}  // namespace korvane::device
