#include "settings/rest_time.h"

#include <gtest/gtest.h>

#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

using settings::ModRestTime;
using settings::RestPeriod;

// A local date-time, as the calendar of the machine running the test tells it.
double localAt(int year, int month, int day, int hour = 12, int minute = 0, int second = 0) {
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    t.tm_isdst = -1;
    return double(std::mktime(&t));
}

// One program run on the stored values: the clock is the test's, and the rest window is a
// stand-in that ticks once a second of the test's clock until the rest is over, or until the
// second the test ends the program at.
class RestControl : public ::testing::Test {
protected:
    struct Shown {
        double owed = 0;    // restTimeNead when the window came
        double lasted = 0;  // seconds until it went
        std::string message, firstProgress;
    };

    ModRestTime& run() {
        ModRestTime::Seams seams;
        seams.now = [this] { return clock; };
        seams.showRestWindow = [this](ModRestTime& control) { return restWindow(control); };
        control = std::make_unique<ModRestTime>(stored, std::move(seams));
        control->startRestControl();
        return *control;
    }

    bool restWindow(ModRestTime& control) {
        Shown shown;
        shown.owed = control.restTimeNead;
        const double opened = clock;
        RestPeriod period(control);
        for (;;) {
            control.checkRestTime();  // the main window's timer ticking meanwhile
            const RestPeriod::Tick tick = period.tick();
            if (tick.over) break;
            if (shown.message.empty()) {
                shown.message = tick.message;
                shown.firstProgress = tick.progress;
            }
            if (endProgramAt && clock - opened >= *endProgramAt) {
                endProgramAt.reset();
                shown.lasted = clock - opened;
                windows.push_back(shown);
                return false;
            }
            clock += 1;
        }
        shown.lasted = clock - opened;
        windows.push_back(shown);
        return true;
    }

    std::string value(const std::string& key) const { return stored.read(key).value_or("<missing>"); }

    // Ticks the main window's timer once a second until the clock shows `until`.
    void tickUntil(double until) {
        while (clock < until) {
            clock += 1;
            control->checkRestTime();
        }
    }

    settings::MemoryRestValues stored;
    double clock = localAt(2026, 3, 5, 9);
    double start = clock;
    std::optional<double> endProgramAt;  // seconds into a rest
    std::unique_ptr<ModRestTime> control;
    std::vector<Shown> windows;
};

TEST_F(RestControl, WithNothingStoredTheRestComesAfterTheSegmentAndLastsTheRestLength) {
    ModRestTime& c = run();
    EXPECT_EQ(c.restTimeLen, 360);
    EXPECT_EQ(c.segTimeLen, 2400);
    tickUntil(start + 2400);
    EXPECT_TRUE(windows.empty());
    tickUntil(start + 2401);
    ASSERT_EQ(windows.size(), 1u);  // the timer ticking during the rest opened no second window
    EXPECT_EQ(windows[0].owed, 360);
    EXPECT_NEAR(windows[0].lasted, 360, 1);
    EXPECT_EQ(windows[0].message, "Tired? Take a rest, Please!\r\n(Need 6 Minutes)");
    EXPECT_EQ(windows[0].firstProgress, "00:00:00");
    EXPECT_EQ(value("illegalEndFlag"), "0");
    EXPECT_EQ(value("restTimeNead"), "0");
    // A new segment started as the rest ended.
    EXPECT_EQ(c.segStartTime, clock);
    const double restEnded = clock;
    tickUntil(restEnded + 2400);
    EXPECT_EQ(windows.size(), 1u);
    tickUntil(restEnded + 2401);
    EXPECT_EQ(windows.size(), 2u);
}

