// vlib convert of a Jet library (the repository's library_basic fixture) into a native one,
// against mdbtools' own export of the same two tables (tree and nr) to /dev/null. Both sides
// start their programs, as a user's conversion does.
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "support/bench.h"

namespace {

const std::string kLibrary = std::string(VYNE_TEST_FIXTURES) + "/jet/library_basic.mdb";

void run(const std::string& command) {
    if (std::system(command.c_str()) != 0) throw std::runtime_error("failed: " + command);
}

}  // namespace

void registerBenchmarks() {
    const std::string out = bench::scratchDir() + "/converted.mdb";
    bench::pair(
        "jet_convert",
        [out] { run(std::string(VYNE_BIN_DIR) + "/src/vlib convert '" + kLibrary + "' '" + out + "' --force >/dev/null 2>&1"); },
        [] {
            run("mdb-export '" + kLibrary + "' tree >/dev/null && mdb-export '" + kLibrary + "' nr >/dev/null");
        });
}
