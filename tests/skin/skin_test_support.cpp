#include "skin_test_support.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMutex>
#include <QPalette>

#include <gtest/gtest.h>

#include <cstdio>

#include "platform/qt/qt_control.h"

// Under ThreadSanitizer: these tests start no threads of their own, but Qt converts
// and scales large images (the device drawings, the window grabs) on its pooled
// threads and hands its buffers and tasks between them through its own, not
// instrumented, synchronisation. Every report here would be one of those.
extern "C" const char* __tsan_default_suppressions() {
    return "race:libQt6Core.so.6\n"
           "race:libQt6Gui.so.6\n";
}

namespace korvane::skin::test {
namespace {

// Made in SetUp, not at start-up: listing the tests must work without a display.
class QtApplicationEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        app_ = std::make_unique<QApplication>(argc_, argv_);
    }
    void TearDown() override { app_.reset(); }

  private:
    int argc_ = 1;
    char name_[20] = "korvane_skin_tests";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> app_;
};

[[maybe_unused]] auto* const environment =
    ::testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);

QMutex warningsMutex;
std::vector<std::string>* warnings = nullptr;
QtMessageHandler previousHandler = nullptr;

void recordWarning(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    {
        QMutexLocker lock(&warningsMutex);
        if (warnings != nullptr && type != QtDebugMsg && type != QtInfoMsg) {
            warnings->push_back(message.toStdString());
        }
    }
    if (previousHandler != nullptr) {
        previousHandler(type, context, message);
    } else {
        std::fprintf(stderr, "%s\n", qPrintable(message));
    }
}

ui::Language loadLanguage(const char* code) {
    ui::Language language;
    std::string error;
    const bool loaded = language.load(
        ui::Language::fileFor(skinFolder().toStdString(), code), &error);
    EXPECT_TRUE(loaded) << error;
    return language;
}

}  // namespace

QString skinFolder() {
    return QStringLiteral(KORVANE_SKIN_DIR);
}

QString screenshotFolder() {
    return QStringLiteral(KORVANE_SKIN_SHOTS_DIR);
}

QStringList uiFiles() {
    QStringList files;
    const QDir root(skinFolder());
    QDirIterator it(skinFolder(), {QStringLiteral("*.ui")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        files << root.relativeFilePath(it.next());
    }
    files.sort();
    return files;
}

const ui::Language& english() {
    static const ui::Language language = loadLanguage("en");
    return language;
}

const ui::Language& chinese() {
    static const ui::Language language = loadLanguage("cn");
    return language;
}

QString applyTheme() {
    QDir::setSearchPaths(QStringLiteral("skin"), {skinFolder()});
    // The drawn controls (keys, lights, the battery ring) take a few colours the
    // style sheet cannot give them from the palette.
    QPalette palette = QApplication::palette();
    const QColor window(0x12, 0x14, 0x18);
    palette.setColor(QPalette::Window, window);
    palette.setColor(QPalette::WindowText, QColor(0xe6, 0xe9, 0xee));
    palette.setColor(QPalette::Base, QColor(0x15, 0x18, 0x1d));
    palette.setColor(QPalette::AlternateBase, QColor(0x18, 0x1b, 0x20));
    palette.setColor(QPalette::Text, QColor(0xe6, 0xe9, 0xee));
    palette.setColor(QPalette::Button, QColor(0x26, 0x2b, 0x33));
    palette.setColor(QPalette::ButtonText, QColor(0xe6, 0xe9, 0xee));
    palette.setColor(QPalette::Mid, QColor(0x3a, 0x41, 0x4d));
    palette.setColor(QPalette::Highlight, QColor(0x22, 0xc3, 0xe6));
    palette.setColor(QPalette::HighlightedText, QColor(0x0b, 0x14, 0x18));
    palette.setColor(QPalette::ToolTipBase, QColor(0x24, 0x2a, 0x33));
    palette.setColor(QPalette::ToolTipText, QColor(0xe6, 0xe9, 0xee));
    palette.setColor(QPalette::PlaceholderText, QColor(0x68, 0x71, 0x80));
    QApplication::setPalette(palette);

    QFile file(QDir(skinFolder()).filePath(QStringLiteral("style.qss")));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << file.errorString().toStdString();
    const QString sheet = QString::fromUtf8(file.readAll());
    qApp->setStyleSheet(sheet);
    return sheet;
}

WarningRecorder::WarningRecorder() {
    QMutexLocker lock(&warningsMutex);
    warnings = new std::vector<std::string>();
    previousHandler = qInstallMessageHandler(recordWarning);
}

WarningRecorder::~WarningRecorder() {
    qInstallMessageHandler(previousHandler);
    QMutexLocker lock(&warningsMutex);
    delete warnings;
    warnings = nullptr;
}

std::vector<std::string> WarningRecorder::take() {
    QMutexLocker lock(&warningsMutex);
    std::vector<std::string> out;
    out.swap(*warnings);
    return out;
}

Loaded::Loaded(const QString& file) : loader(skinFolder()) {
    loader.setLanguage(&english());
    root.reset(loader.load(file.toStdString()));
}

QWidget* Loaded::widget(const char* name) const {
    return qt::QtControl::widgetOf(qt::QtControl::of(root.get())->find(name));
}

}  // namespace korvane::skin::test
