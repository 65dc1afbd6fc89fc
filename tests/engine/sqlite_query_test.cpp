// SELECT queries in the Jet dialect on native databases.
#include <gtest/gtest.h>

#include <algorithm>

#include "engine/library_fixture.h"
#include "support/temp_dir.h"

namespace {

using engine::ErrorCode;
using engine_test::errorOf;
using engine::Value;

std::string titleSearch(const std::string& key, bool forClasses) {
    return std::string("select [id], [bt], [pid] FROM  tree  WHERE (([path]=") + (forClasses ? "True" : "false") +
           ") and ([bt] LIKE '*" + key + "*'));";
}

class SqliteQuery : public ::testing::Test {
protected:
    void SetUp() override {
        db = engine_test::createLibrary(dir.file("lib.mdb"));
        auto tree = db->openTable("tree");
        const std::tuple<int, int, const char*, bool> rows[] = {
            {1, 0, "lib", true},        {2, 1, "Cab", false},        {3, 1, "ABC", false},
            {4, 1, "about", false},     {5, 1, "Abroad", true},      {6, 5, "中文书库", false},
            {7, 5, "第3章", false},      {8, 5, "a*b", false},        {9, 5, "x[y]", false},
            {10, 5, "Ölfarbe", false},  {11, 2, "it's", false},
        };
        db->beginTrans();
        for (const auto& [id, pid, title, isClass] : rows) engine_test::addRecord(*tree, id, pid, title, isClass);
        db->commitTrans();
    }

    std::vector<int> ids(const std::string& sql) {
        auto rs = db->openQuery(sql);
        std::vector<int> out;
        for (; !rs->eof(); rs->moveNext()) out.push_back(rs->field("id").toLong());
        std::sort(out.begin(), out.end());
        return out;
    }

    testing_support::TempDir dir;
    std::unique_ptr<engine::Database> db;
};

TEST_F(SqliteQuery, TitleSearchUsesJetLike) {
    struct Case {
        const char* key;
        bool forClasses;
        std::vector<int> found;
    } cases[] = {
        {"ab", false, {2, 3, 4}},   // not case-sensitive
        {"ab", true, {5}},
        {"AB", true, {5}},
        {"文书", false, {6}},
        {"#", false, {7}},          // '#' is a digit
        {"第?章", false, {7}},
        {"[*]", false, {8}},        // a bracketed wildcard is itself
        {"a?b", false, {8, 10}},     // "Ölfarbe" has a, r, b
        {"[[]", false, {9}},
        {"[!a-z]", false, {6, 7, 8, 9, 10, 11}},  // some character that is not a Latin letter
        {"öl", false, {10}},
        {"", false, {2, 3, 4, 6, 7, 8, 9, 10, 11}},
        {"zzz", false, {}},
    };
    for (const auto& c : cases) EXPECT_EQ(ids(titleSearch(c.key, c.forClasses)), c.found) << c.key;
    // A pattern from a field: every title matches itself but the one with a bracket.
    EXPECT_EQ(ids("SELECT [id] FROM tree WHERE [bt] LIKE [bt]"), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 10, 11}));
}

TEST_F(SqliteQuery, AQuoteOrABadPatternInTheKeyFailsTheQuery) {
    for (const char* key : {"it's", "a'b", "a' or 'x", "'", "x[y"})
        EXPECT_EQ(errorOf([&] { db->openQuery(titleSearch(key, false)); }), ErrorCode::QuerySyntax) << key;
    // The table is unchanged and still answers.
    EXPECT_EQ(ids(titleSearch("it", false)), (std::vector<int>{11}));
}

TEST_F(SqliteQuery, ClassListAndResultFields) {
    auto rs = db->openQuery("SELECT [id], [bt] From tree where ([path]=True and [pid]>=1)");
    ASSERT_FALSE(rs->eof());
    EXPECT_EQ(rs->fieldNames(), (std::vector<std::string>{"id", "bt"}));
    EXPECT_EQ(rs->field("ID"), Value(5));
    EXPECT_EQ(rs->field("bt"), Value("Abroad"));
    EXPECT_EQ(rs->recordCount(), 1);
    rs->moveNext();
    EXPECT_TRUE(rs->eof());

    auto all = db->openQuery("SELECT * FROM tree WHERE [readed] IS NULL AND NOT [path] ORDER BY [bt] DESC;");
    EXPECT_EQ(all->fieldNames().size(), 8u);
    EXPECT_EQ(all->field("bt"), Value("第3章"));
    EXPECT_EQ(all->field("path"), Value(false));
    EXPECT_EQ(all->recordCount(), 9);
    engine_test::expectReadsByPlaceMatchReadsByName(*all);

    const std::pair<const char*, ErrorCode> bad[] = {
        {"SELECT [id] FROM nosuch", ErrorCode::NotFound},
        {"SELECT [nosuch] FROM tree", ErrorCode::NotFound},
        {"SELECT [id] FROM tree WHERE [nosuch] = 1", ErrorCode::NotFound},
        {"UPDATE tree SET bt = 'x'", ErrorCode::QuerySyntax},
    };
    for (const auto& [sql, code] : bad) EXPECT_EQ(errorOf([&, text = sql] { db->openQuery(text); }), code) << sql;
    EXPECT_EQ(errorOf([&] { rs->edit(); }), ErrorCode::ReadOnly);
}

}  // namespace
