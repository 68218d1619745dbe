#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/hid/hid_backend.h"

// A HID backend with nothing plugged in, for device objects whose tests never open a device.
namespace korvane::testing {

class NoDevicesBackend : public hid::Backend {
public:
    std::string name() const override { return "none"; }
    bool enumerate(std::vector<hid::InterfaceInfo>& out) override {
        out.clear();
        return true;
    }
    std::unique_ptr<hid::Device> open(const std::string&, const hid::OpenMode&) override { return nullptr; }
    void setTrace(std::shared_ptr<hid::WireTrace>) override {}
};

}  // namespace korvane::testing
