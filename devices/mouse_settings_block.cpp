#include "devices/mouse_settings_block.h"

#include <algorithm>

#include "lighting/light_tables.h"

namespace korvane::devices::mouse {

namespace {

void put16(MouseSettingsBlock& b, std::size_t at, std::uint16_t value) {
    b[at] = static_cast<std::uint8_t>(value & 0xFF);
    b[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

}  // namespace

std::uint8_t lightModeCodeByte(int mode, const std::function<int(int)>& modeCode) {
    if (mode > kLastDeviceLightMode || mode < 0) {
        mode = 0;
    }
    const int code = modeCode ? modeCode(mode) : -1;
    return static_cast<std::uint8_t>(code < 0 ? mode : code);
}

MouseSettingsBlock buildMouseSettingsBlock(const MouseSettingsInput& in) {
    MouseSettingsBlock b{};
    const lighting::LightEffect& light = in.light;
    b[block::kFirstByte] = in.firstByte;
    b[block::kLightMode] = lightModeCodeByte(light.SelectItem, in.modeCode);
    b[block::kLevel] = light.Light;
    // The device counts speed the other way; a speed beyond the scale is its fastest.
    b[block::kSpeed] =
        static_cast<std::uint8_t>(lighting::kMaxSpeed - std::min(light.Speed, lighting::kMaxSpeed));
    b[block::kDirection] = light.Fx;
    b[block::kMultiColour] = light.MultiColor;
    b[block::kRed] = light.Red;
    b[block::kGreen] = light.Green;
    b[block::kBlue] = light.Blue;
    b[block::kReportRate] = in.reportRate;
    b[block::kActiveStage] = in.activeStage;
    const std::size_t stages = std::min(in.stages.size(), kStageCount);
    for (std::size_t i = 0; i < stages; ++i) {
        const profile::DpiStage& s = in.stages[i];
        const std::size_t at = kFirstStageByte + i * kStageRecordSize;
        b[at] = s.StageActive;
        b[at + 1] = s.StageXY;
        put16(b, at + 2, s.StageDPIX);
        put16(b, at + 4, s.StageDPIY);
        b[at + 6] = s.StageColorR;
        b[at + 7] = s.StageColorG;
        b[at + 8] = s.StageColorB;
    }
    b[block::kThirdByte] = in.thirdByte;
    put16(b, block::kWidth, in.width);
    put16(b, block::kHeight, in.height);
    auto selected =
        std::find_if(in.corrections.begin(), in.corrections.end(),
                     [](const profile::CorrectEntry& c) { return c.CorrectSelect != 0; });
    if (selected != in.corrections.end()) {
        b[block::kCorrectMinSq] = selected->CorrectMinSq;
        b[block::kCorrectPixThresh] = selected->CorrectPixThresh;
    }
    return b;
}

lighting::LightEffect lightingFromBlock(const MouseSettingsBlock& b,
                                        const lighting::LightEffect& current,
                                        const std::function<int(int)>& modeForCode) {
    lighting::LightEffect e = current;
    const int mode = modeForCode ? modeForCode(b[block::kLightMode]) : -1;
    e.SelectItem = mode >= 0 ? static_cast<std::uint8_t>(mode) : b[block::kLightMode];
    e.Light = b[block::kLevel];
    const std::uint8_t wireSpeed = b[block::kSpeed];
    e.Speed = wireSpeed <= lighting::kMaxSpeed
                  ? static_cast<std::uint8_t>(lighting::kMaxSpeed - wireSpeed)
                  : 0;
    e.Fx = b[block::kDirection];
    e.MultiColor = b[block::kMultiColour];
    e.Red = b[block::kRed];
    e.Green = b[block::kGreen];
    e.Blue = b[block::kBlue];
    return e;
}

}  // namespace korvane::devices::mouse
