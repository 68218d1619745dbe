#include "lighting/panel/light_sync.h"

#include <chrono>

#include "lighting/panel/light_control.h"
#include "platform/log/logger.h"

namespace korvane::lighting::panel {
namespace {

// The order the engine looks for a synchronised device, and the order it paints them.
constexpr LightFamily kSearchOrder[] = {LightFamily::Mice, LightFamily::Keyboards,
                                        LightFamily::MousePads, LightFamily::Headsets};
constexpr LightFamily kEmitOrder[] = {LightFamily::Mice, LightFamily::MousePads,
                                      LightFamily::Headsets, LightFamily::Keyboards};
constexpr LightFamily kActionOrder[] = {LightFamily::Keyboards, LightFamily::Mice,
                                        LightFamily::MousePads, LightFamily::Headsets};

}  // namespace

LightSync::LightSync(LightFamilies& families, Clock clock)
    : families_(families), clock_(clock ? std::move(clock) : Clock(syncClockMs)) {}

SyncClass LightSync::syncClass() const {
    std::lock_guard lock(stateMutex_);
    return class_;
}

SyncSource LightSync::syncSource() const {
    std::lock_guard lock(stateMutex_);
    return source_;
}

void LightSync::setSyncState(SyncClass syncClass, const SyncSource& source) {
    std::lock_guard lock(stateMutex_);
    class_ = syncClass;
    source_ = source;
}

bool LightSync::StartSameMode(LightingTarget* current, ScreenSize screen) {
    if (current == nullptr) {
        return false;
    }
    const LightEffect source = currentLightEffect(*current);
    const std::optional<SyncClass> syncClass =
        syncClassFor(current->lightKind(), source.SelectItem);
    if (!syncClass) {
        return false;
    }
    setSyncState(*syncClass, syncSourceOf(source));
    for (LightFamily family : kActionOrder) {
        const int mode = syncTargetMode(family, *syncClass);
        for (LightingTarget* device : families_.list(family)) {
            if (!device->channelOpen()) {
                continue;
            }
            device->setSyncActive(true);
            LightEffect effect = source;
            effect.SelectItem = static_cast<std::uint8_t>(mode);
            if (CLightControlUI* panel = device->lightPanel()) {
                panel->ShowLightEffect(packLightEffect(effect));
            }
            commitLightEffect(*device, effect, screen);
        }
    }
    return true;
}

void LightSync::UpdateSyncAvailability(int deviceCount) {
    const bool available = deviceCount >= 2;
    for (const auto& list : families_.lists()) {
        for (LightingTarget* device : list) {
            if (CLightControlUI* panel = device->lightPanel()) {
                panel->SetSyncAvailable(available ? 1 : 0);
            }
            if (!available) {
                device->setSyncActive(false);
            }
        }
    }
}

// ---------------------------------------------------------------------------
// Engine

bool LightSync::waitFor(const std::stop_token& stop, int ms) {
    std::unique_lock lock(waitMutex_);
    wake_.wait_for(lock, stop, std::chrono::milliseconds(ms), [] { return false; });
    return stop.stop_requested();
}

bool LightSync::anySynchronised() const {
    for (LightFamily family : kSearchOrder) {
        for (LightingTarget* device : lists_[static_cast<std::size_t>(family)]) {
            if (device->channelOpen() && device->syncActive()) {
                return true;
            }
        }
    }
    return false;
}

void LightSync::paint(const SyncEmit& colour) {
    const std::uint32_t packed = colour.packed();
    for (LightFamily family : kEmitOrder) {
        for (LightingTarget* device : lists_[static_cast<std::size_t>(family)]) {
            if (!device->syncActive()) {
                continue;
            }
            const int zones = device->zoneCount();
            for (int zone = 0; zone < zones; ++zone) {
                device->SetSyncColour(zone, packed);
            }
        }
    }
}

LightSync::Pass LightSync::runPass() {
    families_.refresh(lists_, listsGeneration_);
    if (!anySynchronised()) {
        return Pass::Idle;
    }
    const std::uint64_t now = clock_();
    SyncClass syncClass;
    SyncSource source;
    {
        std::lock_guard lock(stateMutex_);
        syncClass = class_;
        source = source_;
    }
    if (!syncTickDue(ticker_, now, static_cast<std::uint8_t>(syncClass), source.Speed)) {
        return Pass::Counted;
    }
    paint(runSyncStep(syncClass, source, counters_, now));
    return Pass::Stepped;
}

void LightSync::run(std::stop_token stop) {
    ticker_ = SyncTicker{0, clock_()};
    for (;;) {
        if (waitFor(stop, 1)) {
            break;
        }
        if (runPass() == Pass::Idle && waitFor(stop, 1000)) {
            break;
        }
    }
    log::debug("同步灯光线程设定退出");
}

void LightSyncThread(std::stop_token stop, LightSync& sync) {
    sync.run(stop);
}

}  // namespace korvane::lighting::panel
