#include "util/codepage.h"
#include "util/zlib_compressor.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <atomic>
#include <cstdlib>
#include <limits>
#include <new>
#include <string>
#include <vector>

// The largest single allocation made through operator new, so that a test can show that a
// forged size claim is not allocated. Every form is replaced so that all pairs match.
static std::atomic<size_t> gLargestAllocation{0};

static void* trackedAllocation(size_t size) noexcept {
    size_t seen = gLargestAllocation.load();
    while (size > seen && !gLargestAllocation.compare_exchange_weak(seen, size)) {
    }
    return std::malloc(size ? size : 1);
}

// operator delete frees what this malloc-backed operator new returned.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(size_t size) {
    if (void* p = trackedAllocation(size)) return p;
    throw std::bad_alloc();
}
void* operator new[](size_t size) { return operator new(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept { return trackedAllocation(size); }
void* operator new[](size_t size, const std::nothrow_t&) noexcept { return trackedAllocation(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
void operator delete[](void* p, size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }

namespace {

using Bytes = std::vector<uint8_t>;

Bytes textBytes(const std::string& s) { return Bytes(s.begin(), s.end()); }

Bytes rawCompress(const Bytes& in) {
    uLongf len = compressBound(in.size());
    Bytes out(len);
    compress(out.data(), &len, in.data(), in.size());
    out.resize(len);
    return out;
}

Bytes sampleText() {
    std::string s;
    for (int i = 0; i < 200; ++i) s += "Line " + std::to_string(i) + " of a sample document.\r\n";
    return textBytes(s);
}

TEST(ZlibCompressor, InputsBelowTwoBytesStayAsTheyAre) {
    for (const Bytes& input : {Bytes{}, Bytes{0x41}}) {
        ZlibCompressor z;
        Bytes data = input;
        EXPECT_EQ(z.CompressData(data), Z_OK);
        EXPECT_EQ(data, input);
        EXPECT_EQ(z.CompressedSize(), 0);
        EXPECT_EQ(z.OriginalSize(), 0);
        EXPECT_EQ(z.DecompressData(data, 10), Z_OK);
        EXPECT_EQ(data, input);
    }
}

TEST(ZlibCompressor, OutputBufferBoundRoundsHalfToEven) {
    struct Case {
        int64_t n, bound;
    } cases[] = {{100, 113}, {50, 62}, {150, 164}, {0, 12}, {1000, 1022}};
    for (const auto& c : cases) EXPECT_EQ(ZlibCompressor::compressBound(c.n), c.bound) << c.n;
}

TEST(ZlibCompressor, WritesAPlainZlibStreamAndReadsAnyOne) {
    Bytes original = sampleText();
    ZlibCompressor z;
    Bytes packed = original;
    ASSERT_EQ(z.CompressData(packed), Z_OK);
    EXPECT_EQ(z.OriginalSize(), static_cast<int32_t>(original.size()));
    EXPECT_EQ(z.CompressedSize(), static_cast<int32_t>(packed.size()));

    Bytes viaZlib(original.size());
    uLongf len = viaZlib.size();
    ASSERT_EQ(uncompress(viaZlib.data(), &len, packed.data(), packed.size()), Z_OK);
    EXPECT_EQ(viaZlib, original);

    Bytes fromZlib = rawCompress(original);
    ASSERT_EQ(z.DecompressData(fromZlib, static_cast<int32_t>(original.size())), Z_OK);
    EXPECT_EQ(fromZlib, original);
    EXPECT_EQ(z.OriginalSize(), static_cast<int32_t>(original.size()));
}

// The expected size decides the outcome exactly as zlib's uncompress with a buffer of
// expected + 1 bytes; failures leave the input and zero the counters.
TEST(ZlibCompressor, DecompressResultsFollowTheExpectedSize) {
    Bytes original = sampleText();
    const int32_t n = static_cast<int32_t>(original.size());
    Bytes packed = rawCompress(original);
    Bytes truncated(packed.begin(), packed.begin() + static_cast<std::ptrdiff_t>(packed.size() / 2));
    struct Case {
        const char* what;
        Bytes input;
        int32_t expected;
        int32_t code;
    } cases[] = {
        {"exact size", packed, n, Z_OK},
        {"one byte short", packed, n - 1, Z_OK},
        {"two bytes short", packed, n - 2, Z_BUF_ERROR},
        {"larger claim", packed, n * 3, Z_OK},
        {"not a zlib stream", textBytes("this is not compressed at all"), 100, Z_DATA_ERROR},
        {"truncated stream", truncated, n, Z_DATA_ERROR},
    };
    for (const auto& c : cases) {
        ZlibCompressor z;
        Bytes data = c.input;
        Bytes reference(static_cast<size_t>(c.expected) + 1);
        uLongf len = reference.size();
        ASSERT_EQ(uncompress(reference.data(), &len, c.input.data(), c.input.size()), c.code) << c.what;
        EXPECT_EQ(z.DecompressData(data, c.expected), c.code) << c.what;
        if (c.code == Z_OK) {
            EXPECT_EQ(data, original) << c.what;
        } else {
            EXPECT_EQ(data, c.input) << c.what;
            EXPECT_EQ(z.OriginalSize(), 0) << c.what;
            EXPECT_EQ(z.CompressedSize(), 0) << c.what;
        }
    }
}

// A record's size is a claim from outside: a tiny stream claiming about 2 GB gives the same
// code as uncompress would, without the memory being taken.
TEST(ZlibCompressor, ForgedHugeSizeIsNotAllocated) {
    Bytes original = textBytes("a short document");
    Bytes packed = rawCompress(original);
    Bytes truncated(packed.begin(), packed.end() - 6);
    struct Case {
        Bytes input;
        int32_t code;
    } cases[] = {{packed, Z_OK}, {truncated, Z_DATA_ERROR}};
    for (const auto& c : cases) {
        ZlibCompressor z;
        Bytes data = c.input;
        gLargestAllocation = 0;
        EXPECT_EQ(z.DecompressData(data, std::numeric_limits<int32_t>::max() - 1), c.code);
        EXPECT_LT(gLargestAllocation.load(), size_t{16} << 20);
        EXPECT_EQ(data, c.code == Z_OK ? original : c.input);
    }
}

TEST(ZlibCompressor, StringFormsWorkOnCodePageBytes) {
    ZlibCompressor z;
    std::string text = "plain ASCII text, plain ASCII text, plain ASCII text";
    std::string packed = text;
    ASSERT_EQ(z.CompressString(packed), Z_OK);
    EXPECT_EQ(z.OriginalSize(), static_cast<int32_t>(text.size()));
    // Compressed bytes are not all valid code page 936, so only check the failure path keeps text.
    std::string notStream = "not a stream";
    EXPECT_EQ(z.DecompressString(notStream, 100), Z_DATA_ERROR);
    EXPECT_EQ(notStream, "not a stream");
    EXPECT_EQ(z.OriginalSize(), 0);
}

TEST(CodePage, ConvertsBetweenUtf8AndCodePage936) {
    struct Case {
        std::string utf8;
        Bytes ansi;
    } cases[] = {
        {"abc", {'a', 'b', 'c'}},
        {"中文", {0xD6, 0xD0, 0xCE, 0xC4}},
        {"", {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(util::utf8ToAnsi(c.utf8), c.ansi) << c.utf8;
        EXPECT_EQ(util::ansiToUtf8(c.ansi), c.utf8) << c.utf8;
    }
}

TEST(CodePage, UnconvertibleCharactersBecomeQuestionMarks) {
    EXPECT_EQ(util::utf8ToAnsi("a\xF0\x9F\x98\x80" "b"), textBytes("a?b"));  // an emoji
    EXPECT_EQ(util::utf8ToAnsi("a\xFF" "b"), textBytes("a?b"));              // not UTF-8
    EXPECT_EQ(util::ansiToUtf8(Bytes{'a', 0xD6}), "a?");                      // cut character
    const uint8_t utf16[] = {'a', 0, 0x2D, 0x4E, 0x00, 0xD8};                // a 中 lone surrogate
    EXPECT_EQ(util::utf16leToUtf8(utf16, sizeof utf16), "a中?");
}

}  // namespace
