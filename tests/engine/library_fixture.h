// Native databases with the library's three tables, made the way the store makes them, and
// small helpers of the engine tests.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <memory>
#include <string>
#include <vector>

#include "store/engine/database.h"

namespace engine_test {

inline engine::TableDef treeTable(int titleSize = 100) {
    using engine::DaoType;
    engine::TableDef t{"tree", {}, {}};
    t.fields = {{"id", DaoType::Long, 4, "0", false, 0},      {"pid", DaoType::Long, 4, "0", false, 0},
                {"bt", DaoType::Text, titleSize, "\"\"", true, 0}, {"path", DaoType::Boolean, 1, {}, false, 0},
                {"size", DaoType::Long, 4, "0", false, 0},    {"attr", DaoType::Long, 4, "0", false, 0},
                {"dt", DaoType::Date, 8, "Now()", false, 0},  {"readed", DaoType::Boolean, 1, {}, false, 0}};
    t.indexes = {{"primaryKey", "+id", true, true}, {"pid", "+pid;+id", false, false}};
    return t;
}

inline engine::TableDef nrTable() {
    using engine::DaoType;
    engine::TableDef t{"nr", {}, {}};
    t.fields = {{"id", DaoType::Long, 4, {}, false, 0},        {"zed", DaoType::Boolean, 1, {}, false, 0},
                {"size", DaoType::Long, 4, "0", false, 0},     {"nr", DaoType::LongBinary, 0, {}, false, 0},
                {"gs", DaoType::Text, 6, "\"\"", true, 0},     {"crc", DaoType::Long, 4, "0", false, 0}};
    t.indexes = {{"primaryKey", "+id", true, true}};
    return t;
}

inline engine::TableDef noteTable() {
    using engine::DaoType;
    engine::TableDef t{"note", {}, {}};
    t.fields = {{"id", DaoType::Long, 4, {}, false, 0},          {"link1", DaoType::Long, 4, "0", false, 0},
                {"link2", DaoType::Long, 4, "0", false, 0},      {"link3", DaoType::Long, 4, "0", false, 0},
                {"Note1", DaoType::LongBinary, 0, {}, false, 0}, {"gs", DaoType::Text, 6, "\"\"", true, 0},
                {"Note2", DaoType::Memo, 0, "\"\"", true, 0}};
    t.indexes = {{"primaryKey", "+id", true, true}};
    return t;
}

inline std::unique_ptr<engine::Database> createLibrary(const std::string& path) {
    auto db = engine::createDatabase(path, ";LANGID=0x0804;CP=936;COUNTRY=0", 64);
    db->createTable(treeTable());
    db->createTable(nrTable());
    db->createTable(noteTable());
    return db;
}

// Adds one tree record (as the store does: id, pid, bt, path; the rest defaults).
inline void addRecord(engine::Recordset& rs, int id, int pid, const std::string& title, bool isClass) {
    rs.addNew();
    rs.setField("id", id);
    rs.setField("pid", pid);
    rs.setField("bt", title);
    rs.setField("path", isClass);
    rs.update();
}

// The error code a call throws; 0 when it succeeds.
template <class F>
engine::ErrorCode errorOf(F&& f) {
    try {
        f();
    } catch (const engine::Error& e) {
        return e.code();
    }
    return engine::ErrorCode{0};
}

// On the current row: every field read by its place gives what a read by its name gives, and
// places outside the row are refused like unknown names.
inline void expectReadsByPlaceMatchReadsByName(const engine::Recordset& rs) {
    const std::vector<std::string> names = rs.fieldNames();
    for (size_t i = 0; i < names.size(); ++i) {
        std::string upper = names[i];
        for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        EXPECT_EQ(rs.fieldIndex(upper), i) << names[i];
        EXPECT_EQ(rs.fieldAt(i), rs.field(names[i])) << names[i];
    }
    EXPECT_EQ(errorOf([&] { rs.fieldIndex("nosuch"); }), engine::ErrorCode::NotFound);
    EXPECT_EQ(errorOf([&] { rs.fieldAt(names.size()); }), engine::ErrorCode::NotFound);
}

}  // namespace engine_test
