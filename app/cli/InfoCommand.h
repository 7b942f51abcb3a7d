#pragma once
#include <span>
#include <string>

namespace qv::app::cli {

/// `qvlink info INPUT.dso [--json]`: the waveform's settings, the screen's readouts and the five
/// measurements, as text or JSON, on stdout.
[[nodiscard]] int runInfo(const char *program, std::span<const std::string> arguments);

} // namespace qv::app::cli
