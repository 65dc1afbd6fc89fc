// Helpers of the viewer tests: waiting on the event loop, a program folder of the test's own.
#pragma once

#include "support/temp_dir.h"
#include "support/wait.h"

#include <QDir>

#include <cstdlib>

using testing_support::waitUntil;

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
