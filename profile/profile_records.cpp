#include "profile/profile_records.h"

namespace korvane::profile {
namespace {

constexpr std::uint32_t bytesToWord(std::uint8_t b0, std::uint8_t b1, std::uint8_t b2,
                                    std::uint8_t b3) {
    return static_cast<std::uint32_t>(b0) | static_cast<std::uint32_t>(b1) << 8 |
           static_cast<std::uint32_t>(b2) << 16 | static_cast<std::uint32_t>(b3) << 24;
}
constexpr std::uint8_t byteOf(std::uint32_t word, int n) {
    return static_cast<std::uint8_t>(word >> (8 * n));
}
constexpr std::uint32_t halves(std::uint16_t low, std::uint16_t high) {
    return static_cast<std::uint32_t>(high) << 16 | low;
}
constexpr std::uint16_t low(std::uint32_t word) {
    return static_cast<std::uint16_t>(word);
}
constexpr std::uint16_t high(std::uint32_t word) {
    return static_cast<std::uint16_t>(word >> 16);
}

}  // namespace

AudioLightWords packAudioLight(const AudioLightRecord& r) {
    return {bytesToWord(r.AudioMode, r.BkColorR, r.BkColorG, r.BkColorB),
            bytesToWord(r.FgColorR, r.FgColorG, r.FgColorB, r.SevenColorFlags),
            bytesToWord(r.ColorTypeFlags, 0, 0, 0)};
}

AudioLightRecord unpackAudioLight(const AudioLightWords& w) {
    return {byteOf(w.word1, 0), byteOf(w.word1, 1), byteOf(w.word1, 2),
            byteOf(w.word1, 3), byteOf(w.word2, 0), byteOf(w.word2, 1),
            byteOf(w.word2, 2), byteOf(w.word2, 3), byteOf(w.word3, 0)};
}

SystemWords packMouseSystemStages(const MouseSystemStages& s) {
    return {halves(s.DoubleClickTime, s.MouseSpeed), halves(s.PointerPrecision, s.ScorllPage),
            halves(s.WheelScorlllinse, s.ReportRate)};
}

MouseSystemStages unpackMouseSystemStages(const SystemWords& w) {
    return {low(w.word1), high(w.word1), low(w.word2), high(w.word2), low(w.word3), high(w.word3)};
}

SystemWords packSystemStages(const SystemStagesRecord& r) {
    return {halves(r.Repeat, r.RepeatDelay), halves(r.Key6Flag, r.PollingRate),
            halves(r.WFlag, r.WinFlag)};
}

SystemStagesRecord unpackSystemStages(const SystemWords& w) {
    return {low(w.word1), high(w.word1), low(w.word2), high(w.word2), low(w.word3), high(w.word3)};
}

}  // namespace korvane::profile
