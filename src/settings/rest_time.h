// ModRestTime: the reading-time control. After a reading segment (2400 seconds unless set
// otherwise) it calls for a rest (360 seconds unless set otherwise) that blocks the program.
// The rest is kept in the settings file while it runs, so a program ended during a rest owes
// the remaining time at its next start. It also keeps the day's and the run's reading totals.
//
// Times are seconds since the epoch; lengths are seconds. Every stored value lives in section
// "prgControl" of the settings file, one key per item, written at once (RestValues).
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>

namespace settings {

// The section "prgControl", one key at a time; each write reaches the file at once.
class RestValues {
public:
    virtual ~RestValues() = default;
    // The stored text; nullopt when the key is missing.
    virtual std::optional<std::string> read(const std::string& key) const = 0;
    virtual void write(const std::string& key, const std::string& value) = 0;
};

class MemoryRestValues : public RestValues {
public:
    std::optional<std::string> read(const std::string& key) const override;
    void write(const std::string& key, const std::string& value) override { values[key] = value; }
    std::map<std::string, std::string> values;
};

// The seconds as "HH:MM:SS" (hours go on past 23; below 0 counts as 0).
std::string durationText(double seconds);
// A stored number: its value, or 0 for a text that is no finite number.
double storedNumber(const std::string& text);
// The local date-time as "YYYY-MM-DD HH:MM:SS", and back (nullopt for any other text).
std::string dateTimeText(double time);
std::optional<double> parseDateTime(const std::string& text);
// The day of the month of the time, in local time (0 when it cannot be told).
int dayOfMonth(double time);
// Now, in seconds since the epoch.
double systemNow();

class ModRestTime {
public:
    static constexpr double kDefaultRestTimeLen = 360;
    static constexpr double kDefaultSegTimeLen = 2400;

    struct Seams {
        std::function<double()> now = systemNow;
        // Shows the rest window modally until the owed time (restTimeNead) has passed; true
        // when the rest ran to its end, false when the window went before (the program is
        // ending), in which case the owed time stays stored.
        std::function<bool(ModRestTime&)> showRestWindow;
    };

    ModRestTime(RestValues& values, Seams seams);

    // Start-up: the lengths from the settings file, then the first reading segment.
    void startRestControl();
    void loadRestSettings();
    // The lengths and the flag, then the run's reading time; nothing before startRestControl.
    void saveRestSettings();
    void startReadingSegment();
    // The day's bookkeeping: a new day of the month starts the day's total at 0.
    void updateReadingDay();
    void saveSessionTime();
    // Called on every tick of the main window's timer: resumes an interrupted rest, or starts
    // a rest when the segment is over. Does nothing while a rest window is up, or before
    // startRestControl.
    void checkRestTime();

    // The day's reading time and the time since sprgStartTime, as "HH:MM:SS".
    std::string todayReadingText() const;
    std::string sessionReadingText() const;

    double now() const { return seams_.now(); }
    bool resting() const { return resting_; }

    double readRestValue(const std::string& key) const;
    void writeRestValue(const std::string& key, double value);

    double restTimeLen = kDefaultRestTimeLen;
    double segTimeLen = kDefaultSegTimeLen;
    int16_t illegalEndFlag = 1;  // 1 while a rest runs or is owed
    double restTimeNead = 0;     // rest time still owed
    double prgStartTime = 0;     // when reading began on the current day
    double prgTimeLen = 0;       // the day's reading time before the present run
    int16_t theDay = 0;          // the day of the month prgStartTime and prgTimeLen belong to
    double sprgStartTime = 0;    // start of the present run
    double sprgTimeLen = 0;      // length of the present run, when it was saved
    double segStartTime = 0;
    double segEndTime = 0;

private:
    // Runs the rest window for restTimeNead seconds; when the rest ran to its end, a new
    // segment starts and the flag and owed time are stored as 0.
    void rest();
    double secondsSince(double time) const { return now() - time; }

    RestValues& values_;
    Seams seams_;
    bool started_ = false;  // startRestControl has run
    bool resting_ = false;
};

// What the rest window shows: its period runs from its creation for the owed time.
class RestPeriod {
public:
    explicit RestPeriod(ModRestTime& control);

    struct Tick {
        bool over = false;  // the period has passed: the window goes
        std::string message, progress, dayTotal;
    };
    // One tick of the window's timer: while the period runs, stores the day's total and the
    // time still owed, and gives the texts of the labels.
    Tick tick();
    bool over() const { return control_.now() > restEndTime_; }

private:
    ModRestTime& control_;
    double restStartTime_;
    double restEndTime_;
};

}  // namespace settings
