#include "link/DsoFrameSource.h"
#include "link/MeterSimulator.h"
#include "link/PacketAssembly.h"
#include "link/RawRecordingReader.h"
#include "link/ReceiveDispatch.h"
#include "link/RecordingPort.h"
#include "link/ReplayPort.h"
#include "link/RunControl.h"
#include "platform/fakes/FakePlatform.h"
#include "tests/SyncSpy.h"
#include "tests/TestFiles.h"

#include <gtest/gtest.h>

#include <bit>

namespace qv::link {
namespace {

using Bytes = std::vector<std::uint8_t>;
using test::tempPath;

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
    Packet out{}; // every layout is 20 bytes long
    std::ranges::copy(bytes(layout), out.begin());
    return out;
}

/// A form in DMM mode on an open fake port, keeping every packet the DMM decoder takes.
struct DispatchRig {
    platform::fakes::FakePlatform fp;
    common::Form form{fp.platform};
    std::vector<Packet> packets;
    int failures = 0;
    ReceiveDispatch dispatch{form, [this] { decode(); }, [] { ADD_FAILURE() << "DSO decoder"; }};
    DispatchRig() {
        EXPECT_TRUE(fp.port.open());
        form.el.DMMmode.setChecked(true);
    }
    void decode() { receivePacket(form) ? packets.push_back(form.v.PacketData) : void(++failures); }
};

TEST(ReceiveDispatchTest, PacketsAreAssembledNoneLostWhateverTheBatchesNoneAfterACutTillANew) {
    // 10,000 packets' worth of bytes from a meter met seven bytes into a packet.
    constexpr std::size_t kPackets = 10000, kOffset = 7;
    DispatchRig r;
    const SimOptions options{.mode = SimMode::Dmm, .seed = 11, .startOffset = int(kOffset)};
    MeterSimulator source(options), reference(options);
    const Bytes stream = source.nextBytes(kPackets * 20 - kOffset);
    for (const int code : {0, 1, 3, 1002})
        r.fp.port.raise(code); // line changes and errors: no decoder runs
    for (std::size_t at = 0, n = 1; at < stream.size(); at += n, n = n * 7 % 1031) // 1..1030
        r.fp.port.deliver({stream.begin() + at, stream.begin() + std::min(at + n, stream.size())});
    // The first packet is completed from its tail only; the last waits for the rest of its bytes.
    std::vector<Packet> sent(kPackets - 1);
    std::generate(sent.begin(), sent.end(), [&] { return reference.nextPacket(); });
    std::fill_n(sent[0].begin(), kOffset, 0);
    EXPECT_EQ(std::tuple(r.failures, r.packets, r.fp.port.read().size()),
              std::tuple(0, sent, 20u - kOffset));

    DispatchRig c; // a, and the head of the next packet when the device goes away
    c.fp.port.deliver(bytes("S 1+19 S 1+11")), c.fp.port.fail();
    ASSERT_TRUE(c.fp.port.open());
    c.dispatch.resync();
    // 30 bytes without a sync byte (still cut), the tail of a packet after the gap, 3 packets b.
    c.fp.port.deliver(bytes("32+30 105+15 S 101+19 S 101+19 S 101+19"));
    // a; none from the events without a sync byte nor the one starting b; b twice (a third waits).
    EXPECT_EQ(c.packets,
              std::vector<Packet>({packet("S 1+19"), packet("S 101+19"), packet("S 101+19")}));
    DispatchRig e; // a sync byte last of the first 20 bytes ends the cut too
    e.dispatch.resync(), e.fp.port.deliver(bytes("32+19 S 101+19 S"));
    EXPECT_EQ(e.packets, std::vector<Packet>({packet("S 101+19")}));
    platform::ReceiveQueue full(20, 50); // a reader that stops loses the oldest bytes, not memory
    const Bytes many = bytes("0+80");
    full.deliver(many.data(), many.size(), [] {});
    EXPECT_EQ(full.waiting(), 50u);
    EXPECT_EQ(full.take().front(), 30);

    // Batch, packet complete, PacketData and PacketPending after (before: 200+20 and S 50+19).
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
        v.PacketPending = packet("S 50+19"), v.PacketData = packet("200+20");
        // Braces: the packets are read after the call.
        EXPECT_EQ((std::tuple{assemblePacket(v, bytes(batch)), v.PacketData, v.PacketPending}),
                  std::tuple(ok, packet(data), packet(pending)));
    }
}

