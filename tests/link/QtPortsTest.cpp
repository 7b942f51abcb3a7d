#include "link/LinkTexts.h"
#include "link/PacketAssembly.h"
#include "link/ReceiveDispatch.h"
#include "link/SerialLink.h"
#include "link/qt/LinkOptions.h"
#include "link/qt/SerialPortFactory.h"
#include "link/qt/VirtualMeterPort.h"
#include "platform/fakes/FakeLinkServices.h"
#include "platform/fakes/FakePlatform.h"
#include "platform/qt/serial/QtDeviceMemory.h"
#include "platform/qt/serial/QtSerialPort.h"
#include "tests/TestFiles.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>

#include <gtest/gtest.h>

#include <fstream>

namespace qv::link {
namespace {

using link::qt::VirtualMeterPort;
using platform::DeviceIdentity;
using platform::qt::PortTable;
using test::Pty, test::repoint, test::tempPath;

bool runUntil(const std::function<bool()> &done) {
    for (QDeadlineTimer deadline(5000); !done() && !deadline.hasExpired();)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    return done();
}

struct PortLink {
    platform::fakes::FakePlatform fp;
    platform::fakes::FakeTimer timer;
    platform::Platform os;
    common::Form form{os};
    std::vector<Packet> packets;
    ReceiveDispatch dispatch{form, [this] { decode(); }, [this] { decode(); }};
    SerialLink link{form};
    explicit PortLink(platform::SerialPort &port)
        : os{port, fp.messages, fp.files, fp.printer, fp.clipboard, fp.clock} {
        link.useDevices({.retry = &timer});
    }
    void decode() {
        if (receivePacket(form))
            packets.push_back(form.v.PacketData);
    }
};

TEST(QtSerialPortTest, BadDevicesSayWhyAnUnpluggedOneComesBackItsNumberAndMemoryStay) {
    // A symlink in a folder of its own, replaced as udev replaces a device link.
    const std::filesystem::path dir = tempPath("qvlink-pty-link"), path = dir / "meter";
    std::filesystem::create_directories(dir);
    auto first = std::make_unique<Pty>();
    repoint(path, first->device);
    platform::qt::QtSerialPort port;
    PortLink l(port);
    const std::filesystem::path plain = dir / "plain";
    { std::ofstream(plain) << "not a tty"; }
    for (const std::string device : {"/nonexistent/ttyUSB0", plain.c_str(), dir.c_str()}) {
        l.link.connectDevice(device, false); // devices that do not open say why
        EXPECT_FALSE(port.isOpen());
        EXPECT_EQ(l.form.el.linkNote.text().rfind(device + ": cannot open (", 0), 0u)
            << l.form.el.linkNote.text();
    }
    int failures = 0;
    port.setFailureHandler([&] { ++failures, l.link.portFailed(); });
    l.link.connectDevice(path.string(), false);
    ASSERT_TRUE(port.isOpen());

    MeterSimulator meter({.mode = SimMode::Dso, .seed = 4});
    ASSERT_TRUE(first->write(meter.nextBytes(20 * 3 + 11))); // the far end closes mid-packet
    ASSERT_TRUE(runUntil([&] { return l.packets.size() == 3; }));
    first.reset();
    ASSERT_TRUE(runUntil([&] { return failures > 0; }));
    EXPECT_FALSE(port.isOpen()) << "a closed port leaves nothing for the event loop to do";
    for (int k = 0; k < 1000; ++k) // whatever errors are still pending
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    EXPECT_EQ(failures, 1);

    Pty second;
    repoint(path, second.device);
    l.timer.fire();
    EXPECT_EQ(l.form.el.panel[0].text(), connectedText(path.string()));

    ASSERT_TRUE(second.write(meter.nextBytes(20 * 3)));
    EXPECT_TRUE(runUntil([&] { return l.packets.size() > 3; })) << "the port reads again";
    std::filesystem::remove_all(dir);

    const QString ini = QString::fromStdString(tempPath("qvlink-settings.ini").string());
    QFile::remove(ini);
    EXPECT_FALSE(platform::qt::QtDeviceMemory(ini).recall());
    platform::qt::QtDeviceMemory(ini).remember(
        {.path = "/dev/serial/by-id/usb-X", .serialNumber = "A7", .vendorId = 0x0403});
    const auto back = platform::qt::QtDeviceMemory(ini).recall().value_or(DeviceIdentity{});
    EXPECT_EQ(std::tie(back.path, back.serialNumber, back.vendorId, back.productId),
              std::tuple("/dev/serial/by-id/usb-X", "A7", 0x0403, std::nullopt));
    QFile::remove(ini);

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
    PortTable table; // the eight numbers stay with their devices for the run
    table.update({"/dev/ttyS0", "/dev/ttyUSB0"});
    EXPECT_EQ(table.device(1) + " " + table.device(2), "/dev/ttyUSB0 /dev/ttyS0");
    // An adapter is pulled out and another plugged in: port 1 keeps its adapter.
    table.update({"/dev/ttyS0", "/dev/ttyUSB1"});
    EXPECT_EQ(table.device(1) + " " + table.device(3), "/dev/ttyUSB0 /dev/ttyUSB1");
    table.assign(9, "/dev/x"); // ignored
    EXPECT_EQ(table.device(0) + table.device(9) + table.device(-4), "");
}

// The pace counts from the first record played, not from the lines rising; kMax: one per event.
TEST(ReplayPacerTest, ThePaceStartsWithTheFirstRecordPlayedOrGoesAsFastAsItCan) {
    RawRecording rec;
    for (std::uint32_t k = 0; k < 10; ++k) // a record every 100 ms
        rec.records.push_back({k * 100, std::vector<std::uint8_t>(20, std::uint8_t(k))});
    ReplayPort fast(1, rec);
    link::qt::ReplayPacer fastPacer(fast, link::qt::ReplayPacer::kMax);
    std::vector<std::uint8_t> firsts;
    fast.setEventHandler([&](int) { firsts.push_back(fast.read().front()); });
    ASSERT_TRUE(fast.selectPort(1) && fast.open() && fast.setRts(true) && fast.setDtr(true));
    ASSERT_TRUE(runUntil([&] { return firsts.size() >= 10; }));
    EXPECT_EQ(firsts, std::vector<std::uint8_t>({0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    ReplayPort port(1, rec);
    long long now = 0;
    link::qt::ReplayPacer pacer(port, 10, [&now] { return now; });
    std::size_t played = 0;
    port.setEventHandler([&](int) { played += port.read().size() / 20; });
    ASSERT_TRUE(port.selectPort(1) && port.open() && port.setRts(true) && port.setDtr(true));
    now = 300; // the search's settling time
    ASSERT_TRUE(runUntil([&] { return played > 0; }));
    for (int k = 0; k < 5; ++k)
        QCoreApplication::processEvents();
    EXPECT_EQ(played, 1u);
    now = 310; // 10 ms later: 100 ms of the recording
    ASSERT_TRUE(runUntil([&] { return played > 1; }));
    EXPECT_EQ(played, 2u);
    now = 400;
    bool finished = false;
    pacer.setFinishedHandler([&] { finished = true; });
    ASSERT_TRUE(runUntil([&] { return finished; }));
    EXPECT_EQ(played, 10u);
}

// Without a whole record port 1 stays empty and the search finds none; the note says why.
TEST(LinkOptionsTest, AnEmptyReplayStandsEmptyACutOneSaysWhyTheVirtualMeterIsFound) {
    const std::string path = tempPath("qvlink-empty.raw").string();
    const std::string head = "qvlink raw 1 x\n", record = std::string("\0\0\0\0\x02\0\x01\x02", 8);
    // what the file holds; nothing to replay; the note
    const std::tuple<std::string, bool, std::string> cases[] = {
        {head + "\1\2\3", true,
         path + " holds no whole record (the 3 bytes after its first line make none)"},
        {head + record, false, ""},
        {head + record + "\1", false,
         path + ": the last byte was cut short and is left out; its 1 whole record plays"},
    };
    for (const auto &[bytes, nothing, note] : cases) {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
        std::string error;
        link::qt::LinkOptions options;
        options.replay = path;
        std::optional<link::qt::LinkPort> port = link::qt::makeLinkPort(options, error);
        ASSERT_TRUE(port) << error;
        EXPECT_EQ(std::tuple(port->nothingToReplay, port->replayNote, bool(port->pacer)),
                  std::tuple(nothing, note, !nothing));
        EXPECT_EQ(port->port->selectPort(1) && port->port->open(), !nothing);
    }
    std::filesystem::remove(path);

    auto others = std::make_unique<platform::fakes::FakeSerialPort>();
    others->ports.fill({.exists = false});
    others->ports[3] = {.cable = true};
    VirtualMeterPort port(5, {.mode = SimMode::DmmMemory}, VirtualMeterPort::Pace::Manual,
                          std::move(others));
    PortLink l(port);
    l.link.SearchForCom(true);
    EXPECT_EQ(l.form.el.panel[0].text(), connectedText(3)) << "a real port before the meter wins";
    l.link.COM(5);
    EXPECT_EQ(l.form.el.panel[0].text(), connectedText(5));
    port.pump(20 * 40);
    EXPECT_EQ(l.packets.size(), 40u);
    // The scope demo walks through the time bases, three frames each.
    const auto demo = link::qt::makeSerialPort("dso");
    EXPECT_EQ(dynamic_cast<VirtualMeterPort &>(*demo).meter().options().timeBaseTour, 3);
}

} // namespace
} // namespace qv::link
