#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// A notification from a control to the code that handles its window: what
// happened ("click", "valuechanged", ...), which control it came from, and two
// integer parameters whose meaning depends on the type.
namespace korvane::ui {

class Control;

// The types sent by the controls and the dispatcher. Handlers compare with
// Notification::is(); other types may appear and are to be ignored.
namespace notify {
// A button or option was clicked.
inline constexpr std::string_view kClick = "click";
// An option was selected or unselected.
inline constexpr std::string_view kSelectChanged = "selectchanged";
// A slider was released, or moved by keys, wheel or a click on its groove.
inline constexpr std::string_view kValueChanged = "valuechanged";
// A slider is being dragged.
inline constexpr std::string_view kMoveValueChanged = "movevaluechanged";
// A combo or list item was chosen; wParam = its index.
inline constexpr std::string_view kItemSelect = "itemselect";
// A list item was activated (Return, double click); wParam = its index.
inline constexpr std::string_view kItemActivate = "itemactivate";
// An edit lost the focus, or Return was pressed in it.
inline constexpr std::string_view kKillFocus = "killfocus";
// An edit got the focus.
inline constexpr std::string_view kSetFocus = "setfocus";
// A colour palette's colour changed; wParam = ARGB.
inline constexpr std::string_view kColorChanged = "colorchanged";
// A window was shown for the first time.
inline constexpr std::string_view kWindowInit = "windowinit";
// A control's timer expired; wParam = the timer id.
inline constexpr std::string_view kTimer = "timer";
// A drag selection over a panel ended; wParam = the number of selected buttons.
inline constexpr std::string_view kClickSelectEnd = "click_select_end";
}  // namespace notify

struct Notification {
    std::string type;
    Control* sender = nullptr;  // valid while the handler runs
    std::string senderName;
    std::int64_t wParam = 0;
    std::int64_t lParam = 0;

    bool is(std::string_view t) const { return type == t; }
    // Whether the sender's name equals `name` without regard to case.
    bool from(std::string_view name) const;
};

using NotificationHandler = std::function<void(const Notification&)>;

}  // namespace korvane::ui
