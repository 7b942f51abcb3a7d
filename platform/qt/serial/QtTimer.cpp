#include "platform/qt/serial/QtTimer.h"

namespace qv::platform::qt {

QtTimer::QtTimer() {
    timer_.setTimerType(Qt::CoarseTimer);
    QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] {
        if (tick_)
            tick_();
    });
}

void QtTimer::start(int intervalMs, std::function<void()> tick) {
    tick_ = std::move(tick);
    timer_.start(intervalMs);
}

} // namespace qv::platform::qt
