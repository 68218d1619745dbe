// The profile list panel of a device page ("DeviceProfile"): the device's profiles in
// "ProfileList.ini" (a JSON document) in the device data folder, their names in the drop-down
// list "device_profile_combo", the selected profile, and the operations the main window routes
// to the panel (add, delete, copy, rename, import, export, reset). It creates and deletes the
// profile files "<profileUUID>.Json" and shows or hides the page's feature tabs by device kind.
//
// Every operation re-reads the list file first and writes it (atomically) at its end, so the
// file always holds the state after the last operation; the drop-down list is refilled from
// it and keeps its order. A "profileUUID" becomes a file name only after passing
// files::isSafeFileName: an entry whose id is unsafe, missing or a duplicate gets a fresh time
// stamp (see docs/profile-files.md, "The profile list").
//
// UI thread only.
#pragma once

#include <json/value.h>

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/control.h"
#include "ui/required_controls.h"

namespace korvane::profile {

inline constexpr std::string_view kDeviceProfileSkin = "XML\\CustomControlXML\\DeviceProfile.xml";
inline constexpr std::string_view kProfileListFileName = "ProfileList.ini";
inline constexpr std::string_view kProfileFileExtension = ".Json";
// Add stops at this many profiles; copy and import do not check it.
inline constexpr int kMaxAddedProfiles = 50;
// The headset (device kind 7) keeps its custom equaliser sets through a reset.
inline constexpr int kHeadsetKind = 7;

// Rename's result; the values are the ones the main window tests.
enum class RenameResult {
    NameInUse = 0,  // another profile has this name (without case): "message_text_5"
    Renamed = 1,
    Blank = 2,      // only white space: "message_text_25"
    NoProfile = 3,  // nothing selected, or the skin has no drop-down list: nothing to show
};

// Why an import file is or is not taken.
enum class ImportResult {
    Imported,
    NoList,       // the skin has no drop-down list
    Unreadable,   // missing, not a regular file, or cannot be opened
    TooLarge,     // larger than files::kMaxJsonFileSize
    Damaged,      // not JSON, not UTF-8, nested too deep
    NotAProfile,  // JSON, but not an object holding "profilename" and "profileUUID"
    WriteFailed,  // the new profile file could not be written: nothing was added
};

enum class ExportResult {
    Exported,
    NoProfile,          // nothing selected, or the skin has no drop-down list
    ProfileUnreadable,  // the selected profile's file is missing or damaged: nothing written
    WriteFailed,
};

// Names compared the way the list compares them: ASCII letters without case, every other
// byte exactly (so UTF-8 text is never folded half-way).
bool profileNamesEqual(std::string_view a, std::string_view b);
// True when `name` holds nothing but white space (ASCII and Unicode White_Space, e.g.
// U+3000), i.e. is empty after trimming both ends.
bool isBlankProfileName(std::string_view name);

class CDeviceProfileUI {
  public:
    // `root` holds the panel's controls; every one of them may be missing (see each method).
    explicit CDeviceProfileUI(ui::Control* root);

    ui::Control* control() const { return root_.get(); }

    // The device kind in the supported-device table's numbering (1 keyboard, 2 mouse, 3 mouse
    // pad, 6 mouse receiver, 7 headset, 9 keyboard receiver).
    void SetKind(int kind) { kind_ = kind; }
    int Kind() const { return kind_; }
    // The device data folder (holds "ProfileList.ini" and the profile files) and the family's
    // default data file (read, never written). Forgets the list read from the old folder.
    void SetPaths(const std::filesystem::path& deviceDataFolder,
                  const std::filesystem::path& defaultDataFile);
    const std::filesystem::path& DeviceDataFolder() const { return folder_; }
    std::filesystem::path ListFilePath() const;

    // Reads the list (creating it with "profile1" from the default data file when there is
    // none), fills the drop-down list, selects the stored selection without a notification
    // and sets the feature tabs' visibility by kind. Without a drop-down list the stored
    // selection still becomes SelectedUUID.
    void Initialise();

    // Makes entry `index` the selected profile: the drop-down list's current item (with or
    // without "itemselect"), the name field, "profileselect" and SelectedUUID. A selected
    // profile whose file is missing gets one from the default data file. False (nothing
    // changes) for an index out of range or without a drop-down list.
    bool Select(int index, ui::Notify notify);
    // The drop-down list's current position, −1 without a list control or a current item.
    int SelectedIndex() const;
    const std::string& SelectedUUID() const { return selectedUUID_; }
    // Where the device loads the selected profile from: folder / (SelectedUUID + ".Json");
    // nothing before a selection.
    std::optional<std::filesystem::path> SelectedProfileFile() const;
    // The same for any id (nothing for an unsafe one).
    std::optional<std::filesystem::path> ProfileFileOf(std::string_view uuid) const;

