// Table-type recordsets of native databases: index order, Seek, moves, edits, chunks.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "engine/library_fixture.h"
#include "support/temp_dir.h"

namespace {

using engine::ErrorCode;
using engine_test::errorOf;
using engine::Value;

// Ids from the current row on, at most n of them.
std::vector<int> walk(engine::Recordset& rs, size_t n = 100) {
    std::vector<int> ids;
    while (!rs.eof() && ids.size() < n) {
        ids.push_back(rs.field("id").toLong());
        rs.moveNext();
    }
    return ids;
}

class SqliteRecordset : public ::testing::Test {
protected:
    void SetUp() override {
        db = engine_test::createLibrary(dir.file("lib.mdb"));
        tree = db->openTable("tree");
        // (id, pid) in an order that is neither id nor pid order.
        const std::pair<int, int> rows[] = {{1, 0}, {12, 3}, {3, 1}, {9, 3}, {2, 1}, {7, 3}, {4, 1}, {5, 9}};
        db->beginTrans();
        for (const auto& [id, pid] : rows) engine_test::addRecord(*tree, id, pid, "t" + std::to_string(id), pid != 3);
        db->commitTrans();
    }
    testing_support::TempDir dir;
    std::unique_ptr<engine::Database> db;
    std::unique_ptr<engine::Recordset> tree;
};

TEST_F(SqliteRecordset, SeekPositionsInIndexOrder) {
    struct Case {
        const char* index;
        const char* op;
        int key;
        bool noMatch;
        std::vector<int> walked;  // ids from the found row to the end
    } cases[] = {
        {"pid", "=", 3, false, {7, 9, 12, 5}},  // children of 3 ascending, then on in (pid, id) order
        {"pid", "=", 1, false, {2, 3, 4, 7, 9, 12, 5}},
        {"pid", "=", 2, true, {}},
        {"pid", ">=", 2, false, {7, 9, 12, 5}},
        {"pid", ">=", 100, true, {}},
        {"pid", ">=", -5, false, {1, 2, 3, 4, 7, 9, 12, 5}},
        {"primaryKey", "=", 9, false, {9, 12}},
        {"primaryKey", "=", 8, true, {}},
        {"PRIMARYKEY", ">=", 8, false, {9, 12}},
    };
    for (const auto& c : cases) {
        tree->setIndex(c.index);
        tree->seek(c.op, c.key);
        EXPECT_EQ(tree->noMatch(), c.noMatch) << c.index << c.op << c.key;
        if (!c.noMatch) EXPECT_EQ(walk(*tree), c.walked) << c.index << c.op << c.key;
    }
    EXPECT_EQ(errorOf([&] { tree->setIndex("nosuch"); }), ErrorCode::NotFound);
}

TEST_F(SqliteRecordset, MovesAndBounds) {
    tree->setIndex("primaryKey");
    EXPECT_FALSE(tree->bof());
    EXPECT_EQ(tree->field("id"), Value(1));  // setting the index moves to the first row
    tree->moveLast();
    EXPECT_EQ(tree->field("id"), Value(12));
    tree->moveNext();
    EXPECT_TRUE(tree->eof());
    EXPECT_EQ(errorOf([&] { tree->field("id"); }), ErrorCode::NoCurrentRecord);
    EXPECT_EQ(errorOf([&] { tree->moveNext(); }), ErrorCode::NoCurrentRecord);
    tree->movePrevious();
    EXPECT_EQ(tree->field("id"), Value(12));

    std::vector<int> back;
    while (!tree->bof()) {
        back.push_back(tree->field("id").toLong());
        tree->movePrevious();
    }
    EXPECT_EQ(back, (std::vector<int>{12, 9, 7, 5, 4, 3, 2, 1}));
    EXPECT_EQ(errorOf([&] { tree->movePrevious(); }), ErrorCode::NoCurrentRecord);
    tree->moveNext();
    EXPECT_EQ(tree->field("id"), Value(1));
    EXPECT_EQ(tree->recordCount(), 8);

    tree->seek("=", 7);
    const engine::Bookmark mark = tree->bookmark();
    tree->moveFirst();
    tree->setBookmark(mark);
    EXPECT_EQ(tree->field("ID"), Value(7));
    EXPECT_EQ(errorOf([&] { tree->field("nosuch"); }), ErrorCode::NotFound);
    engine_test::expectReadsByPlaceMatchReadsByName(*tree);

    auto empty = db->openTable("note");
    EXPECT_TRUE(empty->eof());
    EXPECT_TRUE(empty->bof());
    EXPECT_EQ(empty->recordCount(), 0);
}

TEST_F(SqliteRecordset, AddNewAppliesDefaultsAndEditsStay) {
    tree->setIndex("primaryKey");
    tree->addNew();
    EXPECT_EQ(tree->editMode(), engine::EditMode::Add);
    EXPECT_EQ(tree->field("size"), Value(0));
    EXPECT_EQ(tree->field("bt"), Value(""));
    EXPECT_TRUE(tree->field("path").isNull());
    EXPECT_TRUE(tree->field("dt").isDate());
    tree->setField("id", 20);
    tree->setField("readed", -1);  // True is -1
    tree->update();
    EXPECT_EQ(tree->editMode(), engine::EditMode::None);

    tree->seek("=", 20);
    EXPECT_EQ(tree->field("readed"), Value(true));
    EXPECT_GT(tree->field("dt").toDate().days, 40000);
    tree->edit();
    tree->setField("bt", std::string(100, 'x'));
    EXPECT_EQ(errorOf([&] { tree->setField("bt", std::string(101, 'x')); }), ErrorCode::FieldTooSmall);
    EXPECT_EQ(errorOf([&] { tree->setField("bt", "中" + std::string(99, 'x')); }), ErrorCode{0});  // characters, not bytes
    EXPECT_EQ(errorOf([&] { tree->setField("size", "abc"); }), ErrorCode::Generic);
    tree->setField("size", "42");
    tree->update();
    EXPECT_EQ(tree->field("size"), Value(42));
    EXPECT_EQ(tree->field("bt").toText().size(), 3u + 99u);

    tree->edit();
    tree->setField("size", 7);
    tree->cancelUpdate();
    EXPECT_EQ(tree->field("size"), Value(42));
    EXPECT_EQ(errorOf([&] { tree->update(); }), ErrorCode::UpdateWithoutEdit);
    EXPECT_EQ(errorOf([&] { tree->setField("size", 1); }), ErrorCode::UpdateWithoutEdit);

    tree->addNew();
    tree->setField("id", 9);  // taken: the unique primary index refuses it
    EXPECT_EQ(errorOf([&] { tree->update(); }), ErrorCode::DuplicateKey);
    tree->cancelUpdate();
    EXPECT_EQ(tree->recordCount(), 9);
}

TEST_F(SqliteRecordset, DeleteThenMoveNextGoesOn) {
    tree->setIndex("pid");
    tree->seek("=", 3);
    tree->moveNext();  // id 9
    tree->deleteRecord();
    EXPECT_EQ(errorOf([&] { tree->field("id"); }), ErrorCode::NoCurrentRecord);
    tree->moveNext();
    EXPECT_EQ(tree->field("id"), Value(12));
    tree->setIndex("primaryKey");
    tree->seek("=", 9);
    EXPECT_TRUE(tree->noMatch());
}

TEST_F(SqliteRecordset, ChangesThroughAnotherRecordsetAreSeen) {
    auto other = db->openTable("tree");
    tree->setIndex("pid");
    tree->seek("=", 3);
    EXPECT_EQ(tree->field("id"), Value(7));
    engine_test::addRecord(*other, 8, 3, "new", false);
    other->setIndex("primaryKey");
    other->seek("=", 7);
    other->edit();
    other->setField("bt", "renamed");
    other->update();
    EXPECT_EQ(tree->field("bt"), Value("renamed"));
    EXPECT_EQ(walk(*tree), (std::vector<int>{7, 8, 9, 12, 5}));
}

TEST(SqliteRecordsetWalk, LargeClassComesInIdOrderAcrossEditsAndBothWays) {
    testing_support::TempDir dir;
    auto db = engine_test::createLibrary(dir.file("big.mdb"));
    auto rs = db->openTable("tree");
    std::vector<int> ids(3000);
    for (size_t i = 0; i < ids.size(); ++i) ids[i] = static_cast<int>(i) + 10;
    std::shuffle(ids.begin(), ids.end(), std::mt19937(7));
    db->beginTrans();
    for (int id : ids) engine_test::addRecord(*rs, id, id % 3 == 0 ? 2 : 3, "t", false);
    db->commitTrans();

    rs->setIndex("pid");
    rs->seek("=", 3);
    std::vector<int> seen;
    while (!rs->eof() && rs->field("pid").toLong() == 3) {
        seen.push_back(rs->field("id").toLong());
        if (seen.size() % 500 == 0) {  // edits in the middle of a walk do not lose the place
            rs->edit();
            rs->setField("readed", true);
            rs->update();
        }
        rs->moveNext();
    }
    std::vector<int> expected;
    for (int id = 10; id < 3010; ++id)
        if (id % 3 != 0) expected.push_back(id);
    EXPECT_EQ(seen, expected);

    std::vector<int> back;
    rs->moveLast();
    while (!rs->bof() && rs->field("pid").toLong() == 3) {
        back.push_back(rs->field("id").toLong());
        rs->movePrevious();
    }
    std::reverse(back.begin(), back.end());
    EXPECT_EQ(back, expected);
}

TEST(SqliteRecordsetChunks, LongBinaryAndMemoFields) {
    testing_support::TempDir dir;
    auto db = engine_test::createLibrary(dir.file("lib.mdb"));
    auto nr = db->openTable("nr");
    nr->setIndex("primaryKey");
    nr->addNew();
    nr->setField("id", 5);
    nr->appendChunk("nr", {1, 2, 3});
    nr->appendChunk("nr", {4, 5});
    nr->update();
    nr->addNew();
    nr->setField("id", 6);
    nr->update();

    nr->seek("=", 5);
    EXPECT_EQ(nr->fieldSize("nr"), 5);
    EXPECT_EQ(nr->getChunk("nr", 0, nr->fieldSize("nr")), (engine::Bytes{1, 2, 3, 4, 5}));
    EXPECT_EQ(nr->getChunk("nr", 3, 100), (engine::Bytes{4, 5}));
    EXPECT_EQ(nr->getChunk("nr", 9, 1), engine::Bytes{});
    EXPECT_EQ(nr->field("nr"), Value(engine::Bytes{1, 2, 3, 4, 5}));
    EXPECT_EQ(errorOf([&] { nr->getChunk("gs", 0, 1); }), ErrorCode::Generic);

    nr->edit();
    nr->appendChunk("nr", {9});  // the first chunk after Edit replaces the value
    nr->update();
    EXPECT_EQ(nr->getChunk("nr", 0, 10), engine::Bytes{9});

    nr->seek("=", 6);
    EXPECT_TRUE(nr->field("nr").isNull());
    EXPECT_TRUE(nr->field("zed").isNull());
    EXPECT_EQ(nr->fieldSize("nr"), 0);
    EXPECT_EQ(nr->getChunk("nr", 0, 10), engine::Bytes{});

    auto note = db->openTable("note");
    note->addNew();
    note->setField("id", 1);
    note->appendChunk("note2", engine::Bytes{'h', 'i'});
    note->update();
    note->moveFirst();
    EXPECT_EQ(note->field("Note2"), Value("hi"));
    EXPECT_EQ(note->field("gs"), Value(""));
}

}  // namespace
