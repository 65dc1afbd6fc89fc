#include "util/file_path.h"
#include "util/hooks.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

TEST(ChineseNumerals, NumbersToNumerals) {
    struct Case {
        std::string number, numeral;
    } cases[] = {
        {"1234", "一千二百三十四"}, {"15", "十五"},      {"105", "一百○五"},        {"3.14", "三点一四"},
        {"20", "二十"},             {"100010", "一十万○一十"}, {"100000000", "一亿"}, {"100001234", "一亿○一千二百三十四"},
        {"0", "○"},                 {"007", "七"},        {"abc", ""},               {"1.x", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(clsFilePath::NumToChineseNum(c.number), c.numeral) << c.number;
}

TEST(ChineseNumerals, TooLargeNumbersAreRefusedWithAMessage) {
    std::string shown;
    util::setMessageHook([&](const std::string& text, const std::string& title) { shown = title + ":" + text; });
    EXPECT_EQ(clsFilePath::NumToChineseNum("10000000000000000"), "");
    EXPECT_EQ(shown, "错误提示:数目太大，无法换算！请输入一亿亿以下的数字！");
    shown.clear();
    EXPECT_EQ(clsFilePath::NumToChineseNum("9999999999999999"), "九千九百九十九万九千九百九十九亿九千九百九十九万九千九百九十九");
    EXPECT_EQ(shown, "");
    util::setMessageHook({});
}

TEST(ChineseNumerals, NumeralsToNumbers) {
    struct Case {
        std::string numeral, number;
    } cases[] = {
        {"一千二百三十四", "1234"}, {"二十", "20"},      {"一百零五", "105"},  {"贰拾", "20"},
        {"十五", "15"},             {"二十万", "200000"}, {"一亿二千万", "120000000"}, {"二○一九", "2019"},
        {"一十万○一十", "100010"},  {"", "0"},
    };
    for (const auto& c : cases) EXPECT_EQ(clsFilePath::ChineseNumToNum2(c.numeral), c.number) << c.numeral;
    std::string nines;
    for (int i = 0; i < 40; ++i) nines += "九";
    EXPECT_EQ(clsFilePath::ChineseNumToNum2(nines), "");  // beyond 64 bits: nothing
}

TEST(ChineseNumerals, ReplacingTheNumeralRun) {
    struct Case {
        std::string text, replaced;
    } cases[] = {
        {"第二十章", "第20章"}, {"第十五回 归来", "第15回 归来"}, {"第一百零五页", "第105页"},
        {"no numerals", "no numerals"}, {"一", "1"},
    };
    for (const auto& c : cases) EXPECT_EQ(clsFilePath::replaceChineseNUm(c.text), c.replaced) << c.text;
    EXPECT_TRUE(clsFilePath::isChineseNum("零"));
    EXPECT_FALSE(clsFilePath::isChineseNum("千"));
    EXPECT_FALSE(clsFilePath::isChineseNum("a"));
}

TEST(NameSorting, ByPaddedTitle) {
    clsFilePath fp;
    std::vector<std::string> names{R"(c:\p\10.jpg)", R"(c:\p\9.jpg)", R"(c:\p\1.jpg)"};
    fp.sortfnamesByStr(names);
    EXPECT_EQ(names, (std::vector<std::string>{R"(c:\p\1.jpg)", R"(c:\p\9.jpg)", R"(c:\p\10.jpg)"}));

    // Case is ignored and equal keys keep their order; shorter titles carry more padding.
    std::vector<std::string> cased{"/p/ABD.txt", "/p/abc.txt", "/p/b.txt", "/p/Abc.txt"};
    fp.sortfnamesByStr(cased);
    EXPECT_EQ(cased, (std::vector<std::string>{"/p/b.txt", "/p/abc.txt", "/p/Abc.txt", "/p/ABD.txt"}));
}

TEST(NameSorting, ByCharacterCodeAndByNumbers) {
    clsFilePath fp;
    std::vector<std::string> names{"/p/b.txt", "/p/B.txt", "/p/a.txt"};
    fp.sortfnamesByChnStr(names);
    EXPECT_EQ(names, (std::vector<std::string>{"/p/B.txt", "/p/a.txt", "/p/b.txt"}));

    std::vector<std::string> numbered{"/p/ch 12 end.txt", "/p/v2 ch 3.txt", "/p/none.txt", "/p/x100.txt"};
    fp.sortfnamesByNum(numbered);
    EXPECT_EQ(numbered, (std::vector<std::string>{"/p/none.txt", "/p/v2 ch 3.txt", "/p/ch 12 end.txt", "/p/x100.txt"}));

    std::vector<std::string> marked{"/p/1x5.jpg", "/p/1x.jpg", "/p/2.jpg"};
    fp.sortfnames3(marked, "x");  // 105, 10, 2
    EXPECT_EQ(marked, (std::vector<std::string>{"/p/2.jpg", "/p/1x.jpg", "/p/1x5.jpg"}));

    std::vector<std::string> notNumbers{"/p/3.jpg", "/p/b.jpg", "/p/1.jpg"};
    fp.sortfnames3(notNumbers, "");
    EXPECT_EQ(notNumbers, (std::vector<std::string>{"/p/3.jpg", "/p/b.jpg", "/p/1.jpg"}));
}

TEST(NameSorting, ByWriteTime) {
    testing_support::TempDir dir;
    clsFilePath fp;
    std::vector<std::string> names;
    auto now = std::filesystem::file_time_type::clock::now();
    for (int i = 0; i < 3; ++i) {
        names.push_back(dir.file("f" + std::to_string(i)));
        testing_support::writeFile(names.back(), "");
        std::filesystem::last_write_time(names.back(), now - std::chrono::hours(i));
    }
    fp.sortfnamesByWriteDate(names);
    EXPECT_EQ(names, (std::vector<std::string>{dir.file("f2"), dir.file("f1"), dir.file("f0")}));
}

}  // namespace
