#pragma once
#include <span>
#include <string>

namespace qv::app::cli {

/// `qvlink capture`: logs the meter's readings and frames unattended; the exit code.
[[nodiscard]] int runCapture(const char *program, std::span<const std::string> arguments);

} // namespace qv::app::cli
