#include <gtest/gtest.h>

#include <map>

#include "engine/library_fixture.h"
#include "store/engine/jet_sql.h"

namespace {

using engine::Value;
using namespace engine::jetsql;

TEST(JetSql, ParsesTheStoreQueries) {
    const SelectQuery search =
        parseSelect("select [id], [bt], [pid] FROM  tree  WHERE (([path]=false) and ([bt] LIKE '*abc*'));");
    EXPECT_EQ(search.columns, (std::vector<std::string>{"id", "bt", "pid"}));
    EXPECT_EQ(search.table, "tree");
    ASSERT_TRUE(search.where);

    const SelectQuery combo = parseSelect("SELECT [id], [bt] From tree where ([path]=True and [pid]>=1)");
    EXPECT_EQ(combo.table, "tree");
    EXPECT_EQ(referencedColumns(combo), (std::vector<std::string>{"id", "bt", "path", "pid"}));

    const SelectQuery ordered = parseSelect("SELECT * FROM [分类文章] ORDER BY [id] DESC, bt");
    EXPECT_TRUE(ordered.columns.empty());
    EXPECT_EQ(ordered.table, "分类文章");
    ASSERT_EQ(ordered.orderBy.size(), 2u);
    EXPECT_TRUE(ordered.orderBy[0].descending);
    EXPECT_FALSE(ordered.orderBy[1].descending);
}

TEST(JetSql, RejectsWhatJetRejects) {
    const char* bad[] = {
        // a quote inside the pasted key
        "select [id], [bt], [pid] FROM  tree  WHERE (([path]=false) and ([bt] LIKE '*a'b*'));",
        "select [id], [bt], [pid] FROM  tree  WHERE (([path]=false) and ([bt] LIKE '*a' or 'x*'));",
        "select [id] FROM tree WHERE [bt] LIKE '*[ab*'",
        "select [id] FROM tree WHERE 5",
        "select [id] FROM tree WHERE 'x' AND [path]=True",
        "select [id] FROM tree WHERE NOT 'x'",
        "select [id] FROM tree WHERE [bt] LIKE 5",
        "select [id] FROM tree; drop table tree",
        "select [id] FROM tree WHERE ([id]=1",
        "select FROM tree",
        "delete FROM tree",
        "select [id] FROM tree WHERE [id] = 1 = ",
    };
    for (const char* sql : bad)
        EXPECT_EQ(engine_test::errorOf([&] { parseSelect(sql); }), engine::ErrorCode::QuerySyntax) << sql;
}

TEST(JetSql, EvaluatesOverARow) {
    std::map<std::string, Value> row = {{"id", Value(7)}, {"bt", Value("About it")}, {"path", Value(false)},
                                        {"pid", Value(3)}, {"gs", Value()}};
    const FieldLookup lookup = [&](const std::string& name) { return row.at(name); };
    struct Case {
        const char* where;
        bool passes;
    } cases[] = {
        {"([path]=false) and ([bt] LIKE '*ab*')", true},
        {"[path]=True and [pid]>=1", false},
        {"[path]", false},
        {"not [path]", true},
        {"[id] <> 7 or [pid] < 4", true},
        {"[gs] = 'txt'", false},
        {"not ([gs] = 'txt')", false},
        {"[gs] is null and [bt] = 'ABOUT IT'", true},
        {"[bt] not like 'x*'", true},
        {"[id] >= 7.5", false},
        {"[pid] = -3", false},
    };
    for (const auto& c : cases) {
        const SelectQuery q = parseSelect(std::string("select * from tree where ") + c.where);
        EXPECT_EQ(rowMatches(q, lookup), c.passes) << c.where;
    }
}

}  // namespace
