#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QRegularExpression>
#include <QSet>
#include <QSlider>
#include <QStyle>
#include <QStackedWidget>
#include <QSvgRenderer>

#include <json/json.h>

#include <array>
#include <cstdlib>
#include <map>
#include <optional>
#include <set>
#include <sstream>

#include "devices/mouse_frames.h"
#include "devices/pad_frames.h"
#include "platform/qt/device_key_button.h"
#include "platform/qt/qt_control.h"
#include "platform/qt/skin_check.h"
#include "platform/qt/skin_style.h"
#include "skin_test_support.h"
#include "ui/required_controls.h"

namespace korvane::skin {
namespace {

using test::Loaded;

constexpr const char* kMain = "XML/main.ui";
constexpr const char* kMessageBox = "msgwnd.ui";
constexpr const char* kTab = "XML/CustomControlXML/DeviceOption.ui";
constexpr const char* kPower = "XML/CustomControlXML/MpDevicePower.ui";
constexpr const char* kProfile = "XML/CustomControlXML/DeviceProfile.ui";
constexpr const char* kMouse = "XML/DeviceXml/mousedevice.ui";
constexpr const char* kKeyboard = "XML/DeviceXml/keyboarddevice.ui";
constexpr const char* kPad = "XML/DeviceXml/mousepaddevice.ui";
constexpr const char* kHeadset = "XML/DeviceXml/hs6533device.ui";

// Light indices as the keys sit on the keyboard, 23 columns by 6 rows; -1 is an empty cell.
constexpr int kLedMatrix[6][23] = {
    {-1, -1, 0, 1, 2, 3, 4, 18, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, -1, -1, -1, -1},
    {120, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 101, 35, 36, 37, 38, 39, 40, 41},
    {121, 42, 43, 44, 45, 46, 47, 48, 49, 50, 51, 52, 53, 54, 55, 103, 56, 57, 58, 59, 60, 61, 16},
    {122, 63, 64, 65, 66, 67, 68, 69, 70, 71, 72, 73, 74, 62, 75, 79, 82, 83, 17, 76, 77, 78, 119},
    {123, 84, 102, 85, 86, 87, 88, 89, 90, 91, 92, 93, 94, 100, 19, 95, 80, 96, 81, 97, 98, 99,
     118},
    {124, 105, 106, 20, 107, 126, 127, 108, 128, 129, 109, 125, 110, 111, 130, 112, 113, 114, 115,
     116, 104, 117, 131},
};

struct KeyAndLightButtons {
    QWidget* panel = nullptr;
    std::map<int, QWidget*> keys;
    std::map<int, QWidget*> lights;
};

// "key_12" -> 12 for prefix "key_" (any case); nothing for other names.
std::optional<int> indexOf(const QString& name, const QString& prefix) {
    if (!name.startsWith(prefix, Qt::CaseInsensitive)) {
        return std::nullopt;
    }
    bool ok = false;
    const QString digits = name.mid(prefix.size());
    const int n = digits.toInt(&ok);
    if (!ok || digits.isEmpty() || !digits.front().isDigit()) {
        return std::nullopt;
    }
    return n;
}

// Checks every DeviceKeyButton of a page and returns them by number.
KeyAndLightButtons collectButtons(QWidget* page, const char* panelName, int keyCount,
                                  int lightCount) {
    KeyAndLightButtons out;
    ui::Control* panelControl = qt::QtControl::of(page)->findClass("SelectPanel");
    if (panelControl == nullptr) {
        ADD_FAILURE() << "no SelectPanel";
        return out;
    }
    EXPECT_EQ(panelControl->name(), panelName) << "the first SelectPanel is the one the page binds";
    out.panel = qt::QtControl::widgetOf(panelControl);
    for (qt::DeviceKeyButton* button : page->findChildren<qt::DeviceKeyButton*>()) {
        const QString name = button->objectName();
        SCOPED_TRACE(name.toStdString());
        EXPECT_EQ(button->parentWidget(), out.panel) << "binding reads the panel's own children";
        EXPECT_TRUE(out.panel->rect().contains(button->geometry())) << "off the drawing";
        if (auto n = indexOf(name, QStringLiteral("key_"))) {
            EXPECT_LT(*n, keyCount);
            EXPECT_TRUE(out.keys.emplace(*n, button).second) << "twice";
        } else if (auto l = indexOf(name, QStringLiteral("light_"))) {
            EXPECT_LT(*l, lightCount);
            EXPECT_TRUE(out.lights.emplace(*l, button).second) << "twice";
        } else {
            ADD_FAILURE() << "neither a key nor a light";
        }
    }
    EXPECT_EQ(static_cast<int>(out.keys.size()), keyCount);
    EXPECT_EQ(static_cast<int>(out.lights.size()), lightCount);
    return out;
}

void expectNoOverlap(const std::map<int, QWidget*>& buttons, const char* what) {
    for (auto a = buttons.begin(); a != buttons.end(); ++a) {
        for (auto b = std::next(a); b != buttons.end(); ++b) {
            EXPECT_FALSE(a->second->geometry().intersects(b->second->geometry()))
                << what << " " << a->first << " and " << b->first << " overlap";
        }
    }
}

QPointF centreOf(const QWidget* w) {
    return QRectF(w->geometry()).center();
}

TEST(SkinFiles, EveryDesignerFileLoadsWithoutWarnings) {
    const QStringList files = test::uiFiles();
    for (const char* expected :
         {kMain, kMessageBox, kTab, kPower, kProfile, kMouse, kKeyboard, kPad, kHeadset}) {
        EXPECT_TRUE(files.contains(QString::fromUtf8(expected))) << expected;
    }
    for (const QString& file : files) {
        SCOPED_TRACE(file.toStdString());
        test::WarningRecorder recorder;
        Loaded loaded(file);
        ASSERT_NE(loaded.root, nullptr) << loaded.loader.errorString().toStdString();
        for (const std::string& warning : recorder.take()) {
            ADD_FAILURE() << warning;
        }
    }
}

TEST(SkinFiles, RootsAndPanelsAreTheClassesTheProgramCreates) {
    struct Case {
        const char* file;
        const char* name;
        const char* className;
    };
    const Case cases[] = {
        {kMain, "root", "QWidget"},
        {kMessageBox, "msgwnd", "QWidget"},
        {kTab, "device_option", "DeviceOption"},
        {kPower, "device_power", "MpDevicePower"},
        {kProfile, "DeviceProfile", "QWidget"},
        {kMouse, "mouse_device", "KorvaneMouseDevice"},
        {kMouse, "mouse_device_key_light", "SelectPanel"},
        {kMouse, "DeviceProfileItem", "DeviceProfile"},
        {kMouse, "LightControlItem", "LightControl"},
        {kMouse, "KeySetControlItem", "KeySetControl"},
        {kMouse, "ShootControlItem", "ShootControl"},
        {kMouse, "MacroControlItem", "MacroControl"},
        {kKeyboard, "keyboard_device", "KorvaneKeyboardDevice"},
        {kKeyboard, "keyboard_device_key_light", "SelectPanel"},
        {kKeyboard, "DeviceProfileItem", "DeviceProfile"},
        {kKeyboard, "LightControlItem", "LightControl"},
        {kKeyboard, "KeySetControlItem", "KeySetControl"},
        {kKeyboard, "MacroControlItem", "MacroControl"},
        {kPad, "mousepad_device", "KorvaneMousePadDevice"},
        {kPad, "mousepad_device_key_light", "SelectPanel"},
        {kPad, "DeviceProfileItem", "DeviceProfile"},
        {kPad, "LightControlItem", "LightControl"},
        {kHeadset, "hs6533_device", "KorvaneHS6533Device"},
        {kHeadset, "hs6533_device_key_light", "SelectPanel"},
        {kHeadset, "DeviceProfileItem", "DeviceProfile"},
        {kHeadset, "LightControlItem", "LightControl"},
        {kHeadset, "MagicControlItem", "MagicControl"},
        {kHeadset, "Voice6533ControlItem", "Voice6533Control"},
        {kPower, "device_Power_progress", "CircleProgress"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " " + c.name);
        Loaded loaded(QString::fromUtf8(c.file));
        ASSERT_NE(loaded.root, nullptr);
        ui::Control* control = qt::QtControl::of(loaded.root.get())->find(c.name);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->className(), c.className);
    }
}

TEST(SkinFiles, EveryControlTheProgramLooksUpIsThereWithAFittingKind) {
    using K = ui::ControlKind;
    ui::RequiredControls r;
    r.require(kMain, {{"closebtn", K::Button},
                      {"maxbtn", K::Button},
                      {"restorebtn", K::Button},
                      {"minbtn", K::Button},
                      {"skinbtn", K::Button},
                      {"gamemodebtn", K::Button},
                      {"cloudbtn", K::Button},
                      {"smarteyesbtn", K::Button},
                      {"setbtn", K::Button},
                      {"control_light_status", K::Button},
                      {"device_select_prev", K::Button},
                      {"device_select_layout", K::Container},
                      {"device_select_next", K::Button},
                      {"device_power_switch", K::Tab},
                      {"device_switch", K::Tab},
                      {"No_device_Link", K::Container},
                      {"no_device_text", K::Label},
                      {"nodevice_ok_btn", K::Button},
                      {"default_btn", K::Button}});
    r.require(kMessageBox, {{"MessageTitle", K::Label},
                            {"MessageText", K::Label},
                            {"confirm_btn", K::Button},
                            {"cancel_btn", K::Button},
                            {"closebtn", K::Button}});
    r.require(kTab, {{"device_select", K::Option}, {"tab_header_device", K::Label}});
    r.require(kPower, {{"device_power_Layout", K::Container},
                       {"device_Power_progress", K::Progress},
                       {"device_power_value", K::Label},
                       {"device_wuxian_logo", K::Label},
                       {"device_power_status", K::Label},
                       {"device_phone_type", K::Label}});
    r.require(kProfile, {{"device_select_name", K::Label},
                         {"device_profile_combo", K::Combo},
                         {"device_profile_name_edit", K::Edit},
                         {"profile_fun_spread_btn", K::Button},
                         {"profile_menu_layout", K::Container},
                         {"device_add_btn", K::Button},
                         {"device_sub_btn", K::Button},
                         {"device_copy_btn", K::Button},
                         {"device_profile_edit_save_btn", K::Button},
                         {"device_import_btn", K::Button},
                         {"device_export_btn", K::Button},
                         {"device_reset_btn", K::Button},
                         {"deng_Op_tab", K::Option},
                         {"key_Op_tab", K::Option},
                         {"macro_Op_tab", K::Option},
                         {"system_Op_tab", K::Option},
                         {"cursor_Op_tab", K::Option},
                         {"6533_voice_Op_tab", K::Option},
                         {"magic_Op_tab", K::Option},
                         {"Virtual7.1_Op_tab", K::Option}});
    for (const char* page : {kMouse, kKeyboard, kPad, kHeadset}) {
        r.require(page, {{"DeviceProfileItem", K::Container}, {"LightControlItem", K::Container}});
    }
    for (const char* page : {kMouse, kKeyboard, kHeadset}) {
        r.require(page,
                  {{"device_function_switch", K::Tab}, {"device_key_function_switch", K::Tab}});
    }
    for (const char* page : {kMouse, kKeyboard}) {
        r.require(page, {{"KeySetControlItem", K::Container}, {"MacroControlItem", K::Container}});
    }
    r.require(kMouse, {{"mouse_device_key_light", K::Container},
                       {"light_0_", K::Any},
                       {"logo", K::Label},
                       {"ShootControlItem", K::Container},
                       {"mouse_device_seting_layout", K::Container},
                       {"pointer_speed_slider", K::Slider},
                       {"pointer_precision_check", K::Option},
                       {"scrolls_page_check", K::Option},
                       {"scroll_speed_slider", K::Slider},
                       {"double_click_slider", K::Slider},
                       {"windowdeviceset_0", K::Button},
                       {"windowdeviceset_1", K::Button}});
    for (int n = 0; n < 5; ++n) {
        const std::string i = std::to_string(n);
        r.require(kMouse, "DPI_layout_" + i, K::Container);
        r.require(kMouse, "DPI_enable_check_" + i, K::Option);
        r.require(kMouse, "DPI_select_check_" + i, K::Option);
        r.require(kMouse, "DPI_slider_" + i, K::Slider);
        r.require(kMouse, "DPI_edit_" + i, K::Edit);
        r.require(kMouse, "DPI_color_option_" + i, K::Button);
        r.require(kMouse, "polling_rate_option_" + i, K::Option);
    }
    r.require(kKeyboard, {{"keyboard_device_key_light", K::Container},
                          {"winlockflag_option", K::Option},
                          {"wflag_option", K::Option},
                          {"6flag_option", K::Option},
                          {"repeat_rate_slider", K::Slider},
                          {"repeat_delay_time_label1", K::Label},
                          {"repeat_input_richedit", K::Edit},
                          {"reset_repeat_btn", K::Button},
                          {"text_test", K::Label}});
    for (int n = 0; n < 4; ++n) {
        r.require(kKeyboard, "polling_rate_option_" + std::to_string(n), K::Option);
        r.require(kKeyboard, "repeat_delay_check_" + std::to_string(n), K::Option);
    }
    r.require(kPad, "mousepad_device_key_light", K::Container);
    r.require(kHeadset, {{"hs6533_device_key_light", K::Container},
                         {"MagicControlItem", K::Container},
                         {"Voice6533ControlItem", K::Container}});

    qt::SkinLoader loader(test::skinFolder());
    for (const std::string& problem : qt::checkSkin(r, loader)) {
        ADD_FAILURE() << problem;
    }
}

TEST(SkinFiles, KeysAndLightsSitOnTheirDrawings) {
    struct Case {
        const char* file;
        const char* panel;
        int keys;
        int lights;
    };
    const Case cases[] = {
        {kMouse, "mouse_device_key_light", 11, 15},
        {kKeyboard, "keyboard_device_key_light", 126, 132},
        {kPad, "mousepad_device_key_light", 0, 15},
        {kHeadset, "hs6533_device_key_light", 0, 13},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        Loaded loaded(QString::fromUtf8(c.file));
        ASSERT_NE(loaded.root, nullptr);
        const KeyAndLightButtons buttons = collectButtons(loaded.root.get(), c.panel, c.keys, c.lights);
        ASSERT_NE(buttons.panel, nullptr);
        EXPECT_FALSE(buttons.panel->property("bkimage").toString().isEmpty()) << "no drawing";
        expectNoOverlap(buttons.keys, "keys");
        expectNoOverlap(buttons.lights, "lights");
    }
}

TEST(SkinFiles, KeyboardKeysAndLightsFollowTheLightMatrix) {
    Loaded loaded(QString::fromUtf8(kKeyboard));
    ASSERT_NE(loaded.root, nullptr);
    const KeyAndLightButtons b =
        collectButtons(loaded.root.get(), "keyboard_device_key_light", 126, 132);
    ASSERT_EQ(b.lights.size(), 132u);
    int previousRowY = -1;
    for (int row = 0; row < 6; ++row) {
        SCOPED_TRACE(row);
        int rowY = -1;
        int previousX = -1;
        for (int column = 0; column < 23; ++column) {
            const int n = kLedMatrix[row][column];
            if (n < 0) {
                continue;
            }
            SCOPED_TRACE(n);
            QWidget* light = b.lights.at(n);
            if (rowY < 0) {
                rowY = light->geometry().bottom();
            }
            EXPECT_EQ(light->geometry().bottom(), rowY) << "a row of the matrix is a row of lights";
            EXPECT_GT(light->x(), previousX) << "columns run left to right";
            previousX = light->x() + light->width() - 1;
            const auto key = b.keys.find(n);
            if (n >= 126) {
                EXPECT_EQ(key, b.keys.end()) << "lights without a key";
                continue;
            }
            ASSERT_NE(key, b.keys.end());
            // The key lies over its light and leaves the light's lower edge in sight.
            EXPECT_TRUE(QRectF(key->second->geometry()).contains(QPointF(centreOf(light).x(), light->y())));
            EXPECT_LT(key->second->geometry().bottom(), light->geometry().bottom());
            EXPECT_LT(b.panel->children().indexOf(light),
                      b.panel->children().indexOf(key->second))
                << "the key must lie above its light";
        }
        EXPECT_GT(rowY, previousRowY) << "rows run top to bottom";
        previousRowY = rowY;
    }
}

TEST(SkinFiles, MouseLightsRunFrontToBackByColumn) {
    Loaded loaded(QString::fromUtf8(kMouse));
    ASSERT_NE(loaded.root, nullptr);
    const KeyAndLightButtons b = collectButtons(loaded.root.get(), "mouse_device_key_light", 11, 15);
    ASSERT_EQ(b.lights.size(), 15u);
    double previousBack = -1;
    for (const auto& group : devices::mouse::MouseLedGroups) {
        double front = 1e9;
        double back = -1;
        for (std::uint8_t led : group.members()) {
            front = std::min(front, centreOf(b.lights.at(led)).y());
            back = std::max(back, centreOf(b.lights.at(led)).y());
        }
        EXPECT_GT(front, previousBack) << "column of LED " << int(group.members()[0]);
        previousBack = back;
    }
}

TEST(SkinFiles, PadLightsPairUpAcrossThePad) {
    Loaded loaded(QString::fromUtf8(kPad));
    ASSERT_NE(loaded.root, nullptr);
    const KeyAndLightButtons b = collectButtons(loaded.root.get(), "mousepad_device_key_light", 0, 15);
    ASSERT_EQ(b.lights.size(), 15u);
    const int width = b.panel->width();
    EXPECT_DOUBLE_EQ(centreOf(b.lights.at(0)).x(), width / 2.0) << "LED 0 sits on the middle line";
    double previousY = -1;
    for (const auto& pair : devices::pad::PadLedPairs) {
        SCOPED_TRACE(testing::Message() << int(pair.first) << "," << int(pair.second));
        const QPointF a = centreOf(b.lights.at(pair.first));
        const QPointF c = centreOf(b.lights.at(pair.second));
        EXPECT_DOUBLE_EQ(a.y(), c.y());
        EXPECT_DOUBLE_EQ(a.x() + c.x(), width) << "mirror images";
        EXPECT_GE(a.y(), previousY) << "pairs run from the top to the bottom";
        previousY = a.y();
    }
}

TEST(SkinFiles, OptionGroupsAreExclusiveWhereTheNamesSaySo) {
    struct Group {
        const char* file;
        std::vector<std::string> names;
        bool exclusive;
    };
    auto indexed = [](const char* prefix, int count) {
        std::vector<std::string> out;
        for (int i = 0; i < count; ++i) {
            out.push_back(prefix + std::to_string(i));
        }
        return out;
    };
    const Group groups[] = {
        {kMouse, indexed("DPI_select_check_", 5), true},
        {kMouse, indexed("polling_rate_option_", 5), true},
        {kMouse, indexed("DPI_enable_check_", 5), false},
        {kKeyboard, indexed("polling_rate_option_", 4), true},
        {kKeyboard, indexed("repeat_delay_check_", 4), true},
        {kKeyboard, {"winlockflag_option", "wflag_option", "6flag_option"}, false},
        {kProfile,
         {"deng_Op_tab", "key_Op_tab", "macro_Op_tab", "system_Op_tab", "cursor_Op_tab",
          "6533_voice_Op_tab", "magic_Op_tab", "Virtual7.1_Op_tab"},
         true},
    };
    for (const Group& g : groups) {
        SCOPED_TRACE(std::string(g.file) + " " + g.names.front());
        Loaded loaded(QString::fromUtf8(g.file));
        ASSERT_NE(loaded.root, nullptr);
        std::vector<QAbstractButton*> buttons;
        for (const std::string& name : g.names) {
            buttons.push_back(loaded.get<QAbstractButton>(name.c_str()));
            ASSERT_NE(buttons.back(), nullptr) << name;
            ASSERT_TRUE(buttons.back()->isCheckable()) << name;
        }
        for (std::size_t i = 0; i < buttons.size(); ++i) {
            for (QAbstractButton* b : buttons) {
                b->setChecked(g.exclusive ? b == buttons.front() : true);
            }
            buttons[i]->setChecked(true);
            for (std::size_t j = 0; j < buttons.size(); ++j) {
                EXPECT_EQ(buttons[j]->isChecked(), g.exclusive ? i == j : true)
                    << g.names[i] << " chosen, " << g.names[j];
            }
        }
    }
}

TEST(SkinFiles, WhatStartsHiddenAndWhatStaysUsable) {
    struct Case {
        const char* file;
        const char* name;
        bool hidden;
    };
    const Case cases[] = {
        {kMain, "maxbtn", true},           {kMain, "restorebtn", true},
        {kMain, "gamemodebtn", true},      {kMain, "cloudbtn", true},
        {kMain, "smarteyesbtn", true},     {kMain, "closebtn", false},
        {kMain, "minbtn", false},          {kMain, "setbtn", false},
        {kMain, "skinbtn", false},         {kMain, "No_device_Link", false},
        {kProfile, "profile_menu_layout", true}, {kProfile, "deng_Op_tab", false},
        {kProfile, "cursor_Op_tab", false},      {kProfile, "6533_voice_Op_tab", true},
        {kProfile, "magic_Op_tab", true},        {kProfile, "Virtual7.1_Op_tab", true},
        {kKeyboard, "text_test", true},          {kKeyboard, "repeat_input_richedit", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " " + c.name);
        Loaded loaded(QString::fromUtf8(c.file));
        ASSERT_NE(loaded.root, nullptr);
        QWidget* w = loaded.widget(c.name);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->isHidden(), c.hidden);
    }

