// Automatic scrolling: one pixel a step, a pause between steps that grows with the speed level,
// and at the end of a text a longer pause before the next document comes in. The loop runs
// inside the Command1 handler and lets window events run during its pauses; keys and clicks
// only set the stop flag or change the level, which the loop reads at each step.
#include "reader/form_book.h"

#include "platform/pump.h"

#include <QPointer>
#include <QScrollBar>
#include <QTextEdit>
#include <cmath>

namespace reader {

namespace {

// The pauses are counted in yields: this many per speed level between two steps, and this
// many before the next document comes in.
constexpr int kYieldsPerLevel = 3'000;
constexpr int kYieldsBeforeNextDoc = 200'000;
// One platform yield slice (10 ms) is worth this many yields: level n waits n slices a pixel.
constexpr int kYieldsPerSlice = 3'000;

}  // namespace

void FormBook::pauseYields(int yields) {
    if (links_.pause) {
        links_.pause(yields);
        return;
    }
    QPointer<FormBook> alive(this);
    platform::yield(0);
    for (int slices = yields / kYieldsPerSlice; slices > 0 && alive && !stop_; --slices) platform::yield(1);
}

// About two lines of the text's font.
int FormBook::lookAhead() const { return std::max(int(std::lround(rt1->fontMetrics().lineSpacing() * 2.2)), 1); }

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
    while (!stop_) {
        scrollStep();
        if (!alive) return;
        if (stop_) break;
        pauseYields(shared_.wSleep * kYieldsPerLevel);
        if (!alive) return;
    }
    shared_.backPicShowTime = showTime;
    scrolling_ = false;
    drawFixedBackPic();
}

void FormBook::scrollStep() {
    QScrollBar* bar = rt1->verticalScrollBar();
    // The room kept below the text lets its end come up to the top; the next document comes in
    // once less than the look-ahead of text is left above that point.
    if (bar->value() + lookAhead() > bar->maximum()) {
        QPointer<FormBook> alive(this);
        pauseYields(kYieldsBeforeNextDoc);
        if (!alive || stop_) return;
        showNextDoc(1);
        bar->setValue(0);
    }
    bar->setValue(bar->value() + 1);
}

}  // namespace reader
