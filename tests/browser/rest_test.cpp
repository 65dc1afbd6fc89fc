// The rest window, and the main window's reading-time read-out and rest check.
#include "settings/ui/form_time_fix.h"
#include "support/wait.h"
#include "window_fixture.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QTimer>

namespace {

using browser_test::WindowTest;

class RestWindow : public ::testing::Test {
protected:
    settings::ModRestTime& started() {
        control.startRestControl();
        control.restTimeNead = 360;
        return control;
    }

    double clock = 1'000'000'000;
    settings::MemoryRestValues stored;
    settings::ModRestTime control{stored, {[this] { return clock; }, {}}};
};

TEST_F(RestWindow, CountsTheRestDownRefusesToCloseAndGoesWhenItIsOver) {
    settings::FormtimeFix window(started());
    window.open();
    EXPECT_EQ(window.windowTitle(), "Note");
    EXPECT_TRUE(window.isModal());
    EXPECT_EQ(window.Label1->text(), "You Have Readed Too Long");
    EXPECT_EQ(window.Label2->text(), "Tired? Take a rest, Please!\n(Need 6 Minutes)");
    EXPECT_EQ(window.Label3->text(), "00:00:00");
    EXPECT_EQ(window.Timer1->interval(), 100);

    clock += 100;
    window.timerTick();
    EXPECT_EQ(window.Label3->text(), "00:01:40");
    EXPECT_EQ(window.Label4->text(), "00:01:40");  // the day's time counts on during the rest
    EXPECT_EQ(stored.read("restTimeNead"), "260");

    window.close();
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(&window, &escape);
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(window.completed());

    clock += 261;
    window.timerTick();
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.result(), QDialog::Accepted);
    EXPECT_TRUE(window.completed());
}

TEST_F(RestWindow, ItsModalRunEndsWithTheRest) {
    // A clock that moves a minute each time it is read: the rest is over within a few ticks.
    settings::ModRestTime fast(stored, {[this] { return clock += 60; }, {}});
    fast.startRestControl();
    fast.restTimeNead = 360;
    QWidget parent;
    EXPECT_TRUE(settings::runRestWindow(fast, &parent));
}

TEST_F(RestWindow, GoneBeforeItsTimeItReportsTheRestUnfinishedAndKeepsTheOwedTime) {
    started();
    QWidget parent;
    QTimer::singleShot(50, &parent, [&] {
        clock += 30;
        if (auto* window = parent.findChild<settings::FormtimeFix*>()) {
            window->timerTick();
            window->done(QDialog::Rejected);  // as when the program is ending
        }
    });
    EXPECT_FALSE(settings::runRestWindow(control, &parent));
    EXPECT_EQ(stored.read("restTimeNead"), "330");
}

// The main window with the test's clock and a rest window that records the rest and lets its
// time pass at once.
class ReadingTime : public WindowTest {
protected:
    browser::MainWindow& openWithClock() {
        if (!settings) settings = std::make_shared<browser::MemorySettingsStore>();
        browser::MainWindowSeams seams;
        seams.makeViewer = browser_test::fakeViewers;
        seams.settings = settings;
        seams.restNow = [this] { return clock; };
        seams.showRestWindow = [this](settings::ModRestTime& control, QWidget* parent) {
            rests.push_back(control.restTimeNead);
            restParents.push_back(parent);
            clock += control.restTimeNead + 1;
            return true;
        };
        window = std::make_unique<browser::MainWindow>(std::move(seams));
        window->show();
        window->loadWindow(QString::fromStdString(library));
        return *window;
    }

    settings::RestValues& stored() { return settings->restValues(); }

    double clock = 1'000'000'000;
    std::vector<double> rests;
    std::vector<QWidget*> restParents;
};

TEST_F(ReadingTime, TheTickShowsTheDaysAndTheRunsReadingTime) {
    settings = std::make_shared<browser::MemorySettingsStore>();
    stored().write("theDay", std::to_string(settings::dayOfMonth(clock)));
    stored().write("prgStartTime", settings::dateTimeText(clock - 7200));
    stored().write("prgTimeLen", "3600");
    browser::MainWindow& w = openWithClock();
    clock += 65;
    w.readingTimeTick();
    EXPECT_EQ(w.statusText(2), "01:01:05/00:01:05");
    EXPECT_TRUE(rests.empty());

    // Timer1 runs the tick.
    clock += 10;
    w.Timer1->setInterval(1);
    EXPECT_TRUE(testing_support::waitUntil([&] { return w.statusText(2) == "01:01:15/00:01:15"; }, 5000))
        << w.statusText(2).toStdString();
}

TEST_F(ReadingTime, TheRestWindowComesWhenTheSegmentIsOver) {
    browser::MainWindow& w = openWithClock();
    clock += 2400;
    w.readingTimeTick();
    EXPECT_TRUE(rests.empty());
    clock += 1;
    w.readingTimeTick();
    ASSERT_EQ(rests.size(), 1u);
    EXPECT_EQ(rests[0], 360);
    EXPECT_EQ(restParents[0], &w);
    EXPECT_EQ(stored().read("illegalEndFlag"), "0");
    EXPECT_TRUE(w.statusText(2).endsWith("/00:00:00"));  // the run's time starts again after a rest
}

TEST_F(ReadingTime, ARestOwedFromTheLastRunComesAtTheFirstTick) {
    settings = std::make_shared<browser::MemorySettingsStore>();
    stored().write("illegalEndFlag", "1");
    stored().write("restTimeNead", "260");
    browser::MainWindow& w = openWithClock();
    w.readingTimeTick();
    ASSERT_EQ(rests.size(), 1u);
    EXPECT_EQ(rests[0], 260);
}

TEST_F(ReadingTime, SavingTheSettingsSavesTheReadingTime) {
    browser::MainWindow& w = openWithClock();
    clock += 120;
    w.shutdown();
    EXPECT_EQ(stored().read("restTimeLen"), "360");
    EXPECT_EQ(stored().read("segTimeLen"), "2400");
    EXPECT_EQ(stored().read("sprgTimeLen"), "120");
    EXPECT_EQ(stored().read("prgTimeLen"), "120");
}

TEST(RestSettingsFile, TheValuesAreWrittenAtOnceAndSurviveTheWholeSettingsBeingSaved) {
    testing_support::TempDir dir;
    const std::string file = dir.file("vyne.ini");
    auto first = browser::makeIniSettingsStore(file);
    first->restValues().write("restTimeNead", "260");
    first->restValues().write("prgStartTime", "2026-03-05 09:00:00");
    first->save(browser::BrowserSettings{});
    auto next = browser::makeIniSettingsStore(file);
    EXPECT_EQ(next->restValues().read("restTimeNead"), "260");
    EXPECT_EQ(next->restValues().read("prgStartTime"), "2026-03-05 09:00:00");
    EXPECT_EQ(next->restValues().read("illegalEndFlag"), std::nullopt);
    EXPECT_EQ(testing_support::readFile(file).find("[prgControl]") != std::string::npos, true);
}

}  // namespace
