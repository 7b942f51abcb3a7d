#include "trend/LogImport.h"

#include "files/DmmRecordFormat.h"

#include <array>
#include <cmath>
#include <vector>

namespace qv::trend {
namespace {

constexpr double kDay = 86400;

/// Splits text into lines without their CR LF or LF.
std::vector<std::string_view> linesOf(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const auto end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back(line);
        if (end == std::string_view::npos)
            break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

bool takeMarker(std::string_view &text, std::string_view marker) {
    if (text.starts_with(marker)) {
        text.remove_prefix(marker.size());
        return true;
    }
    if (text.ends_with(marker)) {
        text.remove_suffix(marker.size());
        return true;
    }
    return false;
}

} // namespace

std::optional<double> secondsOfDay(std::string_view time) {
    while (!time.empty() && time.front() == ' ')
        time.remove_prefix(1);
    while (!time.empty() && time.back() == ' ')
        time.remove_suffix(1);
    int addHours = 0;
    bool twelveHour = false;
    for (const std::string_view pm : {"PM", "pm", "下午"})
        if (takeMarker(time, pm))
            addHours = 12, twelveHour = true;
    if (!twelveHour)
        for (const std::string_view am : {"AM", "am", "上午"})
            if (takeMarker(time, am))
                twelveHour = true;
    while (!time.empty() && time.front() == ' ')
        time.remove_prefix(1);
    while (!time.empty() && time.back() == ' ')
        time.remove_suffix(1);

    std::array<int, 3> parts{};
    std::size_t part = 0;
    int digits = 0;
    for (const char c : time) {
        if (c >= '0' && c <= '9') {
            if (++digits > 2)
                return std::nullopt;
            parts[part] = parts[part] * 10 + (c - '0');
        } else if (c == ':' && digits > 0 && part < 2) {
            ++part;
            digits = 0;
        } else {
            return std::nullopt;
        }
    }
    if (part != 2 || digits == 0)
        return std::nullopt;
    int hours = parts[0];
    if (twelveHour) {
        if (hours < 1 || hours > 12)
            return std::nullopt;
        hours = hours % 12 + addHours;
    }
    if (hours > 23 || parts[1] > 59 || parts[2] > 59)
        return std::nullopt;
    return hours * 3600.0 + parts[1] * 60.0 + parts[2];
}

std::size_t importLog(std::string_view log, LogEnd end, TrendModel &into) {
    struct Timed {
        double offset; ///< seconds after midnight of the first line's day
        std::string reading;
    };
    std::vector<Timed> lines;
    double day = 0, previous = -1;
    for (const std::string_view line : linesOf(log)) {
        const auto parsed = dmm::parseLogLine(line);
        if (!parsed)
            continue;
        const auto seconds = secondsOfDay(parsed->time);
        if (!seconds)
            continue;
        if (*seconds < previous)
            day += kDay;
        previous = *seconds;
        lines.push_back({day + *seconds, parsed->reading});
    }
    if (lines.empty())
        return 0;
    // The first line's midnight: the last line falls on the end's day or before it.
    double firstDay = end.dayStart - (lines.back().offset - std::fmod(lines.back().offset, kDay));
    if (firstDay + lines.back().offset > end.time)
        firstDay -= kDay;
    for (const Timed &line : lines)
        into.add(firstDay + line.offset, line.reading);
    return lines.size();
}

std::optional<RecordText> splitRecordFile(std::string_view text) {
    std::array<std::string_view, 5> header{};
    for (std::string_view &line : header) {
        const auto end = text.find('\n');
        if (end == std::string_view::npos)
            return std::nullopt;
        line = text.substr(0, end);
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        text.remove_prefix(end + 1);
    }
    if (header[0] != files::DmmRecordFormat::kHeader)
        return std::nullopt;
    const auto mark = header[3].find(" DMM Record: ");
    return RecordText{std::string(header[1]), std::string(header[2]), text,
                      std::string(header[3].substr(0, mark == std::string_view::npos ? 0 : mark))};
}

} // namespace qv::trend
