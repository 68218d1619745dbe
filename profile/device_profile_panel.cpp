#include "profile/device_profile_panel.h"

#include <algorithm>
#include <fstream>
#include <set>
#include <system_error>
#include <utility>

#include "platform/files/json_document.h"
#include "platform/files/json_fields.h"
#include "platform/files/safe_file_name.h"
#include "platform/files/time_stamp.h"
#include "platform/files/utf8.h"
#include "platform/log/logger.h"
#include "ui/control_lookup.h"

namespace korvane::profile {
namespace fs = std::filesystem;

namespace {

constexpr const char* kListMember = "profilelist";
constexpr const char* kSelectMember = "profileselect";
constexpr const char* kNameMember = "profilename";
constexpr const char* kIdMember = "profileUUID";
constexpr const char* kLinkMember = "profileislink";
constexpr const char* kLinkNameMember = "profilelinkmame";

constexpr std::array<std::string_view, 8> kTabNames = {
    "deng_Op_tab",   "key_Op_tab",        "macro_Op_tab", "system_Op_tab",
    "cursor_Op_tab", "6533_voice_Op_tab", "magic_Op_tab", "Virtual7.1_Op_tab"};
constexpr int kKeyTab = 2, kMacroTab = 3, kSystemTab = 4, kCursorTab = 5, kVoiceTab = 6,
              kMagicTab = 7, kVirtualTab = 8;

// A clock that went back between two runs can repeat an old stamp; a few thousand more
// milliseconds always find a free one, the bound only keeps a broken folder from spinning.
constexpr int kMaxIdAttempts = 10000;

char foldAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string foldedAscii(std::string_view text) {
    std::string folded(text);
    std::transform(folded.begin(), folded.end(), folded.begin(), foldAscii);
    return folded;
}

// Unicode White_Space, the characters a user can type that show as nothing.
bool isWhiteSpace(char32_t c) {
    return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0 || c == 0x1680 ||
           (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F ||
           c == 0x205F || c == 0x3000;
}

// The code points of well-formed UTF-8 (checked by the caller).
std::vector<char32_t> codePoints(std::string_view text) {
    std::vector<char32_t> points;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        char32_t c = length == 1   ? lead
                     : length == 2 ? lead & 0x1Fu
                     : length == 3 ? lead & 0x0Fu
                                   : lead & 0x07u;
        for (std::size_t k = 1; k < length && i + k < text.size(); ++k) {
            c = (c << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3Fu);
        }
        points.push_back(c);
        i += length;
    }
    return points;
}

bool pathTaken(const fs::path& path) {
    std::error_code ec;
    const fs::file_type type = fs::symlink_status(path, ec).type();
    // An error other than "not found" leaves the name to the write, which reports it.
    return type != fs::file_type::not_found && type != fs::file_type::none;
}

Json::Value listEntry(const std::string& name, const std::string& uuid) {
    Json::Value entry(Json::objectValue);
    entry[kNameMember] = name;
    entry[kIdMember] = uuid;
    entry[kLinkMember] = 0;
    entry[kLinkNameMember] = "";
    return entry;
}

bool hasEntries(const Json::Value& list) {
    return !files::asArray(files::member(list, kListMember)).empty();
}

// The shape is checked on the document that is imported, not on an earlier read.
ImportResult readImportFile(const fs::path& file, Json::Value& document) {
    std::error_code ec;
    if (file.empty() || !fs::is_regular_file(file, ec)) {
        return ImportResult::Unreadable;
    }
    const std::uintmax_t size = fs::file_size(file, ec);
    if (ec) {
        return ImportResult::Unreadable;
    }
    if (size > files::kMaxJsonFileSize) {
        return ImportResult::TooLarge;
    }
    if (!std::ifstream(file, std::ios::binary).is_open()) {
        return ImportResult::Unreadable;
    }
    document = files::ReadJsonDocument(file);
    if (document.isNull()) {
        return ImportResult::Damaged;
    }
    if (!document.isObject() || !document.isMember(kNameMember) || !document.isMember(kIdMember)) {
        return ImportResult::NotAProfile;
    }
    return ImportResult::Imported;
}

}  // namespace

bool profileNamesEqual(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return foldAscii(x) == foldAscii(y);
           });
}

