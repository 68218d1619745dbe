// Renders the window as the program puts it together (main window, device tabs,
// battery panel, device page, profile panel and the panels whose skin files
// exist) and saves each view as a PNG in the build folder, for people to look at.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QStackedWidget>

#include <array>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "devices/power_panel.h"
#include "platform/qt/device_key_button.h"
#include "platform/qt/qt_control.h"
#include "platform/qt/skin_loader.h"
#include "skin_test_support.h"
#include "ui/control_lookup.h"

namespace korvane::skin {
namespace {

struct Family {
    const char* name;  // as the program names the family ("device_name_" + name)
    const char* page;
    int kind;
    bool batteryPanel;
    std::vector<const char*> hiddenTabs;
    std::vector<const char*> shownTabs;
};

const Family kMouse{"mouse", "XML/DeviceXml/mousedevice.ui", 2, true, {}, {}};
const Family kKeyboard{"keyboard", "XML/DeviceXml/keyboarddevice.ui", 1, false, {"cursor_Op_tab"}, {}};
const Family kPad{"MousePad",
                  "XML/DeviceXml/mousepaddevice.ui",
                  3,
                  false,
                  {"cursor_Op_tab", "macro_Op_tab", "system_Op_tab", "key_Op_tab"},
                  {}};
const Family kHeadset{"HD",
                      "XML/DeviceXml/hs6533device.ui",
                      7,
                      false,
                      {"cursor_Op_tab", "macro_Op_tab", "system_Op_tab", "key_Op_tab"},
                      {"6533_voice_Op_tab", "magic_Op_tab", "Virtual7.1_Op_tab"}};

// The panels other skin files fill, where those files exist.
constexpr std::array<std::pair<const char*, const char*>, 6> kPanelFiles = {{
    {"LightControlItem", "XML/CustomControlXML/LightControl.ui"},
    {"KeySetControlItem", "XML/CustomControlXML/KeySetControl.ui"},
    {"MacroControlItem", "XML/CustomControlXML/MacroControl.ui"},
    {"ShootControlItem", "XML/CustomControlXML/ShootControl.ui"},
    {"MagicControlItem", "XML/CustomControlXML/MagicControl.ui"},
    {"Voice6533ControlItem", "XML/CustomControlXML/Voice6533Control.ui"},
}};

// A colour wheel position as 0xFFRRGGBB.
ui::Argb wheel(double turn) {
    const QColor c = QColor::fromHsvF(std::fmod(turn, 1.0), 0.85, 1.0);
    return 0xFF000000u | (static_cast<ui::Argb>(c.red()) << 16) |
           (static_cast<ui::Argb>(c.green()) << 8) | static_cast<ui::Argb>(c.blue());
}

class Window {
  public:
    explicit Window(const ui::Language& language) : loader_(test::skinFolder()) {
        loader_.setLanguage(&language);
        language_ = &language;
        root_.reset(loader_.load("XML/main.ui"));
        EXPECT_NE(root_, nullptr) << loader_.errorString().toStdString();
        if (root_ != nullptr) {
            root_->resize(1000, 640);
        }
    }

    bool ok() const { return root_ != nullptr; }
    QWidget* root() const { return root_.get(); }
    ui::Control* control() const { return qt::QtControl::of(root_.get()); }