    // Turning a sensitivity stage off disables its row, but never its own switch.
    Loaded mouse(QString::fromUtf8(kMouse));
    ASSERT_NE(mouse.root, nullptr);
    for (int n = 0; n < 5; ++n) {
        SCOPED_TRACE(n);
        QWidget* row = mouse.widget(("DPI_layout_" + std::to_string(n)).c_str());
        QWidget* check = mouse.widget(("DPI_enable_check_" + std::to_string(n)).c_str());
        ASSERT_NE(row, nullptr);
        ASSERT_NE(check, nullptr);
        row->setEnabled(false);
        EXPECT_TRUE(check->isEnabled());
        for (const char* inside : {"DPI_select_check_", "DPI_slider_", "DPI_edit_",
                                   "DPI_color_option_"}) {
            EXPECT_FALSE(mouse.widget((inside + std::to_string(n)).c_str())->isEnabled())
                << inside;
        }
    }
}

TEST(SkinFiles, TheWholeDeviceTabIsItsOption) {
    // The option lies over the tab's icon and name, so a click anywhere selects the tab.
    Loaded tab(QString::fromUtf8(kTab));
    ASSERT_NE(tab.root, nullptr);
    tab.root->show();
    QWidget* option = tab.widget("device_select");
    ASSERT_NE(option, nullptr);
    for (const char* part : {"device_tab_icon", "tab_header_device"}) {
        QWidget* w = tab.widget(part);
        ASSERT_NE(w, nullptr) << part;
        const QPoint inTab = w->mapTo(tab.root.get(), w->rect().center());
        EXPECT_EQ(tab.root->childAt(inTab), option) << part;
    }
    EXPECT_EQ(option->geometry(), tab.root->rect());
}

