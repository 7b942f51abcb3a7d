#include "QtPortTestSupport.h"

#include "link/LinkTexts.h"
#include "link/PacketAssembly.h"
#include "link/ReceiveDispatch.h"
#include "link/SerialLink.h"
#include "platform/fakes/FakePlatform.h"
#include "platform/qt/serial/SerialPortFactory.h"
#include "platform/qt/serial/VirtualMeterPort.h"

#include <gtest/gtest.h>

namespace qv::link {
namespace {

using platform::qt::VirtualMeterPort;

std::unique_ptr<VirtualMeterPort> manualMeter(SimMode mode, int number = 1,
                                              std::unique_ptr<platform::SerialPort> others = {}) {
    SimOptions options;
    options.mode = mode;
    return std::make_unique<VirtualMeterPort>(number, options, VirtualMeterPort::Pace::Manual,
                                              std::move(others));
}

TEST(VirtualMeterPortTest, AnswersWithDsrAndCtsOnceRtsAndDtrAreRaised) {
    struct Case {
        bool rts, dtr;
        bool lines;
    };
    const std::vector<Case> cases{
        {false, false, false}, {true, false, false}, {false, true, false}, {true, true, true}};
    for (const Case &c : cases) {
        SCOPED_TRACE(::testing::Message() << c.rts << c.dtr);
        auto port = manualMeter(SimMode::Dmm, 2);
        int events = 0;
        port->setEventHandler([&](int) {
            ++events;
            (void)port->read();
        });
        ASSERT_TRUE(port->selectPort(2));
        EXPECT_EQ(port->dsr(), std::nullopt) << "closed";
        ASSERT_TRUE(port->open());
        ASSERT_TRUE(port->setRts(c.rts));
        ASSERT_TRUE(port->setDtr(c.dtr));
        EXPECT_EQ(port->dsr(), c.lines);
        EXPECT_EQ(port->cts(), c.lines);
        EXPECT_EQ(port->streaming(), c.lines);
        port->pump(100);
        EXPECT_EQ(events, c.lines ? 5 : 0) << "the cable is powered by RTS and DTR";
    }
}

TEST(VirtualMeterPortTest, StandsOnItsOwnNumberOnly) {
    auto port = manualMeter(SimMode::Dso, 1);
    EXPECT_EQ(port->deviceName(1), "virtual meter (dso)");
    EXPECT_EQ(port->deviceName(2), "");
    ASSERT_TRUE(port->selectPort(2));
    EXPECT_FALSE(port->open());
    EXPECT_EQ(port->dsr(), std::nullopt);
    EXPECT_FALSE(port->selectPort(0));
    EXPECT_FALSE(port->selectPort(9));
}

TEST(VirtualMeterPortTest, SearchFindsTheMeterAndPacketsFlow) {
    platform::fakes::FakePlatform fp;
    auto others = std::make_unique<platform::fakes::FakeSerialPort>();
    others->ports.fill(platform::fakes::FakePort{.exists = false});
    others->ports[3] = platform::fakes::FakePort{.cable = true};
    auto port = manualMeter(SimMode::DmmMemory, 5, std::move(others));
    platform::Platform platform{*port, fp.messages, fp.files, fp.printer, fp.clipboard, fp.clock};
    common::Form form(platform);
    std::vector<Packet> packets;
    ReceiveDispatch dispatch(
        form,
        [&] {
            if (receivePacket(form))
                packets.push_back(form.v.PacketData);
        },
        nullptr);
    form.el.DMMmode.setChecked(true);
    SerialLink link(form);

    link.SearchForCom(true);
    EXPECT_EQ(form.el.panel[0].text(), connectedText(3)) << "a real port before the meter wins";
    link.COM(5);
    EXPECT_EQ(form.el.panel[0].text(), connectedText(5));
    port->pump(20 * 40);
    ASSERT_EQ(packets.size(), 40u);
    EXPECT_EQ(packets[1][18], 2) << "the play-back's first text message";

    port->unplug();
    EXPECT_EQ(form.el.panel[0].text(), kDisconnectedText);
    EXPECT_FALSE(port->isOpen());
}

TEST(VirtualMeterPortTest, StreamsAtTheLinksPace) {
    testApp();
    auto port = platform::qt::makeSerialPort("dso");
    ASSERT_NE(port, nullptr);
    EXPECT_EQ(platform::qt::makeSerialPort("scope"), nullptr);
    int events = 0;
    port->setEventHandler([&](int code) {
        EXPECT_EQ(code, platform::SerialPort::kReceiveEvent);
        EXPECT_EQ(port->read().size(), 20u);
        ++events;
    });
    ASSERT_TRUE(port->selectPort(1));
    ASSERT_TRUE(port->open());
    ASSERT_TRUE(port->setRts(true) && port->setDtr(true));
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(runUntil([&] { return events >= 6; }));
    // Six packets at 83.3 ms each (the first may start mid-packet): about half a second.
    EXPECT_GE(clock.elapsed(), 400);
    EXPECT_TRUE(port->close());
}

} // namespace
} // namespace qv::link
