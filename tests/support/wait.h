// Waiting in tests of Qt code: the event loop runs until a condition holds or a deadline
// passes. Tests wait on what they expect, never for a fixed time.
#pragma once

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

#include <functional>

namespace testing_support {

// True once the condition holds, false when limitMs passed first. Between checks the thread
// sleeps in the event loop (events and timers run as they come).
inline bool waitUntil(const std::function<bool()>& condition, int limitMs) {
    QDeadlineTimer deadline(limitMs);
    while (!condition()) {
        if (deadline.hasExpired()) return false;
        QEventLoop loop;
        QTimer::singleShot(5, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

}  // namespace testing_support
