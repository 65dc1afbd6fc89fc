// Importing folder trees: folders become classes, files documents.
#include <algorithm>
#include <filesystem>
#include <map>

#include "store/ctreebook.h"
#include "store/edit_support.h"
#include "store/values.h"

namespace store {

namespace fs = std::filesystem;

namespace {

struct Entries {
    std::vector<fs::path> folders, files;
};

// The visible entries of a folder in name order; names starting with "." are hidden ones and
// left out. Whatever is not a folder counts as a file: reading it tells what is wrong with it.
Entries listFolder(const fs::path& folder, std::error_code& ec) {
    Entries out;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path& p = it->path();
        if (p.filename().string().starts_with(".")) continue;
        std::error_code typeError;
        if (it->is_directory(typeError))
            out.folders.push_back(p);
        else
            out.files.push_back(p);
    }
    std::sort(out.folders.begin(), out.folders.end());
    std::sort(out.files.begin(), out.files.end());
    return out;
}

void note(std::vector<ctreebook::ImportProblem>* problems, const fs::path& p, std::string reason) {
    if (problems) problems->push_back({edit::nameAsUtf8(p.string()), std::move(reason)});
}

}  // namespace

int32_t ctreebook::importFolder(const std::string& folder, int32_t pid, std::set<std::string>& seen,
                                std::vector<ImportProblem>* problems) {
    const fs::path dir(folder);
    std::error_code ec;
    const fs::path real = fs::canonical(dir, ec);
    if (ec) {
        note(problems, dir, ec.message());
        return 0;
    }
    if (!seen.insert(real.string()).second) {
        note(problems, dir, "imported already (a symbolic link leads back to it)");
        return 0;
    }
    Entries entries = listFolder(dir, ec);
    if (ec) {
        note(problems, dir, ec.message());
        return 0;
    }
    int32_t count = 0;
    for (const fs::path& sub : entries.folders) {
        const std::string title = edit::nameAsUtf8(sub.filename().string());
        int32_t classId = classChild(pid, title);
        if (classId == 0) classId = addRecord(pid, title, true, 0, {}, nullptr, nullptr);
        count += importFolder(sub.string(), classId, seen, problems);
    }
    // The documents already in the class, by title and format, so that an import run again
    // rewrites them instead of adding copies.
    std::map<std::pair<std::string, std::string>, int32_t> existing;
    for (const ChildRow& child : children(pid, true))
        if (!child.path) existing.emplace(std::make_pair(clsFilePath::trim(child.bt), gsByid(child.id)), child.id);
    for (const fs::path& file : entries.files) {
        report("Importing: " + edit::nameAsUtf8(file.string()));
        edit::FileDocument doc;
        std::string reason;
        if (!edit::readFileDocument(file.string(), "", false, doc, reason)) {
            note(problems, file, reason);
            continue;
        }
        const auto key = std::make_pair(edit::comparableTitle(doc.title, titleLimit_),
                                        edit::storedFormat(doc.gs));
        if (auto found = existing.find(key); found != existing.end()) {
            seekID(*rs_, found->second);
            rs_->edit();
            rs_->setField("size", engine::Value(static_cast<int32_t>(doc.content.size())));
            rs_->setField("dt", engine::Value(doc.dt));
            rs_->update();
            writeContent(found->second, doc.gs, doc.content);
        } else {
            existing.emplace(key, addRecord(pid, doc.title, false, 0, doc.dt, &doc.gs, &doc.content));
        }
        ++count;
    }
    return count;
}

int32_t ctreebook::insertOrUpdateDirs(const std::string& folder, int32_t pid,
                                      std::vector<ImportProblem>* problems) {
    std::error_code ec;
    if (!fs::is_directory(fs::path(folder), ec)) {
        note(problems, fs::path(folder), "not a folder");
        return -1;
    }
    int32_t count = 0;
    const bool ok = inTransaction([&] {
        if (!pathByid(pid)) return false;
        std::set<std::string> seen;
        count = importFolder(folder, pid, seen, problems);
        return true;
    });
    if (!ok) return -1;
    if (events.importFinished) events.importFinished(count);
    return count;
}

int32_t ctreebook::loadFromFileLX(const std::string& folder, int32_t pid,
                                  std::vector<ImportProblem>* problems) {
    int32_t classId = 0;
    const bool ok = inTransaction([&] {
        const fs::path dir = fs::path(folder).lexically_normal();
        const std::string name = (dir.has_filename() ? dir : dir.parent_path()).filename().string();
        classId = insertPathBT(edit::nameAsUtf8(name), pid);
        return classId != 0 && insertOrUpdateDirs(folder, classId, problems) >= 0;
    });
    return ok ? classId : 0;
}

}  // namespace store
