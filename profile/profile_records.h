// Plain records parsed from the sections of a profile's device entry.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "keys/key_assignment.h"

namespace korvane::profile {

// One element of "KeyList": the key's current and default assignment.
struct KeyListEntry {
    std::uint16_t index = 0;  // position in "KeyList"
    keys::KeyAssignment assignment;
    std::uint16_t defaultIndex = 0;  // the position again
    keys::KeyAssignment defaultAssignment;

    friend bool operator==(const KeyListEntry&, const KeyListEntry&) = default;
};

// One sensitivity stage of "DPIStages"/"StageDPIs". X and Y are sensitivity indexes, not
// sensitivities.
struct DpiStage {
    std::uint8_t StageActive = 0;  // stage enabled
    std::uint8_t StageXY = 0;      // separate X/Y values
    std::uint16_t StageDPIX = 0;
    std::uint16_t StageDPIY = 0;
    std::uint8_t StageColorR = 0;
    std::uint8_t StageColorG = 0;
    std::uint8_t StageColorB = 0;

    friend bool operator==(const DpiStage&, const DpiStage&) = default;
};

// One key position of a custom lighting group ("CustomLightMode"/"LightColorInfo").
struct KeyColor {
    std::uint8_t Red = 0;
    std::uint8_t Green = 0;
    std::uint8_t Blue = 0;
    std::uint8_t Alpha = 0;

    friend bool operator==(const KeyColor&, const KeyColor&) = default;
};

// "AudioLightInfo": the keyboard's music lighting colours.
struct AudioLightRecord {
    std::uint8_t AudioMode = 0;
    std::uint8_t BkColorR = 0;
    std::uint8_t BkColorG = 0;
    std::uint8_t BkColorB = 0;
    std::uint8_t FgColorR = 0;
    std::uint8_t FgColorG = 0;
    std::uint8_t FgColorB = 0;
    std::uint8_t SevenColorFlags = 0;  // "7ColorFlags": the foreground cycles through colours
    std::uint8_t ColorTypeFlags = 0;   // edit target: 1 foreground, 0 background

    friend bool operator==(const AudioLightRecord&, const AudioLightRecord&) = default;
};

// The record as three words, each filled from the lowest byte up:
// word1 = AudioMode, BkColorR, BkColorG, BkColorB; word2 = FgColorR, FgColorG, FgColorB,
// 7ColorFlags; word3 = ColorTypeFlags.
struct AudioLightWords {
    std::uint32_t word1 = 0;
    std::uint32_t word2 = 0;
    std::uint32_t word3 = 0;

    friend bool operator==(const AudioLightWords&, const AudioLightWords&) = default;
};
AudioLightWords packAudioLight(const AudioLightRecord& record);
AudioLightRecord unpackAudioLight(const AudioLightWords& words);

// One element of the mouse's "CorrectInfo" (angle correction choices).
struct CorrectEntry {
    std::uint8_t CorrectPixThresh = 0;
    std::uint8_t CorrectMinSq = 0;
    std::uint8_t CorrectSelect = 0;
    std::string CorrectName;

    friend bool operator==(const CorrectEntry&, const CorrectEntry&) = default;
};

// One step of a custom lighting effect (".light" file, "LEDEffectList").
struct LedEffectStep {
    std::uint8_t LEDREGMode = 0;
    std::uint8_t LEDBrightness = 0;
    std::uint8_t LEDSpeed = 0;
    std::uint8_t LEDDirection = 0;
    std::uint8_t LEDMultiColor = 0;
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    std::int32_t Time = 0;  // milliseconds
    std::int32_t Cyle = 0;

    friend bool operator==(const LedEffectStep&, const LedEffectStep&) = default;
};

// Three packed 32-bit words of a "SystemStages" section (mouse or keyboard form).
struct SystemWords {
    std::uint32_t word1 = 0;
    std::uint32_t word2 = 0;
    std::uint32_t word3 = 0;

    friend bool operator==(const SystemWords&, const SystemWords&) = default;
};

// The mouse form of "SystemStages" plus "ReportStages"/"StageActive", packed as
// word1 = MouseSpeed << 16 | DoubleClickTime, word2 = ScorllPage << 16 | PointerPrecision,
// word3 = ReportRate << 16 | WheelScorlllinse.
struct MouseSystemStages {
    std::uint16_t DoubleClickTime = 0;
    std::uint16_t MouseSpeed = 0;
    std::uint16_t PointerPrecision = 0;
    std::uint16_t ScorllPage = 0;
    std::uint16_t WheelScorlllinse = 0;
    std::uint16_t ReportRate = 0;  // "ReportStages"/"StageActive", the report-rate index

    friend bool operator==(const MouseSystemStages&, const MouseSystemStages&) = default;
};
SystemWords packMouseSystemStages(const MouseSystemStages& stages);
MouseSystemStages unpackMouseSystemStages(const SystemWords& words);

// The keyboard form of "SystemStages", packed as word1 = RepeatDelay << 16 | Repeat,
// word2 = PollingRate << 16 | Key6Flag, word3 = WinFlag << 16 | WFlag.
struct SystemStagesRecord {
    std::uint16_t Repeat = 0;
    std::uint16_t RepeatDelay = 0;
    std::uint16_t Key6Flag = 0;
    std::uint16_t PollingRate = 0;
    std::uint16_t WFlag = 0;
    std::uint16_t WinFlag = 0;

    friend bool operator==(const SystemStagesRecord&, const SystemStagesRecord&) = default;
};
SystemWords packSystemStages(const SystemStagesRecord& record);
SystemStagesRecord unpackSystemStages(const SystemWords& words);

// The headset's "SystemSetStages".
struct SystemSetStages {
    std::int32_t MagicEnable = 0;
    std::int32_t MagicType = 0;
    std::int32_t EqType = 0;              // 1–12 preset, 13 custom
    std::int32_t CustomEqSeletIndex = 0;  // custom set, -1 none
    std::int32_t MicInSelect = 0;
    std::int32_t MicInValue = 0;
    std::int32_t MicMoniterSelect = 0;
    std::int32_t MicMoniterValue = 0;

    friend bool operator==(const SystemSetStages&, const SystemSetStages&) = default;
};

inline constexpr std::size_t kEqBandCount = 10;
inline constexpr int kCustomEqPreset = 13;

}  // namespace korvane::profile
