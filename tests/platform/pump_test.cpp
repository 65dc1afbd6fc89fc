// The message pump's waits: a frame pacer that waits for each frame, and the end of every wait
// once the program is asked to quit, so that no loop spins or pauses on after a quit.
#include "platform/pump.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>

namespace {

// Runs body inside the application's main loop; returns once that loop has returned.
void inMainLoop(const std::function<void()>& body) {
    QTimer::singleShot(0, body);
    QCoreApplication::exec();
}

struct Quit {
    const char* name;
    void (*ask)();
};
const Quit kQuits[] = {
    {"quit", [] { QCoreApplication::quit(); }},
    {"exit(0)", [] { QCoreApplication::exit(0); }},
    {"exit(3)", [] { QCoreApplication::exit(3); }},
};

TEST(Pump, AQuitEndsARunningPauseAndNoLaterWaitPauses) {
    for (const Quit& quit : kQuits) {
        bool during = true, pending = true, later = true, frame = true, seen = false;
        qint64 pauseMs = -1, laterMs = -1;
        inMainLoop([&] {
            QTimer::singleShot(20, quit.ask);
            QElapsedTimer clock;
            clock.start();
            during = platform::yield(1500);  // 15 s, unless the quit ends it
            pauseMs = clock.elapsed();
            clock.restart();
            pending = platform::yield(0);
            later = platform::yield(1500);
            platform::FramePacer pacer(nullptr);
            frame = pacer.next();
            laterMs = clock.elapsed();
            seen = platform::quitting();
        });
        EXPECT_FALSE(during) << quit.name;
        EXPECT_LT(pauseMs, 10'000) << quit.name << ": the pause outlived the quit";
        EXPECT_FALSE(pending) << quit.name;
        EXPECT_FALSE(later) << quit.name;
        EXPECT_FALSE(frame) << quit.name;
        EXPECT_LT(laterMs, 10'000) << quit.name << ": a wait after the quit paused";
        EXPECT_TRUE(seen) << quit.name;
        // The quit is over once the main loop has returned: a later main loop waits again.
        EXPECT_FALSE(platform::quitting()) << quit.name;
        EXPECT_TRUE(platform::yield(1)) << quit.name;
    }
}

TEST(Pump, AFrameLoopEndsWithinAFrameOfAQuitPacedOrNot) {
    for (const bool unpaced : {false, true}) {
        for (const Quit& quit : kQuits) {
            platform::FramePacer::setUnpaced(unpaced);
            int frames = 0, framesAtQuit = -1;
            inMainLoop([&] {
                platform::FramePacer pacer(nullptr);
                QTimer::singleShot(50, [&] {
                    framesAtQuit = frames;
                    quit.ask();
                });
                // A loop that spun on after the quit would run into the cap.
                while (frames < 1'000'000 && pacer.next()) ++frames;
            });
            platform::FramePacer::setUnpaced(false);
            EXPECT_GE(framesAtQuit, 0) << quit.name;
            EXPECT_LE(frames, framesAtQuit + 1) << quit.name << (unpaced ? " unpaced" : " paced");
        }
    }
}

TEST(Pump, FramePacerWaitsForEachFrame) {
    platform::FramePacer pacer(nullptr);
    EXPECT_GT(pacer.frameMs(), 1.0);
    EXPECT_LE(pacer.frameMs(), 50.0);
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < 10; ++i) ASSERT_TRUE(pacer.next());
    EXPECT_GE(double(clock.elapsed()), 9 * pacer.frameMs()) << "frames come no faster than the display's";
}

}  // namespace
