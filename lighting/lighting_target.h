// What the lighting panel and the sync engine need of a device: its kind, its lighting record
// and the steps that store, save, reload and send it, its zone colours for synchronised
// lighting, its mode lists, and the keyboard's custom-group operations.
//
// The device base (devices/usb_device.h) implements it; tests hand in their own device.
//
// Threads: everything runs on the UI thread except syncActive(), channelOpen(), zoneCount()
// and SetSyncColour(), which the sync engine also calls from its own thread; implementations
// keep those four safe to call concurrently with the rest.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "lighting/light_effect.h"

namespace korvane::lighting {

namespace panel {
class CLightControlUI;
}

// Device kinds as the lighting sees them; the values are those of device::DeviceKind.
enum class LightKind : std::uint8_t {
    Unknown = 0,
    Keyboard = 1,
    Mouse = 2,
    MousePad = 3,
    Headset = 7,
};

// A device kind number as a LightKind (Unknown for kinds without a lighting panel).
constexpr LightKind lightKindFrom(int kind) {
    switch (kind) {
        case 1:
            return LightKind::Keyboard;
        case 2:
            return LightKind::Mouse;
        case 3:
            return LightKind::MousePad;
        case 7:
            return LightKind::Headset;
        default:
            return LightKind::Unknown;
    }
}

// What LoadLightLists reads: the mode list of the mode combo (language keys, visibility and
// the firmware code of each mode), the light area names and the custom-effect names.
struct LightLists {
    std::vector<std::string> modeNames;
    std::vector<bool> modeVisible;
    std::vector<int> modeCodes;  // LightModeCodeList: the code the firmware uses for mode i
    std::vector<std::string> areaNames;
    std::vector<std::string> customEffectNames;

    friend bool operator==(const LightLists&, const LightLists&) = default;
};

class LightingTarget {
  public:
    virtual ~LightingTarget() = default;

    virtual LightKind lightKind() const = 0;

    // The device's lighting record as four words (lighting/light_effect.h).
    virtual LightWords GetLightEffect() const = 0;
    // Stores the record (and writes it into the working profile entry).
    virtual void SetLightEffect(std::uint32_t word1, std::uint32_t word2, std::uint32_t word3,
                                std::uint32_t word4) = 0;
    // Writes the working profile entry to the profile file.
    virtual void SaveProfile() = 0;
    // Re-reads the profile into the device and refreshes its page.
    virtual int LoadProfile() = 0;
    // Sends the device's settings, lighting included; the panel calls it with
    // (0, 0, 1, screen width, screen height).
    virtual int WriteDeviceSettings(int profile, int firstByte, int thirdByte, int width,
                                    int height) = 0;

    // Synchronised lighting: the number of zones and one zone's colour, packed
    // red | green << 8 | blue << 16 | level << 24. Any thread.
    virtual int zoneCount() const = 0;
    virtual void SetSyncColour(int zone, std::uint32_t packed) = 0;
    // The device follows the sync engine. Any thread.
    virtual bool syncActive() const = 0;
    virtual void setSyncActive(bool on) = 0;
    // The command channel is open. Any thread.
    virtual bool channelOpen() const = 0;

    // This program drives the device's lighting.
    virtual bool lightingOwner() const = 0;
    virtual void setLightingOwner(bool owner) = 0;

    // Reads the mode lists (default_light.json and the custom-effect index) and keeps them.
    virtual void LoadLightLists() = 0;
    virtual LightLists lightLists() const = 0;

    // The lighting panel on the device's page; nullptr when the page has none.
    virtual panel::CLightControlUI* lightPanel() const = 0;

    // Keyboard only (the others do nothing): select custom group `group` (show it, store it
    // in the profile and as CustomGroup, save), load the selected group's colours and send
    // them, and fill the group with the current colour (on) or black (off).
    virtual void SelectCustomGroup(int /*group*/) {}
    virtual void RefreshCustomGroup() {}
    virtual void FillCustomGroup(bool /*on*/) {}
};

}  // namespace korvane::lighting
