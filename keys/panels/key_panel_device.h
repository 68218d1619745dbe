// What the key, macro and recoil panels need of the device whose page they sit on. The mouse
// and the keyboard implement it; tests hand in a fake.
#pragma once

#include <cstddef>
#include <filesystem>
#include <vector>

#include "keys/key_assignment.h"

namespace korvane::profile {
class CBasicProfiledata;
}

namespace korvane::keys::panels {

class KeyPanelDevice {
  public:
    virtual ~KeyPanelDevice() = default;

    // The device kind (1 keyboard, 2 mouse).
    virtual int kind() const = 0;
    // The device data folder: macro list and files, gun files, profiles.
    virtual std::filesystem::path deviceDataFolder() const = 0;
    // The program's "DefaultData" folder (default gun files).
    virtual std::filesystem::path defaultDataFolder() const = 0;

    // The device's profile object: the selected profile is its working entry; the macro
    // editor changes other profiles through its second entry.
    virtual profile::CBasicProfiledata& profileData() = 0;
    // Every profile file of the device (the profile list), the selected one included.
    virtual std::vector<std::filesystem::path> profileFiles() const = 0;

    // "key_butt_keysave": store `assignment` as the current assignment of the key at
    // `position`, write the key list into the profile and redraw the key labels.
    virtual void storeKeyAssignment(std::size_t position, const KeyAssignment& assignment) = 0;
    // "key_butt_prosave", in this order: collect the macros the keys use and upload them
    // (0: sent or nothing to send, −1: failed, above 0: the overflow count of an image that
    // does not fit), write the key table, save the profile.
    virtual int uploadUsedMacros() = 0;
    virtual void writeKeyTable() = 0;
    virtual void saveProfile() = 0;

    // The macro list changed (added, imported, renamed): re-read the names and hand them to
    // the key panel.
    virtual void macroListChanged() = 0;
    // Macro `number` was deleted; the other profiles are already renumbered. Bring the
    // selected profile in line the same way (keys::renumberAfterDelete on its key list: keys
    // bound to the deleted macro take their default, later ones move down one), save it, then
    // re-read the names as for macroListChanged.
    virtual void macroDeleted(int number) = 0;
};

}  // namespace korvane::keys::panels
