// Native database files: recognition, bad files left alone, read-only files, durability,
// transactions.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <optional>

#include "engine/library_fixture.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using engine::ErrorCode;
using engine_test::errorOf;
using engine::Value;
using testing_support::readFile;
using testing_support::writeFile;

std::vector<std::string> filesIn(const std::string& dir) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Rows of tree as another program sees them right now.
long countFromOutside(const std::string& path, const std::string& where = "1") {
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* st = nullptr;
    long n = -1;
    if (sqlite3_prepare_v2(db, ("SELECT count(*) FROM tree WHERE " + where).c_str(), -1, &st, nullptr) == SQLITE_OK &&
        sqlite3_step(st) == SQLITE_ROW)
        n = sqlite3_column_int(st, 0);
    sqlite3_finalize(st);
    sqlite3_close(db);
    return n;
}

TEST(SqliteFiles, DetectFormatByContent) {
    testing_support::TempDir dir;
    engine_test::createLibrary(dir.file("native.mdb"))->close();
    writeFile(dir.file("jet.mdb"), std::string("\0\1\0\0Standard Jet DB\0", 20) + std::string(2000, '\0'));
    writeFile(dir.file("empty.mdb"), "");
    writeFile(dir.file("text.mdb"), "SQLite format 2 is not what this is");
    const std::pair<std::string, engine::Format> cases[] = {
        {dir.file("native.mdb"), engine::Format::Sqlite}, {dir.file("jet.mdb"), engine::Format::Jet},
        {dir.file("empty.mdb"), engine::Format::None},    {dir.file("text.mdb"), engine::Format::None},
        {dir.file("missing.mdb"), engine::Format::None},  {dir.path(), engine::Format::None},
    };
    for (const auto& [path, format] : cases) EXPECT_EQ(engine::detectFormat(path), format) << path;
}

TEST(SqliteFiles, BadFilesFailAndStayUnchanged) {
    testing_support::TempDir dir;
    const std::string good = dir.file("good.mdb");
    engine_test::createLibrary(good)->close();
    const std::string library = readFile(good);
    fs::remove(good);

    std::string scribbled = library;
    for (size_t i = 100; i < 4096; ++i) scribbled[i] = '\xA5';
    sqlite3* foreign = nullptr;  // a sound SQLite file that is not one of ours
    sqlite3_open(dir.file("foreign.mdb").c_str(), &foreign);
    sqlite3_exec(foreign, "CREATE TABLE tree (id INTEGER); CREATE TABLE nr (id INTEGER)", nullptr, nullptr, nullptr);
    sqlite3_close(foreign);
    writeFile(dir.file("metadata.mdb"), library);  // ours, with an index on a field that is not there
    sqlite3* damaged = nullptr;
    sqlite3_open(dir.file("metadata.mdb").c_str(), &damaged);
    sqlite3_exec(damaged, "UPDATE vyne_indexes SET fields = '+nosuch'", nullptr, nullptr, nullptr);
    sqlite3_close(damaged);

    struct Case {
        const char* name;
        std::optional<std::string> bytes;  // none: the file made above
        ErrorCode code;
    } cases[] = {
        {"zero.mdb", "", ErrorCode::CannotOpen},
        {"text.mdb", "just some words\r\n", ErrorCode::CannotOpen},
        {"header-only.mdb", library.substr(0, 100), ErrorCode::Corrupt},
        {"half.mdb", library.substr(0, library.size() / 2), ErrorCode::Corrupt},
        {"scribbled.mdb", scribbled, ErrorCode::Corrupt},
        {"foreign.mdb", std::nullopt, ErrorCode::CannotOpen},
        {"metadata.mdb", std::nullopt, ErrorCode::Corrupt},
    };
    for (auto& c : cases) {
        const std::string path = dir.file(c.name);
        if (c.bytes) writeFile(path, *c.bytes);
        const std::string before = readFile(path);
        const auto filesBefore = filesIn(dir.path());
        EXPECT_EQ(errorOf([&] { engine::openDatabase(path); }), c.code) << c.name;
        EXPECT_EQ(readFile(path), before) << c.name;
        EXPECT_EQ(filesIn(dir.path()), filesBefore) << c.name;
    }
    EXPECT_EQ(errorOf([&] { engine::openDatabase(dir.file("missing.mdb")); }), ErrorCode::CannotOpen);
    EXPECT_EQ(errorOf([&] { engine::openDatabase(dir.path()); }), ErrorCode::CannotOpen);
    EXPECT_EQ(errorOf([&] { engine::createDatabase(dir.file("text.mdb"), "", 64); }), ErrorCode::Generic);
    EXPECT_EQ(readFile(dir.file("text.mdb")), "just some words\r\n");
}

