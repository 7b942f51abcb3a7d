#include "app/cli/LocalTimeStamp.h"

#include "common/Formatted.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ctime>

namespace qv::app::cli {
LocalTimeStamp::LocalTimeStamp() : LocalTimeStamp(systemMs, systemZone) {}

LocalTimeStamp::LocalTimeStamp(Clock clock, Zone zone)
    : clock_(std::move(clock)), zone_(std::move(zone)) {}

std::int64_t LocalTimeStamp::systemMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

LocalTimeStamp::Local LocalTimeStamp::systemZone(std::int64_t second) {
    // tzset reads the zone again where it may have changed (TZ unset: /etc/localtime).
    tzset();
    const auto t = static_cast<std::time_t>(second);
    std::tm tm{};
    if (localtime_r(&t, &tm) == nullptr)
        return {1970, 1, 1, 0, 0, 0, 0};
    return {tm.tm_year + 1900,
            tm.tm_mon + 1,
            tm.tm_mday,
            tm.tm_hour,
            tm.tm_min,
            tm.tm_sec,
            static_cast<int>(tm.tm_gmtoff)};
}

const std::string &LocalTimeStamp::now() {
    return at(clock_());
}

const std::string &LocalTimeStamp::at(std::int64_t ms) {
    const std::int64_t second = ms / 1000 - (ms % 1000 < 0); // rounded down before 1970 too
    const int milli = static_cast<int>(ms - second * 1000);
    if (second != second_) {
        second_ = second;
        ms_ = 0; // as written below
        const Local l = zone_(second);
        const int minutes = l.offsetSeconds / 60;
        const int off = std::abs(minutes);
        text_ = common::formatted("%04d-%02d-%02dT%02d:%02d:%02d.000%c%02d:%02d", l.year, l.month,
                                  l.day, l.hour, l.minute, l.second, minutes < 0 ? '-' : '+',
                                  off / 60 % 100, off % 60);
        const std::size_t dot = text_.find('.');
        msAt_ = dot == std::string::npos ? text_.size() : dot + 1;
    }
    if (milli != ms_ && msAt_ + 3 <= text_.size()) {
        ms_ = milli;
        text_[msAt_] = static_cast<char>('0' + milli / 100);
        text_[msAt_ + 1] = static_cast<char>('0' + milli / 10 % 10);
        text_[msAt_ + 2] = static_cast<char>('0' + milli % 10);
    }
    return text_;
}

} // namespace qv::app::cli
