#include "dso/Measurements.h"

#include "common/NumberFormat.h"
#include "common/Rounding.h"

#include <cmath>

namespace qv::dso {
namespace {

constexpr double kDecibelPerNeper = 8.68588963659822; // 20 / ln 10
constexpr double kReferenceVolts = 0.775;
constexpr double kHysteresis = 2;
constexpr int kPoints = 256;

double round2(double v) {
    return common::roundThrough(v, "###0.0#");
}

} // namespace

void Measurements::measure() {
    const common::Waveform &w = form_.wave;
    const double model = form_.v.MeterModelCode;
    amplitude(tables_.GainTable(w.DsoParam[2], model) / 10);
    hasDecibel_ = decibel();
    frequency();
}

void Measurements::amplitude(double s) {
    const auto &data = form_.wave.WaveData;
    WaveMax = -256;
    WaveMin = 256;
    double sum = 0, squares = 0;
    for (int i = 0; i < kPoints; ++i) {
        const double x = data[i];
        sum += x;
        squares += x * x;
        if (x > WaveMax)
            WaveMax = x;
        if (!(x >= WaveMin))
            WaveMin = x;
    }
    MeasPeakToPeak = round2((WaveMax - WaveMin) * s);
    MeasAverage = round2(sum / kPoints * s);
    MeasRms = round2(std::sqrt(squares / kPoints) * s);
}

bool Measurements::decibel() {
    if (!(MeasRms > 0))
        return false;
    // The RMS in volts: millivolt ranges are scaled by their unit, not by the gain index, since
    // in the second gain family index 11 is already 50 mV and would read 60 dB too high.
    const common::Waveform &w = form_.wave;
    const bool millivolts = tables_.GainUnit(w.DsoParam[2], form_.v.MeterModelCode) == "mV";
    const double volts = millivolts ? MeasRms / 1000 : MeasRms;
    const double level = kDecibelPerNeper * std::log(volts / kReferenceVolts);
    if (!std::isfinite(level))
        return false;
    MeasDecibel = common::roundThrough(level, "#0.0#");
    return true;
}

void Measurements::frequency() {
    const common::Waveform &w = form_.wave;
    const auto &data = w.WaveData;
    const double upper = w.DsoParam[6] + kHysteresis;
    const double lower = w.DsoParam[6] - kHysteresis;
    const bool rising = data[0] < upper;
    bool high = !rising; // the detector's state: ready for its first edge either way
    int first = 0, last = 0, count = 0;
    bool found = false;
    double prev = data[0];
    for (int i = 1; i < kPoints; ++i) {
        const double mid = (prev + data[i]) / 2;
        prev = data[i];
        bool edge = false;
        if (rising) {
            if (mid >= upper && !high) {
                edge = true;
                high = true;
            } else if (mid <= lower) {
                high = false;
            }
        } else {
            if (mid <= lower && high) {
                edge = true;
                high = false;
            } else if (mid >= upper) {
                high = true;
            }
        }
        if (!edge)
            continue;
        if (!found) {
            first = i;
            found = true;
        }
        last = i;
        ++count;
    }

    // A time base without a scale (time per division 0) leaves the frequency unknown.
    const double perDiv = tables_.timePerDivForFrequency(w.DsoParam[0], form_.v.MeterModelCode);
    const double period = count < 2 ? 0 : static_cast<double>(last - first) / (count - 1);
    const double t = period * perDiv / 20;
    if (!(t > 0) || !std::isfinite(t)) {
        MeasFrequency = 0;
        hasFrequency_ = false;
        return;
    }
    double f = 1 / t;
    int down = 0;
    if (f < 1) {
        f *= 1000;
        down = 1;
    }
    MeasFrequencyUnit = ScaleTables::frequencyBaseUnit(w.DsoParam[0]) - down;
    MeasFrequency = common::roundThrough(f, "###0.0##");
    hasFrequency_ = true;
}

void Measurements::writeReadouts(common::DrawingTarget &target, bool haveFrequency) const {
    const common::Waveform &w = form_.wave;
    const std::string &unit = tables_.GainUnit(w.DsoParam[2], form_.v.MeterModelCode);
    target.setForeColor(common::kBlack);
    const auto at = [&target](double x, double y) {
        target.setCurrentX(x);
        target.setCurrentY(y);
    };
    // A value that is no finite number (a file of huge samples) reads as unknown.
    const auto readout = [&target, &unit](double value, const char *what) {
        if (std::isfinite(value))
            target.print({value, unit, what});
        else
            target.print("?? " + unit + what);
    };
    at(100, 4550);
    readout(MeasPeakToPeak, "p-p");
    at(1600, 4550);
    readout(MeasAverage, "avg");
    at(3100, 4550);
    readout(MeasRms, "rms");
    at(4600, 4550);
    if (hasDecibel_ && std::isfinite(MeasDecibel))
        target.print({MeasDecibel, "dB"});
    else
        target.print("?? dB");
    at(100, 4750);
    if (haveFrequency)
        target.print({MeasFrequency, tables_.FreqUnit(MeasFrequencyUnit)});
    else
        target.print("?? Hz");
}

void Measurements::Display_Measurement() {
    measure();
    writeReadouts(form_.el.Picture1, hasFrequency_);
}

void Measurements::Print_Measurement(common::DrawingTarget &target) {
    hasDecibel_ = decibel();
    writeReadouts(target, MeasFrequency > 0);
}

} // namespace qv::dso
