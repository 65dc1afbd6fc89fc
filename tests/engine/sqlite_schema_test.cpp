// Table definitions, DAO facts and table properties of native databases.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include "engine/library_fixture.h"
#include "support/temp_dir.h"

namespace {

using engine::DaoType;
using engine::ErrorCode;
using engine_test::errorOf;
using engine::Value;

// Runs one query with the plain SQLite library and returns the first column of each row.
std::vector<std::string> rawColumn(const std::string& path, const std::string& sql) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* st = nullptr;
    std::vector<std::string> out;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) == SQLITE_OK)
        while (sqlite3_step(st) == SQLITE_ROW)
            out.emplace_back(sqlite3_column_text(st, 0) ? reinterpret_cast<const char*>(sqlite3_column_text(st, 0)) : "");
    sqlite3_finalize(st);
    sqlite3_close(db);
    return out;
}

engine::FieldDef field(const std::string& name, DaoType type = DaoType::Long, int size = 0, long attributes = 0) {
    engine::FieldDef f;
    f.name = name;
    f.type = type;
    f.size = size;
    f.allowZeroLength = type == DaoType::Text;
    f.attributes = attributes;
    return f;
}

TEST(SqliteSchema, LibraryTablesKeepTheirDaoFactsAcrossReopening) {
    testing_support::TempDir dir;
    const std::string path = dir.file("lib.mdb");
    engine_test::createLibrary(path)->close();

    auto db = engine::openDatabase(path);
    EXPECT_EQ(db->format(), engine::Format::Sqlite);
    EXPECT_FALSE(db->readOnly());
    EXPECT_EQ(db->tableNames(), (std::vector<std::string>{"tree", "nr", "note"}));

    for (const engine::TableDef& expected : {engine_test::treeTable(), engine_test::nrTable(), engine_test::noteTable()}) {
        const engine::TableDef got = db->tableDef(expected.name);
        ASSERT_EQ(got.fields.size(), expected.fields.size()) << expected.name;
        for (size_t i = 0; i < got.fields.size(); ++i) {
            const auto &g = got.fields[i], &e = expected.fields[i];
            EXPECT_EQ(g.name, e.name);
            EXPECT_EQ(g.type, e.type) << e.name;
            EXPECT_EQ(g.size, e.size) << e.name;
            EXPECT_EQ(g.defaultValue, e.defaultValue) << e.name;
            EXPECT_EQ(g.allowZeroLength, e.allowZeroLength) << e.name;
        }
        ASSERT_EQ(got.indexes.size(), expected.indexes.size());
        for (size_t i = 0; i < got.indexes.size(); ++i) {
            EXPECT_EQ(got.indexes[i].name, expected.indexes[i].name);
            EXPECT_EQ(got.indexes[i].fields, expected.indexes[i].fields);
            EXPECT_EQ(got.indexes[i].primary, expected.indexes[i].primary);
            EXPECT_EQ(got.indexes[i].unique, expected.indexes[i].unique);
        }
    }
    EXPECT_EQ(db->tableDef("TREE").field("BT")->size, 100);
    EXPECT_EQ(db->tableDef("nr").field("CRC")->name, "crc");

    // The file is plain SQLite: the tables and their columns are there under their own names,
    // the per-table index names are mapped onto database-wide ones.
    EXPECT_EQ(rawColumn(path, "SELECT name FROM pragma_table_info('tree')"),
              (std::vector<std::string>{"id", "pid", "bt", "path", "size", "attr", "dt", "readed"}));
    EXPECT_EQ(rawColumn(path, "SELECT count(*) FROM sqlite_master WHERE type = 'index' AND name LIKE '%primaryKey%'"),
              (std::vector<std::string>{"3"}));
    EXPECT_EQ(rawColumn(path, "SELECT value FROM vyne_database WHERE name = 'locale'"),
              (std::vector<std::string>{";LANGID=0x0804;CP=936;COUNTRY=0"}));
    EXPECT_EQ(rawColumn(path, "SELECT value FROM vyne_database WHERE name = 'dao_version'"),
              (std::vector<std::string>{"64"}));
}

