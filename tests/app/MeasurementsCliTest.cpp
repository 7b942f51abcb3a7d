#include "RunProgram.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

namespace {

using namespace qv::test;

// square.dso is 0.4 us/div (20 ns a point) and 20 mV/div (2 mV a unit); flat.dso the same trace
// 5 units up all along.
TEST_F(CommandLineTest, MeasurementsAndThePeakInInfoAndExport) {
    qv::files::WaveformRecord flatWave{"7304", 0, "Meter 7304 DSO sample ", "2026-12-07", "14:03"};
    flatWave.params = {23, 3, 13, 0, 1, 1, 1, 0};
    flatWave.samples.fill(5);
    write("flat.dso", qv::files::WaveformFormat::compose(flatWave));
    const auto json = [this](bool flat) {
        return QJsonDocument::fromJson(
                   QByteArray::fromStdString(
                       run({"info", flat ? "flat.dso" : "square.dso", "--json"}).out))
            .object();
    };
    const QJsonObject square = json(false), m = square["wave_measurements"].toObject();
    EXPECT_EQ(m.size(), 14);
    EXPECT_EQ(m["frequency"].toObject()["text"], QJsonValue("781 kHz")); // 1/1.28 us, 1 in 64
    const QJsonObject peak = square["spectrum_peak"].toObject();
    EXPECT_EQ(std::tuple(peak["bin"], peak["frequency_hz"]), std::tuple(4, 781250));
    // the square's fundamental, 4/pi x 40 mV, reads half of it times the Hanning window's mean
    const double magnitude = peak["magnitude_v"].toDouble();
    EXPECT_NEAR(magnitude, 4 / M_PI * 0.04 / 2 * (0.5 - 0.5 / 256), 1e-4);
    EXPECT_NEAR(peak["level_db"].toDouble(), 10 * std::log10(256 * magnitude), 1e-9);

    const QJsonObject flat = json(true);
    EXPECT_EQ(flat["wave_measurements"].toObject()["period"].toObject(),
              (QJsonObject{{"text", "—"},
                           {"value", QJsonValue::Null},
                           {"unit", "s"},
                           {"why", "fewer than two crossings"}}));
    EXPECT_EQ(flat["spectrum_peak"].toObject()["why"], QJsonValue("no peak beside the DC bin"));
    const std::string text = run({"info", "flat.dso"}).out;
    EXPECT_NE(text.find("\nwave.period: — (fewer than two crossings)\n"), std::string::npos);

    // --measurements adds to the CSV's header, in SI units to the scale's resolution (the mean of
    // 251 points, 5 units over, is 0.8 mV), and nothing else
    const std::string plain = run({"export", "square.dso", "--csv", "-"}).out;
    std::string measured = run({"export", "square.dso", "--csv", "-", "--measurements"}).out;
    const std::string lines = QString("# maximum_v,0.04|minimum_v,-0.04|amplitude_v,0.08|"
                                      "mean_v,0.001|cycle_rms_v,0.04|period_s,1.28e-06|"
                                      "frequency_hz,781000|positive_width_s,6.4e-07|"
                                      "negative_width_s,6.4e-07|duty_cycle_percent,50|"
                                      "rise_time_s,1.6e-08|fall_time_s,1.6e-08|"
                                      "overshoot_percent,0|undershoot_percent,0\r\n")
                                  .replace("|", "\r\n# ")
                                  .toStdString();
    const size_t at = measured.find(lines);
    ASSERT_NE(at, std::string::npos) << measured.substr(0, 1000);
    EXPECT_EQ(measured.erase(at, measured.find("index,") - at), plain);
    const auto png = run({"export", "square.dso", "--png", "x.png", "--measurements"});
    EXPECT_EQ(png.code, 2);
    EXPECT_NE(png.err.find("--measurements adds to the waveform CSV"), std::string::npos);
}

} // namespace
