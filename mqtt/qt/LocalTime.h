#pragma once
#include <QDateTime>

#include <string>

namespace qv::mqtt::qt {

/// The local time to the millisecond with its offset from UTC: "2026-12-07T10:15:03.250+01:00".
[[nodiscard]] std::string localTimeText(const QDateTime &t);

} // namespace qv::mqtt::qt
