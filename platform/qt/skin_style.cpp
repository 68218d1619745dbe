#include "platform/qt/skin_style.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QMetaClassInfo>
#include <QPainter>
#include <QPixmapCache>
#include <QStringList>
#include <QSvgRenderer>

#include <cmath>

#include "platform/qt/qt_text.h"
#include "ui/argb_text.h"

namespace korvane::qt {
namespace {

constexpr char kSkinDir[] = "korvane_skin_dir";
constexpr char kBaseStyle[] = "korvane_base_style";
constexpr char kStyleId[] = "korvane_sid";

// The file named by an image text: the value of file='...' (or "..."), else the
// whole text.
QString imageFile(const QString& imageText) {
    const QString text = imageText.trimmed();
    const int key = text.indexOf(QLatin1String("file="), 0, Qt::CaseInsensitive);
    if (key < 0) {
        return text;
    }
    const int quote = key + 5;
    if (quote >= text.size() ||
        (text[quote] != QLatin1Char('\'') && text[quote] != QLatin1Char('"'))) {
        return QString();
    }
    const int end = text.indexOf(text[quote], quote + 1);
    return end < 0 ? QString() : text.mid(quote + 1, end - quote - 1);
}

bool isSvg(const QString& path) {
    return QFileInfo(path).suffix().compare(QLatin1String("svg"), Qt::CaseInsensitive) == 0;
}

// The code names images with ".png"; the skin ships most of them as drawings.
QString withSvgFallback(const QString& path) {
    if (QFileInfo::exists(path) || isSvg(path)) {
        return path;
    }
    const QFileInfo info(path);
    const QString svg = info.dir().filePath(info.completeBaseName() + QLatin1String(".svg"));
    return QFileInfo::exists(svg) ? svg : path;
}

QPixmap renderSvg(const QString& path, const QWidget* widget, QSize size) {
    if (!QFileInfo::exists(path)) {
        return QPixmap();
    }
    QSvgRenderer renderer(path);
    if (!renderer.isValid()) {
        return QPixmap();
    }
    if (size.isEmpty() && widget != nullptr) {
        size = widget->size();
    }
    if (size.isEmpty()) {
        size = renderer.defaultSize();
    }
    if (size.isEmpty()) {
        return QPixmap();
    }
    const qreal ratio = widget != nullptr ? widget->devicePixelRatioF() : 1.0;
    constexpr qreal kLargestSide = 8192;  // beyond any screen; keeps the sizes below in range
    if (size.width() * ratio > kLargestSide || size.height() * ratio > kLargestSide) {
        return QPixmap();
    }
    const QString key = QStringLiteral("korvane-svg:%1@%2x%3*%4")
                            .arg(path)
                            .arg(size.width())
                            .arg(size.height())
                            .arg(ratio);
    QPixmap pixmap;
    if (QPixmapCache::find(key, &pixmap)) {
        return pixmap;
    }
    QImage image(static_cast<int>(std::ceil(size.width() * ratio)),
                 static_cast<int>(std::ceil(size.height() * ratio)),
                 QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) {
        return QPixmap();
    }
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(image.size())));
    }
    image.setDevicePixelRatio(ratio);
    pixmap = QPixmap::fromImage(image);
    QPixmapCache::insert(key, pixmap);
    return pixmap;
}

QString cssUrl(const QString& path) {
    QString escaped = path;
    escaped.replace(QLatin1Char('\\'), QLatin1String("\\\\"))
        .replace(QLatin1Char('"'), QLatin1String("\\\""));
    return QStringLiteral("url(\"%1\")").arg(escaped);
}

}  // namespace

void setSkinFolder(QWidget* root, const QString& folder) {
    if (root != nullptr) {
        root->setProperty(kSkinDir, folder);
    }
}

QString skinFolderOf(const QWidget* widget) {
    for (const QWidget* w = widget; w != nullptr; w = w->parentWidget()) {
        const QVariant dir = w->property(kSkinDir);
        if (dir.isValid()) {
            return dir.toString();
        }
    }
    if (const QCoreApplication* app = QCoreApplication::instance()) {
        return app->property(kSkinDir).toString();
    }
    return QString();
}

