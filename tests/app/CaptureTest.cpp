#include "files/WaveformFormat.h"
#include "link/RawRecordingWriter.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <pty.h>
#include <random>
#include <regex>
#include <sys/resource.h>
#include <unistd.h>

namespace {

/// Live DMM packets of meter model 1 showing from, from + 1, ... volts DC ("   123V   DC    ").
std::vector<std::uint8_t> readings(int from, int count) {
    std::vector<std::uint8_t> bytes;
    for (int n = from; n < from + count; ++n) {
        char text[24];
        std::snprintf(text, sizeof text, "\xFF%6dV   DC    \x01", n % 1000000);
        bytes.insert(bytes.end(), text, text + 18);
        bytes.insert(bytes.end(), {0, static_cast<std::uint8_t>(n)});
    }
    return bytes;
}

std::string contents(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

/// The values of a capture CSV's rows in order; fails the test on a line a CSV reader would
/// choke on: a missing CR LF, a row other than the date and time with milliseconds and offset,
/// the time, the value, the unit and the quoted display text. After a SIGKILL the last line may
/// be torn (the kernel stops a write at a page boundary for a dying process); the next start
/// cuts it.
std::vector<long> values(const std::string &csv, bool killed = false) {
    static const std::regex row(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}[+-]\d\d:\d\d,)"
                                R"(\d\d:\d\d:\d\d,(-?\d+)(\.\d+)?,[^,"]+,"[^"]+")");
    EXPECT_EQ(csv.rfind("date_time,time,value,unit,text\r\n", 0), 0u) << csv.substr(0, 80);
    std::vector<long> out;
    for (std::size_t at = 0; at < csv.size();) {
        const std::size_t end = csv.find("\r\n", at);
        const std::string line = csv.substr(at, end - at);
        if (end == std::string::npos) {
            if (!killed)
                ADD_FAILURE() << "torn last line: " << line;
            break;
        }
        at = end + 2;
        std::smatch m;
        if (std::regex_match(line, m, row))
            out.push_back(std::stol(m[1]));
        else if (!line.starts_with('#') && !line.starts_with("date_time,"))
            ADD_FAILURE() << line;
    }
    return out;
}

/// Waits up to ten seconds, while the process runs, for done().
bool waitFor(const QProcess &p, const std::function<bool()> &done) {
    for (int k = 0; k < 20000 && !done() && p.state() == QProcess::Running; ++k)
        QThread::usleep(500);
    return done();
}

class CaptureTest : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    std::string path(const std::string &name) const {
        return dir.path().toStdString() + "/" + name;
    }
    QString arg(const std::string &name) const { return QString::fromStdString(path(name)); }
    /// A recording of readings 0 .. count-1, 50 packets a record.
    QString recording(int count) {
        qv::link::RawRecordingWriter w;
        EXPECT_TRUE(w.open(path("meter.raw"), "test"));
        for (int n = 0; n < count; n += 50)
            EXPECT_TRUE(
                w.write(static_cast<std::uint32_t>(n), readings(n, std::min(50, count - n))));
        w.close();
        return arg("meter.raw");
    }
    /// Starts qvlink capture without a pause between readings, quietly.
    static void start(QProcess &p, const QStringList &more) {
        p.start(QStringLiteral(QVLINK_PATH),
                QStringList{"capture", "--interval", "0", "--quiet"} + more);
        EXPECT_TRUE(p.waitForStarted());
    }
    /// Runs it to its end: the exit code and what it wrote to stderr.
    static std::pair<int, std::string> run(const QStringList &more,
                                           const std::function<void()> &child = {}) {
        QProcess p;
        if (child)
            p.setChildProcessModifier(child);
        start(p, more);
        EXPECT_TRUE(p.waitForFinished(60000));
        EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
        return {p.exitCode(), p.readAllStandardError().toStdString()};
    }
};

