#pragma once
#include "app/cli/MqttArguments.h"
#include "link/qt/LinkOptions.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace qv::app::cli {

/// What `qvlink capture` was asked to do.
struct CaptureSettings {
    link::qt::LinkOptions link;        ///< --port, --demo, --replay, --speed, --record-raw
    std::string dmmCsv;                ///< --dmm-csv: the readings' CSV ("-": standard output)
    int interval = 1;                  ///< --interval: 0 (every reading), 1, 2, 5, 10, 20, 30, 60
    long long count = 0;               ///< --count: readings to keep (0: no limit)
    long long durationMs = 0;          ///< --duration (0: no limit)
    int frames = 0;                    ///< --frames: scope frames to keep (0: no limit)
    std::string outDir;                ///< --out-dir: where the frames go
    std::vector<std::string> formats;  ///< --formats: dso, csv, png
    int waitSeconds = 0;               ///< --wait: how long a --port device may take to appear
    bool quiet = false;                ///< --quiet: no progress line, no summary
    std::optional<MqttArguments> mqtt; ///< --mqtt and its options

    /// Frames are saved as pictures (png).
    [[nodiscard]] bool pictures() const {
        return !outDir.empty() && std::find(formats.begin(), formats.end(), "png") != formats.end();
    }
};

/// "90" or "90s", "15m", "2h", "1d" in milliseconds; 0 when it is none of these.
[[nodiscard]] long long parseDuration(const std::string &text);

} // namespace qv::app::cli
