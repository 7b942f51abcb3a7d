#include "output/MeasurementRows.h"

#include "output/Csv.h"
#include "output/SpectrumCsv.h"

namespace qv::output {
namespace {

constexpr double kPointsPerDiv = 20;

} // namespace

dso::WaveInput measurementInput(const WaveformCsvInput &in) {
    const auto perDiv = secondsPerDiv(in.wave, in.modelCode, in.tables);
    return {dso::shownPoints(in.wave), in.wave.DsoParam[3],
            voltsPerUnit(in.wave, in.modelCode, in.tables),
            perDiv ? Csv::decimal(*perDiv / kPointsPerDiv) : std::nullopt};
}

std::vector<MeasurementRow> measurementRows(const WaveformCsvInput &in) {
    const dso::WaveMeasurementSet set = dso::measureWave(measurementInput(in));
    std::vector<MeasurementRow> rows;
    for (const dso::QuantityName &name : dso::quantityNames()) {
        const dso::Measurement &m = set.at(static_cast<std::size_t>(name.quantity));
        if (!m.value) {
            rows.push_back({name, "—", std::nullopt, dso::nameOf(m.why).english});
            continue;
        }
        const auto shown = dso::shownValue(*m.value, m.resolution, name.unit);
        rows.push_back({name, shown.text, shown.value, {}});
    }
    return rows;
}

} // namespace qv::output
