// Adding and rewriting records: the transaction every change runs in, new ids, content rows.
#include "store/ctreebook.h"
#include "store/edit_support.h"
#include "store/values.h"
#include "util/codepage.h"
#include "util/path_text.h"

namespace store {

bool ctreebook::inTransaction(const std::function<bool()>& work) {
    if (!open_ || !db_ || !rs_ || !nrRS_) return false;
    if (transDepth_ > 0) return work();  // errors reach the outer transaction
    const int32_t lastId = lastId_;
    try {
        db_->beginTrans();
    } catch (...) {
        return false;
    }
    ++transDepth_;
    bool ok = false;
    try {
        ok = work();
        if (ok) db_->commitTrans();
    } catch (...) {
        ok = false;
    }
    --transDepth_;
    if (!ok) {
        abandonEdit(rs_.get());
        abandonEdit(nrRS_.get());
        abandonEdit(noteRS_.get());
        try {
            db_->rollback();
        } catch (...) {
        }
        lastId_ = lastId;
    }
    return ok;
}

bool ctreebook::report(const std::string& message) {
    msg_ = message;
    bool answer = false;
    if (events.showMsg) events.showMsg(ihwnd_, msg_, answer);
    return answer;
}

int32_t ctreebook::addRecord(int32_t pid, const std::string& title, bool isClass, int32_t attr,
                             engine::Date dt, const std::string* gs, Bytes* content) {
    const int32_t id = lastId_ + 1;
    rs_->addNew();
    rs_->setField("id", engine::Value(id));
    rs_->setField("pid", engine::Value(pid));
    rs_->setField("bt", engine::Value(firstChars(title, titleLimit_)));
    rs_->setField("path", engine::Value(isClass));
    rs_->setField("size", engine::Value(content ? static_cast<int32_t>(content->size()) : 0));
    rs_->setField("attr", engine::Value(attr));
    if (dt.days != 0) rs_->setField("dt", engine::Value(dt));
    rs_->setField("readed", engine::Value(false));
    rs_->update();
    lastId_ = id;
    if (content) writeContent(id, gs ? *gs : std::string(), *content);
    return id;
}

void ctreebook::writeContent(int32_t id, const std::string& gs, Bytes& content) {
    const int32_t n = static_cast<int32_t>(content.size());
    int32_t crc = 0;
    bool zed = false;
    toStoredForm(content, n, true, crc, zed);
    if (seekID(*nrRS_, id)) {
        nrRS_->edit();
    } else {
        nrRS_->addNew();
        nrRS_->setField("id", engine::Value(id));
    }
    nrRS_->setField("gs", engine::Value(edit::storedFormat(gs)));
    nrRS_->setField("size", engine::Value(n));
    nrRS_->setField("zed", engine::Value(zed));
    nrRS_->setField("crc", engine::Value(crc));
    nrRS_->appendChunk("nr", content);
    nrRS_->update();
}

int32_t ctreebook::documentChild(int32_t pid, const std::string& title, const std::string& gs) {
    const std::string wanted = edit::comparableTitle(title, titleLimit_);
    const std::string format = edit::storedFormat(gs);
    for (const ChildRow& child : children(pid, true))
        if (!child.path && clsFilePath::trim(child.bt) == wanted && gsByid(child.id) == format)
            return child.id;
    return 0;
}

int32_t ctreebook::classChild(int32_t pid, const std::string& title) {
    const std::string wanted = edit::comparableTitle(title, titleLimit_);
    for (const ChildRow& child : children(pid, true))
        if (child.path && clsFilePath::trim(child.bt) == wanted) return child.id;
    return 0;
}

int32_t ctreebook::insertRec(int32_t pid, const std::string& title, const std::string& gs,
                             Bytes content, int32_t attr, engine::Date dt) {
    int32_t id = 0;
    inTransaction([&] {
        if (!pathByid(pid)) return false;
        id = addRecord(pid, title, false, attr, dt, &gs, &content);
        return true;
    });
    return id;
}

bool ctreebook::updateRec(int32_t id, const std::string& title, int32_t attr,
                          const std::string& gs, Bytes content) {
    return inTransaction([&] {
        if (!seekID(*rs_, id) || boolOrFalse(rs_->field("path"))) return false;
        rs_->edit();
        rs_->setField("bt", engine::Value(firstChars(title, titleLimit_)));
        rs_->setField("attr", engine::Value(attr));
        rs_->setField("size", engine::Value(static_cast<int32_t>(content.size())));
        rs_->update();
        writeContent(id, gs, content);
        return true;
    });
}

bool ctreebook::updateBinData(int32_t id, Bytes content) {
    return inTransaction([&] {
        if (!seekID(*rs_, id) || boolOrFalse(rs_->field("path"))) return false;
        const std::string gs = gsByid(id);
        rs_->edit();
        rs_->setField("size", engine::Value(static_cast<int32_t>(content.size())));
        rs_->update();
        writeContent(id, gs, content);
        return true;
    });
}

int32_t ctreebook::insertOrUpdateRec(int32_t pid, const std::string& title, const std::string& gs,
                                     Bytes content, int32_t attr, engine::Date dt) {
    int32_t id = 0;
    const bool ok = inTransaction([&] {
        id = documentChild(pid, title, gs);
        if (id == 0) {
            id = insertRec(pid, title, gs, std::move(content), attr, dt);
            return id != 0;
        }
        if (dt.days != 0 && seekID(*rs_, id)) {
            rs_->edit();
            rs_->setField("dt", engine::Value(dt));
            rs_->update();
        }
        return updateRec(id, title, attr, gs, std::move(content));
    });
    return ok ? id : 0;
}

int32_t ctreebook::insertOrUpdateBin(int32_t pid, const std::string& title, const std::string& gs,
                                     Bytes content) {
    return insertOrUpdateRec(pid, title, gs, std::move(content));
}

int32_t ctreebook::insertNRBT(int32_t pid, const std::string& title, const std::string& text,
                              const std::string& gs) {
    return insertRec(pid, title, gs, util::utf8ToAnsi(text), 0, nowDate());
}

}  // namespace store
