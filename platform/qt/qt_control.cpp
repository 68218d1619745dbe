#include "platform/qt/qt_control.h"

#include <algorithm>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QListView>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QSpinBox>
#include <QStackedWidget>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QTextEdit>

#include "platform/qt/notification_bridge.h"
#include "platform/qt/qt_text.h"
#include "platform/qt/skin_style.h"
#include "ui/argb_text.h"

namespace korvane::qt {
namespace {

constexpr char kClassProperty[] = "korvane_class";
constexpr char kFallbackText[] = "korvane_text";
constexpr int kHiddenItemRole = Qt::UserRole + 1;

// UI thread only, like every widget.
QHash<const QWidget*, QtControl*>& wrappers() {
    static QHash<const QWidget*, QtControl*> map;
    return map;
}

bool isLeafKind(ui::ControlKind kind) {
    return kind != ui::ControlKind::Container && kind != ui::ControlKind::Tab;
}

// A tab widget's pages sit in an internal stacked widget; a scroll area's
// content in its internal viewport. Other internal parts are not controls.
bool isTransparentInternal(const QWidget* w) {
    const QString name = w->objectName();
    return name == QLatin1String("qt_tabwidget_stackedwidget") ||
           name == QLatin1String("qt_scrollarea_viewport");
}

void collectChildren(QWidget* widget, QList<QWidget*>& out) {
    for (QObject* object : widget->children()) {
        auto* child = qobject_cast<QWidget*>(object);
        if (child == nullptr || child->isWindow()) {
            continue;
        }
        if (isInternalWidget(child)) {
            if (isTransparentInternal(child)) {
                collectChildren(child, out);
            }
            continue;
        }
        out.push_back(child);
    }
}

QWidget* findWidget(QWidget* widget, const QString& name) {
    if (widget->objectName().compare(name, Qt::CaseInsensitive) == 0) {
        return widget;
    }
    for (QWidget* child : controlChildren(widget)) {
        if (QWidget* hit = findWidget(child, name)) {
            return hit;
        }
    }
    return nullptr;
}

// Reads a property by the name given, else by its lower-case spelling (the
// skin's attributes are lower case).
QVariant readProperty(const QWidget* w, const QString& name) {
    QVariant v = w->property(name.toUtf8().constData());
    if (!v.isValid()) {
        v = w->property(name.toLower().toUtf8().constData());
    }
    return v;
}

QString stringProperty(const QWidget* w, const char* name) {
    return w->property(name).toString();
}

void setLookProperty(QWidget* w, const char* name, const QString& value) {
    w->setProperty(name, value.isEmpty() ? QVariant() : QVariant(value));
    applySkinDecoration(w);
}

// Unchecking an exclusive button needs its exclusivity lifted for a moment.
void setCheckedAllowingNone(QAbstractButton* button, bool checked) {
    if (checked) {
        button->setChecked(true);
        return;
    }
    QButtonGroup* group = button->group();
    const bool groupExclusive = group != nullptr && group->exclusive();
    const bool autoExclusive = button->autoExclusive();
    if (groupExclusive) {
        group->setExclusive(false);
    }
    button->setAutoExclusive(false);
    button->setChecked(false);
    button->setAutoExclusive(autoExclusive);
    if (groupExclusive) {
        group->setExclusive(true);
    }
}

}  // namespace

bool isInternalWidget(const QWidget* widget) {
    return widget->objectName().startsWith(QLatin1String("qt_"));
}

QList<QWidget*> controlChildren(QWidget* widget) {
    QList<QWidget*> out;
    if (widget == nullptr) {
        return out;
    }
    if (auto* tabs = qobject_cast<QTabWidget*>(widget)) {
        for (int i = 0; i < tabs->count(); ++i) {
            out.push_back(tabs->widget(i));
        }
        return out;
    }
    if (auto* stack = qobject_cast<QStackedWidget*>(widget)) {
        for (int i = 0; i < stack->count(); ++i) {
            out.push_back(stack->widget(i));
        }
        return out;
    }
    if (isLeafKind(QtControl::kindOf(widget))) {
        return out;
    }
    collectChildren(widget, out);
    return out;
}

QtControl::QtControl(QWidget* widget) : QObject(widget), widget_(widget) {
    setObjectName(QStringLiteral("qt_korvane_control"));
    wrappers().insert(widget, this);
}

QtControl::~QtControl() {
    wrappers().remove(widget_);
}

QtControl* QtControl::of(QWidget* widget) {
    if (widget == nullptr) {
        return nullptr;
    }
    if (QtControl* existing = wrappers().value(widget, nullptr)) {
        return existing;
    }
    return new QtControl(widget);
}

QWidget* QtControl::widgetOf(const ui::Control* control) {
    const auto* qc = dynamic_cast<const QtControl*>(control);
    return qc != nullptr ? qc->widget_ : nullptr;
}

ui::ControlKind QtControl::kindOf(const QWidget* w) {
    if (const auto* button = qobject_cast<const QAbstractButton*>(w)) {
        return button->isCheckable() ? ui::ControlKind::Option : ui::ControlKind::Button;
    }
    if (qobject_cast<const QAbstractSlider*>(w) != nullptr)
        return ui::ControlKind::Slider;
    if (qobject_cast<const QProgressBar*>(w) != nullptr)
        return ui::ControlKind::Progress;
    if (qobject_cast<const QLineEdit*>(w) != nullptr ||
        qobject_cast<const QTextEdit*>(w) != nullptr ||
        qobject_cast<const QPlainTextEdit*>(w) != nullptr ||
        qobject_cast<const QAbstractSpinBox*>(w) != nullptr) {
        return ui::ControlKind::Edit;
    }
    if (qobject_cast<const QComboBox*>(w) != nullptr)
        return ui::ControlKind::Combo;
    if (qobject_cast<const QAbstractItemView*>(w) != nullptr)
        return ui::ControlKind::List;
    if (qobject_cast<const QTabWidget*>(w) != nullptr ||
        qobject_cast<const QStackedWidget*>(w) != nullptr) {
        return ui::ControlKind::Tab;
    }
    if (qobject_cast<const QLabel*>(w) != nullptr)
        return ui::ControlKind::Label;
    return ui::ControlKind::Container;
}

std::string QtControl::name() const {
    return toStdString(widget_->objectName());
}

std::string QtControl::className() const {
    const QVariant skinClass = widget_->property(kClassProperty);
    if (skinClass.isValid()) {
        return toStdString(skinClass.toString());
    }
    return widget_->metaObject()->className();
}

ui::Control* QtControl::parent() const {
    if (widget_->isWindow()) {
        return nullptr;
    }
    QWidget* p = widget_->parentWidget();
    while (p != nullptr && isInternalWidget(p) && !p->isWindow()) {
        p = p->parentWidget();
    }
    return of(p);
}

std::vector<ui::Control*> QtControl::children() const {
    std::vector<ui::Control*> out;
    for (QWidget* child : controlChildren(widget_)) {
        out.push_back(of(child));
    }
    return out;
}

ui::Control* QtControl::find(std::string_view name) {
    return of(findWidget(widget_, toQString(name)));
}

std::string QtControl::text() const {
    if (const auto* label = qobject_cast<const QLabel*>(widget_))
        return toStdString(label->text());
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget_))
        return toStdString(button->text());
    if (const auto* line = qobject_cast<const QLineEdit*>(widget_))
        return toStdString(line->text());
    if (const auto* edit = qobject_cast<const QTextEdit*>(widget_))
        return toStdString(edit->toPlainText());
    if (const auto* plain = qobject_cast<const QPlainTextEdit*>(widget_)) {
        return toStdString(plain->toPlainText());
    }
    if (const auto* combo = qobject_cast<const QComboBox*>(widget_))
        return toStdString(combo->currentText());
    if (const auto* group = qobject_cast<const QGroupBox*>(widget_))
        return toStdString(group->title());
    if (widget_->isWindow())
        return toStdString(widget_->windowTitle());
    return toStdString(stringProperty(widget_, kFallbackText));
}

