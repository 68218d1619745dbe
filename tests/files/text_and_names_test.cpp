#include <stdlib.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <limits>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform/files/safe_file_name.h"
#include "platform/files/time_stamp.h"
#include "platform/files/utf8.h"

namespace korvane::files {
namespace {

TEST(Utf8, ChecksEveryKindOfMalformedSequence) {
    struct Case {
        const char* name;
        std::string text;
        bool valid;
        std::string repaired;
    };
    const std::vector<Case> cases = {
        {"ASCII", "abc", true, "abc"},
        {"two to four byte forms", "é中😀", true, "é中😀"},
        {"highest code point", "\xF4\x8F\xBF\xBF", true, "\xF4\x8F\xBF\xBF"},
        {"lone continuation byte", "a\x80z", false, "a\xEF\xBF\xBDz"},
        {"cut-off sequence at the end", "a\xE4\xB8", false, "a\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"overlong slash", "\xC0\xAF", false, "\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"overlong three bytes", "\xE0\x80\xAF", false, "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"surrogate", "\xED\xA0\x80", false, "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"above U+10FFFF", "\xF4\x90\x80\x80", false,
         "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"byte FF", "\xFF", false, "\xEF\xBF\xBD"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(isValidUtf8(c.text), c.valid);
        EXPECT_EQ(toValidUtf8(c.text), c.repaired);
        EXPECT_TRUE(isValidUtf8(toValidUtf8(c.text)));
    }
}

TEST(SafeFileName, RefusesAnythingThatLeavesTheFolder) {
    const std::vector<std::pair<std::string, bool>> cases = {
        {"2023_05_17_09_04_33_250", true},
        {"{8F2A6C1E-0D4B-4E1A-9C3F-1B2A3C4D5E6F}", true},
        {"灯效 1", true},
        {"a..b", true},
        {"", false},
        {".", false},
        {"..", false},
        {"../escape", false},
        {"/etc/passwd", false},
        {"sub/name", false},
        {"..\\escape", false},
        {"C:name", false},
        {std::string("a\0b", 3), false},
        {"tab\there", false},
        {"new\nline", false},
        {"del\x7F", false},
        {"c1 \xC2\x85 control", false},
        {"not \xFF utf8", false},
        {std::string(kMaxSafeFileNameLength, 'a'), true},
        {std::string(kMaxSafeFileNameLength + 1, 'a'), false},
    };
    for (const auto& [name, safe] : cases) {
        SCOPED_TRACE(name);
        EXPECT_EQ(isSafeFileName(name), safe);
    }
    EXPECT_EQ(safeFilePath("/data/mouse", "effect1", ".light"),
              std::filesystem::path("/data/mouse/effect1.light"));
    EXPECT_EQ(safeFilePath("/data/mouse", "../../x", ".light"), std::nullopt);
}

TEST(TimeStamp, HasTheFileNameFormat) {
    const char* oldTz = std::getenv("TZ");
    const std::string saved = oldTz != nullptr ? oldTz : "";
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    using namespace std::chrono;
    const auto time =
        sys_days{year{2023} / 5 / 17} + hours{9} + minutes{4} + seconds{33} + milliseconds{250};
    EXPECT_EQ(FormatTimeStamp(time), "2023_05_17_09_04_33_250");
    EXPECT_EQ(FormatTimeStamp(sys_days{year{2024} / 12 / 31} + hours{23} + minutes{59} +
                              seconds{59} + milliseconds{999}),
              "2024_12_31_23_59_59_999");
    EXPECT_EQ(FormatTimeStamp(sys_days{year{2024} / 1 / 2} + milliseconds{7}),
              "2024_01_02_00_00_00_007");
    if (oldTz != nullptr) {
        ::setenv("TZ", saved.c_str(), 1);
    } else {
        ::unsetenv("TZ");
    }
    ::tzset();
}

TEST(TimeStamp, NeverRepeatsWithinTheProcess) {
    const std::int64_t min = std::numeric_limits<std::int64_t>::min();
    EXPECT_EQ(NextStampMillis(1000, min), 1000);
    EXPECT_EQ(NextStampMillis(1001, 1000), 1001);
    EXPECT_EQ(NextStampMillis(1000, 1000), 1001);  // same millisecond
    EXPECT_EQ(NextStampMillis(900, 1000), 1001);   // the clock went back

    // Many threads asking at once: every stamp is new.
    std::mutex mutex;
    std::vector<std::string> stamps;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 250; ++i) {
                std::string stamp = MakeTimeStamp();
                std::lock_guard lock(mutex);
                stamps.push_back(std::move(stamp));
            }
        });
    }
    for (auto& t : threads) {
        t.join();
    }
    EXPECT_EQ(std::set<std::string>(stamps.begin(), stamps.end()).size(), stamps.size());
    // One thread's stamps also go up in time (fixed-width fields sort as text).
    std::vector<std::string> serial;
    for (int i = 0; i < 100; ++i) {
        serial.push_back(MakeTimeStamp());
    }
    EXPECT_TRUE(std::is_sorted(serial.begin(), serial.end()));
    EXPECT_EQ(std::adjacent_find(serial.begin(), serial.end()), serial.end());
}

}  // namespace
}  // namespace korvane::files
