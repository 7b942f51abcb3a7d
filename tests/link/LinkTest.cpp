#include "link/LinkTexts.h"
#include "link/MeterSimulator.h"
#include "link/PacketAssembly.h"
#include "link/ReceiveDispatch.h"
#include "link/RunControl.h"
#include "link/SerialLink.h"
#include "platform/fakes/FakePlatform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace qv::link {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::string bits(std::initializer_list<bool> states) {
    std::string s;
    for (bool b : states)
        s += b ? '1' : '0';
    return s;
}

/// Bytes from blank-separated items: "S" a sync byte, "a+n" n bytes counting up from a, "a" one.
Bytes bytes(const std::string &layout) {
    Bytes out;
    std::istringstream in(layout);
    for (std::string item; in >> item;) {
        const auto plus = item.find('+');
        const int first = item == "S" ? 0xFF : std::stoi(item.substr(0, plus));
        const int n = plus == std::string::npos ? 1 : std::stoi(item.substr(plus + 1));
        for (int k = 0; k < n; ++k)
            out.push_back(static_cast<std::uint8_t>(first + k));
    }
    return out;
}

Packet packet(const std::string &layout) {
    const Bytes b = bytes(layout);
    Packet out{};
    std::copy_n(b.begin(), std::min(b.size(), out.size()), out.begin());
    return out;
}

TEST(PacketAssemblyTest, BatchesOfEdgeAndFailureCases) {
    // Before each batch: PacketPending holds a head FF 50..68, PacketData 200..219.
    // Batch, whether a packet is complete, PacketData and PacketPending afterwards.
    const std::tuple<const char *, bool, const char *, const char *> cases[] = {
        {"S 1+19", true, "S 1+19", "S 1+19"},
        {"161+3 S 1+16", true, "S 50+16 161+3", "S 1+16 161+3"},
        {"S 1+24", true, "S 1+19", "S 1+19"}, // 25 bytes: the last five are dropped
        {"1+19 S", true, "S 1+19", "S 1+19"},
        {"1+20", true, "S 50+19", "S 50+19"}, // no sync byte: the pending packet goes on
        {"S 1+4", false, "200+20", "S 1+4 54+15"},
        {"1+5", false, "S 50+14 1+5", "S 50+14 1+5"},
        {"161+2 S 7", false, "S 50+17 161+2", "S 7 51+16 161+2"},
        {"", false, "200+20", "S 50+19"},
    };
    for (const auto &[batch, ok, data, pending] : cases) {
        SCOPED_TRACE(batch);
        common::SharedValues v;
        v.PacketPending = packet("S 50+19");
        v.PacketData = packet("200+20");
        EXPECT_EQ(assemblePacket(v, bytes(batch)), ok);
        EXPECT_EQ(v.PacketData, packet(data));
        EXPECT_EQ(v.PacketPending, packet(pending));
    }
}

TEST(ReceiveDispatchTest, NoPacketLostWhateverTheOperatingSystemBatches) {
    // 10,000 packets' worth of bytes from a meter met seven bytes into a packet.
    constexpr std::size_t kPackets = 10000, kOffset = 7;
    platform::fakes::FakePlatform fp;
    common::Form form{fp.platform};
    ASSERT_TRUE(fp.port.open());
    form.el.DMMmode.setChecked(true);
    int failures = 0;
    std::vector<Packet> packets;
    const auto decode = [&] {
        if (receivePacket(form))
            packets.push_back(form.v.PacketData);
        else
            ++failures;
    };
    ReceiveDispatch dispatch{form, decode, [] { ADD_FAILURE() << "the DSO decoder"; }};
    const SimOptions options{.mode = SimMode::Dmm, .seed = 11, .startOffset = int(kOffset)};
    MeterSimulator source(options), reference(options);
    const Bytes stream = source.nextBytes(kPackets * 20 - kOffset);
    for (const int code : {0, 1, 3, 1002})
        fp.port.raise(code); // line changes and errors: no decoder runs
    std::mt19937 rng(5);
    std::uniform_int_distribution<long> batchSize(1, 1024);
    for (auto at = stream.begin(); at != stream.end();) {
        const auto next = at + std::min(batchSize(rng), long(stream.end() - at));
        fp.port.deliver({at, next});
        at = next;
    }
    EXPECT_EQ(failures, 0);
    // The first packet is completed from its tail only; the last waits for the rest of its bytes.
    ASSERT_EQ(packets.size(), kPackets - 1);
    for (std::size_t k = 0; k < packets.size(); ++k) {
        Packet sent = reference.nextPacket();
        if (k == 0)
            std::fill_n(sent.begin(), kOffset, 0);
        ASSERT_EQ(packets[k], sent) << "packet " << k;
    }
    EXPECT_EQ(fp.port.read().size(), 20u - kOffset);
}

