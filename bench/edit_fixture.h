// The folder the import and check benchmarks work on: 2,000 text files of 52,000 bytes
// (104 MB) of made-up words, written once into the scratch folder.
#pragma once

#include <cstdio>
#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "support/bench.h"

namespace edit_bench {

constexpr int kFiles = 2000;
constexpr size_t kFileSize = 52000;

inline std::string makeFolder() {
    const std::string folder = bench::scratchDir() + "/import-source";
    std::filesystem::create_directories(folder);
    std::mt19937 random(2018);
    std::vector<std::string> words;
    for (int i = 0; i < 5000; ++i) {
        std::string w(2 + random() % 8, 'a');
        for (char& c : w) c = static_cast<char>('a' + random() % 26);
        words.push_back(w);
    }
    for (int f = 0; f < kFiles; ++f) {
        std::string text;
        text.reserve(kFileSize + 16);
        while (text.size() < kFileSize) text += words[random() % words.size()] + (random() % 12 ? " " : "\r\n");
        text.resize(kFileSize);
        const std::string name = folder + "/doc" + std::to_string(f) + ".txt";
        FILE* out = std::fopen(name.c_str(), "wb");
        if (!out || std::fwrite(text.data(), 1, text.size(), out) != text.size() || std::fclose(out) != 0)
            throw std::runtime_error("cannot write " + name);
    }
    return folder;
}

}  // namespace edit_bench
