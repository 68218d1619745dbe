#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <json/value.h>

#include "sim/bus.h"
#include "sim/device_models.h"
#include "sim/fault_plan.h"
#include "sim/firmware.h"
#include "sim/usb_device.h"

// The simulated devices of one test or demo session, by bus name. A bus name
// names one USB device; the model name itself ("mouse", "mouse-receiver",
// "keyboard", "keyboard-receiver", "pad", "headset") is the default bus name.
// USB devices that share a physical device share its firmware: a receiver
// "<model><suffix>" reaches the device "<device><suffix>", so "mouse-receiver"
// drives "mouse" and "mouse-receiver-2" drives "mouse-2". Every other bus
// name is a physical device of its own. Devices and firmware live as long as
// the simulator; unplugging keeps their memory. Thread-safe.
namespace korvane::sim {

class Simulator {
  public:
    // The bus must outlive the simulator.
    // The six default devices exist from the start, unplugged.
    explicit Simulator(std::shared_ptr<Bus> bus);
    // Unplugs every device still on the bus.
    ~Simulator();
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    static std::vector<std::string> modelNames();

    // Creates the USB device `busName` (default: the model name) without
    // plugging it. False when the name is taken by another model, or its
    // physical device is of another kind.
    bool add(const std::string& model, const std::string& busName = {});
    // Plugs a device in, adding it first when needed: plug("mouse"),
    // plug("mouse", "mouse-2"); plug(busName) plugs a device added before.
    // False when it is plugged already, cannot be added, or the bus refuses it.
    bool plug(const std::string& modelOrBusName, const std::string& busName = {});
    bool unplug(const std::string& busName);
    bool isPlugged(const std::string& busName) const;

    // Receivers only; false for unknown names and other devices.
    bool link(const std::string& busName, bool on);
    bool notify(const std::string& busName, uint16_t code);
    bool setLatency(const std::string& busName, std::chrono::microseconds latency);
    // Throws std::out_of_range for an unknown bus name.
    FaultPlan& faults(const std::string& busName);

    // Configuration of a physical device (by any of its bus names or its
    // firmware name). Reconfiguring resets the memory to factory state and
    // is refused while one of its USB devices is plugged in.
    bool configure(const std::string& name, const FirmwareConfig& config);
    FirmwareConfig config(const std::string& name) const;

    // The firmware behind a bus name or firmware name (nullptr if unknown):
    // memory regions and state for tests.
    std::shared_ptr<Firmware> firmware(const std::string& name) const;
    std::shared_ptr<UsbDevice> device(const std::string& busName) const;
    // The firmware name a bus name uses ("" if unknown).
    std::string firmwareName(const std::string& busName) const;

    // {"firmware": {name: firmware state and memory}, "devices": {bus name: ...}}
    Json::Value dump() const;
    // Writes dump() atomically (temporary file, then rename).
    bool writeToFile(const std::filesystem::path& path) const;

  private:
    struct Entry {
        Model model;
        std::string firmwareName;
        std::shared_ptr<UsbDevice> device;
    };

    // Under mutex_.
    Entry* find(const std::string& busName);
    const Entry* find(const std::string& busName) const;
    Entry* addLocked(Model model, const std::string& busName);
    std::shared_ptr<Firmware> firmwareLocked(const std::string& name) const;

    const std::shared_ptr<Bus> bus_;
    std::mutex plugMutex_;      // serialises plug and unplug (taken before mutex_)
    mutable std::mutex mutex_;  // guards the maps
    std::map<std::string, Entry> devices_;
    std::map<std::string, std::shared_ptr<Firmware>> firmware_;
};

}  // namespace korvane::sim
