// Adding, rewriting, moving, deleting, joining and copying records.
#include <gtest/gtest.h>

#include <filesystem>

#include "recorders.h"
#include "util/codepage.h"

namespace {

using store::ctreebook;
using store_test::Bytes;
using store_test::bytesOf;
using store_test::TestLibrary;
using testing_support::writeFile;

Bytes gbk(const std::string& utf8) { return util::utf8ToAnsi(utf8); }
Bytes content(ctreebook& b, int32_t id) {
    Bytes bytes;
    b.getNR(id, bytes);
    return bytes;
}

TEST(EditRecords, NewRecordsTakeTheNextIdAndStoreContentAsContentIsStored) {
    TestLibrary lib;
    ctreebook& b = lib.book;
    const int32_t cls = b.insertPathBT("Class", 1);
    EXPECT_EQ(cls, 2);
    Bytes big(5000, 'a');
    const int32_t doc = b.insertRec(cls, std::string(120, 'x'), "TXT", big);
    EXPECT_EQ(doc, 3);
    EXPECT_EQ(b.BTByID(doc), std::string(100, 'x'));
    EXPECT_EQ(b.gsByid(doc), "txt");
    EXPECT_EQ(b.sizeByid(doc), 5000);
    EXPECT_EQ(b.sizeByidNR(doc), 5000);
    EXPECT_TRUE(b.zedByID(doc));
    EXPECT_EQ(content(b, doc), big);
    EXPECT_EQ(b.insertRec(doc, "under a document", "txt", big), 0);
    EXPECT_EQ(b.insertRec(999, "under nothing", "txt", big), 0);
    EXPECT_EQ(b.lastID(), 3);

    EXPECT_TRUE(b.updateRec(doc, "renamed", 5, "htm", bytesOf("<p>new</p>")));
    EXPECT_EQ(b.BTByID(doc), "renamed");
    EXPECT_EQ(b.attrByid(doc), 5);
    EXPECT_EQ(b.gsByid(doc), "htm");
    EXPECT_EQ(b.sizeByid(doc), 10);
    EXPECT_EQ(content(b, doc), bytesOf("<p>new</p>"));
    EXPECT_FALSE(b.updateRec(cls, "a class", 0, "txt", bytesOf("x")));
    EXPECT_TRUE(b.updateBinData(doc, {}));
    EXPECT_EQ(b.sizeByid(doc), 0);
    EXPECT_EQ(b.getNR(doc, big), 0);
}

TEST(EditRecords, FilesBecomeDocumentsInCodePage936) {
    TestLibrary lib;
    ctreebook& b = lib.book;
    const std::string chinese = "中文的故事";
    Bytes utf16 = {0xFF, 0xFE};
    for (char16_t c : std::u16string(u"中文的故事")) {
        utf16.push_back(static_cast<uint8_t>(c & 0xFF));
        utf16.push_back(static_cast<uint8_t>(c >> 8));
    }
    const Bytes binary = {0, 1, 2, 0xFF, 0xFE, 0xE4, 0xB8};
    struct Case {
        std::string name;
        Bytes file;
        std::string gs;
        Bytes stored;
    } cases[] = {
        {"utf8.txt", bytesOf(chinese), "txt", gbk(chinese)},
        {"utf16.TXT", utf16, "txt", gbk(chinese)},
        {"ansi.txt", gbk(chinese), "txt", gbk(chinese)},
        {"plain.txt", bytesOf("just ASCII"), "txt", bytesOf("just ASCII")},
        {"data.bin", binary, "bin", binary},
        {"empty.txt", {}, "txt", {}},
        {"12.story.jpeg", binary, "jpeg", binary},
    };
    for (const Case& c : cases) {
        const std::string file = lib.dir.file(c.name);
        writeFile(file, std::string(c.file.begin(), c.file.end()));
        const int32_t id = b.insertFile(1, file);
        ASSERT_NE(id, 0) << c.name;
        EXPECT_EQ(b.gsByid(id), c.gs) << c.name;
        EXPECT_EQ(content(b, id), c.stored) << c.name;
        EXPECT_EQ(b.sizeByid(id), static_cast<int32_t>(c.stored.size())) << c.name;
    }
    EXPECT_EQ(b.BTByID(b.lastID()), "12_story");

    const std::string page = lib.dir.file("page.htm");
    writeFile(page, "<p>x</p>");
    const int32_t link = b.insertFile(1, page, "", true);
    EXPECT_EQ(b.gsByid(link), "lnk");
    EXPECT_EQ(content(b, link), bytesOf(std::filesystem::absolute(page).string()));
    const std::string url = lib.dir.file("site.url");
    writeFile(url, "[InternetShortcut]\r\nURL=https://example.org/\r\n");
    EXPECT_EQ(content(b, b.insertFile(1, url)), bytesOf("https://example.org/"));
    EXPECT_EQ(b.insertFile(1, lib.dir.file("missing.txt")), 0);
    EXPECT_EQ(b.insertFile(1, lib.dir.path()), 0);  // a folder is no file
}

TEST(EditRecords, InsertOrUpdateRewritesTheDocumentOfTheSameTitleAndFormat) {
    TestLibrary lib;
    ctreebook& b = lib.book;
    const std::string file = lib.dir.file("a.txt");
    writeFile(file, "first");
    const int32_t id = b.insertOrUpdateFile(1, file);
    writeFile(file, "second");
    EXPECT_EQ(b.insertOrUpdateFile(1, file), id);
    EXPECT_EQ(content(b, id), bytesOf("second"));
    const int32_t other = b.insertOrUpdateBin(1, "a", "htm", bytesOf("<p>"));
    EXPECT_NE(other, id);  // another format is another document
    EXPECT_EQ(b.insertOrUpdateBin(1, "a", "htm", bytesOf("<b>")), other);
    EXPECT_EQ(content(b, id), bytesOf("second"));
}

TEST(EditRecords, ClassesAlongPathsMovesAndLookUps) {
    TestLibrary lib;
    ctreebook& b = lib.book;
    const int32_t c = b.insertPath("A\\B/ C ", 1);
    const int32_t a = b.getIDByPath("A");
    const int32_t ab = b.getIDByPath("A/B");
    EXPECT_EQ(b.getIDByPath("A\\B\\C"), c);
    EXPECT_EQ(b.insertPath("/A//B/C/", 1), c);  // nothing new
    EXPECT_EQ(b.lastID(), 4);
    EXPECT_EQ(b.getIDByPath("A/X"), 0);
    EXPECT_EQ(b.insertPathBT("  ", 1), 0);

    const int32_t doc = b.insertNRBT(c, "doc", "text");
    EXPECT_EQ(b.getIDByPath("A/B/C/doc"), doc);
    EXPECT_TRUE(b.isMyChild(doc, a));
    EXPECT_FALSE(b.isMyChild(a, doc));
    EXPECT_TRUE(b.btExist(c, "doc"));
    EXPECT_FALSE(b.pathExist(c, "doc"));
    EXPECT_TRUE(b.pathExist(a, "B"));

    // A class never moves into itself or below itself; the root never moves.
    EXPECT_FALSE(b.changePid(a, c));
    EXPECT_FALSE(b.changePid(a, a));
    EXPECT_FALSE(b.changePid(1, a));
    EXPECT_FALSE(b.changePid(doc, doc));
    EXPECT_TRUE(b.changePid(c, 1));
    EXPECT_EQ(b.pidByID(c), 1);
    EXPECT_TRUE(b.isMyBrother(c, a));
    EXPECT_TRUE(b.changeToSubPath(doc, "Sub"));
    EXPECT_EQ(b.getIDByPath("C/Sub/doc"), doc);
    EXPECT_TRUE(b.renamePathBT(ab, "Bee"));
    EXPECT_FALSE(b.renamePathBT(doc, "not a class"));
    EXPECT_EQ(b.getIDByPath("A/Bee"), ab);
}

TEST(EditRecords, DeletingKeepsTheRootAndTakesSubtreesWhole) {
    TestLibrary lib;
    ctreebook& b = lib.book;
    const int32_t a = b.insertPath("A", 1);
    const int32_t doc = b.insertNRBT(b.insertPath("A/B", 1), "doc", "x");
    const int32_t empty = b.insertPath("A/E1/E2", 1);
    b.insertPath("F", 1);
    std::vector<std::string> reports;
    b.events.showMsg = [&](int32_t&, const std::string& m, bool&) { reports.push_back(m); };
    EXPECT_EQ(b.delNullPath(1), 2);  // A/E1 (with E2) and F
    EXPECT_EQ(reports, (std::vector<std::string>{"E1 deleted.", "F deleted."}));
    EXPECT_EQ(b.BTByID(empty), "");

    EXPECT_FALSE(b.deleteRec(1));
    EXPECT_FALSE(b.deletePath(1));
    EXPECT_FALSE(b.deleteRec(a));  // not empty
    EXPECT_TRUE(b.deleteNRRecWithBT(b.getIDByPath("A/B"), "doc"));
    EXPECT_EQ(b.sizeByidNR(doc), 0);
    EXPECT_EQ(b.getIDByPath("A/B/doc"), 0);
    b.insertNRBT(b.getIDByPath("A/B"), "doc2", "y");
    EXPECT_TRUE(b.deletePath(a));
    std::vector<int32_t> left;
    EXPECT_EQ(b.getAllSubID(1, left), 0);
    EXPECT_EQ(b.deleteRecPid(1), 0);
}

TEST(EditRecords, CombineJoinsTheTextsUnderTitleLines) {
    TestLibrary lib;
    ctreebook& b = lib.book;
    const int32_t c = b.insertPathBT("C", 1);
    b.insertNRBT(c, "one", "First.");
    b.insertRec(c, "pic", "jpg", bytesOf("xx"));
    b.insertNRBT(c, "two", "第二。");
    const int32_t all = b.combineNR(c, "all");
    ASSERT_NE(all, 0);
    EXPECT_EQ(b.getTextNR(all), "~~~《  one  》\r\nFirst.\r\n~~~《  two  》\r\n第二。\r\n");
    bool asked = false;
    b.seams.askYesNo = [&](const std::string& q) {
        asked = q == "New Doc Existed, Overwrite It?";
        return false;
    };
    EXPECT_EQ(b.combineNR(c, "all"), 0);
    EXPECT_TRUE(asked);
    b.seams.askYesNo = [](const std::string&) { return true; };
    EXPECT_EQ(b.combineNR(c, "all"), all);  // the joined document is not joined into itself
    EXPECT_EQ(b.getTextNR(all), "~~~《  one  》\r\nFirst.\r\n~~~《  two  》\r\n第二。\r\n");
}

TEST(EditRecords, ReplacementRulesRewriteTheTextsOfAClass) {
    TestLibrary lib;
    ctreebook& b = lib.book;
    const int32_t c = b.insertPathBT("C", 1);
    const int32_t one = b.insertNRBT(c, "one", "colour and colour");
    const int32_t deep = b.insertNRBT(b.insertPathBT("D", c), "deep", "colour");
    const int32_t page = b.insertRec(c, "page", "htm", bytesOf("colour"));
    b.setSrcRep("colour\\#/color");
    EXPECT_EQ(b.replaceStrLX(c), 1);
    EXPECT_EQ(b.getTextNR(one), "color and color");
    EXPECT_EQ(b.getTextNR(deep), "colour");
    EXPECT_EQ(b.replaceStrLXsub(c), 1);
    EXPECT_EQ(b.getTextNR(deep), "color");
    EXPECT_EQ(content(b, page), bytesOf("colour"));  // only text documents
}

TEST(EditRecords, NotesAndCopiesBetweenLibraries) {
    TestLibrary lib, other("other.mdb");
    ctreebook& b = lib.book;
    const int32_t c = b.insertPath("A/B", 1);
    const int32_t doc = b.insertRec(c, "doc", "txt", Bytes(3000, 'z'));
    ASSERT_TRUE(b.putPasswd("pw", b.getIDByPath("A")));
    EXPECT_TRUE(b.insertNode1(doc, bytesOf("note one"), "txt"));
    EXPECT_TRUE(b.insertNode2(doc, "笔记"));
    EXPECT_FALSE(b.insertNode2(999, "no record"));
    Bytes note;
    std::string gs;
    ASSERT_TRUE(b.getNode1(doc, note, gs));
    EXPECT_EQ(note, bytesOf("note one"));
    EXPECT_EQ(gs, "txt");
    EXPECT_EQ(b.getNode2(doc), "笔记");

    const int32_t target = other.book.insertPathBT("Into", 1);
    EXPECT_EQ(b.pasteLXTo(b.getIDByPath("A"), other.book, target), 1);
    EXPECT_EQ(b.Msg(), "1 docs imported.");
    const int32_t copied = other.book.getIDByPath("Into/A/B/doc");
    ASSERT_NE(copied, 0);
    EXPECT_EQ(content(other.book, copied), Bytes(3000, 'z'));
    EXPECT_EQ(other.book.getPasswd(other.book.getIDByPath("Into/A")), "pw");
    EXPECT_EQ(b.mergeBookTo(other.book, 1), 1);
    EXPECT_NE(other.book.getIDByPath("A/B/doc"), 0);
    // A class pasted into itself copies what it held before.
    EXPECT_EQ(b.pasteLXTo(c, b, c), 1);
    EXPECT_NE(b.getIDByPath("A/B/B/doc"), 0);

    const std::string part = lib.dir.file("part.mdb");
    EXPECT_EQ(b.saveToDBLX(c, part), 2);  // B holds doc, and its pasted copy B/doc
    ctreebook partBook;
    ASSERT_TRUE(partBook.openDB(part));
    EXPECT_NE(partBook.getIDByPath("B/B/doc"), 0);

    const std::string copy = lib.dir.file("copy.mdb");
    ASSERT_TRUE(b.dupicateDB(copy));
    ctreebook dup;
    ASSERT_TRUE(dup.openDB(copy));
    EXPECT_EQ(dup.lastID(), b.lastID());
    EXPECT_EQ(dup.BTByID(doc), "doc");
    EXPECT_EQ(content(dup, doc), Bytes(3000, 'z'));
    EXPECT_EQ(dup.getNode2(doc), "笔记");
}

}  // namespace
