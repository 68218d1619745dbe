#include "sim/device_models.h"

#include "sim/report_descriptors.h"

namespace korvane::sim {

namespace {

using descriptors::kConsumerReportId;
using descriptors::kHeadsetConsumerReportId;

constexpr ModelSpec kModels[] = {
    {Model::Mouse, "mouse", "mouse", 0x320F, 0x221C, FirmwareKind::Mouse, false, 1, 1,
     kConsumerReportId, false},
    {Model::MouseReceiver, "mouse-receiver", "mouse", 0x320F, 0x221D, FirmwareKind::Mouse, true, 1,
     1, kConsumerReportId, false},
    {Model::Keyboard, "keyboard", "keyboard", 0x320F, 0x505B, FirmwareKind::Keyboard, false, 1, 1,
     kConsumerReportId, true},
    {Model::KeyboardReceiver, "keyboard-receiver", "keyboard", 0x320F, 0x5001,
     FirmwareKind::Keyboard, true, 1, 1, kConsumerReportId, true},
    {Model::Pad, "pad", "pad", 0x320F, 0x1004, FirmwareKind::Pad, false, 1, 1, kConsumerReportId,
     false},
    {Model::Headset, "headset", "headset", 0x0C76, 0x1630, FirmwareKind::Headset, false, 3, 3,
     kHeadsetConsumerReportId, false},
};

}  // namespace

std::span<const ModelSpec> allModels() {
    return kModels;
}

const ModelSpec& specOf(Model model) {
    for (const ModelSpec& spec : kModels) {
        if (spec.model == model) {
            return spec;
        }
    }
    return kModels[0];
}

std::optional<Model> modelByName(std::string_view name) {
    for (const ModelSpec& spec : kModels) {
        if (name == spec.name) {
            return spec.model;
        }
    }
    return std::nullopt;
}

std::vector<hid::VirtualInterface> interfacesOf(Model model) {
    switch (model) {
        case Model::Mouse:
        case Model::MouseReceiver:
            return {{0, descriptors::bootMouse()}, {1, descriptors::mouseControl()}};
        case Model::Keyboard:
        case Model::KeyboardReceiver:
            return {{0, descriptors::bootKeyboard()}, {1, descriptors::keyboardControl()}};
        case Model::Pad:
            return {{1, descriptors::padControl()}};
        case Model::Headset:
            return {{3, descriptors::headsetControl()}};
    }
    return {};
}

}  // namespace korvane::sim
