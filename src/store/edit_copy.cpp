// Copying classes and whole libraries between stores, record by record.
#include <filesystem>
#include <unordered_set>

#include "store/ctreebook.h"
#include "store/values.h"

namespace store {

void ctreebook::putTreeRow(int32_t id, int32_t pid, const TreeRecord& rec) {
    if (seekID(*rs_, id)) {
        rs_->edit();
    } else {
        rs_->addNew();
        rs_->setField("id", engine::Value(id));
    }
    rs_->setField("pid", engine::Value(pid));
    rs_->setField("bt", engine::Value(firstChars(rec.bt, titleLimit_)));
    rs_->setField("path", engine::Value(rec.path));
    rs_->setField("size", engine::Value(rec.size));
    rs_->setField("attr", engine::Value(static_cast<int32_t>(rec.attr)));
    if (rec.dt.days != 0) rs_->setField("dt", engine::Value(rec.dt));
    rs_->setField("readed", engine::Value(rec.readed));
    rs_->update();
    lastId_ = std::max(lastId_, id);
}

void ctreebook::putContentRow(int32_t id, const ContentRecord& rec) {
    if (seekID(*nrRS_, id)) {
        nrRS_->edit();
    } else {
        nrRS_->addNew();
        nrRS_->setField("id", engine::Value(id));
    }
    nrRS_->setField("zed", engine::Value(rec.zed));
    nrRS_->setField("size", engine::Value(rec.size));
    nrRS_->setField("gs", engine::Value(rec.gs));
    nrRS_->setField("crc", engine::Value(rec.crc));
    nrRS_->appendChunk("nr", rec.nr);
    nrRS_->update();
}

int32_t ctreebook::copyClassTo(int32_t id, ctreebook& target, int32_t targetPid, bool withSelf) {
    if (!open_ || !pathByid(id)) return -1;
    // The subtree is listed before anything is written, so a class pasted into itself copies
    // what it held before.
    struct Item {
        int32_t id, parentItem;
    };
    std::vector<Item> items{{id, -1}};
    std::unordered_set<int32_t> listed{id};  // a parent chain that loops is listed once
    for (size_t i = 0; i < items.size(); ++i) {
        if (i > 0 && !pathByid(items[i].id)) continue;
        for (const ChildRow& child : children(items[i].id, false))
            if (listed.insert(child.id).second) items.push_back({child.id, static_cast<int32_t>(i)});
    }
    int32_t count = 0;
    const bool ok = target.inTransaction([&] {
        if (!target.pathByid(targetPid)) return false;
        std::vector<int32_t> newIds(items.size(), 0);
        for (size_t i = 0; i < items.size(); ++i) {
            if (i == 0 && !withSelf) {
                newIds[0] = targetPid;
                continue;
            }
            if (!getRecByID(items[i].id)) continue;
            const TreeRecord rec = currRec_;
            const int32_t parent = i == 0 ? targetPid : newIds[items[i].parentItem];
            if (parent == 0) continue;
            const int32_t newId = target.lastId_ + 1;
            target.putTreeRow(newId, parent, rec);
            newIds[i] = newId;
            // Documents bring their content; classes their password, which lives there too.
            if (getRecByID2(items[i].id)) target.putContentRow(newId, currNR_);
            if (!rec.path) ++count;
            if (events.copyProgress) events.copyProgress(i + 1, items.size());
        }
        return true;
    });
    return ok ? count : -1;
}

int32_t ctreebook::pasteLXTo(int32_t id, ctreebook& target, int32_t targetPid) {
    const int32_t count = copyClassTo(id, target, targetPid, id != 1);
    if (count >= 0) report(std::to_string(count) + " docs imported.");
    return count;
}

int32_t ctreebook::mergeBookTo(ctreebook& target, int32_t targetPid) {
    const int32_t count = copyClassTo(1, target, targetPid, false);
    if (count >= 0) report(std::to_string(count) + " docs imported.");
    return count;
}

int32_t ctreebook::saveToDBLX(int32_t id, const std::string& fileName) {
    ctreebook other;
    std::error_code ec;
    if (!std::filesystem::exists(fileName, ec) && !other.createBookMDB(fileName)) return -1;
    if (!other.openDB(fileName)) return -1;
    return pasteLXTo(id, other, 1);
}

bool ctreebook::saveRec(ctreebook& target) {
    if (!getCurrRec()) return false;
    const TreeRecord rec = currRec_;
    return target.inTransaction([&] {
        target.putTreeRow(rec.id, rec.pid, rec);
        return true;
    });
}

bool ctreebook::saveRec2(ctreebook& target) {
    if (!getCurrRec2()) return false;
    const ContentRecord rec = currNR_;
    return target.inTransaction([&] {
        target.putContentRow(rec.id, rec);
        return true;
    });
}

int32_t ctreebook::saveAllRows(bool content, ctreebook& target) {
    int32_t count = 0;
    if (!open_) return 0;
    engine::Recordset& rs = content ? *nrRS_ : *rs_;
    target.inTransaction([&] {
        std::vector<int32_t> ids;
        rs.setIndex("primaryKey");
        for (rs.moveFirst(); !rs.eof(); rs.moveNext()) ids.push_back(longOrZero(rs.field("id")));
        for (int32_t id : ids) {
            report(content ? "Saving Data Table: " + std::to_string(id) : "Saving Primary Table: " + BTByID(id));
            if (seekID(rs, id) && (content ? saveRec2(target) : saveRec(target))) ++count;
        }
        return true;
    });
    return count;
}

int32_t ctreebook::saveAllRecToRS(ctreebook& target) { return saveAllRows(false, target); }
int32_t ctreebook::saveAllRecToRS2(ctreebook& target) { return saveAllRows(true, target); }

bool ctreebook::dupicateDB(const std::string& fileName) {
    if (!open_ || fileName == dbName_) return false;
    ctreebook copy;
    copy.seams = seams;
    if (!copy.createBookMDB(fileName, tabName_, nrTabName_) || !copy.openDB(fileName)) return false;
    const bool ok = copy.inTransaction([&] {
        saveAllRecToRS(copy);
        saveAllRecToRS2(copy);
        std::vector<int32_t> ids;
        getAllSubID(1, ids);
        for (int32_t id : ids) {
            Bytes note1;
            std::string gs;
            if (getNode1(id, note1, gs) && !copy.insertNode1(id, note1, gs)) return false;
            const std::string note2 = getNode2(id);
            if (!note2.empty() && !copy.insertNode2(id, note2)) return false;
        }
        return true;
    });
    copy.closeDB();
    return ok;
}

}  // namespace store
