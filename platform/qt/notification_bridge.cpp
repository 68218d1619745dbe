#include "platform/qt/notification_bridge.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextEdit>

#include "platform/qt/qt_control.h"

namespace korvane::qt {
namespace {

constexpr char kAttached[] = "korvane_attached";
constexpr char kWindowInitSent[] = "korvane_windowinit_sent";
// Text of a line edit whose Return already sent "killfocus"; the focus loss that
// usually follows sends nothing more unless the text changed since.
constexpr char kReturnedText[] = "korvane_returned_text";

thread_local int silentDepth = 0;

bool isEdit(const QObject* o) {
    return qobject_cast<const QLineEdit*>(o) != nullptr ||
           qobject_cast<const QTextEdit*>(o) != nullptr ||
           qobject_cast<const QPlainTextEdit*>(o) != nullptr ||
           qobject_cast<const QAbstractSpinBox*>(o) != nullptr;
}

class BridgeFilter : public QObject {
  public:
    using QObject::QObject;

    static BridgeFilter* instance() {
        static QPointer<BridgeFilter> filter;
        if (filter.isNull()) {
            filter = new BridgeFilter(QCoreApplication::instance());
        }
        return filter.data();
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget == nullptr) {
            return false;
        }
        switch (event->type()) {
            case QEvent::FocusIn:
                onFocus(widget, static_cast<QFocusEvent*>(event), true);
                break;
            case QEvent::FocusOut:
                onFocus(widget, static_cast<QFocusEvent*>(event), false);
                break;
            case QEvent::Show:
                if (widget->isWindow() && !widget->property(kWindowInitSent).toBool()) {
                    widget->setProperty(kWindowInitSent, true);
                    emitNotification(widget, ui::notify::kWindowInit);
                }
                break;
            default:
                break;
        }
        return false;
    }

  private:
    static void onFocus(QWidget* widget, QFocusEvent* event, bool in) {
        // A popup (context menu) takes the focus only for a moment.
        if (!isEdit(widget) || event->reason() == Qt::PopupFocusReason) {
            return;
        }
        if (in) {
            widget->setProperty(kReturnedText, QVariant());
            emitNotification(widget, ui::notify::kSetFocus);
            return;
        }
        const QVariant returned = widget->property(kReturnedText);
        widget->setProperty(kReturnedText, QVariant());
        if (const auto* line = qobject_cast<QLineEdit*>(widget);
            line != nullptr && returned.isValid() && returned.toString() == line->text()) {
            return;
        }
        emitNotification(widget, ui::notify::kKillFocus);
    }
};

void connectWidget(QWidget* w) {
    if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        QObject::connect(button, &QAbstractButton::toggled, button, [button](bool) {
            if (button->isCheckable()) {
                emitNotification(button, ui::notify::kSelectChanged);
            }
        });
        QObject::connect(button, &QAbstractButton::clicked, button,
                         [button] { emitNotification(button, ui::notify::kClick); });
    } else if (auto* slider = qobject_cast<QAbstractSlider*>(w)) {
        QObject::connect(slider, &QAbstractSlider::sliderMoved, slider, [slider](int) {
            emitNotification(slider, ui::notify::kMoveValueChanged);
        });
        QObject::connect(slider, &QAbstractSlider::sliderReleased, slider,
                         [slider] { emitNotification(slider, ui::notify::kValueChanged); });
        // Keys, the wheel and clicks on the groove: the position is already the new
        // one (the control's value reads it) and the value follows right after.
        QObject::connect(slider, &QAbstractSlider::actionTriggered, slider, [slider](int action) {
            if (action == QAbstractSlider::SliderNoAction || slider->isSliderDown() ||
                slider->sliderPosition() == slider->value()) {
                return;
            }
            emitNotification(slider, ui::notify::kValueChanged);
        });
    } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
        QObject::connect(combo, &QComboBox::activated, combo, [combo](int index) {
            emitNotification(combo, ui::notify::kItemSelect, index);
        });
    } else if (auto* list = qobject_cast<QListWidget*>(w)) {
        QObject::connect(list, &QListWidget::currentRowChanged, list, [list](int row) {
            if (row >= 0) {
                emitNotification(list, ui::notify::kItemSelect, row);
            }
        });
        QObject::connect(list, &QListWidget::itemActivated, list, [list](QListWidgetItem* item) {
            emitNotification(list, ui::notify::kItemActivate, list->row(item));
        });
    }
    if (auto* line = qobject_cast<QLineEdit*>(w)) {
        QObject::connect(line, &QLineEdit::returnPressed, line, [line] {
            line->setProperty(kReturnedText, line->text());
            emitNotification(line, ui::notify::kKillFocus);
        });
    }
    if (isEdit(w) || w->isWindow()) {
        w->installEventFilter(BridgeFilter::instance());
    }
}

void attachTree(QWidget* w) {
    if (!w->property(kAttached).toBool()) {
        w->setProperty(kAttached, true);
        connectWidget(w);
    }
    for (QWidget* child : controlChildren(w)) {
        attachTree(child);
    }
}

}  // namespace

void attachNotifications(QWidget* root) {
    if (root == nullptr) {
        return;
    }
    attachTree(root);
    // A root may become a window later (a piece loaded without a parent).
    root->installEventFilter(BridgeFilter::instance());
}

bool emitNotification(QWidget* sender, std::string_view type, std::int64_t wParam,
                      std::int64_t lParam) {
    if (sender == nullptr || SilentScope::active()) {
        return false;
    }
    return QtControl::of(sender)->emitNotification(type, wParam, lParam);
}

SilentScope::SilentScope() {
    ++silentDepth;
}

SilentScope::~SilentScope() {
    --silentDepth;
}

bool SilentScope::active() {
    return silentDepth > 0;
}

}  // namespace korvane::qt
