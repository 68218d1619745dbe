#pragma once

#include <cstdint>
#include <vector>

// Report descriptors of the simulated devices, written from the USB HID 1.11
// standard. Interface 1 of every 0x320F device carries four top-level
// collections in this order: 1 mouse or keyboard (report id 1), 2 keyboard or
// system control (id 2), 3 consumer control (id 3: the device's 16-bit
// notification code), 4 vendor page 0xFF1C usage 0x92 (id 4: the 64-byte
// command reports). The headset has one consumer-control collection with
// notifications (id 1), command reports (id 4) and lighting output (id 0xFF).
namespace korvane::sim::descriptors {

inline constexpr uint8_t kConsumerReportId = 3;         // 0x320F devices
inline constexpr uint8_t kHeadsetConsumerReportId = 1;  // headset
inline constexpr uint8_t kCommandReportId = 4;
inline constexpr uint8_t kHeadsetLightingReportId = 0xFF;

std::vector<uint8_t> bootMouse();        // interface 0 of the mouse and its receiver
std::vector<uint8_t> bootKeyboard();     // interface 0 of the keyboard and its receiver
std::vector<uint8_t> mouseControl();     // interface 1 of the mouse and its receiver
std::vector<uint8_t> keyboardControl();  // interface 1 of the keyboard and its receiver
std::vector<uint8_t> padControl();       // interface 1 of the mouse pad
std::vector<uint8_t> headsetControl();   // interface 3 of the headset

}  // namespace korvane::sim::descriptors
