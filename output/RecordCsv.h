#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace qv::output {

/// The DMM log as CSV: "time,value,unit,text" and one row per log line: the line's time (or
/// play-back mark), the reading as a number (empty when the meter showed none, e.g. "OL"), its
/// unit as shown and the meter's raw text. A line of another shape keeps its whole text in the
/// text column, so nothing is lost; empty lines are left out.
[[nodiscard]] std::string recordCsv(std::string_view logText);
/// The header line of recordCsv, without its line end.
inline constexpr std::string_view kRecordCsvHeader = "time,value,unit,text";
/// One non-empty log line (without its line end) as a row of recordCsv, without the line end.
[[nodiscard]] std::string recordCsvRow(std::string_view line);

/// The log part of a DMM record file's text (after its five header lines); none when the first
/// line is not the record file's header, line 4 lacks " DMM Record: " or the header is cut short.
[[nodiscard]] std::optional<std::string> logOfRecordFile(std::string_view fileText);

/// The record log back out of a Record CSV ("time,value,unit,text" first): each row's time and
/// meter text as the log line they came from, a row of another shape as its text. None when the
/// header is not there or a quoted field is never closed.
[[nodiscard]] std::optional<std::string> logOfRecordCsv(std::string_view csvText);

} // namespace qv::output
