// Helpers of the fuzz harnesses: parsers that read files get the input as a file in a scratch
// folder of this process (in memory when /dev/shm exists), removed when the process ends.
#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace fuzz {

inline const std::string& scratchDir() {
    static const std::string dir = [] {
        std::error_code ec;
        const std::filesystem::path base =
            std::filesystem::is_directory("/dev/shm", ec) ? std::filesystem::path("/dev/shm")
                                                          : std::filesystem::temp_directory_path();
        std::string tmpl = (base / "vyne-fuzz-XXXXXX").string();
        if (!mkdtemp(tmpl.data())) std::abort();
        static const std::string made = tmpl;
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(made, ignored);
        });
        return tmpl;
    }();
    return dir;
}

// The file `name` of the scratch folder, holding the bytes.
inline std::string writeScratch(const std::string& name, const uint8_t* data, size_t size) {
    const std::string path = scratchDir() + "/" + name;
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data),
                                                                   static_cast<std::streamsize>(size));
    return path;
}

inline std::string readScratch(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Stops the run at a broken promise of the code under test, so that the fuzzer keeps the input.
#define FUZZ_REQUIRE(condition) \
    do {                        \
        if (!(condition)) __builtin_trap(); \
    } while (0)

}  // namespace fuzz
