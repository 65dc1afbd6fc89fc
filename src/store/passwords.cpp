// Class and library passwords: where they are kept, how they are checked, the two prompts.
#include "store/ctreebook.h"
#include "store/values.h"
#include "util/codepage.h"

namespace store {

namespace {

constexpr int32_t kPasswordFlag = 0x1000;
const std::string kNoPassword = "ok";

int32_t libraryIfZero(int32_t id) { return id == 0 ? 1 : id; }

engine::Bytes utf16le(const std::string& ascii) {
    engine::Bytes out;
    out.reserve(ascii.size() * 2);
    for (char c : ascii) {
        out.push_back(static_cast<uint8_t>(c));
        out.push_back(0);
    }
    return out;
}

}  // namespace

std::string ctreebook::getPasswd(int32_t id) {
    id = libraryIfZero(id);
    if (!(attrByid(id) & kPasswordFlag)) return kNoPassword;
    if (passwdChecked_ && passwdChecked_->count(KeyById(id))) return kNoPassword;
    try {
        if (!nrRS_ || !seekID(*nrRS_, id)) return {};
        const engine::Bytes stored = nrRS_->getChunk("nr", 0, nrRS_->fieldSize("nr"));
        return clsFilePath::Decode(util::utf16leToUtf8(stored.data(), stored.size()));
    } catch (...) {
        return {};
    }
}

void ctreebook::setPasswdCheckOK(int32_t id) {
    if (passwdChecked_) passwdChecked_->insert(KeyById(libraryIfZero(id)));
}

bool ctreebook::putPasswd(const std::string& password, int32_t id) {
    id = libraryIfZero(id);
    // The password box drops surrounding spaces from what is typed, so a password is kept
    // without them; an empty one could never be typed and removes the password instead.
    const std::string wanted = clsFilePath::trim(password);
    if (!pathByid(id)) return false;
    if (wanted.empty() || wanted == kNoPassword) return changeAttr(id, ~kPasswordFlag);
    return inTransaction([&] {
        if (!changeAttr(id, kPasswordFlag)) return false;
        if (seekID(*nrRS_, id)) {
            nrRS_->edit();
        } else {
            nrRS_->addNew();
            nrRS_->setField("id", engine::Value(id));
        }
        nrRS_->appendChunk("nr", utf16le(clsFilePath::Encode(wanted)));
        nrRS_->update();
        return true;
    });
}

bool ctreebook::unpasswordedAllPath() {
    return inTransaction([&] {
        std::vector<int32_t> flagged;
        rs_->setIndex("primaryKey");
        for (rs_->moveFirst(); !rs_->eof(); rs_->moveNext())
            if (longOrZero(rs_->field("attr")) & kPasswordFlag) flagged.push_back(longOrZero(rs_->field("id")));
        for (int32_t id : flagged)
            if (!changeAttr(id, ~kPasswordFlag)) return false;
        return true;
    });
}

bool askPassword(ctreebook& store, int32_t id, const std::string& title) {
    const std::string password = store.getPasswd(id);
    if (password == kNoPassword) return true;
    const std::string prompt =
        title.empty() ? "Please input password for book lib " + clsFilePath().GetFileName(store.myDBName())
                      : title;
    const std::string entered =
        store.passwordPrompts.askPassword ? clsFilePath::trim(store.passwordPrompts.askPassword(prompt)) : "";
    if (entered.empty() || entered != password) return false;
    store.setPasswdCheckOK(id);
    return true;
}

bool changePassword(ctreebook& store, int32_t id, const std::string& title) {
    std::string old = store.getPasswd(id);
    if (old == kNoPassword) old.clear();
    const std::string prompt = title.empty() ? "Change password for book Lib or book class." : title;
    std::string entered = store.passwordPrompts.changePassword
                              ? store.passwordPrompts.changePassword(old, prompt)
                              : "cancel";
    if (entered == "cancel") return false;
    if (entered.empty()) entered = kNoPassword;
    return store.putPasswd(entered, id);
}

}  // namespace store
