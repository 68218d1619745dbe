#include <gtest/gtest.h>

#include <climits>

#include "ui/argb_text.h"
#include "ui/control_kind.h"
#include "ui/control_name.h"
#include "ui/skin_file.h"

namespace korvane::ui {
namespace {

TEST(SplitIndexedName, FollowsTheRoutingRule) {
    struct Case {
        const char* name;
        bool hasPrefix;
        const char* prefix;
        int number;
    };
    const Case cases[] = {
        {"color_option_12", true, "color_option_", 12},
        {"color_option_", true, "color_option_", 0},
        {"closebtn", false, "", 0},
        {"", false, "", 0},
        {"_7", true, "_", 7},
        {"DPI_slider_2", true, "DPI_slider_", 2},
        {"brenta_DPI_slider_4", true, "brenta_DPI_slider_", 4},
        {"light_12abc", true, "light_", 12},  // leading digits only
        {"light_abc", true, "light_", 0},     // no digits
        {"key_ 5", true, "key_", 5},          // leading blank skipped
        {"key_-3", true, "key_", -3},         // sign accepted
        {"key_+8", true, "key_", 8},
        {"key_007", true, "key_", 7},
        {"key_99999999999", true, "key_", INT_MAX},  // saturates
        {"key_-99999999999", true, "key_", INT_MIN},
        {"a_b_3", true, "a_b_", 3},  // last "_" wins
        {"a_3_b", true, "a_3_", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const IndexedName split = SplitIndexedName(c.name);
        EXPECT_EQ(split.hasPrefix, c.hasPrefix);
        EXPECT_EQ(split.prefix, c.prefix);
        EXPECT_EQ(split.number, c.number);
    }
}

TEST(ControlName, ComparesWithoutCaseAndMatchesPrefixes) {
    EXPECT_TRUE(namesEqual("CloseBtn", "closebtn"));
    EXPECT_FALSE(namesEqual("closebtn", "closebtn2"));
    EXPECT_FALSE(namesEqual("close_btn", "closebtn"));
    EXPECT_EQ(indexAfterPrefix("Light_3", "light_"), 3);
    EXPECT_EQ(indexAfterPrefix("light_", "light_"), 0);
    EXPECT_EQ(indexAfterPrefix("brenta_DPI_slider_2", "DPI_slider_"), std::nullopt);
    EXPECT_EQ(indexAfterPrefix("lightbtn", "light_"), std::nullopt);
}

TEST(SkinFile, MapsTheKnownNamesToDesignerFiles) {
    EXPECT_EQ(skinFileName("XML\\CustomControlXML\\LightControl.xml"),
              "XML/CustomControlXML/LightControl.ui");
    EXPECT_EQ(skinFileName("msgwnd.XML"), "msgwnd.ui");
    EXPECT_EQ(skinFileName("main.ui"), "main.ui");
    EXPECT_EQ(skinFileName("menu.xml.bak"), "menu.xml.bak");
}

TEST(ArgbText, ReadsTheSkinsColourForms) {
    EXPECT_EQ(parseArgb("#FF102030"), 0xFF102030u);
    EXPECT_EQ(parseArgb("#102030"), 0xFF102030u);
    EXPECT_EQ(parseArgb(" 0x80aBcDeF "), 0x80ABCDEFu);
    EXPECT_EQ(parseArgb("#00000000"), 0u);
    EXPECT_EQ(parseArgb("FF102030"), std::nullopt);
    EXPECT_EQ(parseArgb("#12345"), std::nullopt);
    EXPECT_EQ(parseArgb("#GG102030"), std::nullopt);
    EXPECT_EQ(parseArgb(""), std::nullopt);
    EXPECT_EQ(formatArgb(0xFF0A0B0C), "#FF0A0B0C");
    EXPECT_EQ(parseArgb(formatArgb(0x12345678)), 0x12345678u);
}

TEST(ControlKind, FitsAlongTheControlFamily) {
    struct Case {
        ControlKind required;
        ControlKind actual;
        bool fits;
    };
    const Case cases[] = {
        {ControlKind::Button, ControlKind::Option, true},
        {ControlKind::Option, ControlKind::Button, false},
        {ControlKind::Label, ControlKind::Button, true},
        {ControlKind::Label, ControlKind::Edit, true},
        {ControlKind::Label, ControlKind::Container, false},
        {ControlKind::Progress, ControlKind::Slider, true},
        {ControlKind::Slider, ControlKind::Progress, false},
        {ControlKind::Container, ControlKind::Tab, true},
        {ControlKind::Tab, ControlKind::Container, false},
        {ControlKind::Combo, ControlKind::List, false},
        {ControlKind::Edit, ControlKind::Label, false},
        {ControlKind::Any, ControlKind::Slider, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(kindName(c.required)) + " <- " + std::string(kindName(c.actual)));
        EXPECT_EQ(kindFits(c.required, c.actual), c.fits);
    }
    EXPECT_EQ(kindForClassName("devicekeybutton"), ControlKind::Option);
    EXPECT_EQ(kindForClassName("QSlider"), ControlKind::Slider);
    EXPECT_EQ(kindForClassName("TabLayout"), ControlKind::Tab);
    EXPECT_EQ(kindForClassName("KorvaneMouseDevice"), ControlKind::Container);
}

}  // namespace
}  // namespace korvane::ui
