#include "util/codepage.h"
#include "util/crc.h"
#include "util/crc32.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;
Bytes bytesOf(const std::string& s) { return Bytes(s.begin(), s.end()); }

TEST(Crc32, CheckValues) {
    EXPECT_EQ(Modcrc32::getCRC32(bytesOf("123456789")), -873187034);  // 0xCBF43926
    EXPECT_EQ(Modcrc32::getCRC32(Bytes{}), 0);
}

TEST(ClsCrc, AlgorithmSelectsTheChecksum) {
    clsCRC crc;
    EXPECT_EQ(crc.Algorithm(), -1);
    EXPECT_EQ(crc.CalculateString("123456789"), Modcrc32::getCRC32(bytesOf("123456789")));
    crc.setAlgorithm(0);
    EXPECT_EQ(crc.Algorithm(), 0);
    EXPECT_EQ(crc.CalculateString("123456789"), 0x31C3);
    crc.setAlgorithm(5);
    EXPECT_EQ(crc.Algorithm(), -1);
}

TEST(ClsCrc, AddsAccumulateInBothAlgorithms) {
    for (int32_t algorithm : {0, 1}) {
        clsCRC crc;
        crc.setAlgorithm(algorithm);
        auto whole = crc.CalculateBytes(bytesOf("abcdef"));
        crc.Clear();
        crc.AddBytes(bytesOf("abc"));
        EXPECT_EQ(crc.AddString("def"), whole) << algorithm;
        EXPECT_EQ(crc.Value(), *whole) << algorithm;
    }
}

TEST(ClsCrc, ValueSetStoresTheRegister) {
    clsCRC crc;
    crc.setValue(-1);  // register 0xFFFFFFFF: the start of a CRC-32
    EXPECT_EQ(crc.Value(), 0);
    EXPECT_EQ(crc.AddBytes(bytesOf("123456789")), -873187034);
}

TEST(ClsCrc, NothingComputedLeavesTheRegister) {
    testing_support::TempDir dir;
    testing_support::writeFile(dir.file("empty"), "");
    testing_support::writeFile(dir.file("data"), "123456789");
    clsCRC crc;
    crc.AddString("abc");
    int32_t before = crc.Value();
    EXPECT_FALSE(crc.CalculateFile(dir.file("empty")));
    EXPECT_FALSE(crc.CalculateFile(dir.file("missing")));
    EXPECT_FALSE(crc.AddBytes({}));
    EXPECT_FALSE(crc.CalculateString(""));
    EXPECT_EQ(crc.Value(), before);
    EXPECT_EQ(crc.CalculateFile(dir.file("data")), -873187034);
}

TEST(ClsCrc, TextsCountAsCodePageBytes) {
    clsCRC crc;
    EXPECT_EQ(crc.CalculateString("中文"), Modcrc32::getCRC32(Bytes{0xD6, 0xD0, 0xCE, 0xC4}));
}

}  // namespace
