#include "app/main_window.h"

#include <chrono>
#include <cstdio>

#include "device/command_channel.h"
#include "devices/device_factory.h"
#include "devices/mouse_device.h"
#include "lighting/panel/light_panel_controls.h"
#include "platform/log/logger.h"
#include "ui/control_lookup.h"
#include "ui/control_name.h"
#include "ui/dispatcher.h"
#include "ui/file_dialog.h"
#include "ui/message_box.h"
#include "ui/required_controls.h"
#include "ui/skin_file.h"

namespace korvane::app {
namespace {

using device::DeviceFamily;
using device::DeviceKind;
using device::InterfaceRole;

constexpr int kTimerDisplay = 1011;
constexpr int kTimerProfileSelect = 1055;

// Panel elements of a device page and the skin files their content comes from.
constexpr std::pair<const char*, const char*> kPanelSkins[] = {
    {"DeviceProfile", "XML\\CustomControlXML\\DeviceProfile.xml"},
    {"LightControl", "XML\\CustomControlXML\\LightControl.xml"},
    {"KeySetControl", "XML\\CustomControlXML\\KeySetControl.xml"},
    {"MacroControl", "XML\\CustomControlXML\\MacroControl.xml"},
    {"ShootControl", "XML\\CustomControlXML\\ShootControl.xml"},
    {"MagicControl", "XML\\CustomControlXML\\MagicControl.xml"},
    {"Voice6533Control", "XML\\CustomControlXML\\Voice6533Control.xml"},
};

constexpr const char* kProfileButtons[] = {"device_add_btn",     "device_sub_btn",
                                           "device_copy_btn",    "device_reset_btn",
                                           "device_profile_edit_save_btn", "profile_fun_spread_btn",
                                           "device_import_btn",  "device_export_btn"};
const ui::FileFilter kProfileFilter{"Profile Files(*.json)", "*.json"};
constexpr const char* kMainSkin = "XML\\main.xml";
constexpr const char* kPowerPanelSkin = "XML\\CustomControlXML\\MpDevicePower.xml";

constexpr const char* kButtons[] = {"closebtn", "maxbtn",       "restorebtn",   "minbtn",  "skinbtn",
                                    "gamemodebtn", "cloudbtn", "smarteyesbtn", "setbtn"};

// Feature tabs select feature page 1 to 8.
constexpr const char* kFeatureTabs[] = {"deng_Op_tab",  "key_Op_tab",        "macro_Op_tab",
                                        "system_Op_tab", "cursor_Op_tab",    "6533_voice_Op_tab",
                                        "magic_Op_tab", "Virtual7.1_Op_tab"};

int familyListOf(DeviceFamily family) {
    switch (family) {
        case DeviceFamily::MousePad: return 0;
        case DeviceFamily::Mouse: return 1;
        case DeviceFamily::Keyboard: return 2;
        case DeviceFamily::Headset: return 3;
        case DeviceFamily::None: break;
    }
    return -1;
}

bool isMouseOrKeyboard(DeviceKind kind) {
    auto f = device::familyOf(kind);
    return f == DeviceFamily::Mouse || f == DeviceFamily::Keyboard;
}

bool isWiredKind(DeviceKind kind) { return kind == DeviceKind::Keyboard || kind == DeviceKind::Mouse; }

}  // namespace

CMainWnd::CMainWnd(Context context, ui::Control* root)
    : context_(std::move(context)),
      root_(root),
      lightOwner_(lightFamilies_, [this](int w, int l) { context_.bus.broadcastLightOwner(w, l); }),
      gameEvents_(context_.services.dispatcher, root, [this] { return lightScreen(); }) {
    lightOwner_.setStatusControl(root);
    if (root != nullptr) {
        root->setTimerHandler([this](const ui::Notification& n) {
            context_.services.dispatcher.killTimer(*root_.get(), static_cast<int>(n.wParam));
            if (n.wParam == kTimerDisplay) {
                applyDisplayScale();
            } else if (n.wParam == kTimerProfileSelect) {
                if (Tab* tab = currentTab()) applyProfileSelection(*tab);
            } else if (n.wParam == lighting::panel::kGameEventTimer) {
                gameEvents_.OnTimer(lighting::panel::kGameEventTimer, currentDevice());
            }
        });
    }
}

CMainWnd::~CMainWnd() {
    shutdown();
    if (ui::Control* root = root_.get()) {
        root->setTimerHandler(nullptr);
    }
}

void CMainWnd::declareControls(ui::RequiredControls& required) {
    lighting::panel::declareLightPanelControls(required);
    profile::declareDeviceProfileControls(required);
    using K = ui::ControlKind;
    required.require(kMainSkin, {{"device_select_layout", K::Container},
                                 {"device_switch", K::Tab},
                                 {"device_power_switch", K::Tab},
                                 {"No_device_Link", K::Container},
                                 {"nodevice_ok_btn", K::Button},
                                 {"closebtn", K::Button},
                                 {"minbtn", K::Button},
                                 {"setbtn", K::Button},
                                 {"control_light_status", K::Button},
                                 {"device_select_prev", K::Button},
                                 {"device_select_next", K::Button}});
    required.require("XML\\CustomControlXML\\DeviceOption.xml",
                     {{"device_select", K::Option}, {"tab_header_device", K::Label}});
    required.require(kPowerPanelSkin, {{"device_power_Layout", K::Container},
                                       {"device_Power_progress", K::Progress},
                                       {"device_power_value", K::Label},
                                       {"device_wuxian_logo", K::Label},
                                       {"device_power_status", K::Label},
                                       {"device_phone_type", K::Label}});
}

// ---------------------------------------------------------------------------
// Initialisation and shutdown

void CMainWnd::windowInit() {
    if (initialised_) {
        return;
    }
    initialised_ = true;
    log::debug("InitWindow");
    ui::Control* root = root_.get();

    // Other programs learn that we drive the lighting.
    context_.bus.broadcastLightOwner(1, 1);
    if (!context_.bus.connected()) {
        log::debug("no session bus: lighting-owner broadcasts and game events are off");
    }
    context_.bus.setHandlers(SessionBus::Handlers{
        [this](int wParam, int lParam) { lightOwner_.OnNotice(wParam, lParam); },
        [this](const std::string&, int wParam, int lParam) {
            if (awake_.load()) gameEvents_.OnGameEvent(currentDevice(), wParam, lParam);
        },
        [this](bool sleeping) { setAwake(!sleeping); },
    });

    slots_ = device::makeSlotList();

    // The mouse and keyboard pages exist before their devices are found.
    for (int t = 0; t < 2; ++t) {
        const auto& key = device::deviceTabTemplates()[static_cast<size_t>(t)];
        int row = device::findRow(static_cast<uint16_t>(key.vendorId), static_cast<uint16_t>(key.productId),
                                  static_cast<DeviceKind>(key.kind), InterfaceRole::Command);
        if (row >= 0) {
            createPage(t, device::supportedDevices()[static_cast<size_t>(row)]);
        }
    }

    screen_ = context_.shell.primaryScreen();
    context_.shell.hide();  // shown after the device watch's first scan
    updateNoDevicePanel();

    watch_ = std::make_unique<DeviceWatch>(
        context_.backend, slots_, context_.services.dispatcher,
        DeviceWatch::Handlers{[this](size_t s) { onDeviceFound(s); }, [this](size_t s) { onDeviceLost(s); },
                              [this] { onInstanceMessage(0, 0); }});
    startThread(0, [this](std::stop_token stop) { watch_->run(stop); });
    startThread(8, [this](std::stop_token stop) { lighting::panel::LightSyncThread(stop, lightSync_); });

    if (root != nullptr) {
        context_.services.dispatcher.startTimer(*root, kTimerDisplay, 100);
    }
}

void CMainWnd::startThread(size_t index, std::function<void(std::stop_token)> body) {
    auto promise = std::make_shared<std::promise<void>>();
    threads_[index].done = promise->get_future();
    threads_[index].thread = std::jthread([body = std::move(body), promise](std::stop_token stop) {
        body(stop);
        promise->set_value();
    });
}

void CMainWnd::shutdown() {
    if (shutDown_) {
        return;
    }
    shutDown_ = true;
    log::debug("退出测试");
    context_.shell.hide();
    for (auto& slot : threads_) {
        if (slot.thread.joinable()) {
            slot.thread.request_stop();
        }
    }
    for (size_t i = 0; i < threads_.size(); ++i) {
        auto& slot = threads_[i];
        if (!slot.thread.joinable()) {
            continue;
        }
        if (slot.done.wait_for(std::chrono::milliseconds(1000)) == std::future_status::ready) {
            log::debug("所有对象处于激发状态\n");
            slot.thread.join();
        } else {
            // Every wait in our threads is bounded or wakes on the stop request, so
            // this only happens when a thread is stuck in the system; it cannot be
            // killed safely, so it is left to end with the process.
            log::debug("所有对象处于非激发状态，超时\n");
            slot.thread.detach();
        }
    }
    for (auto& list : families_) {
        for (auto& device : list) {
            device->channel().closeAll();
        }
    }
    // The tabs own timers on controls of the window; they go first.
    tabs_.clear();
}

// ---------------------------------------------------------------------------
// Devices found and lost

bool CMainWnd::pageExists(size_t slot) const {
    if (slot >= slots_.size()) {
        return false;
    }
    for (const auto& tab : tabs_) {
        if (tab->device != nullptr && tab->device->supportedDevice() == slots_[slot]) {
            return true;
        }
    }
    return false;
}

devices::CKorvaneUSBDevice* CMainWnd::findDevice(DeviceFamily family,
                                                 const device::SupportedDevice& row) const {
    int list = familyListOf(family);
    if (list < 0) {
        return nullptr;
    }
    for (const auto& d : families_[static_cast<size_t>(list)]) {
        if (d->supportedDevice() == row) {
            return d.get();
        }
    }
    return nullptr;
}

// The device object of a slot: receivers are reached through their wired partner row.
devices::CKorvaneUSBDevice* CMainWnd::deviceForSlot(size_t slot) const {
    const auto& s = slots_[slot];
    if (device::isReceiverKind(s.kind) && s.hasPartner && s.partnerIndex < slots_.size()) {
        return findDevice(device::familyOf(s.kind), slots_[s.partnerIndex]);
    }
    return findDevice(device::familyOf(s.kind), s);
}

// The device of a consumer-control slot: the one whose row has the slot's ids and kind, or
// whose partner row has them (a receiver's interface of a mouse or keyboard).
devices::CKorvaneUSBDevice* CMainWnd::deviceForSecondary(size_t slot) const {
    const auto& s = slots_[slot];
    int list = familyListOf(device::familyOf(s.kind));
    if (list < 0) {
        return nullptr;
    }
    auto sameIds = [&](const device::SupportedDevice& row) {
        return row.vendorId == s.vendorId && row.productId == s.productId && row.kind == s.kind;
    };
    for (const auto& d : families_[static_cast<size_t>(list)]) {
        const auto& row = d->supportedDevice();
        if (sameIds(row)) {
            return d.get();
        }
        if (row.hasPartner && row.partnerIndex < device::kSupportedDeviceCount &&
            sameIds(device::supportedDevices()[row.partnerIndex])) {
            return d.get();
        }
    }
    return nullptr;
}

std::vector<devices::CKorvaneUSBDevice*> CMainWnd::familyDevices(FamilyList list) const {
    std::vector<devices::CKorvaneUSBDevice*> out;
    for (const auto& d : families_[list]) {
        out.push_back(d.get());
    }
    return out;
}

int CMainWnd::deviceCount() const {
    int n = 0;
    for (const auto& list : families_) {
        n += static_cast<int>(list.size());
    }
    return n;
}

devices::CKorvaneUSBDevice* CMainWnd::createPage(int templateIndex, const device::SupportedDevice& row) {
    ui::Control* root = root_.get();
    if (root == nullptr || templateIndex < 0) {
        return nullptr;
    }
    const auto& tabTemplate = device::deviceTabTemplates()[static_cast<size_t>(templateIndex)];
    const auto& pageTemplate = device::devicePageTemplates()[static_cast<size_t>(templateIndex)];
    const DeviceFamily family = device::familyOf(row.kind);
    const int list = familyListOf(family);
    if (list < 0) {
        return nullptr;
    }

    auto tab = std::make_unique<Tab>();
    ui::Control* powerControl = context_.shell.buildInto(kPowerPanelSkin, root->find("device_power_switch"));
    ui::Control* tabControl =
        context_.shell.buildInto(tabTemplate.tabXml, root->find("device_select_layout"));
    ui::Control* page = context_.shell.buildInto(pageTemplate.deviceXml, root->find("device_switch"));
    if (tabControl == nullptr || page == nullptr) {
        log::debugf("cannot build the page of the %s family", tabTemplate.familyName.c_str());
        return nullptr;
    }
    tabControl->setVisible(false);
    expandPanels(page);
    tab->power = std::make_unique<devices::CMpDevicePowerUI>(powerControl, static_cast<int>(row.kind), 0);

    std::unique_ptr<devices::CKorvaneUSBDevice> device =
        context_.makeDevice ? context_.makeDevice(family, *this) : devices::makeFamilyDevice(family, *this);
    if (!device) {
        device = std::make_unique<devices::CKorvaneUSBDevice>(*this);
    }
    device->setPageXml(pageTemplate.deviceXml);
    device->setKeyCount(pageTemplate.keyCount);
    device->setLedCount(pageTemplate.ledCount);
    device->setPageIndex(templateIndex);
    device->setBatteryPanel(pageTemplate.batteryPanel != 0);
    if (family == DeviceFamily::Mouse) {
        device->setMirrorLedIndex(pageTemplate.mirrorLedIndex);
    }
    device->setProfileFileName(profileName_);  // replaced by the profile list's selection below
    device->setFamilyName(tabTemplate.familyName);
    device->setPowerPanel(tab->power.get());
    device->setSupportedDevice(row);
    device->setLightListIndex(tabTemplate.typeCode);
    device->setLightGroup(pageTemplate.lightGroup);
    device->setLightingOwner(lightOwner_.lightOwner() && awake_.load());
    device->setWindowActive(windowActive_);
    device->setPage(page);
    device->BindPage();

    ui::setText(tabControl, "tab_header_device",
                context_.services.language.text("device_name_" + tabTemplate.familyName));
    ui::setBackgroundImage(tabControl, "device_tab_icon",
                           "file='icons/device_" + tabTemplate.familyName + ".svg'");
    tab->option = std::make_unique<devices::CDeviceOptionUI>(tabControl, context_.services.dispatcher);
    tab->option->setDevice(device.get());
    tab->option->setPowerPanel(tab->power.get());
    if (auto* mouse = dynamic_cast<devices::CKorvaneMouseDevice*>(device.get())) {
        mouse->setDeviceTab(tab->option.get());
        tab->keyPanels = std::make_unique<KeyPanels>(
            *mouse, context_.services,
            [this](const std::vector<MenuItem>& items) { return context_.shell.popupMenu(items); });
    }
    tab->device = device.get();
    tab->control = tabControl;
    tab->page = page;
    tab->powerControl = powerControl;
    if (ui::Control* item = page->find(lighting::panel::kLightControlItem)) {
        tab->light = std::make_unique<lighting::panel::CLightControlUI>(item, &context_.services.language);
        device->setLightPanel(tab->light.get());
        lighting::panel::fillLightPanel(*tab->light, *device);
    }
    static constexpr lighting::panel::LightFamily kLightLists[] = {
        lighting::panel::LightFamily::MousePads, lighting::panel::LightFamily::Mice,
        lighting::panel::LightFamily::Keyboards, lighting::panel::LightFamily::Headsets};
    lightFamilies_.add(kLightLists[list], device.get());
    setUpProfiles(*tab);
    tabs_.push_back(std::move(tab));

    devices::CKorvaneUSBDevice* raw = device.get();
    families_[static_cast<size_t>(list)].push_back(std::move(device));
    return raw;
}

void CMainWnd::onDeviceFound(size_t s) {
    if (!awake_.load() || s >= slots_.size()) {
        return;
    }
    const device::SupportedDevice slot = slots_[s];
    const DeviceKind kind = slot.kind;
    int commandRow = device::findRow(slot.vendorId, slot.productId, kind, InterfaceRole::Command);

    // The slot whose device the page would show.
    size_t pageSlot = s;
    if (slot.role == InterfaceRole::ConsumerControl && commandRow >= 0) {
        pageSlot = static_cast<size_t>(commandRow);
    }
    if (device::isReceiverKind(kind) && slots_[pageSlot].hasPartner) {
        pageSlot = slots_[pageSlot].partnerIndex;
    }

    switch (kind) {
        case DeviceKind::Keyboard:
        case DeviceKind::KeyboardReceiver: log::debug("添加一个键盘设备"); break;
        case DeviceKind::Mouse:
        case DeviceKind::MouseReceiver: log::debug("添加一个鼠标设备"); break;
        case DeviceKind::MousePad: log::debug("添加一个鼠标垫设备"); break;
        case DeviceKind::Headset: break;
        default: return;
    }

    if (!pageExists(pageSlot) && commandRow >= 0) {
        uint16_t vid = slot.vendorId;
        uint16_t pid = slot.productId;
        int templateKind = static_cast<int>(kind);
        if (kind == DeviceKind::MouseReceiver) {
            const auto& partner = device::supportedDevices()[slots_[static_cast<size_t>(commandRow)].partnerIndex];
            vid = partner.vendorId;
            pid = partner.productId;
            templateKind = static_cast<int>(DeviceKind::Mouse);
        }
        int t = device::findTemplate(vid, pid, templateKind, 0);
        if (t >= 0) {
            int pageRow = static_cast<int>(pageSlot);
            createPage(t, device::supportedDevices()[static_cast<size_t>(pageRow)]);
        }
    }

    if (slot.role == InterfaceRole::Command) {
        bindCommand(s);
    } else if (auto* device = deviceForSecondary(s)) {
        device->OpenSecondary(slot);
    }
    restoreAndRaise();
}

void CMainWnd::bindCommand(size_t s) {
    const device::SupportedDevice& slot = slots_[s];
    devices::CKorvaneUSBDevice* device = deviceForSlot(s);
    if (device == nullptr) {
        return;
    }
    // Cable and receiver both plugged in: the cable wins.
    if (device::partnerBound(slots_, s) && isWiredKind(slot.kind)) {
        if (device->isWireless()) {
            switchConnection(*device);
        }
        return;
    }
    auto& channel = device->channel();
    if (!channel.isOpen()) {
        const bool receiver = device::isReceiverKind(slot.kind);
        std::lock_guard lock(channel.exchangeLock());
        device::HidChannel& hid = receiver ? channel.wireless() : channel.wired();
        if (hid.open(slot.path, true, true, true, false)) {
            channel.setOpen(true);
            if (isMouseOrKeyboard(slot.kind)) {
                channel.setConnectionMode(receiver ? device::ConnectionMode::Wireless
                                                   : device::ConnectionMode::Wired);
            }
            device->setWireless(receiver);
            device->setSupportedDevice(receiver ? slots_[slot.partnerIndex] : slot);
        }
    }
    Tab* tab = tabOf(device);
    if (tab == nullptr) {
        return;
    }
    if (!device::isReceiverKind(slot.kind)) {
        for (size_t i = 0; i < tabs_.size(); ++i) {
            if (tabs_[i].get() == tab) {
                showTab(static_cast<int>(i), true, visibleTabCount() == 0 || tab->selected);
            }
        }
    }
    tab->option->startTimer(devices::timer::kConnect, 500);
}

// Moves a device with both cable and receiver known to the other one.
void CMainWnd::switchConnection(devices::CKorvaneUSBDevice& device) {
    auto& channel = device.channel();
    const bool wasWireless = device.isWireless();
    const device::SupportedDevice& wiredRow = device.supportedDevice();
    int wiredSlot = device::findRow(wiredRow.vendorId, wiredRow.productId, wiredRow.kind, wiredRow.role);
    if (wiredSlot < 0) {
        return;
    }
    size_t receiverSlot = slots_[static_cast<size_t>(wiredSlot)].partnerIndex;
    bool opened = false;
    {
        std::lock_guard lock(channel.exchangeLock());
        channel.setOpen(false);
        if (wasWireless) {
            channel.wired().close();
            opened = channel.wired().open(slots_[static_cast<size_t>(wiredSlot)].path, true, true, true, false);
        } else {
            channel.wireless().close();
            opened = channel.wireless().open(slots_[receiverSlot].path, true, true, true, false);
        }
    }
    if (!opened) {
        return;
    }
    channel.setOpen(true);
    device.setWireless(!wasWireless);
    Tab* tab = tabOf(&device);
    if (!wasWireless) {
        channel.setConnectionMode(device::ConnectionMode::Wireless);
        if (device.active()) {
            bool answered = false;
            for (int i = 0; i < 26 && !answered; ++i) {
                answered = channel.linkQuery();
                if (!answered) {
                    log::debug("获取2.4G模式失败");
                    std::this_thread::sleep_for(std::chrono::milliseconds(50));
                }
            }
            log::debug("获取2");
            device.OnConnected();
        }
        if (tab != nullptr) {
            tab->option->startTimer(devices::timer::kReachability, 2000);
        }
    } else {
        channel.setConnectionMode(device::ConnectionMode::Wired);
        if (tab != nullptr) {
            tab->option->startTimer(devices::timer::kConnect, 500);
        }
        sendMessage(devices::message::kShowTab, device.pageIndex(), 1);
        if (device.active()) {
            device.OnConnected();
        }
    }
}

void CMainWnd::onDeviceLost(size_t s) {
    if (!awake_.load() || s >= slots_.size()) {
        return;
    }
    const device::SupportedDevice& slot = slots_[s];
    if (slot.role == InterfaceRole::ConsumerControl) {
        if (auto* device = deviceForSecondary(s)) {
            device->CloseSecondary(static_cast<int>(slot.kind));
        }
        return;
    }
    devices::CKorvaneUSBDevice* device = deviceForSlot(s);
    const auto family = device::familyOf(slot.kind);
    if (family == DeviceFamily::Mouse) log::debug("鼠标设备丢失");
    if (family == DeviceFamily::Keyboard) log::debug("键盘设备丢失");

    if (isMouseOrKeyboard(slot.kind) && slot.hasPartner && slot.partnerIndex < slots_.size() &&
        slots_[slot.partnerIndex].isBound()) {
        // The other connection stays; losing the cable moves the device to its receiver.
        if (isWiredKind(slot.kind) && device != nullptr && !device->isWireless()) {
            switchConnection(*device);
        }
        return;
    }
    if (device == nullptr) {
        return;
    }
    auto& channel = device->channel();
    channel.setOpen(false);
    {
        std::lock_guard lock(channel.exchangeLock());
        channel.wired().close();
        if (isMouseOrKeyboard(slot.kind)) {
            channel.wireless().close();
        }
    }
    for (size_t i = 0; i < tabs_.size(); ++i) {
        if (tabs_[i]->device == device) {
            showTab(static_cast<int>(i), false, false);
        }
    }
}

// ---------------------------------------------------------------------------
// Tabs

CMainWnd::Tab* CMainWnd::tabOf(const devices::CKorvaneUSBDevice* device) {
    for (auto& t : tabs_) {
        if (t->device == device) {
            return t.get();
        }
    }
    return nullptr;
}

int CMainWnd::tabIndexOfPage(int pageIndex) const {
    for (size_t i = 0; i < tabs_.size(); ++i) {
        if (tabs_[i]->device != nullptr && tabs_[i]->device->pageIndex() == pageIndex) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

int CMainWnd::visibleTabCount() const {
    int n = 0;
    for (const auto& t : tabs_) {
        if (t->control && t->control->visible()) {
            ++n;
        }
    }
    return n;
}

devices::CKorvaneUSBDevice* CMainWnd::currentDevice() const {
    for (const auto& t : tabs_) {
        if (t->control && t->control->visible() && t->selected) {
            return t->device;
        }
    }
    return tabs_.empty() ? nullptr : tabs_.back()->device;
}

namespace {
// Position of `child` among the pages of a switch container, or -1.
int pageOf(ui::Control* container, ui::Control* child) {
    if (container == nullptr || child == nullptr) {
        return -1;
    }
    auto pages = container->children();
    for (size_t i = 0; i < pages.size(); ++i) {
        if (pages[i] == child) {
            return static_cast<int>(i);
        }
    }
    return -1;
}
}  // namespace

void CMainWnd::showTab(int index, bool visible, bool select) {
    if (index < 0 || static_cast<size_t>(index) >= tabs_.size()) {
        return;
    }
    ui::Control* root = root_.get();
    Tab& tab = *tabs_[static_cast<size_t>(index)];
    ui::Control* control = tab.control.get();
    if (control == nullptr || root == nullptr) {
        return;
    }
    const bool wasSelectedAndVisible = control->visible() && tab.selected;
    control->setVisible(visible);
    if (select && visible) {
        for (auto& other : tabs_) {
            other->selected = false;
            ui::setSelected(other->control.get(), "device_select", false, ui::Notify::No);
        }
        tab.selected = true;
        ui::setSelected(control, "device_select", true, ui::Notify::No);
        ui::Control* pages = root->find("device_switch");
        if (pages != nullptr) {
            pages->selectPage(pageOf(pages, tab.page.get()));
        }
        ui::Control* powers = root->find("device_power_switch");
        if (powers != nullptr) {
            int p = pageOf(powers, tab.powerControl.get());
            powers->setVisible(p >= 0);
            if (p >= 0) powers->selectPage(p);
        }
    }
    if (!visible && wasSelectedAndVisible) {
        // The shown device went away: the first other visible tab takes its place.
        for (size_t i = 0; i < tabs_.size(); ++i) {
            if (static_cast<int>(i) != index && tabs_[i]->control && tabs_[i]->control->visible()) {
                showTab(static_cast<int>(i), true, true);
                break;
            }
        }
    }
    onTabsChanged();
}

void CMainWnd::onTabsChanged() {
    updateNoDevicePanel();
    lightSync_.UpdateSyncAvailability(visibleTabCount());
}

void CMainWnd::updateNoDevicePanel() {
    ui::Control* root = root_.get();
    if (root == nullptr) {
        return;
    }
    const bool any = visibleTabCount() > 0;
    ui::setVisible(root, "No_device_Link", !any);
    if (!any) {
        ui::selectPage(root, "device_power_switch", 0);
        ui::selectPage(root, "device_switch", 0);
    }
}

void CMainWnd::selectNeighbour(int step) {
    int selected = -1;
    for (size_t i = 0; i < tabs_.size(); ++i) {
        if (tabs_[i]->selected) selected = static_cast<int>(i);
    }
    if (selected < 0) {
        return;
    }
    for (int i = selected + step; i >= 0 && static_cast<size_t>(i) < tabs_.size(); i += step) {
        if (tabs_[static_cast<size_t>(i)]->control && tabs_[static_cast<size_t>(i)]->control->visible()) {
            showTab(i, true, true);
            return;
        }
    }
}

void CMainWnd::onTabOption(const ui::Notification& n) {
    for (size_t i = 0; i < tabs_.size(); ++i) {
        ui::Control* tab = tabs_[i]->control.get();
        if (tab != nullptr && n.sender != nullptr && tab->find("device_select") == n.sender) {
            if (n.sender->selected()) {
                showTab(static_cast<int>(i), true, true);
            } else if (tabs_[i]->selected) {
                // An option group cannot be emptied by the user: keep the tab chosen.
                ui::setSelected(tab, "device_select", true, ui::Notify::No);
            }
            return;
        }
    }
}

// ---------------------------------------------------------------------------
// Messages

void CMainWnd::onInstanceMessage(int64_t wParam, int64_t lParam) {
    log::debugf("软件标示 %d，%xd%xd", 0, static_cast<unsigned>(wParam), static_cast<unsigned>(lParam));
    restoreAndRaise();
}

void CMainWnd::restoreAndRaise() {
    updateNoDevicePanel();
    for (auto* list : {&families_[kMice], &families_[kKeyboards]}) {
        for (auto& d : *list) {
            d->clearDisplayPending();
        }
    }
    context_.shell.restore();
    context_.shell.show();
    context_.shell.raise();
}

void CMainWnd::sendMessage(int message, int64_t wParam, int64_t lParam) { onMessage(message, wParam, lParam); }

void CMainWnd::onMessage(int message, int64_t wParam, int64_t lParam) {
    if (!awake_.load()) {
        return;
    }
    switch (message) {
        case message::kDeviceFound: onDeviceFound(static_cast<size_t>(wParam)); break;
        case message::kDeviceLost: onDeviceLost(static_cast<size_t>(wParam)); break;
        case devices::message::kShowTab: {
            int index = tabIndexOfPage(static_cast<int>(wParam));
            if (index < 0) break;
            if (lParam == 1) {
                if (!tabs_[static_cast<size_t>(index)]->control->visible()) {
                    showTab(index, true, visibleTabCount() == 0);
                }
            } else {
                showTab(index, false, false);
                log::debug("2.4gcesvdfherhue 1");
            }
            break;
        }
        default: break;
    }
}

void CMainWnd::setAwake(bool awake) {
    awake_.store(awake);
    if (awake) {
        lightOwner_.OnResume();
    } else {
        lightOwner_.OnSuspend();
    }
}

void CMainWnd::closeToTray() {
    if (!context_.shell.trayAvailable()) {
        // Nowhere to stay hidden: closing ends the program.
        context_.shell.quit(0);
        return;
    }
    context_.shell.hide();
    for (auto* list : {&families_[kMice], &families_[kKeyboards]}) {
        for (auto& d : *list) {
            d->markDisplayPending();
        }
    }
}

void CMainWnd::applyDisplayScale() {
    ScreenSize monitor = context_.shell.monitorOfWindow();
    int scale = (monitor.width > 1500 && monitor.height > 960) ? 144 : 96;
    displayScale_ = scale;
    context_.shell.resize(1000, 640);
    context_.shell.centre();
}

// ---------------------------------------------------------------------------
// Profiles

// Fills the panel elements of a page with their content.
void CMainWnd::expandPanels(ui::Control* page) {
    if (page == nullptr) {
        return;
    }
    for (const auto& [className, skinFile] : kPanelSkins) {
        std::vector<ui::Control*> holders;
        std::vector<ui::Control*> todo{page};
        while (!todo.empty()) {
            ui::Control* c = todo.back();
            todo.pop_back();
            if (ui::namesEqual(c->className(), className)) {
                holders.push_back(c);
                continue;
            }
            for (ui::Control* child : c->children()) todo.push_back(child);
        }
        for (ui::Control* holder : holders) {
            if (holder->children().empty()) {
                context_.shell.buildInto(skinFile, holder);
            }
        }
    }
}

void CMainWnd::setUpProfiles(Tab& tab) {
    ui::Control* page = tab.page.get();
    ui::Control* holder = page != nullptr ? page->find("DeviceProfileItem") : nullptr;
    if (holder == nullptr || tab.device == nullptr) {
        return;
    }
    auto& device = *tab.device;
    tab.profiles = std::make_unique<profile::CDeviceProfileUI>(holder);
    tab.profiles->SetKind(static_cast<int>(device.kind()));
    tab.profiles->SetPaths(device.deviceDataFolder(), device.defaultDataFile());
    tab.profiles->Initialise();
    device.setProfileFileName(tab.profiles->SelectedUUID());
    ui::setText(holder, "device_select_name",
                context_.services.language.text("device_name_" + device.familyName()));
}

CMainWnd::Tab* CMainWnd::currentTab() {
    devices::CKorvaneUSBDevice* d = currentDevice();
    return d != nullptr ? tabOf(d) : nullptr;
}

void CMainWnd::showMessage(std::string_view key) {
    context_.services.messages.ShowMessage(root_.get(), "", key, true, ui::MessageButtons::Confirm);
}

void CMainWnd::applyProfileSelection(Tab& tab) {
    if (!tab.profiles || tab.device == nullptr) {
        return;
    }
    auto& panel = *tab.profiles;
    auto& device = *tab.device;
    panel.Select(panel.SelectedIndex(), ui::Notify::No);
    device.setProfileFileName(panel.SelectedUUID());
    device.ReloadProfile();
    device.RefreshPage();
    device.WriteDeviceSettings(0, 0, 1, screen_.width, screen_.height);
    int upload = device.UploadMacros(device.CollectUsedMacros());
    if (upload == -1) {
        showMessage("message_text_7");
    } else if (upload > 0) {
        std::string text = context_.services.language.text("message_text_16");
        if (auto at = text.find("%d"); at != std::string::npos) {
            text.replace(at, 2, std::to_string(upload));
        } else {
            text += " " + std::to_string(upload);
        }
        context_.services.messages.ShowMessage(root_.get(), "", text, false, ui::MessageButtons::Confirm);
    }
    device.WriteOwnKeys();
}

void CMainWnd::onProfileButton(const ui::Notification& n) {
    bool isProfileButton = false;
    for (const char* name : kProfileButtons) isProfileButton = isProfileButton || n.from(name);
    if (!isProfileButton) {
        return;
    }
    Tab* tab = currentTab();
    if (tab == nullptr || !tab->profiles) {
        return;
    }
    auto& panel = *tab->profiles;
    if (n.from("profile_fun_spread_btn")) {
        panel.ShowMenu(!panel.MenuVisible());
    } else if (n.from("device_add_btn")) {
        int added = panel.Add();
        if (added >= 0) {
            panel.Select(added, ui::Notify::No);
            applyProfileSelection(*tab);
        }
    } else if (n.from("device_sub_btn")) {
        if (panel.Delete() >= 0) applyProfileSelection(*tab);
    } else if (n.from("device_copy_btn")) {
        panel.Copy();
    } else if (n.from("device_profile_edit_save_btn")) {
        std::string name = panel.NameEditText();
        if (name.empty()) return;
        switch (panel.Rename(name)) {
            case profile::RenameResult::NameInUse: showMessage("message_text_5"); break;
            case profile::RenameResult::Blank: showMessage("message_text_25"); break;
            default: break;
        }
    } else if (n.from("device_reset_btn")) {
        if (context_.services.messages.ShowMessage(root_.get(), "", "message_text_22", true,
                                                   ui::MessageButtons::ConfirmCancel) == 1 &&
            panel.Reset()) {
            applyProfileSelection(*tab);
        }
    } else if (n.from("device_import_btn")) {
        if (panel.SelectedIndex() < 0) return;
        auto path = context_.services.files.openFile(root_.get(), kProfileFilter);
        if (path && profile::CDeviceProfileUI::IsImportableProfile(*path)) {
            panel.Import(*path);
        }
    } else if (n.from("device_export_btn")) {
        if (panel.SelectedIndex() < 0) return;
        auto path = context_.services.files.saveFile(root_.get(), kProfileFilter);
        if (path && !path->empty()) {
            panel.Export(*path);
        }
    }
}

bool CMainWnd::onKeyPressed(int evdevCode) {
    if (!keyHook_) {
        return false;
    }
    Tab* tab = currentTab();
    if (tab == nullptr || !tab->keyPanels || tab->keyPanels->keySet() == nullptr) {
        return false;
    }
    return tab->keyPanels->keySet()->OnKeyCaptured(evdevCode);
}

bool CMainWnd::routeDevicePage(const ui::Notification& n) {
    Tab* tab = currentTab();
    if (tab == nullptr) {
        return false;
    }
    if (auto* mouse = dynamic_cast<devices::CKorvaneMouseDevice*>(tab->device)) {
        if (mouse->OnPageNotification(n)) {
            return true;
        }
    }
    if (tab->keyPanels) {
        if (n.is(ui::notify::kClick)) {
            if (auto key = ui::indexAfterPrefix(n.senderName, "key_")) {
                tab->keyPanels->showKey(*key);
                return true;
            }
        }
        if (tab->keyPanels->route(n)) {
            return true;
        }
    }
    return false;
}

void CMainWnd::restoreDefaults() {
    Tab* tab = currentTab();
    if (tab == nullptr) {
        return;
    }
    if (context_.services.messages.ShowMessage(root_.get(), "", "message_text_22", true,
                                               ui::MessageButtons::ConfirmCancel) != 1) {
        return;
    }
    if (auto* mouse = dynamic_cast<devices::CKorvaneMouseDevice*>(tab->device)) {
        mouse->ResetProfile();
    }
    tab->device->WriteDeviceSettings(0, 0, 1, screen_.width, screen_.height);
}

// ---------------------------------------------------------------------------
// Routing

void CMainWnd::onNotify(const ui::Notification& n) {
    if (!n.is(ui::notify::kTimer)) {
        log::debugf("%s %s", n.type.c_str(), n.senderName.c_str());
    }
    if (n.is(ui::notify::kWindowInit)) {
        windowInit();
        return;
    }
    if (!awake_.load()) {
        return;
    }
    if (n.from("keyset_keyboard_text_edit")) {
        // Message 1054: while the edit has the focus, keys pressed fill it.
        if (n.is(ui::notify::kSetFocus)) {
            keyHook_ = true;
            return;
        }
        if (n.is(ui::notify::kKillFocus)) {
            keyHook_ = false;
            return;
        }
    }
    if (lightHandlers_.Route(n, currentDevice()) || routeDevicePage(n)) {
        return;
    }
    if (n.is(ui::notify::kClick)) {
        if (n.from("closebtn")) {
            closeToTray();
        } else if (n.from("nodevice_ok_btn")) {
            context_.shell.hide();
        } else if (n.from("control_light_status")) {
            lightOwner_.Toggle();
        } else if (n.from("minbtn")) {
            context_.shell.minimise();
        } else if (n.from("maxbtn")) {
            context_.shell.maximise();
        } else if (n.from("restorebtn")) {
            context_.shell.restore();
        } else if (n.from("device_select_prev")) {
            selectNeighbour(-1);
        } else if (n.from("device_select_next")) {
            selectNeighbour(1);
        } else if (n.from("default_btn")) {
            restoreDefaults();
        } else {
            onProfileButton(n);
        }
        return;
    }
    if (n.is(ui::notify::kItemSelect)) {
        if (n.from("device_profile_combo") && root_) {
            context_.services.dispatcher.startTimer(*root_.get(), kTimerProfileSelect, 400);
        }
        return;
    }
    if (n.is(ui::notify::kSelectChanged)) {
        if (n.from("device_select")) {
            onTabOption(n);
            return;
        }
        for (size_t i = 0; i < std::size(kFeatureTabs); ++i) {
            if (n.from(kFeatureTabs[i]) && n.sender != nullptr && n.sender->selected()) {
                if (Tab* tab = currentTab()) {
                    tab->device->ShowSubPage(static_cast<int>(i) + 1);
                    if (tab->profiles) tab->profiles->ShowFeatureTab(static_cast<int>(i) + 1);
                }
                return;
            }
        }
    }
}

}  // namespace korvane::app
