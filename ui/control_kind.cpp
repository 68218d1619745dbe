#include "ui/control_kind.h"

#include <array>
#include <utility>

#include "ui/control_name.h"

namespace korvane::ui {

bool kindFits(ControlKind required, ControlKind actual) {
    if (required == ControlKind::Any || required == actual) {
        return true;
    }
    switch (required) {
        case ControlKind::Label:
            return actual == ControlKind::Button || actual == ControlKind::Option ||
                   actual == ControlKind::Edit || actual == ControlKind::Progress ||
                   actual == ControlKind::Slider;
        case ControlKind::Button:
            return actual == ControlKind::Option;
        case ControlKind::Progress:
            return actual == ControlKind::Slider;
        case ControlKind::Container:
            return actual == ControlKind::Tab || actual == ControlKind::List;
        default:
            return false;
    }
}

std::string_view kindName(ControlKind kind) {
    switch (kind) {
        case ControlKind::Container:
            return "container";
        case ControlKind::Label:
            return "label";
        case ControlKind::Button:
            return "button";
        case ControlKind::Option:
            return "option";
        case ControlKind::Slider:
            return "slider";
        case ControlKind::Progress:
            return "progress";
        case ControlKind::Edit:
            return "edit";
        case ControlKind::Combo:
            return "combo";
        case ControlKind::List:
            return "list";
        case ControlKind::Tab:
            return "tab";
        case ControlKind::Any:
            return "any";
    }
    return "any";
}

ControlKind kindForClassName(std::string_view className) {
    static constexpr std::array<std::pair<std::string_view, ControlKind>, 44> kTable{{
        {"Label", ControlKind::Label},
        {"Text", ControlKind::Label},
        {"QLabel", ControlKind::Label},
        {"Button", ControlKind::Button},
        {"QPushButton", ControlKind::Button},
        {"QToolButton", ControlKind::Button},
        {"HandImgButton", ControlKind::Button},
        {"Option", ControlKind::Option},
        {"CheckBox", ControlKind::Option},
        {"QCheckBox", ControlKind::Option},
        {"QRadioButton", ControlKind::Option},
        {"DeviceKeyButton", ControlKind::Option},
        {"HandImgSelectButton", ControlKind::Option},
        {"RedioMacroButton", ControlKind::Option},
        {"Slider", ControlKind::Slider},
        {"QSlider", ControlKind::Slider},
        {"QScrollBar", ControlKind::Slider},
        {"QDial", ControlKind::Slider},
        {"Progress", ControlKind::Progress},
        {"QProgressBar", ControlKind::Progress},
        {"CircleProgress", ControlKind::Progress},
        {"Edit", ControlKind::Edit},
        {"RichEdit", ControlKind::Edit},
        {"QLineEdit", ControlKind::Edit},
        {"QTextEdit", ControlKind::Edit},
        {"QPlainTextEdit", ControlKind::Edit},
        {"QSpinBox", ControlKind::Edit},
        {"QDoubleSpinBox", ControlKind::Edit},
        {"Combo", ControlKind::Combo},
        {"QComboBox", ControlKind::Combo},
        {"List", ControlKind::List},
        {"QListWidget", ControlKind::List},
        {"QListView", ControlKind::List},
        {"TabLayout", ControlKind::Tab},
        {"AnimationTabLayout", ControlKind::Tab},
        {"QTabWidget", ControlKind::Tab},
        {"QStackedWidget", ControlKind::Tab},
        {"Container", ControlKind::Container},
        {"HorizontalLayout", ControlKind::Container},
        {"VerticalLayout", ControlKind::Container},
        {"SelectPanel", ControlKind::Container},
        {"QWidget", ControlKind::Container},
        {"QFrame", ControlKind::Container},
        {"QGroupBox", ControlKind::Container},
    }};
    for (const auto& [name, kind] : kTable) {
        if (namesEqual(name, className)) {
            return kind;
        }
    }
    return ControlKind::Container;
}

}  // namespace korvane::ui
