#include "platform/files/json_document.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <json/reader.h>
#include <json/writer.h>

#include <cerrno>
#include <cstdint>
#include <exception>
#include <memory>
#include <vector>

#include "platform/files/atomic_file.h"
#include "platform/files/utf8.h"
#include "platform/log/logger.h"

namespace korvane::files {
namespace {

namespace fs = std::filesystem;

class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    int get() const { return fd_; }

  private:
    int fd_;
};

// The whole content of a regular file; empty on any failure, with the reason in `error`.
// A file that delivers fewer bytes than its size (cut short while reading) reads as empty.
std::string readRegularFile(const fs::path& path, int& error) {
    error = 0;
    // O_NONBLOCK: opening a FIFO must not wait for a writer.
    const FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (fd.get() < 0) {
        error = errno;
        return {};
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) {
        error = errno;
        return {};
    }
    if (!S_ISREG(info.st_mode)) {
        error = S_ISDIR(info.st_mode) ? EISDIR : EINVAL;
        return {};
    }
    if (info.st_size < 0 || static_cast<std::uint64_t>(info.st_size) > kMaxJsonFileSize) {
        error = EFBIG;
        return {};
    }
    std::string text(static_cast<std::size_t>(info.st_size), '\0');
    std::size_t filled = 0;
    while (filled < text.size()) {
        const ssize_t got = ::read(fd.get(), text.data() + filled, text.size() - filled);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            error = got < 0 ? errno : EIO;
            return {};
        }
        filled += static_cast<std::size_t>(got);
    }
    return text;
}

// Member names and strings can carry escapes (\uDC00) that decode to text that is not
// UTF-8; such a document is refused like a file with raw bad bytes.
bool allTextIsUtf8(const Json::Value& value) {
    std::vector<const Json::Value*> pending{&value};
    while (!pending.empty()) {
        const Json::Value& v = *pending.back();
        pending.pop_back();
        if (v.isString()) {
            const char* begin = nullptr;
            const char* end = nullptr;
            if (v.getString(&begin, &end) && !isValidUtf8(std::string_view(begin, end - begin))) {
                return false;
            }
        } else if (v.isObject()) {
            for (auto it = v.begin(); it != v.end(); ++it) {
                if (!isValidUtf8(it.name())) {
                    return false;
                }
                pending.push_back(&*it);
            }
        } else if (v.isArray()) {
            for (const Json::Value& child : v) {
                pending.push_back(&child);
            }
        }
    }
    return true;
}

// A copy of `value` whose strings and member names are made well-formed UTF-8.
Json::Value repairedText(const Json::Value& value) {
    if (value.isString()) {
        return Json::Value(toValidUtf8(value.asString()));
    }
    if (value.isObject()) {
        Json::Value copy(Json::objectValue);
        for (auto it = value.begin(); it != value.end(); ++it) {
            copy[toValidUtf8(it.name())] = repairedText(*it);
        }
        return copy;
    }
    if (value.isArray()) {
        Json::Value copy(Json::arrayValue);
        for (const Json::Value& child : value) {
            copy.append(repairedText(child));
        }
        return copy;
    }
    return value;
}

}  // namespace

Json::Value ParseJsonDocument(std::string_view text) {
    if (text.empty() || text.size() > kMaxJsonFileSize) {
        return {};
    }
    if (!isValidUtf8(text)) {
        log::debug("json: text is not UTF-8");
        return {};
    }
    Json::CharReaderBuilder builder;
    builder["allowComments"] = true;
    builder["collectComments"] = false;
    builder["failIfExtra"] = true;
    Json::Value document;
    std::string errors;
    try {
        const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
        if (!reader->parse(text.data(), text.data() + text.size(), &document, &errors)) {
            log::debugf("json: %s", errors.c_str());
            return {};
        }
    } catch (const std::exception& e) {
        // The parser throws when the nesting is deeper than its stack limit.
        log::debugf("json: %s", e.what());
        return {};
    }
    if (!allTextIsUtf8(document)) {
        log::debug("json: a string is not UTF-8");
        return {};
    }
    return document;
}

Json::Value ReadJsonDocument(const fs::path& path) {
    int error = 0;
    const std::string text = readRegularFile(path, error);
    log::debugf("readjsonFile 错误吗：：%d", error);
    if (text.empty()) {
        log::debug(path.string());
        return {};
    }
    Json::Value document = ParseJsonDocument(text);
    if (document.isNull()) {
        log::debugf("json: %s is damaged", path.c_str());
    }
    return document;
}

std::string JsonDocumentText(const Json::Value& document) {
    Json::StreamWriterBuilder builder;
    builder["indentation"] = "   ";
    builder["emitUTF8"] = true;
    // The writer copies bytes as they are; text that is not UTF-8 would make the file
    // unreadable for ReadJsonDocument.
    std::string text = allTextIsUtf8(document) ? Json::writeString(builder, document)
                                               : Json::writeString(builder, repairedText(document));
    text += '\n';
    return text;
}

bool WriteJsonDocument(const fs::path& path, const Json::Value& document) {
    std::string text;
    try {
        text = JsonDocumentText(document);
    } catch (const std::exception& e) {
        log::debugf("WriteJsonDocument %s: %s", path.c_str(), e.what());
        return false;
    }
    if (!writeFileAtomically(path, text)) {
        log::debugf("WriteJsonDocument %s failed", path.c_str());
        return false;
    }
    return true;
}

}  // namespace korvane::files
