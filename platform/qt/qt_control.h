#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

#include "ui/control.h"

// ui::Control over a QWidget. The control's name is the widget's object name; its
// class name is the skin's custom class name (set by the skin loader) or the Qt
// class name. Each property maps to what the widget kind has:
//   text       QLabel, QAbstractButton, QLineEdit, QTextEdit, QPlainTextEdit, QGroupBox
//              title, an editable QComboBox, a window's title; else a dynamic property
//   selected   a checkable QAbstractButton
//   value      QAbstractSlider (the handle's position), QProgressBar, QSpinBox
//   items      QComboBox, QListWidget (item data in Qt::UserRole)
//   pages      QStackedWidget, QTabWidget
//   images, background colour, user data: the skin's attributes "bkimage", "foreimage",
//              "bkcolor", "userdata" kept as dynamic properties and shown through a
//              style sheet (or painted by custom widgets that say so)
//   attribute  any Qt property by name, declared (converted from text) or dynamic
// One wrapper per widget, made on first use and destroyed with the widget.
// The children of a control are its child widgets, except for Qt's internal
// parts (objects named "qt_*"); the pages of a tab widget are its children.
namespace korvane::qt {

class QtControl : public QObject, public ui::Control {
  public:
    // The widget's wrapper (made on first use); nullptr for nullptr.
    static QtControl* of(QWidget* widget);
    // The widget behind a control, nullptr when it is not a QtControl.
    static QWidget* widgetOf(const ui::Control* control);
    static ui::ControlKind kindOf(const QWidget* widget);

    QWidget* widget() const { return widget_; }

    std::string name() const override;
    std::string className() const override;
    ui::ControlKind kind() const override { return kindOf(widget_); }
    ui::Control* parent() const override;
    std::vector<ui::Control*> children() const override;
    ui::Control* find(std::string_view name) override;

    std::string text() const override;
    void setText(std::string_view text) override;
    std::string toolTip() const override;
    void setToolTip(std::string_view text) override;
    bool visible() const override;
    void setVisible(bool visible) override;
    bool enabled() const override;
    void setEnabled(bool enabled) override;
    ui::Argb backgroundColour() const override;
    void setBackgroundColour(ui::Argb colour) override;
    std::string backgroundImage() const override;
    void setBackgroundImage(std::string_view image) override;
    std::string foregroundImage() const override;
    void setForegroundImage(std::string_view image) override;
    std::string userData() const override;
    void setUserData(std::string_view data) override;
    std::string attribute(std::string_view name) const override;
    void setAttribute(std::string_view name, std::string_view value) override;

    bool selected() const override;
    void setSelected(bool selected, ui::Notify notify = ui::Notify::Yes) override;

    int value() const override;
    void setValue(int value) override;
    int minimum() const override;
    int maximum() const override;
    void setRange(int minimum, int maximum) override;

    int itemCount() const override;
    int addItem(std::string_view text, std::string_view data = {}) override;
    void clearItems() override;
    std::string itemText(int index) const override;
    std::string itemData(int index) const override;
    int currentIndex() const override;
    bool selectItem(int index, ui::Notify notify = ui::Notify::Yes) override;
    bool itemVisible(int index) const override;
    void setItemVisible(int index, bool visible) override;

    int pageCount() const override;
    int currentPage() const override;
    bool selectPage(int index) override;

    void setFocus() override;
    bool hasFocus() const override;

    ~QtControl() override;

  private:
    explicit QtControl(QWidget* widget);

    QWidget* widget_;
};

// The widgets that stand for controls below `widget`, in order (see QtControl).
QList<QWidget*> controlChildren(QWidget* widget);
// Qt's internal parts of composite widgets are named "qt_*".
bool isInternalWidget(const QWidget* widget);

}  // namespace korvane::qt
