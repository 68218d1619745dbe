#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ui/control_lookup.h"
#include "ui/memory_control.h"

namespace korvane::ui {
namespace {

// A small page: root > {closebtn, panel > {SelectPanel > key_0, key_1 ; DPI_slider_1 ;
// options (group "rate") ; combo ; edit x2 ; tab with two pages}}.
struct Page {
    MemoryControl root{"Window", "root"};
    std::vector<std::string> log;  // "type:sender:wParam"

    Page() {
        root.add("Button", "closebtn");
        MemoryControl& panel = root.add("VerticalLayout", "panel");
        MemoryControl& keys = panel.add("SelectPanel", "device_key_light");
        keys.add("DeviceKeyButton", "key_0");
        keys.add("DeviceKeyButton", "Key_1");
        panel.add("Slider", "DPI_slider_1");
        panel.add("Option", "polling_rate_option_0").setAttribute("group", "rate");
        panel.add("Option", "polling_rate_option_1").setAttribute("group", "rate");
        panel.add("Option", "deng_7color_check");
        panel.add("Combo", "light_combo_modeSelect");
        panel.add("Edit", "deng_edit_R");
        panel.add("Edit", "deng_edit_G");
        MemoryControl& tab = panel.add("TabLayout", "device_function_switch");
        tab.add("Container", "page0");
        tab.add("Container", "page1");
        root.setNotificationHandler([this](const Notification& n) {
            log.push_back(n.type + ":" + n.senderName + ":" + std::to_string(n.wParam));
        });
    }
    MemoryControl& get(std::string_view name) {
        return static_cast<MemoryControl&>(*root.find(name));
    }
};

TEST(MemoryControl, FindsByNameWithoutCaseAnywhereBelow) {
    Page page;
    EXPECT_EQ(page.root.find("ROOT"), &page.root);
    ASSERT_NE(page.root.find("key_1"), nullptr);
    EXPECT_EQ(page.root.find("key_1")->name(), "Key_1");
    EXPECT_EQ(page.root.find("KEY_0")->parent()->name(), "device_key_light");
    EXPECT_EQ(page.root.find("no_such_control"), nullptr);
    // A lookup from inside a container sees only that container's subtree.
    EXPECT_EQ(page.root.find("panel")->find("closebtn"), nullptr);
    Control* selectPanel = page.root.findClass("selectpanel");
    ASSERT_NE(selectPanel, nullptr);
    EXPECT_EQ(selectPanel->name(), "device_key_light");
    EXPECT_EQ(selectPanel->children().size(), 2u);
    EXPECT_EQ(selectPanel->children()[0]->kind(), ControlKind::Option);
}

TEST(MemoryControl, NullSafeHelpersTolerateMissingControls) {
    Page page;
    EXPECT_FALSE(setText(&page.root, "missing", "x"));
    EXPECT_FALSE(setText(nullptr, "closebtn", "x"));
    EXPECT_EQ(text(nullptr, "closebtn", "fallback"), "fallback");
    EXPECT_EQ(value(&page.root, "missing", 7), 7);
    EXPECT_EQ(currentIndex(&page.root, "missing"), -1);
    EXPECT_FALSE(selectItem(&page.root, "missing", 0));
    EXPECT_FALSE(selected(&page.root, "missing"));
    EXPECT_EQ(backgroundColour(&page.root, "missing"), 0u);

    EXPECT_TRUE(setText(&page.root, "DEng_edit_R", "255"));
    EXPECT_EQ(text(&page.root, "deng_edit_r"), "255");
    EXPECT_TRUE(setBackgroundColour(&page.root, "closebtn", 0xFF112233));
    EXPECT_EQ(backgroundColour(&page.root, "closebtn"), 0xFF112233u);
    EXPECT_EQ(page.get("closebtn").attribute("BkColor"), "#FF112233");
    EXPECT_TRUE(setForegroundImage(&page.root, "closebtn", "file='power/powered.png'"));
    EXPECT_EQ(page.get("closebtn").foregroundImage(), "file='power/powered.png'");
    EXPECT_TRUE(setAttribute(&page.root, "DPI_slider_1", "thumbimage", "file='thumb.png'"));
    EXPECT_EQ(page.get("dpi_slider_1").attribute("ThumbImage"), "file='thumb.png'");
    EXPECT_TRUE(page.log.empty());
}

TEST(MemoryControl, ValuesStayInTheirRangeAndOnlyOnValueKinds) {
    Page page;
    MemoryControl& slider = page.get("DPI_slider_1");
    slider.setRange(1, 10);
    slider.setValue(50);
    EXPECT_EQ(slider.value(), 10);
    slider.setValue(-5);
    EXPECT_EQ(slider.value(), 1);
    slider.setMaximum(0);  // below the minimum: the range collapses to it
    EXPECT_EQ(slider.minimum(), 0);
    EXPECT_EQ(slider.maximum(), 0);
    EXPECT_EQ(slider.value(), 0);

    MemoryControl& button = page.get("closebtn");
    button.setValue(5);
    EXPECT_EQ(button.value(), 0);
    EXPECT_EQ(button.addItem("x"), -1);
    EXPECT_EQ(button.itemCount(), 0);
    button.setSelected(true);
    EXPECT_FALSE(button.selected());
    EXPECT_TRUE(page.log.empty());
}

TEST(MemoryControl, SelectionNotifiesOnlyWhenAskedAndWhenItChanges) {
    Page page;
    MemoryControl& check = page.get("deng_7color_check");
    check.setSelected(true, Notify::No);
    EXPECT_TRUE(check.selected());
    EXPECT_TRUE(page.log.empty());
    check.setSelected(true);  // no change, no notification
    EXPECT_TRUE(page.log.empty());
    check.setSelected(false);
    EXPECT_EQ(page.log, (std::vector<std::string>{"selectchanged:deng_7color_check:0"}));

    // Options of one group exclude each other, silently when asked so.
    MemoryControl& rate0 = page.get("polling_rate_option_0");
    MemoryControl& rate1 = page.get("polling_rate_option_1");
    page.log.clear();
    rate0.setSelected(true, Notify::No);
    rate1.setSelected(true, Notify::No);
    EXPECT_FALSE(rate0.selected());
    EXPECT_TRUE(page.log.empty());
    rate0.setSelected(true);
    EXPECT_FALSE(rate1.selected());
    EXPECT_EQ(page.log, (std::vector<std::string>{"selectchanged:polling_rate_option_1:0",
                                                  "selectchanged:polling_rate_option_0:0"}));
}

TEST(MemoryControl, ItemsAndPages) {
    Page page;
    MemoryControl& combo = page.get("light_combo_modeSelect");
    EXPECT_EQ(combo.addItem("light_mode_0", "light_mode_0"), 0);
    EXPECT_EQ(combo.addItem("light_mode_1"), 1);
    EXPECT_EQ(combo.currentIndex(), -1);
    EXPECT_TRUE(combo.selectItem(1, Notify::No));
    EXPECT_TRUE(page.log.empty());
    EXPECT_FALSE(combo.selectItem(2));
    EXPECT_FALSE(combo.selectItem(-2));
    EXPECT_TRUE(combo.selectItem(1));  // already current: no notification
    EXPECT_TRUE(page.log.empty());
    EXPECT_TRUE(combo.selectItem(0));
    EXPECT_EQ(page.log, (std::vector<std::string>{"itemselect:light_combo_modeSelect:0"}));
    EXPECT_EQ(combo.itemText(0), "light_mode_0");
    EXPECT_EQ(combo.itemData(0), "light_mode_0");
    EXPECT_EQ(combo.itemText(5), "");
    combo.setItemVisible(1, false);
    EXPECT_FALSE(combo.itemVisible(1));
    EXPECT_TRUE(combo.itemVisible(0));
    combo.clearItems();
    EXPECT_EQ(combo.itemCount(), 0);
    EXPECT_EQ(combo.currentIndex(), -1);

    MemoryControl& tab = page.get("device_function_switch");
    EXPECT_EQ(tab.pageCount(), 2);
    EXPECT_EQ(tab.currentPage(), 0);
    EXPECT_TRUE(page.get("page0").visible());
    EXPECT_FALSE(page.get("page1").visible());
    EXPECT_TRUE(tab.selectPage(1));
    EXPECT_FALSE(page.get("page0").visible());
    EXPECT_TRUE(page.get("page1").visible());
    EXPECT_FALSE(tab.selectPage(2));
    EXPECT_EQ(tab.currentPage(), 1);
}

TEST(MemoryControl, UserActionsSendTheToolkitsNotifications) {
    Page page;
    page.get("closebtn").click();
    page.get("deng_7color_check").click();
    page.get("polling_rate_option_1").click();
    page.get("polling_rate_option_1").click();  // a grouped option stays selected
    page.get("DPI_slider_1").userSetValue(30, true);
    page.get("DPI_slider_1").userSetValue(40);
    MemoryControl& combo = page.get("light_combo_modeSelect");
    combo.addItem("a");
    combo.addItem("b");
    combo.userSelectItem(1);
    page.get("deng_edit_R").setFocus();
    page.get("deng_edit_G").setFocus();
    page.get("closebtn").setFocus();  // not an edit: no setfocus of its own
    page.get("closebtn").setEnabled(false);
    page.get("closebtn").click();  // disabled: nothing
    page.root.showWindow();
    page.root.showWindow();
    EXPECT_EQ(page.log, (std::vector<std::string>{
                            "click:closebtn:0",
                            "selectchanged:deng_7color_check:0",
                            "click:deng_7color_check:0",
                            "selectchanged:polling_rate_option_1:0",
                            "click:polling_rate_option_1:0",
                            "click:polling_rate_option_1:0",
                            "movevaluechanged:DPI_slider_1:0",
                            "valuechanged:DPI_slider_1:0",
                            "itemselect:light_combo_modeSelect:1",
                            "setfocus:deng_edit_R:0",
                            "killfocus:deng_edit_R:0",
                            "setfocus:deng_edit_G:0",
                            "killfocus:deng_edit_G:0",
                            "windowinit:root:0",
                        }));
    EXPECT_EQ(page.get("DPI_slider_1").value(), 40);
    EXPECT_TRUE(page.get("closebtn").hasFocus());
    EXPECT_FALSE(page.get("deng_edit_G").hasFocus());
}

TEST(MemoryControl, NotificationsGoToTheNearestHandler) {
    Page page;
    std::vector<std::string> panelLog;
    page.get("panel").setNotificationHandler(
        [&](const Notification& n) { panelLog.push_back(n.type + ":" + n.senderName); });
    page.get("key_0").click();
    page.get("closebtn").click();
    EXPECT_EQ(panelLog, (std::vector<std::string>{"selectchanged:key_0", "click:key_0"}));
    EXPECT_EQ(page.log, (std::vector<std::string>{"click:closebtn:0"}));

    // A handler may destroy its sender's subtree while it runs.
    page.get("panel").setNotificationHandler([&](const Notification& n) {
        if (n.is(notify::kClick) && n.from("KEY_1")) {
            page.root.take(page.root.find("panel"));
        }
    });
    page.get("key_1").click();
    EXPECT_EQ(page.root.find("key_1"), nullptr);

    MemoryControl orphan("Button", "orphan");
    EXPECT_FALSE(orphan.emitNotification(notify::kClick));
}

TEST(MemoryControl, ControlRefForgetsDestroyedControlsAndFocusLeavesWithThem) {
    Page page;
    ControlRef ref = page.root.find("deng_edit_R");
    ASSERT_TRUE(ref);
    ref->setFocus();
    EXPECT_EQ(ref->name(), "deng_edit_R");
    std::unique_ptr<MemoryControl> panel = page.root.take(page.root.find("panel"));
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(ref);  // moved out of the tree but alive
    EXPECT_FALSE(page.get("closebtn").hasFocus());
    panel.reset();
    EXPECT_FALSE(ref);
    EXPECT_EQ(ref.get(), nullptr);
    EXPECT_EQ(page.root.take(&page.root), nullptr);  // not a child
    page.get("closebtn").setFocus();  // the old focus holder is gone: no killfocus for it
    EXPECT_EQ(page.log, (std::vector<std::string>{"setfocus:deng_edit_R:0"}));
}

}  // namespace
}  // namespace korvane::ui