void QtControl::setText(std::string_view text) {
    const QString t = toQString(text);
    SilentScope silent;
    if (auto* label = qobject_cast<QLabel*>(widget_)) {
        label->setText(t);
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget_)) {
        button->setText(t);
    } else if (auto* line = qobject_cast<QLineEdit*>(widget_)) {
        line->setText(t);
    } else if (auto* edit = qobject_cast<QTextEdit*>(widget_)) {
        edit->setPlainText(t);
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(widget_)) {
        plain->setPlainText(t);
    } else if (auto* combo = qobject_cast<QComboBox*>(widget_)) {
        // A fixed list can only show one of its items.
        if (combo->isEditable()) {
            combo->setEditText(t);
        } else if (const int index = combo->findText(t); index >= 0) {
            combo->setCurrentIndex(index);
        }
    } else if (auto* group = qobject_cast<QGroupBox*>(widget_)) {
        group->setTitle(t);
    } else if (widget_->isWindow()) {
        widget_->setWindowTitle(t);
    } else {
        widget_->setProperty(kFallbackText, t);
    }
}

std::string QtControl::toolTip() const {
    return toStdString(widget_->toolTip());
}

void QtControl::setToolTip(std::string_view text) {
    widget_->setToolTip(toQString(text));
}

bool QtControl::visible() const {
    return !widget_->isHidden();
}

