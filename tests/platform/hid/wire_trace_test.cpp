#include "platform/hid/wire_trace.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

namespace korvane::hid {
namespace {

TEST(WireTrace, LineFormatIsFixed) {
    std::vector<uint8_t> bytes{0x04, 0x04, 0x00, 0x03, 0xff};
    EXPECT_EQ(WireTrace::formatLine(0.0123449, TraceDirection::Out,
                                    "sim:mouse#vid_320f&pid_221c&mi_01&col04", bytes),
              "0.012345 out sim:mouse#vid_320f&pid_221c&mi_01&col04 04 04 00 03 ff");
    EXPECT_EQ(WireTrace::formatLine(2.5, TraceDirection::In, "p", std::vector<uint8_t>{0xab}),
              "2.500000 in p ab");
    EXPECT_EQ(WireTrace::formatLine(0, TraceDirection::Set, "p", {}), "0.000000 set p");
}

TEST(WireTrace, RecordsOneLinePerReport) {
    std::FILE* f = std::tmpfile();
    ASSERT_NE(f, nullptr);
    {
        WireTrace trace(f);
        std::vector<uint8_t> a{1, 2};
        trace.record(TraceDirection::Out, "x", a);
        trace.record(TraceDirection::In, "x", a);
    }
    std::rewind(f);
    char line[128];
    int lines = 0;
    while (std::fgets(line, sizeof line, f) != nullptr) {
        ++lines;
        std::string s(line);
        EXPECT_NE(s.find(" x 01 02\n"), std::string::npos) << s;
    }
    EXPECT_EQ(lines, 2);
    std::fclose(f);
}

}  // namespace
}  // namespace korvane::hid