bool isBlankProfileName(std::string_view name) {
    if (!files::isValidUtf8(name)) {
        return false;  // a stray byte is not white space
    }
    const std::vector<char32_t> points = codePoints(name);
    return std::all_of(points.begin(), points.end(), isWhiteSpace);
}

CDeviceProfileUI::CDeviceProfileUI(ui::Control* root) : root_(root) {}

void CDeviceProfileUI::SetPaths(const fs::path& deviceDataFolder, const fs::path& defaultDataFile) {
    folder_ = deviceDataFolder;
    defaultFile_ = defaultDataFile;
    list_ = Json::Value();
    dirty_ = false;
    selectedUUID_.clear();
}

fs::path CDeviceProfileUI::ListFilePath() const {
    return folder_.empty() ? fs::path() : folder_ / kProfileListFileName;
}

// ---- controls ----

ui::Control* CDeviceProfileUI::lookUp(ui::ControlRef& slot, std::string_view name) const {
    if (!slot) {
        slot = ui::find(root_.get(), name);
    }
    return slot.get();
}

ui::Control* CDeviceProfileUI::combo() const {
    return lookUp(combo_, "device_profile_combo");
}
ui::Control* CDeviceProfileUI::nameEdit() const {
    return lookUp(nameEdit_, "device_profile_name_edit");
}
ui::Control* CDeviceProfileUI::menu() const {
    return lookUp(menu_, "profile_menu_layout");
}
ui::Control* CDeviceProfileUI::tab(int number) const {
    if (number < 1 || number > static_cast<int>(kTabNames.size())) {
        return nullptr;
    }
    const auto i = static_cast<std::size_t>(number - 1);
    return lookUp(tabs_[i], kTabNames[i]);
}

int CDeviceProfileUI::SelectedIndex() const {
    const ui::Control* c = combo();
    return c != nullptr ? c->currentIndex() : -1;
}

std::string CDeviceProfileUI::NameEditText() const {
    const ui::Control* edit = nameEdit();
    return edit != nullptr ? edit->text() : std::string();
}

void CDeviceProfileUI::SetNameEditText(std::string_view text) {
    if (ui::Control* edit = nameEdit()) {
        edit->setText(text);
    }
}

void CDeviceProfileUI::ShowMenu(bool show) {
    if (ui::Control* m = menu()) {
        m->setVisible(show);
    }
}

bool CDeviceProfileUI::MenuVisible() const {
    const ui::Control* m = menu();
    return m != nullptr && m->visible();
}

void CDeviceProfileUI::ShowFeatureTab(int number) {
    for (int n = 1; n <= static_cast<int>(kTabNames.size()); ++n) {
        if (ui::Control* t = tab(n)) {
            t->setSelected(n == number, ui::Notify::No);
        }
    }
}

void CDeviceProfileUI::applyTabVisibility() {
    std::vector<int> hidden;
    std::vector<int> shown;
    switch (kind_) {
        case 1:
            hidden = {kCursorTab};
            break;
        case 3:
        case 5:
            hidden = {kCursorTab, kMacroTab, kSystemTab, kKeyTab};
            break;
        case 4:
            hidden = {kCursorTab, kMacroTab, kKeyTab};
            break;
        case kHeadsetKind:
            hidden = {kCursorTab, kMacroTab, kSystemTab, kKeyTab};
            shown = {kVoiceTab, kMagicTab, kVirtualTab};
            break;
        default:  // mice and receivers use every tab the skin shows
            break;
    }
    for (int n : hidden) {
        if (ui::Control* t = tab(n)) {
            t->setVisible(false);
        }
    }
    for (int n : shown) {
        if (ui::Control* t = tab(n)) {
            t->setVisible(true);
        }
    }
}

