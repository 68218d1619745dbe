#pragma once

#include <memory>
#include <string>
#include <type_traits>

#include "platform/hid/virtual_device.h"

// The little the simulator needs from a simulated HID bus. Any backend with
// plug(shared_ptr<VirtualDevice>) and unplug(name) fits through busFor().
namespace korvane::sim {

class Bus {
  public:
    virtual ~Bus() = default;
    // False when the bus refuses the device (name taken, bad descriptor).
    virtual bool plug(std::shared_ptr<hid::VirtualDevice> device) = 0;
    virtual bool unplug(const std::string& name) = 0;
};

template <class Backend>
class BusAdapter final : public Bus {
  public:
    explicit BusAdapter(Backend& backend) : backend_(backend) {}
    bool plug(std::shared_ptr<hid::VirtualDevice> device) override {
        if constexpr (std::is_void_v<decltype(backend_.plug(std::move(device)))>) {
            backend_.plug(std::move(device));
            return true;
        } else {
            return backend_.plug(std::move(device));
        }
    }
    bool unplug(const std::string& name) override { return backend_.unplug(name); }

  private:
    Backend& backend_;
};

// A bus on a backend that outlives it.
template <class Backend>
std::shared_ptr<Bus> busFor(Backend& backend) {
    return std::make_shared<BusAdapter<Backend>>(backend);
}

}  // namespace korvane::sim