TEST(SkinFiles, FeaturePagesSitWhereThePageSwitchSelectsThem) {
    // The device page switch: lighting, keys, recoil/magic and voice are pages of
    // "device_key_function_switch" on function page 0; macros (headset: surround)
    // are function page 1, the pointer settings 2 and the device settings 3.
    struct Case {
        const char* file;
        const char* stack;
        int page;
        const char* holds;
    };
    const Case cases[] = {
        {kMouse, "device_function_switch", 0, "device_key_function_switch"},
        {kMouse, "device_key_function_switch", 0, "LightControlItem"},
        {kMouse, "device_key_function_switch", 1, "KeySetControlItem"},
        {kMouse, "device_key_function_switch", 2, "ShootControlItem"},
        {kMouse, "device_function_switch", 1, "MacroControlItem"},
        {kMouse, "device_function_switch", 2, "pointer_speed_slider"},
        {kMouse, "device_function_switch", 3, "mouse_device_seting_layout"},
        {kMouse, "mouse_device_seting_layout", -1, "DPI_slider_4"},
        {kMouse, "mouse_device_seting_layout", -1, "polling_rate_option_4"},
        {kKeyboard, "device_function_switch", 0, "device_key_function_switch"},
        {kKeyboard, "device_key_function_switch", 0, "LightControlItem"},
        {kKeyboard, "device_key_function_switch", 1, "KeySetControlItem"},
        {kKeyboard, "device_function_switch", 1, "MacroControlItem"},
        {kKeyboard, "device_function_switch", 3, "repeat_rate_slider"},
        {kKeyboard, "device_function_switch", 3, "polling_rate_option_3"},
        {kHeadset, "device_function_switch", 0, "device_key_function_switch"},
        {kHeadset, "device_key_function_switch", 0, "LightControlItem"},
        {kHeadset, "device_key_function_switch", 1, "Voice6533ControlItem"},
        {kHeadset, "device_key_function_switch", 2, "MagicControlItem"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " " + c.stack + " " + std::to_string(c.page) + " " +
                     c.holds);
        Loaded loaded(QString::fromUtf8(c.file));
        ASSERT_NE(loaded.root, nullptr);
        QWidget* container = loaded.widget(c.stack);
        ASSERT_NE(container, nullptr);
        if (c.page >= 0) {
            auto* stack = qobject_cast<QStackedWidget*>(container);
            ASSERT_NE(stack, nullptr);
            ASSERT_LT(c.page, stack->count());
            container = stack->widget(c.page);
        }
        EXPECT_NE(container->findChild<QWidget*>(QString::fromUtf8(c.holds)), nullptr);
    }
    for (const char* file : {kMouse, kKeyboard}) {
        Loaded loaded(QString::fromUtf8(file));
        EXPECT_EQ(loaded.get<QStackedWidget>("device_function_switch")->count(), 4) << file;
    }
}

