// The DAO facts SQLite does not keep, in metadata tables of the file itself: the database's
// locale and version, each table's fields (DAO type, Size, default, zero-length flag,
// attributes) in creation order, its indexes under their per-table names with the SQLite
// index that carries each, and its user-defined properties.
#pragma once

#include <string>
#include <vector>

#include "store/engine/database.h"

namespace engine::sqlite {

struct Session;

struct KeyPart {
    int column = 0;  // position in TableDef::fields
    bool descending = false;
};

struct TableInfo {
    TableDef def;
    std::vector<std::string> sqliteIndexNames;  // parallel to def.indexes
    std::vector<std::vector<KeyPart>> indexKeys;
};

struct Property {
    std::string name;
    DaoType type = DaoType::Text;
    Value value;
};

class Catalog {
public:
    // Writes the metadata tables of a new database.
    static void createSchema(Session& s, const std::string& locale, int version);

    // Reads the metadata of an open file; throws CannotOpen when the file carries none
    // (an SQLite file that is not one of ours) and Corrupt when it cannot be read.
    void load(Session& s);

    const TableInfo* find(const std::string& name) const;  // nullptr when missing
    const TableInfo& get(const std::string& name) const;   // throws NotFound
    std::vector<std::string> tableNames() const;

    void addTable(Session& s, const TableDef& def);
    void dropTable(Session& s, const std::string& name);

    std::vector<Property> properties(Session& s, const std::string& table) const;
    void addProperty(Session& s, const std::string& table, const Property& p);

private:
    void readMetadata(Session& s);

    std::vector<TableInfo> tables_;  // in creation order
};

}  // namespace engine::sqlite
