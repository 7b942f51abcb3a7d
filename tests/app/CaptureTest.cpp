#include "files/WaveformFormat.h"
#include "link/DsoFrameSource.h"
#include "link/RawRecordingWriter.h"

#include "tests/app/RunProgram.h"

#include <algorithm>
#include <ctime>
#include <random>
#include <regex>
#include <sys/stat.h>
#include <thread>

namespace {

using namespace qv::test;

/// The values of a capture CSV's rows in order; fails on a line a CSV reader would choke on. After
/// a SIGKILL the last line may be torn (the next start cuts it).
std::vector<long> values(std::string csv, bool killed = false) {
    static const std::regex row(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}[+-]\d\d:\d\d,)"
                                R"(\d\d:\d\d:\d\d,(-?\d+)(\.\d+)?,[^,"]+,"[^"]+"\r)"),
        other("(#|date_time,).*\r");
    EXPECT_EQ(csv.rfind("date_time,time,value,unit,text\r\n", 0), 0u) << csv.substr(0, 80);
    if (killed)
        csv.erase(csv.rfind('\n') + 1);
    EXPECT_TRUE(csv.ends_with('\n')) << "torn last line";
    std::vector<long> out;
    std::istringstream lines(csv);
    for (std::string line; std::getline(lines, line);) {
        std::smatch m;
        if (std::regex_match(line, m, row))
            out.push_back(std::stol(m[1]));
        else if (!std::regex_match(line, other))
            ADD_FAILURE() << line;
    }
    return out;
}

/// qvlink capture run as a program in a scratch folder, with QProcess.
class CaptureTest : public CommandLineTest {
  protected:
    using ProgramProcess::run;
    /// A recording of readings 0 .. count-1, 50 packets a record.
    QString recording(int count) {
        qv::link::RawRecordingWriter w;
        EXPECT_TRUE(w.open(path("meter.raw"), "test"));
        for (int n = 0; n < count; n += 50)
            EXPECT_TRUE(w.write(std::uint32_t(n), readings(n, std::min(50, count - n))));
        return arg("meter.raw");
    }
    /// qvlink capture without a pause between readings, quietly.
    static QStringList capture(const QStringList &more) {
        return QStringList{"capture", "--interval", "0", "--quiet"} + more;
    }
};

// Killed at any moment, the file holds whole lines only, each reading in order from the first.
TEST_F(CaptureTest, KilledAtRandomMomentsTheCsvParsesAndKeepsEveryLine) {
    const QString raw = recording(200000);
    std::mt19937 random(7);
    for (int round = 0; round < 8; ++round) {
        const std::string csv = path("run" + std::to_string(round) + ".csv");
        QProcess p;
        start(p, capture({"--replay", raw, "--speed", "max", "--dmm-csv",
                          QString::fromStdString(csv)}));
        const auto bytes = std::uniform_int_distribution<long>(100, 400000)(random);
        while (p.state() == QProcess::Running &&
               (!std::filesystem::exists(csv) || long(std::filesystem::file_size(csv)) < bytes))
            QThread::usleep(200);
        ::kill(static_cast<pid_t>(p.processId()), SIGKILL);
        ASSERT_TRUE(p.waitForFinished());
        const std::vector<long> got = values(contents(csv), true);
        for (std::size_t k = 0; k < got.size(); ++k)
            ASSERT_EQ(got[k], long(k)) << "round " << round << " row " << k;
    }
}