TEST(SkinFiles, EveryLanguageKeyHasBothTexts) {
    // The two files carry the same keys, each with a text.
    std::map<std::string, std::set<std::string>> keys;
    for (const char* code : {"en", "cn"}) {
        QFile file(QDir(test::skinFolder()).filePath(QStringLiteral("lan_%1.json").arg(code)));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << code;
        const QByteArray text = file.readAll();
        Json::Value root;
        std::string errors;
        Json::CharReaderBuilder builder;
        std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
        ASSERT_TRUE(reader->parse(text.constData(), text.constData() + text.size(), &root, &errors))
            << code << ": " << errors;
        ASSERT_TRUE(root.isObject()) << code;
        for (const std::string& key : root.getMemberNames()) {
            EXPECT_TRUE(root[key].isString() && !root[key].asString().empty()) << code << " " << key;
            keys[code].insert(key);
        }
    }
    for (const std::string& key : keys["en"]) {
        EXPECT_TRUE(keys["cn"].count(key)) << key << " has no Chinese text";
    }
    for (const std::string& key : keys["cn"]) {
        EXPECT_TRUE(keys["en"].count(key)) << key << " has no English text";
    }

    // Every key a Designer file names is there.
    int named = 0;
    for (const QString& file : test::uiFiles()) {
        Loaded loaded(file);
        ASSERT_NE(loaded.root, nullptr) << file.toStdString();
        QList<QWidget*> widgets = loaded.root->findChildren<QWidget*>();
        widgets.prepend(loaded.root.get());
        for (QWidget* w : widgets) {
            for (const char* property : {"textkey", "tooltipkey"}) {
                const QString key = w->property(property).toString();
                if (key.isEmpty()) {
                    continue;
                }
                ++named;
                EXPECT_TRUE(test::english().contains(key.toStdString()))
                    << file.toStdString() << " " << w->objectName().toStdString() << " " << property
                    << " " << key.toStdString();
                EXPECT_TRUE(test::chinese().contains(key.toStdString()))
                    << file.toStdString() << " " << w->objectName().toStdString() << " " << property
                    << " " << key.toStdString();
            }
        }
    }
    EXPECT_GT(named, 0);
    // The texts the code asks for by key.
    for (const char* key : {"device_name_mouse", "device_name_keyboard", "device_name_MousePad",
                            "device_name_HD", "tips_text", "message_text_22", "Repeat_Delay_Time",
                            "Repeat_input_text", "Key_Set", "close_text"}) {
        EXPECT_TRUE(test::english().contains(key) && test::chinese().contains(key)) << key;
    }
}

