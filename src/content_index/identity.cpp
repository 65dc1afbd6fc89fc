// Library identities and the cache folder of content indexes.
#include "content_index/identity.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace cindex {

namespace fs = std::filesystem;

namespace {

std::string absolutePath(const std::string& file) {
    std::error_code ec;
    fs::path p = fs::weakly_canonical(fs::absolute(file, ec), ec);
    if (ec) p = fs::absolute(file, ec).lexically_normal();
    return p.string();
}

uint32_t sqliteChangeCounter(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    char head[28] = {};
    if (!in.read(head, sizeof head)) return 0;
    static const char kSqliteMagic[] = "SQLite format 3";
    if (std::string(head, 15) != std::string(kSqliteMagic, 15)) return 0;
    const auto* b = reinterpret_cast<const uint8_t*>(head + 24);
    return uint32_t{b[0]} << 24 | uint32_t{b[1]} << 16 | uint32_t{b[2]} << 8 | b[3];
}

uint64_t fnv1a(const std::string& text) {
    uint64_t h = 0xcbf29ce484222325ull;
    for (unsigned char c : text) {
        h ^= c;
        h *= 0x100000001b3ull;
    }
    return h;
}

}  // namespace

std::optional<LibraryIdentity> identityOf(const std::string& libraryFile,
                                          const std::string& contentTable) {
    LibraryIdentity id;
    id.path = absolutePath(libraryFile);
    id.contentTable = contentTable;
    std::error_code ec;
    if (!fs::is_regular_file(id.path, ec)) return std::nullopt;
    id.size = fs::file_size(id.path, ec);
    if (ec) return std::nullopt;
    const fs::file_time_type written = fs::last_write_time(id.path, ec);
    if (ec) return std::nullopt;
    id.mtimeNs = std::chrono::duration_cast<std::chrono::nanoseconds>(written.time_since_epoch()).count();
    id.changeCounter = sqliteChangeCounter(id.path);
    return id;
}

std::string cacheFolder() {
    const char* xdg = std::getenv("XDG_CACHE_HOME");
    if (xdg && *xdg == '/') return std::string(xdg) + "/vyne-browser";
    const char* home = std::getenv("HOME");
    return std::string(home && *home ? home : "/tmp") + "/.cache/vyne-browser";
}

std::string indexFileFor(const std::string& libraryFile, const std::string& contentTable) {
    char name[40];
    std::snprintf(name, sizeof name, "%016llx.vcix",
                  static_cast<unsigned long long>(fnv1a(absolutePath(libraryFile) + '\n' + contentTable)));
    return cacheFolder() + "/" + name;
}

}  // namespace cindex
