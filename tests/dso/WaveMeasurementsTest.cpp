#include "dso/WaveMeasurements.h"
#include "dso/MeasurementText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace qv::dso {
namespace {

using enum Quantity;
using Shape = std::function<double(double)>; ///< sample units at a point index
constexpr double kVolts = 0.1;               ///< per sample unit: 1 V/div
constexpr double kSeconds = 1e-6;            ///< per point: 20 us/div
constexpr double pi = std::numbers::pi;

/// The 251 shown points of a shape as the meter sends them, whole sample units, with Gaussian
/// noise of `noise` units RMS from a fixed seed (Box-Muller over mt19937, the same everywhere).
std::vector<double> trace(const Shape &shape, double noise = 0, unsigned seed = 1) {
    std::mt19937 random(seed);
    std::vector<double> points(kShownPoints);
    for (size_t i = 0; i < points.size(); ++i) {
        const double u = (random() + 1.0) / 4294967297.0, v = random() / 4294967296.0;
        const double gauss = std::sqrt(-2 * std::log(u)) * std::cos(2 * pi * v);
        points[i] = std::round(shape(double(i)) + noise * gauss);
    }
    return points;
}

WaveMeasurementSet measure(const std::vector<double> &points, double position = 0) {
    return measureWave({points, position, kVolts, kSeconds});
}

double value(const WaveMeasurementSet &m, Quantity q) {
    const auto &v = m[static_cast<size_t>(q)].value;
    return v ? *v : NAN;
}

/// -20 .. +20 units, rising from the period's start over `ramp` points (mid level at ramp / 2),
/// high until duty x period, falling over `ramp` points: positive width duty x period exactly.
Shape pulse(double period, double duty, double ramp, double shift) {
    return [=](double i) {
        const double u = std::fmod(i + shift * period, period), high = duty * period;
        if (u < ramp)
            return -20 + 40 * u / ramp;
        if (u < high)
            return 20.0;
        return u < high + ramp ? 20 - 40 * (u - high) / ramp : -20.0;
    };
}

/// A square through an RC low pass: -20 .. +20 units, time constant tau points.
Shape rc(double period, double tau, double shift) {
    return [=](double i) {
        const double u = std::fmod(i + shift * period, period), half = period / 2;
        const double top = -20 + 40 * (1 - std::exp(-half / tau));
        return u < half ? -20 + 40 * (1 - std::exp(-u / tau))
                        : -20 + (top + 20) * std::exp(-(u - half) / tau);
    };
}

// Frequency, amplitude and cycle RMS (within a fiftieth of a division) of sines of 12.5 to 125
// points a period (2 to 20 periods on screen), 0.5 to 4 divisions high, at eight phases each.
TEST(WaveMeasurements, SinesOfSeveralFrequenciesAndPhases) {
    for (const double a : {5.0, 20.0, 40.0})
        for (const double period : {12.5, 25.0, 50.0, 125.0})
            for (int k = 0; k < 8; ++k) {
                const auto m =
                    measure(trace([=](double i) { return a * std::sin(2 * pi * i / period + k); }));
                const std::string row = std::to_string(a) + "/" + std::to_string(period);
                EXPECT_NEAR(value(m, Frequency) * period * kSeconds, 1, 0.001) << row;
                EXPECT_NEAR(value(m, Amplitude), 2 * a * kVolts, 1.5 * kVolts) << row;
                EXPECT_NEAR(value(m, Maximum), a * kVolts, kVolts) << row;
                EXPECT_NEAR(value(m, CycleRms), a * kVolts / std::sqrt(2), 0.2 * kVolts) << row;
            }
}

// Period, widths, duty and amplitude of squares and pulses with known duty, clean and with noise
// of 1 and 2 units RMS (a tenth and a fifth of a division).
TEST(WaveMeasurements, SquaresAndPulsesWithKnownDutyAndOvershoot) {
    // period, duty, ramp, noise; within: frequency (relative), widths (points), duty %, amplitude
    const std::tuple<double, double, double, double, double, double, double, double> rows[] = {
        {20, 0.5, 0, 0, 1e-9, 1e-9, 1e-9, 1e-9},  {64, 0.25, 0, 0, 1e-9, 1e-9, 1e-9, 1e-9},
        {100, 0.1, 4, 0, 1e-9, 1e-9, 1e-9, 1e-9}, {40, 0.75, 4, 0, 1e-9, 1e-9, 1e-9, 1e-9},
        {64, 0.1, 0, 0, 1e-9, 0.7, 1, 1e-9}, // edges between points: 6.4 points high
        {40, 0.5, 10, 1, 0.005, 0.6, 1, 2},       {100, 0.25, 4, 1, 0.005, 0.6, 1, 2},
        {64, 0.75, 10, 2, 0.0075, 1.1, 1.5, 4},   {100, 0.1, 4, 2, 0.0075, 1.1, 1.5, 4},
    };
    for (const auto &[period, duty, ramp, noise, fTol, wTol, dTol, aTol] : rows)
        for (int k = 0; k < 8; ++k) {
            const auto m = measure(trace(pulse(period, duty, ramp, k / 8.0), noise, 7 + k));
            const auto row = std::to_string(period) + "/" + std::to_string(duty) + "/" +
                             std::to_string(noise) + "/" + std::to_string(k);
            EXPECT_NEAR(value(m, Frequency) * period * kSeconds, 1, fTol) << row;
            EXPECT_NEAR(value(m, PositiveWidth) / kSeconds, duty * period, wTol) << row;
            EXPECT_NEAR(value(m, NegativeWidth) / kSeconds, (1 - duty) * period, wTol) << row;
            EXPECT_NEAR(value(m, DutyCycle), 100 * duty, dTol) << row;
            EXPECT_NEAR(value(m, Amplitude) / kVolts, 40, aTol) << row;
            if (ramp == 0 && noise == 0) {
                EXPECT_EQ(std::tuple(value(m, CycleRms), value(m, Overshoot)), std::tuple(2, 0))
                    << row; // the levels' RMS; no overshoot
            }
        }
    // a pulse from 0 V: the RMS over whole periods is its level x sqrt(duty), 2 V x 1/2
    const auto onOff = trace([](double i) { return pulse(40, 0.25, 0, 0.3)(i) / 2 + 10; });
    EXPECT_DOUBLE_EQ(value(measure(onOff), CycleRms), 1);
    // the whole period between two edges of one direction when the other has but one edge
    for (const double sign : {1.0, -1.0}) {
        const auto once =
            trace([sign](double i) { return sign * (i < 20 || (i >= 60 && i < 100) ? -20 : 20); });
        EXPECT_DOUBLE_EQ(value(measure(once), CycleRms), 2) << sign;
    }
    // a point in each half inside the hysteresis band (+-2) is no edge; on its edge, two more
    const std::tuple<double, size_t, double> glitches[] = {{1.5, 30, 1}, {2, 30, 2}, {-2, 10, 2}};
    for (const auto &[glitch, at, edges] : glitches) {
        auto points = trace(pulse(40, 0.5, 0, 0));
        for (size_t i = at; i < points.size(); i += 40)
            points[i] = glitch;
        EXPECT_EQ(std::round(value(measure(points), Frequency) * 40 * kSeconds), edges) << glitch;
    }
    // overshooting by 3 units after each rising edge (just beyond the flat level's two bins each
    // side) and by 6 after each falling one: the flat levels stay, the extremes give 7.5 %, 15 %
    const auto ringing = measure(trace([](double i) {
        const int u = static_cast<int>(i) % 40;
        return u < 20 ? (u == 0 ? 23 : 20) : (u == 20 ? -26 : -20);
    }));
    EXPECT_EQ(std::tuple(value(ringing, Amplitude), value(ringing, Overshoot),
                         value(ringing, Undershoot)),
              std::tuple(4.0, 7.5, 15.0));
    // A flat level (20) at both bounds: 2.5 times the outermost bin's (23) points, a fifth of all.
    for (const auto &[beyond, between] : {std::pair(5, 75), std::pair(8, 50)}) {
        std::vector<double> points(kShownPoints, -20);
        for (int i = 0; i < beyond + 20 + between; ++i) // and the rest over 10 .. 17
            points[size_t(i)] = i < beyond ? 23 : i < beyond + 20 ? 20 : 10 + i % 8;
        EXPECT_EQ(value(measure(points), Amplitude), 4.0) << beyond;
    }
}

// 10-90 % times of linear ramps (0.8 x the ramp) and RC edges (tau x ln 9), rising and falling.
TEST(WaveMeasurements, EdgesWithKnownTimes) {
    // shape, its 10-90 % time in points, noise, within (relative)
    const std::tuple<Shape, double, double, double> rows[] = {
        {pulse(64, 0.5, 10, 0.1), 8, 0, 0.03},         {pulse(100, 0.5, 20, 0.3), 16, 0, 0.02},
        {pulse(64, 0.5, 10, 0.1), 8, 1, 0.1},          {rc(100, 2, 0.2), 2 * std::log(9), 0, 0.05},
        {rc(64, 4, 0.6), 4 * std::log(9), 0, 0.05},    {rc(100, 6, 0.9), 6 * std::log(9), 0, 0.05},
        {rc(100, 4, 0.4), 4 * std::log(9), 0.5, 0.12},
    };
    for (const auto &[shape, time, noise, within] : rows) {
        const auto m = measure(trace(shape, noise));
        EXPECT_NEAR(value(m, RiseTime) / kSeconds / time, 1, within) << time << "/" << noise;
        EXPECT_NEAR(value(m, FallTime) / kSeconds / time, 1, within) << time << "/" << noise;
    }
    // a step between two points: 0.8 of the sample interval, the most the points can tell
    EXPECT_NEAR(value(measure(trace(pulse(50, 0.5, 0, 0))), RiseTime), 0.8 * kSeconds, 1e-12);
}

// Why each quantity in order lacks a value: M measured, C clipped (at/past an edge after the
// vertical position), X < 2 crossings, R/F no whole rise/fall, 0 flat, U unknown scale, ? either.
TEST(WaveMeasurements, NoValueSaysWhy) {
    const auto square = trace(pulse(40, 0.5, 0, 0));
    auto hostile = square; // what a hand-edited file may hold
    hostile[3] = 1e300, hostile[90] = NAN, hostile[91] = -1e308, hostile[92] = 1e308;
    const std::pair<WaveMeasurementSet, const char *> rows[] = {
        {measure(square, 30), "CMCCCMMCCCCCCC"}, // 10 .. 50 units
        {measure(square, 29.5), "MMMMMMMMMMMMMM"},
        {measure(square, -30), "MCCCCMMCCCCCCC"},
        {measure(trace([](double i) { return i < 100 ? -20 : 20; })), "MMMMXXXXXXMFMM"},
        {measure(trace([](double i) { return i < 1 ? -20 : 20; })), "MMMMXXXXXXMFMM"},
        {measure(trace([](double) { return 7; })), "MMMMXXXXXXRF00"},
        {measure(hostile), "CCCCC??CCCCCCC"},
        {measureWave({square, 0, std::nullopt, kSeconds}), "UUUUUMMMMMMMMM"},
        {measureWave({square, 0, kVolts, std::nullopt}), "MMMMMUUUUMUUMM"},
        {measureWave({square, 0, 1e307, kSeconds}), "CCCMCMMMMMMMMM"}, // volts past a double
        {measureWave({std::vector<double>{5}, 0, kVolts, kSeconds}), "00000000000000"}, // 1 point
    };
    const std::string codes = "MUCXRF0"; // in Why order
    for (const auto &[m, expected] : rows)
        for (size_t q = 0; q < kQuantities; ++q) {
            if (expected[q] == '?')
                continue;
            EXPECT_EQ(codes[static_cast<size_t>(m[q].why)], expected[q]) << expected << " " << q;
            EXPECT_EQ(m[q].value.has_value(), expected[q] == 'M') << expected << " " << q;
        }
    const auto flat = measure(trace([](double) { return 7; }));
    EXPECT_EQ(value(flat, Amplitude), 0);
    EXPECT_DOUBLE_EQ(value(flat, Mean), 0.7);
}

TEST(MeasurementText, ValuesToTheScalesResolution) {
    // clang-format off
    const std::tuple<double, double, const char *, const char *, double> rows[] = {
        {1.6, 0.2, "V", "1.6 V", 1.6},             {0.08, 0.004, "V", "80 mV", 0.08},
        {-0.0123, 0.2, "V", "-12 mV", -0.012},     {-0.0001, 0.2, "V", "0 mV", 0},
        {1.28e-6, 2e-8, "s", "1.28 us", 1.28e-6},  {0.05, 5e-5, "s", "50.00 ms", 0.05},
        {781250, 12207, "Hz", "781 kHz", 781000},  {0.99996, 1e-4, "V", "1.0000 V", 1},
        {12.345, 0.25, "%", "12.3 %", 12.3},       {1234.5, 0.1, "%", "1234.5 %", 1234.5},
        {999.96e9, 1e8, "Hz", "1000.0 GHz", 1e12},  // no prefix past G
        {1.6, 1e-15, "V", "1.600000000 V", 1.6},    // nine decimals at most
        {1.6, 0, "V", "1.600 V", 1.6}}; // no resolution: three decimals
    // clang-format on
    for (const auto &[v, resolution, unit, text, shown] : rows) {
        const ShownValue s = shownValue(v, resolution, unit);
        EXPECT_EQ(std::tuple(s.text, s.value), std::tuple(text, shown));
    }
}

} // namespace
} // namespace qv::dso
