#include "support/bench.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <vector>

namespace bench {
namespace {

using Sample = std::function<double()>;

struct Entry {
    std::string name;
    Sample ours, base;
    std::function<void()> setup;
    int pairs;
};

std::vector<Entry>& entries() {
    static std::vector<Entry> e;
    return e;
}

// The figures to run: those whose names contain this text (all when empty).
std::string& filter() {
    static std::string f;
    return f;
}

bool wanted(const std::string& name) { return filter().empty() || name.find(filter()) != std::string::npos; }

// Pairs of timed samples per pair() figure, and how long one timed sample at least lasts.
constexpr int kTimedPairs = 7;
constexpr double kMinSampleSeconds = 0.15;

double now() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

// Seconds per call of f, over as many calls as make one sample last kMinSampleSeconds.
Sample timed(std::function<void()> f) {
    auto calls = std::make_shared<long>(1);
    return [f = std::move(f), calls] {
        for (;;) {
            const double start = now();
            for (long i = 0; i < *calls; ++i) f();
            const double took = now() - start;
            if (took >= kMinSampleSeconds || *calls >= (1L << 30)) return took / double(*calls);
            // Aim a little past the minimum so the next sample is long enough.
            const double factor = took > 0 ? 1.3 * kMinSampleSeconds / took : 10.0;
            *calls = std::max(*calls + 1, long(double(*calls) * std::min(factor, 100.0)));
        }
    };
}

double median(std::vector<double> v) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

void printLine(const std::string& name, double ours, double base, double ratio, int runs, double spread) {
    std::printf("BENCH %s ours=%.6g base=%.6g ratio=%.3f runs=%d spread=%.3f\n", name.c_str(), ours, base, ratio,
                runs, spread);
    std::fflush(stdout);
}

void run(Entry& e) {
    if (e.setup) e.setup();
    // The first call of each side warms caches and finds the call count of timed samples.
    e.ours();
    e.base();
    std::vector<double> ours, base, ratios;
    for (int i = 0; i < e.pairs; ++i) {
        const double o = e.ours();
        const double b = e.base();
        ours.push_back(o);
        base.push_back(b);
        ratios.push_back(b != 0 ? o / b : 0.0);
        std::fprintf(stderr, "%s pair %d: ours=%.6g base=%.6g\n", e.name.c_str(), i + 1, o, b);
    }
    const double r = median(ratios);
    const auto [lo, hi] = std::minmax_element(ratios.begin(), ratios.end());
    printLine(e.name, median(ours), median(base), r, e.pairs, r != 0 ? (*hi - *lo) / r : 0.0);
}

}  // namespace

void pair(const std::string& name, std::function<void()> ours, std::function<void()> base,
          std::function<void()> setup) {
    entries().push_back({name, timed(std::move(ours)), timed(std::move(base)), std::move(setup), kTimedPairs});
}

void sampled(const std::string& name, std::function<double()> ours, std::function<double()> base,
             std::function<void()> setup, int pairs) {
    entries().push_back({name, std::move(ours), std::move(base), std::move(setup), std::max(pairs, 5)});
}

void figure(const std::string& name, double ours, double base) {
    if (!wanted(name)) return;
    printLine(name, ours, base, base != 0 ? ours / base : 0.0, 1, 0.0);
}

const std::string& scratchDir() {
    static std::string dir = [] {
        std::string tmpl = (std::filesystem::temp_directory_path() / "vyne-bench-XXXXXX").string();
        if (!mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
        return tmpl;
    }();
    return dir;
}

}  // namespace bench

// Usage: bench_x [--filter=SUBSTRING]: runs the figures whose names contain SUBSTRING. A figure
// whose setup or sides fail is reported as FAILED, the others still run; the exit code says so.
int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], "--filter=", 9) == 0) bench::filter() = argv[i] + 9;
    int failed = 0;
    try {
        registerBenchmarks();
        for (auto& e : bench::entries()) {
            if (!bench::wanted(e.name)) continue;
            try {
                bench::run(e);
            } catch (const std::exception& error) {
                std::fprintf(stderr, "FAILED %s: %s\n", e.name.c_str(), error.what());
                ++failed;
            }
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "FAILED registering the benchmarks: %s\n", error.what());
        ++failed;
    }
    std::error_code ec;
    std::filesystem::remove_all(bench::scratchDir(), ec);
    return failed ? 1 : 0;
}
