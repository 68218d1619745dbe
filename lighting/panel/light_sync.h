// Same-mode synchronisation: the action that puts every connected device into the common
// effect of the current device's mode, the availability of that action, and the engine thread
// (`LightSyncThread`) that then computes the colour frames for every synchronised device.
//
// Threads: StartSameMode and UpdateSyncAvailability run on the UI thread; run() on the
// engine's own thread. The sync state (class and source) is guarded by a mutex that is never
// held while a device is called; the family lists are read through LightFamilies; the engine's
// counters belong to the engine thread.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <stop_token>

#include "lighting/lighting_target.h"
#include "lighting/panel/light_change.h"
#include "lighting/panel/light_families.h"
#include "lighting/panel/sync_steps.h"

namespace korvane::lighting::panel {

class LightSync {
  public:
    using Clock = std::function<std::uint64_t()>;

    // `families` must outlive the engine thread. `clock` is the engine's millisecond clock.
    explicit LightSync(LightFamilies& families, Clock clock = syncClockMs);

    // ---- UI thread ----
    // The same-mode action started from `current` ("deng_same_mode"). Nothing happens without
    // a device or for a mode outside the class table; returns whether it ran.
    bool StartSameMode(LightingTarget* current, ScreenSize screen);
    // After the window recounted its devices: every device's panel may offer the action when
    // two or more devices are present; otherwise every synchronisation ends.
    void UpdateSyncAvailability(int deviceCount);

    // ---- the sync state, any thread ----
    SyncClass syncClass() const;
    SyncSource syncSource() const;
    void setSyncState(SyncClass syncClass, const SyncSource& source);

    // ---- the engine ----
    // The thread body: runs until `stop` is requested (noticed within a 1 ms slice or during
    // a 1 s idle sleep).
    void run(std::stop_token stop);

    enum class Pass { Idle, Counted, Stepped };
    // One pass of the loop without its wait: Idle when no device is synchronised, Stepped when
    // a step ran and its colour went to every synchronised device. Engine thread (or a test).
    Pass runPass();

  private:
    // Waits up to `ms`; true when `stop` was requested.
    bool waitFor(const std::stop_token& stop, int ms);
    bool anySynchronised() const;
    void paint(const SyncEmit& colour);

    LightFamilies& families_;
    Clock clock_;

    mutable std::mutex stateMutex_;
    SyncClass class_ = SyncClass::Pulse;
    SyncSource source_;

    // Engine thread only.
    LightFamilies::Lists lists_;
    std::uint64_t listsGeneration_ = 0;
    SyncTicker ticker_;
    SyncCounters counters_;
    std::mutex waitMutex_;
    std::condition_variable_any wake_;
};

// The body of the main window's lighting synchronisation thread (thread slot 8).
void LightSyncThread(std::stop_token stop, LightSync& sync);

}  // namespace korvane::lighting::panel
