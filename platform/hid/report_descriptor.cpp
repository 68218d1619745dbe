#include "platform/hid/report_descriptor.h"

#include <algorithm>
#include <array>
#include <bitset>
#include <limits>

namespace korvane::hid {

namespace {

// Limits that keep a hostile descriptor from costing more than a few
// megabytes or a few milliseconds. Real devices stay far below every one.
constexpr size_t kMaxDescriptorBytes = 65536;
constexpr size_t kMaxCollections = 255;  // all levels, whole descriptor
constexpr size_t kMaxCollectionDepth = 32;
constexpr size_t kMaxPushDepth = 32;
constexpr uint32_t kMaxReportSize = 256;     // bits per field
constexpr uint32_t kMaxReportCount = 65535;  // fields per main item
constexpr uint32_t kMaxReportBytes = 65535;  // per report, report-id byte included
constexpr size_t kMaxUsagesPerItem = 4096;   // local usage entries per main item
constexpr size_t kMaxCaps = 65535;           // whole descriptor

// Item tags (prefix byte with the size bits cleared).
enum : uint8_t {
    kInput = 0x80,
    kOutput = 0x90,
    kCollection = 0xA0,
    kFeature = 0xB0,
    kEndCollection = 0xC0,

    kUsagePage = 0x04,
    kLogicalMinimum = 0x14,
    kLogicalMaximum = 0x24,
    kPhysicalMinimum = 0x34,
    kPhysicalMaximum = 0x44,
    kUnitExponent = 0x54,
    kUnit = 0x64,
    kReportSize = 0x74,
    kReportId = 0x84,
    kReportCount = 0x94,
    kPush = 0xA4,
    kPop = 0xB4,

    kUsage = 0x08,
    kUsageMinimum = 0x18,
    kUsageMaximum = 0x28,
    kDelimiter = 0xA8,

    kLongItem = 0xFE,
};

// Main item data bits.
constexpr uint32_t kConstant = 0x01;
constexpr uint32_t kVariable = 0x02;
constexpr uint32_t kRelative = 0x04;
constexpr uint32_t kNullState = 0x40;

// An item's data as it was written: the size decides its sign.
struct ItemData {
    uint32_t raw = 0;
    uint8_t size = 0;  // 0, 1, 2 or 4 bytes

    int32_t asSigned() const {
        switch (size) {
            case 1:
                return static_cast<int8_t>(raw);
            case 2:
                return static_cast<int16_t>(raw);
            case 4:
                return static_cast<int32_t>(raw);
            default:
                return 0;
        }
    }
};

struct GlobalState {
    uint16_t usagePage = 0;
    ItemData logicalMin, logicalMax, physicalMin, physicalMax;
    int32_t unitExponent = 0;
    uint32_t unit = 0;
    uint32_t reportSize = 0;
    uint32_t reportCount = 0;
    uint8_t reportId = 0;
};

// A usage or usage range as declared; a usage of 1 or 2 bytes takes the usage
// page in force at the main item (as Windows does), a 4-byte one carries its own.
struct UsageEntry {
    uint32_t min = 0;
    uint32_t max = 0;
    bool minExtended = false;
    bool maxExtended = false;
    bool isRange = false;
};

struct ResolvedUsage {
    uint16_t page = 0;
    uint16_t min = 0;
    uint16_t max = 0;
    bool isRange = false;
    uint32_t length() const { return isRange ? uint32_t{max} - min + 1 : 1; }
};

// A signed pair following the HID rule: when the minimum is not negative the
// maximum is read unsigned (so 15 00 25 FF means 0..255).
std::pair<int32_t, int32_t> signedRange(const ItemData& min, const ItemData& max) {
    const int32_t lo = min.asSigned();
    int32_t hi = max.asSigned();
    if (lo >= 0 && hi < lo) {
        // 4-byte maxima above INT32_MAX keep their bit pattern; the unpack
        // functions read them back as unsigned (see effectiveMax).
        hi = static_cast<int32_t>(max.raw);
    }
    return {lo, hi};
}

int32_t unitExponentOf(const ItemData& d) {
    // The standard encodes the exponent as a 4-bit two's complement nibble;
    // some devices write a plain signed byte instead. Both are accepted.
    if (d.size <= 1 && d.raw <= 0x0F) {
        return d.raw >= 8 ? static_cast<int32_t>(d.raw) - 16 : static_cast<int32_t>(d.raw);
    }
    return d.asSigned();
}

class Parser {
  public:
    Parser(std::span<const uint8_t> descriptor, ParseError* error)
        : data_(descriptor), error_(error) {}