void QtControl::setVisible(bool visible) {
    widget_->setVisible(visible);
}

bool QtControl::enabled() const {
    return !widget_->testAttribute(Qt::WA_ForceDisabled);
}

void QtControl::setEnabled(bool enabled) {
    widget_->setEnabled(enabled);
}

ui::Argb QtControl::backgroundColour() const {
    return ui::parseArgb(toStdString(stringProperty(widget_, "bkcolor"))).value_or(0);
}

void QtControl::setBackgroundColour(ui::Argb colour) {
    setLookProperty(widget_, "bkcolor",
                    colour != 0 ? toQString(ui::formatArgb(colour)) : QString());
}

std::string QtControl::backgroundImage() const {
    return toStdString(stringProperty(widget_, "bkimage"));
}

void QtControl::setBackgroundImage(std::string_view image) {
    setLookProperty(widget_, "bkimage", toQString(image));
}

std::string QtControl::foregroundImage() const {
    return toStdString(stringProperty(widget_, "foreimage"));
}

void QtControl::setForegroundImage(std::string_view image) {
    setLookProperty(widget_, "foreimage", toQString(image));
}

std::string QtControl::userData() const {
    return toStdString(stringProperty(widget_, "userdata"));
}

void QtControl::setUserData(std::string_view data) {
    widget_->setProperty("userdata", toQString(data));
}

std::string QtControl::attribute(std::string_view name) const {
    const QString key = toQString(name).toLower();
    if (key == QLatin1String("text"))
        return text();
    if (key == QLatin1String("tooltip"))
        return toolTip();
    return toStdString(readProperty(widget_, toQString(name)).toString());
}

void QtControl::setAttribute(std::string_view name, std::string_view value) {
    const QString key = toQString(name);
    const QString lower = key.toLower();
    const QString v = toQString(value);
    if (lower == QLatin1String("text")) {
        setText(value);
        return;
    }
    if (lower == QLatin1String("tooltip")) {
        setToolTip(value);
        return;
    }
    SilentScope silent;
    // A declared property by its own spelling (Qt converts the text), else a
    // dynamic one under the skin's lower-case name.
    const QByteArray exact = key.toUtf8();
    if (widget_->metaObject()->indexOfProperty(exact.constData()) >= 0) {
        widget_->setProperty(exact.constData(), v);
    } else {
        widget_->setProperty(lower.toUtf8().constData(), v.isEmpty() ? QVariant() : QVariant(v));
    }
    if (lower == QLatin1String("bkcolor") || lower == QLatin1String("bkimage") ||
        lower == QLatin1String("foreimage")) {
        applySkinDecoration(widget_);
    } else {
        // Style-sheet rules may select on the attribute (QSlider[thumbimage=...]).
        widget_->style()->unpolish(widget_);
        widget_->style()->polish(widget_);
    }
    widget_->update();
}

