// Importing 2,000 text files (104 MB) into a new library against compressing the same bytes
// with zlib and writing them to one file.
#include <zlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "edit_fixture.h"
#include "store/ctreebook.h"

namespace {

std::string folder, library, plainOut;

void setUp() {
    folder = edit_bench::makeFolder();
    library = bench::scratchDir() + "/import.mdb";
    plainOut = bench::scratchDir() + "/plain.z";
}

void importFolder() {
    std::filesystem::remove(library);
    store::ctreebook book;
    if (!book.createBookMDB(library) || !book.openDB(library) ||
        book.insertOrUpdateDirs(folder, 1) != edit_bench::kFiles)
        throw std::runtime_error("import failed");
}

void compressAndWrite() {
    std::vector<std::filesystem::path> files;
    for (const auto& e : std::filesystem::directory_iterator(folder)) files.push_back(e.path());
    FILE* out = std::fopen(plainOut.c_str(), "wb");
    for (const auto& file : files) {
        std::ifstream in(file, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        uLongf size = compressBound(bytes.size());
        std::vector<Bytef> packed(size);
        compress(packed.data(), &size, reinterpret_cast<const Bytef*>(bytes.data()), bytes.size());
        std::fwrite(packed.data(), 1, size, out);
    }
    std::fclose(out);
}

}  // namespace

void registerBenchmarks() { bench::pair("import", importFolder, compressAndWrite, setUp); }
