#include "support/bench.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <stdexcept>
#include <vector>

namespace bench {
namespace {

struct Pair {
    std::string name;
    std::function<void()> ours, base, setup;
};

std::vector<Pair>& pairs() {
    static std::vector<Pair> p;
    return p;
}

struct Figure {
    std::string name;
    double ours, base;
};

std::vector<Figure>& figures() {
    static std::vector<Figure> f;
    return f;
}

// Collects the real time per iteration of every run.
class Collector : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> seconds;
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const auto& r : runs)
            if (!r.error_occurred)
                seconds[r.run_name.function_name] = r.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(r.time_unit);
        ConsoleReporter::ReportRuns(runs);
    }
};

void printLine(const std::string& name, double ours, double base) {
    std::printf("BENCH %s ours=%.6g base=%.6g ratio=%.3f\n", name.c_str(), ours, base,
                base > 0 ? ours / base : 0.0);
}

}  // namespace

void pair(const std::string& name, std::function<void()> ours, std::function<void()> base,
          std::function<void()> setup) {
    pairs().push_back({name, std::move(ours), std::move(base), std::move(setup)});
}

void figure(const std::string& name, double ours, double base) { figures().push_back({name, ours, base}); }

const std::string& scratchDir() {
    static std::string dir = [] {
        std::string tmpl = (std::filesystem::temp_directory_path() / "vyne-bench-XXXXXX").string();
        if (!mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
        return tmpl;
    }();
    return dir;
}

}  // namespace bench

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    benchmark::Initialize(&argc, argv);
    registerBenchmarks();
    for (auto& p : bench::pairs()) {
        bool ready = false;
        auto prepare = [&p, &ready] {
            if (!ready && p.setup) p.setup();
            ready = true;
        };
        benchmark::RegisterBenchmark((p.name + "/ours").c_str(), [&p, prepare](benchmark::State& st) {
            prepare();
            for (auto _ : st) p.ours();
        })->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(0.5);
        benchmark::RegisterBenchmark((p.name + "/base").c_str(), [&p, prepare](benchmark::State& st) {
            prepare();
            for (auto _ : st) p.base();
        })->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(0.5);
    }
    bench::Collector collector;
    benchmark::RunSpecifiedBenchmarks(&collector);
    std::fputs("\n", stdout);  // the console reporter ends on a colour code, not a line end
    std::fflush(stdout);
    for (auto& p : bench::pairs()) {
        auto o = collector.seconds.find(p.name + "/ours");
        auto b = collector.seconds.find(p.name + "/base");
        if (o != collector.seconds.end() && b != collector.seconds.end())
            bench::printLine(p.name, o->second, b->second);
    }
    for (auto& f : bench::figures()) bench::printLine(f.name, f.ours, f.base);
    std::error_code ec;
    std::filesystem::remove_all(bench::scratchDir(), ec);
    benchmark::Shutdown();
    return 0;
}
