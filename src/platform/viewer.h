// One viewer per format family (text, picture, web, media, PDF, Office) behind one interface.
//
// A viewer that could not be created (its Qt module missing at build time, or failing at run
// time) is simply absent: makeViewer() returns null and its formats fall through to the next
// rows of the display table, ending with the operating system.
#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>

class QWidget;

namespace platform {

enum class ViewerKind { Web, Media, Flash, Pdf, Office };

class Viewer {
public:
    virtual ~Viewer() = default;
    virtual ViewerKind kind() const = 0;
    virtual QWidget* widget() = 0;
    // Shows a file (a path in the temporary folder, or the target of a link); false when the
    // viewer could not show it (the caller then hands the file to the operating system).
    virtual bool showFile(const QString& path) = 0;
    // Shows a web address ("url" links) — only the web viewer takes these.
    virtual bool showUrl(const QString& url) { return false; }
    // Stops playback / releases the file, and hides the widget.
    virtual void hideViewer() = 0;
    // Where the viewer reports, in plain words, what the status bar should say: why a file could
    // not be shown, the progress of a conversion, a hand-over to the operating system.
    void setStatusHandler(std::function<void(const QString&)> handler) { status_ = std::move(handler); }

protected:
    void reportStatus(const QString& text) const {
        if (status_) status_(text);
    }
    // True when path names an existing file; otherwise reports "File <path> not exist.".
    bool isShowableFile(const QString& path) const;

private:
    std::function<void(const QString&)> status_;
};

// Creates the viewer of that kind as a child of parent, or null when this build or this run
// cannot have it. The Flash viewer is always null on this platform.
std::unique_ptr<Viewer> makeViewer(ViewerKind kind, QWidget* parent);

}  // namespace platform
