#include "ui/control_name.h"

#include <cstdint>
#include <limits>

namespace korvane::ui {
namespace {

char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

int readDecimal(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    constexpr std::int64_t kMax = std::numeric_limits<int>::max();
    constexpr std::int64_t kMinMagnitude =
        -static_cast<std::int64_t>(std::numeric_limits<int>::min());
    const std::int64_t limit = negative ? kMinMagnitude : kMax;
    std::int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value >= limit) {
            value = limit;  // saturate; further digits cannot bring it back
        }
    }
    return static_cast<int>(negative ? -value : value);
}

}  // namespace

bool namesEqual(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lowerAscii(a[i]) != lowerAscii(b[i])) {
            return false;
        }
    }
    return true;
}

IndexedName SplitIndexedName(std::string_view name) {
    IndexedName result;
    const auto pos = name.rfind('_');
    if (pos == std::string_view::npos) {
        return result;
    }
    result.hasPrefix = true;
    result.prefix = std::string(name.substr(0, pos + 1));
    result.number = readDecimal(name.substr(pos + 1));
    return result;
}

std::optional<int> indexAfterPrefix(std::string_view name, std::string_view prefix) {
    const IndexedName split = SplitIndexedName(name);
    if (!split.hasPrefix || !namesEqual(split.prefix, prefix)) {
        return std::nullopt;
    }
    return split.number;
}

}  // namespace korvane::ui
