#include "platform/qt/skin_loader.h"

#include <QBoxLayout>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QLayout>
#include <QStackedWidget>
#include <QTabWidget>
#include <QUiLoader>
#include <QVBoxLayout>

#include "platform/log/logger.h"
#include "platform/qt/notification_bridge.h"
#include "platform/qt/qt_control.h"
#include "platform/qt/qt_text.h"
#include "platform/qt/skin_style.h"
#include "ui/language.h"
#include "ui/skin_file.h"

namespace korvane::qt {

class SkinLoader::Loader : public QUiLoader {
  public:
    explicit Loader(const CustomWidgetFactory& factory) : factory_(factory) {}

    QWidget* createWidget(const QString& className, QWidget* parent, const QString& name) override {
        if (QWidget* custom = factory_.create(className, parent, name)) {
            return custom;
        }
        if (QWidget* standard = QUiLoader::createWidget(className, parent, name)) {
            // A custom class we do not know comes back as the base it extends.
            if (QLatin1String(standard->metaObject()->className()) != className) {
                setSkinClassName(standard, className);
            }
            return standard;
        }
        // A class nobody knows still loads, as a container under its own name, so
        // the rest of the file is usable; the required-controls check reports it
        // if code expected something else.
        log::debugf("skin: unknown class %s for %s, using a container",
                    className.toUtf8().constData(), name.toUtf8().constData());
        auto* placeholder = new QFrame(parent);
        placeholder->setObjectName(name);
        setSkinClassName(placeholder, className);
        return placeholder;
    }

  private:
    const CustomWidgetFactory& factory_;
};

SkinLoader::SkinLoader(QString skinFolder, CustomWidgetFactory factory)
    : skinFolder_(std::move(skinFolder)),
      factory_(std::move(factory)),
      loader_(std::make_unique<Loader>(factory_)) {}

SkinLoader::~SkinLoader() = default;

QString SkinLoader::filePath(std::string_view skinFile) const {
    return QDir(skinFolder_).filePath(toQString(ui::skinFileName(skinFile)));
}

QWidget* SkinLoader::load(std::string_view skinFile, QWidget* parent) {
    error_.clear();
    const QString path = filePath(skinFile);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error_ = QStringLiteral("cannot open %1: %2").arg(path, file.errorString());
        return nullptr;
    }
    loader_->setWorkingDirectory(QFileInfo(path).absoluteDir());
    QWidget* root = loader_->load(&file, parent);
    if (root == nullptr) {
        error_ = QStringLiteral("cannot load %1: %2").arg(path, loader_->errorString());
        return nullptr;
    }
    setSkinFolder(root, skinFolder_);
    applySkinDecorationTree(root);
    if (language_ != nullptr) {
        applyLanguageKeys(root, *language_);
    }
    attachNotifications(root);
    return root;
}

QWidget* SkinLoader::buildInto(std::string_view skinFile, QWidget* container, int index) {
    if (container == nullptr) {
        error_ = QStringLiteral("no container for %1").arg(toQString(skinFile));
        return nullptr;
    }
    QWidget* piece = load(skinFile, container);
    if (piece == nullptr) {
        return nullptr;
    }
    piece->setWindowFlags(Qt::Widget);
    if (auto* stack = qobject_cast<QStackedWidget*>(container)) {
        stack->insertWidget(index, piece);
    } else if (auto* tabs = qobject_cast<QTabWidget*>(container)) {
        tabs->insertTab(index, piece, piece->windowTitle());
    } else {
        QLayout* layout = container->layout();
        if (layout == nullptr) {
            auto* box = new QVBoxLayout(container);
            box->setContentsMargins(0, 0, 0, 0);
            box->setSpacing(0);
            layout = box;
        }
        if (auto* box = qobject_cast<QBoxLayout*>(layout)) {
            box->insertWidget(index, piece);
        } else {
            layout->addWidget(piece);
        }
        piece->show();  // hidden until shown, as every widget added to a shown parent
    }
    return piece;
}

void applyLanguageKeys(QWidget* root, const ui::Language& language) {
    if (root == nullptr) {
        return;
    }
    QList<QWidget*> widgets = root->findChildren<QWidget*>();
    widgets.prepend(root);
    for (QWidget* w : widgets) {
        const QVariant textKey = w->property("textkey");
        if (textKey.isValid()) {
            QtControl::of(w)->setText(language.text(toStdString(textKey.toString())));
        }
        const QVariant tipKey = w->property("tooltipkey");
        if (tipKey.isValid()) {
            w->setToolTip(toQString(language.text(toStdString(tipKey.toString()))));
        }
    }
}

}  // namespace korvane::qt
