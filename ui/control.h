#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ui/control_kind.h"
#include "ui/notification.h"

// The framework-neutral control: what page and panel code sees of a window's
// controls. Controls are looked up by name (without regard to case), carry a
// common set of properties, and send notifications to the handler of their
// window. The Qt implementation wraps widgets; the in-memory one is a plain tree
// for tests and window-less logic.
//
// Every property exists on every control; a property that a control's kind does
// not have reads as empty/0 and ignores writes (e.g. the items of a button).
// All of it runs on the UI thread.
namespace korvane::ui {

using Argb = std::uint32_t;  // 0xAARRGGBB

// Whether a setter that changes a user-visible choice sends the notification
// that the user's own change would send ("selectchanged", "itemselect").
enum class Notify { No, Yes };

class Control {
  public:
    Control();
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    // --- identity and tree ---------------------------------------------------
    virtual std::string name() const = 0;
    virtual std::string className() const = 0;  // skin class ("DeviceKeyButton") or toolkit class
    virtual ControlKind kind() const = 0;
    virtual Control* parent() const = 0;  // nullptr at the root of a window
    virtual std::vector<Control*> children() const = 0;

    // This control or the first descendant (depth first, in child order) whose
    // name equals `name` without regard to case; nullptr when there is none.
    virtual Control* find(std::string_view name);
    // The first descendant (not this control) of the class, compared without case.
    Control* findClass(std::string_view className);

    // --- text and look -------------------------------------------------------
    virtual std::string text() const = 0;
    virtual void setText(std::string_view text) = 0;
    virtual std::string toolTip() const = 0;
    virtual void setToolTip(std::string_view text) = 0;
    // The control's own flags (a visible control inside a hidden container is visible).
    virtual bool visible() const = 0;
    virtual void setVisible(bool visible) = 0;
    virtual bool enabled() const = 0;
    virtual void setEnabled(bool enabled) = 0;
    virtual Argb backgroundColour() const = 0;  // 0 when none is set
    virtual void setBackgroundColour(Argb colour) = 0;
    // Images are the skin's image attribute text, e.g. "file='power/powered.png'"
    // or a plain path relative to the skin folder; the empty text removes the image.
    virtual std::string backgroundImage() const = 0;
    virtual void setBackgroundImage(std::string_view image) = 0;
    virtual std::string foregroundImage() const = 0;
    virtual void setForegroundImage(std::string_view image) = 0;
    virtual std::string userData() const = 0;
    virtual void setUserData(std::string_view data) = 0;
    // Free attributes by name, as text (e.g. a slider's "thumbimage"); "" when unset.
    virtual std::string attribute(std::string_view name) const = 0;
    virtual void setAttribute(std::string_view name, std::string_view value) = 0;

    // --- option state --------------------------------------------------------
    virtual bool selected() const = 0;
    // Notify::Yes sends "selectchanged" when the state changes (also for the
    // options of the same group that get unselected); Notify::No sends nothing.
    virtual void setSelected(bool selected, Notify notify = Notify::Yes) = 0;

    // --- value and range (slider, progress) ------------------------------------
    // Setting a value never notifies; values are kept inside the range.
    virtual int value() const = 0;
    virtual void setValue(int value) = 0;
    virtual int minimum() const = 0;
    virtual int maximum() const = 0;
    virtual void setRange(int minimum, int maximum) = 0;  // maximum below minimum becomes minimum
    void setMinimum(int minimum) { setRange(minimum, std::max(minimum, maximum())); }
    void setMaximum(int maximum) { setRange(std::min(minimum(), maximum), maximum); }

    // --- items (combo, list) -------------------------------------------------
    virtual int itemCount() const = 0;
    // Appends an item; returns its index, or -1 when the control has no items.
    // Adding and clearing never notify.
    virtual int addItem(std::string_view text, std::string_view data = {}) = 0;
    virtual void clearItems() = 0;
    virtual std::string itemText(int index) const = 0;  // "" out of range
    virtual std::string itemData(int index) const = 0;  // "" out of range
    virtual int currentIndex() const = 0;               // -1 when nothing is current
    // Makes item `index` current (-1: none). Notify::Yes sends "itemselect"
    // (wParam = the new index) when the current item changes.
    // Returns false for an index out of range.
    virtual bool selectItem(int index, Notify notify = Notify::Yes) = 0;
    virtual bool itemVisible(int index) const = 0;
    virtual void setItemVisible(int index, bool visible) = 0;

    // --- pages (tab) ---------------------------------------------------------
    virtual int pageCount() const = 0;
    virtual int currentPage() const = 0;     // -1 without pages
    virtual bool selectPage(int index) = 0;  // false out of range; never notifies

    // --- keyboard focus ------------------------------------------------------
    virtual void setFocus() = 0;
    virtual bool hasFocus() const = 0;

    // --- notifications -------------------------------------------------------
    // The handler receives the notifications of this control and of every
    // descendant that has no nearer handler; the window's root normally holds
    // the only one.
    void setNotificationHandler(NotificationHandler handler);
    bool hasNotificationHandler() const { return static_cast<bool>(notificationHandler_); }
    // Hands `n` to the nearest handler from this control up to the root;
    // returns false when there is none.
    bool dispatchNotification(const Notification& n);
    // Sends a notification of `type` with this control as the sender (custom
    // controls and tests; the toolkit sends the user's own).
    bool emitNotification(std::string_view type, std::int64_t wParam = 0, std::int64_t lParam = 0);

    // Receives the "timer" notifications of this control's timers (see
    // Dispatcher). Without one they go the way of every other notification.
    void setTimerHandler(NotificationHandler handler);
    bool deliverTimer(int id);

    // Expires when the control is destroyed; for holders that must not outlive it.
    std::weak_ptr<const void> lifetime() const { return alive_; }

  private:
    std::shared_ptr<const void> alive_;
    NotificationHandler notificationHandler_;
    NotificationHandler timerHandler_;
};

// A pointer to a control that reads as nullptr once the control is gone, for
// panels that look a control up once and keep it.
class ControlRef {
  public:
    ControlRef() = default;
    ControlRef(Control* control);  // NOLINT: implicit, like the pointer it stands for
    Control* get() const;
    Control* operator->() const { return get(); }
    explicit operator bool() const { return get() != nullptr; }
    void reset() { *this = ControlRef(); }

  private:
    Control* control_ = nullptr;
    std::weak_ptr<const void> lifetime_;
};

}  // namespace korvane::ui
