// korvanectl: the command-line face of the program (no windows). `list` runs
// the device discovery once and asks every found device for its information.

#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "device/command_channel.h"
#include "device/discovery.h"
#include "device/supported_device.h"
#include "platform/hid/hidraw_backend.h"
#include "platform/hid/sim_backend.h"
#include "platform/hid/wire_trace.h"
#include "platform/log/logger.h"
#include "sim/simulator.h"

namespace {

using namespace korvane;

constexpr const char* kUsage =
    "usage: korvanectl [--simulate=LIST] [--hid-trace FILE] [--verbose] list\n"
    "  LIST: comma-separated simulated devices: mouse, mouse-receiver, keyboard,\n"
    "        keyboard-receiver, pad, headset\n";

struct Options {
    std::optional<std::vector<std::string>> simulate;
    std::string trace;
    bool verbose = false;
    std::string command;
};

std::vector<std::string> splitList(std::string_view text) {
    std::vector<std::string> out;
    size_t start = 0;
    while (start <= text.size()) {
        size_t comma = text.find(',', start);
        if (comma == std::string_view::npos) comma = text.size();
        std::string item(text.substr(start, comma - start));
        if (!item.empty()) out.push_back(item);
        start = comma + 1;
    }
    return out;
}

// Returns nullopt (after printing why) for bad arguments.
std::optional<Options> parse(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        std::string_view a = argv[i];
        if (a.rfind("--simulate=", 0) == 0) {
            o.simulate = splitList(a.substr(11));
        } else if (a == "--simulate") {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "korvanectl: --simulate needs a device list\n");
                return std::nullopt;
            }
            o.simulate = splitList(argv[++i]);
        } else if (a.rfind("--hid-trace=", 0) == 0) {
            o.trace = std::string(a.substr(12));
        } else if (a == "--hid-trace") {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "korvanectl: --hid-trace needs a file name\n");
                return std::nullopt;
            }
            o.trace = argv[++i];
        } else if (a == "--verbose" || a == "-v") {
            o.verbose = true;
        } else if (a == "--help" || a == "-h") {
            std::fputs(kUsage, stdout);
            std::exit(0);
        } else if (!a.empty() && a[0] == '-') {
            std::fprintf(stderr, "korvanectl: unknown option %s\n", argv[i]);
            return std::nullopt;
        } else if (o.command.empty()) {
            o.command = a;
        } else {
            std::fprintf(stderr, "korvanectl: unexpected argument %s\n", argv[i]);
            return std::nullopt;
        }
    }
    if (o.command != "list") {
        std::fprintf(stderr, o.command.empty() ? "korvanectl: no command given\n"
                                               : "korvanectl: unknown command %s\n",
                     o.command.c_str());
        return std::nullopt;
    }
    if (o.simulate) {
        const auto known = sim::Simulator::modelNames();
        if (o.simulate->empty()) {
            std::fprintf(stderr, "korvanectl: --simulate needs at least one device\n");
            return std::nullopt;
        }
        for (const auto& name : *o.simulate) {
            if (std::find(known.begin(), known.end(), name) == known.end()) {
                std::fprintf(stderr, "korvanectl: unknown simulated device '%s'\n", name.c_str());
                return std::nullopt;
            }
        }
    }
    return o;
}

const char* roleName(device::InterfaceRole role) {
    return role == device::InterfaceRole::Command ? "command" : "consumer-control";
}

// Opens a command channel on a bound command slot the way the window does and
// reads the device information.
void describe(hid::Backend& backend, const device::SupportedDevice& slot) {
    device::CommandChannel channel(&backend);
    const bool receiver = device::isReceiverKind(slot.kind);
    device::HidChannel& hid = receiver ? channel.wireless() : channel.wired();
    if (!hid.open(slot.path, true, true, true, false)) {
        std::printf("      cannot open the command interface\n");
        return;
    }
    channel.setOpen(true);
    auto family = device::familyOf(slot.kind);
    if (family == device::DeviceFamily::Mouse || family == device::DeviceFamily::Keyboard) {
        channel.setConnectionMode(receiver ? device::ConnectionMode::Wireless
                                           : device::ConnectionMode::Wired);
    }
    if (receiver && !channel.linkQuery()) {
        std::printf("      the receiver cannot reach its device\n");
        return;
    }
    std::array<uint8_t, device::kDeviceInfoSize> info{};
    int res = channel.readDeviceInfo(info);
    if (res != device::result::kDone) {
        std::printf("      no device information (result %d)\n", res);
        return;
    }
    unsigned version = info[32] | (info[33] << 8);
    std::printf("      keys %u, macro memory %u bytes, firmware version 0x%04x\n", info[5],
                info[6] * 128u, version);
}

int list(hid::Backend& backend) {
    device::SlotList slots = device::makeSlotList();
    device::HidChannel enumerator(&backend);
    std::vector<hid::InterfaceInfo> all;
    backend.enumerate(all);
    if (!device::scanInterfaces(backend, enumerator, slots, {})) {
        std::fprintf(stderr, "korvanectl: listing the HID interfaces failed\n");
        return 1;
    }
    int bound = 0;
    for (size_t i = 0; i < slots.size(); ++i) {
        const auto& s = slots[i];
        if (!s.isBound()) continue;
        ++bound;
        std::printf("slot %2zu  %-17s  %-16s  %s\n", i, device::toString(s.kind), roleName(s.role),
                    s.path.c_str());
        if (s.role == device::InterfaceRole::Command) {
            describe(backend, s);
        }
    }
    if (bound == 0) {
        std::printf("No supported device found (%zu HID interfaces on the %s backend).\n", all.size(),
                    backend.name().c_str());
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    auto options = parse(argc, argv);
    if (!options) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    if (options->verbose) {
        log::setEnabled(true);
    }

    std::unique_ptr<hid::Backend> backend;
    hid::SimBackend* simBackend = nullptr;
    if (options->simulate) {
        auto sim = std::make_unique<hid::SimBackend>();
        simBackend = sim.get();
        backend = std::move(sim);
    } else {
        backend = std::make_unique<hid::HidrawBackend>();
    }
    std::unique_ptr<sim::Simulator> simulator;
    if (simBackend != nullptr) {
        simulator = std::make_unique<sim::Simulator>(sim::busFor(*simBackend));
        for (const auto& name : *options->simulate) {
            if (!simulator->plug(name)) {
                std::fprintf(stderr, "korvanectl: cannot plug simulated device '%s'\n", name.c_str());
                return 1;
            }
        }
    }
    if (!options->trace.empty()) {
        auto trace = std::make_shared<hid::WireTrace>(options->trace);
        if (!trace->isOpen()) {
            std::fprintf(stderr, "korvanectl: cannot write %s: %s\n", options->trace.c_str(),
                         std::strerror(errno));
            return 1;
        }
        backend->setTrace(trace);
    }
    int rc = list(*backend);
    backend->setTrace(nullptr);
    return rc;
}
