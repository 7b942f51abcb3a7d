#pragma once
#include <span>
#include <string>

namespace qv::app::cli {

/// `qvlink export ...`: waveform files to CSV and pictures, or a DMM record file to CSV.
[[nodiscard]] int runExport(const char *program, std::span<const std::string> arguments);

} // namespace qv::app::cli
