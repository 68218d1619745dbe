#include "keys/event_file.h"

#include <fstream>
#include <system_error>

#include "keys/json_integer.h"
#include "platform/files/json_document.h"
#include "platform/files/json_fields.h"
#include "platform/log/logger.h"

namespace korvane::keys {
namespace {

constexpr int kMaxRecoilEvents = 180;

enum class ReadStatus { Ok, Unreadable, TooLarge };

ReadStatus readBytes(const std::filesystem::path& path, std::uintmax_t limit, std::string& out) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        return ReadStatus::Unreadable;
    }
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error) {
        return ReadStatus::Unreadable;
    }
    if (size > limit) {
        return ReadStatus::TooLarge;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return ReadStatus::Unreadable;
    }
    // Never more than the size found above, even if the file grows meanwhile.
    out.assign(static_cast<std::size_t>(size), '\0');
    in.read(out.data(), static_cast<std::streamsize>(size));
    out.resize(static_cast<std::size_t>(in.gcount()));
    return in.bad() ? ReadStatus::Unreadable : ReadStatus::Ok;
}

// The event object as it will be kept: other members as they are, "Delay" clamped.
Json::Value keptRow(const Json::Value& object, const ParsedEvent& parsed, EventFileKind kind) {
    Json::Value row = object;
    if (parsed.delayClamped) {
        if (kind == EventFileKind::Macro) {
            row["Delay"] = std::to_string(parsed.event.delay);
        } else {
            row["Delay"] = parsed.event.delay;
        }
    }
    return row;
}

}  // namespace

int maxEvents(EventFileKind kind) {
    return kind == EventFileKind::Macro ? kMaxMacroEvents : kMaxRecoilEvents;
}

std::optional<std::string> readFileBytes(const std::filesystem::path& path, std::uintmax_t limit) {
    std::string bytes;
    if (readBytes(path, limit, bytes) != ReadStatus::Ok) {
        return std::nullopt;
    }
    return bytes;
}

EventFileContent readEventFile(const std::filesystem::path& path, EventFileKind kind) {
    EventFileContent content;
    std::string bytes;
    if (readBytes(path, kMaxEventFileSize, bytes) != ReadStatus::Ok) {
        return content;
    }
    content.document = files::ParseJsonDocument(bytes);
    const Json::Value& events = files::member(content.document, "Events");
    const auto limit = static_cast<std::size_t>(maxEvents(kind));
    for (Json::ArrayIndex i = 0; events.isArray() && i < events.size(); ++i) {
        const ParsedEvent parsed = parseMacroEvent(events[i]);
        if (!parsed.valid) {
            ++content.skipped;
            continue;
        }
        if (content.events.size() == limit) {
            content.truncated = true;
            break;
        }
        content.delaysClamped = content.delaysClamped || parsed.delayClamped;
        content.rows.push_back(keptRow(events[i], parsed, kind));
        content.events.push_back(parsed.event);
    }
    if (content.skipped > 0 || content.truncated) {
        log::debugf("keys: %s: %d element(s) that are not events left out%s", path.string().c_str(),
                    content.skipped, content.truncated ? ", events beyond the limit dropped" : "");
    }
    return content;
}

FileCheck readEventFileBytes(const std::filesystem::path& path, std::string& bytes) {
    switch (readBytes(path, kMaxEventFileSize, bytes)) {
        case ReadStatus::Unreadable:
            return FileCheck::Unreadable;
        case ReadStatus::TooLarge:
            return FileCheck::TooLarge;
        case ReadStatus::Ok:
            break;
    }
    return FileCheck::Ok;
}

EventFileCheck checkEventFile(const std::filesystem::path& path, EventFileKind kind) {
    std::string bytes;
    const FileCheck read = readEventFileBytes(path, bytes);
    if (read != FileCheck::Ok) {
        EventFileCheck check;
        check.status = read;
        return check;
    }
    return checkEventText(bytes, kind);
}

EventFileCheck checkEventText(std::string_view bytes, EventFileKind kind) {
    EventFileCheck check;
    if (bytes.size() > kMaxEventFileSize) {
        check.status = FileCheck::TooLarge;
        return check;
    }
    Json::Value document = files::ParseJsonDocument(bytes);
    const Json::Value& events = files::member(document, "Events");
    if (!events.isArray()) {
        check.status = FileCheck::NotEventFile;
        return check;
    }
    if (events.size() > static_cast<Json::ArrayIndex>(maxEvents(kind))) {
        check.status = FileCheck::TooManyEvents;
        return check;
    }
    bool clamped = false;
    Json::Value rows(Json::arrayValue);
    for (Json::ArrayIndex i = 0; i < events.size(); ++i) {
        const ParsedEvent parsed = parseMacroEvent(events[i]);
        if (!parsed.valid) {
            check.status = FileCheck::BadEvent;
            check.badEvent = static_cast<int>(i);
            check.events.clear();
            return check;
        }
        clamped = clamped || parsed.delayClamped;
        rows.append(keptRow(events[i], parsed, kind));
        check.events.push_back(parsed.event);
    }
    if (clamped) {
        document["Events"] = rows;
    }
    check.document = std::move(document);
    check.status = clamped ? FileCheck::DelaysClamped : FileCheck::Ok;
    return check;
}

std::string_view messageKey(FileCheck status, EventFileKind kind) {
    const bool macro = kind == EventFileKind::Macro;
    switch (status) {
        case FileCheck::Ok:
            return {};
        case FileCheck::DelaysClamped:
            return macro ? "macro_import_delays_clamped" : "shoot_import_delays_clamped";
        case FileCheck::Unreadable:
            return macro ? "macro_import_unreadable" : "shoot_import_unreadable";
        case FileCheck::TooLarge:
            return macro ? "macro_import_too_large" : "shoot_import_too_large";
        case FileCheck::NotEventFile:
            return macro ? "macro_import_not_macro" : "shoot_import_not_recoil";
        case FileCheck::TooManyEvents:
            return macro ? "macro_import_too_many_events" : "shoot_import_too_many_events";
        case FileCheck::BadEvent:
            return macro ? "macro_import_bad_event" : "shoot_import_bad_event";
    }
    return {};
}

}  // namespace korvane::keys
