// Libraries written on Windows (Jet 4 files, read-only): reading them, byte for byte against
// their manifests, and quiet failure of every write.
#include <gtest/gtest.h>

#include "engine/jet_sha256.h"
#include "recorders.h"
#include "util/codepage.h"
#include "util/crc32.h"

namespace {

using engine::Bytes;
using jet_test::sha256Hex;
using store::ctreebook;
using testing_support::jetFixturePath;
using testing_support::readFile;

struct JetDoc {
    int32_t id;
    int32_t pid;
    const char* gs;
    int32_t size;
    int32_t crc;
    bool zed;
    size_t storedLen;
    const char* shaPlain;
    const char* shaStored;
};

// From library_basic.expected.txt.
const JetDoc kBasicDocs[] = {
    {3, 2, "txt", 360, -189587054, true, 332, "4784b2cc8d0f5fe0beda28406b23cb1342af3998002987b2018bd8ae8deae880",
     "adb3f2af5f6db44a76ef58d64450c8fbce72f12c4bd86c32f85964570c9d1eb0"},
    {4, 2, "jpg", 823, -979113005, true, 570, "44b7c69f0b9253d2e33d7cdca1bce97a6991b017397cbe45ac328900fdcc4584",
     "491dfb8c7fb0ce8bb0ab41b239163b27471d8930bfca4161a8cca1a548ab3c0d"},
    {5, 1, "txt", 13, 37216899, false, 13, "90fbbca23f84f44688e4d517f6ab950c34ea2faa1b87161e26c01fe02d2f7c1f",
     "19ca0d37edd44a276db82e130942212d8274db3d7e1a832a7670b2ad07ff502a"},
    {7, 6, "txt", 102491, -511476310, true, 23973, "9d58f5ca1c54f9e4df87e984bba1c4c13cd5c8789f302e2e9b2004d3853f3fcf",
     "ebc7c5fa043c2463e60b27b1b8693fc10bad423a15bce38a54695eda7e876848"},
    {9, 2, "htm", 295, 71494254, true, 251, "366405778ce9f9fe5ec18b3e767b1f31b9851e855152de6006908ee398f0e397",
     "4624031fa0f118db43fc94215e9b48c940c16cb38ea12c7926f2f7e601e0c910"},
    {12, 2, "txt", 300, 1474077147, true, 311, "6ed8955fd4b2dffb33410c7ee6c87f73f78d4e34096c14490a15429a2c6b283a",
     "1be32b91fcc451ec50ac028722323e8227cf9486c9ed636f8bbc4ed3a2fc5ae5"},
};

class JetBasic : public ::testing::Test {
protected:
    void SetUp() override {
        before = readFile(file);
        ASSERT_TRUE(book.openDB(file));
    }
    void TearDown() override {
        book.closeDB();
        EXPECT_EQ(readFile(file), before);
    }
    const std::string file = jetFixturePath("library_basic.mdb");
    std::string before;
    ctreebook book;
};

TEST_F(JetBasic, OpensForReadingWithoutScanning) {
    EXPECT_TRUE(ctreebook::isVYNEFile(file));
    EXPECT_EQ(book.myDB()->format(), engine::Format::Jet);
    EXPECT_EQ(book.lastID(), 12);
    EXPECT_EQ(book.titleLimit(), 100);
    EXPECT_EQ(book.BTByID(1), "library_basic");
    EXPECT_EQ(book.BTByID(5), "Preface");
    EXPECT_EQ(book.getBTByID(5), "  Preface ");
    EXPECT_EQ(book.BTByID(2), "小说");
    EXPECT_EQ(book.gsByid(9), "htm");
    EXPECT_EQ(book.attrByid(6), 4096);
    EXPECT_TRUE(book.pathByid(6));
    EXPECT_EQ(book.getPPathName(3, false), "小说");
}

TEST_F(JetBasic, ContentDecodesByteForByteAndReEncodesToTheStoredBytes) {
    for (const JetDoc& d : kBasicDocs) {
        SCOPED_TRACE(d.id);
        Bytes plain;
        ASSERT_EQ(book.getNR(d.id, plain), d.size);
        EXPECT_EQ(sha256Hex(plain), d.shaPlain);
        EXPECT_EQ(book.gsByid(d.id), d.gs);
        EXPECT_EQ(book.crcByid(d.id), d.crc);
        EXPECT_EQ(book.zedByID(d.id), d.zed);
        EXPECT_EQ(book.pidByID(d.id), d.pid);
        ASSERT_TRUE(book.getRecByID2(d.id));
        EXPECT_EQ(book.currNR().nr.size(), d.storedLen);
        EXPECT_EQ(sha256Hex(book.currNR().nr), d.shaStored);

        // Our own write path makes the same stored bytes and checksum from the plain content.
        Bytes again = plain;
        ctreebook::encodeNr(again, d.size);
        EXPECT_EQ(Modcrc32::getCRC32(again), d.crc);
        if (d.zed) EXPECT_TRUE(book.zipBin2bin(again));
        EXPECT_EQ(sha256Hex(again), d.shaStored);
    }
    // The password row of class 6 is no document content.
    Bytes none;
    EXPECT_EQ(book.getNR(6, none), 0);
    EXPECT_EQ(book.getNR(8, none), 0);
    EXPECT_EQ(book.getTextNR(3).empty(), false);
    EXPECT_EQ(book.getTextNR(9), "");
}

TEST_F(JetBasic, WritesFailQuietly) {
    Bytes content = store_test::bytesOf("new text");
    EXPECT_FALSE(book.putNR(5, content));
    EXPECT_FALSE(book.changeSize(2, 5));
    EXPECT_FALSE(book.uncode2ansi(3));
    store::MemoryList list;
    EXPECT_EQ(book.btToListView(list, 1, false), 3);  // the class size cannot be cached: still listed
    EXPECT_EQ(list.items[0].key, "2id");
    EXPECT_EQ(list.items[0].subItems[0], clsFilePath::lenKstr(360 + 823 + 295 + 300, false));
    EXPECT_EQ(book.sizeByid(2), 0);
}

TEST_F(JetBasic, SearchesRunOnTheJetFile) {
    store::MemoryList list;
    EXPECT_EQ(book.searchKeyToLVW("ab", list, false), 2);  // "about" and "ABC"
    int32_t classId = 1;
    const std::string text = book.getTextNR(3);
    ASSERT_GE(text.size(), 6u);
    EXPECT_GE(book.searchKeyToLVWNR(text.substr(0, 6), list, classId, "txt"), 1);
    EXPECT_EQ(list.items[0].key, "3id");
}

TEST(JetVariants, RecognitionAndTheTitleLimitOfAnOlderLibrary) {
    EXPECT_TRUE(ctreebook::isTreeBookDB(jetFixturePath("library_noprops.mdb")));
    EXPECT_FALSE(ctreebook::isVYNEFile(jetFixturePath("library_noprops.mdb")));
    EXPECT_TRUE(ctreebook::isTreeBookDB(jetFixturePath("library_wrongid.mdb")));
    EXPECT_FALSE(ctreebook::isVYNEFile(jetFixturePath("library_wrongid.mdb")));

    // An empty read-only library opens without its root; its bt size becomes the title limit,
    // also of a library this store creates next.
    const std::string bt40 = jetFixturePath("library_bt40.mdb");
    const std::string before = readFile(bt40);
    ctreebook book;
    ASSERT_TRUE(book.openDB(bt40));
    EXPECT_EQ(book.titleLimit(), 40);
    EXPECT_EQ(book.lastID(), 0);
    EXPECT_EQ(book.BTByID(1), "");
    book.closeDB();
    EXPECT_EQ(readFile(bt40), before);

    testing_support::TempDir dir;
    std::string longName;
    for (int i = 0; i < 50; ++i) longName += "书";
    const std::string file = dir.file(longName + ".mdb");
    ASSERT_TRUE(book.createBookMDB(file));
    EXPECT_EQ(engine::openDatabase(file)->tableDef("tree").field("bt")->size, 40);
    ASSERT_TRUE(book.openDB(file));
    EXPECT_EQ(book.BTByID(1), longName.substr(0, 40 * 3));
}

}  // namespace
