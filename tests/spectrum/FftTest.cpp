#include "spectrum/Fft.h"
#include "spectrum/Pi.h"
#include "spectrum/WindowTable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <random>

namespace qv::spectrum {
namespace {

using Samples = std::array<double, 257>;

TEST(Fft, StagesCountTheHalvings) {
    const struct { int n, stages; } cases[] = {{256, 8}, {1, 0}, {3, 2}, {2, 1}, {0, 0}, {-4, 0}};
    for (const auto &c : cases) {
        int stages = 99;
        Fft::FFTStages(c.n, stages);
        EXPECT_EQ(stages, c.stages) << "n = " << c.n;
    }
}

TEST(WindowTable, ValuesAtTheEndsAndInTheMiddle) {
    const WindowTable w;
    const struct {
        int type, column;
        double value;
    } cases[] = {
        {0, 0, 1.0},           {0, 255, 1.0},          {0, 256, 0.0},     {1, 0, 0.0},
        {1, 255, 0.0},         {2, 0, 0.08},           {2, 255, 0.08},    {3, 0, 0.0},
        {4, 0, -0.000421051},  {4, 255, -0.000421051}, {5, 0, 0.0},       {5, 255, 0.0},
        {5, 127, 254.0 / 255}, {5, 128, 254.0 / 255},  {5, 1, 2.0 / 255}, {7, 3, 0.0},
        {-1, 3, 0.0},          {1, -1, 0.0},           {1, 257, 0.0},
    };
    for (const auto &c : cases)
        EXPECT_NEAR(w.value(c.type, c.column), c.value, 1e-12)
            << "type " << c.type << " column " << c.column;
    for (int col = 0; col <= 256; ++col)
        EXPECT_EQ(w.value(6, col), 0.0) << "row 6 column " << col;
    for (int type = 0; type < WindowTable::kWindows; ++type)
        for (int i = 0; i <= 127; ++i)
            EXPECT_EQ(w.value(type, i), w.value(type, 255 - i)) << type << ":" << i;
    // The cosine windows peak just off the middle because the denominator is 255.
    EXPECT_NEAR(w.value(1, 127), 0.5 - 0.5 * std::cos(254 * kPi / 255), 1e-15);
    EXPECT_EQ(WindowTable::name(4), "Flattop");
    EXPECT_EQ(WindowTable::name(6), "");
}

TEST(Fft, ZeroConstantAndSineInputs) {
    const WindowTable w;
    const int bin = 10;
    const double amplitude = 3.5;
    const struct {
        const char *name;
        std::function<double(int)> wave;
        int peakBin;
        double peak;
    } cases[] = {
        {"zero", [](int) { return 0.0; }, 0, 0.0},
        {"constant", [](int) { return -2.5; }, 0, 256 * 2.5},
        {"sine", [&](int i) { return amplitude * std::sin(2 * M_PI * bin * i / 256.0); }, bin,
         128 * amplitude},
    };
    for (const auto &c : cases) {
        Samples wave{};
        for (int i = 0; i < 256; ++i)
            wave[i] = c.wave(i);
        Fft fft;
        Samples spectrum{};
        fft.magnitudes(w, 0, wave, spectrum);
        for (int k = 0; k < 256; ++k) {
            const bool peak = k == c.peakBin || (c.peakBin > 0 && k == 256 - c.peakBin);
            EXPECT_NEAR(spectrum[k], peak ? c.peak : 0.0, 1e-6) << c.name << " bin " << k;
        }
    }
}

TEST(Fft, AgreesWithAStraightforwardTransform) {
    std::mt19937 random(12345);
    std::uniform_real_distribution<double> value(-50, 50);
    Fft fft;
    for (int i = 0; i < 256; ++i)
        fft.FFTReal[i] = value(random);
    std::array<std::complex<double>, 256> expected{};
    for (int k = 0; k < 256; ++k)
        for (int i = 0; i < 256; ++i)
            expected[k] += fft.FFTReal[i] * std::polar(1.0, -2 * M_PI * k * i / 256.0);
    fft.FFT();
    double largest = 0;
    for (const auto &e : expected)
        largest = std::max(largest, std::abs(e));
    for (int k = 0; k < 256; ++k) {
        const double magnitude = std::hypot(fft.FFTReal[k], fft.FFTImag[k]);
        EXPECT_NEAR(magnitude, std::abs(expected[k]), 1e-6 * largest) << "bin " << k;
    }
    EXPECT_EQ(fft.FFTReal[256], 0.0);
    EXPECT_EQ(fft.FFTImag[256], 0.0);
}

} // namespace
} // namespace qv::spectrum
