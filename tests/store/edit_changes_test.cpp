// The single-record changes the browser makes: read marks, attributes, titles, random
// documents, stored pictures.
#include <gtest/gtest.h>

#include "recorders.h"

namespace {

using store::ctreebook;
using store_test::bytesOf;
using store_test::TestLibrary;

// root -> A (doc a1, B (doc b1)), C (doc c1)
class Changes : public ::testing::Test {
protected:
    void SetUp() override {
        A = b.insertPathBT("A", 1);
        a1 = b.insertNRBT(A, "a1", "text a1");
        B = b.insertPathBT("B", A);
        b1 = b.insertNRBT(B, "b1", "text b1");
        C = b.insertPathBT("C", 1);
        c1 = b.insertNRBT(C, "c1", "text c1");
        ASSERT_TRUE(A && a1 && B && b1 && C && c1);
    }
    bool readed(int32_t id) {
        return b.getRecByID(id) && b.currRec().readed;
    }
    TestLibrary lib;
    ctreebook& b = lib.book;
    int32_t A = 0, a1 = 0, B = 0, b1 = 0, C = 0, c1 = 0;
};

TEST_F(Changes, ReadMarkOfAClassCoversItsWholeSubtreeBothWays) {
    ASSERT_TRUE(b.changeReaded(A, true));
    for (int32_t id : {A, a1, B, b1}) EXPECT_TRUE(readed(id)) << id;
    for (int32_t id : {C, c1}) EXPECT_FALSE(readed(id)) << id;
    ASSERT_TRUE(b.changeReaded(c1, true));
    EXPECT_TRUE(readed(c1));
    EXPECT_FALSE(readed(C));  // a document's mark stays its own

    ASSERT_TRUE(b.changeReaded(A, false));
    for (int32_t id : {A, a1, B, b1}) EXPECT_FALSE(readed(id)) << id;
    EXPECT_TRUE(readed(c1));
    EXPECT_FALSE(b.changeReaded(999, true));
}

TEST_F(Changes, AttributeMasksSetWithOrAndClearWithAnd) {
    struct Case {
        int32_t before, mask, after;
    } cases[] = {{3, 4096, 4099}, {4099, -4097, 3}, {3, -4097, 3}, {0, 1, 1}, {4099, 0, 4099}};
    for (const Case& c : cases) {
        const int32_t id = b.insertRec(C, "attr", "txt", bytesOf("x"), c.before);
        ASSERT_EQ(b.attrByid(id), c.before);
        EXPECT_TRUE(b.changeAttr(id, c.mask));
        EXPECT_EQ(b.attrByid(id), c.after) << c.before << " with " << c.mask;
    }
    EXPECT_FALSE(b.changeAttr(999, 4096));
}

TEST_F(Changes, SizeAndTitleChanges) {
    EXPECT_FALSE(b.changeSize(999, 5));
    EXPECT_TRUE(b.changeSize(A, 1234));
    EXPECT_EQ(b.sizeByid(A), 1234);

    std::string longTitle;
    for (int i = 0; i < 150; ++i) longTitle += i % 2 ? "书" : "a";
    ASSERT_TRUE(b.changeBT(a1, longTitle));
    const std::string stored = b.getBTByID(a1);
    EXPECT_EQ(stored, longTitle.substr(0, stored.size()));
    EXPECT_EQ(stored.size(), 50u + 50u * 3u);  // 100 characters: 50 Latin, 50 Chinese
    EXPECT_FALSE(b.changeBT(999, "x"));
}

TEST_F(Changes, RandomDocumentsAreDocumentsOfTheAskedFormat) {
    EXPECT_EQ(b.randomIdx("jpg"), 0);
    const int32_t pic = b.insertRec(C, "pic", "jpg", bytesOf("not really a jpeg"));
    ASSERT_TRUE(b.putPasswd("secret", C));  // a class content row is never drawn
    for (int i = 0; i < 50; ++i) {
        EXPECT_EQ(b.randomIdx("jpg"), pic);
        const int32_t any = b.randomIdx("");
        EXPECT_TRUE(any > 0 && !b.pathByid(any)) << any;
    }
}

TEST(EditEmpty, RandomIndexOfAnEmptyLibraryIsZero) {
    TestLibrary lib;
    EXPECT_EQ(lib.book.randomIdx(""), 0);
    lib.book.closeDB();
    EXPECT_EQ(lib.book.randomIdx(""), 0);
}

struct RecordingBox : store::PictureBox {
    int innerWidth() const override { return 320; }
    int innerHeight() const override { return 200; }
    void showPicture(const std::vector<uint8_t>& image, int width, int height, int32_t option) override {
        shown.push_back({image.size(), width, height, option});
    }
    struct Shown {
        size_t bytes;
        int width, height;
        int32_t option;
        bool operator==(const Shown&) const = default;
    };
    std::vector<Shown> shown;
};

TEST_F(Changes, StoredPicturesGoToTheBoxScaledOrAtTheirOwnSize) {
    const int32_t pic = b.insertRec(C, "pic", "png", bytesOf("0123456789"));
    const int32_t empty = b.insertRec(C, "empty", "png", {});
    RecordingBox box;
    EXPECT_FALSE(b.showpic(empty, box, 7, 1));
    EXPECT_FALSE(b.showpic(999, box, 7, 1));
    EXPECT_TRUE(b.loadImg(empty).empty());
    EXPECT_TRUE(box.shown.empty());

    EXPECT_TRUE(b.showpic(pic, box, 7, 1));
    EXPECT_TRUE(b.showpic(pic, box, 8, 4));
    EXPECT_TRUE(b.showpic(pic, box, 9, 5));  // no such mode: nothing shown
    using S = RecordingBox::Shown;
    EXPECT_EQ(box.shown, (std::vector<S>{{10, 320, 200, 7}, {10, -1, -1, 8}}));
    EXPECT_EQ(b.loadImg(pic), bytesOf("0123456789"));
}

}  // namespace
