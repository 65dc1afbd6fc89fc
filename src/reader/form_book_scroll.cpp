// Automatic scrolling. The loop runs inside the Command1 handler and waits for each display
// frame on the event loop, so keys and clicks run meanwhile; they only set the stop flag or
// change the level, which the loop reads once a frame. The position follows elapsed time, not a
// count of frames, so the speed holds when frames come late on a loaded machine.
#include "reader/form_book.h"

#include "platform/pump.h"

#include <QAbstractTextDocumentLayout>
#include <QPointer>
#include <QScrollBar>
#include <QTextEdit>
#include <algorithm>
#include <cmath>

namespace reader {

namespace {

constexpr double kFrameSeconds = 1.0 / 60;
constexpr double kPausePerLevelSeconds = 1.0 / 16;

// The text is at `from` pixels at `sinceMs` and moves at the speed of `level`.
struct Motion {
    double from;
    qint64 sinceMs;
    int level;

    double at(qint64 ms) const { return from + autoScrollSpeed(level) * double(ms - sinceMs) / 1000.0; }
};

}  // namespace

double autoScrollSpeed(int level) {
    return 1.0 / (kFrameSeconds + kPausePerLevelSeconds * std::clamp(level, 0, kSpeedLevels - 1));
}

// About two lines of the text's font.
int FormBook::lookAhead() const { return std::max(int(std::lround(rt1->fontMetrics().lineSpacing() * 2.2)), 1); }

bool FormBook::nearTextEnd() {
    const QScrollBar* bar = rt1->verticalScrollBar();
    const int reach = bar->value() + lookAhead();
    if (reach <= bar->maximum()) return false;
    // A long text is laid out bit by bit while it is shown, and the scroll range follows the
    // laid-out part a moment later: the end is near only by the height of the whole text.
    const qreal height = rt1->document()->documentLayout()->documentSize().height();
    return reach > int(std::ceil(height)) - rt1->viewport()->height();
}

void FormBook::autoScroll() {
    if (scrolling_) return;
    QPointer<FormBook> alive(this);
    scrolling_ = true;
    // No background change while the text moves; the text box is opaque meanwhile.
    const int showTime = shared_.backPicShowTime;
    shared_.backPicShowTime = 0;
    stop_ = false;
    rt1->setFocus();
    clearTransparency();

    // Copies: the reader may be destroyed while a frame is awaited.
    platform::FramePacer pacer(this);
    const std::function<bool()> nextFrame = links_.nextFrame ? links_.nextFrame : [&pacer] { return pacer.next(); };
    const std::function<qint64()> clockMs =
        links_.scrollClockMs ? links_.scrollClockMs : [&pacer] { return pacer.elapsed(); };
    // False once the scroll is to end; the reader is then possibly gone.
    const auto frame = [&] { return nextFrame() && alive && !stop_; };

    QScrollBar* bar = rt1->verticalScrollBar();
    Motion motion{double(bar->value()), clockMs(), shared_.wSleep};
    int shown = bar->value();
    while (frame()) {
        qint64 now = clockMs();
        if (bar->value() != shown) motion = {double(bar->value()), now, shared_.wSleep};  // moved by hand
        else if (shared_.wSleep != motion.level) motion = {motion.at(now), now, shared_.wSleep};
        if (nearTextEnd()) {
            const qint64 restUntil = now + kNextDocPauseMs;
            bool rested = true;
            while (rested && clockMs() < restUntil) rested = frame();
            if (!rested) break;
            showNextDoc(1);
            bar->setValue(0);
            now = clockMs();
            motion = {0.0, now, shared_.wSleep};
        }
        bar->setValue(int(std::lround(motion.at(now))));
        shown = bar->value();
    }
    if (!alive) return;
    shared_.backPicShowTime = showTime;
    scrolling_ = false;
    drawFixedBackPic();
}

}  // namespace reader
