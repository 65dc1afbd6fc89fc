// Helpers of the viewer tests: waiting on the event loop, a program folder of the test's own.
#pragma once

#include "support/temp_dir.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QThread>

#include <cstdlib>
#include <functional>

// Lets the event loop run until a condition holds or a time limit passes.
inline bool waitUntil(const std::function<bool()>& condition, int limitMs) {
    QDeadlineTimer deadline(limitMs);
    while (!condition()) {
        if (deadline.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}

// The program folder is a fresh folder for the test's lifetime; tmp() is its temporary folder.
class ScopedProgramFolder {
public:
    ScopedProgramFolder() {
        setenv("VYNE_HOME", home_.path().c_str(), 1);
        QDir().mkpath(QString::fromStdString(tmp("")));
    }
    ~ScopedProgramFolder() { unsetenv("VYNE_HOME"); }
    std::string tmp(const std::string& name) const { return home_.path() + "/tmp/" + name; }

private:
    testing_support::TempDir home_;
};
