#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QTemporaryDir>

#include <initializer_list>
#include <memory>

#include "platform/qt/select_panel.h"
#include "platform/qt/skin_style.h"
#include "qt_test_environment.h"

namespace korvane::qt {
namespace {

// A 20 x 10 drawing: left half red, right half blue.
constexpr char kHalves[] =
    "<svg xmlns='http://www.w3.org/2000/svg' width='20' height='10' viewBox='0 0 20 10'>"
    "<rect x='0' y='0' width='10' height='10' fill='#ff0000'/>"
    "<rect x='10' y='0' width='10' height='10' fill='#0000ff'/></svg>";

class SkinImages : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        ASSERT_TRUE(QDir(dir_.path()).mkpath(QStringLiteral("power")));
        owner_ = std::make_unique<QWidget>();
        setSkinFolder(owner_.get(), dir_.path());
    }

    QString path(const QString& file) const { return QDir(dir_.path()).filePath(file); }

    void write(const QString& file, const QByteArray& data) const {
        QFile out(path(file));
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        ASSERT_EQ(out.write(data), data.size());
    }

    void writePng(const QString& file) const {
        QImage image(4, 4, QImage::Format_ARGB32);
        image.fill(Qt::green);
        ASSERT_TRUE(image.save(path(file), "PNG"));
    }

    QTemporaryDir dir_;
    std::unique_ptr<QWidget> owner_;
};

TEST_F(SkinImages, AMissingFileFallsBackToTheDrawingOfTheSameName) {
    writePng(QStringLiteral("power/both.png"));
    write(QStringLiteral("power/both.svg"), kHalves);
    write(QStringLiteral("power/drawn.svg"), kHalves);
    writePng(QStringLiteral("power/raster.png"));
    write(QStringLiteral("power/v1.2.svg"), kHalves);

    struct Case {
        const char* asked;
        const char* resolved;  // relative to the skin folder
    };
    const Case cases[] = {
        {"file='power/both.png'", "power/both.png"},      // the named file wins
        {"file='power/drawn.png'", "power/drawn.svg"},    // only the drawing exists
        {"power/drawn.bmp", "power/drawn.svg"},           // any missing raster name
        {"file='power/raster.png'", "power/raster.png"},  // no drawing needed
        {"file='power/none.png'", "power/none.png"},      // neither: the name as asked
        {"file='power/none.svg'", "power/none.svg"},
        {"file='power/v1.2.png'", "power/v1.2.svg"},  // only the last suffix is replaced
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.asked);
        EXPECT_EQ(resolveSkinImage(owner_.get(), QString::fromUtf8(c.asked)),
                  path(QString::fromUtf8(c.resolved)));
    }
    // Absolute names fall back the same way.
    EXPECT_EQ(resolveSkinImage(nullptr, path(QStringLiteral("power/drawn.png"))),
              path(QStringLiteral("power/drawn.svg")));
    EXPECT_EQ(resolveSkinImage(owner_.get(), QString()), QString());
}

TEST_F(SkinImages, DrawingsAreRenderedAtTheSizeTheyAreShownAt) {
    write(QStringLiteral("power/drawn.svg"), kHalves);
    const QString asked = QStringLiteral("file='power/drawn.png'");

    struct Case {
        QSize widget;
        QSize requested;
        QSize expected;
    };
    const Case cases[] = {
        {QSize(80, 40), QSize(), QSize(80, 40)},         // the widget's size
        {QSize(80, 40), QSize(30, 60), QSize(30, 60)},   // an explicit size wins
        {QSize(0, 0), QSize(), QSize(20, 10)},           // the drawing's own size
        {QSize(80, 40), QSize(9000, 10), QSize()},       // absurd sizes give nothing
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.widget.width() << "x" << c.widget.height() << " "
                                        << c.requested.width() << "x" << c.requested.height());
        QLabel label(owner_.get());
        label.resize(c.widget);
        const QPixmap pixmap = skinPixmap(&label, asked, c.requested);
        if (!c.expected.isValid()) {
            EXPECT_TRUE(pixmap.isNull());
            continue;
        }
        ASSERT_FALSE(pixmap.isNull());
        const qreal ratio = label.devicePixelRatioF();
        EXPECT_EQ(pixmap.size(), c.expected * ratio);
        // Drawn over the whole area: red on the left, blue on the right.
        const QImage image = pixmap.toImage();
        EXPECT_EQ(image.pixelColor(1, image.height() / 2), QColor(Qt::red));
        EXPECT_EQ(image.pixelColor(image.width() - 2, image.height() / 2), QColor(Qt::blue));
    }
}

TEST_F(SkinImages, DamagedOrMissingDrawingsGiveNoImage) {
    write(QStringLiteral("power/damaged.svg"), "<svg xmlns='http://www.w3.org/2000/svg'><rect");
    write(QStringLiteral("power/empty.svg"), "");
    QLabel label(owner_.get());
    label.resize(40, 20);
    for (const char* asked : {"file='power/damaged.png'", "file='power/empty.svg'",
                              "file='power/none.png'", "file='power/none.svg'"}) {
        SCOPED_TRACE(asked);
        EXPECT_TRUE(skinPixmap(&label, QString::fromUtf8(asked)).isNull());
    }
}

TEST_F(SkinImages, BackgroundAttributesShowTheDrawing) {
    write(QStringLiteral("power/drawn.svg"), kHalves);
    QLabel label(owner_.get());
    label.setProperty("bkimage", QStringLiteral("file='power/drawn.png'"));
    applySkinDecoration(&label);
    EXPECT_TRUE(label.styleSheet().contains(path(QStringLiteral("power/drawn.svg"))))
        << label.styleSheet().toStdString();
    EXPECT_FALSE(label.styleSheet().contains(QStringLiteral("drawn.png")));

    // Also on a container class of our own, whose background Qt would not draw by itself.
    for (QWidget* w : std::initializer_list<QWidget*>{new SelectPanel(owner_.get()),
                                                      new QLabel(owner_.get())}) {
        SCOPED_TRACE(w->metaObject()->className());
        w->resize(40, 20);
        w->setProperty("bkimage", QStringLiteral("file='power/drawn.png'"));
        applySkinDecoration(w);
        const QImage shown = w->grab().toImage();
        ASSERT_FALSE(shown.isNull());
        EXPECT_EQ(shown.pixelColor(2, 10), QColor(Qt::red));
        EXPECT_EQ(shown.pixelColor(shown.width() - 3, 10), QColor(Qt::blue));
    }
}

}  // namespace
}  // namespace korvane::qt
