#include "keys/gun_files.h"

#include <algorithm>

#include "keys/json_integer.h"
#include "keys/macro_event.h"
#include "platform/files/json_fields.h"

namespace korvane::keys {
namespace {

int number(const Json::Value& value, int high) {
    const auto n = strictInteger(value);
    return n ? static_cast<int>(std::clamp<std::int64_t>(*n, 0, high)) : 0;
}

bool isDown(const Json::Value& event) {
    return files::toText(files::member(event, "Action")) == "down";
}

Json::Value shotEvent(uint8_t kind, bool down, int button, int delay) {
    return eventToJson(
        MacroEvent{kind, static_cast<uint8_t>(button), down, static_cast<uint16_t>(delay)},
        DelayForm::Integer);
}

void putShot(Json::Value& events, int shot, const Shot& s) {
    const int x = std::clamp(s.x, 0, kMaxShotDistance);
    const int y = std::clamp(s.y, 0, kMaxShotDistance);
    const int delay = std::clamp(s.delay, 0, kMaxDelay);
    const Json::Value elements[kEventsPerShot] = {
        shotEvent(event_kind::kMouseButton, true, 1, 10),
        shotEvent(event_kind::kMouseButton, false, 1, 0),
        shotEvent(event_kind::kHorizontal, s.left, x, 5),
        shotEvent(event_kind::kVertical, s.up, y, delay),
        shotEvent(event_kind::kHorizontal, s.left, 0, 0),
        shotEvent(event_kind::kVertical, s.up, 0, 0),
    };
    const auto first = static_cast<Json::ArrayIndex>(shot * kEventsPerShot);
    for (Json::ArrayIndex i = 0; i < kEventsPerShot; ++i) {
        events[first + i] = elements[i];
    }
}

}  // namespace

std::string gunFileName(int gun) {
    return "ShootData_" + std::to_string(gun) + ".Shoot";
}

std::filesystem::path gunFilePath(const std::filesystem::path& folder, int gun) {
    return folder / gunFileName(gun);
}

int clampGun(int gun) {
    return std::clamp(gun, 0, kGunCount - 1);
}

int clampShot(int shot) {
    return std::clamp(shot, 0, kShotCount - 1);
}

Shot readShot(const Json::Value& document, int shot) {
    const Json::Value& events = files::member(document, "Events");
    const auto first = static_cast<Json::ArrayIndex>(clampShot(shot) * kEventsPerShot);
    const Json::Value& horizontal = files::element(events, first + 2);
    const Json::Value& vertical = files::element(events, first + 3);
    Shot s;
    s.left = isDown(horizontal);
    s.x = number(files::member(horizontal, "Button"), kMaxShotDistance);
    s.up = isDown(vertical);
    s.y = number(files::member(vertical, "Button"), kMaxShotDistance);
    s.delay = parseDelay(files::member(vertical, "Delay")).value;
    return s;
}

void writeShot(Json::Value& document, int shot, const Shot& values) {
    if (!document.isObject()) {
        document = Json::Value(Json::objectValue);
    }
    Json::Value& events = document["Events"];
    if (!events.isArray()) {
        events = Json::Value(Json::arrayValue);
    }
    shot = clampShot(shot);
    for (int earlier = static_cast<int>(events.size()) / kEventsPerShot; earlier < shot;
         ++earlier) {
        putShot(events, earlier, Shot{});
    }
    putShot(events, shot, values);
}

}  // namespace korvane::keys
