#include <optional>

#include <gtest/gtest.h>

#include "platform/hid/report_descriptor.h"
#include "sim/firmware_factory.h"
#include "sim/usb_device.h"
#include "tests/sim/sim_test_support.h"

namespace korvane::sim {
namespace {

using namespace std::chrono_literals;
using test::Bytes;
using test::command;
using test::FakeHost;
using test::pattern;

struct Rig {
    explicit Rig(Model model, std::shared_ptr<Firmware> fw = nullptr)
        : firmware(fw ? fw : makeFirmware(specOf(model).firmware)),
          device(std::make_shared<UsbDevice>(specOf(model).name, model, firmware)) {
        device->attach(&host);
    }
    ~Rig() { device->attach(nullptr); }

    // Sends one command report and returns every report the device sent back.
    std::vector<test::SentReport> send(const Bytes& packet) {
        EXPECT_TRUE(device->receiveOutputReport(device->spec().commandInterface, packet, false));
        return host.take();
    }
    std::optional<Bytes> answer(const Bytes& packet) {
        auto reports = send(packet);
        if (reports.size() != 1) {
            return std::nullopt;
        }
        EXPECT_EQ(reports[0].interfaceNumber, device->spec().commandInterface);
        return reports[0].bytes;
    }

    FakeHost host;
    std::shared_ptr<Firmware> firmware;
    std::shared_ptr<UsbDevice> device;
};

TEST(UsbDevice, IdentityFollowsTheModel) {
    struct Case {
        Model model;
        uint16_t vid, pid;
        std::vector<uint8_t> interfaces;
    };
    const Case cases[] = {
        {Model::Mouse, 0x320F, 0x221C, {0, 1}},
        {Model::MouseReceiver, 0x320F, 0x221D, {0, 1}},
        {Model::Keyboard, 0x320F, 0x505B, {0, 1}},
        {Model::KeyboardReceiver, 0x320F, 0x5001, {0, 1}},
        {Model::Pad, 0x320F, 0x1004, {1}},
        {Model::Headset, 0x0C76, 0x1630, {3}},
    };
    for (const Case& c : cases) {
        UsbDevice d("x", c.model, makeFirmware(specOf(c.model).firmware));
        EXPECT_EQ(d.vendorId(), c.vid);
        EXPECT_EQ(d.productId(), c.pid);
        EXPECT_TRUE(d.composite());
        std::vector<uint8_t> numbers;
        for (const auto& i : d.interfaces()) {
            numbers.push_back(i.interfaceNumber);
        }
        EXPECT_EQ(numbers, c.interfaces) << specOf(c.model).name;
    }
    FirmwareConfig config = defaultConfig(FirmwareKind::Pad);
    config.info.setFirmwareVersion(0x0207);
    EXPECT_EQ(UsbDevice("p", Model::Pad, makeFirmware(FirmwareKind::Pad, config)).versionNumber(),
              0x0207);
}

// What the host's parser makes of the descriptors: the collections, their
// usages, report ids and lengths that the device table and the command
// channel rely on.
TEST(UsbDevice, DescriptorsParseIntoTheExpectedCollections) {
    struct Expected {
        uint16_t page, usage;
        std::vector<uint8_t> ids;
        uint16_t input, output;
    };
    const std::vector<Expected> command320f = {
        {0x000C, 0x0001, {3}, 3, 0},
        {0xFF1C, 0x0092, {4}, 64, 64},
    };
    for (Model model : {Model::Mouse, Model::MouseReceiver, Model::Keyboard,
                        Model::KeyboardReceiver, Model::Pad, Model::Headset}) {
        SCOPED_TRACE(specOf(model).name);
        for (const hid::VirtualInterface& iface : interfacesOf(model)) {
            hid::ParseError error;
            const auto collections = hid::parseReportDescriptor(iface.reportDescriptor, &error);
            ASSERT_TRUE(collections) << "interface " << int{iface.interfaceNumber} << ": "
                                     << error.message << " at " << error.offset;
            if (iface.interfaceNumber == 0) {
                ASSERT_EQ(collections->size(), 1u);
                EXPECT_EQ((*collections)[0].usagePage, 0x01);
                EXPECT_TRUE((*collections)[0].reportIds.empty());
                continue;
            }
            if (model == Model::Headset) {
                ASSERT_EQ(collections->size(), 1u);
                const hid::Collection& c = (*collections)[0];
                EXPECT_EQ(c.usagePage, 0x0C);
                EXPECT_EQ(c.usage, 0x01);
                EXPECT_EQ(c.reportIds, (std::vector<uint8_t>{1, 4, 0xFF}));
                EXPECT_EQ(c.inputReportByteLength, 64);
                EXPECT_EQ(c.outputReportByteLength, 64);
                ASSERT_FALSE(c.inputCaps.empty());
                EXPECT_EQ(c.inputCaps[0].reportId, 1);
                EXPECT_TRUE(c.inputCaps[0].isButton);
                continue;
            }
            ASSERT_EQ(collections->size(), 4u);
            for (size_t i = 0; i < 4; ++i) {
                EXPECT_EQ((*collections)[i].reportIds, std::vector<uint8_t>{uint8_t(i + 1)});
            }
            EXPECT_EQ((*collections)[0].usagePage, 0x01);
            EXPECT_EQ((*collections)[0].usage,
                      model == Model::Mouse || model == Model::MouseReceiver ? 0x02 : 0x06);
            for (size_t i = 0; i < 2; ++i) {
                const hid::Collection& c = (*collections)[2 + i];
                EXPECT_EQ(c.usagePage, command320f[i].page);
                EXPECT_EQ(c.usage, command320f[i].usage);
                EXPECT_EQ(c.inputReportByteLength, command320f[i].input);
                EXPECT_EQ(c.outputReportByteLength, command320f[i].output);
            }
            // The notification code as the host unpacks it: first usage of the
            // first input capability.
            const hid::Collection& consumer = (*collections)[2];
            ASSERT_FALSE(consumer.inputCaps.empty());
            const Bytes report = {3, 0x23, 0x11};
            const auto usages = hid::getUsages(consumer.inputCaps[0], report);
            ASSERT_FALSE(usages.empty());
            EXPECT_EQ(usages[0], 0x1123);
        }
    }
}

TEST(UsbDevice, ReceiverForwardsOnlyWhileLinked) {
    auto fw = makeFirmware(FirmwareKind::Mouse);
    Rig wired(Model::Mouse, fw);
    Rig receiver(Model::MouseReceiver, fw);

    // Link query: the receiver answers for its device.
    auto a = receiver.answer(command(0xAA));
    ASSERT_TRUE(a);
    EXPECT_EQ((*a)[3], 0xAA);
    EXPECT_EQ((*a)[7], 0x00);
    EXPECT_EQ((*a)[8], 0xFF);
    EXPECT_TRUE(test::answerSumValid(*a));
    // Through the cable the device is always reachable.
    a = wired.answer(command(0xAA));
    ASSERT_TRUE(a);
    EXPECT_EQ((*a)[8], 0xFF);

    // Linked: one firmware behind both USB devices.
    a = receiver.answer(command(0x06, 4, 20, {1, 2, 3, 4}));
    ASSERT_TRUE(a);
    EXPECT_EQ((*a)[3], 0x06);
    EXPECT_EQ((*a)[7], 0x00);
    a = wired.answer(command(0x05, 4, 20));
    ASSERT_TRUE(a);
    EXPECT_EQ(Bytes(a->begin() + 8, a->begin() + 12), (Bytes{1, 2, 3, 4}));

    ASSERT_TRUE(receiver.device->setLink(false));
    EXPECT_FALSE(wired.device->setLink(false)) << "a cable has no link to drop";
    for (uint8_t code : {0x06, 0x07, 0x05, 0x01, 0x03, 0x42}) {
        a = receiver.answer(command(code, 4, 20, {9, 9, 9, 9}));
        ASSERT_TRUE(a);
        EXPECT_EQ((*a)[3], 0xAA) << "code " << int{code};
        EXPECT_TRUE(test::answerSumValid(*a));
    }
    a = receiver.answer(command(0xAA));
    ASSERT_TRUE(a);
    EXPECT_EQ((*a)[3], 0xAA);
    EXPECT_EQ((*a)[8], 0x00);
    EXPECT_EQ(fw->read(Region::Settings, 20, 4), (Bytes{1, 2, 3, 4})) << "nothing got through";
    a = wired.answer(command(0x05, 4, 20));
    ASSERT_TRUE(a);
    EXPECT_EQ((*a)[3], 0x05) << "the cable still works";

    receiver.device->setLink(true);
    a = receiver.answer(command(0x05, 4, 20));
    ASSERT_TRUE(a);
    EXPECT_EQ((*a)[3], 0x05);

    // A refusal fault answers for the receiver too.
    receiver.device->faults().status(0xFE);
    a = receiver.answer(command(0xAA));
    ASSERT_TRUE(a);
    EXPECT_EQ((*a)[3], 0xAA);
    EXPECT_EQ((*a)[7], 0xFE);
    EXPECT_EQ((*a)[8], 0x00);
}

TEST(UsbDevice, NotificationsGoOutOnTheConsumerCollection) {
    Rig mouse(Model::MouseReceiver);
    ASSERT_TRUE(mouse.device->notify(0x1123));
    auto reports = mouse.host.take();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].interfaceNumber, 1);
    EXPECT_EQ(reports[0].bytes, (Bytes{3, 0x23, 0x11}));
    EXPECT_EQ(mouse.firmware->activeProfile(), 3) << "state changes before the code goes out";
    EXPECT_EQ(mouse.firmware->read(Region::Settings, 3 * 128 + 12, 1), Bytes{2});

