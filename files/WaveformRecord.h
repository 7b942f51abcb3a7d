#pragma once
#include <array>
#include <string>

namespace qv::files {

/// The contents of a waveform file. Text fields are UTF-8 when composing; after parsing, the
/// title, date and time hold the file's bytes as they stand (see TextCodec::fromFile).
struct WaveformRecord {
    std::string modelName;
    int modelCode = -1; ///< position of modelName in the model table, filled by parsing
    std::string title, date, time;
    std::array<double, 8> params{};    ///< DsoParam entries 0..7
    std::array<double, 256> samples{}; ///< WaveData points 0..255
};

} // namespace qv::files
