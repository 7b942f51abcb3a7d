#include "dso/ScaleTables.h"

#include "common/Rounding.h"

#include <vector>

namespace qv::dso {
namespace {

const std::string kEmpty;

std::optional<int> index(double v, int size) {
    return common::tableIndex(v, 0, size - 1);
}

} // namespace

void ScaleTables::MakeParameter() {
    // Gains: two families, each one list copied into its models' columns.
    const auto gainA =
        std::to_array<double>({400, 200, 100, 40, 20, 10, 4, 2, 1, 0.4, 0.2, 0.1, 40, 20, 10});
    const auto gainB =
        std::to_array<double>({200, 100, 50, 20, 10, 5, 2, 1, 0.5, 0.2, 0.1, 50, 20, 10, 5});
    const auto fillGains = [this](const std::array<double, 15> &values, int firstMilli,
                                  std::initializer_list<int> models) {
        for (int model : models)
            for (int i = 0; i < 15; ++i) {
                gain_[i][model] = values[i];
                gainUnit_[i][model] = i >= firstMilli ? "mV" : "V";
            }
    };
    fillGains(gainA, 12, {0, 1, 2, 3, 7});
    fillGains(gainB, 11, {4, 5, 6, 8});

    // Time bases: indices 0..20 are common; each model list goes on from there, and only the
    // first n entries of a list are taken (model 2's list has a 27th value that is not).
    const std::vector<double> common{20, 10, 5, 2,   1,   0.5, 0.2, 0.1, 50, 20, 10,
                                     5,  2,  1, 0.5, 0.2, 0.1, 50,  20,  10, 5};
    const auto list = [&common](std::initializer_list<double> tail) {
        std::vector<double> v = common;
        v.insert(v.end(), tail);
        return v;
    };
    const std::vector<double> model0 = list({2.5, 1.25, 0.5, 1, 0, 0});
    const std::vector<double> model1 = list({2, 1, 0.5, 0.25, 0, 0});
    const std::vector<double> model2 = list({2, 1, 0.5, 0.25, 0.1, 0.1});
    const std::vector<double> model3 = list({2, 0.8, 0.4, 0.2, 0.1, 50});
    const std::vector<double> model4 = list({2, 1, 0.5, 0.25, 0.1, 0});
    const std::vector<double> model56 = list({2, 0.8, 0.4, 0.2, 0.1, 50});
    const std::vector<double> model7 = list({2, 1, 0.5, 0.2, 0, 0});
    const auto fillTimes = [this](const std::vector<double> &values, size_t n, int model) {
        for (size_t i = 0; i < n && i < values.size(); ++i)
            timeBase_[i][model] = values[i];
    };
    fillTimes(model0, 25, 0);
    fillTimes(model1, 25, 1);
    fillTimes(model2, 26, 2);
    fillTimes(model3, 27, 3);
    fillTimes(model4, 26, 4);
    fillTimes(model56, 27, 5);
    fillTimes(model56, 27, 6);
    fillTimes(model7, 25, 7);
    fillTimes(model56, 27, 8);

    for (int i = 0; i <= 26; ++i)
        timeBaseUnit_[i] = i <= 7 ? "s" : i <= 16 ? "ms" : i <= 25 ? "us" : "ns";

    const auto tops = std::to_array<std::int16_t>({23, 24, 23, 26, 25, 26, 26, 24, 26});
    for (int m = 0; m < 9; ++m)
        top_[m] = tops[m];

    freqUnit_ = {"mHz", "Hz ", "kHz", "MHz"};
}

double ScaleTables::GainTable(double gainIndex, double model) const {
    const auto g = index(gainIndex, kGains);
    const auto m = index(model, kModels);
    return g && m ? gain_[*g][*m] : 0.0;
}

const std::string &ScaleTables::GainUnit(double gainIndex, double model) const {
    const auto g = index(gainIndex, kGains);
    const auto m = index(model, kModels);
    return g && m ? gainUnit_[*g][*m] : kEmpty;
}

double ScaleTables::TimeBaseTable(double timeIndex, double model) const {
    const auto t = index(timeIndex, kTimeBases);
    const auto m = index(model, kModels);
    return t && m ? timeBase_[*t][*m] : 0.0;
}

const std::string &ScaleTables::TimeBaseUnit(double timeIndex) const {
    const auto t = index(timeIndex, kTimeBases);
    return t ? timeBaseUnit_[*t] : kEmpty;
}

int ScaleTables::TimeBaseTop(double model) const {
    const auto m = index(model, kModels);
    return m ? top_[*m] : 0;
}

const std::string &ScaleTables::FreqUnit(double i) const {
    const auto f = index(i, static_cast<int>(freqUnit_.size()));
    return f ? freqUnit_[*f] : kEmpty;
}

double ScaleTables::timePerDivForFrequency(double timeIndex, double model) const {
    const double t = TimeBaseTable(timeIndex, model);
    return index(timeIndex, kTimeBases) == 26 ? t / 1000.0 : t;
}

int ScaleTables::frequencyBaseUnit(double timeIndex) {
    return timeIndex > 16 ? 3 : timeIndex > 7 ? 2 : 1;
}

} // namespace qv::dso