/// A link over ports 1..8, one character each: '-' missing, '.' free, 'M' meter, 'b' held by
/// another program, 'x' a meter whose lines cannot be read.
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
        fp.port.ports[static_cast<std::size_t>(n)] = {c != '-', c == 'b', c == 'M' || c == 'x',
                                                      c == 'x'};
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
    // Ports, the port found (0: none, ComPort runs out at 9), enabled items, sleeps.
    const std::tuple<const char *, int, const char *, std::vector<int>> cases[] = {
        {"--------", 0, "00000000", {}},
        {".-.M----", 4, "10110000", {300, 300, 300}}, // 1 free, 2 missing
        {"bM------", 2, "01000000", {300}},           // held port is like a missing one
        {"xM------", 2, "01000000", {300, 300}},      // failing lines disable the port
    };
    for (const auto &[ports, found, enabled, sleeps] : cases) {
        SCOPED_TRACE(ports);
        LinkFixture f(ports);
        f.form.el.Link.setChecked(true); // pressed: a search that finds nothing raises it
        f.link.SearchForCom(true);
        f.expectLink(found != 0, found ? connectedText(found) : kNotFoundText);
        EXPECT_EQ(f.form.v.ComPort, found ? found : 9);
        EXPECT_EQ(f.items(false), enabled);
        std::string checked(8, '0');
        if (found)
            checked[found - 1] = '1';
        EXPECT_EQ(f.items(true), checked);
        EXPECT_EQ(f.fp.clock.sleeps, sleeps);
    }
}

TEST(SerialLinkTest, ComOnOneChosenPort) {
    // Ports, panel text, link made, enabled items; all from a link shown up on port 7. A failed
    // port leaves the Link button and the Comm items as they were.
    const std::tuple<const char *, const char *, bool, const char *> cases[] = {
        {"..M.....", "通信电缆已连接在COM 3，通信已建立", true, "11111111"},
        {"........", "通信电缆未连接在COM 3，通信无法建立", false, "11111111"},
        {"..-.....", "通信状态提示", false, "11011111"},
    };
    for (const auto &[ports, panel, up, enabled] : cases) {
        SCOPED_TRACE(ports);
        LinkFixture f(ports);
        common::Elements &el = f.form.el;
        el.mnuCOM[6].setChecked(true);
        el.Link.setChecked(true), el.mnuLink.setChecked(true), el.mnuLink.setEnabled(false);
        el.mnuBreak.setChecked(false), el.mnuBreak.setEnabled(true);
        f.link.mnuCOM_Click(3);
        if (ports[2] == '-')
            EXPECT_EQ(bits({f.fp.port.isOpen(), el.Link.checked(), el.mnuBreak.checked(),
                            el.mnuBreak.enabled(), el.mnuLink.checked(), el.mnuLink.enabled()}),
                      "010110");
        else
            f.expectLink(up, panel); // a failed or empty port is not left open
        EXPECT_EQ(el.panel[0].text(), panel);
        EXPECT_EQ(f.items(false), enabled);
        EXPECT_EQ(f.items(true), up ? "00100000" : "00000000");
        EXPECT_EQ(f.fp.clock.sleeps, std::vector<int>(ports[2] != '-', 100));
        EXPECT_EQ(f.form.v.ComPort, 0) << "COM leaves ComPort alone";
    }
}