TEST(SqliteSchema, CreatingAndDeletingTables) {
    testing_support::TempDir dir;
    auto db = engine_test::createLibrary(dir.file("lib.mdb"));

    EXPECT_EQ(errorOf([&] { db->createTable(engine_test::treeTable()); }), ErrorCode::Generic);  // exists
    EXPECT_EQ(errorOf([&] { db->createTable({"vyne_tables", {field("x")}, {}}); }), ErrorCode::Generic);
    EXPECT_EQ(errorOf([&] { db->createTable({"empty", {}, {}}); }), ErrorCode::Generic);
    EXPECT_EQ(errorOf([&] { db->createTable({"bad", {field("a")}, {{"k", "+b"}}}); }), ErrorCode::NotFound);
    EXPECT_EQ(errorOf([&] { db->tableDef("missing"); }), ErrorCode::NotFound);
    EXPECT_EQ(db->tableNames().size(), 3u);  // failed creations leave nothing behind

    engine::TableDef odd{"分类 \"文章\"", {field("名 称", DaoType::Text, 10), field("n", DaoType::Integer)}, {}};
    odd.indexes = {{"primaryKey", "-n", true, true}};
    db->createTable(odd);
    EXPECT_EQ(db->tableDef("分类 \"文章\"").field("n")->size, 2);
    db->deleteTable("NOTE");
    EXPECT_EQ(db->tableNames(), (std::vector<std::string>{"tree", "nr", "分类 \"文章\""}));
    EXPECT_EQ(errorOf([&] { db->openTable("note"); }), ErrorCode::NotFound);
    db->createTable(engine_test::noteTable());  // the index names are free again
    EXPECT_EQ(db->tableNames().back(), "note");
}

TEST(SqliteSchema, TablePropertiesByName) {
    testing_support::TempDir dir;
    const std::string path = dir.file("lib.mdb");
    {
        auto db = engine_test::createLibrary(path);
        db->createProperty("tree", "QuillmereLibID", DaoType::Long, 2018);
        db->createProperty("tree", "QuillmereLibDT", DaoType::Date, engine::Date{46000.5});
        db->createProperty("tree", "VYNEuser", DaoType::Text, "vyneUser");
        db->createProperty("nr", "QuillmereLibID", DaoType::Long, "3018");  // converted as DAO converts
        EXPECT_EQ(errorOf([&] { db->createProperty("tree", "quillmerelibid", DaoType::Long, 1); }), ErrorCode::Generic);
        EXPECT_EQ(errorOf([&] { db->createProperty("missing", "x", DaoType::Long, 1); }), ErrorCode::NotFound);
    }
    auto db = engine::openDatabase(path);
    EXPECT_EQ(db->property("tree", "quillmereLibID"), Value(2018));
    EXPECT_EQ(db->property("Tree", "QuillmereLibDT"), Value(engine::Date{46000.5}));
    EXPECT_EQ(db->property("tree", "VYNEuser"), Value("vyneUser"));
    EXPECT_EQ(db->property("nr", "QuillmereLibID"), Value(3018));
    EXPECT_EQ(db->propertyNames("tree"), (std::vector<std::string>{"QuillmereLibID", "QuillmereLibDT", "VYNEuser"}));
    EXPECT_EQ(errorOf([&] { db->property("note", "QuillmereLibID"); }), ErrorCode::PropertyNotFound);
    EXPECT_EQ(errorOf([&] { db->property("missing", "QuillmereLibID"); }), ErrorCode::NotFound);
    db->deleteTable("tree");
    db->createTable(engine_test::treeTable());
    EXPECT_EQ(errorOf([&] { db->property("tree", "QuillmereLibID"); }), ErrorCode::PropertyNotFound);
}

TEST(SqliteSchema, FieldSizesAndAttributes) {
    testing_support::TempDir dir;
    auto db = engine::createDatabase(dir.file("x.mdb"), ";LANGID=0x0804;CP=936;COUNTRY=0", 64);
    db->createTable({"t",
                     {field("n", DaoType::Long, 0, 16), field("b", DaoType::Boolean), field("d", DaoType::Date),
                      field("s", DaoType::Text, 40), field("m", DaoType::Memo), field("x", DaoType::Double)},
                     {}});
    const engine::TableDef t = db->tableDef("t");
    const std::pair<const char*, int> sizes[] = {{"n", 4}, {"b", 1}, {"d", 8}, {"s", 40}, {"m", 0}, {"x", 8}};
    for (const auto& [name, size] : sizes) EXPECT_EQ(t.field(name)->size, size) << name;
    EXPECT_EQ(t.field("n")->attributes & 16, 16);

    // An auto-increment field numbers new rows itself.
    auto rs = db->openTable("t");
    for (int i = 0; i < 2; ++i) {
        rs->addNew();
        rs->setField("s", "row");
        rs->update();
    }
    rs->moveLast();
    EXPECT_EQ(rs->field("n"), Value(2));
}

}  // namespace
