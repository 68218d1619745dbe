// The software effect of synchronised lighting: which common effect class a device's mode
// stands for, the mode each family takes for a class, and the engine's step functions. Pure
// functions over caller-owned counters; time is passed in.
#pragma once

#include <cstdint>
#include <optional>

#include "lighting/light_effect.h"
#include "lighting/lighting_target.h"
#include "lighting/panel/light_families.h"

namespace korvane::lighting::panel {

enum class SyncClass : std::uint8_t {
    Pulse = 0,
    Steady = 1,
    Blink = 2,
    Cycle = 3,
    Off = 4,
};
inline constexpr std::uint8_t kSyncClassCount = 5;

// What the engine takes from the device that started the synchronisation.
struct SyncSource {
    std::uint8_t Light = 0;
    std::uint8_t Speed = 0;
    std::uint8_t Fx = 0;
    std::uint8_t MultiColor = 0;
    std::uint8_t Red = 0;
    std::uint8_t Green = 0;
    std::uint8_t Blue = 0;

    friend bool operator==(const SyncSource&, const SyncSource&) = default;
};

SyncSource syncSourceOf(const LightEffect& effect);

// The class of a device's mode; nothing for a mode that has none.
std::optional<SyncClass> syncClassFor(LightKind kind, int mode);
// The mode a family's devices take for a class.
int syncTargetMode(LightFamily family, SyncClass syncClass);

// step(up, limit, value, inc) on bytes: up: value + inc, or 0 when that is ≥ limit;
// down: value − inc (as a byte), or limit − inc when that is ≥ limit.
std::uint8_t syncStep(bool up, unsigned limit, std::uint8_t value, std::uint8_t inc);

// The engine's own counters; all start at 0.
struct SyncCounters {
    std::uint8_t phase = 0;     // pulse phase over PulseCurve
    std::uint8_t pulseHue = 0;  // ColourWheel index of the multicolour pulse
    std::uint8_t cycleHue = 0;
    bool blinkOn = false;
    std::uint8_t blinkHue = 0;
    std::uint64_t lastToggleMs = 0;
};

// What one step emits: a colour and a level, packed for SetSyncColour as
// red | green << 8 | blue << 16 | level << 24.
struct SyncEmit {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    std::uint8_t level = 0;

    std::uint32_t packed() const;
    friend bool operator==(const SyncEmit&, const SyncEmit&) = default;
};

// One step of the class's effect at time `nowMs` (the engine's clock). A Light above 5 reads
// as 5.
SyncEmit runSyncStep(SyncClass syncClass, const SyncSource& source, SyncCounters& counters,
                     std::uint64_t nowMs);

// StepTicks[class][speed]; 0 for a speed (or class) outside the table.
std::uint8_t syncStepTicks(std::uint8_t syncClass, std::uint8_t speed);

// The engine's step timing: a step falls due after StepTicks[class][Speed] observed advances
// of the clock.
struct SyncTicker {
    std::uint32_t ticks = 0;
    std::uint64_t last = 0;  // clock value of the last observed advance
};

// One pass of the engine: counts an advance when now − last > 1 (unsigned) and reports whether
// the step is due (the count then restarts). Only a pass that saw the clock advance can be
// due, so a step never runs more often than the clock advances (a StepTicks entry of 0 steps
// at every advance).
bool syncTickDue(SyncTicker& ticker, std::uint64_t nowMs, std::uint8_t syncClass,
                 std::uint8_t speed);

// The engine's millisecond clock: a steady clock that advances in steps of 15.625 ms (64 per
// second), the granularity the step periods are counted in (Speed 0 steps about every 437 ms,
// Speed 4 about every 109 ms).
std::uint64_t syncClockMs();

}  // namespace korvane::lighting::panel
