#include "store/engine/jet/jet_database.h"

#include <algorithm>

#include "store/engine/jet/jet_isolated_read.h"
#include "store/engine/jet/jet_recordset.h"
#include "store/engine/jet/jet_tables.h"
#include "store/engine/jet_sql.h"
#include "store/engine/names.h"

namespace engine {

namespace {

using jet::OpenTable;

class JetDatabase final : public Database {
public:
    JetDatabase(std::string path, std::vector<std::shared_ptr<const OpenTable>> tables)
        : path_(std::move(path)), tables_(std::move(tables)) {}

    Format format() const override { return Format::Jet; }
    bool readOnly() const override { return true; }
    std::string fileName() const override { return path_; }

    std::vector<std::string> tableNames() const override {
        std::vector<std::string> names;
        for (const auto& t : tables_) names.push_back(t->table.def.name);
        return names;
    }
    TableDef tableDef(const std::string& name) const override { return table(name)->table.def; }
    void createTable(const TableDef&) override { jet::readOnly(); }
    void deleteTable(const std::string&) override { jet::readOnly(); }

    void createProperty(const std::string&, const std::string&, DaoType, const Value&) override { jet::readOnly(); }
    Value property(const std::string& tableName, const std::string& name) const override {
        for (const jet::Property& p : table(tableName)->table.properties)
            if (namesEqual(p.name, name)) return p.value;
        throw Error(ErrorCode::PropertyNotFound, "Property not found: " + name);
    }
    std::vector<std::string> propertyNames(const std::string& tableName) const override {
        std::vector<std::string> names;
        for (const jet::Property& p : table(tableName)->table.properties) names.push_back(p.name);
        return names;
    }

    std::unique_ptr<Recordset> openTable(const std::string& name) override { return jet::tableRecordset(table(name)); }

    std::unique_ptr<Recordset> openQuery(const std::string& sql) override {
        jetsql::SelectQuery q = jetsql::parseSelect(sql);
        std::shared_ptr<const OpenTable> t = table(q.table);
        auto fieldOf = [&](const std::string& name) {
            int f = t->fieldNumber(name);
            if (f < 0) throw Error(ErrorCode::NotFound, "Unknown field in the query: " + name);
            return f;
        };
        std::vector<int> fields;
        if (q.columns.empty()) {
            for (size_t i = 0; i < t->table.def.fields.size(); ++i) fields.push_back(int(i));
        } else {
            for (const std::string& c : q.columns) fields.push_back(fieldOf(c));
        }
        for (const std::string& c : jetsql::referencedColumns(q)) fieldOf(c);

        std::vector<uint32_t> rows;
        const auto& data = t->table.rows;
        for (uint32_t r = 0; r < data.size(); ++r) {
            auto lookup = [&](const std::string& name) { return data[r][size_t(fieldOf(name))]; };
            if (jetsql::rowMatches(q, lookup)) rows.push_back(r);
        }
        if (!q.orderBy.empty()) {
            std::vector<std::pair<int, bool>> keys;
            for (const auto& k : q.orderBy) keys.emplace_back(fieldOf(k.column), k.descending);
            std::stable_sort(rows.begin(), rows.end(), [&](uint32_t a, uint32_t b) {
                for (auto [f, desc] : keys) {
                    int c = jetsql::compareValues(data[a][f], data[b][f]);
                    if (c != 0) return desc ? c > 0 : c < 0;
                }
                return false;
            });
        }
        return jet::queryRecordset(t, std::move(fields), std::move(rows));
    }

    // Nothing is ever changed, so a transaction has nothing to keep or undo.
    void beginTrans() override {}
    void commitTrans() override {}
    void rollback() override {}
    void close() override {}

private:
    std::shared_ptr<const OpenTable> table(const std::string& name) const {
        for (const auto& t : tables_)
            if (namesEqual(t->table.def.name, name)) return t;
        throw Error(ErrorCode::NotFound, "Item not found in this collection: table " + name);
    }

    std::string path_;
    std::vector<std::shared_ptr<const OpenTable>> tables_;
};

}  // namespace

std::unique_ptr<Database> openJetDatabase(const std::string& path, OpenOptions) {
    return std::make_unique<JetDatabase>(path, jet::openTables(jet::readIsolated(path)));
}

}  // namespace engine
