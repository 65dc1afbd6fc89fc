#include "platform/pump.h"

#include <QCoreApplication>
#include <QCursor>
#include <QEventLoop>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include <cmath>

namespace platform {

namespace {

bool quitSeen = false;
bool unpacedFrames = false;

// Waits ms milliseconds on a local event loop. A loop started after quit() returns at once with
// -1; that is how a quit is noticed from inside a nested loop.
bool waitOnEventLoop(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, Qt::PreciseTimer, &loop, [&loop] { loop.exit(0); });
    if (loop.exec() != 0) quitSeen = true;
    return !quitSeen;
}

}  // namespace

bool quitting() {
    if (quitSeen) return true;
    if (QCoreApplication::closingDown()) quitSeen = true;
    return quitSeen;
}

bool yield(int count) {
    if (quitting()) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    if (count <= 0) return !quitting();
    return waitOnEventLoop(count * kYieldSliceMs);
}

FramePacer::FramePacer(const QWidget* widget) {
    const QScreen* screen = widget ? widget->screen() : QGuiApplication::primaryScreen();
    const double hz = screen ? screen->refreshRate() : 0.0;
    frameMs_ = 1000.0 / (hz >= 20.0 && hz <= 500.0 ? hz : 60.0);
    clock_.start();
    due_ = frameMs_;
}

bool FramePacer::next() {
    if (quitting()) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    if (unpacedFrames) return !quitting();
    const double now = double(clock_.nsecsElapsed()) / 1e6;
    // A late frame is not made up for: the next one is due a whole frame after this one.
    if (due_ < now) due_ = now + frameMs_ - std::fmod(now - due_, frameMs_);
    const int wait = int(std::lround(due_ - now));
    due_ += frameMs_;
    if (wait <= 0) return !quitting();
    return waitOnEventLoop(wait);
}

void FramePacer::setUnpaced(bool unpaced) { unpacedFrames = unpaced; }

BusyPointer::BusyPointer() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }

BusyPointer::~BusyPointer() { QGuiApplication::restoreOverrideCursor(); }

}  // namespace platform
