#include "platform/pump.h"

#include <QCoreApplication>
#include <QCursor>
#include <QEventLoop>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace platform {

namespace {

// Set once a wait found that the application was asked to quit; cleared when the main loop has
// returned (every loop inside it has ended by then), so a later exec() runs normally.
bool quitSeen = false;
bool unpacedFrames = false;

void noteQuit() {
    if (quitSeen) return;
    quitSeen = true;
    if (QCoreApplication* app = QCoreApplication::instance())
        QObject::connect(app, &QCoreApplication::aboutToQuit, app, [] { quitSeen = false; },
                         Qt::SingleShotConnection);
}

// Runs a local event loop for ms milliseconds (0: what is pending now). QCoreApplication::exit,
// where quit() ends, leaves every running event loop and makes a loop started later return -1
// at once until the main loop has returned: a wait that ends before its time, or that does not
// start, is how a quit is noticed. Answers false then.
bool waitOnEventLoop(int ms) {
    QEventLoop loop;
    bool waited = false;
    QTimer::singleShot(std::max(ms, 0), Qt::PreciseTimer, &loop, [&] {
        waited = true;
        loop.exit(0);
    });
    const int code = loop.exec();
    if (code != 0 || !waited) noteQuit();
    return !quitSeen;
}

}  // namespace

bool quitting() {
    if (QCoreApplication::closingDown()) noteQuit();
    return quitSeen;
}

bool yield(int count) {
    if (quitting()) return false;
    return waitOnEventLoop(std::max(count, 0) * kYieldSliceMs);
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
    if (unpacedFrames) return waitOnEventLoop(0);
    const double now = double(clock_.nsecsElapsed()) / 1e6;
    // A late frame is not made up for: the next one is due a whole frame after this one.
    if (due_ < now) due_ = now + frameMs_ - std::fmod(now - due_, frameMs_);
    const int wait = int(std::lround(due_ - now));
    due_ += frameMs_;
    return waitOnEventLoop(wait);
}

void FramePacer::setUnpaced(bool unpaced) { unpacedFrames = unpaced; }

BusyPointer::BusyPointer() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }

BusyPointer::~BusyPointer() { QGuiApplication::restoreOverrideCursor(); }

}  // namespace platform
