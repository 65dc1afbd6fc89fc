// Benchmark programs compare our code with a plain baseline measured in the same run.
//
// A program defines registerBenchmarks(), which calls pair(), sampled() and figure(); the shared
// main runs ours and base interleaved (ours, base, ours, base ...) after a warm-up and prints one
// line per figure:
//   BENCH <name> ours=<median> base=<median> ratio=<median of pair ratios> runs=<pairs> spread=<s>
// where spread is (max - min) / median of the pair ratios. Times are seconds per call; lower is
// better unless the name ends in _speed.
#pragma once

#include <benchmark/benchmark.h>

#include <functional>
#include <string>

namespace bench {

// Times ours() and base() (seconds per call, each repeated until a sample lasts long enough).
// setup runs once, before the warm-up (build fixtures there, not in registerBenchmarks). Each
// side must keep its result from the optimiser (benchmark::DoNotOptimize).
void pair(const std::string& name, std::function<void()> ours, std::function<void()> base,
          std::function<void()> setup = {});

// A figure the program measures itself, one value per call (pixels per second, a share of
// processor time...), taken interleaved like pair(): pairs calls of each side after one warm-up
// call of each (pairs at least 5).
void sampled(const std::string& name, std::function<double()> ours, std::function<double()> base,
             std::function<void()> setup = {}, int pairs = 5);

// A figure that does not vary between runs (a size, a count), printed with runs=1.
void figure(const std::string& name, double ours, double base);

// A scratch folder for generated fixtures, removed when the program ends.
const std::string& scratchDir();

}  // namespace bench

void registerBenchmarks();