    // The list as last read or written (the file's content): number of profiles, and the id
    // and name at a position ("" out of range).
    int Count() const;
    std::string UUIDOf(int position) const;
    std::string NameOf(int position) const;

    std::string NameEditText() const;
    void SetNameEditText(std::string_view text);

    // "device_add_btn": appends "profileN" (the first N from 1 whose name is free) as a copy
    // of the default data file and records it as selected in the file; selecting it in the
    // drop-down list and loading it is the caller's. The new position, or −1 when the list
    // already holds kMaxAddedProfiles, there is no drop-down list or the new profile file
    // could not be written.
    int Add();
    // "device_sub_btn": removes the selected profile and its file, then selects the one
    // before it (position 0 when the first was removed) without a notification; the caller
    // loads SelectedUUID into the device as after a selection. The new selected position, or
    // −1 when nothing was selected or only one profile is left.
    int Delete();
    // "device_copy_btn": appends a copy of the selected profile named "<name> copy" (" copy"
    // added until the name is free). The selection stays. The new position, or −1.
    int Copy();
    // "device_profile_edit_save_btn" with the name field's text.
    RenameResult Rename(std::string_view newName);
    // "device_import_btn": appends the file's profile (its "Device" content as it is) named
    // after the file ("game", "game(1)", "game(1)(2)"). The selection stays.
    ImportResult Import(const std::filesystem::path& file);
    // "device_export_btn": writes the selected profile's document unchanged to `file`.
    ExportResult Export(const std::filesystem::path& file);
    // "device_reset_btn" (after the user confirmed): the selected profile's file becomes the
    // default data file with the profile's name and id; a headset keeps its
    // "CustomEQNameInfo" and "CustomEQHzValueInfo". The caller reloads the profile into the
    // device. False (nothing written) without a selection or when the default data file is
    // missing or damaged, so a reset never leaves a profile emptier than the defaults.
    bool Reset();

    // "profile_fun_spread_btn": "profile_menu_layout" shown or hidden.
    void ShowMenu(bool show);
    bool MenuVisible() const;
    // Selects feature tab n (1 "deng_Op_tab" … 8 "Virtual7.1_Op_tab") without a notification
    // and clears the others; any other n clears them all.
    void ShowFeatureTab(int number);

    // Whether `file` is one Import takes: a JSON object with "profilename" and "profileUUID".
    static ImportResult CheckImportFile(const std::filesystem::path& file);
    static bool IsImportableProfile(const std::filesystem::path& file) {
        return CheckImportFile(file) == ImportResult::Imported;
    }

  private:
    struct Entry {
        std::string name;
        std::string uuid;
    };

    ui::Control* combo() const;
    ui::Control* nameEdit() const;
    ui::Control* menu() const;
    ui::Control* tab(int number) const;
    ui::Control* lookUp(ui::ControlRef& slot, std::string_view name) const;

    // Re-reads the list file into list_ (see the header comment for the repairs); marks the
    // list for writing when it had to be repaired or created. Then refills the drop-down
    // list, keeping SelectedUUID current.
    void loadList();
    bool takeListDocument(Json::Value document);
    bool recoverFromFolder();
    void createFirstProfile();
    // Writes the list file when something changed since it was read.
    void finish();
    void showList(int current);

    std::vector<Entry> entries() const;
    int positionOf(std::string_view uuid) const;
    bool nameTaken(std::string_view name, int except = -1) const;
    std::optional<std::string> newProfileId() const;
    void appendEntry(const std::string& name, const std::string& uuid);
    Json::Value defaultDocument() const;
    bool writeProfile(Json::Value document, const std::string& name, const std::string& uuid);
    void ensureProfileFile(int position);
    void applySelection(int index, ui::Notify notify);
    void applyTabVisibility();

    ui::ControlRef root_;
    mutable ui::ControlRef combo_, nameEdit_, menu_;
    mutable std::array<ui::ControlRef, 8> tabs_;

    int kind_ = 0;
    std::filesystem::path folder_;
    std::filesystem::path defaultFile_;
    Json::Value list_;  // {"profilelist": [...], "profileselect": n}, always usable once read
    bool dirty_ = false;
    std::string selectedUUID_;
};

// The controls the panel and the main window's profile buttons look up in the skin file.
void declareDeviceProfileControls(ui::RequiredControls& required);

}  // namespace korvane::profile
