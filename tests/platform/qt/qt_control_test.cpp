#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStackedWidget>
#include <QTabWidget>

#include <memory>

#include "platform/qt/device_key_button.h"
#include "platform/qt/qt_control.h"
#include "qt_test_environment.h"
#include "ui/control_lookup.h"

namespace korvane::qt {
namespace {

using test::LoadedPage;

TEST(QtControl, TextGoesToEachWidgetKindAndBack) {
    LoadedPage page;
    ui::Control* root = QtControl::of(page.root);
    for (const char* name : {"closebtn", "Deng_7color_check", "deng_edit_R", "title_label",
                             "plain_progress", "device_tab"}) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(ui::setText(root, name, "Tëxt 1"));
        EXPECT_EQ(ui::text(root, name), "Tëxt 1");
    }
    EXPECT_EQ(page.get<QPushButton>("closebtn")->text(), QString("Tëxt 1"));
    EXPECT_EQ(page.get<QLineEdit>("deng_edit_R")->text(), QString("Tëxt 1"));
    EXPECT_EQ(page.get<QLabel>("title_label")->text(), QString("Tëxt 1"));
    // A fixed combo shows one of its items only.
    ui::Control* combo = root->find("light_combo_modeSelect");
    combo->setText("mode c");
    EXPECT_EQ(combo->text(), "mode c");
    EXPECT_EQ(combo->currentIndex(), 2);
    combo->setText("not an item");
    EXPECT_EQ(combo->text(), "mode c");
    // A window's text is its title.
    root->setText("Korvane");
    EXPECT_EQ(page.root->windowTitle(), QString("Korvane"));
    EXPECT_TRUE(page.log.empty());
}

TEST(QtControl, VisibleAndEnabledAreTheControlsOwnFlags) {
    LoadedPage page;
    ui::Control* root = QtControl::of(page.root);
    ui::Control* panel = root->find("device_key_light");
    ui::Control* key = root->find("key_0");
    EXPECT_TRUE(key->visible());  // the window is not shown, the key is not hidden
    panel->setVisible(false);
    EXPECT_TRUE(key->visible());
    EXPECT_FALSE(panel->visible());
    panel->setEnabled(false);
    EXPECT_TRUE(key->enabled());
    EXPECT_FALSE(QtControl::widgetOf(key)->isEnabled());  // still greyed by its container
    key->setEnabled(false);
    panel->setEnabled(true);
    EXPECT_FALSE(key->enabled());
    EXPECT_FALSE(QtControl::widgetOf(key)->isEnabled());
}

TEST(QtControl, LookUserDataAndAttributes) {
    LoadedPage page;
    ui::Control* root = QtControl::of(page.root);
    ui::Control* button = root->find("closebtn");
    button->setBackgroundColour(0x80102030);
    EXPECT_EQ(button->backgroundColour(), 0x80102030u);
    EXPECT_EQ(button->attribute("bkcolor"), "#80102030");
    EXPECT_TRUE(QtControl::widgetOf(button)->styleSheet().contains("#80102030"));
    button->setBackgroundColour(0);
    EXPECT_EQ(button->backgroundColour(), 0u);
    EXPECT_FALSE(QtControl::widgetOf(button)->styleSheet().contains("background-color"));

    button->setForegroundImage("file='power/powered.png'");
    EXPECT_EQ(button->foregroundImage(), "file='power/powered.png'");
    EXPECT_TRUE(QtControl::widgetOf(button)->styleSheet().contains(test::skinFolder() +
                                                                   "/power/powered.png"));
    button->setBackgroundImage("common/background.png");
    EXPECT_EQ(button->backgroundImage(), "common/background.png");
    button->setForegroundImage("");
    EXPECT_FALSE(QtControl::widgetOf(button)->styleSheet().contains("powered.png"));

    button->setUserData("skin/a.png");
    EXPECT_EQ(button->userData(), "skin/a.png");
    button->setToolTip("tip");
    EXPECT_EQ(QtControl::widgetOf(button)->toolTip(), QString("tip"));

    // A key paints its colour itself: no style sheet, the colour reads back.
    ui::Control* key = root->find("key_1");
    key->setBackgroundColour(0xFFFFFFFF);
    EXPECT_EQ(page.get<DeviceKeyButton>("key_1")->colour(), 0xFFFFFFFFu);
    EXPECT_TRUE(QtControl::widgetOf(key)->styleSheet().isEmpty());

    // Attributes: declared Qt properties take text, others are free.
    ui::Control* slider = root->find("DPI_slider_1");
    slider->setAttribute("maximum", "42");
    EXPECT_EQ(slider->maximum(), 42);
    EXPECT_EQ(slider->attribute("maximum"), "42");
    slider->setAttribute("ThumbImage", "file='thumb.png'");
    EXPECT_EQ(slider->attribute("thumbimage"), "file='thumb.png'");
    EXPECT_EQ(slider->attribute("no_such_attribute"), "");
    EXPECT_TRUE(page.log.empty());
}

TEST(QtControl, ValuesRangesItemsAndPages) {
    LoadedPage page;
    ui::Control* root = QtControl::of(page.root);

    ui::Control* slider = root->find("DPI_slider_1");
    EXPECT_EQ(slider->value(), 5);
    slider->setRange(1, 8);
    slider->setValue(20);
    EXPECT_EQ(slider->value(), 8);
    EXPECT_EQ(page.get<QSlider>("DPI_slider_1")->value(), 8);
    slider->setMaximum(0);  // below the minimum: the minimum follows, as in Qt
    EXPECT_EQ(slider->minimum(), 0);
    EXPECT_EQ(slider->maximum(), 0);
    EXPECT_EQ(slider->value(), 0);
    ui::Control* progress = root->find("plain_progress");
    progress->setRange(0, 10);
    EXPECT_EQ(progress->value(), 7);
    progress->setValue(50);
    EXPECT_EQ(progress->value(), 10);
    EXPECT_EQ(root->find("power_progress")->value(), 40);

    ui::Control* combo = root->find("light_combo_modeSelect");
    EXPECT_EQ(combo->itemCount(), 3);
    combo->clearItems();
    EXPECT_EQ(combo->addItem("light_mode_0", "data 0"), 0);
    EXPECT_EQ(combo->addItem("light_mode_1"), 1);
    EXPECT_EQ(combo->itemText(0), "light_mode_0");
    EXPECT_EQ(combo->itemData(0), "data 0");
    EXPECT_EQ(combo->itemText(9), "");
    EXPECT_TRUE(combo->selectItem(1, ui::Notify::No));
    EXPECT_EQ(page.get<QComboBox>("light_combo_modeSelect")->currentIndex(), 1);
    EXPECT_FALSE(combo->selectItem(2));
    combo->setItemVisible(0, false);
    EXPECT_FALSE(combo->itemVisible(0));
    EXPECT_TRUE(combo->itemVisible(1));
    auto* view = qobject_cast<QListView*>(page.get<QComboBox>("light_combo_modeSelect")->view());
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(view->isRowHidden(0));

    ui::Control* list = root->find("macro_name_list");
    EXPECT_EQ(list->itemCount(), 3);
    EXPECT_EQ(list->addItem("m3", "macro-3"), 3);
    EXPECT_EQ(list->itemData(3), "macro-3");
    EXPECT_TRUE(list->selectItem(3, ui::Notify::No));
    EXPECT_EQ(list->currentIndex(), 3);
    list->setItemVisible(2, false);
    EXPECT_TRUE(page.get<QListWidget>("macro_name_list")->item(2)->isHidden());

    ui::Control* stack = root->find("device_function_switch");
    EXPECT_EQ(stack->pageCount(), 2);
    EXPECT_TRUE(stack->selectPage(1));
    EXPECT_EQ(page.get<QStackedWidget>("device_function_switch")->currentIndex(), 1);
    EXPECT_FALSE(stack->selectPage(2));
    ui::Control* tabs = root->find("tabs");
    EXPECT_TRUE(ui::selectPage(root, "tabs", 1));
    EXPECT_EQ(tabs->currentPage(), 1);

    // Properties a kind lacks read empty and ignore writes.
    ui::Control* button = root->find("closebtn");
    button->setValue(3);
    EXPECT_EQ(button->value(), 0);
    EXPECT_EQ(button->addItem("x"), -1);
    EXPECT_EQ(button->pageCount(), 0);
    EXPECT_FALSE(button->selected());
    EXPECT_TRUE(page.log.empty());
}

TEST(QtControl, SelectionIncludingExclusiveOptions) {
    LoadedPage page;
    ui::Control* root = QtControl::of(page.root);
    ui::Control* check = root->find("deng_7color_check");
    check->setSelected(true, ui::Notify::No);
    EXPECT_TRUE(page.get<QCheckBox>("Deng_7color_check")->isChecked());
    EXPECT_TRUE(check->selected());

    ui::Control* rate0 = root->find("polling_rate_option_0");
    ui::Control* rate1 = root->find("polling_rate_option_1");
    EXPECT_TRUE(rate0->selected());
    rate1->setSelected(true, ui::Notify::No);
    EXPECT_FALSE(rate0->selected());
    // An exclusive option can still be unselected from code.
    rate1->setSelected(false, ui::Notify::No);
    EXPECT_FALSE(rate1->selected());
    EXPECT_TRUE(page.get<QRadioButton>("polling_rate_option_1")->autoExclusive());
    EXPECT_TRUE(page.log.empty());
}

TEST(QtControl, WrappersAreCachedAndDieWithTheirWidget) {
    auto* label = new QLabel;
    label->setObjectName("temp");
    QtControl* wrapper = QtControl::of(label);
    EXPECT_EQ(QtControl::of(label), wrapper);
    EXPECT_EQ(QtControl::widgetOf(wrapper), label);
    EXPECT_EQ(QtControl::of(nullptr), nullptr);
    ui::ControlRef ref = wrapper;
    ASSERT_TRUE(ref);
    delete label;
    EXPECT_FALSE(ref);
    EXPECT_EQ(QtControl::widgetOf(nullptr), nullptr);
}

}  // namespace
}  // namespace korvane::qt
