#pragma once
#include "common/Form.h"
#include "dso/ScaleTables.h"

#include <optional>
#include <string>
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
    bool measurements = false; ///< add the measurements to the header block
};

/// One setting of the CSV's header block.
struct WaveformSetting {
    enum class Kind {
        Text,   ///< a text ("DC", a title)
        Number, ///< a number; its text is the number's CSV form
        Scale,  ///< a table value with its unit ("2 V", "0.4 us")
    };
    std::string key;
    std::string text; ///< plain (unquoted); empty for a number or scale that is not known
    Kind kind = Kind::Text;
    std::optional<double> value; ///< Number: the value written; Scale: in SI units
    std::string unit;            ///< Scale: the SI unit, "V" or "s"
};

/// The waveform as CSV: a block of "# key,value" lines (model, work mode, date, time, title,
/// scales, coupling, trigger, positions; with `measurements` then one line per measurement, its
/// shown value in its unit, empty when there is none: "# rise_time_s,1.2e-06"), then
/// "index,time_s,volts" for points 0..255. A point's
/// voltage is its value / 10 x the volts per division in volts; points lie time per division / 20
/// apart, point 0 at time 0. Times and volts are the decimals the scale tables mean (see
/// Csv::decimal). Volts, times and scales the tables do not know are left empty.
[[nodiscard]] std::string waveformCsv(const WaveformCsvInput &in);

/// The CSV's input for the waveform on a form: its meter's name and code, the work mode its title
/// names. The form and the tables must outlive it.
[[nodiscard]] WaveformCsvInput waveformCsvInput(const common::Form &form,
                                                const dso::ScaleTables &tables);

/// The settings of the CSV's header block, in order.
[[nodiscard]] std::vector<WaveformSetting> waveformSettings(const WaveformCsvInput &in);

/// The work mode named in a waveform title "Meter <model> <work mode> ...": the text after the
/// model name, blanks trimmed; empty when the title does not start that way.
[[nodiscard]] std::string workModeOfTitle(const std::string &title, const std::string &modelName);

} // namespace qv::output
