#include "platform/files/json_fields.h"

#include <cmath>
#include <cstring>

namespace korvane::files {

const Json::Value& member(const Json::Value& object, const char* key) {
    if (!object.isObject()) {
        return Json::Value::nullSingleton();
    }
    const Json::Value* found = object.find(key, key + std::strlen(key));
    return found != nullptr ? *found : Json::Value::nullSingleton();
}

const Json::Value& element(const Json::Value& array, Json::ArrayIndex index) {
    if (!array.isArray() || index >= array.size()) {
        return Json::Value::nullSingleton();
    }
    return array[index];
}

const Json::Value& asObject(const Json::Value& value) {
    return value.isObject() ? value : Json::Value::nullSingleton();
}

const Json::Value& asArray(const Json::Value& value) {
    return value.isArray() ? value : Json::Value::nullSingleton();
}

std::int64_t toInteger(const Json::Value& value) {
    switch (value.type()) {
        case Json::intValue:
            return value.asInt64();
        case Json::uintValue:
            // Two's complement wrap keeps the low bits, which is all a byte/word/int32 needs.
            return static_cast<std::int64_t>(value.asUInt64());
        case Json::realValue: {
            const double d = value.asDouble();
            // The range test also refuses NaN; converting anything outside it is undefined.
            if (d >= -9223372036854775808.0 && d < 9223372036854775808.0) {
                return static_cast<std::int64_t>(d);
            }
            return 0;
        }
        case Json::booleanValue:
            return value.asBool() ? 1 : 0;
        default:
            return 0;
    }
}

bool toTruth(const Json::Value& value) {
    if (value.isBool()) {
        return value.asBool();
    }
    if (value.isDouble() && !value.isIntegral()) {
        const double d = value.asDouble();
        return d != 0.0 && !std::isnan(d);
    }
    return toInteger(value) != 0;
}

std::string toText(const Json::Value& value) {
    return value.isString() ? value.asString() : std::string();
}

Json::Value& memberSlot(Json::Value& value, const char* key) {
    if (!value.isObject()) {
        value = Json::Value(Json::objectValue);
    }
    return value[key];
}

Json::Value& elementSlot(Json::Value& value, Json::ArrayIndex index) {
    if (!value.isArray()) {
        value = Json::Value(Json::arrayValue);
    }
    // jsoncpp keeps arrays as maps; explicit nulls keep them dense, so documents built here
    // compare equal to the same documents read from a file.
    for (Json::ArrayIndex i = value.size(); i < index; ++i) {
        value[i] = Json::Value();
    }
    return value[index];
}

Json::Value& objectMember(Json::Value& value, const char* key) {
    Json::Value& slot = memberSlot(value, key);
    if (!slot.isObject()) {
        slot = Json::Value(Json::objectValue);
    }
    return slot;
}

Json::Value& arrayMember(Json::Value& value, const char* key) {
    Json::Value& slot = memberSlot(value, key);
    if (!slot.isArray()) {
        slot = Json::Value(Json::arrayValue);
    }
    return slot;
}

Json::Value& objectElement(Json::Value& value, Json::ArrayIndex index) {
    Json::Value& slot = elementSlot(value, index);
    if (!slot.isObject()) {
        slot = Json::Value(Json::objectValue);
    }
    return slot;
}

Json::Value& arrayElement(Json::Value& value, Json::ArrayIndex index) {
    Json::Value& slot = elementSlot(value, index);
    if (!slot.isArray()) {
        slot = Json::Value(Json::arrayValue);
    }
    return slot;
}

}  // namespace korvane::files
