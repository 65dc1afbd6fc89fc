// New libraries: the three tables, their identification properties, and bringing older
// libraries up to date.
#include <filesystem>

#include "store/ctreebook.h"
#include "store/values.h"

namespace store {

namespace {

using engine::DaoType;
using engine::FieldDef;
using engine::IndexDef;
using engine::TableDef;

const char* const kLocale = ";LANGID=0x0804;CP=936;COUNTRY=0";
constexpr int kDbVersion40 = 64;

FieldDef longField(const char* name, std::optional<std::string> dflt) {
    return FieldDef{name, DaoType::Long, 4, std::move(dflt), false, 0};
}

FieldDef textField(const char* name, int size) {
    return FieldDef{name, DaoType::Text, size, std::string("\"\""), true, 0};
}

FieldDef plainField(const char* name, DaoType type, std::optional<std::string> dflt = {},
                    bool zeroLength = false) {
    return FieldDef{name, type, 0, std::move(dflt), zeroLength, 0};
}

IndexDef primaryKey() { return IndexDef{"primaryKey", "+id", true, true}; }

// The four identification properties every library table carries.
void addLibProperties(engine::Database& db, const std::string& table, int32_t libID) {
    db.createProperty(table, "QuillmereLibID", DaoType::Long, engine::Value(libID));
    db.createProperty(table, "QuillmereLibDT", DaoType::Date, engine::Value(nowDate()));
    db.createProperty(table, "VYNEuser", DaoType::Text, engine::Value("vyneUser"));
    db.createProperty(table, "VYNEpassword", DaoType::Text, engine::Value("vyne-browser"));
}

// Replaces a table of that name by def and marks it with its library id.
bool makeTable(engine::Database& db, const TableDef& def, int32_t libID) {
    try {
        for (const std::string& existing : db.tableNames())
            if (equalsNoCase(existing, def.name)) db.deleteTable(existing);
        db.createTable(def);
        addLibProperties(db, def.name, libID);
        return true;
    } catch (const engine::Error&) {
        return false;
    }
}

}  // namespace

bool ctreebook::tableExists(engine::Database& db, const std::string& name) {
    try {
        for (const std::string& table : db.tableNames())
            if (equalsNoCase(table, name)) return true;
    } catch (const engine::Error&) {
    }
    return false;
}

bool ctreebook::createTreeTable(engine::Database& db, const std::string& name) {
    TableDef def{name,
                 {longField("id", "0"), longField("pid", "0"), textField("bt", titleLimit_),
                  plainField("path", DaoType::Boolean), longField("size", "0"),
                  longField("attr", "0"), plainField("dt", DaoType::Date, "Now()"),
                  plainField("readed", DaoType::Boolean)},
                 {primaryKey(), IndexDef{"pid", "+pid;+id", false, false}}};
    return makeTable(db, def, 2018);
}

bool ctreebook::createNrTable(engine::Database& db, const std::string& name) {
    TableDef def{name,
                 {longField("id", std::nullopt), plainField("zed", DaoType::Boolean),
                  longField("size", "0"), plainField("nr", DaoType::LongBinary),
                  textField("gs", 6), longField("crc", "0")},
                 {primaryKey()}};
    return makeTable(db, def, 3018);
}

bool ctreebook::createNoteTable(engine::Database& db, const std::string& name) {
    TableDef def{name,
                 {longField("id", std::nullopt), longField("link1", "0"), longField("link2", "0"),
                  longField("link3", "0"), plainField("Note1", DaoType::LongBinary),
                  textField("gs", 6), plainField("Note2", DaoType::Memo, "\"\"", true)},
                 {primaryKey()}};
    return makeTable(db, def, 4018);
}

bool ctreebook::createBookMDB(const std::string& fileName, const std::string& tabName,
                              const std::string& nrTabName) {
    namespace fs = std::filesystem;
    std::error_code ec;
    if (fs::is_directory(fileName, ec)) return false;
    if (fs::exists(fs::symlink_status(fileName, ec))) {
        if (!seams.askYesNo || !seams.askYesNo(fileName + " existed, Overwrit it?")) return false;
        if (!fs::remove(fileName, ec) || ec) return false;
    }
    std::unique_ptr<engine::Database> db;
    try {
        db = engine::createDatabase(fileName, kLocale, kDbVersion40);
    } catch (const engine::Error&) {
        return false;
    }
    bool made = false;
    try {
        // One transaction: the new file is written once.
        db->beginTrans();
        made = createTreeTable(*db, tabName.empty() ? tabName_ : tabName) &&
               createNrTable(*db, nrTabName.empty() ? nrTabName_ : nrTabName) &&
               createNoteTable(*db, noteTabName_);
        db->commitTrans();
    } catch (const engine::Error&) {
        made = false;
    }
    try {
        db->close();
    } catch (const engine::Error&) {
    }
    return made;
}

bool ctreebook::convertToNewVer(const std::string& fileName) {
    if (!isTreeBookDB(fileName)) return false;
    try {
        auto db = engine::openDatabase(fileName);
        if (db->readOnly()) return false;
        bool done = tableExists(*db, noteTabName_) || createNoteTable(*db, noteTabName_);
        if (done) {
            addLibProperties(*db, "nr", 3018);
            addLibProperties(*db, "tree", 2018);
        }
        db->close();
        return done;
    } catch (const engine::Error&) {
        return false;
    }
}

}  // namespace store
