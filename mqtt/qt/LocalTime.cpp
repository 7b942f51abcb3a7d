#include "mqtt/qt/LocalTime.h"

#include <cstdio>
#include <cstdlib>

namespace qv::mqtt::qt {

std::string localTimeText(const QDateTime &t) {
    const int offset = t.offsetFromUtc() / 60;
    char zone[8];
    std::snprintf(zone, sizeof zone, "%c%02d:%02d", offset < 0 ? '-' : '+',
                  std::abs(offset) / 60 % 100, std::abs(offset) % 60);
    return t.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz")).toStdString() + zone;
}

} // namespace qv::mqtt::qt
