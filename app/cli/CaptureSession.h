#pragma once
#include "app/cli/CaptureSettings.h"

namespace qv::app::cli {

/// Runs a capture on the event loop until its end (count, duration, frames, the end of a replay,
/// SIGINT or SIGTERM, a write error); the exit code.
[[nodiscard]] int runCaptureSession(const CaptureSettings &settings);

} // namespace qv::app::cli
