// The mouse as the key, macro and recoil panels see it (keys/panels/key_panel_device.h). The
// window makes one per mouse page and hands it to the three panels of that page.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "keys/panels/key_panel_device.h"

namespace korvane::devices {

class CKorvaneMouseDevice;

class MouseKeyPanelDevice : public keys::panels::KeyPanelDevice {
  public:
    // `macroNames` receives the macro names whenever they were read again (the window passes
    // them to the key panel's SetMacroNames); it may be empty.
    explicit MouseKeyPanelDevice(
        CKorvaneMouseDevice& mouse,
        std::function<void(const std::vector<std::string>&)> macroNames = {});

    int kind() const override;
    std::filesystem::path deviceDataFolder() const override;
    std::filesystem::path defaultDataFolder() const override;
    profile::CBasicProfiledata& profileData() override;
    // Every "*.Json" file of the device data folder: the profile files are named by their id
    // there, and nothing else in the folder has that extension.
    std::vector<std::filesystem::path> profileFiles() const override;
    // Stores the assignment, writes the key list into the profile and saves it.
    void storeKeyAssignment(std::size_t position, const keys::KeyAssignment& assignment) override;
    int uploadUsedMacros() override;
    void writeKeyTable() override;
    void saveProfile() override;
    void macroListChanged() override;
    void macroDeleted(int number) override;

  private:
    CKorvaneMouseDevice& mouse_;
    std::function<void(const std::vector<std::string>&)> macroNames_;
};

}  // namespace korvane::devices
