#include "platform/qt/custom_widget_factory.h"

#include <QFrame>

#include "platform/qt/circle_progress.h"
#include "platform/qt/colour_palette.h"
#include "platform/qt/device_key_button.h"
#include "platform/qt/image_button.h"
#include "platform/qt/select_panel.h"

namespace korvane::qt {
namespace {

template <typename W>
CustomWidgetFactory::Creator make() {
    return [](QWidget* parent) -> QWidget* { return new W(parent); };
}

QWidget* makeContainer(QWidget* parent) {
    return new QFrame(parent);
}

}  // namespace

void setSkinClassName(QWidget* widget, const QString& className) {
    widget->setProperty("korvane_class", className);
}

QStringList CustomWidgetFactory::standardClassNames() {
    return {QStringLiteral("DeviceKeyButton"),
            QStringLiteral("SelectPanel"),
            QStringLiteral("CircleProgress"),
            QStringLiteral("ColorPalette"),
            QStringLiteral("HandImgButton"),
            QStringLiteral("HandImgSelectButton"),
            QStringLiteral("RedioMacroButton"),
            QStringLiteral("ComboEditContainerElement"),
            QStringLiteral("AudioRecord"),
            QStringLiteral("DeviceOption"),
            QStringLiteral("MpDevicePower"),
            QStringLiteral("DeviceProfile"),
            QStringLiteral("LightControl"),
            QStringLiteral("KeySetControl"),
            QStringLiteral("MacroControl"),
            QStringLiteral("ShootControl"),
            QStringLiteral("MagicControl"),
            QStringLiteral("Voice6533Control"),
            QStringLiteral("KorvaneMouseDevice"),
            QStringLiteral("KorvaneKeyboardDevice"),
            QStringLiteral("KorvaneMousePadDevice"),
            QStringLiteral("KorvaneHS6533Device")};
}

CustomWidgetFactory CustomWidgetFactory::standard() {
    CustomWidgetFactory factory;
    for (const QString& name : standardClassNames()) {
        factory.registerClass(name, makeContainer);
    }
    factory.registerClass(QStringLiteral("DeviceKeyButton"), make<DeviceKeyButton>());
    factory.registerClass(QStringLiteral("SelectPanel"), make<SelectPanel>());
    factory.registerClass(QStringLiteral("CircleProgress"), make<CircleProgress>());
    factory.registerClass(QStringLiteral("ColorPalette"), make<ColourPalette>());
    factory.registerClass(QStringLiteral("HandImgButton"), make<HandImgButton>());
    factory.registerClass(QStringLiteral("HandImgSelectButton"), make<HandImgSelectButton>());
    factory.registerClass(QStringLiteral("RedioMacroButton"), make<RedioMacroButton>());
    return factory;
}

void CustomWidgetFactory::registerClass(const QString& className, Creator creator) {
    entries_.insert(className.toLower(), Entry{className, std::move(creator)});
}

bool CustomWidgetFactory::contains(const QString& className) const {
    return entries_.contains(className.toLower());
}

QStringList CustomWidgetFactory::classNames() const {
    QStringList names;
    for (const Entry& entry : entries_) {
        names.push_back(entry.name);
    }
    names.sort();
    return names;
}

QWidget* CustomWidgetFactory::create(const QString& className, QWidget* parent,
                                     const QString& objectName) const {
    const auto it = entries_.constFind(className.toLower());
    if (it == entries_.constEnd() || !it->creator) {
        return nullptr;
    }
    QWidget* widget = it->creator(parent);
    if (widget != nullptr) {
        widget->setObjectName(objectName);
        setSkinClassName(widget, it->name);
    }
    return widget;
}

}  // namespace korvane::qt