TEST_F(RestControl, TheMessageNamesTheRestInWholeMinutesRoundedToEven) {
    const struct {
        const char* restTimeLen;
        const char* minutes;
    } cases[] = {{"90", "2"}, {"150", "2"}, {"210", "4"}, {"30", "0"}, {"600", "10"}};
    for (const auto& row : cases) {
        SCOPED_TRACE(row.restTimeLen);
        windows.clear();
        stored.values = {{"restTimeLen", row.restTimeLen}, {"illegalEndFlag", "0"}, {"segTimeLen", "10"}};
        start = clock;
        run();
        tickUntil(start + 11);
        ASSERT_EQ(windows.size(), 1u);
        EXPECT_EQ(windows[0].message, std::string("Tired? Take a rest, Please!\r\n(Need ") + row.minutes + " Minutes)");
    }
}

TEST_F(RestControl, AProgramEndedDuringARestOwesTheRemainderAtItsNextStart) {
    run();
    endProgramAt = 100;
    tickUntil(start + 2401);
    ASSERT_EQ(windows.size(), 1u);
    EXPECT_EQ(value("illegalEndFlag"), "1");
    EXPECT_NEAR(settings::storedNumber(value("restTimeNead")), 260, 1);

    // The next start, an hour later: the first tick shows the rest again for the time owed.
    clock += 3600;
    run();
    control->checkRestTime();
    ASSERT_EQ(windows.size(), 2u);
    EXPECT_NEAR(windows[1].owed, 260, 1);
    EXPECT_NEAR(windows[1].lasted, 260, 2);
    EXPECT_EQ(windows[1].firstProgress.substr(0, 5), "00:01");  // 100 of 360 seconds done before
    EXPECT_EQ(value("illegalEndFlag"), "0");
    EXPECT_EQ(value("restTimeNead"), "0");
}

TEST_F(RestControl, TheProgramSavingItsSettingsDuringARestKeepsTheRestOwed) {
    run();
    endProgramAt = 50;
    tickUntil(start + 2401);
    control->saveRestSettings();  // the shutdown that follows
    EXPECT_EQ(value("illegalEndFlag"), "1");
    EXPECT_NEAR(settings::storedNumber(value("restTimeNead")), 310, 1);
}

TEST_F(RestControl, AStoredOwedTimeIsHandledByItsSign) {
    const struct {
        const char* owed;
        size_t windows;
        double lasted;
        const char* after;  // the stored owed time afterwards
    } cases[] = {{"-20", 0, 0, "0"}, {"0", 0, 0, "0"}, {"120", 1, 120, "0"}, {"99999999", 1, 360, "0"},
                 {"junk", 0, 0, "junk"}};
    for (const auto& row : cases) {
        SCOPED_TRACE(row.owed);
        windows.clear();
        stored.values = {{"illegalEndFlag", "1"}, {"restTimeNead", row.owed}};
        run();
        control->checkRestTime();
        ASSERT_EQ(windows.size(), row.windows);
        if (row.windows) {
            EXPECT_NEAR(windows[0].lasted, row.lasted, 1);
        }
        EXPECT_EQ(value("restTimeNead"), row.after);
    }
}

TEST_F(RestControl, ARestWindowGoneBeforeItsTimeIsShownAgainAtTheNextTick) {
    run();
    endProgramAt = 30;
    tickUntil(start + 2401);
    ASSERT_EQ(windows.size(), 1u);
    control->checkRestTime();
    ASSERT_EQ(windows.size(), 2u);
    EXPECT_NEAR(windows[1].owed, 330, 1);
}

TEST_F(RestControl, BadStoredValuesGiveTheDefaults) {
    const char* const lengths[] = {"", "0", "-60", "abc", "nan", "inf", "12abc"};
    for (const char* text : lengths) {
        SCOPED_TRACE(text);
        stored.values = {{"restTimeLen", text}, {"segTimeLen", text}, {"prgStartTime", text}, {"theDay", "5"}};
        ModRestTime& c = run();
        EXPECT_EQ(c.restTimeLen, 360);
        EXPECT_EQ(c.segTimeLen, 2400);
        EXPECT_EQ(c.prgStartTime, clock);
    }
    for (const char* text : {"", "abc", "nan", "1x"}) {
        stored.values = {{"illegalEndFlag", text}};
        EXPECT_EQ(run().illegalEndFlag, 1) << text;
    }
    stored.values = {{"restTimeLen", " 90 "}, {"segTimeLen", "600"}, {"illegalEndFlag", "0"}};
    ModRestTime& c = run();
    EXPECT_EQ(c.restTimeLen, 90);
    EXPECT_EQ(c.segTimeLen, 600);
    EXPECT_EQ(c.illegalEndFlag, 0);
}

