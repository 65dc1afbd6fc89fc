// Creating, recognising and opening libraries on real files.
#include <gtest/gtest.h>

#include <filesystem>

#include "recorders.h"

namespace {

using engine::DaoType;
using store::ctreebook;
using store_test::TestLibrary;
using testing_support::readFile;
using testing_support::TempDir;
using testing_support::writeFile;

struct FieldExpect {
    const char* name;
    DaoType type;
    int size;
    std::optional<std::string> dflt;
    bool zeroLength;
};

void expectFields(engine::Database& db, const std::string& table, const std::vector<FieldExpect>& want) {
    engine::TableDef def = db.tableDef(table);
    ASSERT_EQ(def.fields.size(), want.size()) << table;
    for (size_t i = 0; i < want.size(); ++i) {
        SCOPED_TRACE(table + "." + want[i].name);
        EXPECT_EQ(def.fields[i].name, want[i].name);
        EXPECT_EQ(def.fields[i].type, want[i].type);
        if (want[i].size) EXPECT_EQ(def.fields[i].size, want[i].size);
        EXPECT_EQ(def.fields[i].defaultValue, want[i].dflt);
        EXPECT_EQ(def.fields[i].allowZeroLength, want[i].zeroLength);
    }
}

TEST(CreateBook, MakesTheThreeTablesWithTheirFieldsIndexesAndProperties) {
    TempDir dir;
    ctreebook book;
    const std::string file = dir.file("new.mdb");
    ASSERT_TRUE(book.createBookMDB(file));
    auto db = engine::openDatabase(file);
    EXPECT_EQ(db->tableNames().size(), 3u);
    const std::string quoted = "\"\"";
    expectFields(*db, "tree",
                 {{"id", DaoType::Long, 4, "0", false}, {"pid", DaoType::Long, 4, "0", false},
                  {"bt", DaoType::Text, 100, quoted, true}, {"path", DaoType::Boolean, 0, {}, false},
                  {"size", DaoType::Long, 4, "0", false}, {"attr", DaoType::Long, 4, "0", false},
                  {"dt", DaoType::Date, 0, "Now()", false}, {"readed", DaoType::Boolean, 0, {}, false}});
    expectFields(*db, "nr",
                 {{"id", DaoType::Long, 4, {}, false}, {"zed", DaoType::Boolean, 0, {}, false},
                  {"size", DaoType::Long, 4, "0", false}, {"nr", DaoType::LongBinary, 0, {}, false},
                  {"gs", DaoType::Text, 6, quoted, true}, {"crc", DaoType::Long, 4, "0", false}});
    expectFields(*db, "note",
                 {{"id", DaoType::Long, 4, {}, false}, {"link1", DaoType::Long, 4, "0", false},
                  {"link2", DaoType::Long, 4, "0", false}, {"link3", DaoType::Long, 4, "0", false},
                  {"Note1", DaoType::LongBinary, 0, {}, false}, {"gs", DaoType::Text, 6, quoted, true},
                  {"Note2", DaoType::Memo, 0, quoted, true}});
    const auto treeIndexes = db->tableDef("tree").indexes;
    ASSERT_EQ(treeIndexes.size(), 2u);
    EXPECT_EQ(treeIndexes[0].fields, "+id");
    EXPECT_TRUE(treeIndexes[0].primary && treeIndexes[0].unique);
    EXPECT_EQ(treeIndexes[1].name, "pid");
    EXPECT_EQ(treeIndexes[1].fields, "+pid;+id");
    EXPECT_FALSE(treeIndexes[1].unique);
    for (auto [table, id] : {std::pair{"tree", 2018}, {"nr", 3018}, {"note", 4018}}) {
        EXPECT_EQ(db->propertyNames(table),
                  (std::vector<std::string>{"QuillmereLibID", "QuillmereLibDT", "VYNEuser", "VYNEpassword"}));
        EXPECT_EQ(db->property(table, "QuillmereLibID").toLong(), id);
        EXPECT_TRUE(db->property(table, "QuillmereLibDT").isDate());
        EXPECT_EQ(db->property(table, "VYNEuser").toText(), "vyneUser");
        EXPECT_EQ(db->property(table, "VYNEpassword").toText().size(), 12u);
    }
    // Nothing is in the main table until the library is first opened.
    EXPECT_TRUE(db->openTable("tree")->eof());
}

TEST(CreateBook, AsksBeforeReplacingAFile) {
    TempDir dir;
    const std::string file = dir.file("taken.mdb");
    writeFile(file, "keep me");
    ctreebook book;
    std::string asked;
    book.seams.askYesNo = [&](const std::string& q) {
        asked = q;
        return false;
    };
    EXPECT_FALSE(book.createBookMDB(file));
    EXPECT_EQ(asked, file + " existed, Overwrit it?");
    EXPECT_EQ(readFile(file), "keep me");

    book.seams.askYesNo = [](const std::string&) { return true; };
    EXPECT_TRUE(book.createBookMDB(file));
    EXPECT_TRUE(ctreebook::isVYNEFile(file));

    // A folder is never replaced, whatever the answer.
    std::filesystem::create_directory(dir.file("folder.mdb"));
    EXPECT_FALSE(book.createBookMDB(dir.file("folder.mdb")));
    EXPECT_TRUE(std::filesystem::is_directory(dir.file("folder.mdb")));
}

TEST(OpenBook, FirstOpenAddsTheRootTitledWithTheFileTitleCutToTheTitleLimit) {
    TempDir dir;
    const std::string longTitle(120, 'x');
    const std::string file = dir.file(longTitle + ".mdb");
    ctreebook book;
    ASSERT_TRUE(book.createBookMDB(file));
    ASSERT_TRUE(book.openDB(file));
    EXPECT_TRUE(book.openOK());
    EXPECT_EQ(book.titleLimit(), 100);
    EXPECT_EQ(book.lastID(), 1);
    EXPECT_EQ(book.getBTByID(1), std::string(100, 'x'));
    EXPECT_EQ(book.pidByID(1), 0);
    EXPECT_TRUE(book.pathByid(1));
    EXPECT_TRUE(book.noteAvailable());
    book.closeDB();
    EXPECT_FALSE(book.openOK());
    EXPECT_EQ(book.BTByID(1), "");
}

TEST(OpenBook, TheLastIdIsTheLargestIdEvenWithGaps) {
    TestLibrary lib;
    lib.addClass(2, 1, "a");
    lib.addClass(7, 1, "b");
    lib.addClass(4, 1, "c");
    ASSERT_TRUE(lib.book.openDB(lib.file));
    EXPECT_EQ(lib.book.lastID(), 7);
}

TEST(OpenBook, ANoteTableIsAddedWhenMissing) {
    TestLibrary lib;
    lib.book.closeDB();
    engine::openDatabase(lib.file)->deleteTable("note");
    ASSERT_TRUE(lib.book.openDB(lib.file));
    EXPECT_TRUE(lib.book.noteAvailable());
    EXPECT_TRUE(ctreebook::dbContainTab(lib.file, "note"));
}

// A native database holding the named tables (one field each) and, when libIDs are given,
// the QuillmereLibID of tree and nr.
void makeDatabase(const std::string& file, const std::vector<std::string>& tables,
                  std::optional<std::pair<int, int>> libIDs = {}) {
    auto db = engine::createDatabase(file, ";LANGID=0x0804;CP=936;COUNTRY=0", 64);
    for (const std::string& t : tables)
        db->createTable({t, {{"id", DaoType::Long, 4, {}, false, 0}}, {}});
    if (libIDs) {
        db->createProperty("tree", "QuillmereLibID", DaoType::Long, engine::Value(int32_t(libIDs->first)));
        db->createProperty("nr", "QuillmereLibID", DaoType::Long, engine::Value(int32_t(libIDs->second)));
    }
    db->close();
}

struct RecognitionCase {
    const char* name;
    std::function<void(const std::string& file)> make;  // nothing made: the file is missing
    bool treeBook;
    bool vyne;
    bool opens;
};

class Recognition : public ::testing::TestWithParam<RecognitionCase> {};

TEST_P(Recognition, TellsLibrariesApartAndNeverChangesTheFile) {
    const RecognitionCase& c = GetParam();
    TempDir dir;
    const std::string file = dir.file("probe.mdb");
    if (c.make) c.make(file);
    const bool existed = std::filesystem::exists(file);
    const bool isFile = std::filesystem::is_regular_file(file);
    const std::string before = isFile ? readFile(file) : "";

    EXPECT_EQ(ctreebook::isTreeBookDB(file), c.treeBook);
    EXPECT_EQ(ctreebook::isVYNEFile(file), c.vyne);
    ctreebook book;
    if (!c.opens) {
        EXPECT_FALSE(book.openDB(file));
        EXPECT_FALSE(book.openOK());
        EXPECT_EQ(book.BTByID(1), "");
        book.closeDB();
        EXPECT_EQ(std::filesystem::exists(file), existed);
        if (isFile) EXPECT_EQ(readFile(file), before);
    } else {
        EXPECT_TRUE(book.openDB(file));
    }
}

std::string libraryBytes() {
    TestLibrary lib;
    lib.addDoc(2, 1, "doc", std::string(5000, 'z'));
    lib.book.closeDB();
    return readFile(lib.file);
}

INSTANTIATE_TEST_SUITE_P(
    Files, Recognition,
    ::testing::Values(
        RecognitionCase{"Missing", {}, false, false, false},
        RecognitionCase{"Directory", [](const std::string& f) { std::filesystem::create_directory(f); }, false, false, false},
        RecognitionCase{"Empty", [](const std::string& f) { writeFile(f, ""); }, false, false, false},
        RecognitionCase{"Text", [](const std::string& f) { writeFile(f, "id\tbt\n1\troot\n"); }, false, false, false},
        RecognitionCase{"Truncated", [](const std::string& f) { writeFile(f, libraryBytes().substr(0, 1500)); }, false, false, false},
        RecognitionCase{"Corrupt",
                        [](const std::string& f) {
                            std::string b = libraryBytes();
                            for (size_t i = 100; i < b.size(); i += 7) b[i] = static_cast<char>(b[i] ^ 0x5A);
                            writeFile(f, b);
                        },
                        false, false, false},
        RecognitionCase{"OnlyTree", [](const std::string& f) { makeDatabase(f, {"tree"}); }, false, false, false},
        RecognitionCase{"NoProperties", [](const std::string& f) { makeDatabase(f, {"tree", "nr"}); }, true, false, false},
        RecognitionCase{"WrongTreeID", [](const std::string& f) { makeDatabase(f, {"tree", "nr"}, std::pair{2019, 3018}); }, true, false, false},
        RecognitionCase{"WrongNrID", [](const std::string& f) { makeDatabase(f, {"tree", "nr"}, std::pair{2018, 3019}); }, true, false, false},
        RecognitionCase{"Library", [](const std::string& f) {
                            ctreebook b;
                            b.createBookMDB(f);
                        }, true, true, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Recognition, DualLevelLibrariesAndTablesByName) {
    TempDir dir;
    const std::string dual = dir.file("dual.mdb");
    makeDatabase(dual, {"zlx", "lx", "分类文章"});
    EXPECT_TRUE(ctreebook::isDualLXBookDB(dual));
    EXPECT_FALSE(ctreebook::isTreeBookDB(dual));
    EXPECT_TRUE(ctreebook::dbContainTab(dual, "LX"));
    EXPECT_FALSE(ctreebook::dbContainTab(dual, "tree"));
    EXPECT_FALSE(ctreebook::dbContainTab(dir.file("none.mdb"), "tree"));
}

TEST(ConvertToNewVer, GivesAnOlderLibraryItsPropertiesAndNoteTable) {
    TempDir dir;
    const std::string file = dir.file("old.mdb");
    makeDatabase(file, {"tree", "nr"});
    ctreebook book;
    EXPECT_FALSE(ctreebook::isVYNEFile(file));
    EXPECT_TRUE(book.convertToNewVer(file));
    EXPECT_TRUE(ctreebook::isVYNEFile(file));
    EXPECT_TRUE(ctreebook::dbContainTab(file, "note"));
    EXPECT_FALSE(book.convertToNewVer(dir.file("missing.mdb")));
}

TEST(GetAutoNumDAO, NamesTheFirstAutoIncrementField) {
    TempDir dir;
    auto db = engine::createDatabase(dir.file("auto.mdb"), "", 64);
    db->createTable({"t", {{"a", DaoType::Long, 4, {}, false, 0}, {"b", DaoType::Long, 4, {}, false, 16}}, {}});
    db->createTable({"u", {{"a", DaoType::Long, 4, {}, false, 0}}, {}});
    EXPECT_EQ(ctreebook::GetAutoNumDAO(*db, "t"), "b");
    EXPECT_EQ(ctreebook::GetAutoNumDAO(*db, "u"), "");
    EXPECT_EQ(ctreebook::GetAutoNumDAO(*db, "missing"), "");
}

}  // namespace

namespace {

TEST(OpenBook, ReadOnlyOpeningWritesNothing) {
    TempDir dir;
    const std::string file = dir.file("fresh.mdb");
    ctreebook book;
    ASSERT_TRUE(book.createBookMDB(file));
    engine::openDatabase(file)->deleteTable("note");
    const std::string before = readFile(file);
    book.setReadOnlyOpen(true);
    ASSERT_TRUE(book.openDB(file));
    EXPECT_EQ(book.lastID(), 0);
    EXPECT_EQ(book.BTByID(1), "");
    EXPECT_FALSE(book.noteAvailable());
    book.closeDB();
    EXPECT_EQ(readFile(file), before);
}

}  // namespace
