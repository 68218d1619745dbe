#include "devices/mouse_key_panel_device.h"

#include <algorithm>
#include <system_error>

#include "devices/mouse_device.h"

namespace korvane::devices {

MouseKeyPanelDevice::MouseKeyPanelDevice(
    CKorvaneMouseDevice& mouse, std::function<void(const std::vector<std::string>&)> macroNames)
    : mouse_(mouse), macroNames_(std::move(macroNames)) {}

int MouseKeyPanelDevice::kind() const {
    return static_cast<int>(device::DeviceKind::Mouse);
}

std::filesystem::path MouseKeyPanelDevice::deviceDataFolder() const {
    return mouse_.deviceDataFolder();
}

std::filesystem::path MouseKeyPanelDevice::defaultDataFolder() const {
    return mouse_.defaultDataFolder();
}

profile::CBasicProfiledata& MouseKeyPanelDevice::profileData() {
    return mouse_.profileData();
}

std::vector<std::filesystem::path> MouseKeyPanelDevice::profileFiles() const {
    std::vector<std::filesystem::path> files;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(mouse_.deviceDataFolder(), ec)) {
        if (e.path().extension() == ".Json" && e.is_regular_file(ec)) {
            files.push_back(e.path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

void MouseKeyPanelDevice::storeKeyAssignment(std::size_t position,
                                             const keys::KeyAssignment& assignment) {
    if (mouse_.StoreKeyAssignment(position, assignment)) {
        mouse_.SaveProfile();
    }
}

int MouseKeyPanelDevice::uploadUsedMacros() {
    return mouse_.UploadMacros(mouse_.CollectUsedMacros());
}

void MouseKeyPanelDevice::writeKeyTable() {
    mouse_.WriteOwnKeys();
}

void MouseKeyPanelDevice::saveProfile() {
    mouse_.SaveProfile();
}

void MouseKeyPanelDevice::macroListChanged() {
    mouse_.LoadLightLists();
    if (macroNames_) {
        macroNames_(mouse_.macroNames());
    }
}

void MouseKeyPanelDevice::macroDeleted(int number) {
    mouse_.RenumberMacrosAfterDelete(number);
    macroListChanged();
}

}  // namespace korvane::devices
