#include "lighting/panel/light_families.h"

#include <algorithm>

namespace korvane::lighting::panel {

std::optional<LightFamily> lightFamilyOf(LightKind kind) {
    switch (kind) {
        case LightKind::Keyboard:
            return LightFamily::Keyboards;
        case LightKind::Mouse:
            return LightFamily::Mice;
        case LightKind::MousePad:
            return LightFamily::MousePads;
        case LightKind::Headset:
            return LightFamily::Headsets;
        case LightKind::Unknown:
            break;
    }
    return std::nullopt;
}

void LightFamilies::add(LightFamily family, LightingTarget* device) {
    if (device == nullptr) {
        return;
    }
    std::lock_guard lock(mutex_);
    for (const auto& list : lists_) {
        if (std::find(list.begin(), list.end(), device) != list.end()) {
            return;
        }
    }
    lists_[static_cast<std::size_t>(family)].push_back(device);
    generation_.fetch_add(1);
}

void LightFamilies::clear() {
    std::lock_guard lock(mutex_);
    for (auto& list : lists_) {
        list.clear();
    }
    generation_.fetch_add(1);
}

std::vector<LightingTarget*> LightFamilies::list(LightFamily family) const {
    std::lock_guard lock(mutex_);
    return lists_[static_cast<std::size_t>(family)];
}

LightFamilies::Lists LightFamilies::lists() const {
    std::lock_guard lock(mutex_);
    return lists_;
}

bool LightFamilies::refresh(Lists& out, std::uint64_t& generation) const {
    if (generation_.load() == generation) {
        return false;
    }
    std::lock_guard lock(mutex_);
    for (std::size_t i = 0; i < lists_.size(); ++i) {
        out[i].assign(lists_[i].begin(), lists_[i].end());
    }
    generation = generation_.load();
    return true;
}

}  // namespace korvane::lighting::panel
