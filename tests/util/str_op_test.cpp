#include "util/str_op.h"

#include <gtest/gtest.h>

namespace {

TEST(StrOP, ReplacementTables) {
    struct Case {
        std::string table, input, output;
    } cases[] = {
        {R"(ab\#/cd)", "xaby", "xcdy"},
        {"end\\\\n\\#/.", "the end\r\nnext", "the .next"},
        {"tmp", "a tmp b tmp", "a  b "},
        {"a\\#/b\r\nb\\#/c", "a", "c"},
        {"  x\\#/\\\\t  \r\n\r\n   \r\n", "axb", "a\tb"},
        {"", "unchanged", "unchanged"},
        {"\\#/never", "unchanged", "unchanged"},  // an empty find part changes nothing
    };
    for (const auto& c : cases) {
        clsStrOP op;
        op.setSrcRep(c.table);
        EXPECT_EQ(op.replaceStrings(c.input), c.output) << c.table;
        EXPECT_EQ(op.srcRep(), c.table);
    }
}

TEST(StrOP, RuleCountAndSeparator) {
    clsStrOP op;
    EXPECT_EQ(op.splitStr(), "\\#/");
    op.setSrcRep("a\\#/b\r\n\r\nc");
    EXPECT_EQ(op.findRepStrRow(), "2");
    op.setSplitStr("=>");
    op.setSrcRep("old=>new");
    EXPECT_EQ(op.replaceStrings("old"), "new");
    op.setSrcRep("");
    EXPECT_EQ(op.findRepStrRow(), "0");
}

TEST(StrOP, SplittingKeepsTrimmedNonEmptyParts) {
    clsStrOP op;
    std::vector<std::string> parts{"stale"};
    EXPECT_EQ(op.splitStrR(" a , b,, ,c ", ",", parts), 3);
    EXPECT_EQ(parts, (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(op.splitStrR("   ", ",", parts), 0);
    EXPECT_EQ(op.InsertStr("abcabc", "X", "c"), "abXcabc");
    EXPECT_EQ(op.InsertStr("abc", "X", "z"), "abcX");
}

}  // namespace
