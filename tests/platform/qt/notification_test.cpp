#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>

#include "platform/qt/notification_bridge.h"
#include "platform/qt/qt_control.h"
#include "platform/qt/select_panel.h"
#include "qt_test_environment.h"

namespace korvane::qt {
namespace {

using Log = std::vector<std::string>;

// A shown test page, its "windowinit" already taken from the log.
struct ShownPage : test::LoadedPage {
    ShownPage() {
        root->show();
        EXPECT_EQ(log, (Log{"windowinit:root:0"}));
        log.clear();
    }
    ui::Control* control(const char* name) const { return QtControl::of(root)->find(name); }
};

TEST(Notifications, ButtonsAndOptions) {
    ShownPage page;
    QTest::mouseClick(page.get<QPushButton>("closebtn"), Qt::LeftButton);
    QTest::mouseClick(page.get<QCheckBox>("Deng_7color_check"), Qt::LeftButton);
    const QPoint indicator(6, 12);  // a radio button takes clicks on its indicator and text only
    QTest::mouseClick(page.get<QRadioButton>("polling_rate_option_1"), Qt::LeftButton, {},
                      indicator);
    QTest::mouseClick(page.get<QRadioButton>("polling_rate_option_1"), Qt::LeftButton, {},
                      indicator);  // stays selected
    EXPECT_EQ(page.log, (Log{"click:closebtn:0", "selectchanged:Deng_7color_check:0",
                             "click:Deng_7color_check:0", "selectchanged:polling_rate_option_0:0",
                             "selectchanged:polling_rate_option_1:0",
                             "click:polling_rate_option_1:0", "click:polling_rate_option_1:0"}));
    EXPECT_TRUE(page.control("Deng_7color_check")->selected());

    // From code: silent when asked, the user's notification otherwise.
    page.log.clear();
    page.control("Deng_7color_check")->setSelected(false, ui::Notify::No);
    page.control("polling_rate_option_0")->setSelected(true, ui::Notify::No);
    EXPECT_TRUE(page.log.empty());
    page.control("polling_rate_option_1")->setSelected(true);
    EXPECT_EQ(page.log, (Log{"selectchanged:polling_rate_option_0:0",
                             "selectchanged:polling_rate_option_1:0"}));

    // A disabled button sends nothing.
    page.log.clear();
    page.control("closebtn")->setEnabled(false);
    QTest::mouseClick(page.get<QPushButton>("closebtn"), Qt::LeftButton);
    EXPECT_TRUE(page.log.empty());
}

TEST(Notifications, SlidersWhileDraggedWhenReleasedAndByKeys) {
    ShownPage page;
    ui::Control* control = page.control("DPI_slider_1");
    std::vector<std::string> seen;  // type and the value the handler reads
    QtControl::of(page.root)->setNotificationHandler([&](const ui::Notification& n) {
        seen.push_back(n.type + "=" + std::to_string(n.sender->value()));
    });
    auto* slider = page.get<QSlider>("DPI_slider_1");
    slider->setSliderDown(true);
    slider->setSliderPosition(7);
    slider->setSliderPosition(8);
    slider->setSliderDown(false);
    QTest::keyClick(slider, Qt::Key_Left);
    QTest::keyClick(slider, Qt::Key_End);
    QTest::keyClick(slider, Qt::Key_End);  // at the end already: no change, no notification
    control->setValue(3);                  // from code: never
    EXPECT_EQ(seen, (Log{"movevaluechanged=7", "movevaluechanged=8", "valuechanged=8",
                         "valuechanged=7", "valuechanged=10"}));
    EXPECT_EQ(control->value(), 3);
}

TEST(Notifications, CombosAndLists) {
    ShownPage page;
    auto* combo = page.get<QComboBox>("light_combo_modeSelect");
    ui::Control* comboControl = page.control("light_combo_modeSelect");
    comboControl->setItemVisible(1, false);
    QTest::keyClick(combo, Qt::Key_Down);  // skips the hidden item
    EXPECT_EQ(combo->currentIndex(), 2);
    comboControl->selectItem(0, ui::Notify::No);
    comboControl->selectItem(1);
    comboControl->selectItem(1);  // no change: nothing
    comboControl->clearItems();
    comboControl->addItem("again");

    auto* list = page.get<QListWidget>("macro_name_list");
    ui::Control* listControl = page.control("macro_name_list");
    listControl->selectItem(0, ui::Notify::No);
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Return);
    listControl->clearItems();
    EXPECT_EQ(page.log,
              (Log{"itemselect:light_combo_modeSelect:2", "itemselect:light_combo_modeSelect:1",
                   "itemselect:macro_name_list:1", "itemactivate:macro_name_list:1"}));
}

TEST(Notifications, EditsReportFocusAndReturnOnce) {
    ShownPage page;
    auto* edit = page.get<QLineEdit>("deng_edit_R");
    const auto focus = [edit](QEvent::Type type, Qt::FocusReason reason) {
        QFocusEvent event(type, reason);
        QCoreApplication::sendEvent(edit, &event);
    };
    focus(QEvent::FocusIn, Qt::TabFocusReason);
    focus(QEvent::FocusOut, Qt::PopupFocusReason);  // a context menu: ignored
    focus(QEvent::FocusIn, Qt::PopupFocusReason);
    QTest::keyClick(edit, Qt::Key_Return);
    focus(QEvent::FocusOut, Qt::TabFocusReason);  // nothing changed since Return: once only
    focus(QEvent::FocusIn, Qt::MouseFocusReason);
    QTest::keyClick(edit, Qt::Key_Return);
    QTest::keyClicks(edit, "5");
    focus(QEvent::FocusOut, Qt::MouseFocusReason);  // changed after Return: again
    EXPECT_EQ(page.log,
              (Log{"setfocus:deng_edit_R:0", "killfocus:deng_edit_R:0", "setfocus:deng_edit_R:0",
                   "killfocus:deng_edit_R:0", "killfocus:deng_edit_R:0"}));
    EXPECT_EQ(page.control("deng_edit_R")->text(), "125");
}

TEST(Notifications, WindowInitOnlyOnTheFirstShow) {
    test::LoadedPage page;
    page.root->show();
    page.root->hide();
    page.root->show();
    EXPECT_EQ(page.log, (Log{"windowinit:root:0"}));
}

TEST(Notifications, DragSelectionOverTheKeyPanel) {
    ShownPage page;
    auto* panel = page.get<SelectPanel>("device_key_light");
    const auto drag = [panel](QPoint from, QPoint to, Qt::KeyboardModifiers modifiers) {
        QTest::mousePress(panel, Qt::LeftButton, modifiers, from);
        QTest::mouseMove(panel, to);
        QTest::mouseRelease(panel, Qt::LeftButton, modifiers, to);
    };
    const auto selected = [&page] {
        std::string out;
        for (const char* name : {"key_0", "key_1", "Light_2"}) {
            out += page.control(name)->selected() ? "1" : "0";
        }
        return out;
    };
    drag({5, 5}, {105, 55}, Qt::NoModifier);
    EXPECT_EQ(selected(), "110");
    drag({290, 0}, {350, 60}, Qt::NoModifier);  // replaces the selection
    EXPECT_EQ(selected(), "001");
    drag({15, 15}, {20, 20}, Qt::ControlModifier);  // adds to it
    EXPECT_EQ(selected(), "101");
    EXPECT_EQ(page.log,
              (Log{"click_select_end:device_key_light:2", "click_select_end:device_key_light:1",
                   "click_select_end:device_key_light:2"}));
    EXPECT_EQ(panel->selectedButtons().size(), 2);
}

TEST(Notifications, CustomNotificationsAndSilentScopes) {
    test::LoadedPage page;
    QWidget* key = page.widget("key_0");
    EXPECT_TRUE(emitNotification(key, "msenter", 1, 2));
    {
        SilentScope silent;
        EXPECT_FALSE(emitNotification(key, "msleave"));
        qobject_cast<QPushButton*>(page.widget("closebtn"))->click();
    }
    EXPECT_EQ(page.log, (Log{"msenter:key_0:1"}));
    // Without a handler anywhere up to its window nothing receives it.
    QWidget lone;
    lone.setObjectName("lone");
    EXPECT_FALSE(emitNotification(&lone, "click"));
}

}  // namespace
}  // namespace korvane::qt
