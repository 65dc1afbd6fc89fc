// Choosing the backend by a file's first bytes.
#include <cstring>
#include <filesystem>
#include <fstream>

#include "store/engine/database.h"
#include "store/engine/jet/jet_database.h"
#include "store/engine/sqlite/sqlite_database.h"

namespace engine {

Format detectFormat(const std::string& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return Format::None;
    std::ifstream in(path, std::ios::binary);
    char head[20] = {};
    in.read(head, sizeof head);
    const auto got = static_cast<size_t>(in.gcount());
    if (got >= 16 && std::memcmp(head, "SQLite format 3\0", 16) == 0) return Format::Sqlite;
    if (got >= 19 && std::memcmp(head + 4, "Standard Jet DB", 15) == 0) return Format::Jet;
    return Format::None;
}

std::unique_ptr<Database> openDatabase(const std::string& path, OpenOptions options) {
    switch (detectFormat(path)) {
    case Format::Sqlite: return openSqliteDatabase(path, options);
    case Format::Jet: return openJetDatabase(path, options);
    case Format::None: break;
    }
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) throw Error(ErrorCode::CannotOpen, "Could not find file '" + path + "'.");
    throw Error(ErrorCode::CannotOpen, "Not a database file: '" + path + "'.");
}

std::unique_ptr<Database> createDatabase(const std::string& path, const std::string& locale, int version) {
    return createSqliteDatabase(path, locale, version);
}

}  // namespace engine
