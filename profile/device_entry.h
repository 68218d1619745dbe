// Where a device entry sits in a profile document (internal to profile/).
#pragma once

#include <json/value.h>

#include "platform/files/json_fields.h"

namespace korvane::profile {

// "Device"[index] of `document`, or a null value when the document, "Device" or the
// element is missing or of another type.
inline const Json::Value& deviceEntry(const Json::Value& document, int index) {
    return files::element(files::member(document, "Device"), static_cast<Json::ArrayIndex>(index));
}

// Sets "Device"[index]; a document that is not an object, or a "Device" that is not an
// array, is replaced (nothing of a profile can be kept from it). Other members and other
// elements stay.
inline void putDeviceEntry(Json::Value& document, int index, const Json::Value& entry) {
    files::elementSlot(files::arrayMember(document, "Device"),
                       static_cast<Json::ArrayIndex>(index)) = entry;
}

}  // namespace korvane::profile
