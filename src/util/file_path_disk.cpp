// Existence tests, sizes, listings, and creating, copying, moving and deleting files and folders.
#include "util/file_path.h"
#include "util/hooks.h"
#include "util/path_text.h"

#include <algorithm>
#include <cstdio>
#include <fstream>

namespace fs = std::filesystem;
using util::toFsPath;

namespace {

bool isWritable(const fs::path& p) {
    std::error_code ec;
    auto perms = fs::status(p, ec).permissions();
    return !ec && (perms & fs::perms::owner_write) != fs::perms::none;
}

// Names of the entries directly in the folder that pass `keep`, sorted by name.
template <class Keep>
std::vector<std::string> entryNames(const std::string& folder, Keep keep) {
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(toFsPath(folder), ec), end; !ec && it != end; it.increment(ec))
        if (keep(*it)) names.push_back(it->path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

bool isFileEntry(const fs::directory_entry& e) {
    std::error_code ec;
    return e.is_regular_file(ec);
}

bool isFolderEntry(const fs::directory_entry& e) {
    std::error_code ec;
    return e.is_directory(ec);
}

int32_t fillList(const std::string& folder, std::vector<std::string> names, std::vector<std::string>& list,
                 bool withPath, const clsFilePath& fp) {
    list.clear();
    for (auto& name : names) list.push_back(withPath ? util::joinPath(fp.justPath(folder), name) : name);
    return static_cast<int32_t>(list.size());
}

// Counts the files (or folders) through all levels below the folder.
int32_t countBelow(const fs::path& folder, bool files) {
    int32_t count = 0;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code kind;
        if (it->is_symlink(kind)) {
            if (files && it->is_regular_file(kind)) ++count;
            continue;
        }
        if (it->is_directory(kind)) {
            if (!files) ++count;
            util::processEvents();
            count += countBelow(it->path(), files);
        } else if (files && it->is_regular_file(kind)) {
            ++count;
        }
    }
    return count;
}

bool moveOrCopy(const fs::path& from, const fs::path& to) {
    std::error_code ec;
    fs::rename(from, to, ec);
    if (!ec) return true;
    // Across file systems: copy, then remove the source.
    fs::copy(from, to, fs::copy_options::recursive, ec);
    if (ec) return false;
    fs::remove_all(from, ec);
    return !ec;
}

}  // namespace

bool clsFilePath::fileExist(const std::string& path) const {
    std::error_code ec;
    return !path.empty() && fs::is_regular_file(toFsPath(path), ec);
}

bool clsFilePath::pathExist(const std::string& folder) const {
    std::error_code ec;
    return !folder.empty() && fs::is_directory(toFsPath(folder), ec);
}

int64_t clsFilePath::filesize(const std::string& path) const {
    std::error_code ec;
    auto size = fs::file_size(toFsPath(path), ec);
    return ec ? 0 : static_cast<int64_t>(size);
}

int32_t clsFilePath::getFileAttr(const std::string& path) const {
    std::error_code ec;
    fs::path p = toFsPath(path);
    auto st = fs::status(p, ec);
    if (ec || !fs::exists(st)) return -1;
    int32_t attr = fs::is_directory(st) ? 16 : 32;
    if (!isWritable(p)) attr |= 1;
    if (p.filename().string().starts_with('.')) attr |= 2;
    return attr;
}

bool clsFilePath::pathIsNull(const std::string& folder) const {
    std::error_code ec;
    return !pathExist(folder) || fs::is_empty(toFsPath(folder), ec);
}

int32_t clsFilePath::subFilecount(const std::string& folder) const {
    return static_cast<int32_t>(entryNames(folder, isFileEntry).size());
}

int32_t clsFilePath::subPathCount(const std::string& folder) const {
    return static_cast<int32_t>(entryNames(folder, isFolderEntry).size());
}

int32_t clsFilePath::pathTotalsubFiles(const std::string& folder) const { return countBelow(toFsPath(folder), true); }

int32_t clsFilePath::pathTotalsubPaths(const std::string& folder) const { return countBelow(toFsPath(folder), false); }

