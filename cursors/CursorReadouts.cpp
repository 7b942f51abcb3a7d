#include "cursors/CursorReadouts.h"

#include "common/NumberFormat.h"
#include "common/Rounding.h"
#include "cursors/ReadoutStrip.h"

#include <algorithm>
#include <cmath>

namespace qv::cursors {
namespace {

constexpr double kDivision = 400;      // twips per division, both ways
constexpr double kSampleStep = 20;     // twips per waveform sample
constexpr double kSamplesPerDiv = 20;  // waveform samples per division
constexpr double kSpectrumLine = 40;   // twips per spectrum line
constexpr double kLinesPerDiv = 10;    // spectrum lines per division
constexpr const char *kUnknown = "??"; // a frequency that the time base leaves undefined

// Nearest whole index (halves to even), kept inside 0..256.
std::size_t boundedIndex(double v) {
    const double r = common::roundHalfEven(v);
    if (!(r > 0))
        return 0;
    return static_cast<std::size_t>(std::min(r, 256.0));
}

// Formats through the pattern, takes the text back as a number and writes its shortest form.
std::string roundTrip(double v, std::string_view pattern) {
    return common::shortestNumber(common::roundThrough(v, pattern));
}

} // namespace

CursorReadouts::CursorReadouts(common::Form &form, const dso::ScaleTables &scales,
                               const spectrum::SpectrumView &spectrum, const CursorState &state)
    : form_(form), scales_(scales), spectrum_(spectrum), state_(state) {}

double CursorReadouts::singleXOffset() const {
    if (state_.Cursor1Shown == 1)
        return state_.TimeCursor1X - form_.geo.ScreenLeft;
    if (state_.Cursor2Shown == 1)
        return state_.TimeCursor2X - form_.geo.ScreenLeft;
    return 0;
}

double CursorReadouts::singleY(double none) const {
    if (state_.Cursor1Shown == 1)
        return state_.LevelCursor1Y;
    if (state_.Cursor2Shown == 1)
        return state_.LevelCursor2Y;
    return none;
}

double CursorReadouts::gain() const {
    return scales_.GainTable(form_.wave.DsoParam[2], form_.v.MeterModelCode);
}

const std::string &CursorReadouts::gainUnit() const {
    return scales_.GainUnit(form_.wave.DsoParam[2], form_.v.MeterModelCode);
}

void CursorReadouts::printAt(double x, const std::string &text) {
    ReadoutStrip::printAt(form_.el.Picture1, x, text);
}

void CursorReadouts::t_measurement() {
    ReadoutStrip::Clear_dVdt(form_.el.Picture1);
    const double timeIndex = form_.wave.DsoParam[0];
    const double model = form_.v.MeterModelCode;
    if (!both()) {
        const std::size_t i = boundedIndex(singleXOffset() / kSampleStep);
        const double level = gain() / 10 * form_.wave.WaveData[i];
        TimeCursorLevelText = "V=" + roundTrip(level, "##0.0##") + gainUnit();
        printAt(ReadoutStrip::kFirstX, TimeCursorLevelText);
        return;
    }
    const double steps = std::abs(state_.TimeCursor1X - state_.TimeCursor2X) / kSampleStep;
    // The nanosecond entry comes in microseconds here, so that 1/dt reads in MHz.
    const double perDivForFrequency = scales_.timePerDivForFrequency(timeIndex, model);
    if (steps == 0 || !(perDivForFrequency > 0)) {
        InverseDeltaTimeText = "1/dt= ??";
    } else {
        double f = 1 / (perDivForFrequency * steps / kSamplesPerDiv);
        int down = 0;
        if (f < 1) {
            f *= 1000;
            down = 1;
        }
        const int unit = dso::ScaleTables::frequencyBaseUnit(timeIndex) - down;
        InverseDeltaTimeText = "1/dt=" + roundTrip(f, "###0.0###") + scales_.FreqUnit(unit);
    }
    printAt(ReadoutStrip::kSecondX, InverseDeltaTimeText);

    // No division here: a time base without a scale reads dt=0.0, only its 1/dt is unknown.
    const double perDiv = scales_.TimeBaseTable(timeIndex, model);
    DeltaTimeText = "dt=" + common::formatPattern(perDiv * steps / kSamplesPerDiv, "###0.0##") +
                    scales_.TimeBaseUnit(timeIndex);
    printAt(ReadoutStrip::kFirstX, DeltaTimeText);
}

void CursorReadouts::V_measurement() {
    ReadoutStrip::Clear_dVdt(form_.el.Picture1);
    double divisions = 0;
    std::string prefix = "V=";
    if (both()) {
        divisions = std::abs(state_.LevelCursor1Y - state_.LevelCursor2Y) / kDivision;
        prefix = "dV=";
    } else {
        const double centre = form_.geo.ScreenCenterY;
        divisions = (centre - singleY(centre)) / kDivision;
    }
    LevelCursorText = prefix + common::formatPattern(divisions * gain(), "##0.0##") + gainUnit();
    printAt(ReadoutStrip::kFirstX, LevelCursorText);
}

void CursorReadouts::f_measurement() {
    ReadoutStrip::Clear_dVdt(form_.el.Picture1);
    double lines = 0;
    std::string prefix = "df=";
    if (both()) {
        lines = std::abs(state_.TimeCursor1X - state_.TimeCursor2X) / kSpectrumLine;
    } else {
        lines = singleXOffset() / kSpectrumLine;
        prefix = "f=";
        const double magnitude = spectrum_.Spectrum[boundedIndex(lines)];
        if (form_.v.SpectrumLogScale == 0)
            SpectrumLevelText =
                "F=" + common::formatPattern(gain() * magnitude / 10, "##0.0#") + gainUnit();
        else
            SpectrumLevelText = "F=" + common::formatPattern(magnitude, "##0.0#") + "dB";
        printAt(ReadoutStrip::kSecondX, SpectrumLevelText);
    }
    const double perDiv = spectrum_.SpectrumFreqPerDiv;
    if (perDiv > 0)
        FrequencyCursorText = prefix +
                              common::formatPattern(perDiv * lines / kLinesPerDiv, "##0.0##") +
                              spectrum_.SpectrumFreqUnit;
    else
        FrequencyCursorText = prefix + kUnknown;
    printAt(ReadoutStrip::kFirstX, FrequencyCursorText);
}

void CursorReadouts::FV_measurement() {
    ReadoutStrip::Clear_dVdt(form_.el.Picture1);
    const bool linear = form_.v.SpectrumLogScale == 0;
    const std::string unit = linear ? gainUnit() : std::string("dB");
    const double baseLine = linear ? form_.geo.ScreenBottom : form_.geo.ScreenCenterY;
    double divisions = 0;
    std::string prefix = "F=";
    if (both()) {
        divisions = std::abs(state_.LevelCursor1Y - state_.LevelCursor2Y) / kDivision;
        prefix = "dF=";
    } else {
        divisions = (baseLine - singleY(baseLine)) / kDivision;
    }
    const double value = linear ? spectrum_.SpectrumAmplPerDiv * divisions : divisions * 10;
    SpectrumLevelText = prefix + common::formatPattern(value, "##0.0#") + unit;
    printAt(ReadoutStrip::kFirstX, SpectrumLevelText);
}

} // namespace qv::cursors
