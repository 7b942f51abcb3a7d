#include "output/SpectrumCsv.h"

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

// The highest bin from 1 up above its left neighbour and not below its right one (the last has
// only a left one), the lower of equal ones; its frequency and its magnitude in the file's scale.
TEST(SpectrumCsv, PeakBesideTheDcBinInTheViewsScale) {
    const double linear[] = {5, 3, 1, 4, 2}, db[] = {-3, -10, -20, -5, -30}, none[] = {0, 0, 0},
                 ties[] = {0, 2, 6, 6, 1, 5}, rising[] = {0, 1, 2, 3}, floor[] = {-50, -50};
    // bins 78.125 Hz apart (1 ms/div); the linear magnitude in volts (0.2 V a unit)
    const std::tuple<SpectrumCsvInput, const char *, const char *> rows[] = {
        {{"Hanning", false, linear, 0.2, 1e-3}, "234.375", "0.8"},
        {{"Hanning", true, db, 0.2, 1e-3}, "234.375", "-5"},
        {{"Hanning", false, ties, 1, 1e-3}, "156.25", "6"},
        {{"Hanning", false, rising, 1, 1e-3}, "234.375", "3"},
        {{"Hanning", false, linear, std::nullopt, std::nullopt}, "", ""},
        {{"Hanning", false, none, 0.2, 1e-3}, "", ""},
        {{"Hanning", true, floor, 0.2, 1e-3}, "", ""},
    };
    for (const auto &[in, frequency, magnitude] : rows) {
        const auto header = headerOf(spectrumCsv(in));
        EXPECT_EQ(header[header.size() - 2], std::string("# peak_frequency_hz,") + frequency);
        EXPECT_EQ(header.back(), std::string("# peak_magnitude,") + magnitude);
    }
}

} // namespace
} // namespace qv::output
