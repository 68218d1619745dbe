#include "keys/panels/shoot_control.h"

#include <gtest/gtest.h>

#include "tests/keys/panels/panel_test_support.h"

namespace korvane::keys::panels {
namespace {

using korvane::testing::readText;
using korvane::testing::TempFolder;
using korvane::testing::writeText;
using testing::buildPanel;
using testing::child;

class ShootPanel : public ::testing::Test {
  protected:
    ShootPanel()
        : root_(buildPanel(kShootControlSkin, kGunCount)), panel_(root_.get(), services_.bundle()) {
        for (int gun = 0; gun < kGunCount; ++gun) {
            Json::Value document;
            for (int shot = 0; shot < kShotCount; ++shot) {
                writeShot(document, shot, Shot{gun % 2 == 0, gun + 1, true, shot, 90 + gun});
            }
            files::WriteJsonDocument(gunFilePath(defaults_.path(), gun), document);
        }
        panel_.SetFolders(folder_.path(), defaults_.path());
    }

    ui::MemoryControl& c(std::string_view name) { return child(*root_, name); }
    std::filesystem::path gun(int n) { return gunFilePath(folder_.path(), n); }

    testing::Services services_;
    TempFolder folder_;
    TempFolder defaults_;
    std::unique_ptr<ui::MemoryControl> root_;
    CShootControlUI panel_;
};

TEST_F(ShootPanel, InitialiseRecreatesMissingAndDamagedGunsFromTheDefaults) {
    ASSERT_TRUE(panel_.Usable());
    Json::Value own;
    writeShot(own, 0, Shot{false, 9, false, 9, 9});
    files::WriteJsonDocument(gun(0), own);
    writeText(gun(1), "{ damaged");
    writeText(gun(3), "");
    const std::string ownBefore = readText(gun(0));
    panel_.Initialise();
    EXPECT_EQ(readText(gun(0)), ownBefore);
    for (int n : {1, 2, 3}) {
        EXPECT_EQ(readText(gun(n)), readText(gunFilePath(defaults_.path(), n))) << n;
    }
    EXPECT_TRUE(c("shoot_gun_op_0").selected());
    EXPECT_TRUE(c("bullet_op_0").selected());
    EXPECT_EQ(c("bullet_select_index").text(), "1");
    EXPECT_EQ(c("bullet_x_eidt").text(), "9");
}

TEST_F(ShootPanel, SelectionsAreLimitedAndShown) {
    panel_.Initialise();
    panel_.SelectGun(2);
    panel_.SelectShot(30);
    EXPECT_EQ(panel_.SelectedShot(), 29);
    EXPECT_TRUE(c("bullet_op_29").selected());
    EXPECT_EQ(c("bullet_select_index").text(), "30");
    EXPECT_EQ(c("bullet_y_eidt").text(), "29");
    EXPECT_EQ(c("bullet_x_eidt").text(), "3");
    EXPECT_EQ(c("bullet_delay_eidt").text(), "92");
    EXPECT_TRUE(c("bullet_x_check").selected());
    EXPECT_EQ(c("bullet_x_check").text(), "Left");
    EXPECT_EQ(c("bullet_y_check").text(), "Up");
    EXPECT_EQ(c("shoot_image_display_switch").currentPage(), 2);
    panel_.NextShot();
    EXPECT_EQ(panel_.SelectedShot(), 29);
    panel_.SelectShot(-1);
    EXPECT_EQ(panel_.SelectedShot(), 0);
    EXPECT_TRUE(c("bullet_op_0").selected());
    EXPECT_FALSE(c("bullet_op_29").selected());
    panel_.PreviousShot();
    EXPECT_EQ(panel_.SelectedShot(), 0);
    panel_.SelectGun(9);
    EXPECT_EQ(panel_.SelectedGun(), 3);
    EXPECT_TRUE(c("shoot_gun_op_3").selected());
    EXPECT_FALSE(c("shoot_gun_op_2").selected());
}

TEST_F(ShootPanel, SavingShotZeroWritesTheSixElements) {
    panel_.Initialise();
    panel_.SelectShot(0);
    c("bullet_x_check").setSelected(true, ui::Notify::No);
    c("bullet_y_check").setSelected(false, ui::Notify::No);
    panel_.OnDirectionChanged();
    EXPECT_EQ(c("bullet_y_check").text(), "Down");
    c("bullet_x_eidt").setText("3");
    c("bullet_y_eidt").setText("7");
    c("bullet_delay_eidt").setText("95");
    panel_.SaveShot();
    const Json::Value events = files::ReadJsonDocument(gun(0))["Events"];
    ASSERT_EQ(events.size(), std::size_t(kGunEventCount));
    const Json::Value expected = files::ParseJsonDocument(R"([
        {"Type":1,"Action":"down","Button":1,"Delay":10},
        {"Type":1,"Action":"up","Button":1,"Delay":0},
        {"Type":4,"Action":"down","Button":3,"Delay":5},
        {"Type":5,"Action":"up","Button":7,"Delay":95},
        {"Type":4,"Action":"down","Button":0,"Delay":0},
        {"Type":5,"Action":"up","Button":0,"Delay":0}])");
    for (Json::ArrayIndex i = 0; i < 6; ++i) {
        EXPECT_EQ(events[i], expected[i]) << i;
    }
    // Another shot shows its stored values again; edits are not kept without saving.
    c("bullet_x_eidt").setText("44");
    panel_.SelectShot(1);
    panel_.SelectShot(0);
    EXPECT_EQ(c("bullet_x_eidt").text(), "3");
}

TEST_F(ShootPanel, NumberFieldsAreLimited) {
    panel_.Initialise();
    c("bullet_x_eidt").setText("999");
    panel_.OnEditKillFocus("bullet_x_eidt");
    EXPECT_EQ(c("bullet_x_eidt").text(), "255");
    c("bullet_delay_eidt").setText("99999");
    panel_.OnEditKillFocus("BULLET_DELAY_EIDT");
    EXPECT_EQ(c("bullet_delay_eidt").text(), "65535");
}

TEST_F(ShootPanel, ResetWithoutADefaultEmptiesTheFile) {
    panel_.Initialise();
    std::filesystem::remove(gunFilePath(defaults_.path(), 1));
    panel_.SelectGun(1);
    panel_.ResetGun();
    EXPECT_EQ(readText(gun(1)), "");
    EXPECT_EQ(c("bullet_x_eidt").text(), "0");
    EXPECT_EQ(c("bullet_delay_eidt").text(), "0");
}

TEST_F(ShootPanel, ImportChecksTheFileAndExportCopiesIt) {
    panel_.Initialise();
    TempFolder outside;
    Json::Value pattern;
    writeShot(pattern, 0, Shot{true, 12, false, 34, 56});
    files::WriteJsonDocument(outside / "good.shoot", pattern);
    writeText(outside / "macro.shoot", R"({"Events":[{"Type":10,"Button":"A"}]})");
    Json::Value tooLong = pattern;
    writeShot(tooLong, kShotCount - 1, Shot{});
    tooLong["Events"].append(tooLong["Events"][0]);
    files::WriteJsonDocument(outside / "long.shoot", tooLong);

    panel_.SelectGun(3);
    const std::string before = readText(gun(3));
    EXPECT_FALSE(panel_.Import(outside / "macro.shoot"));
    EXPECT_FALSE(panel_.Import(outside / "long.shoot"));
    EXPECT_FALSE(panel_.Import(outside / "missing.shoot"));
    EXPECT_EQ(readText(gun(3)), before);
    std::vector<std::string> keys;
    for (const auto& shown : services_.messages.presented()) {
        keys.push_back(shown.text);
    }
    EXPECT_EQ(keys,
              (std::vector<std::string>{"shoot_import_bad_event", "shoot_import_too_many_events",
                                        "shoot_import_unreadable"}));

    services_.files.setDefaultAnswer(outside / "good.shoot");
    ASSERT_TRUE(panel_.ImportWithDialog());
    EXPECT_EQ(services_.files.presented().back().filters[0].displayName, "Shoot Files(*.shoot)");
    EXPECT_EQ(readText(gun(3)), readText(outside / "good.shoot"));
    EXPECT_EQ(c("bullet_x_eidt").text(), "12");

    ASSERT_TRUE(panel_.Export(outside / "out.shoot"));
    EXPECT_EQ(readText(outside / "out.shoot"), readText(gun(3)));
}

TEST(ShootPanelWithoutSkin, DoesNothingWithoutItsControls) {
    testing::Services services;
    TempFolder folder;
    auto root = buildPanel(kShootControlSkin, kGunCount);
    std::unique_ptr<ui::MemoryControl> removed = root->take(root->find("bullet_op_17"));
    CShootControlUI panel(root.get(), services.bundle());
    panel.SetFolders(folder.path(), folder.path());
    EXPECT_FALSE(panel.Usable());
    panel.Initialise();
    panel.SelectShot(3);
    panel.SaveShot();
    EXPECT_FALSE(panel.Import(folder / "x.shoot"));
    EXPECT_TRUE(folder.entries().empty());
}

}  // namespace
}  // namespace korvane::keys::panels
