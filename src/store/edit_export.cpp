// Exporting documents to files and classes to folder trees; opening a document on the desktop.
#include <cstdio>
#include <filesystem>
#include <memory>
#include <set>

#include "store/ctreebook.h"
#include "store/values.h"
#include "util/codepage.h"

namespace store {

namespace fs = std::filesystem;

namespace {

// A title as a file name: separators and control characters become "_"; names the file
// system gives a meaning ("", ".", "..") get one.
std::string fileNameOf(const std::string& title, const std::string& gs) {
    std::string name = clsFilePath::trim(title);
    for (char& c : name)
        if (c == '/' || c == '\\' || static_cast<unsigned char>(c) < 0x20) c = '_';
    if (name.empty() || name == "." || name == "..") name = "untitled";
    return gs.empty() ? name : name + "." + gs;
}

// A name not yet used in the folder being written: "a.txt", "a (2).txt", ...
std::string uniqueName(std::set<std::string>& used, const std::string& title, const std::string& gs) {
    std::string name = fileNameOf(title, gs);
    for (int n = 2; !used.insert(name).second; ++n)
        name = fileNameOf(title + " (" + std::to_string(n) + ")", gs);
    return name;
}

bool writeBytes(const std::string& file, const Bytes& bytes) {
    std::unique_ptr<FILE, int (*)(FILE*)> out(std::fopen(file.c_str(), "wb"), std::fclose);
    if (!out) return false;
    const bool written = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), out.get()) == bytes.size();
    return std::fclose(out.release()) == 0 && written;
}

}  // namespace

bool ctreebook::saveToFile(int32_t id, const std::string& fileName) {
    if (!open_ || !getRecByID(id) || pathByid(id)) return false;
    Bytes bytes;
    const int32_t n = getNR(id, bytes);
    if (n == 0 && sizeByidNR(id) > 0) return false;  // content that does not decode
    const std::string gs = gsByid(id);
    if (gs == "url" || gs == "lnk")
        return files_.createPathLink(fileName, gs, util::ansiToUtf8(bytes));
    return writeBytes(fileName, n > 0 ? bytes : Bytes{});
}

int32_t ctreebook::saveToFileLX(int32_t id, const std::string& folder) {
    if (!open_ || !getRecByID(id)) return 0;
    std::error_code ec;
    if (!pathByid(id)) {
        fs::create_directories(fs::path(folder), ec);
        const fs::path file = fs::path(folder) / fileNameOf(BTByID(id), gsByid(id));
        return saveToFile(id, file.string()) ? 1 : 0;
    }
    int32_t count = 0;
    std::set<int32_t> seen;
    std::function<void(int32_t, const fs::path&)> writeClass = [&](int32_t classId, const fs::path& dir) {
        if (!seen.insert(classId).second) return;  // a parent chain that loops
        fs::create_directories(dir, ec);
        std::set<std::string> used;
        for (const ChildRow& child : children(classId, true)) {
            const std::string title = clsFilePath::trim(child.bt);
            if (child.path) {
                writeClass(child.id, dir / uniqueName(used, title, ""));
                continue;
            }
            report("Exporting: " + title + "......");
            if (saveToFile(child.id, (dir / uniqueName(used, title, gsByid(child.id))).string())) ++count;
        }
    };
    writeClass(id, fs::path(folder));
    return count;
}

bool ctreebook::showShell(int32_t id) {
    Bytes bytes;
    if (getNR(id, bytes) <= 0) return false;
    const std::string file = files_.tmpFileName(gsByid(id));
    return !file.empty() && files_.saveBinFile(file, bytes) == 1 && files_.shellShowFile(file);
}

}  // namespace store
