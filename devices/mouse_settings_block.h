// The mouse's on-board settings block: 71 bytes per on-board profile at profile × 128 in the
// settings memory (commands 0x05/0x06); the first 66 are written. Little-endian:
//   0 first byte (after a read: the active on-board profile)   1 light mode code
//   2 level   3 4 − speed   4 direction   5 multicolour   6–8 red, green, blue   9, 10 0
//   11 report-rate index   12 active stage   13 0
//   14–58 five stages of 9 bytes: enabled, separate X/Y, X (16), Y (16), red, green, blue
//   59 third byte   60–61 screen width   62–63 screen height
//   64 "CorrectMinSq", 65 "CorrectPixThresh" of the selected angle correction
//   66–70 read only
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "lighting/light_effect.h"
#include "profile/profile_records.h"

namespace korvane::devices::mouse {

inline constexpr std::size_t kSettingsBlockSize = 71;
inline constexpr std::size_t kSettingsWriteSize = 66;
inline constexpr std::size_t kSettingsStride = 128;
inline constexpr std::size_t kStageCount = 5;
inline constexpr std::size_t kStageRecordSize = 9;
inline constexpr std::size_t kFirstStageByte = 14;
// Light modes above this are not the device's own: they are sent as mode 0.
inline constexpr int kLastDeviceLightMode = 9;

using MouseSettingsBlock = std::array<std::uint8_t, kSettingsBlockSize>;

namespace block {
inline constexpr std::size_t kFirstByte = 0;
inline constexpr std::size_t kLightMode = 1;
inline constexpr std::size_t kLevel = 2;
inline constexpr std::size_t kSpeed = 3;
inline constexpr std::size_t kDirection = 4;
inline constexpr std::size_t kMultiColour = 5;
inline constexpr std::size_t kRed = 6;
inline constexpr std::size_t kGreen = 7;
inline constexpr std::size_t kBlue = 8;
inline constexpr std::size_t kCleared = 9;
inline constexpr std::size_t kReportRate = 11;
inline constexpr std::size_t kActiveStage = 12;
inline constexpr std::size_t kThirdByte = 59;
inline constexpr std::size_t kWidth = 60;
inline constexpr std::size_t kHeight = 62;
inline constexpr std::size_t kCorrectMinSq = 64;
inline constexpr std::size_t kCorrectPixThresh = 65;
}  // namespace block

// Everything the written part of the block is made of.
struct MouseSettingsInput {
    std::uint8_t firstByte = 0;
    lighting::LightEffect light;
    // The firmware code of light mode m (LightModeCodeList), or a negative value when the list
    // has none; then the mode number itself is sent.
    std::function<int(int mode)> modeCode;
    std::uint8_t reportRate = 0;
    std::uint8_t activeStage = 0;
    std::vector<profile::DpiStage> stages;  // the first five are sent, missing ones stay 0
    std::uint8_t thirdByte = 0;
    std::uint16_t width = 0;
    std::uint16_t height = 0;
    std::vector<profile::CorrectEntry> corrections;
};

// The block as written (bytes 66–70 are 0; only the first 66 go to the device).
MouseSettingsBlock buildMouseSettingsBlock(const MouseSettingsInput& input);

// The code byte of a light mode: modes above 9 take mode 0's code.
std::uint8_t lightModeCodeByte(int mode, const std::function<int(int)>& modeCode);

// What a read block says about the lighting: the mode is the first mode whose code equals byte
// 1 (`modeForCode` gives -1 when none does; then the byte stays as it is), level byte 2, speed
// 4 − byte 3 (0 for bytes above 4), direction byte 4, multicolour byte 5, colour bytes 6–8.
// Fields the block does not carry are taken from `current`.
lighting::LightEffect lightingFromBlock(const MouseSettingsBlock& block,
                                        const lighting::LightEffect& current,
                                        const std::function<int(int code)>& modeForCode);

}  // namespace korvane::devices::mouse
