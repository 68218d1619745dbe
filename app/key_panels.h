#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "devices/mouse_key_panel_device.h"
#include "keys/panels/key_set_control.h"
#include "keys/panels/macro_control.h"
#include "keys/panels/shoot_control.h"
#include "app/window_shell.h"
#include "ui/notification.h"
#include "ui/ui_services.h"

// The key, macro and recoil panels of a device page with the routing of their
// notifications.
namespace korvane::app {

// Shows a popup menu at the pointer and returns the chosen command, if any.
using PopupMenu = std::function<std::optional<std::string>(const std::vector<MenuItem>&)>;

class KeyPanels {
public:
    // Builds the panels on the mouse page's "KeySetControlItem", "MacroControlItem" and
    // "ShootControlItem" (each may be missing).
    KeyPanels(devices::CKorvaneMouseDevice& mouse, ui::UiServices services, PopupMenu menu);

    // Handles a notification of these panels; false when it is none of theirs.
    bool route(const ui::Notification& n);
    // A key button of the page was clicked: the key panel shows that key.
    void showKey(int position);

    keys::panels::CKeySetControlUI* keySet() { return keySet_.get(); }
    keys::panels::CMacroControlUI* macros() { return macros_.get(); }
    keys::panels::CShootControlUI* shoot() { return shoot_.get(); }

    // The commands of the macro action menu, with their language keys.
    static std::vector<MenuItem> macroActionMenu(const ui::Language& language);

private:
    bool routeKeySet(const ui::Notification& n);
    bool routeMacros(const ui::Notification& n);
    bool routeShoot(const ui::Notification& n);

    devices::CKorvaneMouseDevice& mouse_;
    ui::UiServices services_;
    PopupMenu menu_;
    std::unique_ptr<devices::MouseKeyPanelDevice> adapter_;
    std::unique_ptr<keys::panels::CKeySetControlUI> keySet_;
    std::unique_ptr<keys::panels::CMacroControlUI> macros_;
    std::unique_ptr<keys::panels::CShootControlUI> shoot_;
};

}  // namespace korvane::app