TEST(SerialLinkTest, SearchAndComMoveTheLinkAndDisconnectUnchecksTheItemOfComPort) {
    LinkFixture f("M----M--");
    f.link.COM(6);
    f.link.SearchForCom(true); // closes the port COM opened first, then finds 1
    EXPECT_EQ(f.form.v.ComPort, 1);
    f.link.COM(6);
    EXPECT_EQ(f.items(true), "00000100");
    f.form.el.mnuCOM[0].setChecked(true); // as if both showed, to see which one goes
    f.link.mnuBreak_Click();
    EXPECT_EQ(f.items(true), "00000100") << "the item of ComPort (1) goes, not the one of 6";
    f.expectLink(false, kDisconnectedText);
}

TEST(SerialLinkTest, APortThatWillNotCloseOnDisconnectIsDisabled) {
    LinkFixture f("-M------");
    f.link.mnuLink_Click();
    f.fp.port.ports[2].closeFails = true;
    f.link.mnuBreak_Click();
    EXPECT_EQ(f.items(false), "00000000");
    EXPECT_EQ(f.form.el.panel[0].text(), kDisconnectedText);
}

TEST(SerialLinkTest, LinkButtonSearchesWhenPressedAndDisconnectsWhenRaised) {
    LinkFixture f("--------");       // no serial ports at all
    f.form.el.Link.setChecked(true); // the click pressed it
    f.link.ComOnOff();
    f.expectLink(false, kNotFoundText);
    EXPECT_EQ(f.items(false), "00000000");
    f.setPort(2, 'M'); // the adapter turns up later: disabled ports are still probed
    f.form.el.Link.setChecked(true);
    f.link.ComOnOff();
    f.expectLink(true, connectedText(2));
    EXPECT_EQ(f.items(false), "00000000") << "items stay disabled for the rest of the run";
    f.form.el.Link.setChecked(false); // the click raised it
    f.link.ComOnOff();
    f.expectLink(false, kDisconnectedText);
}

TEST(SerialLinkTest, FailingPortShowsADisconnectionWithoutAMessage) {
    LinkFixture f("---M----");
    f.link.mnuLink_Click();
    f.fp.port.fail();
    f.expectLink(false, kDisconnectedText);
    EXPECT_EQ(f.items(true), "00000000") << "the failed port's item is unchecked";
    EXPECT_EQ(f.items(false), "00010000") << "a failure while open keeps the port usable";
    EXPECT_TRUE(f.fp.messages.shown.empty());
}

TEST(SerialLinkTest, OutOfRangePortNumbersAreSafe) {
    for (int n : {0, 9, -1, 32767}) {
        LinkFixture f;
        f.link.COM(n);
        EXPECT_EQ(f.items(false), "11111111");
        EXPECT_FALSE(f.fp.port.isOpen());
    }
}