    // Adds a device as the program does when it is found; shows its page when `show` is set.
    QWidget* addDevice(const Family& family, bool show) {
        ui::Control* r = control();
        QWidget* tab = loader_.buildInto("XML/CustomControlXML/DeviceOption.ui",
                                         widget("device_select_layout"));
        EXPECT_NE(tab, nullptr) << loader_.errorString().toStdString();
        if (tab == nullptr) {
            return nullptr;
        }
        ui::Control* tabControl = qt::QtControl::of(tab);
        const std::string deviceName = language_->text(std::string("device_name_") + family.name);
        ui::setText(tabControl, "tab_header_device", deviceName);
        ui::setBackgroundImage(tabControl, "device_tab_icon",
                               std::string("file='icons/device_") + family.name + ".svg'");
        ui::setSelected(tabControl, "device_select", show, ui::Notify::No);
        if (!show) {
            return tab;
        }

        QWidget* power = loader_.buildInto("XML/CustomControlXML/MpDevicePower.ui",
                                           widget("device_power_switch"));
        EXPECT_NE(power, nullptr) << loader_.errorString().toStdString();
        power_ = std::make_unique<devices::CMpDevicePowerUI>(qt::QtControl::of(power), family.kind, 0);
        power_->SetBatteryPanel(family.batteryPanel);
        power_->ShowPowerStatus({80, 2, 0, 1, 0, 0});
        qobject_cast<QStackedWidget*>(widget("device_power_switch"))->setCurrentWidget(power);

        QWidget* page = loader_.buildInto(family.page, widget("device_switch"));
        EXPECT_NE(page, nullptr) << loader_.errorString().toStdString();
        if (page == nullptr) {
            return nullptr;
        }
        qobject_cast<QStackedWidget*>(widget("device_switch"))->setCurrentWidget(page);
        ui::setVisible(r, "No_device_Link", false);

        QWidget* profile = loader_.buildInto("XML/CustomControlXML/DeviceProfile.ui",
                                             page->findChild<QWidget*>("DeviceProfileItem"));
        EXPECT_NE(profile, nullptr) << loader_.errorString().toStdString();
        ui::Control* p = qt::QtControl::of(profile);
        ui::setText(p, "device_select_name", deviceName);
        if (ui::Control* combo = p->find("device_profile_combo")) {
            for (const char* name : {"profile1", "FPS", "MOBA"}) {
                combo->addItem(name);
            }
            combo->selectItem(0, ui::Notify::No);
        }
        ui::setText(p, "device_profile_name_edit", "profile1");
        for (const char* tabName : family.hiddenTabs) {
            ui::setVisible(p, tabName, false);
        }
        for (const char* tabName : family.shownTabs) {
            ui::setVisible(p, tabName, true);
        }
        for (const auto& [item, file] : kPanelFiles) {
            QWidget* holder = page->findChild<QWidget*>(item);
            if (holder != nullptr && QFileInfo::exists(loader_.filePath(file))) {
                EXPECT_NE(loader_.buildInto(file, holder), nullptr)
                    << loader_.errorString().toStdString();
            }
        }
        paintLights(page);
        page_ = page;
        return page;
    }

    // Shows feature page `type` as the page switch does (tab n of the profile panel).
    void showFeature(int type) {
        static const char* const tabs[] = {"deng_Op_tab",   "key_Op_tab",        "macro_Op_tab",
                                           "system_Op_tab", "cursor_Op_tab",     "6533_voice_Op_tab",
                                           "magic_Op_tab",  "Virtual7.1_Op_tab"};
        ui::Control* page = qt::QtControl::of(page_);
        ui::setSelected(page, tabs[type - 1], true, ui::Notify::No);
        int function = 0;
        int key = 0;
        switch (type) {
            case 2: case 6: key = 1; break;
            case 3: case 8: function = 1; break;
            case 4: function = 3; break;
            case 5: function = 2; break;
            case 7: key = 2; break;
            default: break;
        }
        ui::selectPage(page, "device_function_switch", function);
        ui::selectPage(page, "device_key_function_switch", key);
    }

    QWidget* widget(const char* name) const {
        return qt::QtControl::widgetOf(control()->find(name));
    }
    QWidget* pageWidget(const char* name) const { return page_->findChild<QWidget*>(name); }

    // Saves the window as it looks; false when nothing usable was drawn. Everything
    // has to fit the program's window.
    bool save(const QString& file) const {
        const bool saved = saveWidget(root_.get(), file);
        EXPECT_EQ(root_->size(), QSize(1000, 640)) << "the window grew to fit its content";
        return saved;
    }

    static bool saveWidget(QWidget* w, const QString& file) {
        w->show();
        QApplication::processEvents();
        const QImage image = w->grab().toImage();
        if (image.isNull()) {
            return false;
        }
        // A blank image means the theme or the layout did not come through.
        const QRgb first = image.pixel(0, 0);
        bool varied = false;
        for (int y = 0; y < image.height() && !varied; y += 7) {
            for (int x = 0; x < image.width() && !varied; x += 7) {
                varied = image.pixel(x, y) != first;
            }
        }
        QDir().mkpath(test::screenshotFolder());
        return varied && image.save(QDir(test::screenshotFolder()).filePath(file), "PNG");
    }