    mouse.device->setLink(false);
    EXPECT_FALSE(mouse.device->notify(0x0401));
    EXPECT_TRUE(mouse.host.take().empty());

    Rig headset(Model::Headset);
    ASSERT_TRUE(headset.device->notify(0x0401));
    reports = headset.host.take();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].interfaceNumber, 3);
    EXPECT_EQ(reports[0].bytes, (Bytes{1, 0x01, 0x04}));

    UsbDevice unplugged("pad", Model::Pad, makeFirmware(FirmwareKind::Pad));
    EXPECT_FALSE(unplugged.notify(0x0401));
}

TEST(UsbDevice, ReportsOutsideTheProtocolAreRefused) {
    Rig keyboard(Model::Keyboard);
    Bytes shortPacket = command(0x05, 1, 0);
    shortPacket.pop_back();
    EXPECT_FALSE(keyboard.device->receiveOutputReport(1, shortPacket, false));
    EXPECT_FALSE(keyboard.device->receiveOutputReport(0, command(0x05, 1, 0), false))
        << "commands go to interface 1 only";
    EXPECT_FALSE(keyboard.device->receiveOutputReport(1, Bytes{0x07, 1, 2}, false));
    EXPECT_FALSE(keyboard.device->receiveOutputReport(1, Bytes{}, false));
    EXPECT_TRUE(keyboard.host.take().empty());
    // Keyboard LED output is taken, on both interfaces.
    EXPECT_TRUE(keyboard.device->receiveOutputReport(0, Bytes{0x00, 0x02}, false));
    EXPECT_EQ(keyboard.device->keyboardLeds(), 0x02);
    EXPECT_TRUE(keyboard.device->receiveOutputReport(1, Bytes{0x01, 0x05}, false));
    EXPECT_EQ(keyboard.device->keyboardLeds(), 0x05);
    EXPECT_EQ(keyboard.device->counters().refusedReports, 4u);

    Rig headset(Model::Headset);
    Bytes light(17, 0);
    light[0] = 0xFF;
    light[1] = 0x22;
    light[2] = 0xAB;
    light[4] = 77;
    EXPECT_TRUE(headset.device->receiveOutputReport(3, light, true));
    EXPECT_EQ(headset.device->counters().lightingReports, 1u);
    light[1] = 0x21;
    EXPECT_FALSE(headset.device->receiveOutputReport(3, light, true));
    auto a = headset.answer(command(0x05, 21, 0));
    ASSERT_TRUE(a);
    EXPECT_EQ((*a)[7], 0x00) << "the headset speaks the command protocol too";

    UsbDevice detached("k", Model::Keyboard, makeFirmware(FirmwareKind::Keyboard));
    EXPECT_FALSE(detached.receiveOutputReport(1, command(0x05, 1, 0), false));
}

