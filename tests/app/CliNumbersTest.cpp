#include "files/WaveformFormat.h"

#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fstream>

namespace {

/// The built program run in a scratch folder holding two waveform files: a square wave of 64
/// samples at 0.4 us/div and 20 mV/div (781.25 kHz, 80 mV peak to peak), and one whose scales
/// the tables lack.
class CliNumbersTest : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    struct Run {
        int code;
        QByteArray out;
    };

    void SetUp() override {
        // trigger 1 unit up, 3 tenths of a division right of the centre
        qv::files::WaveformRecord square{"7304", 0, "Meter 7304 DSO sample ", "2026-12-07",
                                         "14:03"};
        square.params = {23, 3, 13, 0, 1, 1, 1, 0};
        for (size_t i = 0; i < square.samples.size(); ++i)
            square.samples[i] = i % 64 < 32 ? 20 : -20;
        write("square.dso", square);
        qv::files::WaveformRecord unknown{"7302", 0, "Meter 7302 DSO sample ", "2026-12-07",
                                          "14:03"};
        unknown.params = {25, 0, 15, 0, 1, 1, 0, 0}; // model 7302 has no 25th time base, no gain 15
        unknown.samples[1] = 5;
        write("unknown.dso", unknown);
    }
    void write(const std::string &name, const qv::files::WaveformRecord &r) const {
        std::ofstream(path(name), std::ios::binary) << qv::files::WaveformFormat::compose(r);
    }
    std::string path(const std::string &n) const { return dir.filePath(n.c_str()).toStdString(); }
    QByteArray contents(const std::string &n) const {
        std::ifstream in(path(n), std::ios::binary);
        return QByteArray::fromStdString({std::istreambuf_iterator<char>(in), {}});
    }
    Run run(const QStringList &args) const {
        QProcess p;
        p.setWorkingDirectory(dir.path());
        p.start(QStringLiteral(QVLINK_PATH), args);
        EXPECT_TRUE(p.waitForFinished(60000));
        return {p.exitCode(), p.readAllStandardOutput()};
    }
    /// The JSON of `qvlink info FILE --json`, which must parse.
    QJsonObject info(const std::string &file) const {
        const Run r = run({"info", QString::fromStdString(file), "--json"});
        EXPECT_EQ(r.code, 0);
        QJsonParseError error{};
        const QJsonDocument doc = QJsonDocument::fromJson(r.out, &error);
        EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
        return doc.object();
    }
};

QJsonObject quantity(const char *text, QJsonValue value, const char *unit) {
    return {{"text", text}, {"value", value}, {"unit", unit}};
}

TEST_F(CliNumbersTest, InfoJsonGivesNumbersAndSiValues) {
    const QJsonObject square = info("square.dso");
    const QJsonObject settings = square["settings"].toObject();
    EXPECT_EQ(settings["volts_per_div"].toObject(), quantity("20 mV", 0.02, "V"));
    EXPECT_EQ(settings["time_per_div"].toObject(), quantity("0.4 us", 4e-07, "s"));
    EXPECT_EQ(settings["sample_interval_s"], QJsonValue(2e-08)); // 0.4 us / 20
    EXPECT_EQ(settings["trigger_level_v"], QJsonValue(0.002));   // 1 unit x 20 mV / 10
    EXPECT_EQ(settings["trigger_position"], QJsonValue(3));
    EXPECT_EQ(settings["trigger_time_s"], QJsonValue(2.62e-06)); // point 131 x 20 ns
    EXPECT_EQ(settings["coupling"], QJsonValue("DC"));
    EXPECT_EQ(settings["title"], QJsonValue("Meter 7304 DSO sample "));
    const QJsonObject m = square["measurements"].toObject();
    EXPECT_EQ(m["peak_to_peak"].toObject(), quantity("80 mV", 0.08, "V"));
    EXPECT_EQ(m["average"].toObject(), quantity("0 mV", 0, "V"));
    EXPECT_EQ(m["rms"].toObject(), quantity("40 mV", 0.04, "V"));
    EXPECT_EQ(m["level"].toObject(), quantity("-25.74 dB", -25.74, "dB")); // 20 log10(0.04/0.775)
    EXPECT_EQ(m["frequency"].toObject(), quantity("781.25 kHz", 781250, "Hz")); // 1 / 1.28 us
    EXPECT_TRUE(square["readouts"].toArray().contains(" 781.25 kHz"));

    // Scales the tables lack: no SI values, no numbers derived from them.
    const QJsonObject unknown = info("unknown.dso");
    const QJsonObject none = unknown["settings"].toObject();
    EXPECT_EQ(none["volts_per_div"].toObject(), quantity("", QJsonValue::Null, "V"));
    EXPECT_EQ(none["time_per_div"].toObject(), quantity("", QJsonValue::Null, "s"));
    EXPECT_TRUE(none["sample_interval_s"].isNull() && none["trigger_level_v"].isNull());
    EXPECT_EQ(none["trigger_position"], QJsonValue(0));
    const QJsonObject unmeasured = unknown["measurements"].toObject();
    EXPECT_EQ(unmeasured["frequency"].toObject(), quantity("??", QJsonValue::Null, "Hz"));
    EXPECT_EQ(unmeasured["level"].toObject(), quantity("??", QJsonValue::Null, "dB"));
}

TEST_F(CliNumbersTest, InfoTextShowsTheSameTexts) {
    const std::string square = run({"info", "square.dso"}).out.toStdString();
    for (const char *line : {"\ntime_per_div: 0.4 us\n", "\ntrigger_time_s: 2.62e-06\n",
                             "\npeak_to_peak: 80 mV\n", "\nfrequency: 781.25 kHz\n"})
        EXPECT_NE(square.find(line), std::string::npos) << line << square;
    const std::string unknown = run({"info", "unknown.dso"}).out.toStdString();
    for (const char *line :
         {"\nvolts_per_div: ??\n", "\nsample_interval_s: ??\n", "\nfrequency: ??\n"})
        EXPECT_NE(unknown.find(line), std::string::npos) << line << unknown;
}

// --scale sizes the PNG only: SVG and PDF are vectors at the screen's size whatever it says.
TEST_F(CliNumbersTest, ScaleSizesThePngOnly) {
    for (const char *scale : {"1", "3"})
        ASSERT_EQ(run({"export", "square.dso", "--png", QString("s%1.png").arg(scale), "--svg",
                       QString("s%1.svg").arg(scale), "--pdf", QString("s%1.pdf").arg(scale),
                       "--scale", scale})
                      .code,
                  0);
    EXPECT_EQ(QImage(QString::fromStdString(path("s1.png"))).size(), QSize(369, 337));
    EXPECT_EQ(QImage(QString::fromStdString(path("s3.png"))).size(), QSize(1106, 1011));
    EXPECT_EQ(contents("s1.svg"), contents("s3.svg"));
    const auto mediaBox = [this](const std::string &pdf) {
        const QByteArray bytes = contents(pdf);
        const qsizetype at = bytes.indexOf("/MediaBox");
        return at < 0 ? std::string() : bytes.mid(at, bytes.indexOf(']', at) - at).toStdString();
    };
    // 5530 x 5055 twips are 276.5 x 252.75 points, which Qt's page sizes round to whole points
    EXPECT_EQ(mediaBox("s1.pdf"), "/MediaBox [0 0 277.000000 253.000000");
    EXPECT_EQ(mediaBox("s3.pdf"), mediaBox("s1.pdf"));
}

} // namespace