TEST(RunControlTest, StatesOfEachCommandInBothModes) {
    enum Action { Press, Raise, MenuStart, MenuPause };
    // DMM mode, action; afterwards: running, the record start item and button enabled, the
    // button down, the scope screen accepting dropped files; record pauses called.
    // clang-format off
    const std::tuple<bool, Action, bool, const char *, int> cases[] = {
        {true, Press, true, "1101", 0},      {false, Press, true, "0000", 0},
        {true, Raise, false, "0000", 1},     {false, Raise, false, "1111", 0},
        {true, MenuStart, true, "1101", 0},  {false, MenuStart, true, "0001", 0},
        {false, MenuPause, false, "0000", 1}};
    // clang-format on
    for (const auto &[dmm, action, running, record, pauses] : cases) {
        SCOPED_TRACE(action * 2 + dmm);
        platform::fakes::FakePlatform fp;
        common::Form form(fp.platform);
        int pauseCalls = 0;
        form.call.mnuDMMRecordPause_Click = [&] { ++pauseCalls; };
        common::Elements &el = form.el;
        el.DMMmode.setChecked(dmm);
        // Before a start: stopped. Before a stop: running with a record in progress.
        const bool start = action == Press || action == MenuStart;
        for (common::Control *c : {&el.mnuStart, &el.mnuDMMRecordStart, &el.DMMRecord})
            c->setEnabled(!start);
        el.mnuStart.setChecked(!start);
        el.DMMRecord.setChecked(!start);
        el.mnuPause.setChecked(start);
        el.mnuPause.setEnabled(!start);
        el.Picture1Drops.setChecked(start);
        RunControl run(form);
        el.StartStop.setChecked(start); // as a click on the button toggles it
        if (action == MenuStart)
            run.mnuStart_Click();
        else if (action == MenuPause)
            run.mnuPause_Click();
        else
            run.StartStop();
        const std::string states =
            bits({run.running(), el.mnuStart.checked(), !el.mnuStart.enabled(),
                  !el.mnuPause.checked(), el.mnuPause.enabled(), el.StartStop.checked()});
        EXPECT_EQ(states, std::string(6, running ? '1' : '0'));
        EXPECT_EQ(bits({el.mnuDMMRecordStart.enabled(), el.DMMRecord.enabled(),
                        el.DMMRecord.checked(), el.Picture1Drops.checked()}),
                  record);
        EXPECT_EQ(pauseCalls, pauses);
    }
}

std::string text(const Packet &p) {
    return std::string(p.begin() + 1, p.begin() + 17);
}

TEST(MeterSimulatorTest, MemoryPlaybackSendsMessagesThenNumberedReadings) {
    constexpr int kStored = DmmPacketSource::kStoredReadings;
    constexpr int kLive = DmmPacketSource::kLiveBetween;
    MeterSimulator sim({.mode = SimMode::DmmMemory});
    std::string modes;
    std::vector<std::string> texts;
    for (int k = 0; k < 3 + kStored + kLive; ++k) {
        const Packet p = sim.nextPacket();
        modes += char('0' + p[18]);
        texts.push_back(text(p));
        EXPECT_TRUE(p[18] != 1 || p[19] == k - 2) << "stored reading " << k - 2;
    }
    EXPECT_EQ(modes, "22" + std::string(kStored, '1') + "2" + std::string(kLive, '0'));
    EXPECT_EQ(texts[0], "Data start      ");
    EXPECT_EQ(texts[1].substr(0, 3), "   ");
    EXPECT_EQ(texts[2 + kStored].substr(0, 6), "Data e");
}

TEST(MeterSimulatorTest, ScopeFramesCarryTheirSettings) {
    const std::pair<SimMode, std::vector<int>> cases[] = {{SimMode::Dso, {3, 3, 3}},
                                                          {SimMode::DsoMemory, {4, 5, 4}}};
    for (const auto &[mode, workModes] : cases) {
        DsoSignal s{.timeBase = 24, .gain = 9, .triggerPos = -20, .verticalPos = 12, .slope = 0};
        s.level = -8;
        s.zeroLevel = 120;
        MeterSimulator sim({.mode = mode, .model = 5, .dso = s});
        for (std::size_t frame = 0; frame < workModes.size(); ++frame) {
            const int memory = mode == SimMode::DsoMemory ? int(frame + 1) : 0;
            for (int n = 1; n <= 17; ++n) {
                const Packet p = sim.nextPacket();
                EXPECT_EQ(std::vector<int>({p[0], p[17], p[18], p[19]}),
                          std::vector<int>({0xFF, 5, workModes[frame], n}));
                ASSERT_EQ(std::count(p.begin(), p.end(), 0xFF), 1) << "a payload sync byte";
                if (n == 1) {
                    EXPECT_EQ(std::vector<int>(p.begin() + 1, p.begin() + 10),
                              std::vector<int>({24, 108, 9, 140, 1, 0, 120, 120, memory}));
                }
            }
        }
    }
}

} // namespace
} // namespace qv::link