// The summary counts the readings the file holds, not the one that failed.
TEST_F(CaptureTest, FileSizeLimitStopsWithTheMessageExitFourAndWholeLines) {
    // readings replayed, the limit: met while running, or by the rows written at the end
    for (const auto &[readings, bytes] : {std::pair(5000, 20000), std::pair(3, 230)}) {
        const auto [code, out, err] =
            run({"capture", "--interval", "0", "--replay", recording(readings), "--speed", "max",
                 "--dmm-csv", arg("full.csv")},
                {}, [bytes] {
                    const rlimit limit{rlim_t(bytes), rlim_t(bytes)};
                    ::setrlimit(RLIMIT_FSIZE, &limit);
                });
        EXPECT_EQ(code, 4) << readings;
        EXPECT_PRED_FORMAT2(
            testing::IsSubstring,
            "cannot write " + path("full.csv") + ": the file-size limit was reached", err);
        const std::string text = contents(path("full.csv"));
        EXPECT_GT(text.size(), bytes - 100u);
        const std::vector<long> got = values(text);
        ASSERT_FALSE(got.empty());
        EXPECT_EQ(got.back(), long(got.size() - 1));
        EXPECT_PRED_FORMAT2(
            testing::IsSubstring,
            "qvlink: kept " + std::to_string(got.size()) + " readings, 0 frames in ", err);
        std::filesystem::remove(path("full.csv"));
    }
    // A row at an interval that does not fit stops the capture the same way, at once.
    static constexpr rlimit kHeaderAndOneRow{190, 190};
    const Run r = run({"capture", "--demo", "dmm", "--interval", "1", "--count", "3", "--duration",
                       "30s", "--dmm-csv", arg("full.csv")},
                      {}, [] { ::setrlimit(RLIMIT_FSIZE, &kHeaderAndOneRow); });
    std::smatch m;
    ASSERT_TRUE(std::regex_search(r.err, m, std::regex(R"(frames in (\d+\.\d) s)"))) << r.err;
    EXPECT_EQ(std::tuple(r.code, values(contents(path("full.csv"))).size(), std::stod(m[1]) < 20),
              std::tuple(4, std::size_t{1}, true));
    // And rows of a turn at interval 0 that do not fit, though the meter then falls silent.
    const Pty meter;
    QProcess p;
    p.setChildProcessModifier([] { ::setrlimit(RLIMIT_FSIZE, &kHeaderAndOneRow); });
    start(p, {"capture", "--port", QString::fromStdString(meter.device), "--interval", "0",
              "--dmm-csv", "silent.csv"});
    ASSERT_TRUE(fileHas(p, "silent.csv", "# capture_started,") && meter.write(readings(0, 5)));
    EXPECT_EQ(finish(p, 20000).code, 4);
    // So does a raw recording, its readings going to standard output.
    const Run raw = run({"capture", "--interval", "0", "--replay", recording(5000), "--speed",
                         "max", "--record-raw", arg("r.raw"), "--dmm-csv", "-"},
                        {}, [] { ::setrlimit(RLIMIT_FSIZE, &kHeaderAndOneRow); });
    EXPECT_EQ(std::pair(raw.code, raw.err.find("the raw recording stopped: " + path("r.raw"))),
              std::pair(4, std::size_t{8}))
        << raw.err;
}

// The demo's scope mode: each frame is kept as a waveform file that opens again, and as CSV.
TEST_F(CaptureTest, FramesBecomeWaveformFilesNamedByTimeAndNumber) {
    const Run r = run(capture(
        {"--demo", "dso", "--frames", "2", "--formats", "dso,csv", "--out-dir", arg("frames")}));
    EXPECT_EQ(r.code, 0) << r.err;
    const auto names = listing(path("frames"));
    ASSERT_EQ(names.size(), 4u);
    for (std::size_t k = 0; k < names.size(); ++k) // 2026-12-07T10-15-03_0001.csv
        EXPECT_TRUE(
            std::regex_match(names[k].filename().string(),
                             std::regex(R"(\d{4}-\d\d-\d\dT\d\d-\d\d-\d\d_000)" +
                                        std::to_string(1 + k / 2) + (k % 2 ? "\\.dso" : "\\.csv"))))
            << names[k];
    // Whole frames with the demo's settings (DC, gain 7, zero level and trigger position 0) and a
    // trace all along: not the tail of the frame under way at the switch.
    for (std::size_t k = 1; k < names.size(); k += 2) {
        const auto parsed = qv::files::WaveformFormat::parse(contents(names[k]));
        ASSERT_EQ(parsed.status, qv::files::WaveformFormat::Status::Ok);
        const auto &[p, w] = std::tie(parsed.record.params, parsed.record.samples);
        const auto [low, high] = std::minmax_element(w.begin() + 128, w.end());
        EXPECT_EQ(std::tuple(p[1], p[2], p[4], p[7], *low == *high), std::tuple(0, 7, 1, 0, false))
            << names[k];
    }
}

