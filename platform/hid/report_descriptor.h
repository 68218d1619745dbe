#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

// Our own HID report-descriptor parser. It computes, per top-level collection,
// what the Windows HID parser reports for it (capabilities, report lengths
// including the report-id byte, link collections), so that the matching and
// unpacking rules written against that model run on every backend.
namespace korvane::hid {

enum class ReportType : uint8_t { Input = 0, Output = 1, Feature = 2 };

// One button or value capability of a top-level collection, in the Windows
// model: a main item split per usage where the item lists single usages, or one
// capability for a usage range. Byte positions count the report-id byte as
// byte 0 (also for collections without report ids, where that byte is 0).
struct Capability {
    uint8_t reportId = 0;
    uint16_t usagePage = 0;
    bool isButton = false;   // 1-bit variable fields and every array field
    bool isRange = false;
    uint16_t usage = 0;      // when !isRange
    uint16_t usageMin = 0;   // when isRange
    uint16_t usageMax = 0;
    uint16_t bitSize = 0;
    uint16_t reportCount = 0;
    uint16_t bytePosition = 0;
    uint8_t bitPosition = 0;
    uint16_t linkCollection = 0;
    bool isPadding = false;
    bool isArray = false;    // array (selector) field: the report carries usage indexes
    bool isAbsolute = true;
    bool hasNull = false;
    int32_t logicalMin = 0;
    int32_t logicalMax = 0;
    int32_t physicalMin = 0;
    int32_t physicalMax = 0;
    uint32_t units = 0;
    int32_t unitsExponent = 0;
    // Array fields that list several usages (or ranges) get one capability per
    // entry, all sharing the field; this is the index of the entry's first
    // usage in the field's usage list (logical value - logicalMin selects it).
    uint32_t arrayIndex = 0;
};

struct Collection {
    uint16_t usagePage = 0;
    uint16_t usage = 0;
    // Report ids used inside this collection, ascending; empty when the
    // descriptor uses no report ids.
    std::vector<uint8_t> reportIds;
    // Longest report of each type in bytes, report-id byte included; 0 when none.
    uint16_t inputReportByteLength = 0;
    uint16_t outputReportByteLength = 0;
    uint16_t featureReportByteLength = 0;
    // The top-level collection itself counts as link collection 0.
    uint16_t linkCollections = 0;
    std::vector<Capability> inputCaps;
    std::vector<Capability> outputCaps;
    std::vector<Capability> featureCaps;

    const std::vector<Capability>& caps(ReportType type) const;
    bool ownsReportId(uint8_t id) const;
    uint16_t reportByteLength(ReportType type) const;
};

struct ParseError {
    size_t offset = 0;       // byte offset of the offending item
    std::string message;
};

// Parses a whole report descriptor into its top-level collections in order.
// Returns nullopt (and fills *error when given) for a malformed descriptor;
// never reads outside the span.
std::optional<std::vector<Collection>> parseReportDescriptor(std::span<const uint8_t> descriptor,
                                                             ParseError* error = nullptr);

// ---- Unpacking one report (the HidP_GetUsages / HidP_GetUsageValue family) ----
// `report` starts with the report-id byte (0 for unnumbered reports).

// The usages of a button capability that are on in the report, in report
// order: set bits of a variable field, or the selected usages of an array
// field (0 and out-of-range indexes skipped). Empty when the report id differs.
std::vector<uint16_t> getUsages(const Capability& cap, std::span<const uint8_t> report);

// The raw value of one usage of a value capability (for a range or a count
// above 1, `usage` selects the field). nullopt when the report id differs,
// the usage is not part of the capability or the report is too short.
std::optional<uint32_t> getUsageValue(const Capability& cap, uint16_t usage,
                                      std::span<const uint8_t> report);

// The value sign-extended when the logical minimum is negative and scaled to
// the physical range (physical = logical when both physical bounds are 0).
// nullopt in the cases of getUsageValue and when the value lies outside the
// logical range.
std::optional<int32_t> getScaledUsageValue(const Capability& cap, uint16_t usage,
                                           std::span<const uint8_t> report);

}  // namespace korvane::hid
