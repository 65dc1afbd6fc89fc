#include "store/engine/value.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "store/engine/dao_date.h"
#include "store/engine/database.h"
#include "store/engine/names.h"

namespace engine {
namespace {

[[noreturn]] void mismatch(const char* to) {
    throw Error(ErrorCode::Generic, std::string("Type mismatch: the value cannot be read as ") + to);
}

[[noreturn]] void nullUse() { throw Error(ErrorCode::Generic, "Invalid use of Null"); }

// Text of a number, with surrounding spaces; nothing for other text.
bool parseNumber(const std::string& text, double& out) {
    const char* begin = text.c_str();
    while (*begin == ' ' || *begin == '\t') ++begin;
    if (!*begin) return false;
    char* end = nullptr;
    errno = 0;
    const double d = std::strtod(begin, &end);
    if (end == begin || errno == ERANGE) return false;
    while (*end == ' ' || *end == '\t') ++end;
    if (*end) return false;
    if (!std::isfinite(d)) return false;
    out = d;
    return true;
}

// Days from 1970-01-01 of a civil date (proleptic Gregorian).
long daysFromCivil(long y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long>(doe) - 719468;
}

void civilFromDays(long z, long& y, unsigned& m, unsigned& d) {
    z += 719468;
    const long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    y = static_cast<long>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y += m <= 2;
}

const long kUnixEpochInDaoDays = 25569;  // 1970-01-01 counted from 1899-12-30

}  // namespace

Date localNow() {
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    const long days = daysFromCivil(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday) + kUnixEpochInDaoDays;
    return Date{days + (tm.tm_hour * 3600 + tm.tm_min * 60 + tm.tm_sec) / 86400.0};
}

std::string formatDate(Date date) {
    if (!std::isfinite(date.days) || std::fabs(date.days) > 3e6) return std::to_string(date.days);
    const double whole = std::floor(date.days);
    long seconds = std::lround((date.days - whole) * 86400);
    long days = static_cast<long>(whole);
    if (seconds >= 86400) {
        seconds -= 86400;
        ++days;
    }
    long y;
    unsigned m, d;
    civilFromDays(days - kUnixEpochInDaoDays, y, m, d);
    char buf[64];
    if (seconds == 0) std::snprintf(buf, sizeof buf, "%04ld-%02u-%02u", y, m, d);
    else
        std::snprintf(buf, sizeof buf, "%04ld-%02u-%02u %02ld:%02ld:%02ld", y, m, d, seconds / 3600, seconds / 60 % 60,
                      seconds % 60);
    return buf;
}

bool Value::toBool() const {
    if (isNull()) nullUse();
    if (isBool()) return std::get<bool>(v_);
    if (isText()) {
        const std::string k = nameKey(std::get<std::string>(v_));
        if (k == "true") return true;
        if (k == "false") return false;
    }
    if (isBytes()) mismatch("Boolean");
    return toDouble() != 0;
}

int32_t Value::toLong() const {
    if (isNull()) nullUse();
    if (isLong()) return std::get<int32_t>(v_);
    if (isBool()) return std::get<bool>(v_) ? -1 : 0;
    const double d = std::nearbyint(toDouble());  // rounds half to even, as VB does
    if (!(d >= -2147483648.0 && d <= 2147483647.0)) throw Error(ErrorCode::Generic, "Overflow");  // NaN too
    return static_cast<int32_t>(d);
}

double Value::toDouble() const {
    if (isNull()) nullUse();
    if (isDouble()) return std::get<double>(v_);
    if (isLong()) return std::get<int32_t>(v_);
    if (isBool()) return std::get<bool>(v_) ? -1 : 0;
    if (isDate()) return std::get<Date>(v_).days;
    double d = 0;
    if (isText() && parseNumber(std::get<std::string>(v_), d)) return d;
    mismatch("a number");
}

Date Value::toDate() const {
    if (isNull()) nullUse();
    if (isDate()) return std::get<Date>(v_);
    if (isText()) {
        int y, mo, d, h = 0, mi = 0, s = 0;
        char sep1, sep2;
        const std::string& t = std::get<std::string>(v_);
        const int n = std::sscanf(t.c_str(), "%d%c%d%c%d %d:%d:%d", &y, &sep1, &mo, &sep2, &d, &h, &mi, &s);
        if (n >= 5 && sep1 == sep2 && (sep1 == '-' || sep1 == '/') && mo >= 1 && mo <= 12 && d >= 1 && d <= 31 &&
            h >= 0 && h < 24 && mi >= 0 && mi < 60 && s >= 0 && s < 60)
            return Date{static_cast<double>(daysFromCivil(y, mo, d) + kUnixEpochInDaoDays) +
                        (h * 3600 + mi * 60 + s) / 86400.0};
    }
    if (isBytes()) mismatch("a date");
    return Date{toDouble()};
}

std::string Value::toText() && {
    if (isText()) return std::move(std::get<std::string>(v_));
    return static_cast<const Value&>(*this).toText();
}

std::string Value::toText() const& {
    if (isNull()) nullUse();
    if (isText()) return std::get<std::string>(v_);
    if (isBool()) return std::get<bool>(v_) ? "True" : "False";
    if (isLong()) return std::to_string(std::get<int32_t>(v_));
    if (isDate()) return formatDate(std::get<Date>(v_));
    if (isBytes()) {
        const Bytes& b = std::get<Bytes>(v_);
        return std::string(b.begin(), b.end());
    }
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.15g", std::get<double>(v_));
    return buf;
}

Bytes Value::toBytes() && {
    if (isBytes()) return std::move(std::get<Bytes>(v_));
    return static_cast<const Value&>(*this).toBytes();
}

Bytes Value::toBytes() const& {
    if (isNull()) nullUse();
    if (isBytes()) return std::get<Bytes>(v_);
    if (isText()) {
        const std::string& s = std::get<std::string>(v_);
        return Bytes(s.begin(), s.end());
    }
    mismatch("bytes");
}

}  // namespace engine