TEST(SkinFiles, TheDefaultDataNamesHaveTexts) {
    // The light-mode and area names of the shipped mode lists are language keys.
    QFile file(QStringLiteral(KORVANE_DEFAULT_DATA_DIR "/default_light.json"));
    if (!file.open(QIODevice::ReadOnly)) {
        GTEST_SKIP() << "no default_light.json";
    }
    const QByteArray text = file.readAll();
    Json::Value root;
    std::string errors;
    Json::CharReaderBuilder builder;
    std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    ASSERT_TRUE(reader->parse(text.constData(), text.constData() + text.size(), &root, &errors))
        << errors;
    int names = 0;
    for (const char* list : {"DefaultLightName", "AreaLightName"}) {
        for (const Json::Value& device : root[list]) {
            for (const Json::Value& entry : device) {
                const std::string key = entry["LightName"].asString();
                ++names;
                EXPECT_TRUE(test::english().contains(key) && test::chinese().contains(key))
                    << list << " " << key;
            }
        }
    }
    EXPECT_GT(names, 0);
}

bool isReadableImage(const QString& path) {
    if (!QFileInfo::exists(path)) {
        return false;
    }
    if (path.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive)) {
        return QSvgRenderer(path).isValid();
    }
    return QImageReader(path).canRead();
}

