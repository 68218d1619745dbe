// The panel over the real skin file on Qt widgets: the skin check, showing a record, and the
// user's own actions routed to the handlers.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStackedWidget>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <cstdlib>

#include "lighting/panel/light_handlers.h"
#include "lighting/panel/light_panel_controls.h"
#include "platform/qt/colour_palette.h"
#include "platform/qt/qt_control.h"
#include "platform/qt/skin_check.h"
#include "platform/qt/skin_loader.h"
#include "tests/lighting/panel/light_test_support.h"
#include "ui/language.h"

namespace korvane::lighting::panel {
namespace {


QString skinFolder() {
    const char* source = std::getenv("KORVANE_SOURCE_DIR");
    return QString::fromUtf8(source != nullptr ? source : ".") + QStringLiteral("/skin");
}

TEST(LightPanelQt, TheSkinHoldsEveryControlThePanelLooksUp) {
    qt::SkinLoader loader(skinFolder());
    ui::RequiredControls required;
    declareLightPanelControls(required);
    for (const std::string& problem : qt::checkSkin(required, loader)) {
        ADD_FAILURE() << problem;
    }
}

// The panel built into a page's "LightControlItem", as the window builds it.
class OnWidgets : public ::testing::Test {
  protected:
    OnWidgets() : loader(skinFolder()) {
        page.resize(640, 560);
        item = new QFrame(&page);
        item->setObjectName(QStringLiteral("LightControlItem"));
        auto* box = new QVBoxLayout(&page);
        box->addWidget(item);
        language.loadFromText(R"({"light_set_clockwise_text": "Clockwise"})");
        built = loader.buildInto(kLightControlSkin, item);
        root = qt::QtControl::of(item);
        panel = std::make_unique<CLightControlUI>(root, &language);
        panel->SetLightKind(LightKind::Keyboard);
        std::vector<std::string> names;
        for (int i = 0; i < 31; ++i) {
            names.push_back("mode_" + std::to_string(i));
        }
        panel->SetModeList(names, std::vector<bool>(names.size(), true), 5, 4);
        device.panel = panel.get();
        page.show();
    }

    template <typename W>
    W* get(const char* name) {
        return qobject_cast<W*>(qt::QtControl::widgetOf(root->find(name)));
    }

    QWidget page;
    QFrame* item = nullptr;
    qt::SkinLoader loader;
    ui::Language language;
    QWidget* built = nullptr;
    ui::Control* root = nullptr;
    std::unique_ptr<CLightControlUI> panel;
    test::TestLightTarget device{LightKind::Keyboard};
};

TEST_F(OnWidgets, ShowsARecordOnTheWidgets) {
    ASSERT_NE(built, nullptr) << loader.errorString().toStdString();
    LightEffect e{.SelectItem = 3,
                  .Light = 5,
                  .Speed = 1,
                  .Fx = 0,
                  .MultiColor = 1,
                  .Red = 0x20,
                  .Green = 0x40,
                  .Blue = 0x60};
    panel->ShowLightEffect(packLightEffect(e));
    EXPECT_EQ(get<QComboBox>("light_combo_modeSelect")->currentIndex(), 3);
    EXPECT_EQ(get<QSlider>("deng_light_slider")->value(), 5);
    EXPECT_EQ(get<QSlider>("deng_speed_slider")->value(), 1);
    EXPECT_EQ(get<QLineEdit>("deng_edit_G")->text(), QStringLiteral("64"));
    EXPECT_EQ(get<qt::ColourPalette>("deng_Color_Pallet")->selectColour(), 0xFF204060u);
    EXPECT_EQ(panel->GetPaletteColour(), 0xFF204060u);
    EXPECT_EQ(root->find("deng_colordp_btn")->backgroundColour(), 0xFF204060u);
    EXPECT_TRUE(get<QCheckBox>("deng_7color_check")->isChecked());
    EXPECT_TRUE(get<QRadioButton>("deng_FXR_check")->isChecked());
    EXPECT_FALSE(get<QRadioButton>("deng_FXL_check")->isChecked());
    EXPECT_EQ(get<QRadioButton>("deng_FXL_check")->text(), QStringLiteral("Clockwise"));

    panel->SelectMode(29);
    EXPECT_EQ(get<QStackedWidget>("light_color_tablayout")->currentIndex(), 1);
    EXPECT_FALSE(get<QWidget>("light_combo_AudiomodeSelectLayout")->isHidden());
    EXPECT_TRUE(get<QWidget>("deng_speed_layout")->isHidden());
    panel->SelectMode(4);
    EXPECT_EQ(get<QStackedWidget>("light_color_tablayout")->currentIndex(), 0);
    EXPECT_FALSE(get<QWidget>("light_color_layout")->isEnabled());
    EXPECT_EQ(get<QComboBox>("light_combo_custommodeSelect")->count(), 8);
}

TEST_F(OnWidgets, TheUsersActionsReachTheDevice) {
    ASSERT_NE(built, nullptr);
    LightFamilies families;
    LightSync sync(families);
    LightPanelHandlers handlers(sync, [] { return ScreenSize{1920, 1080}; });
    root->setNotificationHandler([&](const ui::Notification& n) { handlers.Route(n, &device); });
    device.setRecord(LightEffect{.SelectItem = 1, .Light = 2, .Fx = 1, .MultiColor = 1});
    panel->ShowLightEffect(device.GetLightEffect());  // mode 1: everything enabled
    QApplication::processEvents();

    auto* palette = get<qt::ColourPalette>("deng_Color_Pallet");
    ASSERT_NE(palette, nullptr);
    ASSERT_TRUE(palette->isEnabled());
    const QPoint at(palette->width() / 3, palette->height() * 3 / 4);
    QTest::mouseClick(palette, Qt::LeftButton, Qt::NoModifier, at);
    const QRgb picked = qt::ColourPalette::colourAt(at, palette->size());
    EXPECT_EQ(argbColour(device.record()), picked);
    EXPECT_EQ(device.record().MultiColor, 0);
    EXPECT_EQ(get<QLineEdit>("deng_edit_R")->text(), QString::number(qRed(picked)));

    QTest::mouseClick(get<QPushButton>("color_option_2"), Qt::LeftButton);
    EXPECT_EQ(argbColour(device.record()), 0xFFFFFF00u);

    QTest::mouseClick(get<QRadioButton>("deng_FXR_check"), Qt::LeftButton);
    EXPECT_EQ(device.record().Fx, 0);

    auto* red = get<QLineEdit>("deng_edit_R");
    red->setText(QStringLiteral("900"));
    QTest::keyClick(red, Qt::Key_Return);
    EXPECT_EQ(device.record().Red, 255);
    EXPECT_EQ(red->text(), QStringLiteral("255"));

    auto* modes = get<QComboBox>("light_combo_modeSelect");
    modes->setCurrentIndex(12);
    modes->activated(12);
    EXPECT_EQ(device.record().SelectItem, 12);
    EXPECT_FALSE(get<QWidget>("deng_color_layout")->isEnabled());
}

}  // namespace
}  // namespace korvane::lighting::panel
