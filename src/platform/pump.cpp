#include "platform/pump.h"

#include <QCoreApplication>
#include <QCursor>
#include <QEventLoop>
#include <QGuiApplication>
#include <QTimer>

namespace platform {

void yield(int count) {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    if (count <= 0) return;
    // One timer for the whole pause: the loop sleeps in the event dispatcher, not in a spin.
    QEventLoop loop;
    QTimer::singleShot(count * kYieldSliceMs, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

BusyPointer::BusyPointer() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }

BusyPointer::~BusyPointer() { QGuiApplication::restoreOverrideCursor(); }

}  // namespace platform
