#include "store/engine/sqlite/session.h"

namespace engine::sqlite {

void throwSqlite(sqlite3* db, int rc, const std::string& context) {
    const int primary = rc & 0xFF;
    std::string message = context + ": " + (db ? sqlite3_errmsg(db) : sqlite3_errstr(rc));
    switch (primary) {
    case SQLITE_READONLY:
    case SQLITE_PERM: throw Error(ErrorCode::ReadOnly, "Database or object is read-only (" + message + ")");
    case SQLITE_CONSTRAINT:
        throw Error(ErrorCode::DuplicateKey,
                    "The changes were not successful because they would create duplicate values in the index (" +
                        message + ")");
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB: throw Error(ErrorCode::Corrupt, "Unrecognized database format or damaged file (" + message + ")");
    case SQLITE_CANTOPEN:  // the journal cannot be made next to the file
        throw Error(ErrorCode::ReadOnly, "Database or object is read-only (" + message + ")");
    default: throw Error(ErrorCode::Generic, message);
    }
}

Statement::Statement(sqlite3* db, const std::string& sql) : db_(db), sql_(sql) {
    const int rc = sqlite3_prepare_v3(db, sql.c_str(), static_cast<int>(sql.size()), SQLITE_PREPARE_PERSISTENT, &stmt_,
                                      nullptr);
    if (rc != SQLITE_OK) throwSqlite(db, rc, "prepare");
}

Statement::~Statement() { sqlite3_finalize(stmt_); }

Statement::Use& Statement::Use::bind(int index, const Value& v) {
    int rc = SQLITE_OK;
    sqlite3_stmt* st = s_.stmt_;
    if (v.isNull()) rc = sqlite3_bind_null(st, index);
    else if (v.isBool()) rc = sqlite3_bind_int(st, index, v.toBool() ? -1 : 0);
    else if (v.isLong()) rc = sqlite3_bind_int(st, index, v.toLong());
    else if (v.isDouble() || v.isDate()) rc = sqlite3_bind_double(st, index, v.toDouble());
    else if (v.isText()) {
        const std::string t = v.toText();
        rc = sqlite3_bind_text64(st, index, t.data(), t.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
    } else {
        const Bytes b = v.toBytes();
        rc = sqlite3_bind_blob64(st, index, b.empty() ? "" : static_cast<const void*>(b.data()), b.size(),
                                 SQLITE_TRANSIENT);
    }
    if (rc != SQLITE_OK) throwSqlite(s_.db_, rc, "bind");
    return *this;
}

Statement::Use& Statement::Use::bindInt64(int index, int64_t v) {
    const int rc = sqlite3_bind_int64(s_.stmt_, index, v);
    if (rc != SQLITE_OK) throwSqlite(s_.db_, rc, "bind");
    return *this;
}

bool Statement::Use::step() {
    const int rc = sqlite3_step(s_.stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    throwSqlite(s_.db_, rc, "step");
}

void Statement::Use::run() {
    while (step()) {
    }
}

std::string Statement::Use::text(int column) const {
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(s_.stmt_, column));
    return p ? std::string(p, static_cast<size_t>(sqlite3_column_bytes(s_.stmt_, column))) : std::string();
}

Value Statement::Use::value(int column, DaoType type) const {
    sqlite3_stmt* st = s_.stmt_;
    const int stored = sqlite3_column_type(st, column);
    if (stored == SQLITE_NULL) return {};
    switch (type) {
    case DaoType::Boolean: return Value(sqlite3_column_int64(st, column) != 0);
    case DaoType::Byte:
    case DaoType::Integer:
    case DaoType::Long:
        if (stored == SQLITE_INTEGER) return Value(static_cast<int32_t>(sqlite3_column_int64(st, column)));
        return Value(Value(sqlite3_column_double(st, column)).toLong());
    case DaoType::Currency:
    case DaoType::Single:
    case DaoType::Double: return Value(sqlite3_column_double(st, column));
    case DaoType::Date: return Value(Date{sqlite3_column_double(st, column)});
    case DaoType::Text:
    case DaoType::Memo: return Value(text(column));
    case DaoType::Binary:
    case DaoType::LongBinary: {
        const auto* p = static_cast<const uint8_t*>(sqlite3_column_blob(st, column));
        const int n = sqlite3_column_bytes(st, column);
        return Value(p ? Bytes(p, p + n) : Bytes());
    }
    }
    return {};
}

Session::~Session() { close(); }

Statement& Session::statement(const std::string& sql) {
    requireOpen();
    auto it = statements_.find(sql);
    if (it == statements_.end()) it = statements_.emplace(sql, std::make_unique<Statement>(db, sql)).first;
    return *it->second;
}

void Session::exec(const std::string& sql) {
    requireOpen();
    char* err = nullptr;
    const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err);
    sqlite3_free(err);
    if (rc != SQLITE_OK) throwSqlite(db, rc, "exec");
}

void Session::requireOpen() const {
    if (!db) throw Error(ErrorCode::Generic, "Object invalid or no longer set: the database is closed");
}

void Session::requireWritable() const {
    requireOpen();
    if (readOnly) throw Error(ErrorCode::ReadOnly, "Database or object is read-only: " + path);
}

void Session::atomically(const std::function<void()>& work) {
    exec("SAVEPOINT vyne_step");
    try {
        work();
    } catch (...) {
        try {
            exec("ROLLBACK TO vyne_step");
            exec("RELEASE vyne_step");
            catalog.load(*this);
        } catch (...) {
        }
        changed();
        throw;
    }
    exec("RELEASE vyne_step");
    changed();
}

void Session::close() {
    statements_.clear();
    if (db) sqlite3_close_v2(db);
    db = nullptr;
}

std::string quoteName(const std::string& name) {
    std::string out = "\"";
    for (char c : name) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

}  // namespace engine::sqlite
