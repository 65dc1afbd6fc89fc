// The two notes of a record in the note table: a binary one with its format, and a text.
#include "store/ctreebook.h"
#include "store/values.h"

namespace store {

namespace {

// Positions the note recordset on the note of id, adding one when missing.
void editNote(engine::Recordset& rs, int32_t id, bool found) {
    if (found) {
        rs.edit();
    } else {
        rs.addNew();
        rs.setField("id", engine::Value(id));
    }
}

}  // namespace

bool ctreebook::insertNode1(int32_t id, const Bytes& note, const std::string& gs) {
    return noteRS_ && inTransaction([&] {
        if (!getRecByID(id)) return false;
        editNote(*noteRS_, id, seekID(*noteRS_, id));
        noteRS_->appendChunk("Note1", note);
        noteRS_->setField("gs", engine::Value(firstChars(gs, 6)));
        noteRS_->update();
        return true;
    });
}

bool ctreebook::insertNode2(int32_t id, const std::string& note) {
    return noteRS_ && inTransaction([&] {
        if (!getRecByID(id)) return false;
        editNote(*noteRS_, id, seekID(*noteRS_, id));
        noteRS_->setField("Note2", engine::Value(note));
        noteRS_->update();
        return true;
    });
}

bool ctreebook::getNode1(int32_t id, Bytes& note, std::string& gs) {
    if (!open_ || !noteRS_) return false;
    try {
        if (!seekID(*noteRS_, id)) return false;
        const long length = noteRS_->fieldSize("Note1");
        if (length <= 0) return false;
        note = noteRS_->getChunk("Note1", 0, length);
        gs = trimNull(noteRS_->field("gs"));
        return true;
    } catch (...) {
        return false;
    }
}

std::string ctreebook::getNode2(int32_t id) {
    return open_ && noteRS_ ? textOrEmpty(fieldByID(noteRS_.get(), id, "Note2")) : std::string();
}

}  // namespace store
