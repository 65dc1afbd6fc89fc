// Benchmark programs compare our code with a plain baseline measured in the same run.
//
// A program defines registerBenchmarks(), which calls pair() and figure(); the shared main
// runs every pair with Google Benchmark and prints one line per figure:
//   BENCH <name> ours=<value> base=<value> ratio=<ours/base>
// Times are seconds per iteration (real time); lower is better unless the name ends in _speed.
#pragma once

#include <functional>
#include <string>

namespace bench {

// setup runs once before the first of the two measurements (build fixtures there, not in main).
void pair(const std::string& name, std::function<void()> ours, std::function<void()> base,
          std::function<void()> setup = {});

// A figure measured by the program itself (memory, a ratio of two sizes...).
void figure(const std::string& name, double ours, double base);

// A scratch folder for generated fixtures, removed when the program ends.
const std::string& scratchDir();

}  // namespace bench

void registerBenchmarks();
