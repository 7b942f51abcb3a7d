#include "QtPortTestSupport.h"

#include "link/MeterSimulator.h"
#include "link/PacketAssembly.h"
#include "link/ReceiveDispatch.h"
#include "platform/fakes/FakePlatform.h"
#include "platform/qt/serial/QtSerialPort.h"

#include <gtest/gtest.h>

#include <pty.h>
#include <unistd.h>

#include <random>

namespace qv::link {
namespace {

/// A pseudo-terminal whose slave stands in for a serial device.
struct Pty {
    int master = -1, slave = -1;
    std::string device;
    Pty() {
        char name[256] = {};
        if (openpty(&master, &slave, name, nullptr, nullptr) == 0)
            device = name;
    }
    ~Pty() {
        closeMaster();
        if (slave >= 0)
            ::close(slave);
    }
    void closeMaster() {
        if (master >= 0)
            ::close(master);
        master = -1;
    }
    [[nodiscard]] bool write(const std::vector<std::uint8_t> &bytes) const {
        std::size_t at = 0;
        while (at < bytes.size()) {
            const ssize_t n = ::write(master, bytes.data() + at, bytes.size() - at);
            if (n <= 0)
                return false;
            at += static_cast<std::size_t>(n);
        }
        return true;
    }
};

/// A Form over the real port, the other services faked.
struct QtPortFixture {
    platform::fakes::FakePlatform fp;
    platform::qt::QtSerialPort port;
    platform::Platform platform{port, fp.messages, fp.files, fp.printer, fp.clipboard, fp.clock};
    common::Form form{platform};
    std::vector<Packet> packets;
    ReceiveDispatch dispatch{form, [this] { record(); }, [this] { record(); }};
    QtPortFixture() { testApp(); }
    void record() {
        if (receivePacket(form))
            packets.push_back(form.v.PacketData);
    }
};

TEST(QtSerialPortTest, PortsWithoutADeviceDoNotOpen) {
    QtPortFixture f;
    f.port.useDevice(8, "/nonexistent/ttyQV");
    const std::vector<std::pair<int, bool>> selections{{0, false}, {9, false}, {8, true}};
    for (const auto &[n, ok] : selections)
        EXPECT_EQ(f.port.selectPort(n), ok) << n;
    EXPECT_FALSE(f.port.open());
    EXPECT_FALSE(f.port.isOpen());
    EXPECT_FALSE(f.port.close());
    EXPECT_FALSE(f.port.setRts(true));
    EXPECT_EQ(f.port.dsr(), std::nullopt);
    EXPECT_EQ(f.port.deviceName(8), "/nonexistent/ttyQV");
}

TEST(QtSerialPortTest, BytesFromAPseudoTerminalArriveAsWholePackets) {
    Pty pty;
    ASSERT_FALSE(pty.device.empty());
    QtPortFixture f;
    f.port.useDevice(3, pty.device);
    ASSERT_TRUE(f.port.selectPort(3));
    ASSERT_TRUE(f.port.open());
    EXPECT_FALSE(f.port.selectPort(4)) << "no other port while one is open";

    constexpr int kPackets = 600;
    const SimOptions options{.mode = SimMode::Dso, .seed = 9};
    MeterSimulator source(options), reference(options);
    std::mt19937 rng(3);
    std::uniform_int_distribution<std::size_t> batch(1, 1024);
    std::size_t written = 0;
    while (written < kPackets * 20u) {
        const std::size_t n = std::min(batch(rng), kPackets * 20u - written);
        ASSERT_TRUE(pty.write(source.nextBytes(n)));
        written += n;
        ASSERT_TRUE(runUntil([&] { return f.packets.size() == written / 20; }))
            << f.packets.size() << " of " << written / 20;
    }
    for (const Packet &p : f.packets)
        ASSERT_EQ(p, reference.nextPacket());
    EXPECT_TRUE(f.port.close());
    EXPECT_FALSE(f.port.isOpen());
}

TEST(QtSerialPortTest, ADeviceThatGoesAwayClosesThePortOnce) {
    Pty pty;
    ASSERT_FALSE(pty.device.empty());
    QtPortFixture f;
    int failures = 0;
    f.port.setFailureHandler([&] { ++failures; });
    f.port.useDevice(1, pty.device);
    ASSERT_TRUE(f.port.open());
    ASSERT_TRUE(pty.write({0xFF, 1, 2, 3}));
    pty.closeMaster();
    if (pty.slave >= 0) {
        ::close(pty.slave);
        pty.slave = -1;
    }
    ASSERT_TRUE(runUntil([&] { return failures > 0; }));
    EXPECT_FALSE(f.port.isOpen());
    drainEvents(1000);
    EXPECT_EQ(failures, 1);
    EXPECT_TRUE(f.port.read().empty());
}

} // namespace
} // namespace qv::link
