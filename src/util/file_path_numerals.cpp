// Chinese numerals: writing a decimal number in Chinese and reading Chinese numerals back.
#include "util/file_path.h"
#include "util/hooks.h"
#include "util/text.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace {

constexpr std::array<std::string_view, 10> kDigits = {"○", "一", "二", "三", "四", "五", "六", "七", "八", "九"};
// The unit of each power of ten, 10^0 ... 10^15.
constexpr std::array<std::string_view, 16> kUnits = {"",   "十", "百", "千", "万", "十", "百", "千",
                                                     "亿", "十", "百", "千", "万", "十", "百", "千"};

void collapseZeros(std::string& text) {
    while (text.find("○○") != std::string::npos) util::replaceAll(text, "○○", "○");
}

bool allDigits(std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The value of a digit character (ordinary or capital form, ○ and 零 are 0), or -1.
int digitValue(std::string_view c) {
    static constexpr std::array<std::string_view, 10> capitals = {"零", "壹", "贰", "叁", "肆", "伍", "陆", "柒", "捌", "玖"};
    for (int d = 0; d < 10; ++d)
        if (c == kDigits[static_cast<size_t>(d)] || c == capitals[static_cast<size_t>(d)]) return d;
    return -1;
}

// The value of a unit character, or 0.
int64_t unitValue(std::string_view c) {
    if (c == "十" || c == "拾") return 10;
    if (c == "百" || c == "佰") return 100;
    if (c == "千" || c == "仟") return 1000;
    if (c == "万") return 10000;
    if (c == "亿") return 100000000;
    return 0;
}

constexpr int64_t kLimit = 1'000'000'000'000'000'000;  // beyond this a numeral is not read

// Reads Chinese numerals: units scale the digit before them (a unit without one counts once),
// 万 and 亿 scale everything before them; digits without any unit read positionally
// (二○一九 is 2019). Other characters are ignored. Nothing when the value is too large.
std::optional<int64_t> readChineseNumeral(std::string_view text) {
    auto chars = util::utf8Characters(text);
    bool hasUnits = std::any_of(chars.begin(), chars.end(), [](std::string_view c) { return unitValue(c) != 0; });
    // total: the 亿 part; wan: the 万 part below it; section: below 万; number: the last digit.
    int64_t total = 0, wan = 0, section = 0, number = 0;
    for (auto c : chars) {
        if (int d = digitValue(c); d >= 0) {
            if (hasUnits) {
                number = d;
            } else {
                if (total > kLimit / 10) return std::nullopt;
                total = total * 10 + d;
            }
            continue;
        }
        int64_t unit = unitValue(c);
        if (unit == 0) continue;
        if (unit < 10000) {
            section += (number == 0 ? 1 : number) * unit;
        } else {
            int64_t below = section + number + (unit == 100000000 ? total + wan : 0);
            if (below == 0) below = 1;  // a unit without a digit counts once
            if (below > kLimit / unit) return std::nullopt;
            if (unit == 10000) {
                wan += below * unit;
            } else {
                total = below * unit;
                wan = 0;
            }
            section = 0;
        }
        number = 0;
    }
    int64_t value = total + wan + section + number;
    if (value > kLimit) return std::nullopt;
    return value;
}

}  // namespace

std::string clsFilePath::NumToChineseNum(const std::string& number) {
    std::string text = trim(number);
    size_t dot = text.find('.');
    std::string integer = text.substr(0, dot);
    std::string decimals = dot == std::string::npos ? std::string() : text.substr(dot + 1);
    if (integer.empty() || !allDigits(integer) || !allDigits(decimals)) return {};
    integer.erase(0, std::min(integer.find_first_not_of('0'), integer.size() - 1));
    if (integer.size() > 16) {
        util::showMessage("数目太大，无法换算！请输入一亿亿以下的数字！", "错误提示");
        return {};
    }
    std::string out;
    for (size_t i = 0; i < integer.size(); ++i) {
        out += kDigits[static_cast<size_t>(integer[i] - '0')];
        out += kUnits[integer.size() - 1 - i];
    }
    if (integer == "0") {
        out = "○";
    } else {
        for (std::string_view unit : {"千", "百", "十"}) util::replaceAll(out, std::string("○") + std::string(unit), "○");
        collapseZeros(out);
        // A whole zero group between 亿 and the last group is written as one ○, not ○万.
        util::replaceAll(out, "亿○万", "亿○");
        collapseZeros(out);
        util::replaceAll(out, "○亿", "亿");
        util::replaceAll(out, "○万", "万");
        if (out.ends_with("○")) out.resize(out.size() - std::string_view("○").size());
        if (integer.size() == 2 && integer[0] == '1') out.erase(0, std::string_view("一").size());
    }
    if (!decimals.empty()) {
        out += "点";
        for (char d : decimals) out += kDigits[static_cast<size_t>(d - '0')];
    }
    return out;
}

std::string clsFilePath::ChineseNumToNum2(const std::string& numeral) {
    auto value = readChineseNumeral(numeral);
    return value ? std::to_string(*value) : std::string();
}

bool clsFilePath::isChineseNum(const std::string& character) {
    static constexpr std::string_view kNumerals = "○一二三四五六七八九十百零壹贰叁肆伍陆柒捌玖拾佰";
    auto chars = util::utf8Characters(character);
    return chars.size() == 1 && chars[0].size() > 1 && kNumerals.find(chars[0]) != std::string_view::npos;
}

std::string clsFilePath::replaceChineseNUm(const std::string& text) {
    auto chars = util::utf8Characters(text);
    auto isNumeral = [](std::string_view c) { return isChineseNum(std::string(c)); };
    auto first = std::find_if(chars.begin(), chars.end(), isNumeral);
    if (first == chars.end()) return text;
    auto last = std::find_if(chars.rbegin(), chars.rend(), isNumeral).base() - 1;
    size_t begin = static_cast<size_t>(first->data() - text.data());
    size_t end = static_cast<size_t>(last->data() - text.data()) + last->size();
    std::string value = ChineseNumToNum2(text.substr(begin, end - begin));
    if (value.empty()) return text;
    return text.substr(0, begin) + value + text.substr(end);
}