QString resolveSkinImage(const QWidget* widget, const QString& imageText) {
    const QString file = imageFile(imageText);
    if (file.isEmpty()) {
        return QString();
    }
    if (QFileInfo(file).isAbsolute()) {
        return withSvgFallback(QDir::cleanPath(file));
    }
    const QString folder = skinFolderOf(widget);
    return withSvgFallback(
        QDir::cleanPath(folder.isEmpty() ? file : QDir(folder).filePath(file)));
}

QPixmap skinPixmap(const QWidget* widget, const QString& imageText, QSize size) {
    const QString path = resolveSkinImage(widget, imageText);
    if (path.isEmpty()) {
        return QPixmap();
    }
    if (isSvg(path)) {
        return renderSvg(path, widget, size);
    }
    QPixmap pixmap;
    if (!QPixmapCache::find(path, &pixmap)) {
        if (pixmap.load(path)) {
            QPixmapCache::insert(path, pixmap);
        }
    }
    return pixmap;
}

bool paintsOwnBackground(const QWidget* widget) {
    return widget->metaObject()->indexOfClassInfo("korvaneOwnBackground") >= 0;
}

void applySkinDecoration(QWidget* widget) {
    if (widget == nullptr) {
        return;
    }
    const auto colour = ui::parseArgb(toStdString(widget->property("bkcolor").toString()));
    const QString background = resolveSkinImage(widget, widget->property("bkimage").toString());
    const QString foreground = resolveSkinImage(widget, widget->property("foreimage").toString());
    const bool ownBackground = paintsOwnBackground(widget);

    QStringList declarations;
    if (colour && !ownBackground) {
        declarations << QStringLiteral("background-color: #%1;")
                            .arg(static_cast<qulonglong>(*colour), 8, 16, QLatin1Char('0'));
    }
    if (!background.isEmpty()) {
        declarations << QStringLiteral("border-image: %1;").arg(cssUrl(background));
    }
    if (!foreground.isEmpty()) {
        declarations << QStringLiteral("image: %1;").arg(cssUrl(foreground));
    }
    if (declarations.isEmpty() && !widget->property(kBaseStyle).isValid()) {
        widget->update();  // nothing of ours in its style sheet yet
        return;
    }
    // Qt draws style sheet backgrounds of its own widget classes only; a class
    // derived from QWidget itself (SelectPanel) has to ask for it.
    if (!declarations.isEmpty() && !ownBackground &&
        widget->metaObject()->superClass() == &QWidget::staticMetaObject) {
        widget->setAttribute(Qt::WA_StyledBackground, true);
    }
    if (!widget->property(kBaseStyle).isValid()) {
        widget->setProperty(kBaseStyle, widget->styleSheet());
    }
    static quint64 nextId = 0;
    if (!widget->property(kStyleId).isValid()) {
        widget->setProperty(kStyleId, QString::number(++nextId));
    }
    // A selector keeps the rules off the children (a bare declaration list would
    // reach them too).
    const QString selector =
        QStringLiteral("*[%1=\"%2\"]")
            .arg(QLatin1String(kStyleId), widget->property(kStyleId).toString());
    QString base = widget->property(kBaseStyle).toString().trimmed();
    if (!base.isEmpty() && !base.contains(QLatin1Char('{'))) {
        base = QStringLiteral("%1 { %2 }").arg(selector, base);
    }
    QString sheet = base;
    if (!declarations.isEmpty()) {
        sheet += QStringLiteral("\n%1 { %2 }").arg(selector, declarations.join(QLatin1Char(' ')));
    }
    widget->setStyleSheet(sheet);
    widget->update();
}

void applySkinDecorationTree(QWidget* root) {
    if (root == nullptr) {
        return;
    }
    QList<QWidget*> widgets = root->findChildren<QWidget*>();
    widgets.prepend(root);
    for (QWidget* w : widgets) {
        if (w->property("bkcolor").isValid() || w->property("bkimage").isValid() ||
            w->property("foreimage").isValid()) {
            applySkinDecoration(w);
        }
    }
}

}  // namespace korvane::qt
