#include "keys/panels/shoot_control.h"

#include <algorithm>

#include "keys/event_file.h"
#include "keys/key_coding.h"
#include "keys/macro_event.h"
#include "keys/panels/panel_text.h"
#include "platform/files/atomic_file.h"
#include "platform/files/json_document.h"
#include "ui/control_lookup.h"
#include "ui/control_name.h"

namespace korvane::keys::panels {
namespace {

const ui::FileFilter kShootFilter{"Shoot Files(*.shoot)", "*.shoot"};

int number(const ui::ControlRef& edit, int high) {
    return edit ? std::clamp(readDecimal(edit->text()), 0, high) : 0;
}

void setNumber(const ui::ControlRef& edit, int value) {
    if (edit) {
        edit->setText(std::to_string(value));
    }
}

}  // namespace

CShootControlUI::CShootControlUI(ui::Control* root, ui::UiServices services)
    : root_(root), services_(services) {
    auto find = [&](std::string_view name) -> ui::ControlRef { return ui::find(root, name); };
    for (int i = 0; i < kGunCount; ++i) {
        gunOptions_[i] = find(indexedName("shoot_gun_op_", i));
    }
    for (int i = 0; i < kShotCount; ++i) {
        shotOptions_[i] = find(indexedName("bullet_op_", i));
    }
    importButton_ = find("shootdate_import_btn");
    exportButton_ = find("shootdate_export_btn");
    saveButton_ = find("shootdate_save_btn");
    resetButton_ = find("shootdate_reset_btn");
    imageSwitch_ = find("shoot_image_display_switch");
    editLayout_ = find("bullet_edit_layout");
    shotIndex_ = find("bullet_select_index");
    previous_ = find("bullet_selected_prev");
    next_ = find("bullet_selected_next");
    xCheck_ = find("bullet_x_check");
    yCheck_ = find("bullet_y_check");
    xEdit_ = find("bullet_x_eidt");
    yEdit_ = find("bullet_y_eidt");
    delayEdit_ = find("bullet_delay_eidt");
}

bool CShootControlUI::Usable() const {
    const bool options = std::all_of(gunOptions_.begin(), gunOptions_.end(),
                                     [](const auto& c) { return bool(c); }) &&
                         std::all_of(shotOptions_.begin(), shotOptions_.end(),
                                     [](const auto& c) { return bool(c); });
    return options && importButton_ && exportButton_ && saveButton_ && resetButton_ &&
           imageSwitch_ && editLayout_ && shotIndex_ && previous_ && next_ && xCheck_ && yCheck_ &&
           xEdit_ && yEdit_ && delayEdit_;
}

void CShootControlUI::SetFolders(const std::filesystem::path& deviceFolder,
                                 const std::filesystem::path& defaultFolder) {
    deviceFolder_ = deviceFolder;
    defaultFolder_ = defaultFolder;
}

std::filesystem::path CShootControlUI::gunFile(int gun) const {
    return gunFilePath(deviceFolder_, gun);
}

void CShootControlUI::Initialise() {
    if (!Usable() || deviceFolder_.empty()) {
        return;
    }
    for (int gun = 0; gun < kGunCount; ++gun) {
        if (files::ReadJsonDocument(gunFile(gun)).isNull()) {
            ResetGun(gun);
        }
    }
    SelectGun(gun_);
    SelectShot(shot_);
}

void CShootControlUI::SelectGun(int gun) {
    if (!Usable()) {
        return;
    }
    gun_ = clampGun(gun);
    for (int i = 0; i < kGunCount; ++i) {
        gunOptions_[i]->setSelected(i == gun_, ui::Notify::No);
    }
    imageSwitch_->selectPage(gun_);
    ShowShot();
}

void CShootControlUI::SelectShot(int shot) {
    if (!Usable()) {
        return;
    }
    shot_ = clampShot(shot);
    for (int i = 0; i < kShotCount; ++i) {
        shotOptions_[i]->setSelected(i == shot_, ui::Notify::No);
    }
    ShowShot();
}

void CShootControlUI::showDirectionTexts() {
    xCheck_->setText(services_.language.text(xCheck_->selected() ? "mouse_move_to_left_text"
                                                                 : "mouse_move_to_right_text"));
    yCheck_->setText(services_.language.text(yCheck_->selected() ? "mouse_move_to_up_text"
                                                                 : "mouse_move_to_down_text"));
}

void CShootControlUI::ShowShot() {
    if (!Usable()) {
        return;
    }
    const Shot shot =
        deviceFolder_.empty() ? Shot{} : readShot(files::ReadJsonDocument(gunFile(gun_)), shot_);
    shotIndex_->setText(std::to_string(shot_ + 1));
    xCheck_->setSelected(shot.left, ui::Notify::No);
    yCheck_->setSelected(shot.up, ui::Notify::No);
    setNumber(xEdit_, shot.x);
    setNumber(yEdit_, shot.y);
    setNumber(delayEdit_, shot.delay);
    showDirectionTexts();
}

void CShootControlUI::SaveShot() {
    if (!Usable() || deviceFolder_.empty()) {
        return;
    }
    Json::Value document = files::ReadJsonDocument(gunFile(gun_));
    writeShot(document, shot_,
              Shot{xCheck_->selected(), number(xEdit_, kMaxShotDistance), yCheck_->selected(),
                   number(yEdit_, kMaxShotDistance), number(delayEdit_, kMaxDelay)});
    files::WriteJsonDocument(gunFile(gun_), document);
}

void CShootControlUI::ResetGun(int gun) {
    if (deviceFolder_.empty()) {
        return;
    }
    gun = clampGun(gun);
    const auto bytes = readFileBytes(gunFilePath(defaultFolder_, gun), kMaxEventFileSize);
    files::writeFileAtomically(gunFile(gun), bytes.value_or(std::string()));
    ShowShot();
}

bool CShootControlUI::Import(const std::filesystem::path& file) {
    if (!Usable() || deviceFolder_.empty()) {
        return false;
    }
    std::string bytes;
    FileCheck status = readEventFileBytes(file, bytes);
    EventFileCheck check;
    if (status == FileCheck::Ok) {
        check = checkEventText(bytes, EventFileKind::Recoil);
        status = check.status;
    }
    const std::string_view message = messageKey(status, EventFileKind::Recoil);
    if (!message.empty()) {
        services_.messages.ShowMessage(root_.get(), "", message, true, ui::MessageButtons::Confirm);
    }
    if (!check.accepted()) {
        return false;
    }
    const bool written = status == FileCheck::Ok
                             ? files::writeFileAtomically(gunFile(gun_), bytes)
                             : files::WriteJsonDocument(gunFile(gun_), check.document);
    ShowShot();
    return written;
}

bool CShootControlUI::ImportWithDialog() {
    const auto file = services_.files.openFile(root_.get(), kShootFilter);
    return file && !file->empty() && Import(*file);
}

bool CShootControlUI::Export(const std::filesystem::path& file) {
    if (!Usable() || deviceFolder_.empty()) {
        return false;
    }
    const auto bytes = readFileBytes(gunFile(gun_), kMaxEventFileSize);
    return bytes && files::writeFileAtomically(file, *bytes);
}

bool CShootControlUI::ExportWithDialog() {
    const auto file = services_.files.saveFile(root_.get(), kShootFilter);
    return file && !file->empty() && Export(*file);
}

void CShootControlUI::OnDirectionChanged() {
    if (Usable()) {
        showDirectionTexts();
    }
}

void CShootControlUI::OnEditKillFocus(std::string_view name) {
    if (!Usable()) {
        return;
    }
    if (ui::namesEqual(name, xEdit_->name())) {
        setNumber(xEdit_, number(xEdit_, kMaxShotDistance));
    } else if (ui::namesEqual(name, yEdit_->name())) {
        setNumber(yEdit_, number(yEdit_, kMaxShotDistance));
    } else if (ui::namesEqual(name, delayEdit_->name())) {
        setNumber(delayEdit_, number(delayEdit_, kMaxDelay));
    }
}

}  // namespace korvane::keys::panels
