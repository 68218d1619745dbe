#include "platform/files/json_fields.h"

#include <cstdint>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "platform/files/json_document.h"

namespace korvane::files {
namespace {

TEST(JsonFields, ConvertsNumbersAndReadsOtherTypesAsZero) {
    struct Case {
        const char* json;
        std::int64_t integer;
        std::uint8_t byte;
        std::uint16_t word;
        std::int32_t int32;
        bool truth;
    };
    const std::vector<Case> cases = {
        {"300", 300, 44, 300, 300, true},
        {"12000", 12000, 0xE0, 12000, 12000, true},
        {"70000", 70000, 0x70, 4464, 70000, true},
        {"-1", -1, 255, 65535, -1, true},
        {"0", 0, 0, 0, 0, false},
        {"12.7", 12, 12, 12, 12, true},
        {"-2.9", -2, 254, 65534, -2, true},
        {"0.5", 0, 0, 0, 0, true},
        {"4294967297", 4294967297, 1, 1, 1, true},
        {"18446744073709551615", -1, 255, 65535, -1, true},
        {"1e300", 0, 0, 0, 0, true},
        {"true", 1, 1, 1, 1, true},
        {"false", 0, 0, 0, 0, false},
        {"\"12\"", 0, 0, 0, 0, false},
        {"null", 0, 0, 0, 0, false},
        {"[5]", 0, 0, 0, 0, false},
        {"{\"a\":5}", 0, 0, 0, 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.json);
        const Json::Value value = ParseJsonDocument(c.json);
        ASSERT_TRUE(!value.isNull() || std::string(c.json) == "null");
        EXPECT_EQ(toInteger(value), c.integer);
        EXPECT_EQ(toByte(value), c.byte);
        EXPECT_EQ(toWord(value), c.word);
        EXPECT_EQ(toInt32(value), c.int32);
        EXPECT_EQ(toTruth(value), c.truth);
    }
    EXPECT_EQ(toText(Json::Value("name")), "name");
    EXPECT_EQ(toText(Json::Value(5)), "");
}

TEST(JsonFields, ReadingNeverThrowsWhateverTheShape) {
    const Json::Value doc = ParseJsonDocument(R"({"o": {"a": 1}, "arr": [1, 2], "n": 5})");
    EXPECT_EQ(toInteger(member(member(doc, "o"), "a")), 1);
    EXPECT_TRUE(member(doc, "missing").isNull());
    EXPECT_TRUE(member(member(doc, "n"), "a").isNull());    // member of a number
    EXPECT_TRUE(member(member(doc, "arr"), "a").isNull());  // member of an array
    EXPECT_EQ(toInteger(element(member(doc, "arr"), 1)), 2);
    EXPECT_TRUE(element(member(doc, "arr"), 2).isNull());
    EXPECT_TRUE(element(member(doc, "o"), 0).isNull());  // element of an object
    EXPECT_TRUE(asObject(member(doc, "arr")).isNull());
    EXPECT_TRUE(asArray(member(doc, "o")).isNull());
    EXPECT_TRUE(asArray(member(doc, "arr")).isArray());
}

TEST(JsonFields, WritersReplaceValuesOfTheWrongTypeAndKeepTheRest) {
    Json::Value doc = ParseJsonDocument(R"({"keep": 1, "o": 5, "arr": {"x": 1}})");
    objectMember(doc, "o")["a"] = 2;
    objectElement(arrayMember(doc, "arr"), 2)["b"] = 3;
    memberSlot(doc, "new") = "text";
    EXPECT_EQ(doc,
              ParseJsonDocument(
                  R"({"keep": 1, "o": {"a": 2}, "arr": [null, null, {"b": 3}], "new": "text"})"));

    Json::Value scalar = 7;
    memberSlot(scalar, "a") = 1;
    EXPECT_EQ(scalar, ParseJsonDocument(R"({"a": 1})"));
    Json::Value notArray = "x";
    arrayElement(notArray, 0).append(4);
    EXPECT_EQ(notArray, ParseJsonDocument("[[4]]"));
}

}  // namespace
}  // namespace korvane::files
