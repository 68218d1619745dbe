#include "skin_test_support.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMutex>

#include <gtest/gtest.h>

#include <cstdio>

#include "platform/qt/skin_theme.h"
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
    // The program's own theme: search path, palette and style sheet.
    EXPECT_TRUE(qt::applySkinTheme(*qApp, skinFolder()));
    return qApp->styleSheet();
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
