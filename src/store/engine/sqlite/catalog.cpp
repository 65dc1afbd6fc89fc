#include "store/engine/sqlite/catalog.h"

#include <set>

#include "store/engine/names.h"
#include "store/engine/sqlite/field_rules.h"
#include "store/engine/sqlite/session.h"

namespace engine::sqlite {
namespace {

const char* const kMetadataTables[] = {"vyne_database", "vyne_tables", "vyne_fields", "vyne_indexes",
                                       "vyne_properties"};

std::vector<KeyPart> parseIndexFields(const TableDef& def, const IndexDef& index) {
    std::vector<KeyPart> keys;
    size_t start = 0;
    const std::string& list = index.fields;
    while (start <= list.size()) {
        size_t end = list.find(';', start);
        if (end == std::string::npos) end = list.size();
        std::string part = list.substr(start, end - start);
        while (!part.empty() && part.front() == ' ') part.erase(part.begin());
        while (!part.empty() && part.back() == ' ') part.pop_back();
        bool descending = false;
        if (!part.empty() && (part.front() == '+' || part.front() == '-')) {
            descending = part.front() == '-';
            part.erase(part.begin());
        }
        if (part.size() >= 2 && part.front() == '[' && part.back() == ']') part = part.substr(1, part.size() - 2);
        int column = -1;
        for (size_t i = 0; i < def.fields.size(); ++i)
            if (namesEqual(def.fields[i].name, part)) column = static_cast<int>(i);
        if (column < 0)
            throw Error(ErrorCode::NotFound, "Index '" + index.name + "' names a field that is not in table '" +
                                                 def.name + "': '" + part + "'");
        keys.push_back({column, descending});
        start = end + 1;
    }
    return keys;
}

void expectMetadata(Session& s) {
    Statement::Use q(s.statement("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name IN "
                                 "('vyne_database', 'vyne_tables', 'vyne_fields', 'vyne_indexes', 'vyne_properties')"));
    if (!q.step() || q.int64(0) != 5)
        throw Error(ErrorCode::CannotOpen, "Not a library database (no engine metadata): " + s.path);
}

}  // namespace

void Catalog::createSchema(Session& s, const std::string& locale, int version) {
    s.exec(
        "CREATE TABLE vyne_database (name TEXT PRIMARY KEY, value);"
        "CREATE TABLE vyne_tables (name TEXT NOT NULL COLLATE NOCASE UNIQUE, position INTEGER PRIMARY KEY);"
        "CREATE TABLE vyne_fields (table_name TEXT NOT NULL COLLATE NOCASE, position INTEGER NOT NULL, "
        "name TEXT NOT NULL, type INTEGER NOT NULL, size INTEGER NOT NULL, default_value TEXT, "
        "allow_zero_length INTEGER NOT NULL, attributes INTEGER NOT NULL, PRIMARY KEY (table_name, position));"
        "CREATE TABLE vyne_indexes (table_name TEXT NOT NULL COLLATE NOCASE, position INTEGER NOT NULL, "
        "name TEXT NOT NULL, fields TEXT NOT NULL, is_primary INTEGER NOT NULL, is_unique INTEGER NOT NULL, "
        "sqlite_name TEXT NOT NULL UNIQUE, PRIMARY KEY (table_name, position));"
        "CREATE TABLE vyne_properties (table_name TEXT NOT NULL COLLATE NOCASE, position INTEGER NOT NULL, "
        "name TEXT NOT NULL, type INTEGER NOT NULL, value, PRIMARY KEY (table_name, position));");
    const std::pair<const char*, Value> facts[] = {
        {"format", Value("VYNE library")}, {"format_version", Value(1)}, {"locale", Value(locale)},
        {"dao_version", Value(version)}};
    for (const auto& [name, value] : facts)
        Statement::Use(s.statement("INSERT INTO vyne_database (name, value) VALUES (?, ?)"))
            .bind(1, Value(name))
            .bind(2, value)
            .run();
}

void Catalog::load(Session& s) {
    expectMetadata(s);
    try {
        readMetadata(s);
    } catch (const Error& e) {
        if (e.code() == ErrorCode::Corrupt) throw;
        throw Error(ErrorCode::Corrupt, std::string("Damaged engine metadata: ") + e.what());
    }
}

void Catalog::readMetadata(Session& s) {
    std::vector<TableInfo> tables;
    {
        Statement::Use q(s.statement("SELECT name FROM vyne_tables ORDER BY position"));
        while (q.step()) tables.push_back({TableDef{q.text(0), {}, {}}, {}, {}});
    }
    auto tableOf = [&](const std::string& name) -> TableInfo* {
        for (TableInfo& t : tables)
            if (namesEqual(t.def.name, name)) return &t;
        return nullptr;
    };
    {
        Statement::Use q(s.statement("SELECT table_name, name, type, size, default_value, allow_zero_length, attributes "
                                     "FROM vyne_fields ORDER BY table_name, position"));
        while (q.step()) {
            TableInfo* t = tableOf(q.text(0));
            if (!t) continue;
            FieldDef f;
            f.name = q.text(1);
            f.type = static_cast<DaoType>(q.int64(2));
            f.size = static_cast<int>(q.int64(3));
            if (!q.isNull(4)) f.defaultValue = q.text(4);
            f.allowZeroLength = q.int64(5) != 0;
            f.attributes = static_cast<long>(q.int64(6));
            t->def.fields.push_back(std::move(f));
        }
    }
    {
        Statement::Use q(s.statement("SELECT table_name, name, fields, is_primary, is_unique, sqlite_name "
                                     "FROM vyne_indexes ORDER BY table_name, position"));
        while (q.step()) {
            TableInfo* t = tableOf(q.text(0));
            if (!t) continue;
            IndexDef index{q.text(1), q.text(2), q.int64(3) != 0, q.int64(4) != 0};
            t->indexKeys.push_back(parseIndexFields(t->def, index));
            t->def.indexes.push_back(std::move(index));
            t->sqliteIndexNames.push_back(q.text(5));
        }
    }
    tables_ = std::move(tables);
}

const TableInfo* Catalog::find(const std::string& name) const {
    for (const TableInfo& t : tables_)
        if (namesEqual(t.def.name, name)) return &t;
    return nullptr;
}

const TableInfo& Catalog::get(const std::string& name) const {
    if (const TableInfo* t = find(name)) return *t;
    throw Error(ErrorCode::NotFound, "Item not found in this collection: table '" + name + "'");
}

std::vector<std::string> Catalog::tableNames() const {
    std::vector<std::string> names;
    for (const TableInfo& t : tables_) names.push_back(t.def.name);
    return names;
}

void Catalog::addTable(Session& s, const TableDef& requested) {
    if (requested.name.empty()) throw Error(ErrorCode::Generic, "A table needs a name");
    if (find(requested.name)) throw Error(ErrorCode::Generic, "Table '" + requested.name + "' already exists");
    for (const char* reserved : kMetadataTables)
        if (namesEqual(requested.name, reserved) || nameKey(requested.name).rfind("sqlite_", 0) == 0)
            throw Error(ErrorCode::Generic, "The table name '" + requested.name + "' is reserved");
    if (requested.fields.empty())
        throw Error(ErrorCode::Generic, "No field defined--cannot append table '" + requested.name + "'");

    TableInfo info;
    info.def = requested;
    std::set<std::string> fieldKeys;
    for (FieldDef& f : info.def.fields) {
        if (f.name.empty() || !fieldKeys.insert(nameKey(f.name)).second)
            throw Error(ErrorCode::Generic, "Field name '" + f.name + "' is empty or used twice");
        f.size = daoSize(f.type, f.size);
    }
    std::set<std::string> indexKeys;
    int primaries = 0;
    for (IndexDef& index : info.def.indexes) {
        if (index.name.empty() || !indexKeys.insert(nameKey(index.name)).second)
            throw Error(ErrorCode::Generic, "Index name '" + index.name + "' is empty or used twice");
        if (index.primary) {
            index.unique = true;
            ++primaries;
        }
        info.indexKeys.push_back(parseIndexFields(info.def, index));
    }
    if (primaries > 1) throw Error(ErrorCode::Generic, "Table '" + requested.name + "' has more than one primary index");

    std::string ddl = "CREATE TABLE " + quoteName(info.def.name) + " (";
    for (size_t i = 0; i < info.def.fields.size(); ++i)
        ddl += (i ? ", " : "") + quoteName(info.def.fields[i].name) + " " + sqliteColumnType(info.def.fields[i].type);
    s.exec(ddl + ")");

    for (size_t i = 0; i < info.def.indexes.size(); ++i) {
        const IndexDef& index = info.def.indexes[i];
        // Index names are per table in DAO but database-wide in SQLite.
        std::string sqliteName = info.def.name + "__" + index.name;
        for (int n = 2;; ++n) {
            Statement::Use q(s.statement("SELECT count(*) FROM sqlite_master WHERE name = ? COLLATE NOCASE"));
            q.bind(1, Value(sqliteName));
            if (q.step() && q.int64(0) == 0) break;
            sqliteName = info.def.name + "__" + index.name + "__" + std::to_string(n);
        }
        std::string sql = std::string("CREATE ") + (index.unique ? "UNIQUE " : "") + "INDEX " + quoteName(sqliteName) +
                          " ON " + quoteName(info.def.name) + " (";
        for (size_t k = 0; k < info.indexKeys[i].size(); ++k) {
            const KeyPart& key = info.indexKeys[i][k];
            sql += (k ? ", " : "") + quoteName(info.def.fields[key.column].name) + (key.descending ? " DESC" : "");
        }
        s.exec(sql + ")");
        info.sqliteIndexNames.push_back(sqliteName);
    }

    Statement::Use(s.statement("INSERT INTO vyne_tables (name) VALUES (?)")).bind(1, Value(info.def.name)).run();
    for (size_t i = 0; i < info.def.fields.size(); ++i) {
        const FieldDef& f = info.def.fields[i];
        Statement::Use(s.statement("INSERT INTO vyne_fields (table_name, position, name, type, size, default_value, "
                                   "allow_zero_length, attributes) VALUES (?, ?, ?, ?, ?, ?, ?, ?)"))
            .bind(1, Value(info.def.name))
            .bind(2, Value(static_cast<int32_t>(i)))
            .bind(3, Value(f.name))
            .bind(4, Value(static_cast<int32_t>(f.type)))
            .bind(5, Value(static_cast<int32_t>(f.size)))
            .bind(6, f.defaultValue ? Value(*f.defaultValue) : Value())
            .bind(7, Value(static_cast<int32_t>(f.allowZeroLength)))
            .bind(8, Value(static_cast<int32_t>(f.attributes)))
            .run();
    }
    for (size_t i = 0; i < info.def.indexes.size(); ++i) {
        const IndexDef& index = info.def.indexes[i];
        Statement::Use(s.statement("INSERT INTO vyne_indexes (table_name, position, name, fields, is_primary, "
                                   "is_unique, sqlite_name) VALUES (?, ?, ?, ?, ?, ?, ?)"))
            .bind(1, Value(info.def.name))
            .bind(2, Value(static_cast<int32_t>(i)))
            .bind(3, Value(index.name))
            .bind(4, Value(index.fields))
            .bind(5, Value(static_cast<int32_t>(index.primary)))
            .bind(6, Value(static_cast<int32_t>(index.unique)))
            .bind(7, Value(info.sqliteIndexNames[i]))
            .run();
    }
    tables_.push_back(std::move(info));
}

void Catalog::dropTable(Session& s, const std::string& name) {
    const std::string stored = get(name).def.name;
    s.exec("DROP TABLE " + quoteName(stored));
    for (const char* table : {"vyne_tables", "vyne_fields", "vyne_indexes", "vyne_properties"}) {
        const std::string column = std::string(table) == "vyne_tables" ? "name" : "table_name";
        Statement::Use(s.statement(std::string("DELETE FROM ") + table + " WHERE " + column + " = ?"))
            .bind(1, Value(stored))
            .run();
    }
    for (auto it = tables_.begin(); it != tables_.end(); ++it)
        if (it->def.name == stored) {
            tables_.erase(it);
            break;
        }
}

std::vector<Property> Catalog::properties(Session& s, const std::string& table) const {
    const std::string stored = get(table).def.name;
    std::vector<Property> out;
    Statement::Use q(s.statement("SELECT name, type, value FROM vyne_properties WHERE table_name = ? ORDER BY position"));
    q.bind(1, Value(stored));
    while (q.step()) {
        const auto type = static_cast<DaoType>(q.int64(1));
        out.push_back({q.text(0), type, q.value(2, type)});
    }
    return out;
}

void Catalog::addProperty(Session& s, const std::string& table, const Property& p) {
    const std::string stored = get(table).def.name;
    for (const Property& existing : properties(s, stored))
        if (namesEqual(existing.name, p.name))
            throw Error(ErrorCode::Generic, "Cannot append: the property '" + p.name + "' already exists");
    Statement::Use(s.statement("INSERT INTO vyne_properties (table_name, position, name, type, value) VALUES "
                               "(?1, (SELECT count(*) FROM vyne_properties WHERE table_name = ?1), ?2, ?3, ?4)"))
        .bind(1, Value(stored))
        .bind(2, Value(p.name))
        .bind(3, Value(static_cast<int32_t>(p.type)))
        .bind(4, p.value)
        .run();
}

}  // namespace engine::sqlite