TEST(UsbDevice, FaultsShapeTheAnswers) {
    struct Case {
        const char* what;
        void (*arm)(FaultPlan&);
        size_t reports;  // reports sent back for the write
        int code;        // byte 3 of the (last) answer, -1 none
        int status;      // byte 7 of the (last) answer
        bool memoryChanged;
        std::chrono::microseconds delay;  // latency 250 us included
    };
    const Case cases[] = {
        {"no answer", [](FaultPlan& f) { f.noAnswer(); }, 0, -1, 0, false, 0us},
        {"wrong code", [](FaultPlan& f) { f.wrongCode(0x33); }, 1, 0x33, 0x00, true, 250us},
        {"extra answer first", [](FaultPlan& f) { f.extraAnswer(0x44); }, 2, 0x06, 0x00, true,
         250us},
        {"status 0xFE", [](FaultPlan& f) { f.status(0xFE); }, 1, 0x06, 0xFE, false, 250us},
        {"status 0xFF", [](FaultPlan& f) { f.status(0xFF); }, 1, 0x06, 0xFF, false, 250us},
        {"delay", [](FaultPlan& f) { f.delay(1500us); }, 1, 0x06, 0x00, true, 1500us + 250us},
        {"delay and wrong code",
         [](FaultPlan& f) {
             f.delay(10us);
             f.wrongCode(0x07);
         },
         1, 0x07, 0x00, true, 10us + 250us},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Rig rig(Model::Mouse);
        rig.device->setLatency(250us);
        c.arm(rig.device->faults());
        const Bytes before = rig.firmware->readAll(Region::Settings);
        const auto reports = rig.send(command(0x06, 3, 40, {7, 8, 9}));
        ASSERT_EQ(reports.size(), c.reports);
        if (c.reports > 0) {
            const Bytes& last = reports.back().bytes;
            EXPECT_EQ(last[3], c.code);
            EXPECT_EQ(last[7], c.status);
            EXPECT_TRUE(test::answerSumValid(last));
            EXPECT_EQ(reports.back().delay, c.delay);
        }
        if (c.reports == 2) {
            EXPECT_EQ(reports[0].bytes[3], 0x44);
            EXPECT_TRUE(test::answerSumValid(reports[0].bytes));
        }
        EXPECT_EQ(rig.firmware->readAll(Region::Settings) != before, c.memoryChanged);
        EXPECT_EQ(rig.device->faults().pending(), 0u) << "a one-shot fault is used up";
        // The next command is answered normally.
        const auto next = rig.answer(command(0x05, 1, 0));
        ASSERT_TRUE(next);
        EXPECT_EQ((*next)[3], 0x05);
        EXPECT_EQ((*next)[7], 0x00);
    }
}

