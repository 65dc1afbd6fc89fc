// vyne-browser: the reader. One optional argument: a library file to open.
#include "browser/main_window.h"
#include "platform/dialogs.h"
#include "platform/pump.h"
#include "platform/shell.h"
#include "util/app_path.h"
#include "util/hooks.h"
#include "vyne_config.h"

#include <QApplication>
#include <QIcon>
#include <QStringList>
#include <QTimer>

#include <algorithm>

#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace {

void printHelp() {
    std::fputs("Usage: vyne-browser [LIBRARY]\n"
               "A reader for book libraries: walks a library's class tree, lists and shows its\n"
               "documents (text, web pages, pictures, PDF, media, Office documents), searches it,\n"
               "and reads text full screen.\n"
               "\n"
               "LIBRARY is a library file (.mdb, native or Jet 4) to open; without it the library\n"
               "shown last is opened again.\n"
               "\n"
               "  -h, --help     show this help and exit\n"
               "  --version      show the version and exit\n"
               "\n"
               "Settings and temporary files are kept in $XDG_DATA_HOME/vyne-browser (by default\n"
               "~/.local/share/vyne-browser), or in the folder named by VYNE_HOME.\n"
               "'vlib' is the command-line tool that makes and changes libraries.\n",
               stdout);
}

// --help and --version, answered without a display; false for every other command line.
bool answeredWithoutWindow(int argc, char** argv, int& code) {
    if (argc != 2) return false;
    const std::string_view arg = argv[1];
    if (arg == "--help" || arg == "-h") {
        printHelp();
    } else if (arg == "--version") {
        std::printf("vyne-browser %s\n", VYNE_VERSION);
    } else {
        return false;
    }
    code = 0;
    return true;
}

// Without a display Qt would only print its plugin diagnostics; one plain sentence is kinder.
bool hasDisplay() {
#if defined(Q_OS_LINUX) || defined(Q_OS_FREEBSD)
    return std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY") || std::getenv("QT_QPA_PLATFORM");
#else
    return true;
#endif
}

// For scripts/screenshot: shows the document titled VYNE_SHOT_TITLE, or else the first text
// document with a Chinese title, then writes a picture of the window to the file named by
// VYNE_SHOT and quits.
void takeScreenshot(browser::MainWindow& window, const QString& file, const QString& wantedTitle) {
    std::vector<int32_t> ids;
    window.cbook.getAllNRID(ids);
    for (int32_t id : ids) {
        const QString title = QString::fromStdString(window.cbook.BTByID(id));
        const bool chinese = std::any_of(title.begin(), title.end(), [](QChar c) { return c.unicode() >= 0x4E00; });
        const bool wanted = wantedTitle.isEmpty() ? chinese && clsFilePath::isTxtLiked(window.cbook.gsByid(id))
                                                  : title == wantedTitle;
        if (wanted && window.selectDocById(id)) {
            window.treeSelectionHandler();
            break;
        }
    }
    // Long enough for the web, PDF and Office viewers to draw.
    QTimer::singleShot(wantedTitle.isEmpty() ? 1500 : 6000, &window, [&window, file] {
        window.grab().save(file, "PNG");
        window.close();
        QApplication::quit();
    });
}

}  // namespace

int main(int argc, char** argv) {
    if (int code = 0; answeredWithoutWindow(argc, argv, code)) return code;
    if (!hasDisplay()) {
        std::fputs("VYNE Browser needs a graphical display: start it from a desktop session (or set DISPLAY).\n",
                   stderr);
        return 1;
    }
    QApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setApplicationName("VYNE Browser");
    QApplication::setApplicationVersion(VYNE_VERSION);
    // The desktop entry and the icon an installed program brings: the desktop matches windows
    // to the entry by this name.
    QGuiApplication::setDesktopFileName("org.vyne.VYNEBrowser");
    const QString installedIcon =
        QString::fromStdString(util::installedDataPath()) + "icons/org.vyne.VYNEBrowser-256.png";
    QApplication::setWindowIcon(QIcon::fromTheme("org.vyne.VYNEBrowser", QIcon(installedIcon)));

    util::setEventsHook([] { platform::yield(0); });
    util::setMessageHook([](const std::string& text, const std::string& title) {
        platform::showMessage(nullptr, QString::fromStdString(title), QString::fromStdString(text),
                              platform::MessageIcon::Information);
    });
    util::setOpenFileHook([](const std::string& file, const std::string&) {
        return !platform::openWithOS(QString::fromStdString(file)).has_value();
    });

    browser::MainWindowSeams seams;
    seams.settings = browser::makeIniSettingsStore(util::appPath() + util::appExeName() + ".ini");
    browser::MainWindow window(std::move(seams));
    window.show();
    window.loadWindow(QApplication::arguments().mid(1).join(' '));
    if (const char* shot = std::getenv("VYNE_SHOT"); shot && *shot)
        takeScreenshot(window, QString::fromLocal8Bit(shot), QString::fromLocal8Bit(std::getenv("VYNE_SHOT_TITLE")));
    return app.exec();
}