TEST(SqliteFiles, ReadOnlyFileOpensReadOnly) {
    testing_support::TempDir dir;
    const std::string path = dir.file("lib.mdb");
    {
        auto db = engine_test::createLibrary(path);
        db->createProperty("tree", "QuillmereLibID", engine::DaoType::Long, 2018);
        auto tree = db->openTable("tree");
        engine_test::addRecord(*tree, 1, 0, "lib", true);
    }
    fs::permissions(path, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const std::string before = readFile(path);

    auto db = engine::openDatabase(path);
    EXPECT_TRUE(db->readOnly());
    EXPECT_EQ(db->property("tree", "QuillmereLibID"), Value(2018));
    auto tree = db->openTable("tree");
    tree->setIndex("primaryKey");
    tree->seek("=", 1);
    EXPECT_EQ(tree->field("bt"), Value("lib"));
    EXPECT_EQ(errorOf([&] { tree->edit(); }), ErrorCode::ReadOnly);
    EXPECT_EQ(errorOf([&] { tree->addNew(); }), ErrorCode::ReadOnly);
    EXPECT_EQ(errorOf([&] { tree->deleteRecord(); }), ErrorCode::ReadOnly);
    EXPECT_EQ(errorOf([&] { db->createTable(engine_test::treeTable()); }), ErrorCode::ReadOnly);
    EXPECT_EQ(errorOf([&] { db->deleteTable("nr"); }), ErrorCode::ReadOnly);
    EXPECT_EQ(errorOf([&] { db->createProperty("nr", "x", engine::DaoType::Long, 1); }), ErrorCode::ReadOnly);
    db->close();
    EXPECT_EQ(readFile(path), before);

    fs::permissions(path, fs::perms::owner_write, fs::perm_options::add);
    EXPECT_TRUE(engine::openDatabase(path, {true, false})->readOnly());
    EXPECT_FALSE(engine::openDatabase(path)->readOnly());
}

TEST(SqliteFiles, EveryChangeIsOnDiskWhenTheCallReturns) {
    testing_support::TempDir dir;
    const std::string path = dir.file("lib.mdb");
    auto db = engine_test::createLibrary(path);
    auto tree = db->openTable("tree");
    auto reader = db->openTable("tree");
    engine_test::addRecord(*tree, 1, 0, "lib", true);
    engine_test::addRecord(*tree, 2, 1, "doc", false);
    reader->setIndex("primaryKey");
    reader->seek("=", 1);  // a recordset standing on a row holds nothing open
    EXPECT_EQ(countFromOutside(path), 2);

    tree->setIndex("primaryKey");
    tree->seek("=", 2);
    tree->edit();
    tree->setField("readed", true);
    tree->update();
    EXPECT_EQ(countFromOutside(path, "readed = -1"), 1);
    auto query = db->openQuery("SELECT [id] FROM tree");
    tree->deleteRecord();
    EXPECT_EQ(countFromOutside(path), 1);
    EXPECT_EQ(query->recordCount(), 2);  // a query result is a snapshot
}

TEST(SqliteFiles, AProcessThatDiesInTheMiddleLeavesASoundFile) {
    testing_support::TempDir dir;
    const std::string path = dir.file("lib.mdb");
    {
        auto db = engine_test::createLibrary(path);
        auto tree = db->openTable("tree");
        engine_test::addRecord(*tree, 1, 0, "lib", true);
    }
    const std::string before = readFile(path);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Half of a long operation, then the process is gone without a word.
        auto db = engine::openDatabase(path);
        auto tree = db->openTable("tree");
        db->beginTrans();
        db->deleteTable("nr");
        // More than the page cache holds, so that the file itself is already being written.
        for (int id = 2; id < 40000; ++id) engine_test::addRecord(*tree, id, 1, std::string(90, 'x'), false);
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(fs::exists(path + "-journal"));  // what a crash leaves: the undo record
    ASSERT_NE(readFile(path), before);             // and pages written before the commit

    auto db = engine::openDatabase(path);
    EXPECT_EQ(db->tableNames(), (std::vector<std::string>{"tree", "nr", "note"}));
    auto tree = db->openTable("tree");
    EXPECT_EQ(tree->recordCount(), 1);
    EXPECT_EQ(tree->field("bt"), Value("lib"));
    EXPECT_EQ(readFile(path), before);
}

TEST(SqliteFiles, TransactionsCommitAndRollBack) {
    testing_support::TempDir dir;
    const std::string path = dir.file("lib.mdb");
    auto db = engine_test::createLibrary(path);
    auto tree = db->openTable("tree");
    tree->setIndex("primaryKey");

    db->beginTrans();
    engine_test::addRecord(*tree, 1, 0, "lib", true);
    db->beginTrans();
    engine_test::addRecord(*tree, 2, 1, "inner", false);
    db->rollback();  // the inner level only
    engine_test::addRecord(*tree, 3, 1, "kept", false);
    EXPECT_EQ(countFromOutside(path), 0);
    db->commitTrans();
    EXPECT_EQ(countFromOutside(path), 2);

    db->beginTrans();
    db->deleteTable("nr");
    engine_test::addRecord(*tree, 4, 1, "gone", false);
    tree->seek("=", 4);
    EXPECT_FALSE(tree->noMatch());
    db->rollback();
    EXPECT_EQ(db->tableNames(), (std::vector<std::string>{"tree", "nr", "note"}));
    tree->seek("=", 4);
    EXPECT_TRUE(tree->noMatch());
    tree->moveFirst();
    EXPECT_EQ(tree->field("id"), Value(1));
    EXPECT_EQ(countFromOutside(path), 2);

    EXPECT_EQ(errorOf([&] { db->commitTrans(); }), ErrorCode::Generic);
    EXPECT_EQ(errorOf([&] { db->rollback(); }), ErrorCode::Generic);

    db->beginTrans();
    engine_test::addRecord(*tree, 5, 1, "uncommitted", false);
    db->close();  // closing inside a transaction undoes it
    EXPECT_EQ(countFromOutside(path), 2);
    EXPECT_EQ(errorOf([&] { tree->moveFirst(); }), ErrorCode::Generic);
}

}  // namespace
