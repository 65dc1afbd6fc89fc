#include "store/engine/sqlite/query_recordset.h"

#include <memory>

#include "store/engine/jet_sql.h"
#include "store/engine/names.h"
#include "store/engine/sqlite/field_rules.h"

namespace engine::sqlite {
namespace {

void jetLikeFunction(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    try {
        const auto* t = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
        const std::string_view text(t, static_cast<size_t>(sqlite3_value_bytes(argv[0])));
        // A constant pattern is compiled once and kept with the statement.
        if (const auto* cached = static_cast<const LikePattern*>(sqlite3_get_auxdata(ctx, 1))) {
            sqlite3_result_int(ctx, cached->matches(text));
            return;
        }
        const auto* p = reinterpret_cast<const char*>(sqlite3_value_text(argv[1]));
        auto pattern = std::make_unique<LikePattern>(std::string_view(p, static_cast<size_t>(sqlite3_value_bytes(argv[1]))));
        sqlite3_result_int(ctx, pattern->matches(text));
        sqlite3_set_auxdata(ctx, 1, pattern.release(), [](void* q) { delete static_cast<LikePattern*>(q); });
    } catch (const std::exception& e) {
        sqlite3_result_error(ctx, e.what(), -1);
    }
}

// Writes the condition as SQLite SQL; every literal becomes a bound parameter.
class Translator {
public:
    Translator(const TableDef& def, std::vector<Value>& binds) : def_(def), binds_(binds) {}

    std::string column(const std::string& name) const {
        const FieldDef* f = def_.field(name);
        if (!f) throw Error(ErrorCode::NotFound, "Unknown field name in query: '" + name + "'");
        return quoteName(f->name);
    }

    // Operands are written left to right into locals: parameters are numbered in that order.
    std::string expr(const jetsql::Expr& e) {
        using K = jetsql::Expr::Kind;
        switch (e.kind) {
        case K::Column: return column(e.column);
        case K::Literal:
            if (e.literal.isNull()) return "NULL";
            binds_.push_back(e.literal);
            return "?";
        case K::IsNull: {
            const std::string operand = expr(e.operands[0]);
            return "(" + operand + (e.negated ? " IS NOT NULL)" : " IS NULL)");
        }
        case K::Not: {
            const std::string operand = expr(e.operands[0]);
            return "(NOT " + operand + ")";
        }
        default: break;
        }
        const std::string left = expr(e.operands[0]);
        const std::string right = expr(e.operands[1]);
        switch (e.kind) {
        case K::Compare: {
            static const char* const ops[] = {" = ", " <> ", " < ", " > ", " <= ", " >= "};
            return "(" + left + ops[static_cast<int>(e.op)] + right + ")";
        }
        case K::Like: {
            const std::string call = std::string(kLikeFunction) + "(" + left + ", " + right + ")";
            return e.negated ? "(NOT " + call + ")" : call;
        }
        case K::And: return "(" + left + " AND " + right + ")";
        case K::Or: return "(" + left + " OR " + right + ")";
        default: return "NULL";
        }
    }

private:
    const TableDef& def_;
    std::vector<Value>& binds_;
};

class QueryRecordset final : public Recordset {
public:
    QueryRecordset(std::vector<std::string> names, std::vector<std::vector<Value>> rows)
        : names_(std::move(names)), rows_(std::move(rows)) {}

    void setIndex(const std::string&) override { unsupported(); }
    std::string index() const override { return {}; }
    void seek(const std::string&, const Value&) override { unsupported(); }
    bool noMatch() const override { return false; }

    bool eof() const override { return rows_.empty() || pos_ >= static_cast<long>(rows_.size()); }
    bool bof() const override { return rows_.empty() || pos_ < 0; }
    void moveFirst() override { pos_ = 0; }
    void moveLast() override { pos_ = static_cast<long>(rows_.size()) - 1; }
    void moveNext() override {
        if (eof()) throw Error(ErrorCode::NoCurrentRecord, "No current record");
        ++pos_;
    }
    void movePrevious() override {
        if (bof()) throw Error(ErrorCode::NoCurrentRecord, "No current record");
        --pos_;
    }
    Bookmark bookmark() const override {
        current();
        return Bookmark(reinterpret_cast<const uint8_t*>(&pos_), reinterpret_cast<const uint8_t*>(&pos_ + 1));
    }
    void setBookmark(const Bookmark& b) override {
        long p = -1;
        if (b.size() == sizeof p) std::copy(b.begin(), b.end(), reinterpret_cast<uint8_t*>(&p));
        if (p < 0 || p >= static_cast<long>(rows_.size())) throw Error(ErrorCode::Generic, "Not a valid bookmark");
        pos_ = p;
    }
    long recordCount() override { return static_cast<long>(rows_.size()); }

