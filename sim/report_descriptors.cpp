#include "sim/report_descriptors.h"

namespace korvane::sim::descriptors {

namespace {

// Short items with the smallest data size that holds the value (HID 1.11,
// 6.2.2.2): unsigned for pages, usages, ids, sizes and counts; signed for
// logical and physical bounds.
class Builder {
  public:
    Builder& usagePage(uint32_t v) { return unsignedItem(0x04, v); }
    Builder& usage(uint32_t v) { return unsignedItem(0x08, v); }
    Builder& usageMin(uint32_t v) { return unsignedItem(0x18, v); }
    Builder& usageMax(uint32_t v) { return unsignedItem(0x28, v); }
    Builder& logicalMin(int32_t v) { return signedItem(0x14, v); }
    Builder& logicalMax(int32_t v) { return signedItem(0x24, v); }
    Builder& reportSize(uint32_t v) { return unsignedItem(0x74, v); }
    Builder& reportCount(uint32_t v) { return unsignedItem(0x94, v); }
    Builder& reportId(uint8_t v) { return unsignedItem(0x84, v); }
    Builder& collection(uint8_t type) { return unsignedItem(0xA0, type); }
    Builder& endCollection() {
        bytes_.push_back(0xC0);
        return *this;
    }
    Builder& input(uint8_t flags) { return unsignedItem(0x80, flags); }
    Builder& output(uint8_t flags) { return unsignedItem(0x90, flags); }
    Builder& append(const std::vector<uint8_t>& more) {
        bytes_.insert(bytes_.end(), more.begin(), more.end());
        return *this;
    }
    std::vector<uint8_t> bytes() const { return bytes_; }

  private:
    Builder& unsignedItem(uint8_t prefix, uint32_t v) {
        if (v <= 0xFF) {
            return item(prefix, v, 1);
        }
        return v <= 0xFFFF ? item(prefix, v, 2) : item(prefix, v, 4);
    }
    Builder& signedItem(uint8_t prefix, int32_t v) {
        if (v >= -128 && v <= 127) {
            return item(prefix, static_cast<uint32_t>(v), 1);
        }
        return v >= -32768 && v <= 32767 ? item(prefix, static_cast<uint32_t>(v), 2)
                                         : item(prefix, static_cast<uint32_t>(v), 4);
    }
    Builder& item(uint8_t prefix, uint32_t v, int size) {
        bytes_.push_back(static_cast<uint8_t>(prefix | (size == 4 ? 3 : size)));
        for (int i = 0; i < size; ++i) {
            bytes_.push_back(static_cast<uint8_t>(v >> (8 * i)));
        }
        return *this;
    }

