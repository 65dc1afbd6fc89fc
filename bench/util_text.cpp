// Character-set detection samples the head of a buffer, so its cost does not grow with size.
#include "support/bench.h"

#include "util/file_path.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes utf8Text(size_t size) {
    const std::string unit = "中文内容的样本，";
    Bytes text;
    text.reserve(size + unit.size());
    while (text.size() < size) text.insert(text.end(), unit.begin(), unit.end());
    text.resize(size);
    return text;
}

// Seconds per call, the best of several rounds.
double secondsPerDetection(const Bytes& bytes) {
    constexpr int kCalls = 20000;
    double best = 1e9;
    for (int round = 0; round < 7; ++round) {
        auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < kCalls; ++i) benchmark::DoNotOptimize(clsFilePath::binIsUTF8(bytes));
        std::chrono::duration<double> spent = std::chrono::steady_clock::now() - start;
        best = std::min(best, spent.count() / kCalls);
    }
    return best;
}

}  // namespace

void registerBenchmarks() {
    Bytes large = utf8Text(size_t{100} << 20);
    Bytes small = utf8Text(1024);
    bench::figure("utf8_detect_scaling", secondsPerDetection(large), secondsPerDetection(small));
}
