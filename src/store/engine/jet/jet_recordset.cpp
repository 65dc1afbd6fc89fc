#include "store/engine/jet/jet_recordset.h"

#include <algorithm>
#include <cstdlib>
#include <numeric>

#include "store/engine/jet_sql.h"
#include "store/engine/names.h"

namespace engine::jet {

void readOnly() { throw Error(ErrorCode::ReadOnly, "the database is read-only (a Jet 4 file); convert it to change it"); }

namespace {

bool isNumeric(DaoType t) { return t != DaoType::Text && t != DaoType::Memo && t != DaoType::Binary && t != DaoType::LongBinary; }

// A seek key in the form of the field it is compared with.
Value keyFor(const Value& key, DaoType type) {
    if (key.isNull()) return key;
    if (isNumeric(type) && key.isText()) {
        const std::string s = key.toText();
        char* end = nullptr;
        double d = std::strtod(s.c_str(), &end);
        if (end != s.c_str() && *end == '\0') return Value(d);
        return key;
    }
    if (!isNumeric(type) && !key.isText() && !key.isBytes()) return Value(key.toText());
    return key;
}

class JetRecordset final : public Recordset {
public:
    JetRecordset(std::shared_ptr<const OpenTable> table, std::vector<int> fields, std::shared_ptr<const RowOrder> order,
                 bool tableType)
        : table_(std::move(table)), fields_(std::move(fields)), order_(std::move(order)), tableType_(tableType) {}

    void setIndex(const std::string& name) override {
        requireTableType();
        const IndexOrder* x = table_->index(name);
        if (!x) throw Error(ErrorCode::NotFound, "no index \"" + name + "\" on table " + table_->table.def.name);
        index_ = x;
        order_ = x->order;
        moveFirst();
    }
    std::string index() const override { return index_ ? index_->def.name : std::string(); }

    void seek(const std::string& op, const Value& key) override {
        requireTableType();
        if (!index_) throw Error(ErrorCode::Generic, "Seek needs a current index");
        if (op != "=" && op != ">=") throw Error(ErrorCode::Generic, "Seek supports \"=\" and \">=\", not \"" + op + "\"");
        const int col = index_->columns.front();
        const bool desc = index_->descending.front();
        const Value k = keyFor(key, table_->table.def.fields[col].type);
        const auto& rows = order_->rows;
        auto cmp = [&](uint32_t row) {
            int c = jetsql::compareValues(table_->table.rows[row][col], k);
            return desc ? -c : c;
        };
        auto at = std::partition_point(rows.begin(), rows.end(), [&](uint32_t row) { return cmp(row) < 0; });
        noMatch_ = at == rows.end() || (op == "=" && cmp(*at) != 0);
        pos_ = noMatch_ ? long(rows.size()) : long(at - rows.begin());
    }
    bool noMatch() const override { return noMatch_; }

    bool eof() const override { return count() == 0 || pos_ >= count(); }
    bool bof() const override { return count() == 0 || pos_ < 0; }
    void moveFirst() override { pos_ = 0; }
    void moveLast() override { pos_ = std::max(0L, count() - 1); }
    void moveNext() override {
        if (eof()) noCurrent();
        ++pos_;
    }
    void movePrevious() override {
        if (bof()) noCurrent();
        --pos_;
    }

    Bookmark bookmark() const override {
        uint32_t row = currentRow();
        return Bookmark{uint8_t(row), uint8_t(row >> 8), uint8_t(row >> 16), uint8_t(row >> 24)};
    }
    void setBookmark(const Bookmark& b) override {
        if (b.size() != 4) badBookmark();
        uint32_t row = uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
        if (row >= order_->position.size() || order_->position[row] < 0) badBookmark();
        pos_ = order_->position[row];
    }
    long recordCount() override { return count(); }

    void addNew() override { readOnly(); }
    void edit() override { readOnly(); }
    void update() override { readOnly(); }
    void cancelUpdate() override {}
    void deleteRecord() override { readOnly(); }
    EditMode editMode() const override { return EditMode::None; }
    void requery() override { moveFirst(); }
    void close() override {}

    Value field(const std::string& name) const override { return table_->table.rows[currentRow()][fieldNumber(name)]; }
    size_t fieldIndex(const std::string& name) const override {
        for (size_t i = 0; i < fields_.size(); ++i)
            if (namesEqual(table_->table.def.fields[fields_[i]].name, name)) return i;
        notFound(name);
    }
    Value fieldAt(size_t index) const override {
        if (index >= fields_.size()) notFound("#" + std::to_string(index));
        return table_->table.rows[currentRow()][fields_[index]];
    }
    void setField(const std::string&, const Value&) override { readOnly(); }
    std::vector<std::string> fieldNames() const override {
        std::vector<std::string> names;
        for (int f : fields_) names.push_back(table_->table.def.fields[f].name);
        return names;
    }

    Bytes getChunk(const std::string& name, long offset, long length) const override {
        Value v = field(name);
        if (v.isNull() || offset < 0 || length <= 0) return {};
        Bytes all = v.toBytes();
        if (size_t(offset) >= all.size()) return {};
        size_t end = std::min(all.size(), size_t(offset) + size_t(length));
        return Bytes(all.begin() + offset, all.begin() + long(end));
    }
    void appendChunk(const std::string&, const Bytes&) override { readOnly(); }
    long fieldSize(const std::string& name) const override {
        Value v = field(name);
        if (v.isNull()) return 0;
        if (v.isBytes()) return long(v.toBytes().size());
        return long(v.toText().size());
    }

private:
    long count() const { return long(order_->rows.size()); }
    [[noreturn]] static void noCurrent() { throw Error(ErrorCode::NoCurrentRecord, "No current record."); }
    [[noreturn]] static void badBookmark() { throw Error(ErrorCode::Generic, "Not a valid bookmark."); }
    void requireTableType() const {
        if (!tableType_) throw Error(ErrorCode::Generic, "Operation is not supported for this type of object.");
    }
    uint32_t currentRow() const {
        if (eof() || bof()) noCurrent();
        return order_->rows[size_t(pos_)];
    }
    int fieldNumber(const std::string& name) const { return fields_[fieldIndex(name)]; }

    [[noreturn]] static void notFound(const std::string& name) {
        throw Error(ErrorCode::NotFound, "Item not found in this collection: " + name);
    }

    std::shared_ptr<const OpenTable> table_;
    std::vector<int> fields_;
    std::shared_ptr<const RowOrder> order_;
    bool tableType_;
    const IndexOrder* index_ = nullptr;
    long pos_ = 0;
    bool noMatch_ = false;
};

}  // namespace

std::unique_ptr<Recordset> tableRecordset(std::shared_ptr<const OpenTable> table) {
    std::vector<int> fields(table->table.def.fields.size());
    std::iota(fields.begin(), fields.end(), 0);
    auto order = table->storageOrder;
    return std::make_unique<JetRecordset>(std::move(table), std::move(fields), std::move(order), true);
}

std::unique_ptr<Recordset> queryRecordset(std::shared_ptr<const OpenTable> table, std::vector<int> fields,
                                          std::vector<uint32_t> rows) {
    auto order = RowOrder::of(std::move(rows), table->table.rows.size());
    return std::make_unique<JetRecordset>(std::move(table), std::move(fields), std::move(order), false);
}

}  // namespace engine::jet
