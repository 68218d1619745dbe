// Table-driven reading and writing of a record's members in a JSON object, shared by the
// section readers and writers (internal to profile/).
#pragma once

#include <json/value.h>

#include <cstdint>
#include <span>

#include "platform/files/json_fields.h"

namespace korvane::profile::detail {

// How a member is kept: the low 8 bits, a truth value (read: non-zero → 1; written as the
// byte), the low 16 bits, or the low 32 bits.
enum class FieldKind { Byte, Truth, Word, Int32 };

template <class Record>
struct Field {
    const char* key;
    FieldKind kind;
    std::uint8_t Record::*byte = nullptr;
    std::uint16_t Record::*word = nullptr;
    std::int32_t Record::*int32 = nullptr;
};

template <class Record>
constexpr Field<Record> byteField(const char* key, std::uint8_t Record::*member) {
    return {key, FieldKind::Byte, member, nullptr, nullptr};
}
template <class Record>
constexpr Field<Record> truthField(const char* key, std::uint8_t Record::*member) {
    return {key, FieldKind::Truth, member, nullptr, nullptr};
}
template <class Record>
constexpr Field<Record> wordField(const char* key, std::uint16_t Record::*member) {
    return {key, FieldKind::Word, nullptr, member, nullptr};
}
template <class Record>
constexpr Field<Record> int32Field(const char* key, std::int32_t Record::*member) {
    return {key, FieldKind::Int32, nullptr, nullptr, member};
}

// Every field from `object` (absent members and members of other types read as 0).
template <class Record>
void readFields(const Json::Value& object, Record& record, std::span<const Field<Record>> fields) {
    for (const Field<Record>& f : fields) {
        const Json::Value& value = files::member(object, f.key);
        switch (f.kind) {
            case FieldKind::Byte:
                record.*f.byte = files::toByte(value);
                break;
            case FieldKind::Truth:
                record.*f.byte = files::toTruth(value) ? 1 : 0;
                break;
            case FieldKind::Word:
                record.*f.word = files::toWord(value);
                break;
            case FieldKind::Int32:
                record.*f.int32 = files::toInt32(value);
                break;
        }
    }
}

template <class Record>
Record readRecord(const Json::Value& object, std::span<const Field<Record>> fields) {
    Record record{};
    readFields(object, record, fields);
    return record;
}

// Every field into `object` as a JSON integer (object made an object when it is not one);
// other members stay.
// GCC 12 reports the member-pointer reads below as possibly uninitialized for records
// without fields of that size (a false positive: those cases never run).
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
template <class Record>
void writeFields(Json::Value& object, const Record& record, std::span<const Field<Record>> fields) {
    for (const Field<Record>& f : fields) {
        Json::Int value = 0;
        switch (f.kind) {
            case FieldKind::Byte:
            case FieldKind::Truth:
                if (f.byte != nullptr) value = record.*f.byte;
                break;
            case FieldKind::Word:
                if (f.word != nullptr) value = record.*f.word;
                break;
            case FieldKind::Int32:
                if (f.int32 != nullptr) value = record.*f.int32;
                break;
        }
        files::memberSlot(object, f.key) = value;
    }
}
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif

}  // namespace korvane::profile::detail
