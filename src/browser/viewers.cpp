// The run-time viewers: made at start-up in a fixed order, removed at shutdown. A missing
// viewer that could be installed is reported once the window is up with its title and library;
// the Flash viewer, which no one can install on this platform, is never reported.
#include "browser/main_window.h"

#include "platform/dialogs.h"

namespace browser {

using platform::ViewerKind;

void MainWindow::createViewers() {
    PDF1 = createViewer(ViewerKind::Pdf, "PDF1", "AcroPDF-OCX Not Found!",
                        "Please Install Adobe PDF Reader, Otherwise You Can't Read Book With Type of pdf!");
    FLASH1 = createViewer(ViewerKind::Flash, "FLASH1", {}, {});
    WMP1 = createViewer(ViewerKind::Media, "WMP1", "WMP-OCX Not Found!",
                        "Please Install Microsoft Media Player, Otherwise You Can't Read Book With Type of wmp!");
    WebBrowser1 = createViewer(
        ViewerKind::Web, "WebBrowser1", "WebBrowser-OCX not found!",
        "Please Install Microsoft Internet Explorer, Otherwise You Can't Read Book With Type of Web Page!");
    // Without the Office viewer, Office documents go to the operating system; that is no news.
    FramerControl1 = seams_.makeViewer(ViewerKind::Office, this);
    if (FramerControl1) {
        FramerControl1->setStatusHandler([this](const QString& text) { reportDisplayProblem(text); });
        FramerControl1->widget()->setObjectName("FramerControl1");
    }
}

std::unique_ptr<platform::Viewer> MainWindow::createViewer(ViewerKind kind, const char* name,
                                                           const QString& firstLine, const QString& secondLine) {
    std::unique_ptr<platform::Viewer> viewer = seams_.makeViewer(kind, this);
    if (viewer) {
        viewer->setStatusHandler([this](const QString& text) { reportDisplayProblem(text); });
        viewer->widget()->setObjectName(name);
        viewer->widget()->hide();
        return viewer;
    }
    if (!firstLine.isEmpty() && !settings_.silencedMessages.count(name))
        missingViewerNotes_.push_back({name, firstLine + "\n" + secondLine});
    return nullptr;
}

void MainWindow::showMissingViewerNotes() {
    const auto notes = std::move(missingViewerNotes_);
    missingViewerNotes_.clear();
    for (const auto& [name, text] : notes) {
        if (!platform::showMessageOfferingSilence(this, windowTitle(), text)) continue;
        settings_.silencedMessages.insert(name);
        storeSettings();
    }
}

void MainWindow::removeViewers() {
    for (auto* viewer : {&PDF1, &FLASH1, &WMP1, &WebBrowser1, &FramerControl1}) {
        if (*viewer) (*viewer)->hideViewer();
        viewer->reset();
    }
}

}  // namespace browser
