#include "link/SerialLink.h"
#include "link/LinkTexts.h"
#include "platform/fakes/FakePlatform.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qv::link {
namespace {

using platform::fakes::FakePlatform;
using platform::fakes::FakePort;

struct LinkFixture {
    FakePlatform fp;
    common::Form form{fp.platform};
    SerialLink link{form};
    LinkFixture() {
        form.el.mnuBreak.setChecked(true);
        form.el.mnuBreak.setEnabled(false);
    }
    [[nodiscard]] std::string enabledItems() const {
        std::string s;
        for (const auto &item : form.el.mnuCOM)
            s += item.enabled() ? '1' : '0';
        return s;
    }
    [[nodiscard]] std::string checkedItems() const {
        std::string s;
        for (const auto &item : form.el.mnuCOM)
            s += item.checked() ? '1' : '0';
        return s;
    }
};

struct SearchCase {
    const char *name;
    std::array<FakePort, 9> ports;
    std::string panel;
    bool linkDown;
    int comPort;
    const char *enabled; ///< items 1..8
    const char *checked;
    std::vector<int> sleeps;
};

FakePort missing() {
    return FakePort{.exists = false};
}
FakePort freePort() {
    return FakePort{};
}
FakePort meter() {
    return FakePort{.cable = true};
}
FakePort busy() {
    return FakePort{.busy = true};
}

std::array<FakePort, 9> allMissing() {
    std::array<FakePort, 9> p;
    p.fill(missing());
    return p;
}

TEST(SerialLinkTest, SearchOverPortTables) {
    auto meterOn4 = allMissing();
    meterOn4[1] = freePort();
    meterOn4[3] = freePort();
    meterOn4[4] = meter();
    auto heldPort = allMissing();
    heldPort[1] = busy();
    heldPort[2] = meter();
    auto heldMeter = allMissing();
    heldMeter[5] = FakePort{.busy = true, .cable = true};
    auto linesFail = allMissing();
    linesFail[1] = FakePort{.cable = true, .linesFail = true};
    linesFail[2] = meter();

    const std::vector<SearchCase> cases{
        {"no ports at all", allMissing(), kNotFoundText, false, 9, "00000000", "00000000", {}},
        {"meter on 4, 1 free, 2 missing",
         meterOn4,
         connectedText(4),
         true,
         4,
         "10110000",
         "00010000",
         {300, 300, 300}},
        {"held port is like a missing one",
         heldPort,
         connectedText(2),
         true,
         2,
         "01000000",
         "01000000",
         {300}},
        {"held meter is not found", heldMeter, kNotFoundText, false, 9, "00000000", "00000000", {}},
        {"failing lines disable the port",
         linesFail,
         connectedText(2),
         true,
         2,
         "01000000",
         "01000000",
         {300, 300}},
    };
    for (const SearchCase &c : cases) {
        SCOPED_TRACE(c.name);
        LinkFixture f;
        f.fp.port.ports = c.ports;
        f.link.SearchForCom(true);
        EXPECT_EQ(f.form.el.panel[0].text(), c.panel);
        EXPECT_EQ(f.form.el.Link.checked(), c.linkDown);
        EXPECT_EQ(f.form.v.ComPort, c.comPort);
        EXPECT_EQ(f.enabledItems(), c.enabled);
        EXPECT_EQ(f.checkedItems(), c.checked);
        EXPECT_EQ(f.fp.clock.sleeps, c.sleeps);
        EXPECT_EQ(f.fp.port.isOpen(), c.linkDown);
        EXPECT_EQ(f.form.el.mnuBreak.checked(), !c.linkDown);
        EXPECT_EQ(f.form.el.mnuBreak.enabled(), c.linkDown);
        EXPECT_EQ(f.form.el.mnuLink.checked(), c.linkDown);
        EXPECT_EQ(f.form.el.mnuLink.enabled(), !c.linkDown);
    }
}

TEST(SerialLinkTest, PanelTextsCarryTheBlankOfTheSignedNumber) {
    EXPECT_EQ(connectedText(3), "通信电缆已连接在COM 3，通信已建立");
    EXPECT_EQ(notConnectedText(8), "通信电缆未连接在COM 8，通信无法建立");
}

TEST(SerialLinkTest, SearchRaisesRtsThenDtrBeforeReadingTheLines) {
    LinkFixture f;
    f.fp.port.ports = allMissing();
    f.fp.port.ports[1] = meter();
    f.link.SearchForCom(true);
    const std::vector<std::string> expected{
        "select 1", "open 1",   "close 1",  "select 2", "open 2",   "select 3", "open 3",
        "select 4", "open 4",   "select 5", "open 5",   "select 6", "open 6",   "select 7",
        "open 7",   "select 8", "open 8",   "select 1", "open 1",   "rts 1",    "dtr 1"};
    EXPECT_EQ(f.fp.port.log, expected);
}

TEST(SerialLinkTest, ComOnOneChosenPort) {
    struct ComCase {
        const char *name;
        FakePort port;
        std::string panel;
        bool linkDown;
        const char *enabled;
        const char *checked;
    };
    const std::vector<ComCase> cases{
        {"meter", meter(), connectedText(3), true, "11111111", "00100000"},
        {"no cable", freePort(), notConnectedText(3), false, "11111111", "00000000"},
        {"missing port", missing(), "通信状态提示", false, "11011111", "00000000"},
        {"lines fail", FakePort{.cable = true, .linesFail = true}, "通信状态提示", false,
         "11011111", "00000000"},
    };
    for (const ComCase &c : cases) {
        SCOPED_TRACE(c.name);
        LinkFixture f;
        f.fp.port.ports[3] = c.port;
        f.form.el.mnuCOM[6].setChecked(true);
        f.link.mnuCOM_Click(3);
        EXPECT_EQ(f.form.el.panel[0].text(), c.panel);
        EXPECT_EQ(f.form.el.Link.checked(), c.linkDown);
        EXPECT_EQ(f.enabledItems(), c.enabled);
        EXPECT_EQ(f.checkedItems(), c.checked);
        EXPECT_EQ(f.fp.port.isOpen(), c.linkDown) << "a failed or empty port is not left open";
        EXPECT_EQ(f.fp.clock.sleeps, std::vector<int>(c.port.exists ? 1 : 0, 100));
        EXPECT_EQ(f.form.v.ComPort, 0) << "COM leaves ComPort alone";
    }
}

TEST(SerialLinkTest, ComMovesAnOpenLinkToAnotherPort) {
    LinkFixture f;
    f.fp.port.ports[2] = meter();
    f.fp.port.ports[5] = meter();
    f.link.COM(2);
    f.link.COM(5);
    EXPECT_EQ(f.fp.port.port(), 5);
    EXPECT_TRUE(f.fp.port.isOpen());
    EXPECT_EQ(f.checkedItems(), "00001000");
    EXPECT_EQ(f.form.el.panel[0].text(), connectedText(5));
}

TEST(SerialLinkTest, DisconnectAfterComUnchecksTheItemOfComPort) {
    LinkFixture f;
    f.fp.port.ports = allMissing();
    f.fp.port.ports[2] = meter();
    f.fp.port.ports[6] = meter();
    f.link.SearchForCom(true); // finds 2
    f.link.COM(6);
    f.form.el.mnuCOM[5].setChecked(true); // as if both showed, to see which one goes
    f.form.el.mnuCOM[1].setChecked(true);
    f.link.mnuBreak_Click();
    EXPECT_EQ(f.checkedItems(), "00000100") << "the item of ComPort (2) goes, not the one of 6";
    EXPECT_FALSE(f.fp.port.isOpen());
    EXPECT_EQ(f.form.el.panel[0].text(), kDisconnectedText);
    EXPECT_FALSE(f.form.el.Link.checked());
    EXPECT_TRUE(f.form.el.mnuBreak.checked());
    EXPECT_FALSE(f.form.el.mnuBreak.enabled());
    EXPECT_FALSE(f.form.el.mnuLink.checked());
    EXPECT_TRUE(f.form.el.mnuLink.enabled());
}

TEST(SerialLinkTest, LinkButtonSearchesWhenPressedAndDisconnectsWhenRaised) {
    LinkFixture f;
    f.fp.port.ports = allMissing();
    f.fp.port.ports[1] = meter();
    f.form.el.Link.setChecked(true); // the click pressed it
    f.link.ComOnOff();
    EXPECT_TRUE(f.fp.port.isOpen());
    EXPECT_EQ(f.form.el.panel[0].text(), connectedText(1));
    f.form.el.Link.setChecked(false); // the click raised it
    f.link.ComOnOff();
    EXPECT_FALSE(f.fp.port.isOpen());
    EXPECT_EQ(f.form.el.panel[0].text(), kDisconnectedText);
    EXPECT_EQ(f.checkedItems(), "00000000");
}

TEST(SerialLinkTest, FailingPortShowsADisconnectionWithoutAMessage) {
    LinkFixture f;
    f.fp.port.ports = allMissing();
    f.fp.port.ports[4] = meter();
    f.link.mnuLink_Click();
    f.fp.port.fail();
    EXPECT_FALSE(f.fp.port.isOpen());
    EXPECT_EQ(f.form.el.panel[0].text(), kDisconnectedText);
    EXPECT_FALSE(f.form.el.Link.checked());
    EXPECT_TRUE(f.form.el.mnuBreak.checked());
    EXPECT_FALSE(f.form.el.mnuBreak.enabled());
    EXPECT_TRUE(f.form.el.mnuLink.enabled());
    EXPECT_EQ(f.checkedItems(), "00000000");
    EXPECT_EQ(f.enabledItems(), "00010000") << "a failure while open keeps the port usable";
    EXPECT_TRUE(f.fp.messages.shown.empty());
    // The user may connect again once the adapter is back.
    f.link.mnuLink_Click();
    EXPECT_EQ(f.form.el.panel[0].text(), connectedText(4));
}

TEST(SerialLinkTest, ItemsStayDisabledForTheRestOfTheRun) {
    LinkFixture f;
    f.fp.port.ports = allMissing();
    f.link.SearchForCom(true);
    f.fp.port.ports[2] = meter(); // the adapter turns up later
    f.link.SearchForCom(true);
    EXPECT_EQ(f.form.el.panel[0].text(), connectedText(2)) << "disabled ports are probed again";
    EXPECT_EQ(f.enabledItems(), "00000000");
}

TEST(SerialLinkTest, OutOfRangePortNumbersAreSafe) {
    for (int n : {0, 9, -1, 32767}) {
        LinkFixture f;
        f.link.COM(n);
        EXPECT_EQ(f.enabledItems(), "11111111");
        EXPECT_FALSE(f.fp.port.isOpen());
    }
}

} // namespace
} // namespace qv::link
