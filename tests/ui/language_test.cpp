#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "ui/language.h"

namespace korvane::ui {
namespace {

class LanguageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("korvane_language_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::filesystem::path write(const std::string& name, const std::string& content) {
        const auto path = dir_ / name;
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }
    std::filesystem::path dir_;
};

TEST_F(LanguageTest, LooksKeysUpAndShowsMissingKeysAsThemselves) {
    write("lan_cn.json",
          "// comments are allowed\n"
          "{ \"message_text_5\": \"\xE8\xAE\xBE\xE5\xA4\x87\", \"tips_text\": \"Tips\",\n"
          "  \"not_text\": 12, \"nested\": {\"a\": \"b\"} }");
    Language language;
    std::string error;
    ASSERT_TRUE(language.load(Language::fileFor(dir_, "cn"), &error)) << error;
    EXPECT_EQ(language.text("message_text_5"), "\xE8\xAE\xBE\xE5\xA4\x87");  // UTF-8 kept
    EXPECT_EQ(language.text("tips_text"), "Tips");
    EXPECT_TRUE(language.contains("tips_text"));
    EXPECT_FALSE(language.contains("Tips_Text"));  // keys are exact
    EXPECT_EQ(language.text("message_text_99"), "message_text_99");
    EXPECT_FALSE(language.contains("not_text"));  // only string members are texts
    EXPECT_EQ(language.text("not_text"), "not_text");
    EXPECT_EQ(language.size(), 2u);
}

TEST_F(LanguageTest, BadFilesLeaveAnEmptyTableAndSayWhy) {
    struct Case {
        const char* name;
        const char* content;  // nullptr: no file
    };
    const Case cases[] = {
        {"missing.json", nullptr},
        {"damaged.json", "{ \"a\": \"b\", "},
        {"array.json", "[\"a\", \"b\"]"},
        {"empty.json", ""},
        {"binary.json", "\x00\xFF\xFE garbage"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Language language;
        ASSERT_TRUE(language.loadFromText("{\"a\": \"old\"}"));
        const auto path = c.content != nullptr ? write(c.name, c.content) : dir_ / c.name;
        std::string error;
        EXPECT_FALSE(language.load(path, &error));
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(language.size(), 0u);
        EXPECT_EQ(language.text("a"), "a");
    }
}

}  // namespace
}  // namespace korvane::ui