// A frame that lost a packet is shown but not saved; the summary counts it.
TEST_F(CaptureTest, OnlyFramesReceivedWholeAreSaved) {
    qv::link::RawRecordingWriter w;
    ASSERT_TRUE(w.open(path("scope.raw"), "test"));
    // The first frame brings the switch to the scope; then gains 5, 6 (packet 10 lost) and 8.
    for (const int gain : {4, 5, 6, 8}) {
        const auto packets = qv::link::DsoFrameSource::frame({.timeBase = 10, .gain = gain}, 3);
        std::vector<std::uint8_t> bytes;
        for (std::size_t n = 0; n < packets.size(); ++n)
            if (gain != 6 || n != 9)
                bytes.insert(bytes.end(), packets[n].begin(), packets[n].end());
        ASSERT_TRUE(w.write(std::uint32_t(gain), bytes));
    }
    const Run r = run({"capture", "--replay", arg("scope.raw"), "--speed", "max", "--out-dir",
                       arg("frames"), "--formats", "dso"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.err.find("kept 0 readings, 2 frames in "), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("; skipped 1 frame not received whole\n"), std::string::npos) << r.err;
    std::vector<double> gains;
    for (const auto &file : listing(path("frames")))
        gains.push_back(qv::files::WaveformFormat::parse(contents(file)).record.params[2]);
    EXPECT_EQ(gains, (std::vector<double>{5, 8}));
}

// Unplugged: comment lines mark the loss and the return, the readings after follow; SIGTERM ends
// with the summary; waiting, it is idle. A relative device path is taken from the working folder.
TEST_F(CaptureTest, UnplugMarksTheGapAndSigtermEndsWithTheSummary) {
    auto first = std::make_unique<Pty>();
    repoint(path("meter"), first->device);
    const std::string csv = path("gap.csv");
    const auto cpu = [] { // of the children this process has waited for
        rusage u{};
        ::getrusage(RUSAGE_CHILDREN, &u);
        return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
               double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
    };
    const double cpuBefore = cpu();
    QElapsedTimer wall;
    wall.start();
    QProcess p;
    start(p, {"capture", "--port", "meter", "--interval", "0", "--dmm-csv", "gap.csv"}); // relative
    const auto has = [&](const char *comment) { return fileHas(p, "gap.csv", comment); };
    ASSERT_TRUE(has("# capture_started,") && first->write(readings(0, 10)));
    ASSERT_TRUE(waitFor(p, [&] { return values(contents(csv)).size() == 10; }));
    first.reset();
    ASSERT_TRUE(has("# link_lost,"));
    Pty second;
    repoint(path("meter"), second.device);
    // After a reconnect the program waits for a packet to begin: the first one is dropped.
    ASSERT_TRUE(has("# link_back,") && second.write(readings(100, 11)));
    ASSERT_TRUE(waitFor(p, [&] { return values(contents(csv)).size() == 20; }));
    ::kill(static_cast<pid_t>(p.processId()), SIGTERM);
    const Run r = finish(p);
    EXPECT_LT(cpu() - cpuBefore, wall.elapsed() / 2e3) << "waiting for the meter, it is idle";
    EXPECT_EQ(r.code, 0);
    EXPECT_NE(r.err.find("qvlink: kept 20 readings, 0 frames in "), std::string::npos) << r.err;
    EXPECT_EQ(values(contents(csv)),
              (std::vector<long>{0,   1,   2,   3,   4,   5,   6,   7,   8,   9,
                                 101, 102, 103, 104, 105, 106, 107, 108, 109, 110}));
}

// A cut last line is ended if a whole row, else commented; a file of another kind stays as it was.
TEST_F(CaptureTest, AnExistingCsvIsContinuedWithItsCutLineKeptOrRefusedAsItIs) {
    const std::string header = "date_time,time,value,unit,text\r\n";
    const std::string row =
        "2026-12-07T10:15:03.120+01:00,10:15:03,-1.234,mV  DC,\"-1.234mV  DC    \"";
    // the file before; the exit code; the file after, up to its new lines; its rows then
    const std::tuple<std::string, int, std::string, std::size_t> cases[] = {
        {header + row + "\r\n" + row, 0, header + row + "\r\n" + row + "\r\n", 5},
        {header + row + "\r\n2026-12-07T10:1\r", 0, // cut between CR and LF
         header + row + "\r\n# cut at restart: 2026-12-07T10:1\r\n", 4},
        {header + "2026-12-07T10:1\r6,\x1b\"a", 0,
         header + "# cut at restart: 2026-12-07T10:1\\r6,\\x1B\"a\r\n", 3},
        {header + row.substr(0, 61) + "a\"b\"", 0,
         header + "# cut at restart: " + row.substr(0, 61) + "a\"b\"\r\n", 3}, // a stray quote
        {"id,name\r\n1,a\r\n", 4, "id,name\r\n1,a\r\n", 0},
    };
    for (const auto &[before, code, after, rows] : cases) {
        write("old.csv", before);
        const Run r = run(capture({"--demo", "dmm", "--count", "3", "--dmm-csv", arg("old.csv")}));
        EXPECT_EQ(r.code, code) << before << r.err;
        const std::string text = contents(path("old.csv"));
        EXPECT_EQ(text.substr(0, after.size()), after);
        if (code == 0) {
            EXPECT_TRUE(text.substr(after.size()).starts_with("# capture_started,"));
            EXPECT_EQ(values(text).size(), rows);
            continue;
        }
        EXPECT_EQ(text, after);
        EXPECT_NE(r.err.find("cannot append to " + path("old.csv") +
                             ": its first line is not \"date_time,time,value,unit,text\""),
                  std::string::npos)
            << r.err;
    }
}

// A device that never appeared leaves no file or folder made; an old file stays, cut line too.
TEST_F(CaptureTest, ADeviceThatNeverAppearsLeavesNothingBehind) {
    const std::string before = "date_time,time,value,unit,text\r\n2026-12-07T10:1";
    write("old.csv", before);
    QElapsedTimer took; // the second run waits its second for the device before it gives up
    took.start();
    for (const auto &[wait, csv] : {std::pair("0", "new.csv"), std::pair("1", "old.csv")}) {
        const Run r = run({"capture", "--port", "no-such-tty", "--dmm-csv", arg(csv), "--out-dir",
                           arg("made/frames"), "--wait", wait});
        EXPECT_EQ(r.code, 5) << r.err;
    }
    EXPECT_GE(took.elapsed(), 1000);
    EXPECT_FALSE(exists("new.csv") || exists("made"));
    EXPECT_EQ(contents(path("old.csv")), before);
}

// Standard output, a FIFO and a device are written in place, the header first.
TEST_F(CaptureTest, StandardOutputAPipeOrADeviceGetsTheHeaderInPlace) {
    ASSERT_EQ(::mkfifo(path("fifo").c_str(), 0600), 0);
    std::string piped;
    std::thread reader([&] { piped = contents(path("fifo")); });
    const Run fifo = run(capture({"--demo", "dmm", "--count", "3", "--dmm-csv", arg("fifo")}));
    if (const int release = ::open(path("fifo").c_str(), O_WRONLY | O_NONBLOCK); release >= 0)
        ::close(release); // a reader still waiting (the capture never opened it) gets its end
    reader.join();
    EXPECT_EQ(std::pair(fifo.code, values(piped).size()), std::pair(0, std::size_t{3})) << fifo.err;

    for (const QString device : {"-", "/dev/stdout", "/dev/null"}) {
        const Run r = run(capture({"--demo", "dmm", "--count", "3", "--dmm-csv", device}));
        EXPECT_EQ(r.code, 0) << device.toStdString() << ": " << r.err;
        const bool null = device == "/dev/null";
        EXPECT_EQ(null ? r.out.size() : values(r.out).size(), null ? 0u : 3u) << r.out;
    }
    // A device that takes nothing: the lines kept until the end cannot be written (exit 4).
    const Run full = run(capture({"--demo", "dmm", "--count", "3", "--dmm-csv", "/dev/full"}));
    EXPECT_EQ(
        std::pair(full.code, full.err),
        std::pair(4, std::string("qvlink: cannot write /dev/full: No space left on device\n")));
}

// No whole record: ends at once, saying so (exit 3); a cut last record: the whole ones play.
TEST_F(CaptureTest, AReplayWithNothingToReplayEndsAtOnceACutOneSaysWhatWasLeftOut) {
    const std::string head = "qvlink raw 1 test\n";
    const auto packets = readings(0, 5);
    std::string whole("\0\0\0\0\x64\0", 6);
    whole.append(packets.begin(), packets.end());
    // what follows the first line; exit code; a part of stderr; readings kept
    const std::tuple<std::string, int, std::string, std::size_t> cases[] = {
        {"", 3, "empty.raw holds no whole record\n", 0},
        {whole.substr(0, 40), 3,
         "holds no whole record (the 40 bytes after its first line make none)", 0},
        {"garbage", 3, "holds no whole record (the 7 bytes", 0},
        {whole + whole.substr(0, 9), 0,
         "empty.raw: the last 9 bytes were cut short and are left out; its 1 whole record plays",
         5},
        {std::string("\0\0\0\0\x78\0\xFF", 7) + std::string(16, ' ') + "\x01\x02" + '\0' +
             whole.substr(6),
         0, "", 5}, // a blank play-back message first: no line of its own
    };
    for (const auto &[after, code, message, kept] : cases) {
        write("empty.raw", head + after), std::filesystem::remove(path("r.csv"));
        const Run r =
            run(capture({"--replay", arg("empty.raw"), "--dmm-csv", arg("r.csv")}), {}, {}, 10000);
        EXPECT_EQ(r.code, code) << r.err;
        EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
        EXPECT_EQ(exists("r.csv") ? values(contents(path("r.csv"))).size() : 0u, kept);
    }
}

// --duration ends the capture no earlier than asked (the largest count and wait taken).
TEST_F(CaptureTest, DurationEndsNoEarlierThanAsked) {
    const Run r =
        run({"capture", "--demo", "dmm", "--duration", "1s", "--interval", "0", "--dmm-csv",
             arg("d.csv"), "--count", "4611686018427387904", "--wait", "1048576"});
    EXPECT_EQ(r.code, 0) << r.err;
    std::smatch m;
    ASSERT_TRUE(std::regex_search(r.err, m, std::regex(R"(frames in (\d+\.\d) s)"))) << r.err;
    EXPECT_GE(std::stod(m[1]), 1.0) << r.err;
}

// Readings carry local time in the process's zone (TZ, POSIX rules) with its offset from UTC.
TEST_F(CaptureTest, ReadingsCarryTheLocalTimeOfTheZoneWithItsOffset) {
    const QString raw = recording(3);
    for (const auto &[tz, offset, east] :
         {std::tuple{"IST-5:30", "+05:30", 19800}, {"NST3:30", "-03:30", -12600}}) {
        const std::time_t before = std::time(nullptr);
        const Run r = run(capture({"--replay", raw, "--speed", "max", "--dmm-csv", arg("z.csv")}),
                          {QString("TZ=") + tz});
        const std::time_t after = std::time(nullptr);
        ASSERT_EQ(r.code, 0) << r.err;
        std::istringstream lines(contents(path("z.csv")));
        int rows = 0;
        for (std::string line; std::getline(lines, line);) {
            if (line.empty() || !std::isdigit(static_cast<unsigned char>(line[0])))
                continue;
            ++rows;
            // 2026-12-07T10:15:03.120+01:00,10:15:03,...
            EXPECT_EQ(line.substr(23, 6), offset) << line;
            EXPECT_EQ(line.substr(30, 8), line.substr(11, 8)) << line;
            const std::string n = std::to_string(rows - 1); // the reading "     nV   DC    "
            EXPECT_EQ(line.substr(38), "," + n + ",V   DC,\"     " + n + "V   DC    \"\r");
            std::tm tm{};
            ASSERT_NE(strptime(line.substr(0, 19).c_str(), "%Y-%m-%dT%H:%M:%S", &tm), nullptr);
            const std::time_t utc = timegm(&tm) - east;
            EXPECT_TRUE(utc >= before && utc <= after) << line << " is not now";
        }
        EXPECT_EQ(rows, 3) << tz;
        std::filesystem::remove(path("z.csv"));
    }
}

// A run that draws no picture (CSV, info, a capture of readings, --version) loads no GUI library.
TEST_F(CaptureTest, OnlyPicturesLoadTheGuiLibraries) {
    const QString raw = recording(2);
    const std::pair<QStringList, bool> cases[] = {
        {{"--version"}, false},
        {{"export", "good.dso", "--csv", "c.csv", "--spectrum-csv", "s.csv"}, false},
        {{"export", "--record", "record.txt", "--csv", "r.csv"}, false},
        {{"info", "good.dso", "--json"}, false},
        {capture({"--replay", raw, "--speed", "max", "--dmm-csv", "d.csv"}), false},
        {{"export", "good.dso", "--png", "p.png"}, true},
    };
    for (const auto &[args, gui] : cases) {
        const Run r = run(args, {"LD_DEBUG=files"}); // the loader names the libraries it loads
        EXPECT_EQ(r.code, 0) << args.join(' ').toStdString();
        EXPECT_EQ(r.err.find("file=libQt6Gui.so") != std::string::npos, gui)
            << args.join(' ').toStdString();
    }
    EXPECT_TRUE(exists("c.csv") && exists("r.csv") && exists("d.csv") && exists("p.png"));
}

} // namespace
