// Strict reading of integers from untrusted documents: the event checks refuse what the
// program's general reading rule (platform/files/json_fields.h) would convert, such as 1.5,
// true or 300 for a byte.
#pragma once

#include <json/value.h>

#include <cstdint>
#include <optional>

namespace korvane::keys {

// The value as a 64-bit integer when it is a number with an integral value in that range.
inline std::optional<std::int64_t> strictInteger(const Json::Value& value) {
    if (value.isInt64()) {
        return value.asInt64();
    }
    return std::nullopt;
}

}  // namespace korvane::keys
