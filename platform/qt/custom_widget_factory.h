#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>

// Creates the skin's custom control classes by name (compared without regard to
// case) when a skin file is loaded. The standard set holds every class name the
// skin uses; the basic controls are real widgets (DeviceKeyButton, SelectPanel,
// CircleProgress, HandImgButton, HandImgSelectButton, RedioMacroButton) and the
// panels and device pages not built yet are plain QFrame containers. Whoever
// builds one of those registers its creator under the same name.
namespace korvane::qt {

class CustomWidgetFactory {
  public:
    using Creator = std::function<QWidget*(QWidget* parent)>;

    // An empty factory.
    CustomWidgetFactory() = default;
    // The skin's classes.
    static CustomWidgetFactory standard();
    static QStringList standardClassNames();

    // Adds or replaces a class.
    void registerClass(const QString& className, Creator creator);
    bool contains(const QString& className) const;
    QStringList classNames() const;

    // A new widget of the class, named `objectName`, whose control class name is
    // the registered spelling; nullptr for a class not registered.
    QWidget* create(const QString& className, QWidget* parent, const QString& objectName) const;

  private:
    struct Entry {
        QString name;
        Creator creator;
    };
    QHash<QString, Entry> entries_;  // by lower-case name
};

// Marks a widget as an instance of a skin class (what QtControl::className reports).
void setSkinClassName(QWidget* widget, const QString& className);

}  // namespace korvane::qt
