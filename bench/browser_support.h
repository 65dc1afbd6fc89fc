// Shared set-up of the main-window benchmarks: a Qt application and a window on a library.
#pragma once

#include "browser/main_window.h"

#include <QApplication>
#include <memory>

namespace browser_bench {

inline void ensureApplication() {
    static int argc = 1;
    static char name[] = "bench";
    static char* argv[] = {name, nullptr};
    static QApplication* app = QApplication::instance() ? nullptr : new QApplication(argc, argv);
    (void)app;
}

// A shown window without run-time viewers, on the library.
inline std::unique_ptr<browser::MainWindow> windowOn(const std::string& library) {
    ensureApplication();
    browser::MainWindowSeams seams;
    seams.makeViewer = [](platform::ViewerKind, QWidget*) { return std::unique_ptr<platform::Viewer>(); };
    auto window = std::make_unique<browser::MainWindow>(std::move(seams));
    window->resize(1000, 700);
    window->show();
    window->loadWindow(QString::fromStdString(library));
    return window;
}

}  // namespace browser_bench
