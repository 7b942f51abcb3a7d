#include "files/WaveformFormat.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

namespace {

/// qvlink run on two waveform files at 0.4 us/div (20 ns a point) and 20 mV/div (2 mV a unit):
/// a square of 64 points a period, +-20 units, and a flat trace 5 units up.
class MeasurementsCliTest : public ::testing::Test {
  protected:
    QTemporaryDir dir;
    struct Run {
        int code;
        std::string out, err;
    };

    void SetUp() override {
        for (const bool flat : {false, true}) {
            qv::files::WaveformRecord r{"7304", 0, "Meter 7304 DSO sample ", "2026-12-07", "14:03"};
            r.params = {23, 3, 13, 0, 1, 1, 1, 0};
            for (size_t i = 0; i < r.samples.size(); ++i)
                r.samples[i] = flat ? 5 : i % 64 < 32 ? 20 : -20;
            std::ofstream(dir.filePath(flat ? "flat.dso" : "square.dso").toStdString(),
                          std::ios::binary)
                << qv::files::WaveformFormat::compose(r);
        }
    }
    Run run(const QStringList &args) const {
        QProcess p;
        p.setWorkingDirectory(dir.path());
        p.start(QStringLiteral(QVLINK_PATH), args);
        EXPECT_TRUE(p.waitForFinished(60000));
        return {p.exitCode(), p.readAllStandardOutput().toStdString(),
                p.readAllStandardError().toStdString()};
    }
    QJsonObject info(const char *file) const {
        const Run r = run({"info", file, "--json"});
        EXPECT_EQ(r.code, 0);
        return QJsonDocument::fromJson(QByteArray::fromStdString(r.out)).object();
    }
};

TEST_F(MeasurementsCliTest, InfoGivesTheMeasurementsAndTheSpectrumPeak) {
    const QJsonObject square = info("square.dso");
    const QJsonObject m = square["wave_measurements"].toObject();
    EXPECT_EQ(m.size(), 14);
    const auto is = [&m](const char *key, const char *text, double value, const char *unit) {
        EXPECT_EQ(m[key].toObject(),
                  (QJsonObject{{"text", text}, {"value", value}, {"unit", unit}}))
            << key;
    };
    is("frequency", "781 kHz", 781000, "Hz"); // 1 / 1.28 us, to one point in 64
    is("period", "1.28 us", 1.28e-06, "s");
    is("amplitude", "80 mV", 0.08, "V");
    is("rise_time", "16 ns", 1.6e-08, "s"); // a step: 0.8 of a point
    is("duty_cycle", "50 %", 50, "%");
    const QJsonObject peak = square["spectrum_peak"].toObject();
    EXPECT_EQ(peak["window"], QJsonValue("Hanning"));
    EXPECT_EQ(peak["bin"], QJsonValue(4)); // 256 points hold four periods
    EXPECT_EQ(peak["frequency_hz"], QJsonValue(781250));
    // the square's fundamental, 4/pi x 40 mV, reads half of it times the Hanning window's mean
    const double magnitude = peak["magnitude_v"].toDouble();
    EXPECT_NEAR(magnitude, 4 / M_PI * 0.04 / 2 * (0.5 - 0.5 / 256), 1e-4);
    EXPECT_NEAR(peak["level_db"].toDouble(), 10 * std::log10(256 * magnitude), 1e-9);

    const QJsonObject flat = info("flat.dso");
    EXPECT_EQ(flat["wave_measurements"].toObject()["period"].toObject(),
              (QJsonObject{{"text", "—"},
                           {"value", QJsonValue::Null},
                           {"unit", "s"},
                           {"why", "fewer than two crossings"}}));
    EXPECT_EQ(flat["spectrum_peak"].toObject()["why"], QJsonValue("no peak beside the DC bin"));

    const std::string text = run({"info", "flat.dso"}).out;
    for (const char *line :
         {"\nwave.maximum: 10 mV\n", "\nwave.period: — (fewer than two crossings)\n",
          "\nspectrum_peak: — (no peak beside the DC bin)\n"})
        EXPECT_NE(text.find(line), std::string::npos) << line << text;
}

TEST_F(MeasurementsCliTest, ExportAddsThemToTheWaveformCsvWhenAsked) {
    const Run plain = run({"export", "square.dso", "--csv", "-"});
    const Run measured = run({"export", "square.dso", "--csv", "-", "--measurements"});
    EXPECT_EQ(plain.out.find("# frequency_hz"), std::string::npos);
    const size_t at = measured.out.find("# maximum_v,0.04\r\n");
    ASSERT_NE(at, std::string::npos) << measured.out.substr(0, 800);
    EXPECT_NE(measured.out.find("# frequency_hz,781000\r\n"), std::string::npos);
    const size_t end = measured.out.find("# undershoot_percent,0\r\n") + 24;
    EXPECT_EQ(measured.out.substr(0, at) + measured.out.substr(end), plain.out);

    for (const QStringList &args :
         {QStringList{"export", "square.dso", "--png", "x.png", "--measurements"},
          {"export", "square.dso", "--out-dir", "o", "--formats", "spectrum-csv",
           "--measurements"}}) {
        const Run r = run(args);
        EXPECT_EQ(r.code, 2);
        EXPECT_NE(r.err.find("--measurements adds to the waveform CSV"), std::string::npos)
            << r.err;
    }
}

} // namespace