TEST(SkinFiles, EveryImageResolves) {
    // Every drawing is well-formed.
    QDirIterator svgs(test::skinFolder(), {QStringLiteral("*.svg")}, QDir::Files,
                      QDirIterator::Subdirectories);
    int drawings = 0;
    while (svgs.hasNext()) {
        const QString path = svgs.next();
        EXPECT_TRUE(QSvgRenderer(path).isValid()) << path.toStdString();
        ++drawings;
    }
    EXPECT_GT(drawings, 0);

    // Images the Designer files name.
    for (const QString& file : test::uiFiles()) {
        Loaded loaded(file);
        ASSERT_NE(loaded.root, nullptr) << file.toStdString();
        QList<QWidget*> widgets = loaded.root->findChildren<QWidget*>();
        widgets.prepend(loaded.root.get());
        for (QWidget* w : widgets) {
            for (const char* property : {"bkimage", "foreimage", "normalimage", "hotimage",
                                         "pushedimage", "selectedimage", "disabledimage"}) {
                const QString image = w->property(property).toString();
                if (image.isEmpty()) {
                    continue;
                }
                const QString path = qt::resolveSkinImage(w, image);
                EXPECT_TRUE(isReadableImage(path))
                    << file.toStdString() << " " << w->objectName().toStdString() << " "
                    << image.toStdString() << " -> " << path.toStdString();
            }
        }
    }

    // Images the style sheet names, with the "skin:" prefix.
    QFile sheet(QDir(test::skinFolder()).filePath(QStringLiteral("style.qss")));
    ASSERT_TRUE(sheet.open(QIODevice::ReadOnly));
    const QString css = QString::fromUtf8(sheet.readAll());
    static const QRegularExpression url(QStringLiteral(R"(url\(\s*["']?([^"')]+)["']?\s*\))"));
    int urls = 0;
    for (auto it = url.globalMatch(css); it.hasNext(); ++urls) {
        const QString name = it.next().captured(1).trimmed();
        ASSERT_TRUE(name.startsWith(QLatin1String("skin:"))) << name.toStdString();
        const QString path = QDir(test::skinFolder()).filePath(name.mid(5));
        EXPECT_TRUE(isReadableImage(path)) << name.toStdString();
    }
    EXPECT_GT(urls, 0);

    // Images the code names (".png"): drawings of the same name stand in.
    QWidget owner;
    qt::setSkinFolder(&owner, test::skinFolder());
    for (const char* name :
         {"power/powered.png", "power/powering.png", "power/power.png",
          "power/Phone_type_iphone.png", "power/Phone_type_samsung.png",
          "power/Phone_type_other.png", "power/Phone_type_no_device.png",
          "Control/SliderBar1_Thumb.png", "Control/SliderBar2_Thumb.png", "logo.svg"}) {
        SCOPED_TRACE(name);
        const QString text = QStringLiteral("file='%1'").arg(QString::fromUtf8(name));
        EXPECT_TRUE(isReadableImage(qt::resolveSkinImage(&owner, text)));
        EXPECT_FALSE(qt::skinPixmap(&owner, text, QSize(28, 16)).isNull());
    }
}

