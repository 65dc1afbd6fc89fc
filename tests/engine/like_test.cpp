#include <gtest/gtest.h>

#include "engine/library_fixture.h"
#include "store/engine/jet_like.h"

namespace {

struct LikeCase {
    const char* text;
    const char* pattern;
    bool match;
};

TEST(JetLike, MatchesAsJetDoes) {
    const LikeCase cases[] = {
        {"Cab", "*ab*", true},
        {"ABC", "*ab*", true},
        {"about", "*ab*", true},
        {"xyz", "*ab*", false},
        {"", "*", true},
        {"", "?", false},
        {"abc", "a?c", true},
        {"ac", "a?c", false},
        {"a1c", "a#c", true},
        {"abc", "a#c", false},
        {"b", "[a-c]", true},
        {"B", "[a-c]", true},
        {"d", "[a-c]", false},
        {"d", "[!a-c]", true},
        {"b", "[!a-c]", false},
        {"-", "[a-]", true},
        {"*", "[*]", true},
        {"x", "[*]", false},
        {"a*c", "a[*]c", true},
        {"?", "[?]", true},
        {"#", "[#]", true},
        {"abc", "a[]bc", true},
        {"]", "]", true},
        {"ÉCOLE", "*école*", true},
        {"中文书库", "*文书*", true},
        {"中文书库", "中?书库", true},
        {"中文书库", "中??库", true},
        {"中文书库", "中?库", false},
        {"中文书库", "[中英]*", true},
        {"aaaaaaaaaaaaaaaaaaaaaaaaaaaaab", "*a*a*a*a*a*a*a*a*c", false},
        {"mississippi", "*sip*", true},
        {"mississippi", "m*iss*ppi", true},
        {"abc", "ABC", true},
        {"abcd", "abc", false},
        // Literal patterns with a star at either end or none.
        {"文档 0099999 Doc", "*99999 doc*", true},
        {"文档 0099999 Doc", "*文档 00*", true},
        {"文档 0099999 Doc", "文档*", true},
        {"文档 0099999 Doc", "*文档", false},
        {"xMiXeDx", "*mIxEd*", true},
        {"Doc 1", "DOC*", true},
        {"a Doc", "doc*", false},
        {"a DOC", "*doc", true},
        {"doc a", "*doc", false},
        {"aabaabaac", "*AABAAC*", true},
        {"aabaabaab", "*AABAAC*", false},
        {"ab", "*abc*", false},
        {"x99999y", "*99999*", true},
        {"x9999y", "*99999*", false},
        {"abc", "ab[c]*", true},
        {"abd", "*ab[c]", false},
        {"\xC9" "cole", "*école", true},
        {"\xE6文", "*文", true},
        {"ŸES", "*ÿes*", true},
    };
    for (const auto& c : cases) EXPECT_EQ(engine::jetLike(c.text, c.pattern), c.match) << c.text << " LIKE " << c.pattern;
}

TEST(JetLike, MalformedPatternIsASyntaxError) {
    for (const char* pattern : {"*[ab*", "[z-a]", "["})
        EXPECT_EQ(engine_test::errorOf([&] { engine::LikePattern p(pattern); }), engine::ErrorCode::QuerySyntax)
            << pattern;
}

}  // namespace
