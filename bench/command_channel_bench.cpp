// Host-side cost of the command protocol over the simulated bus: one exchange
// and a 512-byte parameter-block read (10 packets on the cable, 22 through the
// receiver). CPU time per packet is the figure to watch.

#include <benchmark/benchmark.h>

#include "device/command_channel.h"
#include "platform/hid/sim_backend.h"
#include "sim/simulator.h"

namespace {

using namespace korvane;

struct Rig {
    hid::SimBackend bus;
    sim::Simulator simulator{sim::busFor(bus)};
    device::CommandChannel channel{&bus};

    explicit Rig(bool wireless, std::chrono::microseconds latency = {}) {
        const std::string name = wireless ? "mouse-receiver" : "mouse";
        simulator.plug(name);
        bus.setReportLatency(latency);
        std::vector<hid::InterfaceInfo> infos;
        bus.enumerate(infos);
        for (const auto& i : infos) {
            if (i.usagePage == 0xFF1C && i.path.rfind("sim:" + name + "#", 0) == 0) {
                (wireless ? channel.wireless() : channel.wired()).open(i.path, true, true, true, false);
            }
        }
        channel.setOpen(true);
        channel.setConnectionMode(wireless ? device::ConnectionMode::Wireless
                                           : device::ConnectionMode::Wired);
    }
};

void BM_Exchange(benchmark::State& state) {
    Rig rig(false);
    device::Packet packet = device::buildPacket(device::cmd::kReadMemory, {}, 0);
    packet[4] = 1;
    device::writeChecksum(packet);
    device::Packet answer{};
    for (auto _ : state) {
        size_t n = 0;
        if (rig.channel.exchange(packet, answer, n) != device::result::kDone) {
            state.SkipWithError("exchange failed");
            break;
        }
    }
    state.counters["packets/s"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                                     benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Exchange)->UseRealTime();

void BM_ReadBlock(benchmark::State& state) {
    const bool wireless = state.range(0) != 0;
    Rig rig(wireless);
    std::vector<uint8_t> block(512);
    for (auto _ : state) {
        if (rig.channel.readBlock(block) != device::result::kDone) {
            state.SkipWithError("read failed");
            break;
        }
    }
    const double packets = wireless ? 22.0 : 10.0;
    state.counters["packets/s"] = benchmark::Counter(static_cast<double>(state.iterations()) * packets,
                                                     benchmark::Counter::kIsRate);
    state.SetLabel(wireless ? "receiver, 22 packets" : "cable, 10 packets");
}
BENCHMARK(BM_ReadBlock)->Arg(0)->Arg(1)->UseRealTime();

// With a 1 ms per-report latency, as on a full-speed interrupt endpoint: the
// wall time is bounded by the bus, the CPU time is ours.
void BM_ReadBlockRealisticLatency(benchmark::State& state) {
    Rig rig(false, std::chrono::milliseconds(1));
    std::vector<uint8_t> block(512);
    for (auto _ : state) {
        rig.channel.readBlock(block);
    }
}
BENCHMARK(BM_ReadBlockRealisticLatency)->Iterations(20)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
