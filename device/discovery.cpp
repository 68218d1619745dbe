#include "device/discovery.h"

namespace korvane::device {

bool scanInterfaces(hid::Backend& backend, HidChannel& enumerator, SlotList& slots,
                    const std::function<void(size_t slot)>& onBound) {
    if (!enumerator.enumerate()) {
        return false;
    }
    while (auto path = enumerator.nextPath()) {
        SupportedDevice candidate = candidateFromPath(*path);
        if (!preMatch(candidate, slots)) {
            continue;  // other devices are never opened
        }
        std::optional<size_t> bound;
        {
            HidChannel probe(&backend);
            if (!probe.open(*path, true, false, true, false)) {
                continue;  // tried again on the next scan
            }
            hid::Attributes attributes = probe.attributes();
            HidCaps caps = probe.caps();
            candidate.vendorId = attributes.vendorId;
            candidate.productId = attributes.productId;
            candidate.usagePage = caps.usagePage;
            candidate.usage = caps.usage;
            bound = fullMatch(candidate, *path, slots);
        }
        if (bound && onBound) {
            onBound(*bound);
        }
    }
    enumerator.freePaths();
    return true;
}

void checkPresence(hid::Backend& backend, SlotList& slots,
                   const std::function<void(size_t slot)>& onLost) {
    for (size_t i = 0; i < slots.size(); ++i) {
        SupportedDevice& slot = slots[i];
        if (!slot.isBound()) {
            continue;
        }
        auto handle = backend.open(slot.path, hid::OpenMode{});
        if (handle) {
            handle->close();
            continue;
        }
        slot.present = 0;
        slot.path.clear();
        if (onLost) {
            onLost(i);
        }
    }
}

}  // namespace korvane::device
