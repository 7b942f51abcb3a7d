#include "link/LinkTexts.h"
#include "link/MeterSimulator.h"
#include "link/PacketAssembly.h"
#include "link/ReceiveDispatch.h"
#include "link/SerialLink.h"
#include "platform/fakes/FakePlatform.h"
#include "platform/qt/serial/PortTable.h"
#include "platform/qt/serial/QtSerialPort.h"
#include "link/qt/SerialPortFactory.h"
#include "link/qt/VirtualMeterPort.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <pty.h>
#include <unistd.h>

#include <random>
#include <utility>

namespace qv::link {
namespace {

using platform::qt::PortTable;
using link::qt::VirtualMeterPort;

void testApp() {
    static int argc = 1;
    static char *argv[] = {const_cast<char *>("tests_link_qt"), nullptr};
    static QCoreApplication app(argc, argv);
}

/// Runs the event loop until the condition holds or the time is up; true when it holds.
bool runUntil(const std::function<bool()> &done) {
    testApp();
    QDeadlineTimer deadline(5000);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    }
    return true;
}

/// A pseudo-terminal whose slave stands in for a serial device. It has no modem lines, so only
/// the data path and the failure path can be tested through it.
struct Pty {
    int master = -1, slave = -1;
    std::string device;
    Pty() {
        char name[256] = {};
        if (openpty(&master, &slave, name, nullptr, nullptr) == 0)
            device = name;
    }
    ~Pty() { closeBoth(); }
    void closeBoth() {
        for (int *fd : {&master, &slave})
            if (*fd >= 0)
                ::close(std::exchange(*fd, -1));
    }
    [[nodiscard]] bool write(const std::vector<std::uint8_t> &bytes) const {
        return ::write(master, bytes.data(), bytes.size()) == ssize_t(bytes.size());
    }
};

TEST(PortTableTest, UsbAdaptersFirstThenOnBoardPortsInNumberOrder) {
    using Names = std::vector<std::string>;
    const std::pair<Names, Names> cases[] = {
        {{"/dev/ttyS1", "/dev/ttyUSB10", "/dev/ttyS0", "/dev/ttyACM0", "/dev/ttyUSB2"},
         {"/dev/ttyUSB2", "/dev/ttyUSB10", "/dev/ttyACM0", "/dev/ttyS0", "/dev/ttyS1"}},
        {{"/dev/tty.usbserial-A1", "/dev/cu.Bluetooth", "/dev/cu.usbmodem14",
          "/dev/cu.usbserial-A1"},
         {"/dev/cu.usbserial-A1", "/dev/cu.usbmodem14", "/dev/cu.Bluetooth"}},
        {{"ttyS99999999999999999999", "ttyS1"}, {"ttyS1", "ttyS99999999999999999999"}},
    };
    for (const auto &[input, expected] : cases)
        EXPECT_EQ(PortTable::order(input), expected);
}

TEST(PortTableTest, EightNumbersStayWithTheirDevicesForTheRun) {
    PortTable table;
    table.update({"/dev/ttyS0", "/dev/ttyUSB0"});
    EXPECT_EQ(table.device(1), "/dev/ttyUSB0");
    EXPECT_EQ(table.device(2), "/dev/ttyS0");
    // An adapter is pulled out and another plugged in: port 1 keeps its adapter.
    table.update({"/dev/ttyS0", "/dev/ttyUSB1"});
    EXPECT_EQ(table.device(1), "/dev/ttyUSB0");
    EXPECT_EQ(table.device(3), "/dev/ttyUSB1");
    table.assign(9, "/dev/x"); // ignored
    for (int n : {0, 9, -4})
        EXPECT_EQ(table.device(n), "");
}

TEST(QtSerialPortTest, PseudoTerminalBytesArriveAsWholePacketsUntilTheDeviceGoesAway) {
    testApp();
    Pty pty;
    ASSERT_FALSE(pty.device.empty());
    platform::qt::QtSerialPort port;
    common::SharedValues v;
    std::vector<Packet> packets;
    port.setEventHandler([&](int) {
        if (assemblePacket(v, port.read()))
            packets.push_back(v.PacketData);
    });
    int failures = 0;
    port.setFailureHandler([&] { ++failures; });
    port.useDevice(3, pty.device);
    ASSERT_TRUE(port.selectPort(3) && port.open());

    constexpr std::size_t kBytes = 600 * 20;
    const SimOptions options{.mode = SimMode::Dso, .seed = 9};
    MeterSimulator source(options), reference(options);
    std::mt19937 rng(3);
    std::uniform_int_distribution<std::size_t> batch(1, 1024);
    for (std::size_t written = 0; written < kBytes;) {
        const std::size_t n = std::min(batch(rng), kBytes - written);
        ASSERT_TRUE(pty.write(source.nextBytes(n)));
        written += n;
        ASSERT_TRUE(runUntil([&] { return packets.size() == written / 20; }))
            << packets.size() << " of " << written / 20;
    }
    for (const Packet &p : packets)
        ASSERT_EQ(p, reference.nextPacket());

    // The device goes away with a packet under way: the port closes at the first error, once.
    ASSERT_TRUE(pty.write({0xFF, 1, 2, 3}));
    pty.closeBoth();
    ASSERT_TRUE(runUntil([&] { return failures > 0; }));
    EXPECT_FALSE(port.isOpen());
    for (int k = 0; k < 1000; ++k) // whatever errors are still pending
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    EXPECT_EQ(failures, 1);
    EXPECT_TRUE(port.read().empty());
}

std::unique_ptr<VirtualMeterPort> manualMeter(SimMode mode, int number,
                                              std::unique_ptr<platform::SerialPort> others = {}) {
    return std::make_unique<VirtualMeterPort>(number, SimOptions{.mode = mode},
                                              VirtualMeterPort::Pace::Manual, std::move(others));
}

TEST(VirtualMeterPortTest, SearchFindsTheMeterAndPacketsFlow) {
    auto others = std::make_unique<platform::fakes::FakeSerialPort>();
    others->ports.fill({.exists = false});
    others->ports[3] = {.cable = true};
    auto port = manualMeter(SimMode::DmmMemory, 5, std::move(others));
    platform::fakes::FakePlatform fp;
    platform::Platform os{*port, fp.messages, fp.files, fp.printer, fp.clipboard, fp.clock};
    common::Form form(os);
    std::vector<Packet> packets;
    auto decode = [&] {
        if (receivePacket(form))
            packets.push_back(form.v.PacketData);
    };
    ReceiveDispatch dispatch(form, decode, decode);
    SerialLink link(form);
    link.SearchForCom(true);
    EXPECT_EQ(form.el.panel[0].text(), connectedText(3)) << "a real port before the meter wins";
    link.COM(5);
    EXPECT_EQ(form.el.panel[0].text(), connectedText(5));
    port->pump(20 * 40);
    ASSERT_EQ(packets.size(), 40u);
    EXPECT_EQ(packets[1][18], 2) << "the play-back's first text message";
}

TEST(VirtualMeterPortTest, DemoModesStreamAtTheLinksPace) {
    testApp();
    EXPECT_EQ(link::qt::makeSerialPort("DSO"), nullptr) << "demo names are lower case";
    auto port = link::qt::makeSerialPort("dso");
    ASSERT_NE(port, nullptr);
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
