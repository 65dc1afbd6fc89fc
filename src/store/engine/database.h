// The database engine: a DAO-shaped interface over two backends.
//
// Native libraries are SQLite files (read-write); existing libraries made on Windows are
// Jet 4 files (read-only). Callers never choose: openDatabase() looks at the file's first
// bytes. Every failing call throws engine::Error; the caller traps it, and no engine state
// is relied on after a failure (the store's rule: failures never escape an operation).
#pragma once

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "store/engine/value.h"

namespace engine {

// Error numbers follow DAO's where callers may care.
enum class ErrorCode : int {
    Generic = 3000,
    CannotOpen = 3024,        // file not found / not a database
    NotFound = 3265,          // item not found in this collection (table, field, index)
    PropertyNotFound = 3270,
    NoCurrentRecord = 3021,
    ReadOnly = 3027,          // database or object is read-only
    DuplicateKey = 3022,
    QuerySyntax = 3075,       // includes a quote inside a LIKE pattern
    UpdateWithoutEdit = 3020,
    Corrupt = 3343,           // unrecognised database format / damaged file
    FieldTooSmall = 3163,     // text longer than the field's Size
};

class Error : public std::runtime_error {
public:
    Error(ErrorCode code, const std::string& what) : std::runtime_error(what), code_(code) {}
    ErrorCode code() const { return code_; }

private:
    ErrorCode code_;
};

struct FieldDef {
    std::string name;
    DaoType type = DaoType::Long;
    int size = 0;                              // Text: characters; fixed types: bytes; 0 for memo/binary
    std::optional<std::string> defaultValue;   // DAO's DefaultValue expression text, e.g. "0", "\"\"", "Now()"
    bool allowZeroLength = false;
    long attributes = 0;                       // DAO field attributes; 16 = auto-increment
};

struct IndexDef {
    std::string name;
    std::string fields;  // DAO form: "+id", "+pid;+id"
    bool primary = false;
    bool unique = false;
};

struct TableDef {
    std::string name;
    std::vector<FieldDef> fields;    // in creation order
    std::vector<IndexDef> indexes;

    const FieldDef* field(const std::string& name) const;  // names compare case-insensitively
};

// A position in a recordset, valid for the recordset that made it.
using Bookmark = std::vector<uint8_t>;

enum class EditMode { None = 0, InProgress = 1, Add = 2 };

// A recordset: a table-type one (Index/Seek, editable on writable databases) or the result of
// a SELECT (forward-readable: moves and field reads only).
class Recordset {
public:
    virtual ~Recordset() = default;

    // Index by name ("primaryKey", "pid"); setting it moves to the first row in that order.
    virtual void setIndex(const std::string& name) = 0;
    virtual std::string index() const = 0;
    // op is "=" or ">=". On a multi-field index the key names the first field only: "="
    // positions on the first row with that value in index order.
    virtual void seek(const std::string& op, const Value& key) = 0;
    virtual bool noMatch() const = 0;

    virtual bool eof() const = 0;
    virtual bool bof() const = 0;
    virtual void moveFirst() = 0;
    virtual void moveLast() = 0;
    virtual void moveNext() = 0;
    virtual void movePrevious() = 0;
    virtual Bookmark bookmark() const = 0;
    virtual void setBookmark(const Bookmark& b) = 0;
    virtual long recordCount() = 0;

    virtual void addNew() = 0;
    virtual void edit() = 0;
    virtual void update() = 0;
    virtual void cancelUpdate() = 0;
    virtual void deleteRecord() = 0;  // DAO's Delete
    virtual EditMode editMode() const = 0;
    virtual void requery() = 0;
    virtual void close() = 0;

    // Field values by name (case-insensitive). Reading needs a current row; writing needs
    // edit() or addNew() first.
    virtual Value field(const std::string& name) const = 0;
    virtual void setField(const std::string& name, const Value& value) = 0;
    virtual std::vector<std::string> fieldNames() const = 0;
    // A field's place in fieldNames() (throws NotFound like field()), and a read by that place:
    // a loop over many rows looks each name up once.
    virtual size_t fieldIndex(const std::string& name) const = 0;
    virtual Value fieldAt(size_t index) const = 0;

    // Long-binary (and memo) fields.
    virtual Bytes getChunk(const std::string& name, long offset, long length) const = 0;
    virtual void appendChunk(const std::string& name, const Bytes& bytes) = 0;
    virtual long fieldSize(const std::string& name) const = 0;
};

enum class Format { None, Sqlite, Jet };

struct OpenOptions {
    bool readOnly = false;   // a writable open of a read-only file falls back to read-only
    bool exclusive = false;
};

class Database {
public:
    virtual ~Database() = default;

    virtual Format format() const = 0;
    virtual bool readOnly() const = 0;
    virtual std::string fileName() const = 0;

    virtual std::vector<std::string> tableNames() const = 0;
    virtual TableDef tableDef(const std::string& name) const = 0;   // throws NotFound
    virtual void createTable(const TableDef& def) = 0;               // fields, indexes, append
    virtual void deleteTable(const std::string& name) = 0;

    // User-defined table properties (Long, Date, Text). property() throws PropertyNotFound.
    virtual void createProperty(const std::string& table, const std::string& name, DaoType type,
                                const Value& value) = 0;
    virtual Value property(const std::string& table, const std::string& name) const = 0;
    virtual std::vector<std::string> propertyNames(const std::string& table) const = 0;

    virtual std::unique_ptr<Recordset> openTable(const std::string& name) = 0;
    virtual std::unique_ptr<Recordset> openQuery(const std::string& sql) = 0;

    // Long operations run in one transaction; every change is durable when commit returns.
    virtual void beginTrans() = 0;
    virtual void commitTrans() = 0;
    virtual void rollback() = 0;

    virtual void close() = 0;
};

// What kind of database a file is, by its first bytes; Format::None for anything else
// (missing, a directory, empty, text).
Format detectFormat(const std::string& path);

// Opens by content. Throws CannotOpen for a file that is not a database of either kind.
std::unique_ptr<Database> openDatabase(const std::string& path, OpenOptions options = {});

// Creates a new native database. `locale` is DAO's locale string (";LANGID=0x0804;CP=936;COUNTRY=0"),
// `version` DAO's option (64 = dbVersion40); both are recorded. Fails when the file exists.
std::unique_ptr<Database> createDatabase(const std::string& path, const std::string& locale,
                                         int version);

}  // namespace engine
