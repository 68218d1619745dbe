#include "platform/files/json_document.h"

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <string>
#include <thread>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/log/logger.h"
#include "tests/files/temp_folder.h"

namespace korvane::files {
namespace {

namespace fs = std::filesystem;
using korvane::testing::readText;
using korvane::testing::TempFolder;
using korvane::testing::writeText;
using ::testing::ElementsAre;

// Collects the log lines written while it lives.
class LogCapture {
  public:
    LogCapture() {
        log::setEnabled(true);
        log::setSink([this](std::string_view line) { lines.emplace_back(line); });
    }
    ~LogCapture() {
        log::setSink({});
        log::setEnabled(false);
    }
    bool contains(std::string_view text) const {
        for (const auto& line : lines) {
            if (line.find(text) != std::string::npos) {
                return true;
            }
        }
        return false;
    }
    std::vector<std::string> lines;
};

TEST(ReadJsonDocument, AcceptsAnyValidJson) {
    struct Case {
        const char* name;
        std::string text;
        Json::Value expected;
    };
    Json::Value object(Json::objectValue);
    object["a"] = 1;
    Json::Value array(Json::arrayValue);
    array.append(1);
    array.append("中文");
    const std::vector<Case> cases = {
        {"object", R"({"a": 1})", object},
        {"comments before, inside and after", "// head\n{ /* in */ \"a\" : 1 } // tail\n", object},
        {"byte order mark", "\xEF\xBB\xBF{\"a\":1}", object},
        {"array root with UTF-8 text", "[1, \"中文\"]", array},
        {"number root", "  42 \n", Json::Value(42)},
    };
    TempFolder folder;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        writeText(folder / "doc.json", c.text);
        EXPECT_EQ(ReadJsonDocument(folder / "doc.json"), c.expected);
    }
}

TEST(ReadJsonDocument, DamagedFilesReadAsNull) {
    const std::vector<std::pair<const char*, std::string>> cases = {
        {"empty", ""},
        {"white space only", "  \n\t "},
        {"cut short", R"({"Device": [ {"KeyList": [1, 2)"},
        {"garbage after the document", "{} x"},
        {"second document", "{} {}"},
        {"raw byte that is not UTF-8", "{\"name\": \"\xFF\"}"},
        {"overlong UTF-8", "{\"name\": \"\xC0\xAF\"}"},
        {"member name not UTF-8", "{\"\xE2\x82\": 1}"},
        {"lone low surrogate escape", R"({"name": "\uDC00"})"},
        {"lone high surrogate escape", R"({"name": "\uD800"})"},
        {"nested deeper than the parser allows", std::string(5000, '[') + std::string(5000, ']')},
        {"number out of range", "1e400"},
        {"binary", std::string("\x00\x01\x02{}", 5)},
    };
    TempFolder folder;
    for (const auto& [name, text] : cases) {
        SCOPED_TRACE(name);
        writeText(folder / "doc.json", text);
        EXPECT_TRUE(ReadJsonDocument(folder / "doc.json").isNull());
        EXPECT_TRUE(ParseJsonDocument(text).isNull());
    }
}

TEST(ReadJsonDocument, WhatIsNotARegularReadableFileReadsAsNull) {
    TempFolder folder;
    EXPECT_TRUE(ReadJsonDocument(folder / "missing.json").isNull());
    EXPECT_TRUE(ReadJsonDocument(folder.path()).isNull());
    EXPECT_TRUE(ReadJsonDocument({}).isNull());

    // A pipe without a writer must not block the reader.
    ASSERT_EQ(::mkfifo((folder / "fifo").c_str(), 0600), 0);
    EXPECT_TRUE(ReadJsonDocument(folder / "fifo").isNull());

    // Larger than the limit (sparse, so the test stays cheap): refused before reading.
    const fs::path huge = folder / "huge.json";
    writeText(huge, "{}");
    fs::resize_file(huge, kMaxJsonFileSize + 1);
    EXPECT_TRUE(ReadJsonDocument(huge).isNull());
    // At the limit a valid document is still read.
    std::string padded = "{}";
    padded.resize(kMaxJsonFileSize, ' ');
    writeText(huge, padded);
    EXPECT_TRUE(ReadJsonDocument(huge).isObject());
}

TEST(ReadJsonDocument, WritesTheDebugLines) {
    TempFolder folder;
    LogCapture log;
    EXPECT_TRUE(ReadJsonDocument(folder / "missing.json").isNull());
    EXPECT_TRUE(log.contains("readjsonFile 错误吗：：2"));  // ENOENT
    EXPECT_TRUE(log.contains((folder / "missing.json").string()));
}

TEST(WriteJsonDocument, WritesTheFileStyleAndReadsBack) {
    TempFolder folder;
    Json::Value doc;
    doc["profilename"] = "游戏 Game";
    doc["Device"][0]["b"] = 2;
    doc["Device"][0]["a"] = 1;
    ASSERT_TRUE(WriteJsonDocument(folder / "p.Json", doc));
    const std::string text = readText(folder / "p.Json");
    EXPECT_EQ(text,
              "{\n"
              "   \"Device\" : \n"
              "   [\n"
              "      {\n"
              "         \"a\" : 1,\n"
              "         \"b\" : 2\n"
              "      }\n"
              "   ],\n"
              "   \"profilename\" : \"游戏 Game\"\n"
              "}\n");
    EXPECT_EQ(ReadJsonDocument(folder / "p.Json"), doc);
    EXPECT_THAT(folder.entries(), ElementsAre("p.Json"));
}

TEST(WriteJsonDocument, TextThatIsNotUtf8IsWrittenAsReplacementCharacters) {
    TempFolder folder;
    Json::Value doc;
    doc["name"] = std::string(
        "a\xFF"
        "b");
    ASSERT_TRUE(WriteJsonDocument(folder / "p.json", doc));
    const Json::Value back = ReadJsonDocument(folder / "p.json");
    EXPECT_EQ(back["name"].asString(),
              "a\xEF\xBF\xBD"
              "b");
}

TEST(WriteJsonDocument, ReplacesTheWholeFileAndKeepsItsPermissions) {
    TempFolder folder;
    const fs::path path = folder / "p.json";
    writeText(path, std::string(10000, 'x'));
    ASSERT_EQ(::chmod(path.c_str(), 0600), 0);
    Json::Value doc;
    doc["a"] = 1;
    ASSERT_TRUE(WriteJsonDocument(path, doc));
    EXPECT_EQ(readText(path), "{\n   \"a\" : 1\n}\n");
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0600u);
}

