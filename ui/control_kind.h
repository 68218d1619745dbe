#pragma once

#include <string_view>

// What a control behaves as, independent of the toolkit. The kinds follow the
// skin framework's control family: an option is a button, a button and an edit
// show text like a label, a slider is a progress bar that the user can move.
namespace korvane::ui {

enum class ControlKind {
    Container,  // holds other controls (layouts, frames, custom panels)
    Label,      // static text or image
    Button,     // clickable
    Option,     // clickable with a selected state (check box, radio, checkable button)
    Slider,     // value in a range that the user moves
    Progress,   // value in a range shown to the user
    Edit,       // text the user types
    Combo,      // drop-down list of items with one current item
    List,       // list of items
    Tab,        // pages of which one is shown
    Any,        // only as a requirement: any kind fits
};

// Whether a control of kind `actual` can serve where code expects `required`,
// e.g. an option serves as a button and a slider as a progress bar.
bool kindFits(ControlKind required, ControlKind actual);

// Lower-case name ("button", "option", ...); "any" for Any.
std::string_view kindName(ControlKind kind);

// The kind of a control class by its name, without regard to case: the skin
// framework's names ("Button", "Option", "Slider", "TabLayout", ...), Qt's
// ("QPushButton", "QCheckBox", "QSlider", "QStackedWidget", ...) and the skin's
// custom classes ("DeviceKeyButton", "SelectPanel", ...). Unknown names are
// containers. Used to build plain control trees and by tests.
ControlKind kindForClassName(std::string_view className);

}  // namespace korvane::ui
