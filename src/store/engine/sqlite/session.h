// One open SQLite connection shared by a database and its recordsets: prepared statements,
// error mapping, the change counter recordsets use to notice stale rows, transactions.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "store/engine/database.h"
#include "store/engine/sqlite/catalog.h"

namespace engine::sqlite {

[[noreturn]] void throwSqlite(sqlite3* db, int rc, const std::string& context);

// A prepared statement. Callers bind, step and read through a Use, which resets the
// statement when it ends so that no read stays open between calls (an open read would
// hold back the commit of later autocommit writes).
class Statement {
public:
    Statement(sqlite3* db, const std::string& sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    class Use {
    public:
        explicit Use(Statement& s) : s_(s) {}
        ~Use() {
            sqlite3_reset(s_.stmt_);
            sqlite3_clear_bindings(s_.stmt_);
        }
        Use(const Use&) = delete;
        Use& operator=(const Use&) = delete;

        Use& bind(int index, const Value& stored);  // 1-based; the stored form of a value
        Use& bindInt64(int index, int64_t v);
        bool step();                                 // true while a row is there
        void run();                                  // steps to the end
        int64_t int64(int column) const { return sqlite3_column_int64(s_.stmt_, column); }
        bool isNull(int column) const { return sqlite3_column_type(s_.stmt_, column) == SQLITE_NULL; }
        std::string text(int column) const;
        Value value(int column, DaoType type) const;  // as a field of that DAO type reads

    private:
        Statement& s_;
    };

private:
    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
    std::string sql_;
};

struct Session {
    sqlite3* db = nullptr;
    std::string path;
    bool readOnly = false;
    uint64_t generation = 0;  // grows with every change made through this connection
    int transactionDepth = 0;
    Catalog catalog;

    Session() = default;
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // A cached prepared statement for this text.
    Statement& statement(const std::string& sql);
    void exec(const std::string& sql);

    void requireOpen() const;
    void requireWritable() const;
    void changed() { ++generation; }

    // Runs work as one atomic step (a savepoint); on failure undoes it and rethrows.
    void atomically(const std::function<void()>& work);

    void close();

private:
    std::map<std::string, std::unique_ptr<Statement>> statements_;
};

// A name quoted as an SQLite identifier.
std::string quoteName(const std::string& name);

}  // namespace engine::sqlite