TEST(SkinFiles, TheStyleSheetParsesAndReachesTheCustomControls) {
    test::WarningRecorder recorder;
    const QString sheet = test::applyTheme();
    EXPECT_FALSE(sheet.isEmpty());
    Loaded loaded(QString::fromUtf8(kKeyboard));
    ASSERT_NE(loaded.root, nullptr);
    loaded.root->resize(1000, 496);
    loaded.root->ensurePolished();
    auto* key = loaded.get<qt::DeviceKeyButton>("key_0");
    ASSERT_NE(key, nullptr);
    key->ensurePolished();
    // The keys take their face and selection colours from the style sheet.
    EXPECT_EQ(key->palette().color(QPalette::Button), QColor(0x26, 0x2b, 0x33));
    EXPECT_EQ(key->palette().color(QPalette::Highlight), QColor(0x22, 0xc3, 0xe6));
    EXPECT_EQ(key->font().pixelSize(), 8) << "keycap labels are small";
    (void)loaded.root->grab();

    // The mouse page marks the active stage through the slider's "thumbimage"; the
    // style sheet draws it once the slider is polished again.
    Loaded mouse(QString::fromUtf8(kMouse));
    ASSERT_NE(mouse.root, nullptr);
    auto* slider = mouse.get<QSlider>("DPI_slider_0");
    ASSERT_NE(slider, nullptr);
    slider->resize(200, 24);
    slider->setValue(slider->minimum());  // no coloured groove beside the thumb
    auto accentPixels = [slider](const char* thumb) {
        qt::QtControl::of(slider)->setAttribute("thumbimage", thumb);
        slider->style()->unpolish(slider);
        slider->style()->polish(slider);
        const QImage image = slider->grab().toImage();
        int count = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                count += (std::abs(c.red() - 0x22) < 12 && std::abs(c.green() - 0xc3) < 12 &&
                          std::abs(c.blue() - 0xe6) < 12)
                             ? 1
                             : 0;
            }
        }
        return count;
    };
    EXPECT_GT(accentPixels("file='Control/SliderBar1_Thumb.png'"), 40);
    EXPECT_LT(accentPixels("file='Control/SliderBar2_Thumb.png'"), 5);
    for (const std::string& warning : recorder.take()) {
        ADD_FAILURE() << warning;
    }
    qApp->setStyleSheet(QString());
}

}  // namespace
}  // namespace korvane::skin
