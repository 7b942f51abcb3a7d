#include "files/WaveformFormat.h"
#include "link/RawRecordingWriter.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <pty.h>
#include <random>
#include <sstream>
#include <sys/resource.h>
#include <unistd.h>

namespace {

using Packet = std::array<std::uint8_t, 20>;

/// A live DMM packet showing n volts DC ("   123V   DC    "), meter model 1.
Packet reading(int n) {
    char text[32];
    std::snprintf(text, sizeof text, "%6dV   DC    ", n % 1000000);
    Packet p{0xFF};
    std::copy_n(text, 16, p.begin() + 1);
    p[17] = 1;
    p[18] = 0;
    p[19] = static_cast<std::uint8_t>(n);
    return p;
}

std::vector<std::uint8_t> readings(int from, int count) {
    std::vector<std::uint8_t> bytes;
    for (int n = from; n < from + count; ++n) {
        const Packet p = reading(n);
        bytes.insert(bytes.end(), p.begin(), p.end());
    }
    return bytes;
}

std::string contents(const std::string &path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

/// The values of a capture CSV's rows in order; fails the test on a line a CSV reader would
/// choke on: a missing CR LF, a row without its five fields, a value that is not a number.
std::vector<long> values(const std::string &csv) {
    std::vector<long> out;
    std::size_t at = 0;
    EXPECT_EQ(csv.rfind("date_time,time,value,unit,text\r\n", 0), 0u) << csv.substr(0, 80);
    while (at < csv.size()) {
        const std::size_t end = csv.find("\r\n", at);
        EXPECT_NE(end, std::string::npos) << "torn last line: " << csv.substr(at);
        if (end == std::string::npos)
            break;
        const std::string line = csv.substr(at, end - at);
        at = end + 2;
        if (line.starts_with('#') || line.starts_with("date_time,"))
            continue;
        // 2026-12-07T10:15:03.123+01:00,10:15:03,123,V   DC,"   123V   DC    "
        std::vector<std::string> fields;
        std::string field;
        bool quoted = false;
        for (const char c : line) {
            if (c == '"')
                quoted = !quoted;
            else if (c == ',' && !quoted)
                fields.push_back(std::exchange(field, {}));
            else
                field += c;
        }
        fields.push_back(field);
        EXPECT_EQ(fields.size(), 5u) << line;
        EXPECT_EQ(fields[0].size(), 29u) << "date and time with milliseconds and offset: " << line;
        if (fields.size() == 5)
            out.push_back(std::stol(fields[2]));
    }
    return out;
}

class CaptureTest : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    std::string path(const std::string &name) const {
        return dir.path().toStdString() + "/" + name;
    }
    /// A recording of readings 0 .. count-1, 50 packets a record.
    std::string recording(int count) {
        const std::string file = path("meter.raw");
        qv::link::RawRecordingWriter w;
        EXPECT_TRUE(w.open(file, "test"));
        for (int n = 0; n < count; n += 50)
            EXPECT_TRUE(
                w.write(static_cast<std::uint32_t>(n), readings(n, std::min(50, count - n))));
        w.close();
        return file;
    }
    static QStringList capture(const QStringList &more) {
        return QStringList{QStringLiteral("capture"), QStringLiteral("--interval"),
                           QStringLiteral("0"), QStringLiteral("--quiet")} +
               more;
    }
};

// Killed at any moment, the file holds whole lines only, each reading in order from the first;
// a capture started again on it goes on after the last line.
TEST_F(CaptureTest, KilledAtRandomMomentsTheCsvParsesAndKeepsEveryLine) {
    const QString raw = QString::fromStdString(recording(200000));
    std::mt19937 random(7);
    for (int run = 0; run < 20; ++run) {
        const std::string csv = path("run" + std::to_string(run) + ".csv");
        QProcess p;
        p.start(QStringLiteral(QVLINK_PATH), capture({"--replay", raw, "--speed", "max",
                                                      "--dmm-csv", QString::fromStdString(csv)}));
        ASSERT_TRUE(p.waitForStarted());
        const auto bytes = std::uniform_int_distribution<long>(100, 400000)(random);
        while (p.state() == QProcess::Running &&
               (!std::filesystem::exists(csv) || long(std::filesystem::file_size(csv)) < bytes))
            QThread::usleep(200);
        ::kill(static_cast<pid_t>(p.processId()), SIGKILL);
        ASSERT_TRUE(p.waitForFinished());
        const std::vector<long> got = values(contents(csv));
        for (std::size_t k = 0; k < got.size(); ++k)
            ASSERT_EQ(got[k], long(k)) << "run " << run << " row " << k;
        if (run % 5 != 0)
            continue;
        // Started again on the same file (and a torn tail, as a power cut may leave one).
        std::ofstream(csv, std::ios::binary | std::ios::app) << "2026-12-07T10:1";
        QProcess again;
        again.start(QStringLiteral(QVLINK_PATH),
                    capture({"--replay", raw, "--speed", "max", "--count", "10", "--dmm-csv",
                             QString::fromStdString(csv)}));
        ASSERT_TRUE(again.waitForFinished(60000));
        EXPECT_EQ(again.exitCode(), 0) << again.readAllStandardError().toStdString();
        const std::vector<long> all = values(contents(csv));
        ASSERT_EQ(all.size(), got.size() + 10);
        EXPECT_EQ(std::vector<long>(all.end() - 10, all.end()),
                  (std::vector<long>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    }
}

TEST_F(CaptureTest, FileSizeLimitStopsWithTheMessageExitFourAndWholeLines) {
    const QString raw = QString::fromStdString(recording(5000));
    const std::string csv = path("full.csv");
    QProcess p;
    p.setChildProcessModifier([] {
        const rlimit limit{20000, 20000};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    });
    p.start(QStringLiteral(QVLINK_PATH),
            capture({"--replay", raw, "--speed", "max", "--dmm-csv", QString::fromStdString(csv)}));
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 4);
    const std::string err = p.readAllStandardError().toStdString();
    EXPECT_NE(err.find("cannot write " + csv + ": the file-size limit was reached"),
              std::string::npos)
        << err;
    const std::string text = contents(csv);
    EXPECT_LE(text.size(), 20000u);
    EXPECT_GT(text.size(), 19000u);
    const std::vector<long> got = values(text);
    ASSERT_FALSE(got.empty());
    EXPECT_EQ(got.back(), long(got.size() - 1));
}

// The virtual meter in its scope mode: the capture switches over as the window would when asked,
// and keeps each frame as a waveform file that opens again, and as CSV.
TEST_F(CaptureTest, FramesBecomeWaveformFilesNamedByTimeAndNumber) {
    QProcess p;
    p.start(QStringLiteral(QVLINK_PATH),
            capture({"--demo", "dso", "--frames", "2", "--formats", "dso,csv", "--out-dir",
                     QString::fromStdString(path("frames"))}));
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    std::vector<std::string> names;
    for (const auto &e : std::filesystem::directory_iterator(path("frames")))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    ASSERT_EQ(names.size(), 4u);
    for (std::size_t k = 0; k < names.size(); ++k) {
        // 2026-12-07T10-15-03_0001.csv
        EXPECT_EQ(names[k].size(), 28u) << names[k];
        EXPECT_EQ(names[k].substr(19),
                  std::string(k < 2 ? "_0001" : "_0002") + (k % 2 ? ".dso" : ".csv"))
            << names[k];
    }
    const auto parsed = qv::files::WaveformFormat::parse(contents(path("frames/" + names[1])));
    EXPECT_EQ(parsed.status, qv::files::WaveformFormat::Status::Ok);
}

TEST_F(CaptureTest, SigtermEndsCleanlyWithTheSummary) {
    const std::string csv = path("term.csv");
    QProcess p;
    p.start(QStringLiteral(QVLINK_PATH), {"capture", "--demo", "dmm", "--interval", "0",
                                          "--dmm-csv", QString::fromStdString(csv)});
    ASSERT_TRUE(p.waitForStarted());
    // The header may not be in a file that was just made: read rows only once it is.
    const auto rows = [&] {
        const std::string text = contents(csv);
        return text.find("\r\n") == std::string::npos ? 0 : values(text).size();
    };
    for (int k = 0; k < 20000 && rows() < 2; ++k)
        QThread::usleep(500);
    ::kill(static_cast<pid_t>(p.processId()), SIGTERM);
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 0);
    const std::string err = p.readAllStandardError().toStdString();
    EXPECT_NE(err.find("qvlink: kept " + std::to_string(values(contents(csv)).size()) +
                       " readings, 0 frames in "),
              std::string::npos)
        << err;
}

TEST_F(CaptureTest, ADeviceThatNeverAppearsEndsWithFive) {
    QProcess p;
    p.start(QStringLiteral(QVLINK_PATH),
            capture({"--port", QString::fromStdString(path("no-such-tty")), "--dmm-csv",
                     QString::fromStdString(path("x.csv"))}));
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 5);
    EXPECT_NE(p.readAllStandardError().toStdString().find("did not appear"), std::string::npos);
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
    const std::filesystem::path link = path("meter");
    const auto pointAt = [&](const std::string &device) {
        std::filesystem::remove(path("meter.new"));
        std::filesystem::create_symlink(device, path("meter.new"));
        std::filesystem::rename(path("meter.new"), link);
    };
    auto first = std::make_unique<Pty>();
    pointAt(first->device);
    const std::string csv = path("gap.csv");
    QProcess p;
    p.start(QStringLiteral(QVLINK_PATH),
            capture({"--port", QString::fromStdString(link.string()), "--count", "20", "--dmm-csv",
                     QString::fromStdString(csv)}));
    ASSERT_TRUE(p.waitForStarted());
    const auto rows = [&] { return values(contents(csv)).size(); };
    const auto waitFor = [&](const std::function<bool()> &done) {
        for (int k = 0; k < 20000 && !done() && p.state() == QProcess::Running; ++k)
            QThread::usleep(500);
        return done();
    };
    ASSERT_TRUE(
        waitFor([&] { return contents(csv).find("# capture_started,") != std::string::npos; }));
    first->write(readings(0, 10));
    ASSERT_TRUE(waitFor([&] { return rows() == 10; }));
    first.reset();
    ASSERT_TRUE(waitFor([&] { return contents(csv).find("# link_lost,") != std::string::npos; }));
    Pty second;
    pointAt(second.device);
    ASSERT_TRUE(waitFor([&] { return contents(csv).find("# link_back,") != std::string::npos; }));
    // After a reconnect the program waits for a packet to begin: the first one is dropped.
    second.write(readings(100, 11));
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    const std::string text = contents(csv);
    const std::vector<long> got = values(text);
    EXPECT_EQ(got, (std::vector<long>{0,   1,   2,   3,   4,   5,   6,   7,   8,   9,
                                      101, 102, 103, 104, 105, 106, 107, 108, 109, 110}));
    EXPECT_LT(text.find("   9V   DC"), text.find("# link_lost,"));
    EXPECT_LT(text.find("# link_lost,"), text.find("# link_back,"));
    EXPECT_LT(text.find("# link_back,"), text.find("   101V   DC"));
}

} // namespace
