#include "store/values.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <ctime>

#include "util/path_text.h"

namespace store {

int32_t longOrZero(const engine::Value& v) {
    try {
        return v.isNull() ? 0 : v.toLong();
    } catch (...) {
        return 0;
    }
}

bool boolOrFalse(const engine::Value& v) {
    try {
        return !v.isNull() && v.toBool();
    } catch (...) {
        return false;
    }
}

engine::Date dateOrZero(const engine::Value& v) {
    try {
        return v.isNull() ? engine::Date{} : v.toDate();
    } catch (...) {
        return {};
    }
}

std::string textOrEmpty(const engine::Value& v) {
    try {
        return v.isNull() ? std::string() : v.toText();
    } catch (...) {
        return {};
    }
}

bool equalsNoCase(const std::string& a, const std::string& b) {
    return util::asciiLower(a) == util::asciiLower(b);
}

void abandonEdit(engine::Recordset* rs) {
    try {
        if (rs && rs->editMode() != engine::EditMode::None) rs->cancelUpdate();
    } catch (...) {
    }
}

void replaceRecordset(std::unique_ptr<engine::Recordset>& slot, std::unique_ptr<engine::Recordset> rs) {
    if (slot) {
        try {
            slot->close();
        } catch (...) {
        }
    }
    slot = std::move(rs);
}

int32_t keyID(const std::string& key) {
    int64_t id = 0;
    for (char c : key) {
        if (c < '0' || c > '9') break;
        id = id * 10 + (c - '0');
        if (id > INT32_MAX) return 0;
    }
    return static_cast<int32_t>(id);
}

std::string firstChars(const std::string& utf8, int n) {
    size_t i = 0;
    for (int count = 0; i < utf8.size() && count < n; ++count) {
        ++i;
        while (i < utf8.size() && (static_cast<uint8_t>(utf8[i]) & 0xC0) == 0x80) ++i;
    }
    return utf8.substr(0, i);
}

engine::Date nowDate() { return localDate(std::time(nullptr)); }

engine::Date localDate(std::time_t t) {
    std::tm local{};
    localtime_r(&t, &local);
    // Days from 1899-12-30 to the local civil date, plus the time of day.
    std::tm base{};
    base.tm_year = local.tm_year;
    base.tm_mon = local.tm_mon;
    base.tm_mday = local.tm_mday;
    base.tm_hour = 12;
    std::time_t noon = timegm(&base);
    double days = std::floor(static_cast<double>(noon) / 86400.0) + 25569.0;
    double fraction = (local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec) / 86400.0;
    return engine::Date{days + fraction};
}

std::string formatDateYMDHM(engine::Date d) {
    // A damaged file may hold any number: beyond DAO's years 100 to 9999 nothing is shown.
    constexpr double kDaoDaysLimit = 3e6;
    if (!std::isfinite(d.days) || std::fabs(d.days) > kDaoDaysLimit) return {};
    // DAO dates before 1899-12-30 are negative with a positive time fraction.
    double whole = std::trunc(d.days);
    double fraction = std::fabs(d.days - whole);
    long long minutes = std::llround(fraction * 1440.0);
    if (minutes >= 1440) {
        minutes -= 1440;
        whole += d.days < 0 ? -1 : 1;
    }
    std::time_t t = static_cast<std::time_t>((whole - 25569.0) * 86400.0);
    std::tm civil{};
    gmtime_r(&t, &civil);
    char out[64];
    std::snprintf(out, sizeof out, "%d/%d/%d %lld:%lld", civil.tm_year + 1900, civil.tm_mon + 1,
                  civil.tm_mday, minutes / 60, minutes % 60);
    return out;
}

}  // namespace store
