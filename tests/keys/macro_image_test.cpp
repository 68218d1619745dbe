#include "keys/macro_image.h"

#include <gtest/gtest.h>

#include "keys/gun_files.h"
#include "keys/macro_files.h"
#include "platform/files/json_document.h"
#include "tests/files/temp_folder.h"

namespace korvane::keys {
namespace {

using testing::TempFolder;
using Bytes = std::vector<uint8_t>;

TEST(MacroImage, LayoutOfHeaderOffsetsAndRecords) {
    const std::vector<EventList> records = {
        {{10, 0x04, true, 0x0102}, {10, 0x04, false, 0}},
        {{1, 0x01, true, 50}},
    };
    const MacroImage image = buildMacroImage(records, 1024);
    ASSERT_EQ(image.status, MacroImage::Status::Built);
    // T = 16 + 6 × 2 + 4 × 3 = 40; records at 20 and 32.
    const Bytes expected = {
        0xAA, 0x55, 40, 0, 2,    0,    0,    0,    0, 0, 0,    0,    0, 0, 0, 0,  // header
        20,   0,    32, 0,                                                        // offsets
        2,    0,    0,  0, 0x02, 0x01, 0x8A, 0x04, 0, 0, 0x0A, 0x04,              // record 0
        1,    0,    0,  0, 50,   0,    0x81, 0x01,                                // record 1
    };
    EXPECT_EQ(image.bytes, expected);
    EXPECT_EQ(image.totalSize, 40u);
}

TEST(MacroImage, RecordWithoutEventsKeepsItsPlace) {
    const std::vector<EventList> records = {{}, {{4, 3, true, 5}}};
    const MacroImage image = buildMacroImage(records, std::nullopt);
    ASSERT_EQ(image.status, MacroImage::Status::Built);
    EXPECT_EQ(image.bytes.size(), 16u + 12u + 4u);
    EXPECT_EQ(image.bytes[16], 20);  // first record right after the table
    EXPECT_EQ(image.bytes[18], 24);  // second after the first's 4-byte head
    EXPECT_EQ(image.bytes[20], 0);
    EXPECT_EQ(image.bytes[24], 1);
}

TEST(MacroImage, CapacityCheckCountsMissingUnitsPlusOne) {
    const std::vector<EventList> records = {EventList(10, MacroEvent{10, 4, true, 1})};
    const std::size_t total = 16 + 6 + 40;
    struct Case {
        std::size_t capacity;
        MacroImage::Status status;
        int overflow;
    };
    const Case cases[] = {
        {total, MacroImage::Status::Built, 0},
        {total - 10, MacroImage::Status::DoesNotFit, 3},
        {total - 1, MacroImage::Status::DoesNotFit, 1},
        {total - 4, MacroImage::Status::DoesNotFit, 2},
        {0, MacroImage::Status::DoesNotFit, int((total >> 2) + 1)},
    };
    for (const Case& c : cases) {
        const MacroImage image = buildMacroImage(records, c.capacity);
        EXPECT_EQ(image.status, c.status) << c.capacity;
        EXPECT_EQ(image.overflow, c.overflow) << c.capacity;
        EXPECT_EQ(image.bytes.empty(), c.status != MacroImage::Status::Built);
    }
}

TEST(MacroImage, NothingToSendAndBeyondSixteenBits) {
    EXPECT_EQ(buildMacroImage({}, 4096).status, MacroImage::Status::Empty);
    const std::vector<EventList> huge(5, EventList(kMaxMacroEvents));
    const MacroImage image = buildMacroImage(huge, std::nullopt);
    EXPECT_EQ(image.status, MacroImage::Status::TooLarge);
    EXPECT_TRUE(image.bytes.empty());
    EXPECT_EQ(buildMacroImage(huge, 32640).status, MacroImage::Status::DoesNotFit);
}

void writeMacro(const TempFolder& folder, std::size_t index, const std::string& guid,
                const std::vector<MacroEvent>& events) {
    ASSERT_TRUE(writeMacroListEntry(folder.path(), index, {"m" + std::to_string(index), guid}));
    std::vector<Json::Value> rows;
    for (const MacroEvent& e : events) {
        rows.push_back(eventToJson(e));
    }
    ASSERT_TRUE(writeMacroFile(*macroFilePath(folder.path(), guid), "m", guid, rows));
}

TEST(MacroImage, FromTheMacroFilesOfAFolder) {
    TempFolder folder;
    writeMacro(folder, 0, "g0", {{10, 0x04, true, 7}});
    writeMacro(folder, 1, "g1", {});
    writeMacro(folder, 2, "g2", {{10, 0x05, true, 1}, {10, 0x05, false, 2}});
    // Element 1 of the last file is not an event: it is left out.
    testing::writeText(folder / "g1.mac", R"({"Events":[{"Type":1,"Button":2},{"Type":"x"}]})");

    const int list[] = {2, 0, 1, 9};
    const MacroImage image = buildMacroImageFromFolder(folder.path(), list, 4096);
    ASSERT_EQ(image.status, MacroImage::Status::Built);
    const std::vector<EventList> expected = {
        {{10, 0x05, true, 1}, {10, 0x05, false, 2}},
        {{10, 0x04, true, 7}},
        {{1, 2, false, 0}},
        {},  // macro 9 does not exist
    };
    EXPECT_EQ(image.bytes, buildMacroImage(expected, 4096).bytes);

    EXPECT_EQ(buildMacroImageFromFolder(folder.path(), {}, 4096).status, MacroImage::Status::Empty);
    TempFolder empty;
    EXPECT_EQ(buildMacroImageFromFolder(empty.path(), list, 4096).status,
              MacroImage::Status::Empty);
}

TEST(MacroImage, RecoilImageOfFourGunFiles) {
    TempFolder folder;
    Json::Value gun0;
    writeShot(gun0, 0, Shot{true, 3, false, 7, 95});
    ASSERT_TRUE(files::WriteJsonDocument(gunFilePath(folder.path(), 0), gun0));
    Json::Value gun2;
    writeShot(gun2, kShotCount - 1, Shot{});
    ASSERT_TRUE(files::WriteJsonDocument(gunFilePath(folder.path(), 2), gun2));
    // Gun 1 is damaged, gun 3 missing: records without events.
    testing::writeText(gunFilePath(folder.path(), 1), "{\"Events\": [");

    const MacroImage image = buildRecoilImage(folder.path());
    ASSERT_EQ(image.status, MacroImage::Status::Built);
    EXPECT_EQ(image.totalSize, 16u + 24u + 4u * (6 + kGunEventCount));
    EXPECT_EQ(image.bytes[4], 4);
    // Gun 0's record: six events, the third is "4 down 3" after delay 5.
    const std::size_t record0 = image.bytes[16] | (image.bytes[17] << 8);
    EXPECT_EQ(record0, 24u);
    EXPECT_EQ(image.bytes[record0], 6);
    auto event = [&](std::size_t n) {
        const auto at = image.bytes.begin() + static_cast<std::ptrdiff_t>(record0 + 4 + 4 * n);
        return Bytes(at, at + 4);
    };
    EXPECT_EQ(event(0), (Bytes{10, 0, 0x81, 1}));
    EXPECT_EQ(event(2), (Bytes{5, 0, 0x84, 3}));
    EXPECT_EQ(event(3), (Bytes{95, 0, 0x05, 7}));
    const std::size_t record1 = image.bytes[18] | (image.bytes[19] << 8);
    EXPECT_EQ(image.bytes[record1], 0);
}

}  // namespace
}  // namespace korvane::keys
