// Files as documents: reading one file into a document, adding and rewriting it.
#include "store/edit_support.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

#include "store/ctreebook.h"
#include "store/values.h"
#include "util/codepage.h"
#include "util/path_text.h"

namespace store {
namespace edit {

namespace fs = std::filesystem;

namespace {

// Content sizes are 32-bit, and a document is held in memory whole (twice while it is
// compressed): larger files are refused rather than cut.
constexpr std::uintmax_t kLargestFile = 1u << 30;

bool validUtf8(const std::string& s) {
    size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<uint8_t>(s[i]);
        const int extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
        if (extra < 0 || (extra == 1 && c < 0xC2) || i + extra >= s.size()) return false;
        for (int k = 1; k <= extra; ++k)
            if ((static_cast<uint8_t>(s[i + k]) & 0xC0) != 0x80) return false;
        i += extra + 1;
    }
    return true;
}

bool readBytes(const fs::path& file, engine::Bytes& bytes, std::string& reason) {
    std::error_code ec;
    const fs::file_status status = fs::status(file, ec);
    if (!fs::exists(status)) {
        std::error_code linkError;
        reason = fs::is_symlink(fs::symlink_status(file, linkError)) && (!ec || ec == std::errc::no_such_file_or_directory)
                     ? "broken symbolic link"
                     : ec ? ec.message() : "not found";
        return false;
    }
    if (!fs::is_regular_file(status)) {
        reason = "not a regular file";
        return false;
    }
    const std::uintmax_t size = fs::file_size(file, ec);
    if (ec || size > kLargestFile) {
        reason = ec ? ec.message() : "larger than 1 GB";
        return false;
    }
    std::unique_ptr<FILE, int (*)(FILE*)> in(std::fopen(file.string().c_str(), "rb"), std::fclose);
    if (!in) {
        reason = std::strerror(errno);
        return false;
    }
    bytes.resize(static_cast<size_t>(size));
    if (size > 0 && std::fread(bytes.data(), 1, bytes.size(), in.get()) != bytes.size()) {
        reason = std::ferror(in.get()) ? std::strerror(errno) : "changed while it was read";
        return false;
    }
    return true;
}

engine::Date fileDate(const fs::path& file) {
    std::error_code ec;
    const auto written = fs::last_write_time(file, ec);
    if (ec) return nowDate();
    const auto sys = std::chrono::file_clock::to_sys(written);
    return localDate(std::chrono::system_clock::to_time_t(sys));
}

}  // namespace

std::string comparableTitle(const std::string& title, int titleLimit) {
    return clsFilePath::trim(firstChars(title, titleLimit));
}

std::string storedFormat(const std::string& gs) { return firstChars(util::asciiLower(gs), 6); }

std::string nameAsUtf8(const std::string& name) {
    return validUtf8(name) ? name
                           : util::ansiToUtf8(reinterpret_cast<const uint8_t*>(name.data()), name.size());
}

bool readFileDocument(const std::string& fileName, const std::string& gs, bool asLink,
                      FileDocument& doc, std::string& reason) {
    const fs::path file(fileName);
    clsFilePath names;
    const std::string shown = nameAsUtf8(file.filename().string());
    doc.title = names.getFileTitleName(shown);
    doc.gs = asLink ? "lnk" : gs.empty() ? names.getFileExtName(shown) : util::asciiLower(gs);
    doc.dt = fileDate(file);
    if (asLink) {
        std::error_code ec;
        doc.content = util::utf8ToAnsi(nameAsUtf8(fs::absolute(file, ec).string()));
        return true;
    }
    if (clsFilePath::isLinked(doc.gs)) {
        const std::string target = names.getPathLink(fileName);
        if (target.empty()) {
            reason = "not a readable shortcut";
            return false;
        }
        doc.content = util::utf8ToAnsi(target);
        return true;
    }
    if (!readBytes(file, doc.content, reason)) return false;
    if (doc.gs == "txt") {
        if (clsFilePath::binIsUnicode(doc.content))
            clsFilePath::unicode2ANSI(doc.content);
        else if (clsFilePath::binIsUTF8(doc.content))
            clsFilePath::UTF82ANSI(doc.content);
    }
    return true;
}

}  // namespace edit

int32_t ctreebook::insertFile(int32_t pid, const std::string& fileName, const std::string& gs,
                              bool asLink) {
    edit::FileDocument doc;
    std::string reason;
    if (!open_ || !edit::readFileDocument(fileName, gs, asLink, doc, reason)) return 0;
    return insertRec(pid, doc.title, doc.gs, std::move(doc.content), 0, doc.dt);
}

bool ctreebook::updateFile(int32_t id, const std::string& fileName, const std::string& gs) {
    edit::FileDocument doc;
    std::string reason;
    if (!open_ || !edit::readFileDocument(fileName, gs.empty() ? gsByid(id) : gs, false, doc, reason))
        return false;
    return updateRec(id, BTByID(id), attrByid(id), doc.gs, std::move(doc.content));
}

int32_t ctreebook::insertOrUpdateFile(int32_t pid, const std::string& fileName,
                                      const std::string& gs, bool asLink) {
    edit::FileDocument doc;
    std::string reason;
    if (!open_ || !edit::readFileDocument(fileName, gs, asLink, doc, reason)) return 0;
    return insertOrUpdateRec(pid, doc.title, doc.gs, std::move(doc.content), 0, doc.dt);
}

}  // namespace store
