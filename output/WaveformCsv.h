#pragma once
#include "common/Form.h"
#include "dso/ScaleTables.h"

#include <string>
#include <utility>
#include <vector>

namespace qv::output {

/// What the waveform CSV is made of: the waveform with its settings, the meter it came from and
/// the scale tables that turn indices into volts and seconds.
struct WaveformCsvInput {
    const common::Waveform &wave;
    const std::string &modelName;
    double modelCode;
    std::string workMode; ///< e.g. "DSO sample"; may be empty
    const dso::ScaleTables &tables;
};

/// The waveform as CSV: a block of "# key,value" lines (model, work mode, date, time, title,
/// scales, coupling, trigger, positions), then "index,time_s,volts" for points 0..255. A point's
/// voltage is its value / 10 x the volts per division in volts; points lie time per division / 20
/// apart, point 0 at time 0. Volts or times of a scale the tables do not know are left empty.
[[nodiscard]] std::string waveformCsv(const WaveformCsvInput &in);

/// The settings of the CSV's header block as key and plain (unquoted) value, in order.
[[nodiscard]] std::vector<std::pair<std::string, std::string>>
waveformSettings(const WaveformCsvInput &in);

/// The work mode named in a waveform title "Meter <model> <work mode> ...": the text after the
/// model name, blanks trimmed; empty when the title does not start that way.
[[nodiscard]] std::string workModeOfTitle(const std::string &title, const std::string &modelName);

} // namespace qv::output