// ---- the list ----

std::vector<CDeviceProfileUI::Entry> CDeviceProfileUI::entries() const {
    std::vector<Entry> result;
    for (const Json::Value& e : files::asArray(files::member(list_, kListMember))) {
        result.push_back({files::toText(files::member(e, kNameMember)),
                          files::toText(files::member(e, kIdMember))});
    }
    return result;
}

int CDeviceProfileUI::Count() const {
    return static_cast<int>(files::asArray(files::member(list_, kListMember)).size());
}

std::string CDeviceProfileUI::UUIDOf(int position) const {
    if (position < 0) {
        return {};
    }
    const Json::Value& list = files::member(list_, kListMember);
    return files::toText(
        files::member(files::element(list, static_cast<Json::ArrayIndex>(position)), kIdMember));
}

std::string CDeviceProfileUI::NameOf(int position) const {
    if (position < 0) {
        return {};
    }
    const Json::Value& list = files::member(list_, kListMember);
    return files::toText(
        files::member(files::element(list, static_cast<Json::ArrayIndex>(position)), kNameMember));
}

int CDeviceProfileUI::positionOf(std::string_view uuid) const {
    if (uuid.empty()) {
        return -1;
    }
    const std::vector<Entry> list = entries();
    for (std::size_t i = 0; i < list.size(); ++i) {
        // Without case: the same ids would name one file on a case-blind file system.
        if (profileNamesEqual(list[i].uuid, uuid)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

bool CDeviceProfileUI::nameTaken(std::string_view name, int except) const {
    const std::vector<Entry> list = entries();
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (static_cast<int>(i) != except && profileNamesEqual(list[i].name, name)) {
            return true;
        }
    }
    return false;
}

std::optional<fs::path> CDeviceProfileUI::ProfileFileOf(std::string_view uuid) const {
    if (folder_.empty()) {
        return std::nullopt;
    }
    return files::safeFilePath(folder_, uuid, kProfileFileExtension);
}

std::optional<fs::path> CDeviceProfileUI::SelectedProfileFile() const {
    if (selectedUUID_.empty()) {
        return std::nullopt;
    }
    return ProfileFileOf(selectedUUID_);
}

std::optional<std::string> CDeviceProfileUI::newProfileId() const {
    for (int attempt = 0; attempt < kMaxIdAttempts; ++attempt) {
        std::string id = files::MakeTimeStamp();
        const std::optional<fs::path> file = ProfileFileOf(id);
        if (file && positionOf(id) < 0 && !pathTaken(*file)) {
            return id;
        }
    }
    log::debug("profile list: no free profile id");
    return std::nullopt;
}

void CDeviceProfileUI::appendEntry(const std::string& name, const std::string& uuid) {
    files::arrayMember(list_, kListMember).append(listEntry(name, uuid));
    dirty_ = true;
}

Json::Value CDeviceProfileUI::defaultDocument() const {
    return defaultFile_.empty() ? Json::Value() : files::ReadJsonDocument(defaultFile_);
}

bool CDeviceProfileUI::writeProfile(Json::Value document, const std::string& name,
                                    const std::string& uuid) {
    const std::optional<fs::path> file = ProfileFileOf(uuid);
    if (!file) {
        return false;
    }
    // A damaged source gives a profile with only its name and id; the device fills it from
    // the default data file on its first load.
    if (!document.isObject()) {
        document = Json::Value(Json::objectValue);
    }
    document[kNameMember] = name;
    document[kIdMember] = uuid;
    return files::WriteJsonDocument(*file, document);
}

void CDeviceProfileUI::ensureProfileFile(int position) {
    const std::string uuid = UUIDOf(position);
    const std::optional<fs::path> file = ProfileFileOf(uuid);
    if (file && !pathTaken(*file)) {
        log::debugf("profile list: %s has no file, made from the defaults", uuid.c_str());
        writeProfile(defaultDocument(), NameOf(position), uuid);
    }
}

bool CDeviceProfileUI::takeListDocument(Json::Value document) {
    if (!document.isObject()) {
        return false;
    }
    const Json::Value& stored = files::asArray(files::member(document, kListMember));
    Json::Value list(Json::arrayValue);
    std::vector<Json::ArrayIndex> needId;
    std::vector<Json::ArrayIndex> needName;
    std::set<std::string> ids;
    bool repaired = false;
    for (const Json::Value& e : stored) {
        if (!e.isObject()) {
            log::debug("profile list: an entry that is not an object is dropped");
            repaired = true;
            continue;
        }
        const std::string uuid = files::toText(files::member(e, kIdMember));
        // isSafeFileName logs why an id is refused.
        if (!files::isSafeFileName(uuid) || !ids.insert(foldedAscii(uuid)).second) {
            needId.push_back(list.size());
        }
        if (files::toText(files::member(e, kNameMember)).empty()) {
            needName.push_back(list.size());
        }
        list.append(e);
    }
    if (list.empty()) {
        return false;
    }

    Json::Value previous = std::exchange(list_, std::move(document));
    list_[kListMember] = std::move(list);
    Json::Value& items = list_[kListMember];
    std::vector<Json::ArrayIndex> unusable;
    for (Json::ArrayIndex i : needId) {
        if (std::optional<std::string> id = newProfileId()) {
            log::debugf("profile list: entry %u gets the id %s (its own cannot name a file)", i,
                        id->c_str());
            items[i][kIdMember] = *id;
        } else {
            unusable.push_back(i);
        }
    }
    for (Json::ArrayIndex i : needName) {
        int n = 1;
        while (nameTaken("profile" + std::to_string(n))) {
            ++n;
        }
        items[i][kNameMember] = "profile" + std::to_string(n);
    }
    for (auto it = unusable.rbegin(); it != unusable.rend(); ++it) {
        Json::Value removed;
        items.removeIndex(*it, &removed);
    }
    if (items.empty()) {
        list_ = std::move(previous);
        return false;
    }

    const Json::Value& select = files::member(list_, kSelectMember);
    const std::int64_t stored_select = select.isNumeric() ? files::toInteger(select) : -1;
    if (stored_select < 0 || stored_select >= static_cast<std::int64_t>(items.size())) {
        list_[kSelectMember] = 0;
        repaired = true;
    } else if (!select.isInt()) {
        list_[kSelectMember] = static_cast<int>(stored_select);
        repaired = true;
    }
    dirty_ = dirty_ || repaired || !needId.empty() || !needName.empty();
    return true;
}

bool CDeviceProfileUI::recoverFromFolder() {
    // Profile files name themselves: "<id>.Json" holding "profileUUID": "<id>".
    std::vector<std::pair<std::string, std::string>> found;  // id, name
    std::error_code ec;
    for (fs::directory_iterator it(folder_, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path& file = it->path();
        std::error_code typeError;
        if (file.extension() != kProfileFileExtension || !it->is_regular_file(typeError)) {
            continue;
        }
        const std::string id = file.stem().string();
        const Json::Value document = files::ReadJsonDocument(file);
        if (files::toText(files::member(document, kIdMember)) == id && files::isSafeFileName(id)) {
            found.emplace_back(id, files::toText(files::member(document, kNameMember)));
        }
    }
    if (found.empty()) {
        return false;
    }
    std::sort(found.begin(), found.end());  // ids are creation times: oldest first
    Json::Value document(Json::objectValue);
    for (const auto& [id, name] : found) {
        document[kListMember].append(listEntry(name, id));
    }
    document[kSelectMember] = 0;
    log::debugf("profile list: the list file is damaged, %zu profiles found in the folder",
                found.size());
    if (!takeListDocument(std::move(document))) {
        return false;
    }
    dirty_ = true;
    return true;
}

void CDeviceProfileUI::createFirstProfile() {
    list_ = Json::Value(Json::objectValue);
    list_[kListMember] = Json::Value(Json::arrayValue);
    list_[kSelectMember] = 0;
    std::string id = newProfileId().value_or(files::MakeTimeStamp());
    writeProfile(defaultDocument(), "profile1", id);
    appendEntry("profile1", id);
}

void CDeviceProfileUI::loadList() {
    const fs::path listFile = ListFilePath();
    if (!takeListDocument(files::ReadJsonDocument(listFile))) {
        if (hasEntries(list_)) {
            // Damaged since the last operation: what this panel last read or wrote goes back.
            log::debug("profile list: the list file is unusable, the panel's list is written back");
            dirty_ = true;
        } else if (!(pathTaken(listFile) && recoverFromFolder())) {
            createFirstProfile();
        }
    }

    ui::Control* c = combo();
    if (c == nullptr) {
        return;
    }
    // Follow the current item by its id, so an entry removed or added elsewhere does not move
    // the user's choice to another profile.
    int current = positionOf(c->itemData(c->currentIndex()));
    if (current < 0) {
        current = positionOf(selectedUUID_);
    }
    showList(current);
}

void CDeviceProfileUI::showList(int current) {
    ui::Control* c = combo();
    if (c == nullptr) {
        return;
    }
    const std::vector<Entry> list = entries();
    bool same = c->itemCount() == static_cast<int>(list.size());
    for (std::size_t i = 0; same && i < list.size(); ++i) {
        const int item = static_cast<int>(i);
        same = c->itemText(item) == list[i].name && c->itemData(item) == list[i].uuid;
    }
    if (!same) {
        c->clearItems();
        for (const Entry& e : list) {
            c->addItem(e.name, e.uuid);
        }
    }
    if (current < -1 || current >= static_cast<int>(list.size())) {
        current = -1;
    }
    if (c->currentIndex() != current) {
        c->selectItem(current, ui::Notify::No);
    }
}

void CDeviceProfileUI::finish() {
    if (dirty_ && !folder_.empty()) {
        files::WriteJsonDocument(ListFilePath(), list_);
    }
    dirty_ = false;
}

// ---- operations ----

void CDeviceProfileUI::Initialise() {
    if (folder_.empty()) {
        log::debug("profile list: Initialise without a device data folder");
        return;
    }
    std::error_code ec;
    fs::create_directories(folder_, ec);
    loadList();
    const int stored = static_cast<int>(files::toInteger(files::member(list_, kSelectMember)));
    if (combo() != nullptr) {
        applySelection(stored, ui::Notify::No);
    } else {
        selectedUUID_ = UUIDOf(stored);
        ensureProfileFile(stored);
        finish();
    }
    applyTabVisibility();
}

void CDeviceProfileUI::applySelection(int index, ui::Notify notify) {
    if (files::toInteger(files::member(list_, kSelectMember)) != index) {
        list_[kSelectMember] = index;
        dirty_ = true;
    }
    selectedUUID_ = UUIDOf(index);
    ensureProfileFile(index);
    SetNameEditText(NameOf(index));
    finish();
    // Last: a handler of "itemselect" may call back into the panel.
    if (ui::Control* c = combo()) {
        c->selectItem(index, notify);
    }
}

bool CDeviceProfileUI::Select(int index, ui::Notify notify) {
    if (folder_.empty() || combo() == nullptr) {
        return false;
    }
    loadList();
    if (index < 0 || index >= Count()) {
        finish();
        return false;
    }
    applySelection(index, notify);
    return true;
}

int CDeviceProfileUI::Add() {
    if (folder_.empty() || combo() == nullptr) {
        return -1;
    }
    loadList();
    const int count = Count();
    const int current = SelectedIndex();
    if (count >= kMaxAddedProfiles) {
        finish();
        return -1;
    }
    int n = 1;
    while (nameTaken("profile" + std::to_string(n))) {
        ++n;
    }
    const std::string name = "profile" + std::to_string(n);
    const std::optional<std::string> id = newProfileId();
    // The file first: the list never names a profile whose file could not be made.
    if (!id || !writeProfile(defaultDocument(), name, *id)) {
        finish();
        return -1;
    }
    appendEntry(name, *id);
    list_[kSelectMember] = count;
    finish();
    showList(current);
    return count;
}

int CDeviceProfileUI::Delete() {
    if (folder_.empty() || combo() == nullptr) {
        return -1;
    }
    loadList();
    const int s = SelectedIndex();
    const int count = Count();
    if (s < 0 || s >= count || count < 2) {
        finish();
        return -1;
    }
    const int next = s == 0 ? 0 : s - 1;
    const std::string uuid = UUIDOf(s);
    Json::Value removed;
    list_[kListMember].removeIndex(static_cast<Json::ArrayIndex>(s), &removed);
    list_[kSelectMember] = next;
    dirty_ = true;
    // The list first: a crash in between leaves a stray file, never a listed profile without one.
    if (files::WriteJsonDocument(ListFilePath(), list_)) {
        dirty_ = false;
        std::error_code ec;
        if (const std::optional<fs::path> file = ProfileFileOf(uuid)) {
            fs::remove(*file, ec);
        }
        if (ec) {
            log::debugf("profile list: cannot delete %s.Json: %s", uuid.c_str(),
                        ec.message().c_str());
        }
    } else {
        // The file still lists the profile, so its file stays; the next read brings it back.
        dirty_ = false;
    }
    showList(-1);
    applySelection(next, ui::Notify::No);
    return next;
}

int CDeviceProfileUI::Copy() {
    if (folder_.empty() || combo() == nullptr) {
        return -1;
    }
    loadList();
    const int source = SelectedIndex();
    if (source < 0 || source >= Count()) {
        finish();
        return -1;
    }
    std::string name = NameOf(source) + " copy";
    while (nameTaken(name)) {
        name += " copy";
    }
    const std::optional<std::string> id = newProfileId();
    const std::optional<fs::path> sourceFile = ProfileFileOf(UUIDOf(source));
    const Json::Value document = sourceFile ? files::ReadJsonDocument(*sourceFile) : Json::Value();
    if (!id || !writeProfile(document, name, *id)) {
        finish();
        return -1;
    }
    appendEntry(name, *id);
    finish();
    showList(source);
    return Count() - 1;
}

RenameResult CDeviceProfileUI::Rename(std::string_view newName) {
    if (folder_.empty() || combo() == nullptr) {
        return RenameResult::NoProfile;
    }
    loadList();
    if (isBlankProfileName(newName)) {
        finish();
        return RenameResult::Blank;
    }
    const int s = SelectedIndex();
    if (s < 0 || s >= Count()) {
        finish();
        return RenameResult::NoProfile;
    }
    if (nameTaken(newName, s)) {
        finish();
        return RenameResult::NameInUse;
    }
    const std::string name = files::toValidUtf8(newName);
    list_[kListMember][static_cast<Json::ArrayIndex>(s)][kNameMember] = name;
    dirty_ = true;
    finish();
    showList(s);
    SetNameEditText(name);

    const std::optional<fs::path> file = ProfileFileOf(UUIDOf(s));
    Json::Value document = file ? files::ReadJsonDocument(*file) : Json::Value();
    if (document.isObject()) {
        document[kNameMember] = name;
        files::WriteJsonDocument(*file, document);
    } else if (file && pathTaken(*file)) {
        // Left for the device's load, which repairs it; the panel never overwrites what it
        // cannot read.
        log::debugf("profile list: %s is damaged, its name is not updated", file->string().c_str());
    } else {
        ensureProfileFile(s);
    }
    return RenameResult::Renamed;
}

ImportResult CDeviceProfileUI::CheckImportFile(const fs::path& file) {
    Json::Value document;
    return readImportFile(file, document);
}

ImportResult CDeviceProfileUI::Import(const fs::path& file) {
    if (folder_.empty() || combo() == nullptr) {
        return ImportResult::NoList;
    }
    Json::Value document;
    if (const ImportResult check = readImportFile(file, document);
        check != ImportResult::Imported) {
        log::debugf("profile list: %s is not imported (%d)", file.string().c_str(),
                    static_cast<int>(check));
        return check;
    }
    loadList();
    const int current = SelectedIndex();
    std::string name = files::toValidUtf8(file.stem().string());
    for (int k = 1; nameTaken(name); ++k) {
        name += "(" + std::to_string(k) + ")";
    }
    const std::optional<std::string> id = newProfileId();
    if (!id || !writeProfile(std::move(document), name, *id)) {
        finish();
        return ImportResult::WriteFailed;
    }
    appendEntry(name, *id);
    finish();
    showList(current);
    return ImportResult::Imported;
}

ExportResult CDeviceProfileUI::Export(const fs::path& file) {
    if (folder_.empty() || combo() == nullptr) {
        return ExportResult::NoProfile;
    }
    loadList();
    const int s = SelectedIndex();
    finish();
    if (s < 0 || s >= Count()) {
        return ExportResult::NoProfile;
    }
    const std::optional<fs::path> source = ProfileFileOf(UUIDOf(s));
    const Json::Value document = source ? files::ReadJsonDocument(*source) : Json::Value();
    if (document.isNull()) {
        return ExportResult::ProfileUnreadable;
    }
    return files::WriteJsonDocument(file, document) ? ExportResult::Exported
                                                    : ExportResult::WriteFailed;
}

bool CDeviceProfileUI::Reset() {
    if (folder_.empty() || combo() == nullptr) {
        return false;
    }
    loadList();
    const int s = SelectedIndex();
    finish();
    if (s < 0 || s >= Count()) {
        return false;
    }
    Json::Value document = defaultDocument();
    if (!document.isObject()) {
        log::debug("profile list: no usable default data file, the profile is not reset");
        return false;
    }
    const std::string uuid = UUIDOf(s);
    const std::optional<fs::path> file = ProfileFileOf(uuid);
    if (!file) {
        return false;
    }
    if (kind_ == kHeadsetKind) {
        // The user's own equaliser sets are not part of the defaults.
        const Json::Value old = files::ReadJsonDocument(*file);
        const Json::Value& oldEntry = files::element(files::member(old, "Device"), 0);
        for (const char* key : {"CustomEQNameInfo", "CustomEQHzValueInfo"}) {
            const Json::Value& kept = files::member(oldEntry, key);
            if (!kept.isNull()) {
                files::objectElement(files::arrayMember(document, "Device"), 0)[key] = kept;
            }
        }
    }
    return writeProfile(std::move(document), NameOf(s), uuid);
}

// ---- skin ----

void declareDeviceProfileControls(ui::RequiredControls& required) {
    using ui::ControlKind;
    required.require(kDeviceProfileSkin, {{"device_profile_combo", ControlKind::Combo},
                                          {"device_profile_name_edit", ControlKind::Edit},
                                          {"profile_menu_layout", ControlKind::Container},
                                          {"profile_fun_spread_btn", ControlKind::Button},
                                          {"device_add_btn", ControlKind::Button},
                                          {"device_sub_btn", ControlKind::Button},
                                          {"device_copy_btn", ControlKind::Button},
                                          {"device_profile_edit_save_btn", ControlKind::Button},
                                          {"device_import_btn", ControlKind::Button},
                                          {"device_export_btn", ControlKind::Button},
                                          {"device_reset_btn", ControlKind::Button}});
    for (std::string_view tab : kTabNames) {
        required.require(kDeviceProfileSkin, tab, ControlKind::Button);
    }
}

}  // namespace korvane::profile
