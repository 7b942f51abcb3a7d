#pragma once
#include "app/cli/CaptureSettings.h"
#include "app/cli/Modules.h"

namespace qv::app::cli {

/// Runs a capture on the event loop until its end (count, duration, frames, the end of a replay,
/// SIGINT or SIGTERM, a write error); the exit code. pictures: what draws the frames' PNG (null
/// when none is asked for).
[[nodiscard]] int runCaptureSession(const CaptureSettings &settings, PictureKit *pictures);

} // namespace qv::app::cli
