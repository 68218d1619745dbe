#include "platform/files/safe_file_name.h"

#include <cstdint>
#include <string>

#include "platform/files/utf8.h"
#include "platform/log/logger.h"

namespace korvane::files {
namespace {

// Why `name` is refused, or nullptr.
const char* refusal(std::string_view name) {
    if (name.empty()) {
        return "empty";
    }
    if (name.size() > kMaxSafeFileNameLength) {
        return "too long";
    }
    if (!isValidUtf8(name)) {
        return "not UTF-8";
    }
    if (name == "." || name == "..") {
        return "names a folder";
    }
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto c = static_cast<std::uint8_t>(name[i]);
        if (c == '/' || c == '\\' || c == ':') {
            return "holds a path separator";
        }
        if (c < 0x20 || c == 0x7F) {
            return "holds a control character";
        }
        // U+0080–U+009F are C2 80 … C2 9F.
        if (c == 0xC2 && i + 1 < name.size() && static_cast<std::uint8_t>(name[i + 1]) <= 0x9F) {
            return "holds a control character";
        }
    }
    return nullptr;
}

// The name as a log can show it: printable ASCII kept, every other byte as \xNN.
std::string printable(std::string_view name) {
    std::string out;
    for (char ch : name.substr(0, 80)) {
        const auto c = static_cast<std::uint8_t>(ch);
        if (c >= 0x20 && c < 0x7F) {
            out += ch;
        } else {
            static const char digits[] = "0123456789abcdef";
            out += "\\x";
            out += digits[c >> 4];
            out += digits[c & 15];
        }
    }
    return out;
}

}  // namespace

bool isSafeFileName(std::string_view name) {
    if (const char* reason = refusal(name)) {
        log::debugf("unsafe file name \"%s\" refused: %s", printable(name).c_str(), reason);
        return false;
    }
    return true;
}

std::optional<std::filesystem::path> safeFilePath(const std::filesystem::path& folder,
                                                  std::string_view name,
                                                  std::string_view extension) {
    if (!isSafeFileName(name)) {
        return std::nullopt;
    }
    std::string leaf(name);
    leaf += extension;
    return folder / leaf;
}

}  // namespace korvane::files
