#include "qt_test_environment.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

#include "platform/qt/qt_control.h"

// Under ThreadSanitizer: Qt's own worker threads (the file dialog's file
// information thread) synchronise through Qt's uninstrumented mutexes, so
// destroying their wait condition looks like a race that is not one.
extern "C" const char* __tsan_default_suppressions() {
    return "race:QWaitCondition::~QWaitCondition\n";
}

namespace korvane::qt::test {
namespace {


}  // namespace

QString skinFolder() {
    return QStringLiteral(KORVANE_QT_TEST_SKIN);
}

LoadedPage::LoadedPage(std::string_view file) : loader(skinFolder()) {
    root = loader.load(file);
    if (root != nullptr) {
        QtControl::of(root)->setNotificationHandler([this](const ui::Notification& n) {
            log.push_back(n.type + ":" + n.senderName + ":" + std::to_string(n.wParam));
        });
    }
}

LoadedPage::~LoadedPage() {
    delete root;
}

QWidget* LoadedPage::widget(const char* name) const {
    return QtControl::widgetOf(QtControl::of(root)->find(name));
}

bool waitUntil(const std::function<bool()>& done) {
    return QTest::qWaitFor(done, 10000);
}

}  // namespace korvane::qt::test
