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
    char name_[16] = "korvane_qt_test";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> app_;
};

[[maybe_unused]] auto* const environment =
    ::testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);

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
