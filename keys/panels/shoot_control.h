// The recoil panel ("ShootControl"): four guns of thirty shots, each shot a horizontal and a
// vertical pull and a delay, kept in the gun files of the device folder.
#pragma once

#include <array>
#include <filesystem>
#include <string_view>

#include "keys/gun_files.h"
#include "ui/control.h"
#include "ui/ui_services.h"

namespace korvane::keys::panels {

class CShootControlUI {
  public:
    CShootControlUI(ui::Control* root, ui::UiServices services);

    ui::Control* control() const { return root_.get(); }
    // The panel works only when every control it names is in the skin.
    bool Usable() const;

    void SetFolders(const std::filesystem::path& deviceFolder,
                    const std::filesystem::path& defaultFolder);
    // Every gun file that reads as a null document (missing, empty, damaged) is reset from its
    // default; then the selected shot is shown.
    void Initialise();

    // Limited to 0 … count − 1; the matching option is selected, the others cleared.
    void SelectGun(int gun);
    void SelectShot(int shot);
    int SelectedGun() const { return gun_; }
    int SelectedShot() const { return shot_; }

    // The selected shot of the selected gun's file into the controls (zeros when unreadable).
    void ShowShot();
    // "shootdate_save_btn": the controls into the selected shot of the gun file.
    void SaveShot();
    // "shootdate_reset_btn": the default gun file copied over the selected gun's (an empty
    // file when there is no default), then the shot shown again.
    void ResetGun() { ResetGun(gun_); }
    void ResetGun(int gun);
    // "shootdate_import_btn": a checked file copied over the selected gun's file. A refused
    // file, or one whose delays had to be clamped, is explained in a message box.
    bool Import(const std::filesystem::path& file);
    bool ImportWithDialog();
    // "shootdate_export_btn": the selected gun's file copied to `file`.
    bool Export(const std::filesystem::path& file);
    bool ExportWithDialog();
    // "bullet_selected_prev" / "bullet_selected_next".
    void PreviousShot() { SelectShot(shot_ - 1); }
    void NextShot() { SelectShot(shot_ + 1); }

    // "selectchanged" of "shoot_gun_op_" n / "bullet_op_" n (when selected).
    void OnGunOption(int gun) { SelectGun(gun); }
    void OnShotOption(int shot) { SelectShot(shot); }
    // "selectchanged" of "bullet_x_check" / "bullet_y_check": the direction text follows.
    void OnDirectionChanged();
    // "killfocus" of "bullet_x_eidt", "bullet_y_eidt", "bullet_delay_eidt": the number is
    // limited (distances 0–255, delay 0–65535) and written back.
    void OnEditKillFocus(std::string_view name);
    void ApplyLanguage() { OnDirectionChanged(); }

  private:
    std::filesystem::path gunFile(int gun) const;
    void showDirectionTexts();

    ui::ControlRef root_;
    ui::UiServices services_;
    std::filesystem::path deviceFolder_;
    std::filesystem::path defaultFolder_;
    int gun_ = 0;
    int shot_ = 0;

    std::array<ui::ControlRef, kGunCount> gunOptions_;
    std::array<ui::ControlRef, kShotCount> shotOptions_;
    ui::ControlRef importButton_, exportButton_, saveButton_, resetButton_, imageSwitch_;
    ui::ControlRef editLayout_, shotIndex_, previous_, next_;
    ui::ControlRef xCheck_, yCheck_, xEdit_, yEdit_, delayEdit_;
};

}  // namespace korvane::keys::panels
