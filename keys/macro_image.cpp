#include "keys/macro_image.h"

#include "keys/event_file.h"
#include "keys/gun_files.h"
#include "keys/macro_files.h"
#include "platform/files/json_document.h"

namespace korvane::keys {
namespace {

constexpr std::size_t kRecordHeaderSize = 4;

void put16(std::vector<uint8_t>& bytes, std::size_t at, std::size_t value) {
    bytes[at] = static_cast<uint8_t>(value & 0xFF);
    bytes[at + 1] = static_cast<uint8_t>((value >> 8) & 0xFF);
}

std::vector<std::size_t> eventCounts(std::span<const EventList> records) {
    std::vector<std::size_t> counts;
    counts.reserve(records.size());
    for (const EventList& record : records) {
        counts.push_back(record.size());
    }
    return counts;
}

}  // namespace

std::size_t macroImageSize(std::span<const std::size_t> eventCounts) {
    std::size_t size = kMacroImageHeaderSize + 6 * eventCounts.size();
    for (std::size_t count : eventCounts) {
        size += 4 * count;
    }
    return size;
}

MacroImage buildMacroImage(std::span<const EventList> records,
                           std::optional<std::size_t> capacity) {
    MacroImage image;
    if (records.empty()) {
        image.status = MacroImage::Status::Empty;
        return image;
    }
    const std::vector<std::size_t> counts = eventCounts(records);
    const std::size_t total = macroImageSize(counts);
    image.totalSize = total;
    if (capacity && *capacity < total) {
        image.status = MacroImage::Status::DoesNotFit;
        image.overflow = static_cast<int>(((total - *capacity) >> 2) + 1);
        return image;
    }
    if (total > kMaxMacroImageSize) {
        image.status = MacroImage::Status::TooLarge;
        return image;
    }

    std::vector<uint8_t>& bytes = image.bytes;
    bytes.assign(total, 0);
    put16(bytes, 0, kMacroImageMagic);
    put16(bytes, 2, total);
    put16(bytes, 4, records.size());
    std::size_t at = kMacroImageHeaderSize + 2 * records.size();
    for (std::size_t r = 0; r < records.size(); ++r) {
        put16(bytes, kMacroImageHeaderSize + 2 * r, at);
        put16(bytes, at, records[r].size());
        at += kRecordHeaderSize;
        for (const MacroEvent& event : records[r]) {
            const auto four = deviceBytes(event);
            std::copy(four.begin(), four.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at));
            at += four.size();
        }
    }
    image.status = MacroImage::Status::Built;
    return image;
}

MacroImage buildMacroImageFromFolder(const std::filesystem::path& folder,
                                     std::span<const int> macroNumbers, std::size_t capacity) {
    const Json::Value list = files::ReadJsonDocument(folder / std::string(kMacroListFile));
    if (list.isNull() || macroNumbers.empty()) {
        return MacroImage{};
    }
    const std::vector<MacroInfo> macros = macroListFrom(list);
    std::vector<EventList> records;
    records.reserve(macroNumbers.size());
    for (int number : macroNumbers) {
        EventList events;
        if (number >= 0 && static_cast<std::size_t>(number) < macros.size()) {
            if (const auto file = macroFilePath(folder, macros[number].guid)) {
                events = readEventFile(*file, EventFileKind::Macro).events;
            }
        }
        records.push_back(std::move(events));
    }
    return buildMacroImage(records, capacity);
}

MacroImage buildRecoilImage(const std::filesystem::path& folder) {
    std::vector<EventList> records;
    for (int gun = 0; gun < kGunCount; ++gun) {
        records.push_back(readEventFile(gunFilePath(folder, gun), EventFileKind::Recoil).events);
    }
    return buildMacroImage(records, std::nullopt);
}

}  // namespace korvane::keys
