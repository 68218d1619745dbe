#include "device/supported_device.h"

#include <gtest/gtest.h>

namespace korvane::device {
namespace {

struct PathCase {
    const char* path;
    uint16_t vid, pid, mi, col;
};

TEST(PathParsing, ReadsHexAfterMarkersWithoutRegardToCase) {
    const PathCase cases[] = {
        {"\\\\?\\hid#vid_320f&pid_221c&mi_01&col04#7&1a2b&0&0003#{4d1e55b2}", 0x320F, 0x221C, 1, 4},
        {"\\\\?\\HID#VID_320F&PID_505B&MI_01&COL03#x", 0x320F, 0x505B, 1, 3},
        {"/dev/hidraw3#vid_0c76&pid_1630&mi_03", 0x0C76, 0x1630, 3, 0},  // no "&col": 0
        {"sim:mouse#vid_320f&pid_221d&mi_01&col0a", 0x320F, 0x221D, 1, 10},
        {"no markers at all", 0, 0, 0, 0},
        {"vid_&pid_zz&mi_", 0, 0, 0, 0},                  // no digits after the markers
        {"vid_1234abcd&pid_10", 0xABCD, 0x10, 0, 0},      // low 16 bits kept
        {"mi_01&col02", 0, 0, 0, 2},                      // "&mi_" needs its ampersand
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(vendorIdFromPath(c.path), c.vid);
        EXPECT_EQ(productIdFromPath(c.path), c.pid);
        EXPECT_EQ(interfaceNumberFromPath(c.path), c.mi);
        EXPECT_EQ(collectionNumberFromPath(c.path), c.col);
    }
}

TEST(SupportedDeviceTable, PartnersPointAtEachOther) {
    const auto& table = supportedDevices();
    ASSERT_EQ(table.size(), 11u);
    for (size_t i = 0; i < table.size(); ++i) {
        const auto& r = table[i];
        EXPECT_EQ(r.present, 0);
        EXPECT_TRUE(r.path.empty());
        if (r.hasPartner) {
            const auto& p = table[r.partnerIndex];
            EXPECT_EQ(p.partnerIndex, i) << i;
            EXPECT_EQ(p.role, r.role) << i;
            EXPECT_EQ(familyOf(p.kind), familyOf(r.kind)) << i;
            EXPECT_NE(isReceiverKind(p.kind), isReceiverKind(r.kind)) << i;
        }
        // Every 0x320F device: commands on collection 4, notifications on 3.
        if (r.vendorId == 0x320F) {
            EXPECT_EQ(r.interfaceNumber, 1);
            EXPECT_EQ(r.collectionNumber, r.role == InterfaceRole::Command ? 4 : 3);
        }
    }
}

TEST(SupportedDeviceTable, EqualityIgnoresPresencePartnerAndPath) {
    SupportedDevice a = supportedDevices()[4];
    SupportedDevice b = a;
    b.present = 1;
    b.path = "x";
    b.hasPartner = 0;
    b.partnerIndex = 9;
    EXPECT_EQ(a, b);
    b.usage = 1;
    EXPECT_NE(a, b);
}

TEST(Lookups, RowsTemplatesAndFamilies) {
    EXPECT_EQ(findRow(0x320F, 0x221C, DeviceKind::Mouse, InterfaceRole::Command), 4);
    EXPECT_EQ(findRow(0x320F, 0x221D, DeviceKind::MouseReceiver, InterfaceRole::ConsumerControl), 7);
    EXPECT_EQ(findRow(0x0C76, 0x1630, DeviceKind::Headset, InterfaceRole::Command), 10);
    EXPECT_EQ(findRow(0x0C76, 0x1630, DeviceKind::Headset, InterfaceRole::ConsumerControl), -1);

    EXPECT_EQ(findTemplate(0x320F, 0x221C, 2, 0), 0);
    EXPECT_EQ(findTemplate(0x320F, 0x505B, 1, 0), 1);
    EXPECT_EQ(findTemplate(0x320F, 0x1004, 3, 0), 2);
    EXPECT_EQ(findTemplate(0x0C76, 0x1630, 7, 0), 3);
    EXPECT_EQ(findTemplate(0x320F, 0x221D, 6, 0), -1);  // a receiver looks up its partner's key
    EXPECT_EQ(findTemplate(0x320F, 0x221C, 2, 1), -1);

    EXPECT_EQ(devicePageTemplates()[0].keyCount, 11);
    EXPECT_EQ(devicePageTemplates()[1].ledCount, 170);
    EXPECT_EQ(deviceTabTemplates()[3].familyName, "HD");

    EXPECT_EQ(familyOf(DeviceKind::KeyboardReceiver), DeviceFamily::Keyboard);
    EXPECT_EQ(familyOf(DeviceKind::MouseReceiver), DeviceFamily::Mouse);
    EXPECT_EQ(familyOf(DeviceKind::MousePad), DeviceFamily::MousePad);
    EXPECT_EQ(familyOf(DeviceKind::Headset), DeviceFamily::Headset);
    EXPECT_EQ(familyOf(static_cast<DeviceKind>(4)), DeviceFamily::None);
}

// Runs the two-step match the device watch uses on a path and what the
// opened interface reports.
std::optional<size_t> bindPath(SlotList& slots, const std::string& path, uint16_t page, uint16_t usage) {
    SupportedDevice c = candidateFromPath(path);
    if (!preMatch(c, slots)) {
        return std::nullopt;
    }
    c.usagePage = page;
    c.usage = usage;
    return fullMatch(c, path, slots);
}

TEST(Matching, BindsTheMouseCommandInterface) {
    SlotList slots = makeSlotList();
    const std::string path = "sim:mouse#vid_320f&pid_221c&mi_01&col04";
    auto slot = bindPath(slots, path, 0xFF1C, 0x92);
    ASSERT_TRUE(slot.has_value());
    EXPECT_EQ(*slot, 4u);
    EXPECT_EQ(slots[4].present, 1);
    EXPECT_EQ(slots[4].path, path);
}

TEST(Matching, FullMatchCopiesKindAndRole) {
    SlotList slots = makeSlotList();
    SupportedDevice c = candidateFromPath("x#vid_320f&pid_5001&mi_01&col03");
    c.usagePage = 0x0C;
    c.usage = 1;
    auto slot = fullMatch(c, "x", slots);
    ASSERT_TRUE(slot);
    EXPECT_EQ(*slot, 3u);
    EXPECT_EQ(c.kind, DeviceKind::KeyboardReceiver);
    EXPECT_EQ(c.role, InterfaceRole::ConsumerControl);
}

TEST(Matching, WrongUsagePageBindsNothing) {
    SlotList slots = makeSlotList();
    EXPECT_FALSE(bindPath(slots, "sim:mouse#vid_320f&pid_221c&mi_01&col04", 0xFF00, 0x92));
    EXPECT_FALSE(slots[4].isBound());
}

TEST(Matching, SecondIdenticalDeviceIsIgnored) {
    SlotList slots = makeSlotList();
    ASSERT_TRUE(bindPath(slots, "sim:mouse#vid_320f&pid_221c&mi_01&col04", 0xFF1C, 0x92));
    // Path-only test already refuses the twin, so it is never opened.
    EXPECT_FALSE(preMatch(candidateFromPath("sim:mouse-2#vid_320f&pid_221c&mi_01&col04"), slots));
    // And the full match would not bind it either.
    SupportedDevice twin = candidateFromPath("sim:mouse-2#vid_320f&pid_221c&mi_01&col04");
    twin.usagePage = 0xFF1C;
    twin.usage = 0x92;
    EXPECT_FALSE(fullMatch(twin, "sim:mouse-2", slots));
    EXPECT_EQ(slots[4].path, "sim:mouse#vid_320f&pid_221c&mi_01&col04");
}

TEST(Matching, HeadsetWithoutCollectionMatchesRowTen) {
    SlotList slots = makeSlotList();
    auto slot = bindPath(slots, "/dev/hidraw7#vid_0c76&pid_1630&mi_03", 0x0C, 0x01);
    ASSERT_TRUE(slot);
    EXPECT_EQ(*slot, 10u);
}

TEST(Matching, OtherDevicesAndInterfacesArePreRejected) {
    SlotList slots = makeSlotList();
    const char* paths[] = {
        "x#vid_320f&pid_221c&mi_00&col01",  // the mouse's boot interface
        "x#vid_320f&pid_221c&mi_01&col01",  // a collection that is not in the table
        "x#vid_046d&pid_c52b&mi_01&col04",  // another maker
        "x#vid_0c76&pid_1630&mi_03&col01",  // headset with a collection number
    };
    for (const char* p : paths) {
        EXPECT_FALSE(preMatch(candidateFromPath(p), slots)) << p;
    }
}

TEST(Partner, TrueOnlyWhenBothPointAtEachOtherAndPartnerIsBound) {
    SlotList slots = makeSlotList();
    EXPECT_FALSE(partnerBound(slots, 4));
    slots[6].present = 1;
    slots[6].path = "receiver";
    EXPECT_TRUE(partnerBound(slots, 4));
    EXPECT_FALSE(partnerBound(slots, 6));  // slot 4 is not bound
    EXPECT_FALSE(partnerBound(slots, 8));  // the pad has no partner
    slots[6].partnerIndex = 5;
    EXPECT_FALSE(partnerBound(slots, 4));
    EXPECT_FALSE(partnerBound(slots, 99));
}

}  // namespace
}  // namespace korvane::device
