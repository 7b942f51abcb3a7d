#pragma once
#include "trend/TrendModel.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace qv::trend {

/// The time of day of a record log line in seconds after midnight: "14:03:27", "9:05:00",
/// "2:03:27 PM", "下午2:03:27". nullopt for anything else.
[[nodiscard]] std::optional<double> secondsOfDay(std::string_view time);

/// Where the readings of a log end: the time (seconds since 1970 UTC) at or after its last line
/// (now, or when the file was saved) and the start of that day in the same clock.
struct LogEnd {
    double time = 0;
    double dayStart = 0;
};

/// Adds the timed lines of a record log to a model. Lines carry only the time of day: a time
/// earlier than the line before is on the next day, and the last line is placed on the latest
/// day that puts it no later than `end`. Play-back lines (no time) and lines that are no log
/// lines are skipped. Returns the number of readings added.
std::size_t importLog(std::string_view log, LogEnd end, TrendModel &into);

/// A DMM record file split into the date and time it was saved and its log. nullopt when the
/// text does not start with the record file's first line.
struct RecordText {
    std::string savedDate, savedTime;
    std::string_view log;
    std::string model; ///< the meter's model before " DMM Record: " on line 4; empty: none
};
[[nodiscard]] std::optional<RecordText> splitRecordFile(std::string_view text);

} // namespace qv::trend