    std::optional<std::vector<Collection>> run();

  private:
    bool fail(std::string message) {
        if (error_ != nullptr) {
            error_->offset = itemOffset_;
            error_->message = std::move(message);
        }
        return false;
    }

    bool globalItem(uint8_t tag, const ItemData& d);
    bool localItem(uint8_t tag, const ItemData& d);
    bool mainItem(uint8_t tag, const ItemData& d);
    bool beginCollection();
    bool endCollection();
    bool dataItem(ReportType type, uint32_t flags);
    bool resolveUsages(std::vector<ResolvedUsage>& out);
    bool addUsage(UsageEntry entry);
    void clearLocals();

    std::span<const uint8_t> data_;
    ParseError* error_;
    size_t itemOffset_ = 0;

    GlobalState global_;
    std::vector<GlobalState> globalStack_;

    std::vector<UsageEntry> usages_;
    std::optional<ItemData> pendingMin_;
    std::optional<ItemData> pendingMax_;
    bool inDelimiter_ = false;
    bool delimiterTaken_ = false;  // the set's first usage is in; ignore the rest

    std::vector<Collection> collections_;
    // Link-collection index of each open collection, innermost last.
    std::vector<uint16_t> openCollections_;
    size_t collectionCount_ = 0;
    size_t capCount_ = 0;

