// Checksum and compression of whole buffers against the bare zlib calls they wrap. The codec
// replaces the buffer it is given, so each side starts from its own copy of the input.
#include "support/bench.h"

#include "util/crc32.h"
#include "util/zlib_compressor.h"

#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;
constexpr size_t kSize = size_t{64} << 20;

// Text of words drawn from a fixed vocabulary with a skewed choice, in lines: about as
// compressible as prose.
Bytes makeText(size_t size) {
    std::mt19937 random(12345);
    std::vector<std::string> words;
    for (int i = 0; i < 5000; ++i) {
        std::string w;
        for (int k = 0, n = 2 + static_cast<int>(random() % 9); k < n; ++k) w += static_cast<char>('a' + random() % 26);
        words.push_back(w);
    }
    std::geometric_distribution<int> pick(0.002);
    Bytes text;
    text.reserve(size + 64);
    int column = 0;
    while (text.size() < size) {
        const std::string& w = words[static_cast<size_t>(pick(random)) % words.size()];
        text.insert(text.end(), w.begin(), w.end());
        column += static_cast<int>(w.size()) + 1;
        if (column > 70) {
            text.push_back('\r');
            text.push_back('\n');
            column = 0;
        } else {
            text.push_back(' ');
        }
    }
    text.resize(size);
    return text;
}

Bytes gText;
Bytes gPacked;

void makeFixtures() {
    if (!gText.empty()) return;
    gText = makeText(kSize);
    uLongf len = compressBound(gText.size());
    gPacked.resize(len);
    compress(gPacked.data(), &len, gText.data(), gText.size());
    gPacked.resize(len);
}

}  // namespace

void registerBenchmarks() {
    bench::pair(
        "crc32", [] { benchmark::DoNotOptimize(Modcrc32::getCRC32(gText)); },
        [] { benchmark::DoNotOptimize(crc32(0, gText.data(), static_cast<uInt>(gText.size()))); }, makeFixtures);

    bench::pair(
        "compress",
        [] {
            ZlibCompressor z;
            Bytes data = gText;
            z.CompressData(data);
            benchmark::DoNotOptimize(data.data());
        },
        [] {
            Bytes in = gText;
            uLongf len = compressBound(in.size());
            Bytes out(len);
            compress(out.data(), &len, in.data(), in.size());
            benchmark::DoNotOptimize(out.data());
        },
        makeFixtures);

    bench::pair(
        "decompress",
        [] {
            ZlibCompressor z;
            Bytes data = gPacked;
            z.DecompressData(data, static_cast<int32_t>(gText.size()));
            benchmark::DoNotOptimize(data.data());
        },
        [] {
            Bytes in = gPacked;
            Bytes out(gText.size() + 1);
            uLongf len = out.size();
            uncompress(out.data(), &len, in.data(), in.size());
            benchmark::DoNotOptimize(out.data());
        },
        makeFixtures);
}
