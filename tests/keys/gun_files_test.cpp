#include "keys/gun_files.h"

#include <gtest/gtest.h>

#include "keys/event_file.h"
#include "platform/files/json_document.h"
#include "tests/files/temp_folder.h"

namespace korvane::keys {
namespace {

Json::Value parse(std::string_view text) {
    return files::ParseJsonDocument(text);
}

TEST(GunFiles, Names) {
    EXPECT_EQ(gunFileName(2), "ShootData_2.Shoot");
    EXPECT_EQ(gunFilePath("/f", 0), std::filesystem::path("/f/ShootData_0.Shoot"));
}

TEST(GunFiles, SavingAShotWritesItsSixElements) {
    Json::Value document;
    writeShot(document, 0, Shot{true, 3, false, 7, 95});
    const Json::Value expected = parse(R"({"Events":[
        {"Type":1,"Action":"down","Button":1,"Delay":10},
        {"Type":1,"Action":"up","Button":1,"Delay":0},
        {"Type":4,"Action":"down","Button":3,"Delay":5},
        {"Type":5,"Action":"up","Button":7,"Delay":95},
        {"Type":4,"Action":"down","Button":0,"Delay":0},
        {"Type":5,"Action":"up","Button":0,"Delay":0}]})");
    EXPECT_EQ(document, expected);
    EXPECT_EQ(readShot(document, 0), (Shot{true, 3, false, 7, 95}));
}

TEST(GunFiles, ShotsAfterTheEndKeepTheLayout) {
    Json::Value document = parse(R"({"Other":1,"Events":[]})");
    writeShot(document, 2, Shot{false, 300, true, 1, 70000});
    ASSERT_EQ(document["Events"].size(), 18u);
    EXPECT_EQ(document["Other"].asInt(), 1);
    EXPECT_EQ(readShot(document, 0), Shot{});
    EXPECT_EQ(document["Events"][0]["Action"].asString(), "down");  // a whole zero shot
    EXPECT_EQ(readShot(document, 2), (Shot{false, 255, true, 1, 65535}));
    // Replacing a shot leaves the others alone.
    writeShot(document, 1, Shot{true, 1, true, 2, 3});
    EXPECT_EQ(readShot(document, 2), (Shot{false, 255, true, 1, 65535}));
    EXPECT_EQ(document["Events"].size(), 18u);
}

TEST(GunFiles, ShotAndGunLimits) {
    EXPECT_EQ(clampShot(30), 29);
    EXPECT_EQ(clampShot(-1), 0);
    EXPECT_EQ(clampShot(12), 12);
    EXPECT_EQ(clampGun(4), 3);
    EXPECT_EQ(clampGun(-7), 0);
    Json::Value document;
    writeShot(document, 99, Shot{false, 1, false, 1, 1});
    EXPECT_EQ(document["Events"].size(), std::size_t(kGunEventCount));
}

TEST(GunFiles, DamagedDocumentsReadAsZeros) {
    const char* documents[] = {
        "null",
        "[]",
        R"({"Events":7})",
        R"({"Events":[1,2,3,4,5,6]})",
        R"({"Events":[{},{},{"Action":3,"Button":"x"},{"Button":-4,"Delay":"zz"}]})",
    };
    for (const char* text : documents) {
        EXPECT_EQ(readShot(parse(text), 0), Shot{}) << text;
    }
    // Strings where numbers belong are not read as numbers.
    EXPECT_EQ(readShot(parse(R"({"Events":[{},{},{"Button":"12"},{"Button":5,"Delay":"40"}]})"), 0),
              (Shot{false, 0, false, 5, 40}));
}

TEST(GunFiles, ImportCheckAllowsThirtyShots) {
    testing::TempFolder folder;
    Json::Value full;
    writeShot(full, kShotCount - 1, Shot{});
    ASSERT_TRUE(files::WriteJsonDocument(folder / "full.shoot", full));
    EXPECT_EQ(checkEventFile(folder / "full.shoot", EventFileKind::Recoil).status, FileCheck::Ok);
    full["Events"].append(full["Events"][0]);
    ASSERT_TRUE(files::WriteJsonDocument(folder / "long.shoot", full));
    const EventFileCheck check = checkEventFile(folder / "long.shoot", EventFileKind::Recoil);
    EXPECT_EQ(check.status, FileCheck::TooManyEvents);
    EXPECT_EQ(messageKey(check.status, EventFileKind::Recoil), "shoot_import_too_many_events");
}

TEST(GunFiles, ShippedDefaultsAreFullGuns) {
    const std::filesystem::path folder = std::filesystem::path(KORVANE_SOURCE_ROOT) / "DefaultData";
    for (int gun = 0; gun < kGunCount; ++gun) {
        const EventFileCheck check =
            checkEventFile(gunFilePath(folder, gun), EventFileKind::Recoil);
        ASSERT_EQ(check.status, FileCheck::Ok) << gun;
        ASSERT_EQ(check.events.size(), std::size_t(kGunEventCount)) << gun;
        for (int shot = 0; shot < kShotCount; ++shot) {
            const Shot s = readShot(check.document, shot);
            EXPECT_GT(s.y, 0) << gun << "/" << shot;  // every shot pulls
            EXPECT_GT(s.delay, 0) << gun << "/" << shot;
            // The fixed elements of the layout.
            const Json::Value& press = check.document["Events"][Json::ArrayIndex(shot * 6)];
            EXPECT_EQ(parseMacroEvent(press).event, (MacroEvent{1, 1, true, 10}));
        }
    }
}

}  // namespace
}  // namespace korvane::keys
