// Whole-file reading and writing of bytes and code page 936 text.
#include "util/codepage.h"
#include "util/file_io.h"
#include "util/file_path.h"
#include "util/html_text.h"
#include "util/path_text.h"

#include <cstdio>
#include <fstream>

namespace fs = std::filesystem;
using util::toFsPath;

namespace {

// The file's lines, split at CR LF, CR or LF; a final line end adds no empty line.
std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

// True if the bytes are well-formed UTF-8.
bool validUtf8(const std::vector<uint8_t>& b) {
    for (size_t i = 0; i < b.size();) {
        uint8_t c = b[i];
        size_t len = c < 0x80 ? 1 : (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 0;
        if (len == 0 || i + len > b.size()) return false;
        for (size_t k = 1; k < len; ++k)
            if ((b[i + k] & 0xC0) != 0x80) return false;
        i += len;
    }
    return true;
}

}  // namespace

int64_t clsFilePath::loadBinFile(const std::string& file, Bytes& bytes) const {
    std::ifstream in(toFsPath(file), std::ios::binary | std::ios::ate);
    if (!in) return 0;
    std::streamoff size = in.tellg();
    if (size <= 0) return 0;
    Bytes data(static_cast<size_t>(size));
    in.seekg(0);
    if (!in.read(reinterpret_cast<char*>(data.data()), size)) return 0;
    bytes.swap(data);
    return static_cast<int64_t>(bytes.size());
}

void clsFilePath::loadBinFileLong(const std::string& file, std::vector<int32_t>& values) const {
    Bytes bytes;
    loadBinFile(file, bytes);
    values.assign(bytes.size() / 4 + 1, 0);
    for (size_t i = 0; i < bytes.size(); ++i)
        values[i / 4] = static_cast<int32_t>(static_cast<uint32_t>(values[i / 4]) | (uint32_t{bytes[i]} << (8 * (i % 4))));
}

int32_t clsFilePath::saveBinFile(const std::string& file, const Bytes& bytes) {
    if (bytes.empty()) return 0;
    return util::replaceFile(file, bytes) ? 1 : 0;
}

std::string clsFilePath::loadTxtFile(const std::string& file) const {
    Bytes bytes;
    loadBinFile(file, bytes);
    return util::ansiToUtf8(bytes);
}

std::string clsFilePath::getFromTxtFile(const std::string& file) const { return loadTxtFile(file); }

std::string clsFilePath::loadTxtFileWithConv(const std::string& file) const {
    Bytes bytes;
    if (loadBinFile(file, bytes) == 0) return {};
    if (binIsUnicode(bytes))
        unicode2ANSI(bytes);
    else if (binIsUTF8(bytes))
        UTF82ANSI(bytes);
    return util::ansiToUtf8(bytes);
}

void clsFilePath::saveTxtFile(const std::string& file, const std::string& text) {
    util::replaceFile(file, util::utf8ToAnsi(text));
}

int32_t clsFilePath::loadTxtListFile(const std::string& file, List& lines) const {
    lines.clear();
    for (auto& line : splitLines(loadTxtFile(file))) {
        std::string trimmed = trim(line);
        if (!trimmed.empty()) lines.push_back(std::move(trimmed));
    }
    return static_cast<int32_t>(lines.size());
}

void clsFilePath::saveTxtListFile(const std::string& file, const List& lines) {
    std::string text;
    for (const auto& line : lines) text += line + "\r\n";
    saveTxtFile(file, text);
}

bool clsFilePath::appendToTxtFile(const std::string& file, const std::string& text) {
    Bytes bytes = util::utf8ToAnsi(text + "\r\n");
    std::ofstream out(toFsPath(file), std::ios::binary | std::ios::app);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

bool clsFilePath::add2TxtFile(const std::string& file, const std::string& text) { return appendToTxtFile(file, text); }

std::string clsFilePath::delAllSpaceLines(const std::string& file) const {
    std::string out;
    for (const auto& line : splitLines(loadTxtFile(file)))
        if (!isNullLine(line)) out += line + "\r\n";
    return out;
}

std::string clsFilePath::loadHtmToTxt(const std::string& file) const {
    Bytes bytes;
    if (loadBinFile(file, bytes) == 0) return {};
    std::string html;
    if (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE)
        html = util::utf16leToUtf8(bytes.data() + 2, bytes.size() - 2);
    else if (validUtf8(bytes))
        html.assign(bytes.begin(), bytes.end());
    else
        html = util::ansiToUtf8(bytes);
    return util::htmlBodyText(html);
}