    std::vector<uint8_t> bytes_;
};

constexpr uint8_t kApplication = 0x01;
constexpr uint8_t kPhysical = 0x00;
constexpr uint8_t kDataArrayAbs = 0x00;
constexpr uint8_t kConstant = 0x01;
constexpr uint8_t kDataVarAbs = 0x02;
constexpr uint8_t kDataVarRel = 0x06;

constexpr uint16_t kGenericDesktop = 0x01;
constexpr uint16_t kKeyboardPage = 0x07;
constexpr uint16_t kLedPage = 0x08;
constexpr uint16_t kButtonPage = 0x09;
constexpr uint16_t kConsumerPage = 0x0C;
constexpr uint16_t kVendorPage = 0xFF1C;

// Five buttons, X/Y, wheel and horizontal pan.
std::vector<uint8_t> mouseCollection(int reportId) {
    Builder b;
    b.usagePage(kGenericDesktop).usage(0x02).collection(kApplication);
    if (reportId > 0) {
        b.reportId(static_cast<uint8_t>(reportId));
    }
    b.usage(0x01).collection(kPhysical);
    b.usagePage(kButtonPage).usageMin(1).usageMax(5).logicalMin(0).logicalMax(1);
    b.reportSize(1).reportCount(5).input(kDataVarAbs);
    b.reportSize(3).reportCount(1).input(kConstant);
    if (reportId > 0) {
        b.usagePage(kGenericDesktop).usage(0x30).usage(0x31).logicalMin(-32767).logicalMax(32767);
        b.reportSize(16).reportCount(2).input(kDataVarRel);
        b.usage(0x38).logicalMin(-127).logicalMax(127).reportSize(8).reportCount(1);
        b.input(kDataVarRel);
        b.usagePage(kConsumerPage).usage(0x238).reportCount(1).input(kDataVarRel);
    } else {
        // Boot protocol: 8-bit X, Y and wheel.
        b.usagePage(kGenericDesktop).usage(0x30).usage(0x31).usage(0x38);
        b.logicalMin(-127).logicalMax(127).reportSize(8).reportCount(3).input(kDataVarRel);
    }
    b.endCollection().endCollection();
    return b.bytes();
}

// Modifiers, a reserved byte and six key slots; with LED output when asked.
std::vector<uint8_t> keyboardCollection(int reportId, bool leds) {
    Builder b;
    b.usagePage(kGenericDesktop).usage(0x06).collection(kApplication);
    if (reportId > 0) {
        b.reportId(static_cast<uint8_t>(reportId));
    }
    b.usagePage(kKeyboardPage).usageMin(0xE0).usageMax(0xE7).logicalMin(0).logicalMax(1);
    b.reportSize(1).reportCount(8).input(kDataVarAbs);
    b.reportSize(8).reportCount(1).input(kConstant);
    if (leds) {
        b.usagePage(kLedPage).usageMin(1).usageMax(5).reportSize(1).reportCount(5);
        b.output(kDataVarAbs);
        b.reportSize(3).reportCount(1).output(kConstant);
    }
    b.usagePage(kKeyboardPage).usageMin(0).usageMax(0xFF).logicalMin(0).logicalMax(0xFF);
    b.reportSize(8).reportCount(6).input(kDataArrayAbs);
    b.endCollection();
    return b.bytes();
}

// Every key as one bit (n-key rollover) plus LED output.
std::vector<uint8_t> nkroKeyboardCollection(uint8_t reportId) {
    Builder b;
    b.usagePage(kGenericDesktop).usage(0x06).collection(kApplication).reportId(reportId);
    b.usagePage(kKeyboardPage).usageMin(0xE0).usageMax(0xE7).logicalMin(0).logicalMax(1);
    b.reportSize(1).reportCount(8).input(kDataVarAbs);
    b.usageMin(0x00).usageMax(0x9F).reportCount(160).input(kDataVarAbs);
    b.usagePage(kLedPage).usageMin(1).usageMax(5).reportCount(5).output(kDataVarAbs);
    b.reportSize(3).reportCount(1).output(kConstant);
    b.endCollection();
    return b.bytes();
}

// Power down, sleep, wake up.
std::vector<uint8_t> systemControlCollection(uint8_t reportId) {
    Builder b;
    b.usagePage(kGenericDesktop).usage(0x80).collection(kApplication).reportId(reportId);
    b.usageMin(0x81).usageMax(0x83).logicalMin(0).logicalMax(1);
    b.reportSize(1).reportCount(3).input(kDataVarAbs);
    b.reportSize(5).reportCount(1).input(kConstant);
    b.endCollection();
    return b.bytes();
}

// One 16-bit array field: the code of the last event.
void consumerCodeField(Builder& b, uint8_t reportId) {
    b.reportId(reportId).logicalMin(0).logicalMax(0x1FFF).usageMin(0).usageMax(0x1FFF);
    b.reportSize(16).reportCount(1).input(kDataArrayAbs);
}

std::vector<uint8_t> consumerCollection(uint8_t reportId) {
    Builder b;
    b.usagePage(kConsumerPage).usage(0x01).collection(kApplication);
    consumerCodeField(b, reportId);
    b.endCollection();
    return b.bytes();
}

// 63 data bytes each way: 64-byte reports with the id.
void commandFields(Builder& b) {
    b.reportId(kCommandReportId).usage(0x01).logicalMin(0).logicalMax(0xFF);
    b.reportSize(8).reportCount(63).input(kDataVarAbs);
    b.usage(0x02).reportCount(63).output(kDataVarAbs);
}

std::vector<uint8_t> vendorCollection() {
    Builder b;
    b.usagePage(kVendorPage).usage(0x92).collection(kApplication);
    commandFields(b);
    b.endCollection();
    return b.bytes();
}

}  // namespace

std::vector<uint8_t> bootMouse() {
    return mouseCollection(0);
}

std::vector<uint8_t> bootKeyboard() {
    return keyboardCollection(0, true);
}

std::vector<uint8_t> mouseControl() {
    return Builder()
        .append(mouseCollection(1))
        .append(keyboardCollection(2, false))
        .append(consumerCollection(kConsumerReportId))
        .append(vendorCollection())
        .bytes();
}

std::vector<uint8_t> keyboardControl() {
    return Builder()
        .append(nkroKeyboardCollection(1))
        .append(systemControlCollection(2))
        .append(consumerCollection(kConsumerReportId))
        .append(vendorCollection())
        .bytes();
}

std::vector<uint8_t> padControl() {
    return Builder()
        .append(keyboardCollection(1, false))
        .append(systemControlCollection(2))
        .append(consumerCollection(kConsumerReportId))
        .append(vendorCollection())
        .bytes();
}

std::vector<uint8_t> headsetControl() {
    Builder b;
    b.usagePage(kConsumerPage).usage(0x01).collection(kApplication);
    consumerCodeField(b, kHeadsetConsumerReportId);
    b.usagePage(kVendorPage);
    commandFields(b);
    b.reportId(kHeadsetLightingReportId).usage(0x03).reportCount(16).output(kDataVarAbs);
    b.endCollection();
    return b.bytes();
}

}  // namespace korvane::sim::descriptors