    void addNew() override { readOnly(); }
    void edit() override { readOnly(); }
    void update() override { throw Error(ErrorCode::UpdateWithoutEdit, "Update or CancelUpdate without AddNew or Edit"); }
    void cancelUpdate() override {}
    void deleteRecord() override { readOnly(); }
    EditMode editMode() const override { return EditMode::None; }
    void requery() override { pos_ = 0; }
    void close() override {
        rows_.clear();
        pos_ = 0;
    }

    Value field(const std::string& name) const override { return current()[column(name)]; }
    size_t fieldIndex(const std::string& name) const override { return column(name); }
    Value fieldAt(size_t index) const override {
        if (index >= names_.size())
            throw Error(ErrorCode::NotFound, "Item not found in this collection: field #" + std::to_string(index));
        return current()[index];
    }
    void setField(const std::string&, const Value&) override { readOnly(); }
    std::vector<std::string> fieldNames() const override { return names_; }

    Bytes getChunk(const std::string& name, long offset, long length) const override {
        return chunkOf(field(name), offset, length);
    }
    void appendChunk(const std::string&, const Bytes&) override { readOnly(); }
    long fieldSize(const std::string& name) const override {
        const Value v = field(name);
        return v.isNull() ? 0 : static_cast<long>(v.toBytes().size());
    }

private:
    [[noreturn]] static void unsupported() {
        throw Error(ErrorCode::Generic, "Operation is not supported for this type of object");
    }
    [[noreturn]] static void readOnly() { throw Error(ErrorCode::ReadOnly, "Database or object is read-only: a query result"); }

    const std::vector<Value>& current() const {
        if (bof() || eof()) throw Error(ErrorCode::NoCurrentRecord, "No current record");
        return rows_[static_cast<size_t>(pos_)];
    }
    size_t column(const std::string& name) const {
        for (size_t i = 0; i < names_.size(); ++i)
            if (namesEqual(names_[i], name)) return i;
        throw Error(ErrorCode::NotFound, "Item not found in this collection: field '" + name + "'");
    }

    std::vector<std::string> names_;
    std::vector<std::vector<Value>> rows_;
    long pos_ = 0;
};

}  // namespace

void registerJetLike(sqlite3* db) {
    const int rc = sqlite3_create_function_v2(db, kLikeFunction, 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                                              jetLikeFunction, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) throwSqlite(db, rc, "register LIKE");
}

std::unique_ptr<Recordset> openQueryRecordset(std::shared_ptr<Session> s, const std::string& sql) {
    s->requireOpen();
    const jetsql::SelectQuery q = jetsql::parseSelect(sql);
    const TableInfo& table = s->catalog.get(q.table);
    const TableDef& def = table.def;

    std::vector<const FieldDef*> fields;
    if (q.columns.empty())
        for (const FieldDef& f : def.fields) fields.push_back(&f);
    for (const std::string& name : q.columns) {
        const FieldDef* f = def.field(name);
        if (!f) throw Error(ErrorCode::NotFound, "Unknown field name in query: '" + name + "'");
        fields.push_back(f);
    }

    std::vector<Value> binds;
    Translator t(def, binds);
    std::string text = "SELECT ";
    std::vector<std::string> names;
    for (size_t i = 0; i < fields.size(); ++i) {
        text += (i ? ", " : "") + quoteName(fields[i]->name);
        names.push_back(fields[i]->name);
    }
    text += " FROM " + quoteName(def.name);
    if (q.where) text += " WHERE " + t.expr(*q.where);
    for (size_t i = 0; i < q.orderBy.size(); ++i)
        text += (i ? ", " : " ORDER BY ") + t.column(q.orderBy[i].column) + (q.orderBy[i].descending ? " DESC" : "");

    Statement::Use use(s->statement(text));
    for (size_t i = 0; i < binds.size(); ++i) use.bind(static_cast<int>(i) + 1, binds[i]);
    std::vector<std::vector<Value>> rows;
    while (use.step()) {
        std::vector<Value> row;
        row.reserve(fields.size());
        for (size_t c = 0; c < fields.size(); ++c) row.push_back(use.value(static_cast<int>(c), fields[c]->type));
        rows.push_back(std::move(row));
    }
    return std::make_unique<QueryRecordset>(std::move(names), std::move(rows));
}

}  // namespace engine::sqlite