TEST_F(RestControl, TheDayTotalStartsAgainOnlyOnAnotherDayOfTheMonth) {
    const struct {
        const char* name;
        double lastStart;  // when reading began on the stored day
        int storedDay;
        double now;
        double total;  // prgTimeLen after the start
    } cases[] = {
        {"same day", localAt(2026, 3, 5, 8), 5, localAt(2026, 3, 5, 20), 1000},
        {"same day number, month before", localAt(2026, 2, 5, 8), 5, localAt(2026, 3, 5, 20), 1000},
        {"next day", localAt(2026, 3, 5, 8), 5, localAt(2026, 3, 6, 1), 0},
        {"no day stored", localAt(2026, 3, 5, 8), 0, localAt(2026, 3, 5, 20), 0},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.name);
        stored.values = {{"theDay", std::to_string(row.storedDay)},
                         {"prgStartTime", settings::dateTimeText(row.lastStart)},
                         {"prgTimeLen", "1000"}};
        clock = row.now;
        ModRestTime& c = run();
        EXPECT_EQ(c.prgTimeLen, row.total);
        EXPECT_EQ(c.theDay, settings::dayOfMonth(row.now));
        EXPECT_EQ(c.prgStartTime, row.total ? row.lastStart : row.now);
        EXPECT_EQ(value("theDay"), std::to_string(settings::dayOfMonth(row.now)));
    }
}

TEST_F(RestControl, TheReadingTotalsCountEachSecondOnceHoweverOftenTheyAreSaved) {
    stored.values = {{"theDay", "5"}, {"prgStartTime", settings::dateTimeText(start - 7200)}, {"prgTimeLen", "3600"}};
    ModRestTime& c = run();
    clock += 100;
    c.saveRestSettings();  // a library change
    clock += 100;
    c.saveRestSettings();  // the shutdown
    EXPECT_EQ(value("prgTimeLen"), "3800");
    EXPECT_EQ(value("sprgTimeLen"), "200");
    EXPECT_EQ(value("sprgStartTime"), settings::dateTimeText(start));
    EXPECT_EQ(value("restTimeLen"), "360");
    EXPECT_EQ(value("segTimeLen"), "2400");
    EXPECT_EQ(c.todayReadingText(), "01:03:20");
    EXPECT_EQ(c.sessionReadingText(), "00:03:20");

    clock += 600;
    EXPECT_EQ(run().prgTimeLen, 3800);  // the next run goes on from the stored total
}

TEST_F(RestControl, AMissingDayTotalIsTheTimeSinceReadingBeganThatDay) {
    stored.values = {{"theDay", "5"}, {"prgStartTime", settings::dateTimeText(start - 90)}};
    EXPECT_EQ(run().prgTimeLen, 90);
    EXPECT_EQ(value("prgTimeLen"), "90");
}

TEST(RestTexts, DurationsAndDateTimes) {
    const struct {
        double seconds;
        const char* text;
    } durations[] = {{0, "00:00:00"}, {59.9, "00:00:59"}, {3661, "01:01:01"}, {90000, "25:00:00"}, {-5, "00:00:00"}};
    for (const auto& row : durations) EXPECT_EQ(settings::durationText(row.seconds), row.text) << row.seconds;

    const double at = localAt(2026, 12, 31, 23, 59, 58);
    EXPECT_EQ(settings::dateTimeText(at), "2026-12-31 23:59:58");
    EXPECT_EQ(settings::parseDateTime("2026-12-31 23:59:58"), at);
    for (const char* bad : {"", "2026-12-31", "2026-13-01 00:00:00", "2026-12-31 23:59:58x", "yesterday"})
        EXPECT_FALSE(settings::parseDateTime(bad)) << bad;
}

}  // namespace
