#include "store/engine/sqlite/sqlite_database.h"

#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "store/engine/names.h"
#include "store/engine/sqlite/field_rules.h"
#include "store/engine/sqlite/query_recordset.h"
#include "store/engine/sqlite/session.h"
#include "store/engine/sqlite/table_recordset.h"

namespace engine {
namespace sqlite {
namespace {

namespace fs = std::filesystem;

// Looks at the file before SQLite does: SQLite would take an empty file for a new database
// and write to it. Only a file with a sound header and at least one whole page goes on.
void checkHeader(const std::string& path) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) throw Error(ErrorCode::CannotOpen, "Could not find file '" + path + "'.");
    std::ifstream in(path, std::ios::binary);
    unsigned char head[100] = {};
    in.read(reinterpret_cast<char*>(head), sizeof head);
    if (in.gcount() < static_cast<std::streamsize>(sizeof head) || std::memcmp(head, "SQLite format 3\0", 16) != 0)
        throw Error(ErrorCode::CannotOpen, "Not a database file: '" + path + "'.");
    const unsigned raw = head[16] << 8 | head[17];
    const unsigned pageSize = raw == 1 ? 65536 : raw;
    const auto size = fs::file_size(path, ec);
    if (ec || pageSize < 512 || (pageSize & (pageSize - 1)) != 0 || size < pageSize)
        throw Error(ErrorCode::Corrupt, "Unrecognized database format or damaged file: '" + path + "'.");
}

// A file nobody may write (no write permission bit, or one the caller lacks) opens
// read-only even for a user the system would let write.
bool mayWrite(const std::string& path) {
    std::error_code ec;
    const fs::perms p = fs::status(path, ec).permissions();
    if (ec) return false;
    const fs::perms anyWrite = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    return (p & anyWrite) != fs::perms::none && ::access(path.c_str(), W_OK) == 0;
}

std::shared_ptr<Session> connect(const std::string& path, bool writable, bool create) {
    auto s = std::make_shared<Session>();
    s->path = path;
    int flags = (writable ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY) | SQLITE_OPEN_EXRESCODE | SQLITE_OPEN_NOMUTEX;
    if (create) flags |= SQLITE_OPEN_CREATE;
    const int rc = sqlite3_open_v2(path.c_str(), &s->db, flags, nullptr);
    if (rc != SQLITE_OK) {
        const std::string why = s->db ? sqlite3_errmsg(s->db) : sqlite3_errstr(rc);
        s->close();
        throw Error(ErrorCode::CannotOpen, "Cannot open '" + path + "': " + why);
    }
    s->readOnly = !writable || sqlite3_db_readonly(s->db, "main") == 1;
    sqlite3_busy_timeout(s->db, 3000);
    sqlite3_db_config(s->db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    sqlite3_db_config(s->db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
    s->exec("PRAGMA synchronous = FULL");
    registerJetLike(s->db);
    return s;
}

class SqliteDatabase final : public Database {
public:
    explicit SqliteDatabase(std::shared_ptr<Session> s) : s_(std::move(s)) {}
    ~SqliteDatabase() override { s_->close(); }

    Format format() const override { return Format::Sqlite; }
    bool readOnly() const override { return s_->readOnly; }
    std::string fileName() const override { return s_->path; }

    std::vector<std::string> tableNames() const override {
        s_->requireOpen();
        return s_->catalog.tableNames();
    }

    TableDef tableDef(const std::string& name) const override {
        s_->requireOpen();
        return s_->catalog.get(name).def;
    }

    void createTable(const TableDef& def) override {
        s_->requireWritable();
        s_->atomically([&] { s_->catalog.addTable(*s_, def); });
    }

    void deleteTable(const std::string& name) override {
        s_->requireWritable();
        s_->catalog.get(name);
        s_->atomically([&] { s_->catalog.dropTable(*s_, name); });
    }

    void createProperty(const std::string& table, const std::string& name, DaoType type, const Value& value) override {
        s_->requireWritable();
        if (name.empty()) throw Error(ErrorCode::Generic, "A property needs a name");
        FieldDef asField;
        asField.type = type;
        const Property p{name, type, toFieldType(asField, value, false)};
        s_->atomically([&] { s_->catalog.addProperty(*s_, table, p); });
    }

    Value property(const std::string& table, const std::string& name) const override {
        s_->requireOpen();
        for (const Property& p : s_->catalog.properties(*s_, table))
            if (namesEqual(p.name, name)) return p.value;
        throw Error(ErrorCode::PropertyNotFound, "Property not found: '" + name + "' of table '" + table + "'");
    }

    std::vector<std::string> propertyNames(const std::string& table) const override {
        s_->requireOpen();
        std::vector<std::string> names;
        for (const Property& p : s_->catalog.properties(*s_, table)) names.push_back(p.name);
        return names;
    }

    std::unique_ptr<Recordset> openTable(const std::string& name) override {
        s_->requireOpen();
        return openTableRecordset(s_, s_->catalog.get(name));
    }

    std::unique_ptr<Recordset> openQuery(const std::string& sql) override { return openQueryRecordset(s_, sql); }

    void beginTrans() override {
        s_->exec(s_->transactionDepth == 0 ? "BEGIN" : "SAVEPOINT " + savepoint(s_->transactionDepth));
        ++s_->transactionDepth;
    }

    void commitTrans() override {
        requireTransaction();
        const int depth = s_->transactionDepth - 1;
        s_->exec(depth == 0 ? "COMMIT" : "RELEASE " + savepoint(depth));
        s_->transactionDepth = depth;
    }

    void rollback() override {
        requireTransaction();
        const int depth = s_->transactionDepth - 1;
        s_->exec(depth == 0 ? "ROLLBACK" : "ROLLBACK TO " + savepoint(depth) + "; RELEASE " + savepoint(depth));
        s_->transactionDepth = depth;
        s_->changed();
        s_->catalog.load(*s_);  // tables made or dropped inside the transaction are undone too
    }

    void close() override { s_->close(); }

private:
    static std::string savepoint(int depth) { return "vyne_trans_" + std::to_string(depth); }

    void requireTransaction() const {
        s_->requireOpen();
        if (s_->transactionDepth == 0)
            throw Error(ErrorCode::Generic, "You tried to commit or rollback a transaction without first beginning a transaction");
    }

    std::shared_ptr<Session> s_;
};

}  // namespace
}  // namespace sqlite

std::unique_ptr<Database> openSqliteDatabase(const std::string& path, OpenOptions options) {
    sqlite::checkHeader(path);
    auto s = sqlite::connect(path, !options.readOnly && sqlite::mayWrite(path), false);
    if (options.exclusive) s->exec("PRAGMA locking_mode = EXCLUSIVE");
    s->catalog.load(*s);
    return std::make_unique<sqlite::SqliteDatabase>(std::move(s));
}

std::unique_ptr<Database> createSqliteDatabase(const std::string& path, const std::string& locale, int version) {
    std::error_code ec;
    if (std::filesystem::symlink_status(path, ec).type() != std::filesystem::file_type::not_found)
        throw Error(ErrorCode::Generic, "Database already exists: '" + path + "'");
    try {
        auto s = sqlite::connect(path, true, true);
        if (s->readOnly) throw Error(ErrorCode::ReadOnly, "Cannot create a database in a read-only place: " + path);
        s->exec("PRAGMA journal_mode = DELETE");
        s->atomically([&] { sqlite::Catalog::createSchema(*s, locale, version); });
        s->catalog.load(*s);
        return std::make_unique<sqlite::SqliteDatabase>(std::move(s));
    } catch (...) {
        std::filesystem::remove(path, ec);
        throw;
    }
}

}  // namespace engine
