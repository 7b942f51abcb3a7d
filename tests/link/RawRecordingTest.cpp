#include "link/RawRecording.h"
#include "link/RawRecordingWriter.h"
#include "link/RecordingPort.h"
#include "link/ReplayPort.h"
#include "platform/fakes/FakeSerialPort.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <numeric>
#include <sstream>
#include <unistd.h>

namespace qv::link {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::string tempFile(const char *name) {
    // Each test runs in a process of its own, possibly beside another.
    return (std::filesystem::temp_directory_path() / (std::to_string(getpid()) + "-" + name))
        .string();
}

std::string contents(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

TEST(RawRecordingTest, RecordsComeBackAsWrittenUpToACut) {
    const std::string path = tempFile("qvlink-raw-roundtrip.raw");
    const Bytes big(70000, 0x5A); // more than one record holds
    {
        RawRecordingWriter w;
        ASSERT_TRUE(w.open(path, "2026-12-07 05:00"));
        ASSERT_TRUE(w.write(0, Bytes{0xFF, 1, 2}));
        ASSERT_TRUE(w.write(83, Bytes{}));
        ASSERT_TRUE(w.write(0x01020304, big));
        // Every record is in the file before the writer is closed (a crash loses nothing).
        EXPECT_EQ(contents(path).size(), 30 + 9 + 12 + big.size())
            << "an empty read writes nothing";
    }
    const std::string file = contents(path);
    EXPECT_EQ(file.substr(0, 39),
              "qvlink raw 1 2026-12-07 05:00\n" + std::string("\0\0\0\0\3\0\xFF\1\2", 9))
        << "little-endian";
    std::string error;
    const std::optional<RawRecording> whole = readRawRecording(path, error);
    ASSERT_TRUE(whole) << error;
    EXPECT_EQ(whole->note, "2026-12-07 05:00");
    EXPECT_EQ(whole->records, (std::vector<RawRecord>{{0, {0xFF, 1, 2}},
                                                      {0x01020304, Bytes(0xFFFF, 0x5A)},
                                                      {0x01020304, Bytes(70000 - 0xFFFF, 0x5A)}}));
    EXPECT_FALSE(whole->truncated);

    // Cut in the first record's bytes, in the second's head, in the last record's bytes.
    const std::pair<std::size_t, std::size_t> cuts[] = {{33, 0}, {42, 1}, {file.size() - 1, 2}};
    for (const auto &[size, records] : cuts) {
        std::istringstream in(file.substr(0, size));
        const std::optional<RawRecording> cut = readRawRecording(in, error);
        ASSERT_TRUE(cut);
        EXPECT_EQ(std::pair(cut->truncated, cut->records.size()), std::pair(true, records)) << size;
    }
    std::filesystem::remove(path);
}

TEST(RawRecordingTest, AFileWithoutTheHeaderIsRefusedWithAReason) {
    const std::string bad[] = {"",
                               "qvlink raw 2 x\n",
                               "qvlink raw 1",
                               "qvlink raw 12\n",
                               std::string(600, 'q') + "\n",
                               "QM data\nqvlink raw 1\n"};
    for (const std::string &b : bad) {
        std::istringstream in(b);
        std::string error;
        EXPECT_FALSE(readRawRecording(in, error)) << b;
        EXPECT_EQ(error, "not a raw recording: the first line must begin with \"qvlink raw 1\"");
    }
    std::string error;
    EXPECT_FALSE(readRawRecording(tempFile("qvlink-no-such-file.raw"), error));
    EXPECT_NE(error.find("cannot read"), std::string::npos);
}

TEST(RawRecordingTest, AWriterThatCannotWriteSaysWhyAndStops) {
    RawRecordingWriter w;
    EXPECT_FALSE(w.open("/nonexistent-dir/x.raw", ""));
    EXPECT_NE(w.error().find("cannot create the recording"), std::string::npos);
    if (!std::filesystem::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full";
    EXPECT_FALSE(w.open("/dev/full", "a full disk"));
    EXPECT_NE(w.error().find("No space left"), std::string::npos) << w.error();
    EXPECT_FALSE(w.write(0, Bytes{1}));
}

TEST(RawRecordingTest, TheRecordingPortKeepsWhatTheProgramReadsWithItsTime) {
    const std::string path = tempFile("qvlink-raw-port.raw");
    auto inner = std::make_unique<platform::fakes::FakeSerialPort>();
    platform::fakes::FakeSerialPort &fake = *inner;
    auto writer = std::make_unique<RawRecordingWriter>();
    ASSERT_TRUE(writer->open(path, ""));
    std::uint32_t now = 5;
    RecordingPort port(std::move(inner), std::move(writer), [&now] { return now; });
    port.setEventHandler([&](int) { (void)port.read(); });
    ASSERT_TRUE(port.selectPort(2) && port.open());
    Bytes sent(45);
    std::iota(sent.begin(), sent.end(), 0);
    fake.deliver({sent.begin(), sent.begin() + 25});
    now = 900;
    fake.deliver({sent.begin() + 25, sent.end()});
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
    EXPECT_TRUE(events.empty()) << "no lines, no power, no bytes";
    EXPECT_EQ(port.dsr(), false);
    ASSERT_TRUE(port.setRts(true) && port.setDtr(true));
    EXPECT_EQ(port.cts(), true);
    port.playUntil(150);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0], Bytes({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1}));
    EXPECT_EQ(port.nextTime(), 200u);
    port.playNext(1);
    EXPECT_EQ(port.nextTime(), 300u);
    port.playNext(1000);
    EXPECT_TRUE(port.finished());
    EXPECT_EQ(events.size(), 3u);
    EXPECT_TRUE(port.close());
    EXPECT_EQ(streaming, std::vector<bool>({true, false}));
    EXPECT_TRUE(port.selectDevice("/dev/ttyUSB0") && port.open()) << "named devices pass on";
    EXPECT_EQ(port.deviceName(1), "raw recording ()");
}

} // namespace
} // namespace qv::link
