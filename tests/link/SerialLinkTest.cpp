#include "link/SerialLink.h"
#include "link/LinkTexts.h"
#include "platform/fakes/FakePlatform.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qv::link {
namespace {

/// A link over ports 1..8, one character each: '-' missing, '.' free, 'M' meter, 'b' held by
/// another program, 'B' a held meter, 'x' a meter whose lines cannot be read.
struct LinkFixture {
    platform::fakes::FakePlatform fp;
    common::Form form{fp.platform};
    SerialLink link{form};
    explicit LinkFixture(std::string_view ports = "........") {
        for (std::size_t n = 1; n <= 8; ++n)
            setPort(static_cast<int>(n), ports[n - 1]);
        form.el.mnuBreak.setChecked(true);
        form.el.mnuBreak.setEnabled(false);
    }
    void setPort(int n, char c) {
        const bool held = c == 'b' || c == 'B', cable = c == 'M' || c == 'B' || c == 'x';
        fp.port.ports[static_cast<std::size_t>(n)] = {c != '-', held, cable, c == 'x'};
    }
    /// The eight port items, '1' for enabled (or checked).
    [[nodiscard]] std::string items(bool checked) const {
        std::string s;
        for (const auto &item : form.el.mnuCOM)
            s += (checked ? item.checked() : item.enabled()) ? '1' : '0';
        return s;
    }
    void expectLink(bool up, const std::string &panel) const {
        EXPECT_EQ(form.el.panel[0].text(), panel);
        const common::Elements &el = form.el; // port open, Link, mnuBreak and mnuLink states:
        EXPECT_EQ(
            std::vector<bool>({fp.port.isOpen(), el.Link.checked(), el.mnuBreak.checked(),
                               el.mnuBreak.enabled(), el.mnuLink.checked(), el.mnuLink.enabled()}),
            std::vector<bool>({up, up, !up, up, up, !up}));
    }
};

TEST(SerialLinkTest, SearchOverPortTables) {
    struct Case {
        const char *name, *ports;
        int found; // 0: none, ComPort runs out at 9
        const char *enabled, *checked;
        std::vector<int> sleeps;
    };
    const std::vector<Case> cases{
        {"no ports at all", "--------", 0, "00000000", "00000000", {}},
        {"meter on 4, 1 free, 2 missing", ".-.M----", 4, "10110000", "00010000", {300, 300, 300}},
        {"held port is like a missing one", "bM------", 2, "01000000", "01000000", {300}},
        {"held meter is not found", "----B---", 0, "00000000", "00000000", {}},
        {"failing lines disable the port", "xM------", 2, "01000000", "01000000", {300, 300}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        LinkFixture f(c.ports);
        f.link.SearchForCom(true);
        f.expectLink(c.found != 0, c.found ? connectedText(c.found) : kNotFoundText);
        EXPECT_EQ(f.form.v.ComPort, c.found ? c.found : 9);
        EXPECT_EQ(f.items(false), c.enabled);
        EXPECT_EQ(f.items(true), c.checked);
        EXPECT_EQ(f.fp.clock.sleeps, c.sleeps);
    }
}

TEST(SerialLinkTest, ComOnOneChosenPort) {
    struct Case {
        const char *name, *ports, *panel;
        bool up;
        const char *enabled;
    };
    const std::vector<Case> cases{
        {"meter", "..M.....", "通信电缆已连接在COM 3，通信已建立", true, "11111111"},
        {"no cable", "........", "通信电缆未连接在COM 3，通信无法建立", false, "11111111"},
        {"missing port", "..-.....", "通信状态提示", false, "11011111"},
        {"lines fail", "..x.....", "通信状态提示", false, "11011111"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        LinkFixture f(c.ports);
        f.form.el.mnuCOM[6].setChecked(true);
        f.link.mnuCOM_Click(3);
        f.expectLink(c.up, c.panel); // a failed or empty port is not left open
        EXPECT_EQ(f.items(false), c.enabled);
        EXPECT_EQ(f.items(true), c.up ? "00100000" : "00000000");
        EXPECT_EQ(f.fp.clock.sleeps, std::vector<int>(c.ports[2] != '-', 100));
        EXPECT_EQ(f.form.v.ComPort, 0) << "COM leaves ComPort alone";
    }
}

TEST(SerialLinkTest, SearchAndComMoveTheLinkAndDisconnectUnchecksTheItemOfComPort) {
    LinkFixture f("M----M--");
    f.link.COM(6);
    f.link.SearchForCom(true); // closes the port COM opened first, then finds 1
    EXPECT_EQ(f.form.v.ComPort, 1);
    EXPECT_EQ(f.items(false), "10000100") << "the port left open made no probe fail";
    f.link.COM(6);
    EXPECT_EQ(f.fp.port.port(), 6);
    EXPECT_EQ(f.items(true), "00000100");
    f.expectLink(true, connectedText(6));
    f.form.el.mnuCOM[0].setChecked(true); // as if both showed, to see which one goes
    f.link.mnuBreak_Click();
    EXPECT_EQ(f.items(true), "00000100") << "the item of ComPort (1) goes, not the one of 6";
    f.expectLink(false, kDisconnectedText);
}

TEST(SerialLinkTest, LinkButtonSearchesWhenPressedAndDisconnectsWhenRaised) {
    LinkFixture f("--------");
    f.form.el.Link.setChecked(true); // the click pressed it
    f.link.ComOnOff();
    EXPECT_EQ(f.items(false), "00000000");
    f.setPort(2, 'M'); // the adapter turns up later: disabled ports are still probed
    f.form.el.Link.setChecked(true);
    f.link.ComOnOff();
    f.expectLink(true, connectedText(2));
    EXPECT_EQ(f.items(false), "00000000") << "items stay disabled for the rest of the run";
    f.form.el.Link.setChecked(false); // the click raised it
    f.link.ComOnOff();
    f.expectLink(false, kDisconnectedText);
    EXPECT_EQ(f.items(true), "00000000");
}

TEST(SerialLinkTest, FailingPortShowsADisconnectionWithoutAMessage) {
    LinkFixture f("---M----");
    f.link.mnuLink_Click();
    f.fp.port.fail();
    f.expectLink(false, kDisconnectedText);
    EXPECT_EQ(f.items(true), "00000000");
    EXPECT_EQ(f.items(false), "00010000") << "a failure while open keeps the port usable";
    EXPECT_TRUE(f.fp.messages.shown.empty());
    f.link.mnuLink_Click(); // the adapter is back
    EXPECT_EQ(f.form.el.panel[0].text(), connectedText(4));
}

TEST(SerialLinkTest, OutOfRangePortNumbersAreSafe) {
    for (int n : {0, 9, -1, 32767}) {
        LinkFixture f;
        f.link.COM(n);
        EXPECT_EQ(f.items(false), "11111111");
        EXPECT_FALSE(f.fp.port.isOpen());
    }
}

} // namespace
} // namespace qv::link