TEST(WriteJsonDocument, ThroughASymbolicLinkReplacesTheLinkedFile) {
    TempFolder folder;
    fs::create_directory(folder / "real");
    writeText(folder / "real" / "p.json", "{}");
    fs::create_symlink(folder / "real" / "p.json", folder / "link.json");
    Json::Value doc;
    doc["a"] = 1;
    ASSERT_TRUE(WriteJsonDocument(folder / "link.json", doc));
    EXPECT_TRUE(fs::is_symlink(folder / "link.json"));
    EXPECT_EQ(ReadJsonDocument(folder / "real" / "p.json"), doc);
    EXPECT_THAT(folder.entries("real"), ElementsAre("p.json"));
}

TEST(WriteJsonDocument, AFailedRenameLeavesTheTargetAndNoTemporaryFile) {
    TempFolder folder;
    // A non-empty folder in the file's place: the rename fails after the data was written.
    fs::create_directories(folder / "p.json" / "inside");
    LogCapture log;
    Json::Value doc;
    doc["a"] = 1;
    EXPECT_FALSE(WriteJsonDocument(folder / "p.json", doc));
    EXPECT_TRUE(log.contains("rename"));
    EXPECT_THAT(folder.entries(), ElementsAre("p.json"));
    EXPECT_THAT(folder.entries("p.json"), ElementsAre("inside"));
}

TEST(WriteJsonDocument, AFullDiskLeavesTheOldFileIntact) {
    TempFolder folder;
    const fs::path path = folder / "p.json";
    const std::string old = "{\n   \"old\" : true\n}\n";
    writeText(path, old);
    Json::Value big;
    big["text"] = std::string(64 * 1024, 'x');

    // A file size limit makes write() fail with EFBIG, as a full disk fails it with ENOSPC.
    struct rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = WriteJsonDocument(path, big);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(written);
    EXPECT_EQ(readText(path), old);
    EXPECT_THAT(folder.entries(), ElementsAre("p.json"));
}

TEST(WriteJsonDocument, FailsCleanlyWithoutAFolder) {
    TempFolder folder;
    EXPECT_FALSE(WriteJsonDocument(folder / "missing" / "p.json", Json::Value(1)));
    EXPECT_FALSE(WriteJsonDocument(folder.path() / "", Json::Value(1)));
    EXPECT_TRUE(folder.entries().empty());
}

TEST(WriteJsonDocument, ConcurrentWritersLeaveOneCompleteDocument) {
    TempFolder folder;
    const fs::path path = folder / "p.json";
    std::vector<std::thread> writers;
    for (int t = 0; t < 4; ++t) {
        writers.emplace_back([&path, t] {
            Json::Value doc;
            doc["writer"] = t;
            doc["text"] = std::string(20000, static_cast<char>('a' + t));
            for (int i = 0; i < 10; ++i) {
                EXPECT_TRUE(WriteJsonDocument(path, doc));
            }
        });
    }
    for (auto& w : writers) {
        w.join();
    }
    const Json::Value doc = ReadJsonDocument(path);
    ASSERT_TRUE(doc.isObject());
    const int t = doc["writer"].asInt();
    EXPECT_EQ(doc["text"].asString(), std::string(20000, static_cast<char>('a' + t)));
    EXPECT_THAT(folder.entries(), ElementsAre("p.json"));
}

}  // namespace
}  // namespace korvane::files