TEST(RunControlTest, StatesOfEachCommandInBothModes) {
    using Command = void (RunControl::*)();
    const Command press = &RunControl::StartStop, start = &RunControl::mnuStart_Click;
    // DMM mode, command, whether it starts; afterwards record start item and button enabled,
    // button down, scope screen taking drops (as "1101"); record pauses called.
    // clang-format off
    const std::tuple<bool, Command, bool, const char *, int> cases[] = {
        {true, press, true, "1101", 0},  {false, press, true, "0000", 0},
        {true, press, false, "0000", 1}, {false, press, false, "1111", 0},
        {true, start, true, "1101", 0},  {false, start, true, "0001", 0},
        {false, &RunControl::mnuPause_Click, false, "0000", 1}};
    // clang-format on
    for (const auto &[dmm, command, starts, record, pauses] : cases) {
        SCOPED_TRACE(testing::Message() << dmm << starts << (command == start));
        platform::fakes::FakePlatform fp;
        common::Form form(fp.platform);
        int pauseCalls = 0;
        common::Elements &el = form.el;
        el.DMMmode.setChecked(dmm), form.call.mnuDMMRecordPause_Click = [&] { ++pauseCalls; };
        // Before a start: stopped. Before a stop: running with a record in progress.
        for (common::Control *c : {&el.mnuDMMRecordStart, &el.DMMRecord})
            c->setEnabled(!starts), c->setChecked(!starts);
        el.mnuStart.setChecked(!starts), el.mnuStart.setEnabled(starts);
        el.mnuPause.setChecked(starts), el.mnuPause.setEnabled(!starts);
        el.Picture1Drops.setChecked(starts); // and a click toggles the button first:
        el.StartStop.setChecked(command == press ? starts : !starts);
        (RunControl(form).*command)();
        std::string got;
        for (bool b :
             {el.mnuStart.checked(), !el.mnuStart.enabled(), !el.mnuPause.checked(),
              el.mnuPause.enabled(), el.StartStop.checked(), el.mnuDMMRecordStart.enabled(),
              el.DMMRecord.enabled(), el.DMMRecord.checked(), el.Picture1Drops.checked()})
            got += b ? '1' : '0';
        EXPECT_EQ(std::pair(got, pauseCalls),
                  std::pair(std::string(5, starts ? '1' : '0') + record, pauses));
    }
}

