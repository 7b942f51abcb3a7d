#include "platform/qt/services/QtClock.h"

#include <QDateTime>
#include <QLocale>
#include <QThread>

namespace qv::platform::qt {

std::string QtClock::shortDate() const {
    return QLocale::system().toString(QDate::currentDate(), QLocale::ShortFormat).toStdString();
}

std::string QtClock::shortTime() const {
    return QLocale::system().toString(QTime::currentTime(), QLocale::ShortFormat).toStdString();
}

std::string QtClock::longTime() const {
    // The locale's long time format, without the time zone it may carry: "14:03:27".
    QString format = QLocale::system().timeFormat(QLocale::LongFormat);
    format.remove(QLatin1Char('t'));
    return QTime::currentTime().toString(format.trimmed()).toStdString();
}

double QtClock::now() const {
    return static_cast<double>(QDateTime::currentMSecsSinceEpoch()) / 1000.0;
}

void QtClock::sleepMs(int ms) {
    QThread::msleep(static_cast<unsigned long>(ms < 0 ? 0 : ms));
}

} // namespace qv::platform::qt
