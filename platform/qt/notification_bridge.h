#pragma once

#include <QWidget>

#include <cstdint>
#include <string_view>

// Turns the widgets' signals into the notifications of the UI contract, sent
// through the sender's QtControl to the nearest notification handler:
//   QAbstractButton clicked                      -> "click"
//   checkable QAbstractButton toggled            -> "selectchanged" (both directions)
//   QAbstractSlider dragged                      -> "movevaluechanged"
//   QAbstractSlider released, or moved by keys,
//     wheel or a click on its groove             -> "valuechanged"
//   QComboBox activated                          -> "itemselect" (wParam = index)
//   QListWidget current row changed              -> "itemselect" (wParam = row)
//   QListWidget item activated                   -> "itemactivate" (wParam = row)
//   edit (line/text edit, spin box) focus in     -> "setfocus"
//   edit focus out, or Return in a line edit     -> "killfocus" (once per edit)
//   a window shown for the first time            -> "windowinit" (sender: the window)
// Changes made from code send nothing unless the setter was asked to notify.
namespace korvane::qt {

// Connects `root` and every control widget below it; widgets already attached
// are skipped. The skin loader does this for what it loads; code that creates
// widgets itself calls it once they are in place.
void attachNotifications(QWidget* root);

// Sends a notification from `sender` (custom widgets use this for their own
// types, e.g. "click_select_end"). Dropped while a SilentScope is open; returns
// whether a handler received it.
bool emitNotification(QWidget* sender, std::string_view type, std::int64_t wParam = 0,
                      std::int64_t lParam = 0);

// While one exists on the UI thread, widget signals produce no notifications:
// the setters use it for changes that must not notify.
class SilentScope {
  public:
    SilentScope();
    ~SilentScope();
    SilentScope(const SilentScope&) = delete;
    SilentScope& operator=(const SilentScope&) = delete;
    static bool active();
};

}  // namespace korvane::qt
