#include "settings/rest_time.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>

namespace settings {

namespace {

// The text as a finite number; nullopt when it is none (spaces around it are allowed).
std::optional<double> numberIn(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return std::nullopt;
    const size_t last = text.find_last_not_of(" \t");
    const char* begin = text.data() + first;
    const char* end = text.data() + last + 1;
    if (*begin == '+') ++begin;
    double value = 0;
    const auto [stop, error] = std::from_chars(begin, end, value);
    if (error != std::errc() || stop != end || !std::isfinite(value)) return std::nullopt;
    return value;
}

std::string numberText(double value) {
    char buffer[400];  // room for any double in plain decimal form
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    return std::string(buffer, result.ptr);
}

// A stored length: a positive number, else the default.
double lengthOr(const std::optional<std::string>& text, double fallback) {
    const std::optional<double> value = text ? numberIn(*text) : std::nullopt;
    return value && *value > 0 ? *value : fallback;
}

int16_t smallInteger(double value) { return int16_t(std::clamp(value, -32768.0, 32767.0)); }

bool localTime(double time, std::tm& out) {
    if (!std::isfinite(time) || std::fabs(time) > 1e15) return false;
    const std::time_t seconds = std::time_t(std::floor(time));
    const std::tm* local = std::localtime(&seconds);
    if (!local) return false;
    out = *local;
    return true;
}

}  // namespace

std::optional<std::string> MemoryRestValues::read(const std::string& key) const {
    const auto found = values.find(key);
    if (found == values.end()) return std::nullopt;
    return found->second;
}

std::string durationText(double seconds) {
    if (!(seconds > 0)) seconds = 0;
    const auto total = static_cast<long long>(std::floor(std::min(seconds, 1e12)));
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%02lld:%02lld:%02lld", total / 3600, total / 60 % 60, total % 60);
    return buffer;
}

double storedNumber(const std::string& text) { return numberIn(text).value_or(0); }

std::string dateTimeText(double time) {
    std::tm local{};
    if (!localTime(time, local)) return {};
    char buffer[64];
    return std::strftime(buffer, sizeof buffer, "%Y-%m-%d %H:%M:%S", &local) ? std::string(buffer) : std::string();
}

std::optional<double> parseDateTime(const std::string& text) {
    std::tm local{};
    int used = 0;
    if (std::sscanf(text.c_str(), "%4d-%2d-%2d %2d:%2d:%2d%n", &local.tm_year, &local.tm_mon, &local.tm_mday,
                    &local.tm_hour, &local.tm_min, &local.tm_sec, &used) != 6 ||
        size_t(used) != text.size())
        return std::nullopt;
    if (local.tm_mon < 1 || local.tm_mon > 12 || local.tm_mday < 1 || local.tm_mday > 31 || local.tm_hour > 23 ||
        local.tm_min > 59 || local.tm_sec > 60)
        return std::nullopt;
    local.tm_year -= 1900;
    local.tm_mon -= 1;
    local.tm_isdst = -1;
    const std::time_t seconds = std::mktime(&local);
    if (seconds == std::time_t(-1)) return std::nullopt;
    return double(seconds);
}

int dayOfMonth(double time) {
    std::tm local{};
    return localTime(time, local) ? local.tm_mday : 0;
}

double systemNow() {
    using namespace std::chrono;
    return duration<double>(system_clock::now().time_since_epoch()).count();
}

ModRestTime::ModRestTime(RestValues& values, Seams seams) : values_(values), seams_(std::move(seams)) {}

double ModRestTime::readRestValue(const std::string& key) const {
    const std::optional<std::string> text = values_.read(key);
    return text ? storedNumber(*text) : 0;
}

void ModRestTime::writeRestValue(const std::string& key, double value) { values_.write(key, numberText(value)); }

void ModRestTime::startRestControl() {
    loadRestSettings();
    startReadingSegment();
    started_ = true;
}

void ModRestTime::loadRestSettings() {
    // A length of 0 or below would make reading or resting impossible: such values are odd
    // settings and give the defaults.
    restTimeLen = lengthOr(values_.read("restTimeLen"), kDefaultRestTimeLen);
    segTimeLen = lengthOr(values_.read("segTimeLen"), kDefaultSegTimeLen);
    const std::optional<std::string> flag = values_.read("illegalEndFlag");
    const std::optional<double> flagValue = flag ? numberIn(*flag) : std::nullopt;
    illegalEndFlag = flagValue ? smallInteger(*flagValue) : 1;
}

void ModRestTime::saveRestSettings() {
    if (!started_) return;  // nothing was measured
    writeRestValue("restTimeLen", restTimeLen);
    writeRestValue("segTimeLen", segTimeLen);
    writeRestValue("illegalEndFlag", illegalEndFlag);
    saveSessionTime();
}

void ModRestTime::startReadingSegment() {
    updateReadingDay();
    segStartTime = now();
    segEndTime = segStartTime + segTimeLen;
}

void ModRestTime::updateReadingDay() {
    const double at = now();
    sprgStartTime = at;
    theDay = smallInteger(readRestValue("theDay"));
    const int today = dayOfMonth(at);
    if (today != theDay) {
        theDay = int16_t(today);
        prgStartTime = at;
        prgTimeLen = 0;
        values_.write("prgStartTime", dateTimeText(prgStartTime));
        writeRestValue("prgTimeLen", prgTimeLen);
        writeRestValue("theDay", theDay);
        return;
    }
    const std::optional<std::string> start = values_.read("prgStartTime");
    const std::optional<double> startTime = start ? parseDateTime(*start) : std::nullopt;
    if (startTime) {
        prgStartTime = *startTime;
    } else {
        prgStartTime = at;
        values_.write("prgStartTime", dateTimeText(prgStartTime));
    }
    if (const std::optional<std::string> length = values_.read("prgTimeLen")) {
        prgTimeLen = std::max(storedNumber(*length), 0.0);
    } else {
        prgTimeLen = std::max(secondsSince(prgStartTime), 0.0);
        writeRestValue("prgTimeLen", prgTimeLen);
    }
}

void ModRestTime::saveSessionTime() {
    sprgTimeLen = secondsSince(sprgStartTime);
    // The stored day total includes this run; prgTimeLen itself stays the total before the
    // run, so saving again (each library change saves) does not count the run twice.
    writeRestValue("prgTimeLen", prgTimeLen + sprgTimeLen);
    values_.write("sprgStartTime", dateTimeText(sprgStartTime));
    writeRestValue("sprgTimeLen", sprgTimeLen);
}

void ModRestTime::checkRestTime() {
    // The main window's timer keeps ticking while the rest window's modal loop runs.
    if (resting_ || !started_) return;
    if (readRestValue("illegalEndFlag") != 0) {
        restTimeNead = readRestValue("restTimeNead");
        if (restTimeNead < 0) {
            restTimeNead = 0;
            writeRestValue("illegalEndFlag", illegalEndFlag);
            writeRestValue("restTimeNead", 0);
            return;
        }
        if (restTimeNead > 0) {
            // A rest never owes more than a full rest, whatever the file says.
            restTimeNead = std::min(restTimeNead, restTimeLen);
            rest();
            return;
        }
    }
    if (now() > segEndTime) {
        restTimeNead = restTimeLen;
        illegalEndFlag = 1;
        writeRestValue("illegalEndFlag", illegalEndFlag);
        writeRestValue("restTimeNead", restTimeNead);
        rest();
    }
}

void ModRestTime::rest() {
    resting_ = true;
    const bool completed = seams_.showRestWindow ? seams_.showRestWindow(*this) : true;
    resting_ = false;
    if (!completed) return;
    startReadingSegment();
    illegalEndFlag = 0;
    restTimeNead = 0;
    writeRestValue("illegalEndFlag", 0);
    writeRestValue("restTimeNead", 0);
}

std::string ModRestTime::todayReadingText() const { return durationText(prgTimeLen + secondsSince(sprgStartTime)); }

std::string ModRestTime::sessionReadingText() const { return durationText(secondsSince(sprgStartTime)); }

RestPeriod::RestPeriod(ModRestTime& control)
    : control_(control), restStartTime_(control.now()), restEndTime_(restStartTime_ + control.restTimeNead) {}

RestPeriod::Tick RestPeriod::tick() {
    Tick shown;
    const double at = control_.now();
    if (at > restEndTime_) {
        shown.over = true;
        return shown;
    }
    control_.writeRestValue("prgTimeLen", control_.prgTimeLen + (at - control_.sprgStartTime));
    const double remaining = control_.restTimeNead - (at - restStartTime_);
    control_.writeRestValue("restTimeNead", remaining);
    // Whole minutes, halves to the even number.
    const double minutes = std::nearbyint(std::clamp(control_.restTimeLen / 60, -1e15, 1e15));
    shown.message = "Tired? Take a rest, Please!\r\n(Need " + std::to_string(static_cast<long long>(minutes)) +
                    " Minutes)";
    shown.progress = durationText(control_.restTimeLen - remaining);
    shown.dayTotal = control_.todayReadingText();
    return shown;
}

}  // namespace settings
