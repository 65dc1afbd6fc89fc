// Character-set detection samples the head of a buffer, so its cost does not grow with size:
// detecting a 100 MB buffer against detecting a 1 KB one.
#include "support/bench.h"

#include "util/file_path.h"

#include <benchmark/benchmark.h>

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

Bytes large, small;

}  // namespace

void registerBenchmarks() {
    bench::pair(
        "utf8_detect_scaling", [] { benchmark::DoNotOptimize(clsFilePath::binIsUTF8(large)); },
        [] { benchmark::DoNotOptimize(clsFilePath::binIsUTF8(small)); },
        [] {
            large = utf8Text(size_t{100} << 20);
            small = utf8Text(1024);
        });
}
