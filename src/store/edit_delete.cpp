// Deleting records: documents, classes with their subtrees, empty classes. The root stays.
#include "store/ctreebook.h"
#include "store/edit_support.h"
#include "store/values.h"

namespace store {

void ctreebook::deleteRows(int32_t id) {
    if (seekID(*rs_, id)) rs_->deleteRecord();
    if (seekID(*nrRS_, id)) nrRS_->deleteRecord();
    if (noteRS_ && seekID(*noteRS_, id)) noteRS_->deleteRecord();
}

bool ctreebook::deleteRec(int32_t id) {
    return id > 1 && inTransaction([&] {
        if (!getRecByID(id) || (pathByid(id) && !children(id, false).empty())) return false;
        deleteRows(id);
        return true;
    });
}

int32_t ctreebook::deleteRecPid(int32_t pid) {
    int32_t count = 0;
    const bool ok = inTransaction([&] {
        std::vector<int32_t> below;
        getAllSubID(pid, below);
        for (int32_t id : below) deleteRows(id);
        count = static_cast<int32_t>(below.size());
        return true;
    });
    return ok ? count : 0;
}

bool ctreebook::deletePath(int32_t id) {
    return id > 1 && pathByid(id) && inTransaction([&] {
        deleteRecPid(id);
        deleteRows(id);
        return true;
    });
}

bool ctreebook::deleteNRRecWithBT(int32_t pid, const std::string& title) {
    const std::string wanted = edit::comparableTitle(title, titleLimit_);
    for (const ChildRow& child : children(pid, true))
        if (!child.path && clsFilePath::trim(child.bt) == wanted) return deleteRec(child.id);
    return false;
}

int32_t ctreebook::delNullPath(int32_t pid) {
    int32_t count = 0;
    inTransaction([&] {
        for (const ChildRow& child : children(pid, true)) {
            if (!child.path) continue;
            if (countPid(child.id, true) > 0) {
                count += delNullPath(child.id);
            } else if (deletePath(child.id)) {
                ++count;
                report(clsFilePath::trim(child.bt) + " deleted.");
            }
        }
        return true;
    });
    return count;
}

}  // namespace store