bool QtControl::selected() const {
    const auto* button = qobject_cast<const QAbstractButton*>(widget_);
    return button != nullptr && button->isCheckable() && button->isChecked();
}

void QtControl::setSelected(bool selected, ui::Notify notify) {
    auto* button = qobject_cast<QAbstractButton*>(widget_);
    if (button == nullptr || !button->isCheckable() || button->isChecked() == selected) {
        return;
    }
    if (notify == ui::Notify::No) {
        SilentScope silent;
        setCheckedAllowingNone(button, selected);
    } else {
        setCheckedAllowingNone(button, selected);
    }
}

int QtControl::value() const {
    if (const auto* slider = qobject_cast<const QAbstractSlider*>(widget_))
        return slider->sliderPosition();
    if (const auto* progress = qobject_cast<const QProgressBar*>(widget_))
        return progress->value();
    if (const auto* spin = qobject_cast<const QSpinBox*>(widget_))
        return spin->value();
    return 0;
}

void QtControl::setValue(int value) {
    SilentScope silent;
    if (auto* slider = qobject_cast<QAbstractSlider*>(widget_)) {
        slider->setValue(value);
    } else if (auto* progress = qobject_cast<QProgressBar*>(widget_)) {
        progress->setValue(std::clamp(value, progress->minimum(), progress->maximum()));
    } else if (auto* spin = qobject_cast<QSpinBox*>(widget_)) {
        spin->setValue(value);
    }
}

int QtControl::minimum() const {
    if (const auto* slider = qobject_cast<const QAbstractSlider*>(widget_))
        return slider->minimum();
    if (const auto* progress = qobject_cast<const QProgressBar*>(widget_))
        return progress->minimum();
    if (const auto* spin = qobject_cast<const QSpinBox*>(widget_))
        return spin->minimum();
    return 0;
}

int QtControl::maximum() const {
    if (const auto* slider = qobject_cast<const QAbstractSlider*>(widget_))
        return slider->maximum();
    if (const auto* progress = qobject_cast<const QProgressBar*>(widget_))
        return progress->maximum();
    if (const auto* spin = qobject_cast<const QSpinBox*>(widget_))
        return spin->maximum();
    return 0;
}

void QtControl::setRange(int minimum, int maximum) {
    SilentScope silent;
    maximum = std::max(minimum, maximum);
    if (auto* slider = qobject_cast<QAbstractSlider*>(widget_)) {
        slider->setRange(minimum, maximum);
    } else if (auto* progress = qobject_cast<QProgressBar*>(widget_)) {
        const int kept = std::clamp(progress->value(), minimum, maximum);
        progress->setRange(minimum, maximum);
        progress->setValue(kept);
    } else if (auto* spin = qobject_cast<QSpinBox*>(widget_)) {
        spin->setRange(minimum, maximum);
    }
}

int QtControl::itemCount() const {
    if (const auto* combo = qobject_cast<const QComboBox*>(widget_))
        return combo->count();
    if (const auto* list = qobject_cast<const QListWidget*>(widget_))
        return list->count();
    return 0;
}

int QtControl::addItem(std::string_view text, std::string_view data) {
    SilentScope silent;
    if (auto* combo = qobject_cast<QComboBox*>(widget_)) {
        combo->addItem(toQString(text), toQString(data));
        return combo->count() - 1;
    }
    if (auto* list = qobject_cast<QListWidget*>(widget_)) {
        auto* item = new QListWidgetItem(toQString(text), list);
        item->setData(Qt::UserRole, toQString(data));
        return list->count() - 1;
    }
    return -1;
}

void QtControl::clearItems() {
    SilentScope silent;
    if (auto* combo = qobject_cast<QComboBox*>(widget_)) {
        combo->clear();
    } else if (auto* list = qobject_cast<QListWidget*>(widget_)) {
        list->clear();
    }
}

