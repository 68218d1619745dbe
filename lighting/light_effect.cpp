#include "lighting/light_effect.h"

namespace korvane::lighting {
namespace {

std::uint32_t packWord(std::uint8_t b0, std::uint8_t b1, std::uint8_t b2, std::uint8_t b3) {
    return static_cast<std::uint32_t>(b0) | static_cast<std::uint32_t>(b1) << 8 |
           static_cast<std::uint32_t>(b2) << 16 | static_cast<std::uint32_t>(b3) << 24;
}

std::uint8_t byteOf(std::uint32_t word, unsigned index) {
    return static_cast<std::uint8_t>(word >> (8 * index));
}

}  // namespace

std::array<std::uint8_t, kLightEffectSize> lightEffectBytes(const LightEffect& e) {
    return {e.SelectItem,  e.Light,       e.Speed,       e.Fx,        e.MultiColor,
            e.Red,         e.Green,       e.Blue,        e.Spare8,    e.Spare9,
            e.ListPresent, e.ZZCCLedMode, e.CustomGroup, e.OldLedmode};
}

LightEffect lightEffectFromBytes(const std::array<std::uint8_t, kLightEffectSize>& b) {
    return LightEffect{b[0], b[1], b[2], b[3],  b[4],  b[5],  b[6],
                       b[7], b[8], b[9], b[10], b[11], b[12], b[13]};
}

LightWords packLightEffect(const LightEffect& effect) {
    const auto b = lightEffectBytes(effect);
    return LightWords{packWord(b[0], b[1], b[2], b[3]), packWord(b[4], b[5], b[6], b[7]),
                      packWord(b[8], b[9], b[10], b[11]), packWord(b[12], b[13], 0, 0)};
}

LightEffect unpackLightEffect(const LightWords& words) {
    std::array<std::uint8_t, kLightEffectSize> b{};
    const std::array<std::uint32_t, 3> full = {words.word1, words.word2, words.word3};
    for (unsigned w = 0; w < full.size(); ++w) {
        for (unsigned i = 0; i < 4; ++i) {
            b[4 * w + i] = byteOf(full[w], i);
        }
    }
    b[12] = byteOf(words.word4, 0);
    b[13] = byteOf(words.word4, 1);
    return lightEffectFromBytes(b);
}

std::uint32_t argbColour(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    return packWord(blue, green, red, 0xFF);
}

std::uint32_t argbColour(const LightEffect& effect) {
    return argbColour(effect.Red, effect.Green, effect.Blue);
}

}  // namespace korvane::lighting
