#include "RunProgram.h"

#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

namespace {

using namespace qv::test;

/// The JSON of `qvlink info FILE --json`, which must parse.
QJsonObject info(const Run &r) {
    EXPECT_EQ(r.code, 0);
    EXPECT_TRUE(r.out.find("{\n    \"") != std::string::npos &&
                r.out.find("\n  },\n") != r.out.npos)
        << "members and closing braces on lines of their own:\n"
        << r.out;
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(r.out), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
    return doc.object();
}

QJsonObject quantity(const char *text, QJsonValue value, const char *unit) {
    return {{"text", text}, {"value", value}, {"unit", unit}};
}

// square.dso and flat.dso: 0.4 us/div (20 ns a point), 20 mV/div (2 mV a unit).
TEST_F(CommandLineTest, InfoGivesNumbersSiValuesTheirTextsMeasurementsAndThePeak) {
    const QJsonObject square = info(run({"info", "square.dso", "--json"}));
    // a sample 0.4 us / 20; the trigger's level 1 unit x 20 mV / 10, its time point 131 x 20 ns
    EXPECT_EQ(QJsonDocument(square["settings"].toObject()), QJsonDocument::fromJson(R"({
        "model": "7304", "work_mode": "DSO sample", "date": "2026-12-07", "time": "14:03",
        "title": "Meter 7304 DSO sample ", "coupling": "DC", "trigger_slope": "rising",
        "volts_per_div": {"text": "20 mV", "value": 0.02, "unit": "V"},
        "time_per_div": {"text": "0.4 us", "value": 4e-07, "unit": "s"}, "sample_interval_s": 2e-08,
        "trigger_level_v": 0.002, "trigger_position": 3, "trigger_time_s": 2.62e-06,
        "vertical_position": 0, "zero_level": 0})"));
    const QJsonObject m = square["measurements"].toObject();
    EXPECT_EQ(m["peak_to_peak"].toObject(), quantity("80 mV", 0.08, "V"));
    EXPECT_EQ(m["average"].toObject(), quantity("0 mV", 0, "V"));
    EXPECT_EQ(m["rms"].toObject(), quantity("40 mV", 0.04, "V"));
    EXPECT_EQ(m["level"].toObject(), quantity("-25.74 dB", -25.74, "dB")); // 20 log10(0.04/0.775)
    EXPECT_EQ(m["frequency"].toObject(), quantity("781.25 kHz", 781250, "Hz")); // 1 / 1.28 us
    EXPECT_TRUE(square["readouts"].toArray().contains(" 781.25 kHz"));
    const QJsonObject wave = square["wave_measurements"].toObject();
    EXPECT_EQ(wave.size(), 14);
    EXPECT_EQ(wave["frequency"].toObject()["text"], QJsonValue("781 kHz")); // 1/1.28 us, 1 in 64
    const QJsonObject peak = square["spectrum_peak"].toObject();
    EXPECT_EQ(std::tuple(peak["bin"], peak["frequency_hz"]), std::tuple(4, 781250));
    // the square's fundamental, 4/pi x 40 mV, reads half of it times the Hanning window's mean
    const double magnitude = peak["magnitude_v"].toDouble();
    EXPECT_NEAR(magnitude, 4 / M_PI * 0.04 / 2 * (0.5 - 0.5 / 256), 1e-4);
    EXPECT_NEAR(peak["level_db"].toDouble(), 10 * std::log10(256 * magnitude), 1e-9);

    // Scales the tables lack: no SI values, no numbers derived from them.
    const QJsonObject unknown = info(run({"info", "unknown.dso", "--json"}));
    const QJsonObject none = unknown["settings"].toObject();
    EXPECT_EQ(none["volts_per_div"].toObject(), quantity("", QJsonValue::Null, "V"));
    EXPECT_EQ(none["time_per_div"].toObject(), quantity("", QJsonValue::Null, "s"));
    EXPECT_TRUE(none["sample_interval_s"].isNull() && none["trigger_level_v"].isNull());
    EXPECT_EQ(none["trigger_position"], QJsonValue(0));
    const QJsonObject unmeasured = unknown["measurements"].toObject();
    EXPECT_EQ(unmeasured["frequency"].toObject(), quantity("??", QJsonValue::Null, "Hz"));
    EXPECT_EQ(unmeasured["level"].toObject(), quantity("??", QJsonValue::Null, "dB"));

    const QJsonObject flat = info(run({"info", "flat.dso", "--json"}));
    EXPECT_EQ(flat["wave_measurements"].toObject()["period"].toObject(),
              (QJsonObject{{"text", "—"},
                           {"value", QJsonValue::Null},
                           {"unit", "s"},
                           {"why", "fewer than two crossings"}}));
    EXPECT_EQ(flat["spectrum_peak"].toObject()["why"], QJsonValue("no peak beside the DC bin"));

    const std::string text = run({"info", "square.dso"}).out + run({"info", "unknown.dso"}).out +
                             run({"info", "flat.dso"}).out;
    for (const char *line :
         {"\ntime_per_div: 0.4 us\n", "\ntrigger_time_s: 2.62e-06\n", "\npeak_to_peak: 80 mV\n",
          "\nfrequency: 781.25 kHz\n", "\nvolts_per_div: ??\n", "\nsample_interval_s: ??\n",
          "\nfrequency: ??\n", "\nwave.period: — (fewer than two crossings)\n"})
        EXPECT_NE(text.find(line), std::string::npos) << line << text;

    // --measurements adds only to the CSV header, in SI to the scale's resolution (mean 0.8 mV)
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
}

// --scale sizes the PNG only (up to 8 times): SVG and PDF are vectors at the screen's size.
TEST_F(CommandLineTest, ScaleSizesThePngOnly) {
    for (const std::string s : {"1", "8"})
        ASSERT_EQ(0, run({"export", "square.dso", "--png", s + ".png", "--svg", s + ".svg", "--pdf",
                          s + ".pdf", "--scale", s})
                         .code);
    EXPECT_EQ(QImage(arg("1.png")).size(), QSize(369, 337));
    EXPECT_EQ(QImage(arg("8.png")).size(),
              QSize(2949, 2696)); // 5530 x 5055 twips, 15 a pixel, 8 times
    EXPECT_EQ(contents(path("1.svg")), contents(path("8.svg")));
    const auto mediaBox = [this](const char *pdf) {
        const std::string bytes = contents(path(pdf));
        const size_t at = bytes.find("/MediaBox");
        return at == std::string::npos ? std::string() : bytes.substr(at, bytes.find(']', at) - at);
    };
    // 5530 x 5055 twips are 276.5 x 252.75 points, which Qt's page sizes round to whole points
    EXPECT_EQ(mediaBox("1.pdf"), "/MediaBox [0 0 277.000000 253.000000");
    EXPECT_EQ(mediaBox("8.pdf"), mediaBox("1.pdf"));
}

} // namespace
