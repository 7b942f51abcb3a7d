#pragma once
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>

#include <functional>

namespace qv::link {

/// The one application object the Qt tests share.
inline QCoreApplication &testApp() {
    static int argc = 1;
    static char name[] = "tests_link_qt";
    static char *argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    return app;
}

/// Runs the event loop until the condition holds or the time is up; true when it holds.
inline bool runUntil(const std::function<bool()> &done, int timeoutMs = 5000) {
    testApp();
    QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    }
    return true;
}

/// Handles what is pending, many times over, without waiting for anything new.
inline void drainEvents(int rounds) {
    testApp();
    for (int k = 0; k < rounds; ++k)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}

} // namespace qv::link