TEST(UsbDevice, FaultsLastForTheirCountOrUntilCleared) {
    Rig rig(Model::Keyboard);
    rig.device->faults().status(0xFE, 2);
    EXPECT_EQ((*rig.answer(command(0x05, 1, 0)))[7], 0xFE);
    EXPECT_EQ((*rig.answer(command(0x05, 1, 0)))[7], 0xFE);
    EXPECT_EQ((*rig.answer(command(0x05, 1, 0)))[7], 0x00);

    rig.device->faults().noAnswer(kUntilCleared);
    for (int i = 0; i < 5; ++i) {
        EXPECT_TRUE(rig.send(command(0x05, 1, 0)).empty());
    }
    EXPECT_EQ(rig.device->faults().toJson()[0]["commands"].asInt(), kUntilCleared);
    rig.device->faults().clear();
    EXPECT_TRUE(rig.answer(command(0x05, 1, 0)));
    EXPECT_EQ(rig.device->counters().unanswered, 5u);
}

TEST(UsbDevice, UnplugInTheMiddleOfATransfer) {
    Rig rig(Model::Mouse);
    const Bytes before = rig.firmware->read(Region::Settings, 6, 3);
    rig.device->faults().unplugAfter(2);
    EXPECT_TRUE(rig.answer(command(0x06, 3, 0, {1, 2, 3})));
    EXPECT_TRUE(rig.answer(command(0x06, 3, 3, {4, 5, 6})));
    EXPECT_EQ(rig.host.unplugRequests(), 0);
    EXPECT_TRUE(rig.send(command(0x06, 3, 6, {7, 8, 9})).empty());
    EXPECT_EQ(rig.host.unplugRequests(), 1);
    EXPECT_EQ(rig.firmware->read(Region::Settings, 0, 6), (Bytes{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(rig.firmware->read(Region::Settings, 6, 3), before)
        << "the packet that met the unplug is lost";
    EXPECT_EQ(rig.device->faults().pending(), 0u);
}

}  // namespace
}  // namespace korvane::sim
