#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/hid/virtual_device.h"
#include "sim/firmware.h"

// The USB devices the simulator can plug in, by model name.
namespace korvane::sim {

enum class Model { Mouse, MouseReceiver, Keyboard, KeyboardReceiver, Pad, Headset };

struct ModelSpec {
    Model model;
    const char* name;          // "mouse", "mouse-receiver", ...
    const char* firmwareName;  // the physical device's name ("mouse" for its receiver too)
    uint16_t vendorId;
    uint16_t productId;
    FirmwareKind firmware;
    bool receiver;              // a 2.4 GHz receiver with a link to the device
    uint8_t commandInterface;   // interface of the command reports (id 4)
    uint8_t consumerInterface;  // interface of the notification codes
    uint8_t consumerReportId;
    bool keyboardLeds;  // takes keyboard LED output reports (id 0 / id 1)
};

std::span<const ModelSpec> allModels();
const ModelSpec& specOf(Model model);
std::optional<Model> modelByName(std::string_view name);

// The model's USB interfaces with their report descriptors.
std::vector<hid::VirtualInterface> interfacesOf(Model model);

}  // namespace korvane::sim
