#include "platform/hid/hid_backend.h"

namespace korvane::hid {

const char* toString(IoStatus status) {
    switch (status) {
        case IoStatus::Ok: return "ok";
        case IoStatus::Timeout: return "timeout";
        case IoStatus::Cancelled: return "cancelled";
        case IoStatus::Disconnected: return "disconnected";
        case IoStatus::Error: return "error";
    }
    return "unknown";
}

}  // namespace korvane::hid
