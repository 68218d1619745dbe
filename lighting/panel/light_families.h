// The devices the lighting acts on, per family list. The window adds each device object when
// it creates it (device objects live until the window ends); the sync engine reads the lists
// from its own thread.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <vector>

#include "lighting/lighting_target.h"

namespace korvane::lighting::panel {

enum class LightFamily { Keyboards = 0, Mice = 1, MousePads = 2, Headsets = 3 };
inline constexpr std::size_t kLightFamilyCount = 4;

// The family list a device kind belongs to; nothing for Unknown.
std::optional<LightFamily> lightFamilyOf(LightKind kind);

class LightFamilies {
  public:
    using Lists = std::array<std::vector<LightingTarget*>, kLightFamilyCount>;

    // UI thread. Appends `device` to its list; nullptr and a device already listed are ignored.
    // The device must stay alive until it is removed by clear() and the sync engine has
    // stopped.
    void add(LightFamily family, LightingTarget* device);
    void clear();

    // Any thread: a copy of one list / of all lists.
    std::vector<LightingTarget*> list(LightFamily family) const;
    Lists lists() const;
    // Any thread: copies the lists into `out` only when they changed since `generation`
    // (which is updated); the caller keeps both between calls.
    bool refresh(Lists& out, std::uint64_t& generation) const;

  private:
    mutable std::mutex mutex_;
    Lists lists_;
    std::atomic<std::uint64_t> generation_{1};
};

}  // namespace korvane::lighting::panel
