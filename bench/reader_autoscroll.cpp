// The full-screen reader's auto-scroll over a 1 MB text, paced by the display:
// - autoscroll_speed: the pixels per second reached over 10 s at level 1 while a second thread
//   keeps one core busy, against level 1's nominal speed;
// - autoscroll_cpu: the process's processor time per wall time over 10 s at level 0, against
//   a tenth of one core.
#include "browser_support.h"
#include "support/bench.h"

#include "platform/pump.h"
#include "reader/form_book.h"

#include <QAbstractTextDocumentLayout>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QTextEdit>
#include <QTimer>

#include <sys/resource.h>

#include <atomic>
#include <stdexcept>
#include <thread>

namespace {

constexpr int kScrollMs = 10'000;
constexpr double kCpuShareLimit = 0.1;

// Left to the end of the process, as the application.
reader::FormBook* book = nullptr;

void setUp() {
    if (book) return;
    browser_bench::ensureApplication();
    const QString line = QStringLiteral("春眠不觉晓，处处闻啼鸟。夜来风雨声，花落知多少。The quick brown fox jumps over the lazy dog.\n");
    QString text;
    for (qsizetype bytes = 0; bytes < 1024 * 1024; bytes += line.toUtf8().size()) text += line;
    book = new reader::FormBook({}, {});
    book->resize(1280, 800);
    book->setBuffer(text);
    book->show();
    // All of the text laid out before the clock runs, as it is a moment after opening.
    book->rt1->document()->documentLayout()->documentSize();
    platform::yield(0);
    if (book->rt1->verticalScrollBar()->maximum() < 100'000) throw std::runtime_error("text not shown");
}

double processorSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

struct ScrollRun {
    double pixelsPerSecond = 0;
    double processorShare = 0;
};

// Scrolls from the top at the level for kScrollMs of wall time.
ScrollRun scrollFor(int level) {
    reader::ReaderShared shared;
    shared.wSleep = level;
    book->setShared(shared);
    QScrollBar* bar = book->rt1->verticalScrollBar();
    bar->setValue(0);
    platform::yield(0);
    ScrollRun run;
    QElapsedTimer wall;
    const double processorAtStart = processorSeconds();
    QTimer::singleShot(kScrollMs, Qt::PreciseTimer, book, [&] {
        const double seconds = double(wall.nsecsElapsed()) / 1e9;
        run.pixelsPerSecond = bar->value() / seconds;
        run.processorShare = (processorSeconds() - processorAtStart) / seconds;
        book->requestStop();
    });
    wall.start();
    book->autoScroll();
    return run;
}

double speedWithACoreBusy() {
    std::atomic<bool> busy{true};
    std::thread load([&busy] {
        double x = 1;
        while (busy.load(std::memory_order_relaxed)) {
            x = x * 1.0000001 + 1e-9;
            benchmark::DoNotOptimize(x);
        }
    });
    const ScrollRun run = scrollFor(1);
    busy = false;
    load.join();
    return run.pixelsPerSecond;
}

}  // namespace

void registerBenchmarks() {
    bench::sampled("autoscroll_speed", speedWithACoreBusy, [] { return reader::autoScrollSpeed(1); }, setUp);
    bench::sampled("autoscroll_cpu", [] { return scrollFor(0).processorShare; }, [] { return kCpuShareLimit; }, setUp);
}
