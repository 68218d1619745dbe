#include "lighting/panel/sync_steps.h"

#include <array>
#include <chrono>

#include "lighting/light_tables.h"

namespace korvane::lighting::panel {
namespace {

// Source kind's modes for classes 0–4 (Pulse, Steady, Blink, Cycle, Off).
constexpr std::array<int, kSyncClassCount> kKeyboardModes = {5, 6, 23, 4, 28};
constexpr std::array<int, kSyncClassCount> kMouseModes = {2, 3, 4, 1, 9};
constexpr std::array<int, kSyncClassCount> kPadModes = {2, 3, 4, 1, 8};  // pad and headset

const std::array<int, kSyncClassCount>* modesOf(LightKind kind) {
    switch (kind) {
        case LightKind::Keyboard:
            return &kKeyboardModes;
        case LightKind::Mouse:
            return &kMouseModes;
        case LightKind::MousePad:
        case LightKind::Headset:
            return &kPadModes;
        case LightKind::Unknown:
            break;
    }
    return nullptr;
}

SyncEmit colourAt(const Rgb& colour, std::uint8_t level) {
    return SyncEmit{colour.red, colour.green, colour.blue, level};
}

Rgb sourceColour(const SyncSource& source) {
    return Rgb{source.Red, source.Green, source.Blue};
}

}  // namespace

SyncSource syncSourceOf(const LightEffect& e) {
    return SyncSource{e.Light, e.Speed, e.Fx, e.MultiColor, e.Red, e.Green, e.Blue};
}

std::optional<SyncClass> syncClassFor(LightKind kind, int mode) {
    const auto* modes = modesOf(kind);
    if (modes == nullptr) {
        return std::nullopt;
    }
    for (std::uint8_t c = 0; c < kSyncClassCount; ++c) {
        if ((*modes)[c] == mode) {
            return static_cast<SyncClass>(c);
        }
    }
    return std::nullopt;
}

int syncTargetMode(LightFamily family, SyncClass syncClass) {
    const auto c = static_cast<std::size_t>(syncClass) % kSyncClassCount;
    switch (family) {
        case LightFamily::Keyboards:
            return kKeyboardModes[c];
        case LightFamily::Mice:
            return kMouseModes[c];
        case LightFamily::MousePads:
        case LightFamily::Headsets:
            return kPadModes[c];
    }
    return kPadModes[c];
}

std::uint8_t syncStep(bool up, unsigned limit, std::uint8_t value, std::uint8_t inc) {
    if (up) {
        const unsigned next = static_cast<unsigned>(value) + inc;
        return next >= limit ? 0 : static_cast<std::uint8_t>(next);
    }
    const auto next = static_cast<std::uint8_t>(value - inc);
    return next >= limit ? static_cast<std::uint8_t>(limit - inc) : next;
}

std::uint32_t SyncEmit::packed() const {
    return static_cast<std::uint32_t>(red) | static_cast<std::uint32_t>(green) << 8 |
           static_cast<std::uint32_t>(blue) << 16 | static_cast<std::uint32_t>(level) << 24;
}

SyncEmit runSyncStep(SyncClass syncClass, const SyncSource& source, SyncCounters& c,
                     std::uint64_t nowMs) {
    const std::uint8_t brightness = brightnessForLevel(source.Light);
    switch (syncClass) {
        case SyncClass::Pulse: {
            c.phase = syncStep(source.Fx != 0, kPulseCurveSize, c.phase, 1);
            Rgb colour = sourceColour(source);
            if (source.MultiColor != 0) {
                if (c.phase <= 1) {
                    c.pulseHue = syncStep(true, kColourWheelSize, c.pulseHue, 16);
                }
                colour = wheelColour(c.pulseHue);
            }
            const auto level = static_cast<std::uint8_t>(
                (static_cast<unsigned>(brightness) * PulseCurve[c.phase % kPulseCurveSize]) >> 8);
            return colourAt(colour, level);
        }
        case SyncClass::Steady:
            return colourAt(sourceColour(source), brightness);
        case SyncClass::Blink: {
            const std::uint64_t period = std::uint64_t{syncStepTicks(0, source.Speed)} * 200;
            if (nowMs - c.lastToggleMs >= period) {
                c.blinkOn = !c.blinkOn;
                c.lastToggleMs = nowMs;
                c.blinkHue = static_cast<std::uint8_t>(c.blinkHue + 14);
                if (c.blinkHue >= kColourWheelSize) {
                    c.blinkHue = 0;
                }
            }
            if (!c.blinkOn) {
                return SyncEmit{};
            }
            const Rgb colour =
                source.MultiColor != 0 ? wheelColour(c.blinkHue) : sourceColour(source);
            return colourAt(colour, brightness);
        }
        case SyncClass::Cycle:
            c.cycleHue = syncStep(true, kColourWheelSize, c.cycleHue, 1);
            return colourAt(wheelColour(c.cycleHue), brightness);
        case SyncClass::Off:
            return SyncEmit{};
    }
    return SyncEmit{};
}

std::uint8_t syncStepTicks(std::uint8_t syncClass, std::uint8_t speed) {
    if (syncClass >= kStepTicksRows || speed >= kStepTicksColumns) {
        return 0;
    }
    return StepTicks[syncClass][speed];
}

bool syncTickDue(SyncTicker& ticker, std::uint64_t nowMs, std::uint8_t syncClass,
                 std::uint8_t speed) {
    if (nowMs - ticker.last <= 1) {
        return false;
    }
    ticker.last = nowMs;
    ++ticker.ticks;
    if (syncClass >= kSyncClassCount || ticker.ticks < syncStepTicks(syncClass, speed)) {
        return false;
    }
    ticker.ticks = 0;
    return true;
}

std::uint64_t syncClockMs() {
    using namespace std::chrono;
    const auto us = static_cast<std::uint64_t>(
        duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count());
    constexpr std::uint64_t kTickUs = 15625;
    return us / kTickUs * kTickUs / 1000;
}

}  // namespace korvane::lighting::panel
