#include "output/MeasurementRows.h"
#include "output/SpectrumCsv.h"
#include "output/WaveformCsv.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qv::output {
namespace {

std::vector<std::string> headerOf(const std::string &csv) {
    std::vector<std::string> lines;
    for (size_t at = 0; csv.compare(at, 1, "#") == 0; at = csv.find("\r\n", at) + 2)
        lines.push_back(csv.substr(at, csv.find("\r\n", at) - at));
    return lines;
}

// 2 V/div, 1 ms/div: a square of +-20 units and 50 points a period (2.5 ms), its last point on
// the mid level so that the mean is 0. The header gains the measurements, in SI units and to
// the scale's resolution; the rest stays as it was.
TEST(WaveformCsv, MeasurementsInTheHeaderOnlyWhenAsked) {
    dso::ScaleTables tables;
    common::Waveform wave;
    wave.DsoParam[0] = 13, wave.DsoParam[2] = 7;
    for (size_t i = 0; i < 250; ++i)
        wave.WaveData[i] = i % 50 < 25 ? 20 : -20;
    WaveformCsvInput in{wave, "M", 0, "", tables};
    const std::string plain = waveformCsv(in);
    in.measurements = true;
    const std::string measured = waveformCsv(in);
    const auto header = headerOf(measured);
    ASSERT_EQ(std::tuple(headerOf(plain).size(), header.size()), std::tuple(15u, 15u + 14));
    EXPECT_EQ(
        std::vector(header.begin() + 15, header.end()),
        (std::vector<std::string>{
            "# maximum_v,4", "# minimum_v,-4", "# amplitude_v,8", "# mean_v,0", "# cycle_rms_v,4",
            "# period_s,0.0025", "# frequency_hz,400", "# positive_width_s,0.00125",
            "# negative_width_s,0.00125", "# duty_cycle_percent,50",
            "# rise_time_s,4e-05", // a step: 0.8 of the 50 us between points
            "# fall_time_s,4e-05", "# overshoot_percent,0", "# undershoot_percent,0"}));
    const size_t cut = plain.find("index,");
    EXPECT_EQ(measured.substr(0, cut), plain.substr(0, cut));
    EXPECT_EQ(measured.substr(measured.find("index,")), plain.substr(cut));

    // A flat trace: no times, empty fields; the texts say why.
    wave.WaveData.fill(3);
    EXPECT_EQ(headerOf(waveformCsv(in))[20], "# period_s,");
    const auto rows = measurementRows(in);
    EXPECT_EQ(std::tuple(rows[5].text, rows[5].why, rows[0].text, rows[12].why),
              std::tuple("—", "fewer than two crossings", "600 mV", "flat trace"));
}

TEST(SpectrumCsv, PeakBesideTheDcBinInTheViewsScale) {
    const double linear[] = {5, 3, 1, 4, 2}, db[] = {-3, -10, -20, -5, -30}, none[] = {0, 0, 0};
    // bins 78.125 Hz apart (1 ms/div); the linear magnitude in volts (0.2 V a unit)
    const std::tuple<SpectrumCsvInput, const char *, const char *> rows[] = {
        {{"Hanning", false, linear, 0.2, 1e-3}, "234.375", "0.8"},
        {{"Hanning", true, db, 0.2, 1e-3}, "234.375", "-5"},
        {{"Hanning", false, linear, std::nullopt, std::nullopt}, "", ""},
        {{"Hanning", false, none, 0.2, 1e-3}, "", ""},
    };
    for (const auto &[in, frequency, magnitude] : rows) {
        const auto header = headerOf(spectrumCsv(in));
        EXPECT_EQ(header[header.size() - 2], std::string("# peak_frequency_hz,") + frequency);
        EXPECT_EQ(header.back(), std::string("# peak_magnitude,") + magnitude);
    }
}

} // namespace
} // namespace qv::output
