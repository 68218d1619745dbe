// Reading and writing members of JSON documents that came from files and may hold anything.
//
// Readers never throw and never change the document: a member that is missing, or whose
// parent is not an object/array, reads as a null value. Conversions follow one rule for the
// whole program: a number (integer or real, truncated toward zero) or a boolean (0/1)
// converts; a member of any other type (string, array, object, null) reads as 0, false or
// empty text. "Byte" and "word" keep the low 8 and 16 bits of the integer (300 reads as 44,
// -1 as 255); 32-bit values keep the low 32 bits.
//
// Writers create objects and arrays on the way; a value in the way that has another type is
// replaced.
#pragma once

#include <json/value.h>

#include <cstdint>
#include <string>

namespace korvane::files {

// ---- reading ----

const Json::Value& member(const Json::Value& object, const char* key);
const Json::Value& element(const Json::Value& array, Json::ArrayIndex index);

// The value only when it is an object / an array, else a null value.
const Json::Value& asObject(const Json::Value& value);
const Json::Value& asArray(const Json::Value& value);

std::int64_t toInteger(const Json::Value& value);
inline std::uint8_t toByte(const Json::Value& value) {
    return static_cast<std::uint8_t>(toInteger(value));
}
inline std::uint16_t toWord(const Json::Value& value) {
    return static_cast<std::uint16_t>(toInteger(value));
}
inline std::int32_t toInt32(const Json::Value& value) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(toInteger(value)));
}
// Booleans as they are; numbers: non-zero is true.
bool toTruth(const Json::Value& value);
// Strings only; other types read as empty text.
std::string toText(const Json::Value& value);

// ---- writing ----

// `value` made an object (when it is not one), then its member `key`.
Json::Value& memberSlot(Json::Value& value, const char* key);
// `value` made an array (when it is not one) and grown to index + 1 with nulls, then that
// element. Callers bound `index`: the array really grows that long.
Json::Value& elementSlot(Json::Value& value, Json::ArrayIndex index);
// The member / element, made an object or an array when it is not one.
Json::Value& objectMember(Json::Value& value, const char* key);
Json::Value& arrayMember(Json::Value& value, const char* key);
Json::Value& objectElement(Json::Value& value, Json::ArrayIndex index);
Json::Value& arrayElement(Json::Value& value, Json::ArrayIndex index);

}  // namespace korvane::files