  private:
    // A colour wave over the device's lights, as a lighting preview paints them.
    static void paintLights(QWidget* page) {
        for (qt::DeviceKeyButton* b : page->findChildren<qt::DeviceKeyButton*>()) {
            if (!b->objectName().startsWith(QLatin1String("light_"))) {
                continue;
            }
            const double across = static_cast<double>(b->geometry().center().x()) /
                                  std::max(1, b->parentWidget()->width());
            qt::QtControl::of(b)->setBackgroundColour(wheel(0.55 + across * 0.6));
        }
    }

    qt::SkinLoader loader_;
    const ui::Language* language_ = nullptr;
    std::unique_ptr<QWidget> root_;
    std::unique_ptr<devices::CMpDevicePowerUI> power_;
    QWidget* page_ = nullptr;
};

class SkinScreenshots : public ::testing::Test {
  protected:
    void SetUp() override { test::applyTheme(); }
    void TearDown() override { qApp->setStyleSheet(QString()); }
};

TEST_F(SkinScreenshots, NoDevice) {
    Window window(test::english());
    ASSERT_TRUE(window.ok());
    EXPECT_TRUE(window.save(QStringLiteral("main_no_device.png")));
}

TEST_F(SkinScreenshots, DevicePages) {
    struct Case {
        const Family* family;
        int feature;
        const char* file;
    };
    const Case cases[] = {
        {&kMouse, 1, "mouse_lighting.png"},     {&kMouse, 2, "mouse_buttons.png"},
        {&kMouse, 3, "mouse_macros.png"},       {&kMouse, 4, "mouse_performance.png"},
        {&kMouse, 5, "mouse_pointer.png"},      {&kKeyboard, 1, "keyboard_lighting.png"},
        {&kKeyboard, 2, "keyboard_keys.png"},   {&kKeyboard, 4, "keyboard_settings.png"},
        {&kPad, 1, "mousepad_lighting.png"},    {&kHeadset, 1, "headset_lighting.png"},
        {&kHeadset, 6, "headset_sound.png"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        Window window(test::english());
        ASSERT_TRUE(window.ok());
        for (const Family* other : {&kMouse, &kKeyboard, &kPad, &kHeadset}) {
            ASSERT_NE(window.addDevice(*other, other == c.family), nullptr);
        }
        window.showFeature(c.feature);
        if (c.feature == 2) {
            // A key chosen for its settings.
            if (auto* key = qobject_cast<QAbstractButton*>(window.pageWidget("key_0"))) {
                key->setChecked(true);
            }
        }
        EXPECT_TRUE(window.save(QString::fromUtf8(c.file)));
    }
}

TEST_F(SkinScreenshots, ChineseWithTheProfileMenuOpen) {
    Window window(test::chinese());
    ASSERT_TRUE(window.ok());
    ASSERT_NE(window.addDevice(kMouse, true), nullptr);
    ASSERT_NE(window.addDevice(kKeyboard, false), nullptr);
    window.showFeature(4);
    ui::setVisible(qt::QtControl::of(window.pageWidget("DeviceProfile")), "profile_menu_layout",
                   true);
    if (auto* spread = qobject_cast<QAbstractButton*>(window.pageWidget("profile_fun_spread_btn"))) {
        spread->setChecked(true);
    }
    EXPECT_TRUE(window.save(QStringLiteral("mouse_performance_cn.png")));
}

TEST_F(SkinScreenshots, MessageBox) {
    qt::SkinLoader loader(test::skinFolder());
    loader.setLanguage(&test::english());
    std::unique_ptr<QWidget> box(loader.load("msgwnd.ui"));
    ASSERT_NE(box, nullptr) << loader.errorString().toStdString();
    ui::Control* root = qt::QtControl::of(box.get());
    ui::setText(root, "MessageText", test::english().text("message_text_22"));
    EXPECT_TRUE(Window::saveWidget(box.get(), QStringLiteral("message_box.png")));
}

}  // namespace
}  // namespace korvane::skin
