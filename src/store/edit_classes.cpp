// Classes: making them along a path, renaming and moving records, where records stand.
#include "store/ctreebook.h"
#include "store/edit_support.h"
#include "store/values.h"

namespace store {

namespace {

// The non-empty parts of a "\"- or "/"-separated path, trimmed.
std::vector<std::string> pathParts(const std::string& path) {
    std::vector<std::string> parts;
    std::string part;
    for (size_t i = 0; i <= path.size(); ++i) {
        if (i == path.size() || path[i] == '\\' || path[i] == '/') {
            part = clsFilePath::trim(part);
            if (!part.empty()) parts.push_back(part);
            part.clear();
        } else {
            part += path[i];
        }
    }
    return parts;
}

}  // namespace

int32_t ctreebook::insertPathBT(const std::string& title, int32_t pid) {
    int32_t id = 0;
    const bool ok = inTransaction([&] {
        if (clsFilePath::trim(title).empty() || !pathByid(pid)) return false;
        id = classChild(pid, title);
        if (id == 0) id = addRecord(pid, clsFilePath::trim(title), true, 0, nowDate(), nullptr, nullptr);
        return true;
    });
    return ok ? id : 0;
}

int32_t ctreebook::insertPath(const std::string& path, int32_t pid) {
    int32_t id = pid;
    const bool ok = inTransaction([&] {
        for (const std::string& part : pathParts(path))
            if ((id = insertPathBT(part, id)) == 0) return false;
        return true;
    });
    return ok ? id : 0;
}

bool ctreebook::renamePathBT(int32_t id, const std::string& title) {
    return id > 0 && pathByid(id) && !clsFilePath::trim(title).empty() && changeBT(id, title);
}

bool ctreebook::isMyChild(int32_t id, int32_t ancestor) {
    // Walks up from id; a parent chain that loops ends the walk.
    std::vector<int32_t> chain = parentChain(id);
    for (size_t i = 1; i < chain.size(); ++i)
        if (chain[i] == ancestor) return true;
    return false;
}

bool ctreebook::isMyBrother(int32_t id1, int32_t id2) {
    return id1 != id2 && open_ && pidByID(id1) != 0 && pidByID(id1) == pidByID(id2);
}

bool ctreebook::changePid(int32_t id, int32_t newPid) {
    // A class moved into itself or below itself would cut its subtree off the tree.
    if (id <= 1 || id == newPid || !pathByid(newPid) || isMyChild(newPid, id)) return false;
    if (!open_ || !getRecByID(id)) return false;
    return setFieldByID(rs_.get(), id, "pid", engine::Value(newPid));
}

bool ctreebook::changeToSubPath(int32_t id, const std::string& classTitle) {
    return inTransaction([&] {
        const int32_t pid = pidByID(id);
        if (pid == 0) return false;
        const int32_t target = insertPathBT(classTitle, pid);
        return target != 0 && changePid(id, target);
    });
}

bool ctreebook::btExist(int32_t pid, const std::string& title) {
    const std::string wanted = edit::comparableTitle(title, titleLimit_);
    for (const ChildRow& child : children(pid, true))
        if (clsFilePath::trim(child.bt) == wanted) return true;
    return false;
}

bool ctreebook::pathExist(int32_t pid, const std::string& title) { return classChild(pid, title) != 0; }

int32_t ctreebook::getIDByPath(const std::string& path, int32_t pid) {
    if (!open_) return 0;
    int32_t id = pid;
    for (const std::string& part : pathParts(path)) {
        const std::string wanted = edit::comparableTitle(part, titleLimit_);
        int32_t next = 0;
        for (const ChildRow& child : children(id, true))
            if (clsFilePath::trim(child.bt) == wanted && (next == 0 || child.path)) {
                next = child.id;
                if (child.path) break;  // a class wins over a document of the same title
            }
        if (next == 0) return 0;
        id = next;
    }
    return id;
}

}  // namespace store
