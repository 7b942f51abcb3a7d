#include "files/WaveformFormat.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fstream>
#include <tuple>

namespace {

/// Runs the built program with these arguments in a scratch folder holding a good waveform file,
/// one with a wrong first line and a DMM record file.
class CliTest : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    struct Run {
        int code;
        std::string out, err;
    };

    void SetUp() override {
        qv::files::WaveformRecord r{"7302", 0, "Meter 7302 DSO sample ", "2026-12-07", "14:03"};
        r.params = {13, 0, 7, 0, 1, 1, 0, 0}; // 1 ms/div, 2 V/div
        r.samples[1] = 5;
        const std::string wave = qv::files::WaveformFormat::compose(r);
        std::ofstream(path("good.dso"), std::ios::binary) << wave;
        std::ofstream(path("header.dso"), std::ios::binary)
            << "QVDATALINK47 V1.0 " + wave.substr(17);
        std::ofstream(path("record.txt"), std::ios::binary)
            << "QVDATALINK47 V1.0\r\n2026-12-07\r\n14:05:00\r\nQM520V DMM Record: \r\n\r\n"
               "  14:03:27    -1.234 mV  DC    \r\n\r\n";
    }
    std::string path(const std::string &name) const {
        return dir.path().toStdString() + "/" + name;
    }
    bool exists(const std::string &name) const {
        return QFileInfo::exists(QString::fromStdString(path(name)));
    }
    Run run(const QStringList &arguments) {
        QProcess p;
        p.setWorkingDirectory(dir.path());
        p.start(QStringLiteral(QVLINK_PATH), arguments);
        EXPECT_TRUE(p.waitForFinished(60000));
        return {p.exitCode(), p.readAllStandardOutput().toStdString(),
                p.readAllStandardError().toStdString()};
    }
};

TEST_F(CliTest, ExitCodesAndMessages) {
    // What goes wrong, the arguments, the exit code and a part of stderr.
    // clang-format off
    const std::tuple<const char *, QStringList, int, const char *> cases[] = {
        {"missing file", {"export", "missing.dso", "--csv", "a.csv"}, 3,
         "qvlink: missing.dso (no such file)"},
        {"refused header", {"info", "header.dso"}, 3,
         "header.dso 文件格式不正确 (the first line is not \"QVDATALINK47 V1.0\")"},
        {"unwritable output", {"export", "good.dso", "--png", "no/such/dir/a.png"}, 4,
         "cannot write no/such/dir/a.png"},
        {"batch with one bad file",
         {"export", "header.dso", "good.dso", "--out-dir", "out", "--formats", "csv,svg"}, 3,
         "header.dso 文件格式不正确"},
        {"no output", {"export", "good.dso"}, 2, "nothing to export"},
        {"several inputs, one name", {"export", "good.dso", "good.dso", "--csv", "a.csv"}, 2,
         "several inputs need --out-dir"},
        {"unknown option", {"export", "good.dso", "--colour", "red"}, 2, "Usage:"},
        {"bad scale", {"export", "good.dso", "--png", "a.png", "--scale", "9"}, 2, "--scale"},
        {"not a record file", {"export", "--record", "good.dso", "--csv", "r.csv"}, 3,
         "good.dso 文件格式不正确 (not a DMM record file)"},
        {"a device that never appears", {"capture", "--port", "no-such-tty", "--dmm-csv", "x.csv"},
         5, "no-such-tty did not appear"}};
    // clang-format on
    for (const auto &[what, arguments, code, message] : cases) {
        const Run r = run(arguments);
        EXPECT_EQ(r.code, code) << what << ": " << r.err;
        EXPECT_NE(r.err.find(message), std::string::npos) << what << ": " << r.err;
    }
    // The bad file of the batch did not stop the good one.
    EXPECT_TRUE(exists("out/good.csv") && exists("out/good.svg") && !exists("out/header.csv"));
}

TEST_F(CliTest, OutputsOfOneFileAndOfARecord) {
    const Run csv = run({"export", "good.dso", "--csv", "-", "--png", "a.png", "--pdf", "a.pdf",
                         "--spectrum-csv", "s.csv", "--view", "spectrum", "--window", "Hamming",
                         "--db", "--scale", "2"});
    EXPECT_EQ(csv.code, 0) << csv.err;
    EXPECT_NE(csv.out.find("\r\n1,5e-05,1\r\n"), std::string::npos); // 5 units x 2 V / 10
    EXPECT_TRUE(exists("a.png") && exists("a.pdf") && exists("s.csv"));

    const Run record = run({"export", "--record", "record.txt", "--csv", "-"});
    EXPECT_EQ(record.code, 0) << record.err;
    EXPECT_EQ(record.out,
              "time,value,unit,text\r\n14:03:27,-1.234,mV  DC,\"-1.234mV  DC    \"\r\n");

    const Run info = run({"info", "good.dso", "--json"});
    EXPECT_EQ(info.code, 0) << info.err;
    EXPECT_NE(info.out.find("\"peak_to_peak\": {\"value\": 1, \"unit\": \"V\"}"), std::string::npos)
        << info.out;
    EXPECT_NE(info.out.find("\" 1 Vp-p\""), std::string::npos) << info.out;

    EXPECT_EQ(run({"--version"}).out, "qvlink 1.1\n");
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
