// Field access by id, path names, whole-record readers and the cursor wrappers.
#include "store/ctreebook.h"
#include "store/values.h"
#include "util/path_text.h"

namespace store {

namespace {

engine::Recordset& required(const std::unique_ptr<engine::Recordset>& rs) {
    if (!rs) throw engine::Error(engine::ErrorCode::Generic, "no library is open");
    return *rs;
}

}  // namespace

std::string ctreebook::trimNull(const engine::Value& v) { return clsFilePath::convTx(v); }

bool ctreebook::seekID(engine::Recordset& rs, int32_t id) {
    if (rs.index() != "primaryKey") rs.setIndex("primaryKey");
    rs.seek("=", engine::Value(id));
    return !rs.noMatch();
}

bool ctreebook::seekIDForward(engine::Recordset& rs, int32_t id) {
    if (rs.index() == "primaryKey") {
        try {
            for (int step = 0; step < 8 && !rs.eof() && !rs.bof(); ++step) {
                const int32_t at = longOrZero(rs.field("id"));
                if (at == id) return true;
                if (at > id) break;
                rs.moveNext();
            }
        } catch (const engine::Error&) {
            // No current row (it was just deleted): the seek below finds the record.
        }
    }
    return seekID(rs, id);
}

engine::Value ctreebook::fieldByID(engine::Recordset* rs, int32_t id, const char* field) {
    if (!open_ || !rs) return {};
    try {
        return seekID(*rs, id) ? rs->field(field) : engine::Value();
    } catch (...) {
        return {};
    }
}

bool ctreebook::setFieldByID(engine::Recordset* rs, int32_t id, const char* field,
                             const engine::Value& v) {
    if (!open_ || !rs) return false;
    try {
        if (!seekID(*rs, id)) return false;
        rs->edit();
        rs->setField(field, v);
        rs->update();
        return true;
    } catch (...) {
        abandonEdit(rs);
        return false;
    }
}

std::string ctreebook::BTByID(int32_t id) { return trimNull(fieldByID(rs_.get(), id, "bt")); }
std::string ctreebook::getBTByID(int32_t id) { return textOrEmpty(fieldByID(rs_.get(), id, "bt")); }
int32_t ctreebook::pidByID(int32_t id) { return longOrZero(fieldByID(rs_.get(), id, "pid")); }
engine::Date ctreebook::dateByid(int32_t id) { return dateOrZero(fieldByID(rs_.get(), id, "dt")); }
int32_t ctreebook::sizeByid(int32_t id) { return longOrZero(fieldByID(rs_.get(), id, "size")); }
int32_t ctreebook::getSize(int32_t id) { return sizeByid(id); }
bool ctreebook::pathByid(int32_t id) { return boolOrFalse(fieldByID(rs_.get(), id, "path")); }
bool ctreebook::isPath(int32_t id) { return pathByid(id); }
int32_t ctreebook::attrByid(int32_t id) { return longOrZero(fieldByID(rs_.get(), id, "attr")); }
std::string ctreebook::gsByid(int32_t id) {
    return util::asciiLower(trimNull(fieldByID(nrRS_.get(), id, "gs")));
}
int32_t ctreebook::sizeByidNR(int32_t id) { return longOrZero(fieldByID(nrRS_.get(), id, "size")); }
int32_t ctreebook::crcByid(int32_t id) { return longOrZero(fieldByID(nrRS_.get(), id, "crc")); }
bool ctreebook::zedByID(int32_t id) { return boolOrFalse(fieldByID(nrRS_.get(), id, "zed")); }
int32_t ctreebook::getNRSize(int32_t id) { return sizeByidNR(id); }

std::string ctreebook::KeyById(int32_t id) { return "k" + std::to_string(id); }

std::string ctreebook::getPPathName(int32_t id, bool includeSelf) {
    std::vector<int32_t> chain = parentChain(includeSelf ? id : pidByID(id));
    std::string path;
    for (int32_t member : chain) {
        if (member <= 1) break;
        path = BTByID(member) + "/" + path;
    }
    if (!path.empty() && path.back() == '/') path.pop_back();
    return path;
}

std::string ctreebook::lxnameByid(int32_t id) {
    std::string path;
    for (int32_t member : parentChain(id)) path += (path.empty() ? "" : "/") + BTByID(member);
    return path;
}

bool ctreebook::getCurrRec() {
    if (!open_ || !rs_) return false;
    try {
        if (rs_->eof() || rs_->bof()) return false;
        currRec_ = TreeRecord{longOrZero(rs_->field("id")),
                              textOrEmpty(rs_->field("bt")),
                              static_cast<int16_t>(longOrZero(rs_->field("attr"))),
                              dateOrZero(rs_->field("dt")),
                              boolOrFalse(rs_->field("path")),
                              longOrZero(rs_->field("pid")),
                              boolOrFalse(rs_->field("readed")),
                              longOrZero(rs_->field("size"))};
        return true;
    } catch (...) {
        return false;
    }
}

bool ctreebook::getCurrRec2() {
    if (!open_ || !nrRS_) return false;
    try {
        if (nrRS_->eof() || nrRS_->bof()) return false;
        long length = nrRS_->fieldSize("nr");
        currNR_ = ContentRecord{longOrZero(nrRS_->field("id")),
                                longOrZero(nrRS_->field("crc")),
                                textOrEmpty(nrRS_->field("gs")),
                                longOrZero(nrRS_->field("size")),
                                boolOrFalse(nrRS_->field("zed")),
                                length > 0 ? nrRS_->getChunk("nr", 0, length) : Bytes()};
        return true;
    } catch (...) {
        return false;
    }
}

bool ctreebook::getRecByID(int32_t id) {
    if (!open_ || !rs_) return false;
    try {
        return seekID(*rs_, id) && getCurrRec();
    } catch (...) {
        return false;
    }
}

bool ctreebook::getRecByID2(int32_t id) {
    if (!open_ || !nrRS_) return false;
    try {
        return seekID(*nrRS_, id) && getCurrRec2();
    } catch (...) {
        return false;
    }
}

bool ctreebook::getRec(int32_t pid, const std::string& title, const std::string& gs) {
    int32_t id = findPidBT(pid, title, gs);
    return id > 0 && getRecByID(id);
}

engine::Value ctreebook::currentContentField(const char* field) {
    if (!open_ || !nrRS_) return {};
    try {
        return nrRS_->eof() || nrRS_->bof() ? engine::Value() : nrRS_->field(field);
    } catch (...) {
        return {};
    }
}

std::string ctreebook::getCurr格式() { return util::asciiLower(trimNull(currentContentField("gs"))); }
int32_t ctreebook::getCurrCRC() { return longOrZero(currentContentField("crc")); }
int32_t ctreebook::getCurr长度() { return longOrZero(currentContentField("size")); }

std::string ctreebook::GetAutoNumDAO(engine::Database& db, const std::string& tableName) {
    try {
        for (const engine::FieldDef& f : db.tableDef(tableName).fields)
            if (f.attributes & 16) return f.name;
    } catch (...) {
    }
    return {};
}

void ctreebook::moveNextOn(engine::Recordset& rs) {
    if (rs.eof()) return;
    rs.moveNext();
    if (rs.eof() && rs.recordCount() > 0) {
        rs.moveLast();
        if (seams.beep) seams.beep();
    }
}

void ctreebook::movePreviousOn(engine::Recordset& rs) {
    if (rs.bof()) return;
    rs.movePrevious();
    if (rs.bof() && rs.recordCount() > 0) {
        rs.moveFirst();
        if (seams.beep) seams.beep();
    }
}

void ctreebook::AddNew() { required(rs_).addNew(); }
void ctreebook::AddNew2() { required(nrRS_).addNew(); }
void ctreebook::Delete() {
    required(rs_).deleteRecord();
    moveNextOn(*rs_);
}
void ctreebook::Delete2() {
    required(nrRS_).deleteRecord();
    moveNextOn(*nrRS_);
}
void ctreebook::Requery() { required(rs_).requery(); }
void ctreebook::Update() {
    required(rs_).update();
    if (rs_->editMode() == engine::EditMode::Add) rs_->moveLast();
}
void ctreebook::Update2() {
    required(nrRS_).update();
    if (nrRS_->editMode() == engine::EditMode::Add) nrRS_->moveLast();
}
void ctreebook::Cancel() {
    required(rs_).cancelUpdate();
    if (rs_->editMode() == engine::EditMode::Add) rs_->moveFirst();
}
void ctreebook::Cancel2() {
    required(nrRS_).cancelUpdate();
    if (nrRS_->editMode() == engine::EditMode::Add) nrRS_->moveFirst();
}
void ctreebook::MoveFirst() { required(rs_).moveFirst(); }
void ctreebook::MoveFirst2() { required(nrRS_).moveFirst(); }
void ctreebook::MoveLast() { required(rs_).moveLast(); }
void ctreebook::MoveLast2() { required(nrRS_).moveLast(); }
void ctreebook::MoveNext() { moveNextOn(required(rs_)); }
void ctreebook::MoveNext2() { moveNextOn(required(nrRS_)); }
void ctreebook::MovePrevious() { movePreviousOn(required(rs_)); }
void ctreebook::MovePrevious2() { movePreviousOn(required(nrRS_)); }

}  // namespace store
