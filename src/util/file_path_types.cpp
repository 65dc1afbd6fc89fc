// File-type families, the URL test, opening files with the desktop, and text scrambling.
#include "util/codepage.h"
#include "util/file_path.h"
#include "util/hooks.h"
#include "util/path_text.h"

#include <algorithm>
#include <cstdio>
#include <initializer_list>
#include <random>
#include <string_view>

namespace {

bool inFamily(const std::string& extension, std::initializer_list<std::string_view> family) {
    std::string ext = util::asciiLower(extension);
    return std::find(family.begin(), family.end(), ext) != family.end();
}

constexpr std::string_view kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789abcdefghijklmnopqrstuvwxyz";

}  // namespace

bool clsFilePath::isWMPLiked(const std::string& e) {
    return inFamily(e, {"avi", "wav", "mid", "wma", "mpg", "mp3", "mp4", "wmv"});
}
bool clsFilePath::isHtmLiked(const std::string& e) {
    return inFamily(e, {"htm", "html", "asp", "aspx", "frm", "rm", "mht", "rmvb"});
}
bool clsFilePath::isTxtLiked(const std::string& e) {
    return inFamily(e, {"txt", "vbp", "bas", "frm", "cls", "c", "cpp", "h", "dsr"});
}
bool clsFilePath::isJpgLiked(const std::string& e) { return inFamily(e, {"jpg", "ico", "bmp", "pcx", "gif", "png", "tif"}); }
bool clsFilePath::isDocLiked(const std::string& e) { return inFamily(e, {"doc", "xls", "ppt", "pps", "pdf"}); }
bool clsFilePath::isLinked(const std::string& e) { return inFamily(e, {"url", "lnk", "link"}); }

bool clsFilePath::isURL(const std::string& text) { return util::asciiLower(text).find("http:") != std::string::npos; }

bool clsFilePath::shellShowFile(const std::string& file, const std::string& folder) {
    return util::openFile(file, folder.empty() ? getFilePathName(file) : folder);
}

bool clsFilePath::shellShowText(const std::string& text) {
    std::string file = tmpFileName("txt");
    saveTxtFile(file, text);
    return shellShowFile(file);
}

std::string clsFilePath::Encode(const std::string& text) {
    if (text.empty()) return {};
    thread_local std::mt19937 random{std::random_device{}()};
    std::uniform_int_distribution<int> salt(0, 5);
    std::string out;
    for (uint8_t b : util::utf8ToAnsi(text)) {
        int r = salt(random);
        int x = b ^ r;
        char pair[2] = {kAlphabet[static_cast<size_t>(x % 62)], kAlphabet[static_cast<size_t>(8 * (x / 62) + r)]};
        for (char c : pair) {
            char code[8];
            std::snprintf(code, sizeof code, "%04d", static_cast<int>(c));
            out += code;
        }
    }
    return out;
}

std::string clsFilePath::Decode(const std::string& text) {
    std::string digits = trim(text);
    if (digits.size() % 8 != 0) return {};
    std::vector<uint8_t> bytes;
    auto alphabetIndex = [&digits](size_t at) -> int {
        int code = 0;
        for (size_t k = at; k < at + 4; ++k) {
            if (digits[k] < '0' || digits[k] > '9') return -1;
            code = code * 10 + (digits[k] - '0');
        }
        size_t pos = code < 128 ? kAlphabet.find(static_cast<char>(code)) : std::string_view::npos;
        return pos == std::string_view::npos ? -1 : static_cast<int>(pos);
    };
    for (size_t at = 0; at < digits.size(); at += 8) {
        int p1 = alphabetIndex(at);
        int p2 = alphabetIndex(at + 4);
        if (p1 < 0 || p2 < 0) return {};
        int hi = p2 / 8;
        int r = p2 - 8 * hi;
        int value = (62 * hi + p1) ^ r;
        if (value > 255) return {};
        bytes.push_back(static_cast<uint8_t>(value));
    }
    return util::ansiToUtf8(bytes);
}