TEST(MeterSimulatorTest, MemoryPlaybackNumbersItsReadingsScopeFramesCarryTheirSettings) {
    EXPECT_EQ(
        std::tuple(parseSimMode("dmm-memory"), parseSimMode("dso-memory"), parseSimMode("memory")),
        std::tuple(SimMode::DmmMemory, SimMode::DsoMemory, std::nullopt)); // the demo's names
    MeterSimulator live({.mode = SimMode::Dmm}); // readings about 3.3 V, a swing in 240
    double sum = 0;
    for (int k = 0; k < 240; ++k)
        sum += std::stod(
            std::string(std::bit_cast<std::array<char, 20>>(live.nextPacket()).data() + 1, 16));
    EXPECT_NEAR(sum / 240, 3.3, 0.002);
    MeterSimulator sim({.mode = SimMode::DmmMemory, .model = 255}); // sent as 254: no sync byte
    std::string modes, texts;
    for (int k = 0; k < 43; ++k) { // a cycle: 2 messages, 16 readings, "Data end", 24 live ones
        const Packet p = sim.nextPacket();
        modes += char('0' + p[18]), texts.append(p.begin() + 1, p.begin() + 17);
        EXPECT_TRUE(p[17] == 254 && (p[18] != 1 || p[19] == k - 2)) << "reading " << k - 2;
    }
    EXPECT_EQ(modes, "22" + std::string(16, '1') + "2" + std::string(24, '0'));
    EXPECT_EQ(texts.substr(0, 19) + texts.substr(16 * 18, 6), "Data start         Data e");

    DsoSignal s{.timeBase = 24, .gain = 9, .triggerPos = -20, .verticalPos = 12, .slope = 0};
    s.level = -8, s.zeroLevel = 120;
    // Mode, time base, memory of 7 frames: live ones tour the 4 fastest bases, stored ones 1..6.
    const std::pair<SimMode, const char *> cases[] = {
        {SimMode::Dso, "3 23 0,3 24 0,3 25 0,3 26 0,3 23 0,3 24 0,3 25 0,"},
        {SimMode::DsoMemory, "4 24 1,5 24 2,4 24 3,5 24 4,4 24 5,5 24 6,4 24 1,"}};
    for (const auto &[mode, headers] : cases) {
        MeterSimulator sim({.mode = mode, .model = 5, .dso = s, .timeBaseTour = 1});
        std::ostringstream got;
        for (int frame = 0; frame < 7; ++frame) {
            const Packet head = sim.nextPacket();
            got << int(head[18]) << ' ' << int(head[1]) << ' ' << int(head[9]) << ',';
            EXPECT_EQ(std::vector<int>(head.begin() + 2, head.begin() + 9),
                      std::vector<int>({108, 9, 140, 1, 0, 120, 120}));
            for (int n = 1; n <= 17; ++n) {
                const Packet p = n == 1 ? head : sim.nextPacket();
                EXPECT_EQ(std::vector<int>({p[0], p[17], p[18], p[19]}),
                          std::vector<int>({0xFF, 5, head[18], n}));
                ASSERT_EQ(std::count(p.begin(), p.end(), 0xFF), 1) << "a payload sync byte";
            }
        }
        EXPECT_EQ(got.str(), headers);
    }
    // A square is high on the first half-open half of its cycle: 2 of every 5 samples.
    const auto square =
        DsoFrameSource::samples({.shape = WaveShape::Square, .amplitude = 50, .period = 5});
    EXPECT_EQ(std::count(square.begin(), square.begin() + 250, 178), 100);
    // A triangle of 128 +- 40 in steps of 20: the samples, half a step off the crossing, miss
    // its peaks by 10.
    const auto triangle =
        DsoFrameSource::samples({.shape = WaveShape::Triangle, .amplitude = 40, .period = 8});
    EXPECT_EQ(std::pair(*std::ranges::min_element(triangle), *std::ranges::max_element(triangle)),
              std::pair(std::uint8_t{98}, std::uint8_t{158}));
    // The crossing stays at sample 125 where rounding would move it, the samples beside it moved
    // only onto the level or the unit below: a slow sine (0.7 units a sample) crossing 0 or 5
    // units, either way; and a fast one (2 samples a cycle) with both samples beside a crossing at
    // 25 units on the same side of it (145, 111).
    for (const auto &[slope, level, period, at124, at125] :
         {std::tuple(1, 0, 256, 127, 128), std::tuple(1, 5, 256, 132, 133),
          std::tuple(0, 0, 256, 128, 127), std::tuple(0, 5, 256, 133, 132),
          std::tuple(1, 25, 2, 111, 153), std::tuple(0, 25, 2, 153, 111)}) {
        const auto s =
            DsoFrameSource::samples({.slope = slope, .level = level, .period = double(period)});
        EXPECT_EQ(std::pair(int(s[124]), int(s[125])), std::pair(at124, at125))
            << slope << "/" << level;
    }
}

