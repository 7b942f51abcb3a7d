#include "link/DeviceMatch.h"
#include "link/LinkTexts.h"
#include "link/PacketAssembly.h"
#include "link/ReceiveDispatch.h"
#include "link/SerialLink.h"
#include "link/SimulatorSettings.h"
#include "platform/fakes/FakeLinkServices.h"
#include "platform/fakes/FakePlatform.h"

#include <gtest/gtest.h>

namespace qv::link {
namespace {

using platform::DeviceIdentity;
using platform::SerialDeviceInfo;
using platform::fakes::FakePort;

SerialDeviceInfo usb(std::string location, std::string serial, std::uint16_t vid = 0x0403,
                     std::uint16_t pid = 0x6001) {
    return {.name = location.substr(5),
            .location = location,
            .serialNumber = std::move(serial),
            .vendorId = vid,
            .productId = pid};
}

/// A link whose port knows named devices, with every device service faked.
struct DeviceFixture {
    platform::fakes::FakePlatform fp;
    platform::fakes::FakeSerialDevices devices;
    platform::fakes::FakeDeviceMemory memory;
    platform::fakes::ScriptedDeviceChooser chooser;
    platform::fakes::FakeTimer timer;
    common::Form form{fp.platform};
    SerialLink link{form};
    DeviceFixture() {
        fp.port.ports.fill({.exists = false});
        link.useDevices({&devices, &memory, &chooser, &timer});
        form.el.mnuBreak.setChecked(true);
        form.el.mnuBreak.setEnabled(false);
    }
    void addDevice(const std::string &path, FakePort p = {.noModemLines = true}) {
        fp.port.devices[path] = p;
    }
    [[nodiscard]] bool up() const {
        return fp.port.isOpen() && form.el.Link.checked() && form.el.mnuLink.checked() &&
               !form.el.mnuBreak.checked();
    }
};

TEST(DeviceLinkTest, NamedDevicesConnectWithoutModemLinesAndBadOnesSayWhy) {
    // Device, whether it opens, panel 1 afterwards, note.
    const std::tuple<std::string, bool, std::string, std::string> cases[] = {
        {"/dev/pts/7", true, connectedText("/dev/pts/7"), "/dev/pts/7"},
        {"COM12", true, connectedText("COM12"), "COM12"},
        {"/dev/ttyUSB9", false, notConnectedText("/dev/ttyUSB9"),
         "/dev/ttyUSB9: cannot open (No such file or directory)"},
        {"", false, notConnectedText(""), "no device named: cannot open"},
    };
    for (const auto &[device, opens, panel, note] : cases) {
        SCOPED_TRACE(device);
        DeviceFixture f;
        if (opens)
            f.addDevice(device);
        f.form.el.mnuCOM[2].setChecked(true);
        f.link.connectDevice(device, false);
        EXPECT_EQ(f.up(), opens);
        EXPECT_EQ(f.fp.port.isOpen(), opens);
        EXPECT_EQ(f.form.el.mnuBreak.enabled(), opens);
        EXPECT_EQ(f.form.el.panel[0].text(), panel);
        EXPECT_EQ(f.form.el.linkNote.text(), note);
        EXPECT_FALSE(f.form.el.mnuCOM[2].checked());
        EXPECT_FALSE(f.memory.device) << "only a chosen device is remembered";
        for (const auto &item : f.form.el.mnuCOM)
            EXPECT_TRUE(item.enabled()) << "a named device disables no port item";
    }
}

TEST(DeviceLinkTest, TheDeviceOfAPortNumberShowsItsNumber) {
    DeviceFixture f;
    f.fp.port.ports[2] = {};
    f.addDevice("fake2", {});
    f.link.connectDevice("fake2", false);
    EXPECT_EQ(f.form.el.panel[0].text(), connectedText(2));
    EXPECT_TRUE(f.form.el.mnuCOM[1].checked());
}

TEST(DeviceLinkTest, StartUpOpensTheNamedDeviceOrFallsBackToTheRememberedOne) {
    {
        DeviceFixture f; // --port: no search at all
        f.addDevice("/dev/ttyACM0");
        f.devices.devices = {usb("/dev/ttyACM0", "A5")};
        f.link.setStartDevice("/dev/ttyACM0");
        f.link.startUp();
        EXPECT_TRUE(f.up());
        EXPECT_EQ(f.fp.port.log.front(), "select /dev/ttyACM0");
        ASSERT_TRUE(f.memory.device);
        EXPECT_EQ(f.memory.device->serialNumber, "A5");
    }
    {
        DeviceFixture f; // nothing on 1..8: the device of last time, at the path it has now
        f.memory.device = DeviceIdentity{
            .path = "/dev/ttyUSB0", .serialNumber = "A5", .vendorId = 0x0403, .productId = 0x6001};
        f.addDevice("/dev/ttyUSB2");
        f.devices.devices = {usb("/dev/ttyUSB2", "A5")};
        f.link.startUp();
        EXPECT_TRUE(f.up());
        EXPECT_EQ(f.form.el.panel[0].text(), connectedText("/dev/ttyUSB2"));
    }
    {
        DeviceFixture f; // the remembered device is gone: the search's outcome stands
        f.memory.device = DeviceIdentity{.path = "/dev/ttyUSB0"};
        f.link.startUp();
        EXPECT_FALSE(f.up());
        EXPECT_EQ(f.form.el.panel[0].text(), kNotFoundText);
        EXPECT_EQ(f.form.el.linkNote.text(), "");
    }
    {
        DeviceFixture f; // a meter on port 2 wins over the remembered device
        f.fp.port.ports[2] = {.cable = true};
        f.memory.device = DeviceIdentity{.path = "/dev/x"};
        f.addDevice("/dev/x");
        f.link.startUp();
        EXPECT_EQ(f.form.el.panel[0].text(), connectedText(2));
    }
}

TEST(DeviceLinkTest, OtherPortConnectsToTheChosenDeviceAndRemembersIt) {
    DeviceFixture f;
    f.addDevice("/dev/rfcomm0");
    f.chooser.answers = {std::nullopt, "/dev/nothing", "/dev/rfcomm0"};
    f.link.mnuOtherPort_Click(); // Cancel
    EXPECT_TRUE(f.fp.port.log.empty());
    f.link.mnuOtherPort_Click();
    EXPECT_FALSE(f.up());
    EXPECT_FALSE(f.memory.device) << "a device that did not open is not remembered";
    f.link.mnuOtherPort_Click();
    EXPECT_TRUE(f.up());
    ASSERT_TRUE(f.memory.device);
    EXPECT_EQ(f.memory.device->path, "/dev/rfcomm0");
    EXPECT_EQ(f.chooser.asked, 3);
}

TEST(DeviceLinkTest, ALostDeviceIsWatchedOnceASecondUntilItComesBack) {
    DeviceFixture f;
    int cuts = 0;
    f.form.call.DropCutFrame = [&] { ++cuts; };
    f.addDevice("/tmp/meter");
    f.link.connectDevice("/tmp/meter", false);
    f.fp.port.fail();
    EXPECT_EQ(f.form.el.panel[0].text(), kDisconnectedText);
    EXPECT_EQ(cuts, 1);
    EXPECT_TRUE(f.timer.active());
    EXPECT_EQ(f.timer.intervalMs, 1000);
    EXPECT_NE(f.form.el.linkNote.text().find("went away"), std::string::npos);

    f.fp.port.devices.clear();
    f.timer.fire();
    f.timer.fire();
    EXPECT_FALSE(f.up());
    EXPECT_TRUE(f.timer.active());
    EXPECT_EQ(f.form.el.panel[0].text(), kDisconnectedText) << "attempts are quiet";

    f.addDevice("/tmp/meter");
    f.timer.fire();
    EXPECT_TRUE(f.up());
    EXPECT_EQ(f.form.el.panel[0].text(), connectedText("/tmp/meter"));
    EXPECT_FALSE(f.timer.active());
}

TEST(DeviceLinkTest, APortOfOneToEightComesBackByItsNumberOrAsTheSameAdapterElsewhere) {
    {
        DeviceFixture f;
        f.fp.port.ports[4] = {.cable = true};
        f.link.COM(4);
        f.fp.port.fail();
        f.fp.port.ports[4] = {.exists = false};
        f.timer.fire();
        EXPECT_TRUE(f.form.el.mnuCOM[3].enabled()) << "an absent device disables nothing";
        f.fp.port.ports[4] = {.cable = true};
        f.timer.fire();
        EXPECT_EQ(f.form.el.panel[0].text(), connectedText(4));
        EXPECT_TRUE(f.form.el.mnuCOM[3].checked());
    }
    {
        DeviceFixture f;
        f.fp.port.ports[1] = {.cable = true};
        f.devices.devices = {usb("fake1", "SN1")};
        f.link.COM(1);
        f.fp.port.fail();
        f.fp.port.ports[1] = {.exists = false};
        f.devices.devices = {usb("/dev/ttyUSB1", "SN2"), usb("/dev/ttyUSB3", "SN1")};
        f.addDevice("/dev/ttyUSB3", {});
        f.timer.fire();
        EXPECT_EQ(f.form.el.panel[0].text(), connectedText("/dev/ttyUSB3"));
    }
}

TEST(DeviceLinkTest, ALinkTheUserBrokeIsNeverReopenedByItself) {
    for (int command = 0; command < 3; ++command) {
        SCOPED_TRACE(command);
        DeviceFixture f;
        f.addDevice("/tmp/meter");
        f.link.connectDevice("/tmp/meter", false);
        f.fp.port.fail();
        if (command == 0)
            f.link.mnuBreak_Click();
        else if (command == 1)
            f.link.SearchForCom(true);
        else
            f.link.COM(3);
        EXPECT_FALSE(f.timer.active());
        f.timer.fire();
        EXPECT_FALSE(f.fp.port.isOpen());
    }
}

TEST(DeviceMatchTest, AnAdapterIsFoundBySerialNumberOrByUniqueIds) {
    const std::vector<SerialDeviceInfo> list = {
        usb("/dev/ttyUSB0", "A1"), usb("/dev/ttyUSB1", "", 0x1a86, 0x7523),
        usb("/dev/ttyUSB2", "", 0x10c4, 0xea60), usb("/dev/ttyUSB3", "", 0x10c4, 0xea60)};
    const std::pair<DeviceIdentity, std::optional<std::string>> cases[] = {
        {{.path = "/dev/old", .serialNumber = "A1", .vendorId = 0x0403, .productId = 0x6001},
         "/dev/ttyUSB0"},
        {{.path = "/dev/old", .serialNumber = "A2", .vendorId = 0x0403, .productId = 0x6001},
         std::nullopt},
        {{.path = "/dev/old", .vendorId = 0x1a86, .productId = 0x7523}, "/dev/ttyUSB1"},
        {{.path = "/dev/old", .vendorId = 0x10c4, .productId = 0xea60}, std::nullopt},
        {{.path = "/dev/old"}, std::nullopt},
    };
    for (const auto &[identity, expected] : cases)
        EXPECT_EQ(returnedAt(identity, list), expected) << identity.path << identity.serialNumber;
    EXPECT_EQ(identify(list, "ttyUSB0").serialNumber, "A1");
    EXPECT_FALSE(findDevice(list, "/dev/ttyUSB9"));
}

TEST(ReceiveDispatchTest, AfterACutNothingIsDecodedUntilANewPacketHasStarted) {
    platform::fakes::FakePlatform fp;
    common::Form form{fp.platform};
    ASSERT_TRUE(fp.port.open());
    form.el.DMMmode.setChecked(true);
    std::vector<Packet> decoded;
    const auto decode = [&] {
        if (receivePacket(form))
            decoded.push_back(form.v.PacketData);
    };
    ReceiveDispatch dispatch{form, decode, decode};
    std::vector<std::uint8_t> a(20, 0x41), b(20, 0x42);
    a[0] = b[0] = 0xFF;
    std::vector<std::uint8_t> first = a;
    first.insert(first.end(), a.begin(), a.begin() + 12);
    fp.port.deliver(first); // a, and the head of the next packet when the device goes away
    fp.port.fail();
    ASSERT_TRUE(fp.port.open());
    dispatch.resync();
    // 30 bytes without a sync byte (still cut), the tail of a packet after the gap, 3 packets.
    std::vector<std::uint8_t> after;
    for (int k = 0; k < 30 + 15 + 60; ++k)
        after.push_back(k < 30 ? 0x20 : b[std::size_t(k - 30 + 5) % 20]);
    fp.port.deliver(after);
    // Nothing from the two events without a sync byte nor the one that starts b; then b twice
    // whole (the last b waits for the next sync byte).
    ASSERT_EQ(decoded.size(), 3u);
    EXPECT_EQ(std::vector<std::uint8_t>(decoded[0].begin(), decoded[0].end()), a);
    for (std::size_t k = 1; k < decoded.size(); ++k)
        EXPECT_EQ(std::vector<std::uint8_t>(decoded[k].begin(), decoded[k].end()), b);
}

} // namespace
} // namespace qv::link
