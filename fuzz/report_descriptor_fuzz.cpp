// Parses the input as a report descriptor; when it parses, builds a report for
// every capability from the input bytes and unpacks it, checking the parser's
// promises on the way (capabilities inside their report, usages inside their
// capability). A broken promise aborts, so the fuzzer reports it.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "platform/hid/report_descriptor.h"

namespace {

using korvane::hid::Capability;
using korvane::hid::Collection;
using korvane::hid::ReportType;

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// A report of `length` bytes filled from the input, cyclically.
std::vector<uint8_t> reportFrom(std::span<const uint8_t> input, size_t length, size_t seed) {
    std::vector<uint8_t> report(length);
    for (size_t i = 0; i < length && !input.empty(); ++i) {
        report[i] = input[(seed + i) % input.size()];
    }
    return report;
}

void unpack(const Capability& cap, std::span<const uint8_t> report) {
    for (uint16_t usage : korvane::hid::getUsages(cap, report)) {
        const uint16_t lo = cap.isRange ? cap.usageMin : cap.usage;
        const uint16_t hi = cap.isRange ? cap.usageMax : cap.usage;
        check(usage >= lo && usage <= hi);
        check(cap.isButton);
    }
    // A few usages in and around the capability, not every one of a range.
    const uint16_t first = cap.isRange ? cap.usageMin : cap.usage;
    const uint16_t last = cap.isRange ? cap.usageMax : cap.usage;
    const uint16_t probes[] = {first, static_cast<uint16_t>(first + 1), last,
                               static_cast<uint16_t>(last + 1), static_cast<uint16_t>(first - 1)};
    for (uint16_t usage : probes) {
        const auto raw = korvane::hid::getUsageValue(cap, usage, report);
        const auto scaled = korvane::hid::getScaledUsageValue(cap, usage, report);
        check(raw.has_value() || !scaled.has_value());
        if (raw && cap.bitSize < 32) {
            check(*raw < (uint32_t{1} << cap.bitSize));
        }
    }
}

void checkCollection(const Collection& col) {
    check(std::is_sorted(col.reportIds.begin(), col.reportIds.end()));
    check(std::adjacent_find(col.reportIds.begin(), col.reportIds.end()) == col.reportIds.end());
    for (ReportType type : {ReportType::Input, ReportType::Output, ReportType::Feature}) {
        const uint64_t reportBits = uint64_t{col.reportByteLength(type)} * 8;
        for (const Capability& cap : col.caps(type)) {
            const uint64_t end = uint64_t{cap.bytePosition} * 8 + cap.bitPosition +
                                 uint64_t{cap.bitSize} * cap.reportCount;
            check(cap.bytePosition >= 1 && end <= reportBits);
            check(cap.bitSize >= 1 && cap.reportCount >= 1);
            check(cap.linkCollection < col.linkCollections);
            check(col.ownsReportId(cap.reportId));
            check(!cap.isRange || cap.usageMin <= cap.usageMax);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> input(data, size);
    const auto collections = korvane::hid::parseReportDescriptor(input);
    if (!collections) {
        return 0;
    }
    check(!collections->empty() && collections->size() <= 255);
    size_t seed = 0;
    for (const Collection& col : *collections) {
        checkCollection(col);
        for (ReportType type : {ReportType::Input, ReportType::Output, ReportType::Feature}) {
            const size_t length = col.reportByteLength(type);
            if (length == 0) {
                continue;
            }
            std::vector<uint8_t> report = reportFrom(input, length, seed++);
            const std::span<const uint8_t> whole(report);
            for (const Capability& cap : col.caps(type)) {
                report[0] = cap.reportId;
                unpack(cap, whole);
                unpack(cap, whole.first(length / 2));  // cut short: must fail cleanly
                report[0] = static_cast<uint8_t>(cap.reportId + 1);
                check(korvane::hid::getUsages(cap, whole).empty());
                check(!korvane::hid::getUsageValue(cap, cap.usage, whole).has_value());
            }
        }
    }
    return 0;
}