TEST(RawRecordingTest, RecordsComeBackWholeOneAtATimeOrUpToACutBadFilesAreRefusedWritersSayWhy) {
    const std::string path = tempPath("qvlink-raw-roundtrip.raw");
    const Bytes big(70000, 0x5A); // more than one record holds
    {
        test::synced.clear();
        RawRecordingWriter w;
        ASSERT_TRUE(w.open(path, "2026-12-07 05:00") && w.write(0, Bytes{0xFF, 1, 2}) &&
                    w.write(83, Bytes{}) && w.write(0x01020304, big));
        // Records reach the file before the close (a crash loses none), none waiting for the disk.
        EXPECT_EQ(std::pair(test::contents(path).size(), test::synced),
                  std::pair(30 + 9 + 12 + big.size(), std::vector<std::string>{}))
            << "an empty read writes nothing";
    }
    const std::string file = test::contents(path);
    EXPECT_EQ(file.substr(0, 39),
              "qvlink raw 1 2026-12-07 05:00\n" + std::string("\0\0\0\0\3\0\xFF\1\2", 9))
        << "little-endian";
    std::string error;
    const std::optional<RawRecording> whole = readRawRecording(path, error);
    ASSERT_TRUE(whole) << error;
    EXPECT_EQ(whole->records, (std::vector<RawRecord>{{0, {0xFF, 1, 2}},
                                                      {0x01020304, Bytes(0xFFFF, 0x5A)},
                                                      {0x01020304, Bytes(70000 - 0xFFFF, 0x5A)}}));
    EXPECT_EQ(std::tie(whole->note, whole->truncated), std::tuple("2026-12-07 05:00", false));

    // Cut in record 1's bytes, record 2's head, the last one's bytes: whole records, bytes left.
    const std::tuple<std::size_t, std::size_t, std::size_t> cuts[] = {
        {33, 0, 3}, {42, 1, 3}, {file.size() - 1, 2, 6 + 70000 - 0xFFFF - 1}};
    for (const auto &[size, records, bytes] : cuts) {
        std::istringstream in(file.substr(0, size));
        const std::optional<RawRecording> cut = readRawRecording(in, error);
        ASSERT_TRUE(cut);
        EXPECT_EQ(std::tuple(cut->truncated, cut->records.size(), cut->cutBytes),
                  std::tuple(true, records, bytes))
            << size;
    }

    // A reader takes the records found at opening, one at a time; a pipe is read whole first.
    const auto take = [](RawRecordingReader &reader) {
        std::vector<RawRecord> taken;
        for (const RawRecord *r; (r = reader.peek()) != nullptr; reader.take())
            taken.push_back(*r);
        return taken;
    };
    const auto reader = RawRecordingReader::open(path, error);
    ASSERT_TRUE(reader) << error;
    std::ofstream(path, std::ios::binary | std::ios::app) << std::string("\x1E\0\0\0\1\0\x7F", 7);
    EXPECT_EQ(std::tuple(reader->size(), reader->note(), reader->truncated()),
              std::tuple(3u, "2026-12-07 05:00", false));
    EXPECT_EQ(take(*reader), whole->records) << "the record written after opening is not played";
    const std::string fifo = tempPath("qvlink-stream.fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::thread writer([&] { std::ofstream(fifo, std::ios::binary) << test::contents(path); });
    const auto piped = RawRecordingReader::open(fifo, error);
    writer.join();
    ASSERT_TRUE(piped) << error;
    std::vector<RawRecord> four = whole->records;
    four.push_back({30, {0x7F}});
    EXPECT_EQ(take(*piped), four);
    std::filesystem::remove(path), std::filesystem::remove(fifo);

    const std::string longLine = std::string(600, 'q') + "\n";
    for (const std::string b : {"", "qvlink raw 2 x\n", "qvlink raw 1", "qvlink raw 12\n",
                                longLine.c_str(), "QM data\nqvlink raw 1\n"}) {
        std::istringstream in(b);
        std::string error;
        EXPECT_FALSE(readRawRecording(in, error)) << b;
        EXPECT_EQ(error, "not a raw recording: the first line must begin with \"qvlink raw 1\"");
    }
    EXPECT_TRUE(!readRawRecording(tempPath("qvlink-no-such-file.raw"), error) &&
                error.find("cannot read") != std::string::npos);
    RawRecordingWriter w;
    EXPECT_TRUE(!w.open("/nonexistent-dir/x.raw", "") &&
                w.error().find("cannot create the recording") != std::string::npos);
    if (!std::filesystem::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full";
    EXPECT_TRUE(!w.open("/dev/full", "a full disk") &&
                w.error().find("No space left") != std::string::npos && !w.write(0, Bytes{1}))
        << w.error();
}

TEST(RawRecordingTest, AnOldRecordingStaysUntilTheNewOneBeginsThePortKeepsWhatIsRead) {
    const std::string old = tempPath("qvlink-old.raw"), link = tempPath("qvlink-link.raw");
    std::ofstream(old, std::ios::binary) << "qvlink raw 1 old\n";
    std::filesystem::permissions(old, std::filesystem::perms(0600));
    std::filesystem::create_symlink(old, link);
    for (const rlim_t limit : {rlim_t(10), RLIM_INFINITY}) {
        RawRecordingWriter w;
        bool opened = false;
        test::withFileSizeLimit(limit, [&] { opened = w.open(link, "new"); });
        EXPECT_EQ(opened, limit == RLIM_INFINITY) << w.error();
        EXPECT_EQ(test::contents(old), opened ? "qvlink raw 1 new\n" : "qvlink raw 1 old\n");
        EXPECT_TRUE(std::filesystem::is_symlink(link));
        EXPECT_EQ(std::filesystem::status(old).permissions(), std::filesystem::perms(0600));
    }
    std::filesystem::remove(link), std::filesystem::remove(old);

    const std::string path = tempPath("qvlink-raw-port.raw");
    auto inner = std::make_unique<platform::fakes::FakeSerialPort>();
    platform::fakes::FakeSerialPort &fake = *inner;
    auto writer = std::make_unique<RawRecordingWriter>();
    ASSERT_TRUE(writer->open(path, ""));
    std::uint32_t now = 5;
    RecordingPort port(std::move(inner), std::move(writer), [&now] { return now; });
    port.setEventHandler([&](int) { (void)port.read(); });
    ASSERT_TRUE(port.selectPort(2) && port.open());
    const Bytes sent = bytes("0+45");
    fake.deliver({sent.begin(), sent.begin() + 25});
    now = 900, fake.deliver({sent.begin() + 25, sent.end()});
    std::string error;
    const std::optional<RawRecording> rec = readRawRecording(path, error);
    ASSERT_TRUE(rec) << error;
    EXPECT_EQ(rec->records,
              (std::vector<RawRecord>{{5, {sent.begin(), sent.begin() + 20}},
                                      {900, {sent.begin() + 20, sent.begin() + 40}}}));
    std::filesystem::remove(path);
}

TEST(ReplayPortTest, PlaysAtRecordedTimesOnlyWhileTheLinesAreUp) {
    RawRecording rec;
    for (std::uint32_t k = 0; k < 6; ++k)
        rec.records.push_back({k * 100, Bytes(10, std::uint8_t(k))});
    auto others = std::make_unique<platform::fakes::FakeSerialPort>();
    others->devices["/dev/ttyUSB0"] = {};
    ReplayPort port(1, rec, std::move(others));
    std::vector<Bytes> events;
    std::vector<bool> streaming;
    port.setEventHandler([&](int) { events.push_back(port.read()); });
    port.setStreamingHandler([&](bool on) { streaming.push_back(on); });
    ASSERT_TRUE(port.selectPort(1) && port.open());
    port.playUntil(1000);
    EXPECT_TRUE(events.empty() && port.dsr() == false) << "no lines, no power, no bytes";
    ASSERT_TRUE(port.setRts(true) && !port.dsr().value() && !port.cts().value() && // both lines
                port.setDtr(true) && port.cts() == true && port.dsr() == true);
    port.playUntil(150);
    EXPECT_EQ(events, std::vector<Bytes>{bytes("0 0 0 0 0 0 0 0 0 0 1 1 1 1 1 1 1 1 1 1")});
    std::vector next{port.nextTime()};
    for (const std::size_t n : {1, 22}) // 22: 10 bytes and a record mark each, two records
        port.playNext(n), next.push_back(port.nextTime());
    EXPECT_EQ(next, (decltype(next){200, 300, 500}));
    port.playNext(1000);
    EXPECT_EQ(std::tuple(port.finished(), events.size()), std::tuple(true, 3u));
    ASSERT_TRUE(port.setRts(false) && port.setRts(true) && port.close()); // a line down stops it
    EXPECT_EQ(streaming, std::vector<bool>({true, false, true, false}));
    EXPECT_TRUE(port.selectDevice("/dev/ttyUSB0") && port.open()) << "named devices pass on";

    // Alone, without other ports: any number 1..8 may be chosen, but only its own one opens.
    ReplayPort lone(2, rec);
    EXPECT_FALSE(lone.selectPort(0) || lone.selectPort(9) || lone.selectDevice("/dev/ttyUSB0"));
    ASSERT_TRUE(lone.selectPort(3));
    EXPECT_FALSE(lone.open() || lone.isOpen() || lone.setRts(true) || lone.close() || lone.cts());
    ASSERT_TRUE(lone.selectPort(2) && lone.open());
    EXPECT_FALSE(lone.open() || lone.selectPort(2)) << "open already";
    events.clear(), lone.setEventHandler([&](int) { events.push_back(lone.read()); });
    ASSERT_TRUE(lone.setRts(true) && lone.setDtr(true));
    lone.playUntil(50); // 10 bytes wait for more, then the port closes
    ASSERT_TRUE(lone.close() && lone.open() && lone.setRts(true) && lone.setDtr(true));
    lone.playUntil(250);
    EXPECT_EQ(events, std::vector<Bytes>{bytes("1 1 1 1 1 1 1 1 1 1 2 2 2 2 2 2 2 2 2 2")})
        << "nothing left from before the close";
    EXPECT_TRUE(lone.close() && !lone.close() && !lone.setDtr(true)) << "closed already";
}

} // namespace
} // namespace qv::link
