// The one way long visual work lets the window breathe: a loop inside an event handler calls
// yield() or a FramePacer between its steps and re-reads its stop flag afterwards.
#pragma once

#include <QElapsedTimer>

class QWidget;

namespace platform {

// Length of one yield slice in milliseconds.
constexpr int kYieldSliceMs = 10;

// Processes pending window events, then waits count slices on the event loop (events keep
// running meanwhile), so a pause grows linearly with count. count <= 0 only processes what
// is pending and returns at once. Returns false once the application has been asked to quit
// (QCoreApplication::quit or exit): a wait running then ends at once, and every later call
// returns false without waiting, so a loop ends instead of spinning. That holds until the main
// loop (QCoreApplication::exec) has returned.
bool yield(int count = 0);

// Whether a yield or frame wait has found that the application is quitting, or it is being
// destroyed.
bool quitting();

// Paces motion by the display: next() lets events run, then waits on the event loop until one
// display frame of the widget's screen has passed since the last frame, so a loop draws at most
// once a frame and sleeps in between. Positions should follow elapsed() rather than a count of
// frames, so that speed holds when frames are late.
class FramePacer {
public:
    explicit FramePacer(const QWidget* widget);

    // Waits for the next frame; false once the application is quitting, as yield().
    bool next();
    // Milliseconds since the pacer was made.
    qint64 elapsed() const { return clock_.elapsed(); }
    // The frame length in milliseconds (the screen's refresh rate; 60 Hz when it is unknown).
    double frameMs() const { return frameMs_; }

    // Pacing off (benchmarks measuring raw frame production): next() only processes events.
    static void setUnpaced(bool unpaced);

private:
    QElapsedTimer clock_;
    double frameMs_;
    double due_;
};

// Shows the busy pointer while a long step runs on the window's thread, however it ends.
class BusyPointer {
public:
    BusyPointer();
    ~BusyPointer();
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;
};

}  // namespace platform