int64_t clsFilePath::pathTotalSize(const std::string& folder) const {
    int64_t total = 0;
    std::error_code ec;
    for (fs::recursive_directory_iterator it(toFsPath(folder), ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code kind;
        if (it->is_regular_file(kind)) total += static_cast<int64_t>(it->file_size(kind));
    }
    return total;
}

int32_t clsFilePath::getAllFnameInPath(const std::string& folder, const std::string& extension, List& list,
                                       bool withPath) const {
    std::string wanted = util::asciiLower(extension);
    auto names = entryNames(folder, [&](const fs::directory_entry& e) {
        if (!isFileEntry(e)) return false;
        std::string name = e.path().filename().string();
        if (name.starts_with('.')) return false;
        if (wanted == "*") return true;
        size_t dot = name.rfind('.');
        return dot != std::string::npos && util::asciiLower(name.substr(dot + 1)) == wanted;
    });
    return fillList(folder, std::move(names), list, withPath, *this);
}

int32_t clsFilePath::AllFiles(const std::string& folder, List& list, bool withPath) const {
    return fillList(folder, entryNames(folder, isFileEntry), list, withPath, *this);
}

int32_t clsFilePath::getAllPathInPath(const std::string& folder, List& list, bool withPath) const {
    return fillList(folder, entryNames(folder, isFolderEntry), list, withPath, *this);
}

bool clsFilePath::createPath(const std::string& folder) {
    std::error_code ec;
    fs::create_directories(toFsPath(folder), ec);
    return pathExist(folder);
}

void clsFilePath::createNullFile(const std::string& path) { createFilex(path); }

bool clsFilePath::createFilex(const std::string& path) {
    if (fileExist(path)) return true;
    std::ofstream out(toFsPath(path), std::ios::binary | std::ios::app);
    return static_cast<bool>(out);
}

bool clsFilePath::copyFile(const std::string& source, const std::string& target, bool overwrite) {
    fs::path to = toFsPath(target);
    if (pathExist(target)) to /= toFsPath(source).filename();
    std::error_code ec;
    auto options = overwrite ? fs::copy_options::overwrite_existing : fs::copy_options::none;
    return fs::copy_file(toFsPath(source), to, options, ec) && !ec;
}

bool clsFilePath::copyPath(const std::string& source, const std::string& target, bool overwrite) {
    fs::path from = toFsPath(justPath(source));
    fs::path to = toFsPath(target) / from.filename();
    std::error_code ec;
    fs::create_directories(to, ec);
    auto options = fs::copy_options::recursive |
                   (overwrite ? fs::copy_options::overwrite_existing : fs::copy_options::skip_existing);
    fs::copy(from, to, options, ec);
    return !ec;
}

bool clsFilePath::moveFileToPath(const std::string& source, const std::string& folder) {
    if (!fileExist(source) || !pathExist(folder)) return false;
    fs::path to = toFsPath(folder) / toFsPath(source).filename();
    if (fs::exists(to)) return false;
    return moveOrCopy(toFsPath(source), to);
}

bool clsFilePath::movePath(const std::string& source, const std::string& target) {
    if (!pathExist(source) || fs::exists(toFsPath(justPath(target)))) return false;
    return moveOrCopy(toFsPath(justPath(source)), toFsPath(justPath(target)));
}

bool clsFilePath::renameFile(const std::string& oldName, const std::string& newName) {
    if (!fileExist(oldName)) return false;
    fs::path from = toFsPath(oldName);
    fs::path to = util::lastSeparator(newName) == std::string::npos ? from.parent_path() / newName : toFsPath(newName);
    std::error_code ec;
    if (fs::exists(to, ec)) return false;
    fs::rename(from, to, ec);
    return !ec;
}

bool clsFilePath::renamePath(const std::string& oldName, const std::string& newName) {
    if (!pathExist(oldName)) return false;
    fs::path from = toFsPath(justPath(oldName));
    fs::path to = util::lastSeparator(newName) == std::string::npos ? from.parent_path() / newName
                                                                     : toFsPath(justPath(newName));
    std::error_code ec;
    if (fs::exists(to, ec)) return false;
    fs::rename(from, to, ec);
    return !ec;
}

bool clsFilePath::delFile(const std::string& path, bool force) {
    fs::path p = toFsPath(path);
    if (fileExist(path) && (force || isWritable(p))) {
        std::error_code ec;
        fs::remove(p, ec);
    }
    return !fileExist(path);
}

bool clsFilePath::deletePath(const std::string& folder, bool force) {
    if (!pathExist(folder)) return true;
    fs::path root = toFsPath(folder);
    std::error_code ec;
    if (!force) {
        // Read-only entries stop the deletion, as they would on the original platform.
        for (fs::recursive_directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec))
            if (!it->is_symlink() && !isWritable(it->path())) return false;
    }
    fs::remove_all(root, ec);
    return !ec && !pathExist(folder);
}

bool clsFilePath::backupFile(const std::string& path) {
    if (!fileExist(path)) return false;
    std::string stem = getFilePathName(path) + getFileTitleName(path);
    for (int n = 1; n < 100000; ++n) {
        char number[16];
        std::snprintf(number, sizeof number, "%02d", n);
        std::string candidate = stem + number + ".bak";
        if (!fs::exists(toFsPath(candidate))) return copyFile(path, candidate, false);
    }
    return false;
}
