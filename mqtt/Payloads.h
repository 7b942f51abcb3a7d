#pragma once
#include "common/Form.h"
#include "dso/Measurements.h"

#include <string>
#include <string_view>

namespace qv::mqtt {

/// The topics under a prefix.
struct Topics {
    std::string reading, frame, status;
    explicit Topics(const std::string &prefix)
        : reading(prefix + "/reading"), frame(prefix + "/frame"), status(prefix + "/status") {}
};

/// The words of the status topic.
inline constexpr std::string_view kOnline = "online";
inline constexpr std::string_view kOffline = "offline";
inline constexpr std::string_view kLinkLost = "link_lost";
inline constexpr std::string_view kLinkBack = "link_back";

/// The unit and the mode of a reading's unit field: "mV  AC" gives "mV" and "AC", "M ohm" (a
/// prefix standing alone) gives "M ohm" and nothing.
struct UnitAndMode {
    std::string unit, mode;
};
[[nodiscard]] UnitAndMode unitAndMode(std::string_view unitField);

/// The unit of a record log line's reading as unitAndMode gives it; empty for another line.
[[nodiscard]] std::string readingUnit(std::string_view logLine);

/// A reading kept (a line of the record log) as JSON: {"time", "value" (in the unit shown, null
/// for "OL"), "unit", "mode", "text" (the meter's 16 characters), "model"}, then "si" and
/// "si_unit" where the unit has an SI base, and "record" for a line the meter played back.
[[nodiscard]] std::string readingPayload(std::string_view time, std::string_view logLine,
                                         std::string_view model);

/// A live reading (the meter's 16 characters) as readingPayload writes it.
[[nodiscard]] std::string liveReadingPayload(std::string_view time, std::string_view reading,
                                             std::string_view model);

/// The frame on the form as JSON: {"time", "settings" (the waveform CSV's header),
/// "measurements" and "wave_measurements" (as `info --json`), "sample_interval_s", "volts"
/// (the 256 points, null where the gain is unknown)}.
[[nodiscard]] std::string framePayload(std::string_view time, const common::Form &form,
                                       const dso::Measurements &measurements);

} // namespace qv::mqtt
