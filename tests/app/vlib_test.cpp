// The library commands of vlib, run as the built program.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "store/ctreebook.h"
#include "support/temp_dir.h"
#include "util/codepage.h"
#include "vlib_run.h"

namespace {

using testing_support::jetFixturePath;
using testing_support::readFile;
using testing_support::TempDir;
using testing_support::writeFile;
using vlib_test::Result;
using vlib_test::vlib;

const std::string kBasic = jetFixturePath("library_basic.mdb");

// The command list that completion asks for, the usage and the manual page all come from the
// registered commands, so they agree with each other and with what vlib runs.
TEST(Vlib, CompletionUsageAndManualListTheSameCommands) {
    const Result version = vlib({"--version"});
    EXPECT_EQ(version.rc, 0);
    EXPECT_EQ(version.out.rfind("vlib (VYNE Browser) ", 0), 0u) << version.out;

    const Result names = vlib({"--commands"});
    ASSERT_EQ(names.rc, 0);
    const Result usage = vlib({"--help"});
    const Result page = vlib({"--man"});
    ASSERT_EQ(page.rc, 0);
    EXPECT_EQ(page.out.rfind(".TH VLIB 1 ", 0), 0u);
    std::vector<std::string> listed;
    std::istringstream lines(names.out);
    for (std::string name; std::getline(lines, name);) listed.push_back(name);
    ASSERT_GE(listed.size(), 10u) << names.out;
    EXPECT_TRUE(std::is_sorted(listed.begin(), listed.end()));
    for (const std::string& name : listed) {
        EXPECT_NE(usage.out.find("\n  " + name + " "), std::string::npos) << name;
        std::string roffName;  // hyphens are escaped in the page
        for (char c : name) roffName += c == '-' ? std::string("\\-") : std::string(1, c);
        EXPECT_NE(page.out.find(".SS \"vlib " + roffName), std::string::npos) << name;
        EXPECT_EQ(vlib({name, "--help"}).rc, 0) << name;
    }
    // Option lines become tagged paragraphs; roff control characters in help texts are escaped.
    EXPECT_NE(page.out.find(".TP\n.B \\-\\-under PATH\n"), std::string::npos);
    EXPECT_EQ(page.out.find("\n-"), std::string::npos) << "an unescaped hyphen starts a line";
}

TEST(VlibCreate, MakesALibraryAndReplacesOnlyWithForce) {
    TempDir dir;
    const std::string file = dir.file("new.mdb");
    EXPECT_EQ(vlib({"create", file}).rc, 0);
    EXPECT_TRUE(store::ctreebook::isVYNEFile(file));
    Result info = vlib({"info", file});
    EXPECT_EQ(info.rc, 0);
    EXPECT_NE(info.out.find("format: native (SQLite)"), std::string::npos);
    EXPECT_NE(info.out.find("book library: yes"), std::string::npos);
    EXPECT_NE(info.out.find("records: 1 classes, 0 documents"), std::string::npos);
    EXPECT_EQ(vlib({"create", file}).rc, 1);
    EXPECT_EQ(vlib({"create", file, "--force"}).rc, 0);
    EXPECT_EQ(vlib({"create"}).rc, 2);
    EXPECT_EQ(vlib({"create", file, "--bogus"}).rc, 2);
}

TEST(VlibInfo, SaysWhyAFileIsNoLibrary) {
    TempDir dir;
    writeFile(dir.file("notes.txt"), "plain text");
    struct Case {
        std::string file, says;
        int rc;
    } cases[] = {
        {dir.file("missing.mdb"), "no, the file does not exist", 1},
        {dir.path(), "no, it is a folder", 1},
        {dir.file("notes.txt"), "no, it is not a database file", 1},
        {jetFixturePath("library_wrongid.mdb"), "QuillmereLibID of table \"tree\" is 2019, not 2018", 1},
        {jetFixturePath("library_noprops.mdb"), "QuillmereLibID of table \"tree\" is missing", 1},
        {kBasic, "format: Jet 4 (read-only)", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        Result r = vlib({"info", c.file});
        EXPECT_EQ(r.rc, c.rc);
        EXPECT_NE(r.out.find(c.says), std::string::npos) << r.out;
    }
    EXPECT_EQ(readFile(dir.file("notes.txt")), "plain text");
}

TEST(VlibLs, ListsAClassOrItsSubtree) {
    Result r = vlib({"ls", kBasic});
    EXPECT_EQ(r.rc, 0);
    EXPECT_EQ(r.out, "2\tclass\t\t1778\t小说\n5\tdoc\ttxt\t13\tPreface\n6\tclass\t\t102491\tPoems\n");
    r = vlib({"ls", kBasic, "6", "-R"});
    EXPECT_EQ(r.out, "7\tdoc\ttxt\t102491\tBig text\n");
    r = vlib({"ls", kBasic, "-R"});
    EXPECT_NE(r.out.find("2\tclass\t\t1778\t小说\n3\tdoc\ttxt\t360\t  第一章\n"), std::string::npos);
    EXPECT_EQ(vlib({"ls", kBasic, "99"}).rc, 1);
    EXPECT_EQ(vlib({"ls", kBasic, "x"}).rc, 2);
    EXPECT_EQ(vlib({"ls", jetFixturePath("library_noprops.mdb")}).rc, 1);
}

TEST(VlibCat, WritesTheDecodedBytes) {
    store::ctreebook book;
    ASSERT_TRUE(book.openDB(kBasic));
    for (int32_t id : {3, 4, 7, 12}) {
        engine::Bytes want;
        book.getNR(id, want);
        Result r = vlib({"cat", kBasic, std::to_string(id)});
        EXPECT_EQ(r.rc, 0);
        EXPECT_EQ(r.out, std::string(want.begin(), want.end())) << id;
    }
    EXPECT_EQ(vlib({"cat", kBasic, "2"}).rc, 1);   // a class
    EXPECT_EQ(vlib({"cat", kBasic, "8"}).rc, 1);   // no such record
    EXPECT_EQ(vlib({"cat", kBasic}).rc, 2);
}

TEST(VlibSearch, TitlesClassesAndContents) {
    struct Case {
        std::vector<std::string> args;
        int rc;
        std::string out, err;
    } cases[] = {
        {{"--title", "ab"}, 0, "9\tabout\t小说\n12\tABC\t小说\n", "2 found\n"},
        {{"--class", "POE"}, 0, "6\tPoems\t\n", "1 found\n"},
        {{"--title", "a'b"}, 0, "", "0 found\n"},
        {{"--all", "Hello", "--under", "1"}, 0, "5\tPreface\t\n", "1 found\n"},
        {{"--text", "Hello"}, 0, "5\tPreface\t\n", "1 found\n"},
        {{"--text", "Hello", "--under", "2"}, 0, "", "0 found\n"},
        {{"--title", "a", "--class", "b"}, 2, "", ""},
        {{"--under", "2"}, 2, "", ""},
        {{"--title", "a", "--under", "2"}, 2, "", ""},
        {{"--text", "a", "--under", "5"}, 1, "", ""},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args{"search", kBasic};
        args.insert(args.end(), c.args.begin(), c.args.end());
        SCOPED_TRACE(c.args[0] + " " + c.args[1]);
        Result r = vlib(args);
        EXPECT_EQ(r.rc, c.rc);
        EXPECT_EQ(r.out, c.out);
        if (c.rc == 0) EXPECT_EQ(r.err, c.err);
    }
}

TEST(VlibSearch, ContentKeysAreComparedInCodePage936) {
    TempDir dir;
    const std::string file = dir.file("gbk.mdb");
    {
        store::ctreebook book;
        ASSERT_TRUE(book.createBookMDB(file));
        ASSERT_TRUE(book.openDB(file));
        engine::Recordset& rs = *book.myRS();
        rs.addNew();
        rs.setField("id", engine::Value(int32_t{2}));
        rs.setField("pid", engine::Value(int32_t{1}));
        rs.setField("bt", engine::Value("章"));
        rs.setField("path", engine::Value(false));
        rs.update();
        engine::Recordset& nr = *book.nrRS();
        nr.addNew();
        nr.setField("id", engine::Value(int32_t{2}));
        nr.setField("gs", engine::Value("txt"));
        nr.update();
        engine::Bytes text = util::utf8ToAnsi("第一章 中文");
        ASSERT_TRUE(book.putNR(2, text));
    }
    Result r = vlib({"search", file, "--text", "中文"});
    EXPECT_EQ(r.out, "2\t章\t\n");
    EXPECT_EQ(vlib({"search", file, "--text", "形"}).out, "");
    const engine::Bytes gbk = util::utf8ToAnsi("第一章 中文");
    EXPECT_EQ(vlib({"cat", file, "2"}).out, std::string(gbk.begin(), gbk.end()));
}

TEST(VlibStat, ShowsFieldsSizesAndBothChecksums) {
    Result r = vlib({"stat", kBasic, "7"});
    EXPECT_EQ(r.rc, 0);
    for (const char* line : {"title: Big text\n", "class path: Poems\n", "format: txt\n", "content size: 102491\n",
                             "stored length: 23973\n", "compressed: yes\n", "stored crc: -511476310\n",
                             "computed crc: -511476310 (matches)\n"})
        EXPECT_NE(r.out.find(line), std::string::npos) << line;
    r = vlib({"stat", kBasic, "6"});
    EXPECT_NE(r.out.find("kind: class\n"), std::string::npos);
    EXPECT_NE(r.out.find("documents below: 1\n"), std::string::npos);
    EXPECT_EQ(vlib({"stat", kBasic, "0"}).rc, 2);
    EXPECT_EQ(vlib({"stat", kBasic, "10"}).rc, 1);
}

TEST(Vlib, ReadingCommandsNeverChangeTheFile) {
    TempDir dir;
    const std::string file = dir.file("empty.mdb");
    {
        store::ctreebook book;
        ASSERT_TRUE(book.createBookMDB(file));  // never opened: no root yet
    }
    const std::string before = readFile(file);
    for (auto args : std::vector<std::vector<std::string>>{
             {"info", file}, {"ls", file}, {"search", file, "--title", "x"}, {"stat", file, "1"}})
        vlib(args);
    EXPECT_EQ(readFile(file), before);
}

}  // namespace