    bool usesReportIds_ = false;
    bool sawDataItem_ = false;
    // Bits used so far in each report (report-id byte included), per type and
    // id; 0 when the report does not exist. A report id shared by several
    // top-level collections is laid out across them in descriptor order.
    std::array<std::array<uint32_t, 256>, 3> reportBits_{};
    // Which reports each top-level collection uses, per type.
    std::vector<std::array<std::bitset<256>, 3>> owned_;
};

std::optional<std::vector<Collection>> Parser::run() {
    if (data_.size() > kMaxDescriptorBytes) {
        itemOffset_ = 0;
        fail("descriptor longer than " + std::to_string(kMaxDescriptorBytes) + " bytes");
        return std::nullopt;
    }
    size_t pos = 0;
    while (pos < data_.size()) {
        itemOffset_ = pos;
        const uint8_t prefix = data_[pos];
        if (prefix == kLongItem) {
            // Long items carry no meaning the standard defines: skip them whole.
            if (data_.size() - pos < 3) {
                fail("truncated long item");
                return std::nullopt;
            }
            const size_t length = data_[pos + 1];
            if (data_.size() - pos - 3 < length) {
                fail("truncated long item");
                return std::nullopt;
            }
            pos += 3 + length;
            continue;
        }
        static constexpr uint8_t kSizes[4] = {0, 1, 2, 4};
        const uint8_t size = kSizes[prefix & 0x03];
        if (data_.size() - pos - 1 < size) {
            fail("truncated item");
            return std::nullopt;
        }
        ItemData d;
        d.size = size;
        for (uint8_t i = 0; i < size; ++i) {
            d.raw |= uint32_t{data_[pos + 1 + i]} << (8 * i);
        }
        pos += 1 + size;

        const uint8_t tag = prefix & 0xFC;
        bool ok = true;
        switch ((prefix >> 2) & 0x03) {
            case 0:
                ok = mainItem(tag, d);
                break;
            case 1:
                ok = globalItem(tag, d);
                break;
            case 2:
                ok = localItem(tag, d);
                break;
            default:
                break;  // reserved item type: ignored
        }
        if (!ok) {
            return std::nullopt;
        }
    }
    itemOffset_ = data_.size();
    if (!openCollections_.empty()) {
        fail("collection not closed at the end of the descriptor");
        return std::nullopt;
    }
    if (collections_.empty()) {
        fail("descriptor has no collection");
        return std::nullopt;
    }

    for (size_t c = 0; c < collections_.size(); ++c) {
        Collection& col = collections_[c];
        uint16_t* lengths[3] = {&col.inputReportByteLength, &col.outputReportByteLength,
                                &col.featureReportByteLength};
        std::bitset<256> ids;
        for (size_t t = 0; t < 3; ++t) {
            uint32_t longest = 0;
            for (size_t id = 0; id < 256; ++id) {
                if (owned_[c][t][id]) {
                    ids.set(id);
                    longest = std::max(longest, (reportBits_[t][id] + 7) / 8);
                }
            }
            *lengths[t] = static_cast<uint16_t>(longest);  // bounded by kMaxReportBytes
        }
        if (usesReportIds_) {
            for (size_t id = 1; id < 256; ++id) {
                if (ids[id]) {
                    col.reportIds.push_back(static_cast<uint8_t>(id));
                }
            }
        }
    }
    return std::move(collections_);
}

bool Parser::globalItem(uint8_t tag, const ItemData& d) {
    switch (tag) {
        case kUsagePage:
            if (d.raw > 0xFFFF) {
                return fail("usage page above 0xFFFF");
            }
            global_.usagePage = static_cast<uint16_t>(d.raw);
            break;
        case kLogicalMinimum:
            global_.logicalMin = d;
            break;
        case kLogicalMaximum:
            global_.logicalMax = d;
            break;
        case kPhysicalMinimum:
            global_.physicalMin = d;
            break;
        case kPhysicalMaximum:
            global_.physicalMax = d;
            break;
        case kUnitExponent:
            global_.unitExponent = unitExponentOf(d);
            break;
        case kUnit:
            global_.unit = d.raw;
            break;
        case kReportSize:
            if (d.raw == 0 || d.raw > kMaxReportSize) {
                return fail("report size " + std::to_string(d.raw) + " outside 1.." +
                            std::to_string(kMaxReportSize));
            }
            global_.reportSize = d.raw;
            break;
        case kReportId:
            if (d.raw == 0 || d.raw > 255) {
                return fail("report id " + std::to_string(d.raw) + " outside 1..255");
            }
            if (!usesReportIds_ && sawDataItem_) {
                return fail("report id after main items that have none");
            }
            usesReportIds_ = true;
            global_.reportId = static_cast<uint8_t>(d.raw);
            break;
        case kReportCount:
            if (d.raw > kMaxReportCount) {
                return fail("report count " + std::to_string(d.raw) + " above " +
                            std::to_string(kMaxReportCount));
            }
            global_.reportCount = d.raw;
            break;
        case kPush:
            if (globalStack_.size() >= kMaxPushDepth) {
                return fail("push nested too deep");
            }
            globalStack_.push_back(global_);
            break;
        case kPop:
            if (globalStack_.empty()) {
                return fail("pop without push");
            }
            global_ = globalStack_.back();
            globalStack_.pop_back();
            break;
        default:
            break;  // reserved global tag: ignored
    }
    return true;
}

bool Parser::addUsage(UsageEntry entry) {
    if (inDelimiter_) {
        if (delimiterTaken_) {
            return true;
        }
        delimiterTaken_ = true;
    }
    if (usages_.size() >= kMaxUsagesPerItem) {
        return fail("more than " + std::to_string(kMaxUsagesPerItem) + " usages in one item");
    }
    usages_.push_back(entry);
    return true;
}

bool Parser::localItem(uint8_t tag, const ItemData& d) {
    switch (tag) {
        case kUsage:
            return addUsage({d.raw, d.raw, d.size == 4, d.size == 4, false});
        case kUsageMinimum:
        case kUsageMaximum: {
            std::optional<ItemData>& mine = tag == kUsageMinimum ? pendingMin_ : pendingMax_;
            std::optional<ItemData>& other = tag == kUsageMinimum ? pendingMax_ : pendingMin_;
            if (mine) {
                return fail(tag == kUsageMinimum ? "usage minimum without usage maximum"
                                                 : "usage maximum without usage minimum");
            }
            mine = d;
            if (!other) {
                return true;
            }
            const ItemData lo = *pendingMin_;
            const ItemData hi = *pendingMax_;
            pendingMin_.reset();
            pendingMax_.reset();
            return addUsage({lo.raw, hi.raw, lo.size == 4, hi.size == 4, true});
        }
        case kDelimiter:
            if (d.raw == 1) {
                if (inDelimiter_) {
                    return fail("nested delimiter");
                }
                inDelimiter_ = true;
                delimiterTaken_ = false;
            } else if (d.raw == 0) {
                if (!inDelimiter_) {
                    return fail("delimiter close without open");
                }
                inDelimiter_ = false;
            } else {
                return fail("delimiter value " + std::to_string(d.raw));
            }
            return true;
        default:
            return true;  // designators and strings do not change the layout
    }
}

void Parser::clearLocals() {
    usages_.clear();
    pendingMin_.reset();
    pendingMax_.reset();
    inDelimiter_ = false;
    delimiterTaken_ = false;
}

bool Parser::resolveUsages(std::vector<ResolvedUsage>& out) {
    if (pendingMin_ || pendingMax_) {
        return fail(pendingMin_ ? "usage minimum without usage maximum"
                                : "usage maximum without usage minimum");
    }
    if (inDelimiter_) {
        return fail("delimiter not closed before main item");
    }
    out.clear();
    out.reserve(usages_.size());
    for (const UsageEntry& e : usages_) {
        const uint16_t pageMin =
            e.minExtended ? static_cast<uint16_t>(e.min >> 16) : global_.usagePage;
        const uint16_t pageMax =
            e.maxExtended ? static_cast<uint16_t>(e.max >> 16) : global_.usagePage;
        ResolvedUsage r;
        r.page = pageMin;
        r.min = static_cast<uint16_t>(e.min);
        r.max = static_cast<uint16_t>(e.max);
        r.isRange = e.isRange;
        if (e.isRange) {
            if (pageMin != pageMax) {
                return fail("usage range spans two usage pages");
            }
            if (r.min > r.max) {
                return fail("usage minimum above usage maximum");
            }
        }
        out.push_back(r);
    }
    return true;
}

bool Parser::mainItem(uint8_t tag, const ItemData& d) {
    bool ok = true;
    switch (tag) {
        case kInput:
            ok = dataItem(ReportType::Input, d.raw);
            break;
        case kOutput:
            ok = dataItem(ReportType::Output, d.raw);
            break;
        case kFeature:
            ok = dataItem(ReportType::Feature, d.raw);
            break;
        case kCollection:
            ok = beginCollection();
            break;
        case kEndCollection:
            ok = endCollection();
            break;
        default:
            break;  // reserved main tag: ignored, but it still ends the local scope
    }
    clearLocals();
    return ok;
}

bool Parser::beginCollection() {
    if (collectionCount_ >= kMaxCollections) {
        return fail("more than " + std::to_string(kMaxCollections) + " collections");
    }
    if (openCollections_.size() >= kMaxCollectionDepth) {
        return fail("collections nested deeper than " + std::to_string(kMaxCollectionDepth));
    }
    std::vector<ResolvedUsage> usages;
    if (!resolveUsages(usages)) {
        return false;
    }
    ++collectionCount_;
    if (openCollections_.empty()) {
        Collection c;
        c.usagePage = usages.empty() ? global_.usagePage : usages.front().page;
        c.usage = usages.empty() ? 0 : usages.front().min;
        c.linkCollections = 1;
        collections_.push_back(std::move(c));
        owned_.emplace_back();
        openCollections_.push_back(0);
    } else {
        Collection& top = collections_.back();
        openCollections_.push_back(top.linkCollections);
        ++top.linkCollections;
    }
    return true;
}

bool Parser::endCollection() {
    if (openCollections_.empty()) {
        return fail("end collection without collection");
    }
    openCollections_.pop_back();
    return true;
}

bool Parser::dataItem(ReportType type, uint32_t flags) {
    if (openCollections_.empty()) {
        return fail("main item outside a collection");
    }
    std::vector<ResolvedUsage> usages;
    if (!resolveUsages(usages)) {
        return false;
    }
    const uint32_t size = global_.reportSize;
    const uint32_t count = global_.reportCount;
    if (size == 0) {
        return fail("main item without report size");
    }
    if (usesReportIds_ && global_.reportId == 0) {
        return fail("main item without report id in a descriptor that uses report ids");
    }
    sawDataItem_ = true;
    if (count == 0) {
        return true;  // takes no space and carries nothing
    }
    const auto t = static_cast<size_t>(type);
    const uint8_t id = global_.reportId;
    uint32_t& used = reportBits_[t][id];
    if (used == 0) {
        used = 8;  // the report-id byte, present (as 0) also in unnumbered reports
    }
    const uint64_t bits = uint64_t{size} * count;
    if (used + bits > uint64_t{kMaxReportBytes} * 8) {
        return fail("report longer than " + std::to_string(kMaxReportBytes) + " bytes");
    }
    const uint32_t start = used;
    used += static_cast<uint32_t>(bits);
    owned_.back()[t].set(id);

    const bool constant = (flags & kConstant) != 0;
    const bool variable = (flags & kVariable) != 0;
    if (constant && (!variable || usages.empty())) {
        return true;  // padding: space only
    }
    if (usages.empty()) {
        usages.push_back({global_.usagePage, 0, 0, false});
    }

    Collection& top = collections_.back();
    std::vector<Capability>& caps = type == ReportType::Input    ? top.inputCaps
                                    : type == ReportType::Output ? top.outputCaps
                                                                 : top.featureCaps;
    const auto logical = signedRange(global_.logicalMin, global_.logicalMax);
    const auto physical = signedRange(global_.physicalMin, global_.physicalMax);

    Capability base;
    base.reportId = id;
    base.bitSize = static_cast<uint16_t>(size);
    base.linkCollection = openCollections_.back();
    base.isPadding = constant;
    base.isArray = !variable;
    base.isButton = !variable || size == 1;
    base.isAbsolute = (flags & kRelative) == 0;
    base.hasNull = (flags & kNullState) != 0;
    base.logicalMin = logical.first;
    base.logicalMax = logical.second;
    base.physicalMin = physical.first;
    base.physicalMax = physical.second;
    base.units = global_.unit;
    base.unitsExponent = global_.unitExponent;

    auto add = [&](const ResolvedUsage& u, uint32_t fieldCount, uint32_t firstField,
                   uint32_t arrayIndex) {
        Capability cap = base;
        cap.usagePage = u.page;
        cap.isRange = u.isRange;
        if (u.isRange) {
            cap.usageMin = u.min;
            cap.usageMax = u.max;
        } else {
            cap.usage = u.min;
        }
        cap.reportCount = static_cast<uint16_t>(fieldCount);
        const uint32_t bit = start + firstField * size;
        cap.bytePosition = static_cast<uint16_t>(bit / 8);
        cap.bitPosition = static_cast<uint8_t>(bit % 8);
        cap.arrayIndex = arrayIndex;
        caps.push_back(cap);
    };

    if (capCount_ + usages.size() > kMaxCaps) {
        return fail("more than " + std::to_string(kMaxCaps) + " capabilities");
    }
    if (!variable) {
        // An array field: every field may select any of the listed usages.
        uint32_t index = 0;
        for (const ResolvedUsage& u : usages) {
            add(u, count, 0, index);
            index += u.length();
        }
        capCount_ += usages.size();
        return true;
    }
    // Variable fields take the usages in order, one field per usage; the last
    // listed usage (or range) takes every field that is left.
    uint32_t field = 0;
    for (size_t i = 0; i < usages.size() && field < count; ++i) {
        const bool last = i + 1 == usages.size();
        const uint32_t n = last ? count - field : std::min(usages[i].length(), count - field);
        add(usages[i], n, field, 0);
        field += n;
        ++capCount_;
    }
    return true;
}

// Reads `bits` (1..32) bits little-endian starting at bit `offset`; the caller
// has checked that they lie inside the report.
uint32_t readBits(std::span<const uint8_t> report, uint64_t offset, uint32_t bits) {
    uint64_t value = 0;
    const uint64_t firstByte = offset / 8;
    const uint32_t shift = static_cast<uint32_t>(offset % 8);
    const uint64_t lastByte = (offset + bits - 1) / 8;
    for (uint64_t b = firstByte; b <= lastByte; ++b) {
        value |= uint64_t{report[b]} << (8 * (b - firstByte));
    }
    value >>= shift;
    return static_cast<uint32_t>(bits == 32 ? value & 0xFFFFFFFFu : value & ((1u << bits) - 1));
}

uint64_t capStartBit(const Capability& cap) {
    return uint64_t{cap.bytePosition} * 8 + cap.bitPosition;
}

bool capFits(const Capability& cap, std::span<const uint8_t> report) {
    const uint64_t end = capStartBit(cap) + uint64_t{cap.bitSize} * cap.reportCount;
    return end <= uint64_t{report.size()} * 8;
}

int64_t signExtend(uint32_t raw, uint32_t bits) {
    if (bits >= 32) {
        return static_cast<int32_t>(raw);
    }
    const uint32_t sign = 1u << (bits - 1);
    return raw & sign ? static_cast<int64_t>(raw) - (int64_t{1} << bits) : int64_t{raw};
}

// A 4-byte maximum above INT32_MAX is kept as its bit pattern (see signedRange).
int64_t effectiveMax(int32_t min, int32_t max) {
    return min >= 0 && max < min ? int64_t{static_cast<uint32_t>(max)} : int64_t{max};
}

}  // namespace

const std::vector<Capability>& Collection::caps(ReportType type) const {
    switch (type) {
        case ReportType::Output:
            return outputCaps;
        case ReportType::Feature:
            return featureCaps;
        case ReportType::Input:
            break;
    }
    return inputCaps;
}

bool Collection::ownsReportId(uint8_t id) const {
    if (reportIds.empty()) {
        return id == 0;
    }
    return std::binary_search(reportIds.begin(), reportIds.end(), id);
}

uint16_t Collection::reportByteLength(ReportType type) const {
    switch (type) {
        case ReportType::Output:
            return outputReportByteLength;
        case ReportType::Feature:
            return featureReportByteLength;
        case ReportType::Input:
            break;
    }
    return inputReportByteLength;
}

std::optional<std::vector<Collection>> parseReportDescriptor(std::span<const uint8_t> descriptor,
                                                             ParseError* error) {
    return Parser(descriptor, error).run();
}

std::vector<uint16_t> getUsages(const Capability& cap, std::span<const uint8_t> report) {
    std::vector<uint16_t> usages;
    if (!cap.isButton || report.empty() || report[0] != cap.reportId || cap.bitSize == 0 ||
        !capFits(cap, report)) {
        return usages;
    }
    const uint64_t start = capStartBit(cap);
    if (!cap.isArray) {
        // Variable fields (1 bit each): field i is usage i of the range; fields
        // beyond the range repeat its last usage, as a single usage repeats.
        for (uint32_t i = 0; i < cap.reportCount; ++i) {
            if (readBits(report, start + i, 1) == 0) {
                continue;
            }
            if (!cap.isRange) {
                usages.push_back(cap.usage);
            } else {
                usages.push_back(static_cast<uint16_t>(
                    std::min<uint32_t>(uint32_t{cap.usageMin} + i, cap.usageMax)));
            }
        }
        return usages;
    }
    if (cap.bitSize > 32) {
        return usages;
    }
    const int64_t lo = cap.logicalMin;
    const int64_t hi = effectiveMax(cap.logicalMin, cap.logicalMax);
    const uint32_t first = cap.isRange ? cap.usageMin : cap.usage;
    const uint32_t span = cap.isRange ? uint32_t{cap.usageMax} - cap.usageMin + 1 : 1;
    for (uint32_t i = 0; i < cap.reportCount; ++i) {
        const uint32_t raw = readBits(report, start + uint64_t{i} * cap.bitSize, cap.bitSize);
        const int64_t value = lo < 0 ? signExtend(raw, cap.bitSize) : int64_t{raw};
        if (value < lo || value > hi) {
            continue;  // out of range: the "nothing pressed" value of most arrays
        }
        const int64_t index = value - lo - cap.arrayIndex;
        if (index < 0 || index >= span) {
            continue;  // selects a usage of another entry of this field
        }
        const uint32_t usage = first + static_cast<uint32_t>(index);
        if (usage != 0) {
            usages.push_back(static_cast<uint16_t>(usage));
        }
    }
    return usages;
}

std::optional<uint32_t> getUsageValue(const Capability& cap, uint16_t usage,
                                      std::span<const uint8_t> report) {
    if (cap.isButton || report.empty() || report[0] != cap.reportId || cap.bitSize == 0 ||
        cap.bitSize > 32) {
        return std::nullopt;
    }
    uint32_t field = 0;
    if (cap.isRange) {
        if (usage < cap.usageMin || usage > cap.usageMax) {
            return std::nullopt;
        }
        field = uint32_t{usage} - cap.usageMin;
    } else if (usage != cap.usage) {
        return std::nullopt;
    }
    if (field >= cap.reportCount) {
        return std::nullopt;
    }
    const uint64_t offset = capStartBit(cap) + uint64_t{field} * cap.bitSize;
    if (offset + cap.bitSize > uint64_t{report.size()} * 8) {
        return std::nullopt;
    }
    return readBits(report, offset, cap.bitSize);
}

std::optional<int32_t> getScaledUsageValue(const Capability& cap, uint16_t usage,
                                           std::span<const uint8_t> report) {
    const std::optional<uint32_t> raw = getUsageValue(cap, usage, report);
    if (!raw) {
        return std::nullopt;
    }
    const int64_t lmin = cap.logicalMin;
    const int64_t lmax = effectiveMax(cap.logicalMin, cap.logicalMax);
    const int64_t value = lmin < 0 ? signExtend(*raw, cap.bitSize) : int64_t{*raw};
    if (value < lmin || value > lmax) {
        return std::nullopt;
    }
    int64_t result = value;
    if (cap.physicalMin != 0 || cap.physicalMax != 0) {
        if (lmax == lmin) {
            return std::nullopt;
        }
        const int64_t pmin = cap.physicalMin;
        const int64_t pmax = effectiveMax(cap.physicalMin, cap.physicalMax);
        // Each factor fits in 33 bits, so the product needs more than 64.
        __extension__ using Wide = __int128;
        result =
            static_cast<int64_t>(Wide{value - lmin} * Wide{pmax - pmin} / Wide{lmax - lmin}) + pmin;
    }
    if (result < std::numeric_limits<int32_t>::min() ||
        result > std::numeric_limits<int32_t>::max()) {
        return std::nullopt;
    }
    return static_cast<int32_t>(result);
}

}  // namespace korvane::hid
