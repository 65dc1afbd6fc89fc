// Field access by id, path names, whole-record readers and cursor wrappers.
#include <gtest/gtest.h>

#include "recorders.h"

namespace {

using store::ctreebook;
using store_test::TestLibrary;

// root 1 -> A 2 -> B 3 -> doc 4; doc 5 in the root; "  Preface " 6 with format "HTM".
class Records : public ::testing::Test {
protected:
    void SetUp() override {
        lib.addClass(2, 1, "A");
        lib.addClass(3, 2, "B");
        lib.addDoc(4, 3, "doc", "hello");
        lib.addDoc(5, 1, "top doc", "x");
        lib.addRow(6, 1, "  Preface ", false, "HTM", store_test::bytesOf("<p>hi</p>"));
    }
    TestLibrary lib;
};

TEST_F(Records, AccessorsReadTheirFieldOrTheirNothingValue) {
    ctreebook& b = lib.book;
    EXPECT_EQ(b.BTByID(6), "Preface");
    EXPECT_EQ(b.getBTByID(6), "  Preface ");
    EXPECT_EQ(b.gsByid(6), "htm");
    EXPECT_EQ(b.pidByID(4), 3);
    EXPECT_TRUE(b.pathByid(3));
    EXPECT_TRUE(b.isPath(3));
    EXPECT_FALSE(b.pathByid(4));
    EXPECT_EQ(b.sizeByid(4), 5);
    EXPECT_EQ(b.getSize(4), 5);
    EXPECT_EQ(b.sizeByidNR(4), 5);
    EXPECT_EQ(b.getNRSize(4), 5);
    EXPECT_FALSE(b.zedByID(4));
    EXPECT_NE(b.dateByid(4).days, 0.0);
    EXPECT_EQ(b.attrByid(4), 0);
    // A missing record, and a class without content row, give nothing.
    EXPECT_EQ(b.BTByID(99), "");
    EXPECT_EQ(b.pidByID(99), 0);
    EXPECT_EQ(b.dateByid(99).days, 0.0);
    EXPECT_FALSE(b.pathByid(99));
    EXPECT_EQ(b.gsByid(3), "");
    EXPECT_EQ(b.crcByid(3), 0);
    EXPECT_EQ(ctreebook::KeyById(5), "k5");
    EXPECT_EQ(ctreebook::trimNull(engine::Value()), "");
    EXPECT_EQ(ctreebook::trimNull(engine::Value(" a b ")), "a b");

    b.closeDB();
    EXPECT_EQ(b.BTByID(2), "");
    EXPECT_FALSE(b.pathByid(2));
    EXPECT_EQ(b.gsByid(4), "");
}

TEST_F(Records, PathNamesLeaveTheRootOut) {
    ctreebook& b = lib.book;
    EXPECT_EQ(b.getPPathName(4, false), "A/B");
    EXPECT_EQ(b.getPPathName(3, true), "A/B");
    EXPECT_EQ(b.getPPathName(2, true), "A");
    EXPECT_EQ(b.getPPathName(5, false), "");
    EXPECT_EQ(b.getPPathName(1, true), "");
}

TEST_F(Records, ParentChainsThatLoopEndAtTheFirstRepeatedId) {
    // 10 -> 11 -> 12 -> 10, and 13 names itself.
    lib.addClass(10, 12, "x");
    lib.addClass(11, 10, "y");
    lib.addClass(12, 11, "z");
    lib.addClass(13, 13, "self");
    ctreebook& b = lib.book;
    EXPECT_EQ(b.getPPathName(10, true), "y/z/x");
    std::vector<int32_t> ids;
    EXPECT_EQ(b.getParentIDs(10, ids), 3);
    EXPECT_EQ(ids, (std::vector<int32_t>{10, 12, 11}));
    EXPECT_EQ(b.getParentIDs(13, ids), 1);
    EXPECT_EQ(b.getPPathName(13, false), "self");
}

TEST_F(Records, WholeRecordReaders) {
    ctreebook& b = lib.book;
    ASSERT_TRUE(b.getRecByID(4));
    EXPECT_EQ(b.currRec().id, 4);
    EXPECT_EQ(b.currRec().bt, "doc");
    EXPECT_EQ(b.currRec().pid, 3);
    EXPECT_EQ(b.currRec().size, 5);
    EXPECT_FALSE(b.currRec().path);
    ASSERT_TRUE(b.getRecByID2(4));
    EXPECT_EQ(b.currNR().gs, "txt");
    EXPECT_EQ(b.currNR().size, 5);
    EXPECT_EQ(b.currNR().nr, lib.stored(4));  // the stored form, not decoded
    EXPECT_NE(b.currNR().nr, store_test::bytesOf("hello"));
    EXPECT_EQ(b.getCurr格式(), "txt");
    EXPECT_EQ(b.getCurr长度(), 5);
    EXPECT_EQ(b.getCurrCRC(), b.crcByid(4));
    EXPECT_FALSE(b.getRecByID(99));
    EXPECT_TRUE(b.getRec(3, "doc"));
    EXPECT_EQ(b.currRec().id, 4);
    EXPECT_FALSE(b.getRec(3, "nothing"));
}

TEST_F(Records, MovingPastEitherEndBeepsAndStaysOnTheEndRecord) {
    ctreebook& b = lib.book;
    int beeps = 0;
    b.seams.beep = [&] { ++beeps; };
    b.myRS()->setIndex("primaryKey");
    b.MoveLast();
    b.MoveNext();
    EXPECT_EQ(beeps, 1);
    ASSERT_TRUE(b.getCurrRec());
    EXPECT_EQ(b.currRec().id, 6);
    b.MoveFirst();
    b.MovePrevious();
    EXPECT_EQ(beeps, 2);
    ASSERT_TRUE(b.getCurrRec());
    EXPECT_EQ(b.currRec().id, 1);
    b.MoveNext();
    EXPECT_EQ(beeps, 2);
    ASSERT_TRUE(b.getCurrRec());
    EXPECT_EQ(b.currRec().id, 2);

    b.closeDB();
    EXPECT_THROW(b.MoveNext(), engine::Error);
}

}  // namespace
