#include "link/SerialLink.h"
#include "link/DeviceMatch.h"
#include "link/LinkTexts.h"
#include "platform/fakes/FakeLinkServices.h"
#include "platform/fakes/FakePlatform.h"
#include "tests/TestFiles.h"

#include <gtest/gtest.h>

namespace qv::link {
namespace {

using platform::DeviceIdentity;
using platform::SerialDeviceInfo;

SerialDeviceInfo usb(const std::string &path, const std::string &serial, int vid = 0x0403,
                     int pid = 0x6001) {
    return {path.substr(5), path, "", "", serial, std::uint16_t(vid), std::uint16_t(pid)};
}

/// A link over ports 1..8, one character each: '-' missing, '.' free, 'M' meter, 'x' a meter
/// whose lines cannot be read; named devices and every device service faked.
struct LinkFixture {
    platform::fakes::FakePlatform fp;
    platform::fakes::FakeSerialDevices devices;
    platform::fakes::FakeDeviceMemory memory;
    platform::fakes::ScriptedDeviceChooser chooser;
    platform::fakes::FakeTimer timer;
    common::Form form{fp.platform};
    common::Elements &el = form.el;
    SerialLink link{form};
    explicit LinkFixture(std::string_view ports) {
        for (int n = 1; n <= 8; ++n)
            setPort(n, ports[std::size_t(n - 1)]);
        link.useDevices({&devices, &memory, &chooser, &timer});
    }
    void setPort(int n, char c) {
        fp.port.ports[std::size_t(n)] = {.exists = c != '-',
                                         .cable = c == 'M' || c == 'x',
                                         .linesFail = c == 'x',
                                         .noModemLines = c == 'p'};
    }
    void addDevice(const std::string &path, platform::fakes::FakePort p = {.noModemLines = true}) {
        fp.port.devices[path] = p;
    }
    /// The eight port items, checked and enabled: "00100000 11111111".
    [[nodiscard]] std::string items() const {
        std::string checked, enabled;
        for (const auto &item : el.mnuCOM)
            checked += item.checked() ? '1' : '0', enabled += item.enabled() ? '1' : '0';
        return checked + ' ' + enabled;
    }
    /// Port open, Link pressed, mnuBreak checked and enabled, mnuLink checked and enabled.
    [[nodiscard]] std::string state() const {
        std::string s;
        for (bool b : {fp.port.isOpen(), el.Link.checked(), el.mnuBreak.checked(),
                       el.mnuBreak.enabled(), el.mnuLink.checked(), el.mnuLink.enabled()})
            s += b ? '1' : '0';
        return s;
    }
    void expectLink(bool up, const std::string &panel) const {
        EXPECT_EQ(el.panel[0].text(), panel);
        EXPECT_EQ(state(), up ? "110110" : "001001");
    }
};

TEST(SerialLinkTest, SearchOverPortTablesComOnOneChosenPortAndTheLinkButton) {
    // Ports, port found (0: none; ComPort runs out at 9), items, sleeps, items after a
    // disconnect on which the port will not close (its item is disabled).
    const std::tuple<const char *, int, const char *, std::vector<int>, const char *> cases[] = {
        {"--------", 0, "00000000 00000000", {}, "00000000 00000000"}, // no serial ports at all
        {".-.M----", 4, "00010000 10110000", {300, 300, 300}, "00000000 10100000"}, // 2 missing
        {"xM------", 2, "01000000 01000000", {300, 300}, "00000000 00000000"}, // lines fail on 1
        {"p-------", 0, "00000000 00000000", {}, "00000000 00000000"}, // no modem lines on 1
    };
    for (const auto &[ports, found, items, sleeps, afterBreak] : cases) {
        SCOPED_TRACE(ports);
        LinkFixture f(ports); // Link pressed by a click: a search that finds nothing raises it
        f.el.Link.setChecked(true), f.link.ComOnOff();
        f.expectLink(found != 0, found ? connectedText(found) : kNotFoundText);
        EXPECT_EQ(std::tuple(f.form.v.ComPort, f.items(), f.fp.clock.sleeps),
                  std::tuple(found ? found : 9, items, sleeps));
        f.fp.port.ports[std::size_t(found)].closeFails = true, f.link.mnuBreak_Click();
        EXPECT_EQ(std::tuple(f.el.panel[0].text(), f.items()),
                  std::tuple(kDisconnectedText, afterBreak));
    }

    // Ports, port chosen, panel, state(), items, from a link shown up on port 7. A failed port
    // (or one out of 1..8) leaves the Link button and the Comm items as they were; ComPort stays.
    constexpr const char *kUntouched = "通信状态提示";
    const std::tuple<const char *, int, const char *, const char *, const char *> chosen[] = {
        {"..M.....", 3, "通信电缆已连接在COM 3，通信已建立", "110110", "00100000 11111111"},
        {"........", 3, "通信电缆未连接在COM 3，通信无法建立", "001001", "00000000 11111111"},
        {"..-.....", 3, kUntouched, "010110", "00000000 11011111"},
        {"..x.....", 3, kUntouched, "010110", "00000000 11011111"}, // lines fail once open
        {"........", 0, kUntouched, "010110", "00000000 11111111"},
        {"........", 9, kUntouched, "010110", "00000000 11111111"},
    };
    for (const auto &[ports, n, panel, state, items] : chosen) {
        SCOPED_TRACE(testing::Message() << ports << " " << n);
        LinkFixture f(ports);
        common::Elements &el = f.el;
        el.mnuCOM[6].setChecked(true), el.Link.setChecked(true), el.mnuLink.setChecked(true);
        el.mnuLink.setEnabled(false);
        f.link.mnuCOM_Click(n);
        const bool opened = n >= 1 && n <= 8 && ports[n - 1] != '-'; // then it waits for the lines
        EXPECT_EQ(std::tuple(el.panel[0].text(), f.state(), f.items(), f.fp.clock.sleeps,
                             f.form.v.ComPort),
                  std::tuple(panel, state, items, std::vector<int>(opened, 100), 0));
    }

    // The Link button searches when pressed and disconnects when raised.
    LinkFixture f(".----M--");
    f.link.SearchForCom(true); // finds 6 and disables the missing ports
    f.setPort(3, 'M');         // an adapter turns up later: disabled ports are still probed
    f.el.Link.setChecked(true);
    f.link.ComOnOff(); // closes the port left open first, or port 1 would fail and be disabled
    f.expectLink(true, connectedText(3));
    f.link.COM(6);
    EXPECT_EQ(f.items(), "00000100 10000100") << "items stay disabled for the rest of the run";
    f.el.mnuCOM[2].setChecked(true);                // as if both showed, to see which one goes
    f.el.Link.setChecked(false), f.link.ComOnOff(); // the click raised it
    EXPECT_EQ(f.items(), "00000100 10000100") << "the item of ComPort (3) goes, not the one of 6";
    f.expectLink(false, kDisconnectedText);
}

TEST(DeviceLinkTest, NamedDevicesConnectWithoutModemLinesBadOnesSayWhyChosenOnesAreRemembered) {
    // Device, whether it opens, panel 1's note. None disables a port item or is remembered.
    const std::tuple<std::string, bool, std::string> cases[] = {
        {"/dev/pts/7", true, "/dev/pts/7"},
        {"/dev/ttyUSB9", false, "/dev/ttyUSB9: cannot open (No such file or directory)"},
        {"", false, "no device named: cannot open"},
    };
    for (const auto &[device, opens, note] : cases) {
        SCOPED_TRACE(device);
        LinkFixture f("--------");
        if (opens)
            f.addDevice(device);
        f.el.mnuCOM[2].setChecked(true), f.el.Link.setChecked(true); // as a link up leaves them
        f.el.mnuLink.setChecked(true), f.link.connectDevice(device, false);
        f.expectLink(opens, opens ? connectedText(device) : notConnectedText(device));
        EXPECT_EQ(std::tuple(f.el.linkNote.text(), f.items(), f.memory.device.has_value()),
                  std::tuple(note, "00000000 11111111", false));
    }
    LinkFixture f("-.------"); // the device of a port number shows its number
    f.addDevice("fake2", {}), f.link.connectDevice("fake2", false);
    f.expectLink(true, connectedText(2));
    EXPECT_EQ(f.items(), "01000000 11111111");
    // Other port... connects to the chosen device and remembers it, but only one that opened.
    f.addDevice("/dev/rfcomm0");
    f.chooser.answers = {std::nullopt, "/dev/nothing", "/dev/rfcomm0"};
    f.fp.port.log.clear(), f.link.mnuOtherPort_Click(); // Cancel
    EXPECT_TRUE(f.fp.port.log.empty());
    f.link.mnuOtherPort_Click();
    EXPECT_FALSE(f.memory.device) << "a device that did not open is not remembered";
    f.link.mnuOtherPort_Click();
    f.expectLink(true, connectedText("/dev/rfcomm0"));
    EXPECT_EQ(f.memory.device.value_or(DeviceIdentity{}).path, "/dev/rfcomm0");
}

TEST(DeviceLinkTest, StartUpOpensTheNamedDeviceWhenItAppearsOrFallsBackToTheRememberedOne) {
    LinkFixture a("--------"); // --port: no search at all, and the device is remembered
    a.addDevice("/dev/ttyACM0"), a.devices.devices = {usb("/dev/ttyACM0", "A5")};
    a.link.setStartDevice("/dev/ttyACM0"), a.link.startUp();
    a.expectLink(true, connectedText("/dev/ttyACM0"));
    EXPECT_EQ(
        std::tuple(a.fp.port.log.front(), a.memory.device.value_or(DeviceIdentity{}).serialNumber),
        std::tuple("select /dev/ttyACM0", "A5"));
    // With adapter A5 now at /dev/ttyUSB2: ports, the remembered device, panel 1, the port's last
    // step. Only an adapter known by its serial number or ids is looked for elsewhere.
    const DeviceIdentity a5{"/dev/ttyUSB0", "A5", 0x0403, 0x6001};
    const std::tuple<const char *, DeviceIdentity, std::string, const char *> cases[] = {
        {"--------", a5, connectedText("/dev/ttyUSB2"), "dtr 0"},
        {"--------", {"/dev/ttyUSB0"}, kNotFoundText, "open /dev/ttyUSB0"}, // gone
        {"-M------", {"/dev/ttyUSB2"}, connectedText(2), "dtr 2"}, // a meter on port 2 wins
    };
    for (const auto &[ports, remembered, panel, last] : cases) {
        SCOPED_TRACE(panel);
        LinkFixture f(ports);
        f.memory.device = remembered, f.addDevice("/dev/ttyUSB2");
        f.devices.devices = {usb("/dev/ttyUSB2", "A5")}, f.link.startUp();
        EXPECT_EQ(f.el.panel[0].text(), panel);
        EXPECT_EQ(std::pair(f.el.linkNote.text().empty(), f.fp.port.log.back()),
                  std::pair(panel == kNotFoundText, std::string(last)));
    }

    // A --port device not there at start-up is watched for, and remembered once it connects.
    LinkFixture f("--------");
    f.link.setStartDevice("/dev/ttyUSB3"), f.link.startUp();
    f.expectLink(false, notConnectedText("/dev/ttyUSB3"));
    EXPECT_EQ(std::pair(f.timer.active(), f.timer.intervalMs), std::pair(true, 1000));
    f.addDevice("/dev/ttyUSB3"), f.devices.devices = {usb("/dev/ttyUSB3", "A5")}, f.timer.fire();
    f.expectLink(true, connectedText("/dev/ttyUSB3"));
    EXPECT_EQ(std::tuple(f.timer.active(), f.memory.device.value_or(DeviceIdentity{}).serialNumber,
                         f.el.linkNote.text()),
              std::tuple(false, "A5", "/dev/ttyUSB3 appeared: the link is up"));

    // A pseudo-terminal's name, remembered or given, is someone else's at the next start.
    LinkFixture h("--------");
    h.memory.device = DeviceIdentity{"/dev/pts/3"}, h.addDevice("/dev/pts/3"), h.link.startUp();
    h.expectLink(false, kNotFoundText);
    LinkFixture p("--------");
    p.link.setStartDevice("/dev/pts/9"), p.link.startUp();
    EXPECT_FALSE(p.link.watch().watching() || p.timer.active());
}

TEST(DeviceLinkTest, ALostDeviceOrPortIsWatchedOnceASecondUntilItComesBackOrTheUserActs) {
    LinkFixture f("--------");
    int cuts = 0;
    f.form.call.DropCutFrame = [&] { ++cuts; };
    f.addDevice("/tmp/meter"), f.link.connectDevice("/tmp/meter", false), f.fp.port.fail();
    f.expectLink(false, kDisconnectedText);
    EXPECT_EQ(std::tuple(cuts, f.timer.active(), f.timer.intervalMs), std::tuple(1, true, 1000));
    EXPECT_EQ(f.el.linkNote.text(), "/tmp/meter went away; what was under way was dropped; the "
                                    "link comes back when the device does");

    f.fp.port.devices.clear(), f.timer.fire(), f.timer.fire();
    f.expectLink(false, kDisconnectedText); // attempts are quiet
    EXPECT_TRUE(f.timer.active());

    f.addDevice("/tmp/meter"), f.timer.fire();
    f.expectLink(true, connectedText("/tmp/meter"));
    EXPECT_TRUE(!f.timer.active() && f.fp.clock.sleeps.empty()) << "no wait for a named device";

    // A link the user broke or moved is never reopened by itself.
    const std::function<void(SerialLink &)> commands[] = {
        [](SerialLink &l) { l.mnuBreak_Click(); }, [](SerialLink &l) { l.SearchForCom(true); },
        [](SerialLink &l) { l.COM(3); },
        [](SerialLink &l) { l.connectDevice("/dev/rfcomm0", false); }};
    for (const auto &command : commands) {
        f.link.connectDevice("/tmp/meter", false), f.fp.port.fail();
        command(f.link), f.timer.fire();
        EXPECT_FALSE(f.timer.active() || f.fp.port.isOpen()) << &command - commands;
    }

    // A port of 1..8 comes back by its number or as the same adapter elsewhere.
    LinkFixture g("---M----");
    g.link.COM(4), g.fp.port.fail(); // a disconnection without a message that keeps the port usable
    g.expectLink(false, kDisconnectedText);
    EXPECT_TRUE(g.fp.messages.shown.empty());
    g.setPort(4, '-'), g.timer.fire();
    EXPECT_EQ(g.items(), "00000000 11111111") << "an absent device disables nothing";
    g.setPort(4, 'M'), g.timer.fire();
    g.expectLink(true, connectedText(4));
    EXPECT_EQ(std::tuple(g.items(), g.fp.clock.sleeps), // COM, then the port back
              std::tuple("00010000 11111111", std::vector<int>({100, 100})));

    LinkFixture a("M-------");
    a.devices.devices = {usb("fake1", "SN1")}, a.link.COM(1);
    a.fp.port.fail(), a.setPort(1, '-');
    a.devices.devices = {usb("/dev/ttyUSB1", "SN2"), usb("/dev/ttyUSB3", "SN1")};
    a.addDevice("/dev/ttyUSB3", {}), a.timer.fire();
    EXPECT_EQ(a.el.panel[0].text(), connectedText("/dev/ttyUSB3"));
}

// After an unplug only a name still naming the meter's device is reopened, never a pty's.
TEST(DeviceLinkTest, APseudoTerminalIsNeverReopenedAnAdapterIsFoundByItsSerialNumberOrIds) {
    LinkFixture f("--------");
    f.addDevice("/dev/pts/7"), f.link.connectDevice("/dev/pts/7", true);
    EXPECT_EQ(std::tuple(f.devices.reads, f.memory.device->path), std::tuple(0, "/dev/pts/7"));
    f.fp.port.fail(), f.fp.port.devices.clear();
    f.addDevice("/dev/pts/7"), f.timer.fire(); // another program's terminal, at once or later
    f.expectLink(false, kDisconnectedText);
    EXPECT_TRUE(!f.timer.active() && f.link.watch().watching()); // nothing to try, lost till asked
    EXPECT_EQ(f.el.linkNote.text(), "/dev/pts/7 went away; what was under way was dropped; a "
                                    "pseudo-terminal's name is not opened again: the next terminal "
                                    "of any program may take it");
    f.link.mnuBreak_Click();
    EXPECT_FALSE(f.link.watch().watching());
    ReconnectWatch w([](const LinkTarget &) { return false; }); // a port, then a terminal lost
    w.setTimer(&f.timer), w.start({1, {}, false}), w.start({0, {"/dev/pts/7"}, false});
    EXPECT_FALSE(f.timer.active()) << "nothing left to try";

    // An adapter known by its serial number: not another one at its path; it where it is now.
    LinkFixture g("--------");
    g.devices.devices = {usb("/dev/ttyUSB0", "A5")}, g.addDevice("/dev/ttyUSB0");
    g.addDevice("/dev/ttyUSB1"), g.link.connectDevice("/dev/ttyUSB0", true);
    EXPECT_EQ(std::tuple(g.devices.reads, g.memory.device->serialNumber), std::tuple(1, "A5"));
    g.fp.port.fail(), g.devices.devices = {usb("/dev/ttyUSB0", "B7")}, g.timer.fire();
    g.expectLink(false, kDisconnectedText);
    g.devices.devices = {usb("/dev/ttyUSB0", "B7"), usb("/dev/ttyUSB1", "A5")};
    g.timer.fire();
    g.expectLink(true, connectedText("/dev/ttyUSB1"));

    const std::vector<SerialDeviceInfo> list = {
        usb("/dev/ttyUSB0", "A1"), usb("/dev/ttyUSB1", "", 0x1a86, 0x7523),
        usb("/dev/ttyUSB2", "", 0x10c4, 0xea60), usb("/dev/ttyUSB3", "", 0x10c4, 0xea60)};
    // clang-format off
    const std::pair<DeviceIdentity, std::optional<std::string>> cases[] = {
        {{"/dev/old", "A1", 0x0403, 0x6001}, "/dev/ttyUSB0"}, {{"/dev/old"}, std::nullopt},
        {{"/dev/old", "A2", 0x0403, 0x6001}, std::nullopt},
        {{"/dev/old", "", 0x1a86, 0x7523}, "/dev/ttyUSB1"},
        {{"/dev/old", "", 0x10c4, 0xea60}, std::nullopt}}; // two alike adapters
    for (const auto &[identity, expected] : cases)
        EXPECT_EQ(returnedAt(identity, list), expected) << identity.path << identity.serialNumber;
    EXPECT_EQ(identify(list, "ttyUSB0").serialNumber, "A1");
    // Whether the device at a lost one's path now is the same one, by the list above: never a
    // pseudo-terminal; an adapter by its serial number or unique ids (ttyUSB0 has a serial number).
    const std::pair<DeviceIdentity, bool> atPath[] = {
        {{"/dev/pts/3"}, false}, {{"/dev/./pts//3"}, false}, {{"/dev/ttys003"}, false},
        {{"/dev/ttyS0"}, true}, {{"/dev/serial/by-id/usb-FTDI_A1-if00-port0"}, true},
        {{"COM12"}, true}, {{"/dev/ttyUSB0", "A1", 0x0403, 0x6001}, true},
        {{"/dev/ttyUSB0", "A2", 0x0403, 0x6001}, false},
        {{"/dev/ttyUSB9", "A1", 0x0403, 0x6001}, false},
        {{"/dev/ttyUSB1", "", 0x1a86, 0x7523}, true}, {{"/dev/ttyUSB1", "", 0x10c4, 0xea60}, false},
        {{"/dev/ttyUSB0", "", 0x0403, 0x6001}, false}};
    // clang-format on
    for (const auto &[lost, same] : atPath)
        EXPECT_EQ(sameDeviceAtPath(lost, list), same) << lost.path << " " << lost.serialNumber;
    // The system's own name for a new pseudo-terminal, and a link to it, which names it.
    const test::Pty pty;
    const std::filesystem::path link = test::tempPath("qvlink-meter");
    test::repoint(link, pty.device);
    EXPECT_TRUE(isPseudoTerminalName(pty.device)) << pty.device;
    EXPECT_TRUE(leadsToPseudoTerminal(link.string()) && !leadsToPseudoTerminal("/dev/ttyUSB0"));
    EXPECT_TRUE(sameDeviceAtPath({link.string()}, {})) << "a link the user made stays the meter's";
    std::filesystem::remove(link);
    EXPECT_FALSE(findDevice(list, "/dev/ttyUSB9"));
}

} // namespace
} // namespace qv::link