std::string QtControl::itemText(int index) const {
    if (index < 0 || index >= itemCount()) {
        return {};
    }
    if (const auto* combo = qobject_cast<const QComboBox*>(widget_)) {
        return toStdString(combo->itemText(index));
    }
    return toStdString(qobject_cast<const QListWidget*>(widget_)->item(index)->text());
}

std::string QtControl::itemData(int index) const {
    if (index < 0 || index >= itemCount()) {
        return {};
    }
    if (const auto* combo = qobject_cast<const QComboBox*>(widget_)) {
        return toStdString(combo->itemData(index).toString());
    }
    return toStdString(
        qobject_cast<const QListWidget*>(widget_)->item(index)->data(Qt::UserRole).toString());
}

int QtControl::currentIndex() const {
    if (const auto* combo = qobject_cast<const QComboBox*>(widget_))
        return combo->currentIndex();
    if (const auto* list = qobject_cast<const QListWidget*>(widget_))
        return list->currentRow();
    return -1;
}

bool QtControl::selectItem(int index, ui::Notify notify) {
    if (itemCount() == 0 && index != -1) {
        return false;
    }
    if (index < -1 || index >= itemCount()) {
        return false;
    }
    const int old = currentIndex();
    {
        SilentScope silent;
        if (auto* combo = qobject_cast<QComboBox*>(widget_)) {
            combo->setCurrentIndex(index);
        } else if (auto* list = qobject_cast<QListWidget*>(widget_)) {
            list->setCurrentRow(index);
        } else {
            return false;
        }
    }
    if (notify == ui::Notify::Yes && old != index) {
        qt::emitNotification(widget_, ui::notify::kItemSelect, index);
    }
    return true;
}

bool QtControl::itemVisible(int index) const {
    if (index < 0 || index >= itemCount()) {
        return false;
    }
    if (const auto* combo = qobject_cast<const QComboBox*>(widget_)) {
        return !combo->itemData(index, kHiddenItemRole).toBool();
    }
    return !qobject_cast<const QListWidget*>(widget_)->item(index)->isHidden();
}

void QtControl::setItemVisible(int index, bool visible) {
    if (index < 0 || index >= itemCount()) {
        return;
    }
    if (auto* combo = qobject_cast<QComboBox*>(widget_)) {
        combo->setItemData(index, !visible, kHiddenItemRole);
        if (auto* view = qobject_cast<QListView*>(combo->view())) {
            view->setRowHidden(index, !visible);
        }
        // Keeps the keys from stepping onto a hidden item.
        if (auto* model = qobject_cast<QStandardItemModel*>(combo->model())) {
            if (QStandardItem* item = model->item(index)) {
                item->setEnabled(visible);
            }
        }
        return;
    }
    qobject_cast<QListWidget*>(widget_)->item(index)->setHidden(!visible);
}

int QtControl::pageCount() const {
    if (const auto* tabs = qobject_cast<const QTabWidget*>(widget_))
        return tabs->count();
    if (const auto* stack = qobject_cast<const QStackedWidget*>(widget_))
        return stack->count();
    return 0;
}

int QtControl::currentPage() const {
    if (const auto* tabs = qobject_cast<const QTabWidget*>(widget_))
        return tabs->currentIndex();
    if (const auto* stack = qobject_cast<const QStackedWidget*>(widget_))
        return stack->currentIndex();
    return -1;
}

bool QtControl::selectPage(int index) {
    if (index < 0 || index >= pageCount()) {
        return false;
    }
    SilentScope silent;
    if (auto* tabs = qobject_cast<QTabWidget*>(widget_)) {
        tabs->setCurrentIndex(index);
    } else {
        qobject_cast<QStackedWidget*>(widget_)->setCurrentIndex(index);
    }
    return true;
}

void QtControl::setFocus() {
    widget_->setFocus(Qt::OtherFocusReason);
}

bool QtControl::hasFocus() const {
    return widget_->hasFocus();
}

}  // namespace korvane::qt
