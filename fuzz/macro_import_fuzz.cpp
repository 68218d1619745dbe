// Feeds the input to the macro and gun file readers as every file they read: an imported macro
// file, a macro list ("macro.config"), a macro's own event file and a gun file, then builds the
// device images from them. Checks what the readers promise (an accepted import reads back as
// the same events, nothing beyond the limits, images laid out as specified); a broken promise
// aborts, so the fuzzer reports it.
//
// Files live in a private folder under /dev/shm when there is one (tmpfs: the fsync of every
// atomic write costs nothing there).

#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <span>
#include <string>
#include <string_view>

#include "keys/event_file.h"
#include "keys/gun_files.h"
#include "keys/macro_image.h"
#include "keys/macro_library.h"
#include "platform/files/json_document.h"

namespace {

namespace fs = std::filesystem;
using namespace korvane;
using namespace korvane::keys;

void check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

const fs::path& base() {
    static const fs::path path = [] {
        const fs::path root =
            fs::exists("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
        std::string pattern = (root / "korvane-macro-fuzz-XXXXXX").string();
        check(::mkdtemp(pattern.data()) != nullptr);
        std::atexit([] {
            std::error_code ec;
            fs::remove_all(base(), ec);
        });
        return fs::path(pattern);
    }();
    return path;
}

// A fresh, empty device folder for this input.
fs::path freshFolder() {
    const fs::path folder = base() / "device";
    std::error_code ec;
    fs::remove_all(folder, ec);
    fs::create_directories(folder);
    return folder;
}

void writeBytes(const fs::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

uint16_t word(const std::vector<uint8_t>& bytes, std::size_t at) {
    check(at + 1 < bytes.size());
    return static_cast<uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

// The layout every built image must have.
void checkImage(const MacroImage& image, std::size_t records) {
    if (image.status != MacroImage::Status::Built) {
        check(image.bytes.empty());
        return;
    }
    const auto& b = image.bytes;
    check(b.size() == image.totalSize && b.size() <= kMaxMacroImageSize);
    check(word(b, 0) == kMacroImageMagic && word(b, 2) == b.size() && word(b, 4) == records);
    std::size_t expected = kMacroImageHeaderSize + 2 * records;
    for (std::size_t r = 0; r < records; ++r) {
        const std::size_t at = word(b, kMacroImageHeaderSize + 2 * r);
        check(at == expected);
        expected = at + 4 + 4 * std::size_t{word(b, at)};
    }
    check(expected == b.size());
}

void checkEvents(const std::vector<MacroEvent>& events, EventFileKind kind) {
    check(events.size() <= static_cast<std::size_t>(maxEvents(kind)));
    for (const MacroEvent& e : events) {
        check(isKnownEventKind(e.type));
    }
}

void fuzzImport(std::string_view bytes, EventFileKind kind) {
    const EventFileCheck first = checkEventText(bytes, kind);
    if (!first.accepted()) {
        check(first.events.empty());
        check(!messageKey(first.status, kind).empty());
        return;
    }
    checkEvents(first.events, kind);
    // What an import writes reads back as the same events, with nothing left to clamp.
    const EventFileCheck again = checkEventText(files::JsonDocumentText(first.document), kind);
    check(again.status == FileCheck::Ok);
    check(again.events == first.events);
}

void fuzzLibrary(std::string_view bytes) {
    const fs::path folder = freshFolder();
    const fs::path source = base() / "import.mac";
    writeBytes(source, bytes);
    MacroLibrary library(folder);
    library.load();
    const EventFileCheck expected = checkEventText(bytes, EventFileKind::Macro);
    const auto result = library.importFile(source);
    check((result.status == MacroLibrary::ImportResult::Status::Imported) == expected.accepted());
    if (expected.accepted()) {
        const EventFileContent loaded = library.loadEvents(result.index);
        check(loaded.events == expected.events);
        check(loaded.skipped == 0 && !loaded.truncated && !loaded.delaysClamped);
        MacroLibrary reread(folder);
        reread.load();
        check(reread.macros() == library.macros());
    }
}

void fuzzOwnFiles(std::string_view bytes) {
    const fs::path folder = freshFolder();
    // The input as a macro's own event file, as gun files and as the macro list: whatever
    // the list names, nothing outside the folder is read or written, and the image keeps one
    // record per listed number.
    writeBytes(folder / "own.mac", bytes);
    const EventFileContent own = readEventFile(folder / "own.mac", EventFileKind::Macro);
    checkEvents(own.events, EventFileKind::Macro);
    check(own.rows.size() == own.events.size());
    for (std::size_t i = 0; i < own.rows.size(); ++i) {
        const ParsedEvent row = parseMacroEvent(own.rows[i]);
        check(row.valid && !row.delayClamped && row.event == own.events[i]);
    }
    for (int gun = 0; gun < kGunCount; ++gun) {
        writeBytes(gunFilePath(folder, gun), bytes);
    }
    checkImage(buildRecoilImage(folder), kGunCount);

    writeBytes(folder / "macro.config", bytes);
    MacroLibrary library(folder);
    library.load();
    for (std::size_t i = 0; i < library.size() && i < 8; ++i) {
        if (const auto file = library.eventFile(i)) {
            check(file->parent_path() == folder);
        }
    }
    const int numbers[] = {0, 1, 2, 0, 7};
    checkImage(buildMacroImageFromFolder(folder, numbers, 32640), std::size(numbers));

    Json::Value document = files::ParseJsonDocument(bytes);
    for (int shot = 0; shot < kShotCount; ++shot) {
        const Shot s = readShot(document, shot);
        check(s.x >= 0 && s.x <= kMaxShotDistance && s.y >= 0 && s.y <= kMaxShotDistance);
        check(s.delay >= 0 && s.delay <= kMaxDelay);
    }
    const Shot written{true, 200, false, 7, 1234};
    const int shot = bytes.empty() ? 0 : static_cast<unsigned char>(bytes[0]) % kShotCount;
    writeShot(document, shot, written);
    check(readShot(document, shot) == written);
    check(document["Events"].size() >= static_cast<Json::ArrayIndex>((shot + 1) * kEventsPerShot));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    fuzzImport(bytes, EventFileKind::Macro);
    fuzzImport(bytes, EventFileKind::Recoil);
    fuzzLibrary(bytes);
    fuzzOwnFiles(bytes);
    return 0;
}