// Killed at any moment, the file holds whole lines only, each reading in order from the first;
// a capture started again on it goes on after the last line.
TEST_F(CaptureTest, KilledAtRandomMomentsTheCsvParsesAndKeepsEveryLine) {
    const QString raw = recording(200000);
    std::mt19937 random(7);
    for (int round = 0; round < 20; ++round) {
        const std::string csv = path("run" + std::to_string(round) + ".csv");
        const QStringList replay{"--replay", raw,         "--speed",
                                 "max",      "--dmm-csv", QString::fromStdString(csv)};
        QProcess p;
        start(p, replay);
        const auto bytes = std::uniform_int_distribution<long>(100, 400000)(random);
        while (p.state() == QProcess::Running &&
               (!std::filesystem::exists(csv) || long(std::filesystem::file_size(csv)) < bytes))
            QThread::usleep(200);
        ::kill(static_cast<pid_t>(p.processId()), SIGKILL);
        ASSERT_TRUE(p.waitForFinished());
        const std::vector<long> got = values(contents(csv), true);
        for (std::size_t k = 0; k < got.size(); ++k)
            ASSERT_EQ(got[k], long(k)) << "round " << round << " row " << k;
        if (round % 5 != 0)
            continue;
        // Started again on the same file (and a torn tail, as a power cut may leave one).
        std::ofstream(csv, std::ios::binary | std::ios::app) << "2026-12-07T10:1";
        const auto [code, err] = run(replay + QStringList{"--count", "10"});
        EXPECT_EQ(code, 0) << err;
        const std::vector<long> all = values(contents(csv));
        ASSERT_EQ(all.size(), got.size() + 10);
        EXPECT_EQ(std::vector<long>(all.end() - 10, all.end()),
                  (std::vector<long>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    }
}

TEST_F(CaptureTest, FileSizeLimitStopsWithTheMessageExitFourAndWholeLines) {
    const auto [code, err] =
        run({"--replay", recording(5000), "--speed", "max", "--dmm-csv", arg("full.csv")}, [] {
            const rlimit limit{20000, 20000};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        });
    EXPECT_EQ(code, 4);
    EXPECT_NE(err.find("cannot write " + path("full.csv") + ": the file-size limit was reached"),
              std::string::npos)
        << err;
    const std::string text = contents(path("full.csv"));
    EXPECT_GT(text.size(), 19000u);
    const std::vector<long> got = values(text);
    ASSERT_FALSE(got.empty());
    EXPECT_EQ(got.back(), long(got.size() - 1));
}

// The virtual meter in its scope mode: the capture switches over as the window would when asked,
// and keeps each frame as a waveform file that opens again, and as CSV.
TEST_F(CaptureTest, FramesBecomeWaveformFilesNamedByTimeAndNumber) {
    const auto [code, err] =
        run({"--demo", "dso", "--frames", "2", "--formats", "dso,csv", "--out-dir", arg("frames")});
    EXPECT_EQ(code, 0) << err;
    std::vector<std::string> names;
    for (const auto &e : std::filesystem::directory_iterator(path("frames")))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    ASSERT_EQ(names.size(), 4u);
    for (std::size_t k = 0; k < names.size(); ++k) // 2026-12-07T10-15-03_0001.csv
        EXPECT_TRUE(std::regex_match(names[k], std::regex(R"(\d{4}-\d\d-\d\dT\d\d-\d\d-\d\d_000)" +
                                                          std::to_string(1 + k / 2) +
                                                          (k % 2 ? "\\.dso" : "\\.csv"))))
            << names[k];
    const auto parsed = qv::files::WaveformFormat::parse(contents(path("frames/" + names[1])));
    EXPECT_EQ(parsed.status, qv::files::WaveformFormat::Status::Ok);
}

TEST_F(CaptureTest, SigtermEndsCleanlyWithTheSummary) {
    const std::string csv = path("term.csv");
    QProcess p;
    p.start(QStringLiteral(QVLINK_PATH),
            {"capture", "--demo", "dmm", "--interval", "0", "--dmm-csv", arg("term.csv")});
    ASSERT_TRUE(p.waitForStarted());
    // The header, the start comment and two readings (counted without judging a file that is
    // still being written).
    waitFor(p, [&] { return std::ranges::count(contents(csv), '\n') >= 4; });
    ::kill(static_cast<pid_t>(p.processId()), SIGTERM);
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(std::pair(p.exitStatus(), p.exitCode()), std::pair(QProcess::NormalExit, 0));
    const std::string err = p.readAllStandardError().toStdString();
    EXPECT_NE(err.find("qvlink: kept " + std::to_string(values(contents(csv)).size()) +
                       " readings, 0 frames in "),
              std::string::npos)
        << err;
}

/// A pseudo-terminal standing in for the meter's adapter.
struct Pty {
    int master = -1, slave = -1;
    std::string device;
    Pty() {
        char name[256] = {};
        if (openpty(&master, &slave, name, nullptr, nullptr) != 0)
            return;
        device = name;
        // Kept from the capture process, or the far end would never close for it.
        for (int fd : {master, slave})
            ::fcntl(fd, F_SETFD, FD_CLOEXEC);
    }
    ~Pty() {
        for (int fd : {master, slave})
            if (fd >= 0)
                ::close(fd);
    }
    void write(const std::vector<std::uint8_t> &bytes) const {
        ASSERT_EQ(::write(master, bytes.data(), bytes.size()), ssize_t(bytes.size()));
    }
};

// Unplugged while capturing: a comment line marks the loss and the return, and the readings
// after reconnecting follow.
TEST_F(CaptureTest, UnplugMarksTheGapAndGoesOnAfterReconnecting) {
    const auto pointAt = [&](const std::string &device) { // in one step, as udev does
        std::filesystem::remove(path("meter.new"));
        std::filesystem::create_symlink(device, path("meter.new"));
        std::filesystem::rename(path("meter.new"), path("meter"));
    };
    auto first = std::make_unique<Pty>();
    pointAt(first->device);
    const std::string csv = path("gap.csv");
    QProcess p;
    start(p, {"--port", arg("meter"), "--count", "20", "--dmm-csv", arg("gap.csv")});
    const auto has = [&](const char *comment) {
        return waitFor(p, [&] { return contents(csv).find(comment) != std::string::npos; });
    };
    ASSERT_TRUE(has("# capture_started,"));
    first->write(readings(0, 10));
    ASSERT_TRUE(waitFor(p, [&] { return values(contents(csv)).size() == 10; }));
    first.reset();
    ASSERT_TRUE(has("# link_lost,"));
    Pty second;
    pointAt(second.device);
    ASSERT_TRUE(has("# link_back,"));
    // After a reconnect the program waits for a packet to begin: the first one is dropped.
    second.write(readings(100, 11));
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    const std::string text = contents(csv);
    EXPECT_EQ(values(text), (std::vector<long>{0,   1,   2,   3,   4,   5,   6,   7,   8,   9,
                                               101, 102, 103, 104, 105, 106, 107, 108, 109, 110}));
    EXPECT_LT(text.find("   9V   DC"), text.find("# link_lost,"));
    EXPECT_LT(text.find("# link_lost,"), text.find("# link_back,"));
    EXPECT_LT(text.find("# link_back,"), text.find("   101V   DC"));
}

} // namespace
