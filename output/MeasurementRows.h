#pragma once
#include "dso/MeasurementText.h"
#include "output/WaveformCsv.h"

#include <optional>
#include <string>
#include <vector>

namespace qv::output {

/// One measurement of the waveform as the command line and the waveform CSV write it.
struct MeasurementRow {
    const dso::QuantityName &name;
    std::string text;            ///< "1.28 us"; "—" when there is none
    std::optional<double> value; ///< the shown value in name.unit (V, s, Hz or %)
    std::string why;             ///< when there is none: the reason, in English
};

/// The measurements' input from a waveform: its shown points, and its scales in SI units.
[[nodiscard]] dso::WaveInput measurementInput(const WaveformCsvInput &in);

/// Every measurement of the waveform, in display order.
[[nodiscard]] std::vector<MeasurementRow> measurementRows(const WaveformCsvInput &in);

} // namespace qv::output
