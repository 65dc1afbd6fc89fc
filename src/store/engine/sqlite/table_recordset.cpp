#include "store/engine/sqlite/table_recordset.h"

#include <algorithm>
#include <cstring>

#include "store/engine/names.h"
#include "store/engine/sqlite/field_rules.h"

namespace engine::sqlite {
namespace {

enum class Direction { Forward, Backward };

const size_t kFirstBatch = 2;
const size_t kLargestBatch = 1024;

// Rows read together, in ascending index order. Only some fields may have been read: the
// index keys and those asked for before; a long-binary field holds its length.
struct Batch {
    std::vector<int> slot;  // per field: its place in a row of cells, -1 when not read
    size_t width = 0;
    std::vector<int64_t> rowids;
    std::vector<Value> cells;  // rowids.size() rows of width values

    size_t size() const { return rowids.size(); }
    bool has(size_t column) const { return slot[column] >= 0; }
    const Value& at(size_t row, size_t column) const { return cells[row * width + slot[column]]; }

    void keepOnly(size_t row) {
        std::vector<Value> kept(std::make_move_iterator(cells.begin() + row * width),
                                std::make_move_iterator(cells.begin() + (row + 1) * width));
        cells = std::move(kept);
        rowids.assign(1, rowids[row]);
    }
    void reverse() {
        const size_t n = size();
        for (size_t i = 0; i < n / 2; ++i)
            std::swap_ranges(cells.begin() + i * width, cells.begin() + (i + 1) * width,
                             cells.begin() + (n - 1 - i) * width);
        std::reverse(rowids.begin(), rowids.end());
    }
};

class TableRecordset final : public Recordset {
public:
    TableRecordset(std::shared_ptr<Session> s, const TableInfo& info)
        : s_(std::move(s)), info_(info), table_(quoteName(info.def.name)), wanted_(info.def.fields.size(), false) {
        for (size_t c = 0; c < info_.def.fields.size(); ++c) allColumns_.push_back(static_cast<int>(c));
    }

    void setIndex(const std::string& name) override {
        live();
        if (name.empty()) {
            indexNo_ = -1;
        } else {
            int found = -1;
            for (size_t i = 0; i < info_.def.indexes.size(); ++i)
                if (namesEqual(info_.def.indexes[i].name, name)) found = static_cast<int>(i);
            if (found < 0) throw Error(ErrorCode::NotFound, "'" + name + "' isn't an index in this table");
            indexNo_ = found;
        }
        pendingFirst_ = true;
    }

    std::string index() const override { return indexNo_ < 0 ? std::string() : info_.def.indexes[indexNo_].name; }

    void seek(const std::string& op, const Value& key) override {
        live();
        if (indexNo_ < 0) throw Error(ErrorCode::Generic, "Operation invalid without a current index");
        if (op != "=" && op != ">=") throw Error(ErrorCode::Generic, "Seek comparison '" + op + "' is not supported");
        endEdit();
        const FieldDef& field = info_.def.fields[keys().front().column];
        const Value stored = toFieldType(field, key, false);
        pendingFirst_ = false;
        noMatch_ = true;
        if (!stored.isNull()) {
            const std::string cond = quoteName(field.name) + (op == "=" ? " = ?" : " >= ?");
            Batch rows = fetch(Direction::Forward, -1, cond, &stored, kFirstBatch);
            noMatch_ = rows.size() == 0;
            if (!noMatch_) {
                placeAt(std::move(rows), 0);
                return;
            }
        }
        placeEmpty(false, true);
    }

    bool noMatch() const override { return noMatch_; }

    bool eof() const override {
        resolve();
        return eof_;
    }
    bool bof() const override {
        resolve();
        return bof_;
    }

    void moveFirst() override {
        live();
        endEdit();
        pendingFirst_ = false;
        first();
    }

    void moveLast() override {
        live();
        endEdit();
        pendingFirst_ = false;
        Batch rows = fetch(Direction::Backward, -1, {}, nullptr, kFirstBatch);
        const size_t last = rows.size() - 1;
        if (rows.size() == 0) placeEmpty(true, true);
        else placeAt(std::move(rows), last);
    }

    void moveNext() override { step(Direction::Forward); }
    void movePrevious() override { step(Direction::Backward); }

    Bookmark bookmark() const override {
        const int64_t rowid = currentRowid();
        Bookmark b(sizeof rowid);
        std::memcpy(b.data(), &rowid, sizeof rowid);
        return b;
    }

    void setBookmark(const Bookmark& b) override {
        live();
        int64_t rowid = 0;
        if (b.size() != sizeof rowid) throw Error(ErrorCode::Generic, "Not a valid bookmark");
        std::memcpy(&rowid, b.data(), sizeof rowid);
        endEdit();
        Batch row;
        if (!loadRow(rowid, row)) throw Error(ErrorCode::Generic, "Not a valid bookmark: the record is gone");
        pendingFirst_ = false;
        placeAt(std::move(row), 0);
    }

    long recordCount() override {
        live();
        Statement::Use q(s_->statement("SELECT count(*) FROM " + table_));
        return q.step() ? static_cast<long>(q.int64(0)) : 0;
    }

    void addNew() override {
        live();
        s_->requireWritable();
        endEdit();
        startBuffer();
        for (size_t i = 0; i < buffer_.size(); ++i) {
            buffer_[i] = defaultValue(info_.def.fields[i]);
            dirty_[i] = !buffer_[i].isNull();
        }
        mode_ = EditMode::Add;
    }

    void edit() override {
        live();
        s_->requireWritable();
        endEdit();
        completeRow();
        startBuffer();
        for (size_t c = 0; c < buffer_.size(); ++c) buffer_[c] = batch_.at(cur_, c);
        editRowid_ = batch_.rowids[cur_];
        mode_ = EditMode::InProgress;
    }

    void update() override {
        live();
        if (mode_ == EditMode::None)
            throw Error(ErrorCode::UpdateWithoutEdit, "Update or CancelUpdate without AddNew or Edit");
        s_->requireWritable();
        if (mode_ == EditMode::Add) insertBuffer();
        else updateBuffer();
        endEdit();
    }

    void cancelUpdate() override {
        live();
        endEdit();
    }

    void deleteRecord() override {
        live();
        s_->requireWritable();
        endEdit();
        const int64_t rowid = currentRowid();
        Statement::Use(s_->statement("DELETE FROM " + table_ + " WHERE rowid = ?")).bindInt64(1, rowid).run();
        s_->changed();
        deleted_ = true;
    }

    EditMode editMode() const override { return mode_; }

    void requery() override { moveFirst(); }

    void close() override {
        closed_ = true;
        batch_ = Batch();
        endEdit();
    }

    Value field(const std::string& name) const override { return fieldAt(column(name)); }
    size_t fieldIndex(const std::string& name) const override { return column(name); }

    Value fieldAt(size_t c) const override {
        live();
        if (c >= info_.def.fields.size())
            throw Error(ErrorCode::NotFound, "Item not found in this collection: field #" + std::to_string(c));
        const FieldDef& f = info_.def.fields[c];
        if (mode_ != EditMode::None) {
            if (f.type != DaoType::LongBinary || dirty_[c]) return buffer_[c];
            if (mode_ == EditMode::Add) return {};
            return loadLong(editRowid_, c);
        }
        const Value& v = cell(c);
        if (f.type == DaoType::LongBinary) return v.isNull() ? Value() : loadLong(currentRowid(), c);
        return v;
    }

    void setField(const std::string& name, const Value& value) override {
        const size_t c = column(name);
        if (mode_ == EditMode::None)
            throw Error(ErrorCode::UpdateWithoutEdit, "Update or CancelUpdate without AddNew or Edit");
        buffer_[c] = toFieldType(info_.def.fields[c], value);
        dirty_[c] = true;
    }

    std::vector<std::string> fieldNames() const override {
        std::vector<std::string> names;
        for (const FieldDef& f : info_.def.fields) names.push_back(f.name);
        return names;
    }

    Bytes getChunk(const std::string& name, long offset, long length) const override {
        const size_t c = longColumn(name);
        if (offset < 0 || length < 0) throw Error(ErrorCode::Generic, "Invalid argument");
        if (mode_ != EditMode::None && dirty_[c]) return chunkOf(buffer_[c], offset, length);
        if (mode_ == EditMode::Add) return {};
        const int64_t rowid = mode_ == EditMode::InProgress ? editRowid_ : currentRowid();
        sqlite3_blob* blob = nullptr;
        if (sqlite3_blob_open(s_->db, "main", info_.def.name.c_str(), info_.def.fields[c].name.c_str(), rowid, 0,
                              &blob) != SQLITE_OK) {
            if (blob) sqlite3_blob_close(blob);
            return {};  // a Null value has no chunks
        }
        const long size = sqlite3_blob_bytes(blob);
        Bytes out;
        if (offset < size) {
            out.resize(static_cast<size_t>(std::min(length, size - offset)));
            const int rc = out.empty() ? SQLITE_OK
                                       : sqlite3_blob_read(blob, out.data(), static_cast<int>(out.size()),
                                                           static_cast<int>(offset));
            if (rc != SQLITE_OK) {
                sqlite3_blob_close(blob);
                throwSqlite(s_->db, rc, "GetChunk");
            }
        }
        sqlite3_blob_close(blob);
        return out;
    }

    void appendChunk(const std::string& name, const Bytes& bytes) override {
        const size_t c = longColumn(name);
        if (mode_ == EditMode::None)
            throw Error(ErrorCode::UpdateWithoutEdit, "Update or CancelUpdate without AddNew or Edit");
        // The first chunk after Edit or AddNew replaces the value; later ones append.
        Bytes value = chunked_[c] && !buffer_[c].isNull() ? buffer_[c].toBytes() : Bytes();
        value.insert(value.end(), bytes.begin(), bytes.end());
        const FieldDef& f = info_.def.fields[c];
        buffer_[c] = f.type == DaoType::Memo ? Value(std::string(value.begin(), value.end())) : Value(std::move(value));
        dirty_[c] = true;
        chunked_[c] = true;
    }

    long fieldSize(const std::string& name) const override {
        const size_t c = longColumn(name);
        if (mode_ != EditMode::None && dirty_[c])
            return buffer_[c].isNull() ? 0 : static_cast<long>(buffer_[c].toBytes().size());
        if (mode_ == EditMode::Add) return 0;
        const Value& v = cell(c);
        if (v.isNull()) return 0;
        return info_.def.fields[c].type == DaoType::LongBinary ? v.toLong() : static_cast<long>(v.toText().size());
    }

private:
    const std::vector<KeyPart>& keys() const {
        static const std::vector<KeyPart> none;
        return indexNo_ < 0 ? none : info_.indexKeys[indexNo_];
    }

    void live() const {
        if (closed_) throw Error(ErrorCode::Generic, "Object invalid or no longer set: the recordset is closed");
        s_->requireOpen();
    }

    size_t column(const std::string& name) const {
        live();
        for (size_t i = 0; i < info_.def.fields.size(); ++i)
            if (namesEqual(info_.def.fields[i].name, name)) return i;
        throw Error(ErrorCode::NotFound, "Item not found in this collection: field '" + name + "'");
    }

    size_t longColumn(const std::string& name) const {
        const size_t c = column(name);
        if (!isLongValue(info_.def.fields[c].type))
            throw Error(ErrorCode::Generic, "Field '" + name + "' is not a long binary or memo field");
        return c;
    }

    void startBuffer() {
        buffer_.assign(info_.def.fields.size(), Value());
        dirty_.assign(buffer_.size(), false);
        chunked_.assign(buffer_.size(), false);
    }

    void endEdit() {
        mode_ = EditMode::None;
        buffer_.clear();
    }

    // ORDER BY of the current index (and rowid, which makes every key unique).
    std::string orderBy(Direction d) const {
        std::string out;
        for (const KeyPart& k : keys()) {
            const bool desc = k.descending != (d == Direction::Backward);
            out += quoteName(info_.def.fields[k.column].name) + (desc ? " DESC, " : ", ");
        }
        return out + (d == Direction::Backward ? "rowid DESC" : "rowid");
    }

    // The condition "strictly after (or before) row `at` of the batch in index order"; its
    // values go to binds, the rowid last.
    std::string beyond(size_t at, Direction d, std::vector<Value>& binds) const {
        const std::vector<KeyPart>& ks = keys();
        bool simple = d == Direction::Forward;
        for (const KeyPart& k : ks) simple = simple && !k.descending && !batch_.at(at, k.column).isNull();
        if (simple) {
            // Row values let SQLite start the index scan right at the anchor.
            std::string left = "(", right = "(";
            for (const KeyPart& k : ks) {
                left += quoteName(info_.def.fields[k.column].name) + ", ";
                right += "?, ";
                binds.push_back(batch_.at(at, k.column));
            }
            return left + "rowid) > " + right + "?)";
        }
        // General form, correct with Null keys (they sort first) and descending fields.
        std::string out = "(";
        std::string prefix;
        std::vector<Value> prefixBinds;
        for (const KeyPart& k : ks) {
            const std::string col = quoteName(info_.def.fields[k.column].name);
            const Value& v = batch_.at(at, k.column);
            const bool smaller = k.descending != (d == Direction::Backward);  // beyond means smaller keys
            std::string term;
            if (v.isNull()) term = smaller ? "0" : col + " IS NOT NULL";
            else term = smaller ? "(" + col + " < ? OR " + col + " IS NULL)" : col + " > ?";
            out += "(" + prefix + term + ") OR ";
            binds.insert(binds.end(), prefixBinds.begin(), prefixBinds.end());
            if (!v.isNull()) binds.push_back(v);
            prefix += v.isNull() ? col + " IS NULL AND " : col + " = ? AND ";
            if (!v.isNull()) prefixBinds.push_back(v);
        }
        out += "(" + prefix + (d == Direction::Backward ? "rowid < ?" : "rowid > ?") + "))";
        binds.insert(binds.end(), prefixBinds.begin(), prefixBinds.end());
        return out;
    }

    // "rowid, <columns>"; a long-binary field gives its length.
    std::string selectList(const std::vector<int>& columns) const {
        std::string out = "rowid";
        for (int c : columns) {
            const FieldDef& f = info_.def.fields[c];
            out += ", " + (f.type == DaoType::LongBinary ? "length(" + quoteName(f.name) + ")" : quoteName(f.name));
        }
        return out;
    }

    Batch emptyBatch(const std::vector<int>& columns) const {
        Batch b;
        b.slot.assign(info_.def.fields.size(), -1);
        for (size_t i = 0; i < columns.size(); ++i) b.slot[columns[i]] = static_cast<int>(i);
        b.width = columns.size();
        return b;
    }

    void readInto(Batch& b, Statement::Use& q, const std::vector<int>& columns) const {
        b.rowids.push_back(q.int64(0));
        for (size_t i = 0; i < columns.size(); ++i) {
            const DaoType t = info_.def.fields[columns[i]].type;
            b.cells.push_back(q.value(static_cast<int>(i) + 1, t == DaoType::LongBinary ? DaoType::Long : t));
        }
    }

    // Rows in ascending index order: after (before) row `anchor` of the batch, or from the
    // start (end) when anchor is -1; with cond and its value when given.
    Batch fetch(Direction d, long anchor, const std::string& cond, const Value* condValue, size_t limit) const {
        // The index keys and every field asked for so far; the rest is read when asked for.
        std::vector<int> columns;
        for (size_t c = 0; c < wanted_.size(); ++c) {
            bool key = false;
            for (const KeyPart& k : keys()) key = key || k.column == static_cast<int>(c);
            if (key || wanted_[c]) columns.push_back(static_cast<int>(c));
        }
        std::vector<Value> binds;
        std::string where = cond;
        if (condValue) binds.push_back(*condValue);
        if (anchor >= 0) {
            const std::string b = beyond(static_cast<size_t>(anchor), d, binds);
            where = where.empty() ? b : where + " AND " + b;
        }
        std::string sql = "SELECT " + selectList(columns) + " FROM " + table_;
        if (!where.empty()) sql += " WHERE " + where;
        sql += " ORDER BY " + orderBy(d) + " LIMIT ?";
        Statement::Use q(s_->statement(sql));
        int i = 1;
        for (const Value& v : binds) q.bind(i++, v);
        if (anchor >= 0) q.bindInt64(i++, batch_.rowids[static_cast<size_t>(anchor)]);
        q.bindInt64(i, static_cast<int64_t>(limit));
        Batch rows = emptyBatch(columns);
        rows.rowids.reserve(limit);
        rows.cells.reserve(limit * columns.size());
        while (q.step()) readInto(rows, q, columns);
        if (d == Direction::Backward) rows.reverse();
        nextLimit_ = std::min(kLargestBatch, std::max<size_t>(limit * 4, 32));
        return rows;
    }

    bool loadRow(int64_t rowid, Batch& out) const {
        Statement::Use q(s_->statement("SELECT " + selectList(allColumns_) + " FROM " + table_ + " WHERE rowid = ?"));
        q.bindInt64(1, rowid);
        if (!q.step()) return false;
        out = emptyBatch(allColumns_);
        readInto(out, q, allColumns_);
        return true;
    }

    Value loadLong(int64_t rowid, size_t c) const {
        Statement::Use q(s_->statement("SELECT " + quoteName(info_.def.fields[c].name) + " FROM " + table_ +
                                       " WHERE rowid = ?"));
        q.bindInt64(1, rowid);
        return q.step() ? q.value(0, info_.def.fields[c].type) : Value();
    }

    void first() const {
        Batch rows = fetch(Direction::Forward, -1, {}, nullptr, kFirstBatch);
        if (rows.size() == 0) placeEmpty(true, true);
        else placeAt(std::move(rows), 0);
    }

    void placeAt(Batch rows, size_t at) const {
        batch_ = std::move(rows);
        cur_ = at;
        bof_ = eof_ = deleted_ = false;
        generation_ = s_->generation;
    }

    void placeEmpty(bool atBof, bool atEof) const {
        batch_ = Batch();
        bof_ = atBof;
        eof_ = atEof;
        deleted_ = false;
    }

    // Applies a pending "move to the first row" and notices changes made since the batch
    // was read: the batch then shrinks to the current row, reread (it may be gone).
    void resolve() const {
        live();
        if (pendingFirst_) {
            pendingFirst_ = false;
            first();
            return;
        }
        if (bof_ || eof_ || generation_ == s_->generation) return;
        generation_ = s_->generation;
        Batch row;
        if (!deleted_ && loadRow(batch_.rowids[cur_], row)) {
            batch_ = std::move(row);
            cur_ = 0;
        } else {
            deleted_ = true;
            batch_.keepOnly(cur_);  // its keys still mark the place
            cur_ = 0;
        }
    }

    int64_t currentRowid() const {
        resolve();
        if (bof_ || eof_ || deleted_)
            throw Error(ErrorCode::NoCurrentRecord, deleted_ ? "Record is deleted" : "No current record");
        return batch_.rowids[cur_];
    }

    // The current row with every field read.
    void completeRow() const {
        const int64_t rowid = currentRowid();
        if (batch_.width == info_.def.fields.size()) return;
        Batch row;
        if (!loadRow(rowid, row)) {
            deleted_ = true;
            throw Error(ErrorCode::NoCurrentRecord, "Record is deleted");
        }
        batch_ = std::move(row);
        cur_ = 0;
    }

    // A field of the current row; one the batch did not read is read now, and with every
    // batch from now on.
    const Value& cell(size_t c) const {
        currentRowid();
        if (!batch_.has(c)) {
            wanted_[c] = true;
            completeRow();
        }
        return batch_.at(cur_, c);
    }

    void step(Direction d) {
        live();
        endEdit();
        resolve();
        const bool forward = d == Direction::Forward;
        if (forward ? eof_ : bof_) throw Error(ErrorCode::NoCurrentRecord, "No current record");
        if (forward ? bof_ : eof_) {
            // From before the first row MoveNext goes to the first; from after the last
            // MovePrevious goes to the last.
            if (forward) moveFirst();
            else moveLast();
            return;
        }
        deleted_ = false;
        if (forward && cur_ + 1 < batch_.size()) {
            ++cur_;
            return;
        }
        if (!forward && cur_ > 0) {
            --cur_;
            return;
        }
        Batch rows = fetch(d, static_cast<long>(cur_), {}, nullptr, nextLimit_);
        if (rows.size() == 0) {
            batch_.keepOnly(cur_);
            cur_ = 0;
            bof_ = !forward;
            eof_ = forward;
            return;
        }
        const size_t at = forward ? 0 : rows.size() - 1;
        placeAt(std::move(rows), at);
    }

    void insertBuffer() {
        std::string columns, params;
        std::vector<Value> values;
        for (size_t i = 0; i < buffer_.size(); ++i) {
            const FieldDef& f = info_.def.fields[i];
            if (buffer_[i].isNull() && (f.attributes & 16) && f.type == DaoType::Long) {
                // Auto-increment: the next number after the largest so far.
                Statement::Use q(s_->statement("SELECT coalesce(max(" + quoteName(f.name) + "), 0) + 1 FROM " + table_));
                if (q.step()) buffer_[i] = Value(static_cast<int32_t>(q.int64(0)));
                dirty_[i] = true;
            }
            if (!dirty_[i]) continue;
            columns += (columns.empty() ? "" : ", ") + quoteName(f.name);
            params += params.empty() ? "?" : ", ?";
            values.push_back(buffer_[i]);
        }
        const std::string sql = columns.empty() ? "INSERT INTO " + table_ + " DEFAULT VALUES"
                                                : "INSERT INTO " + table_ + " (" + columns + ") VALUES (" + params + ")";
        Statement::Use q(s_->statement(sql));
        for (size_t i = 0; i < values.size(); ++i) q.bind(static_cast<int>(i) + 1, values[i]);
        q.run();
        s_->changed();
    }

    void updateBuffer() {
        std::string sets;
        std::vector<Value> values;
        for (size_t i = 0; i < buffer_.size(); ++i) {
            if (!dirty_[i]) continue;
            sets += (sets.empty() ? "" : ", ") + quoteName(info_.def.fields[i].name) + " = ?";
            values.push_back(buffer_[i]);
        }
        if (sets.empty()) return;
        Statement::Use q(s_->statement("UPDATE " + table_ + " SET " + sets + " WHERE rowid = ?"));
        int i = 1;
        for (const Value& v : values) q.bind(i++, v);
        q.bindInt64(i, editRowid_);
        q.run();
        s_->changed();
    }

    std::shared_ptr<Session> s_;
    TableInfo info_;
    std::string table_;
    std::vector<int> allColumns_;
    int indexNo_ = -1;
    bool closed_ = false;
    bool noMatch_ = false;

    // The cursor: a batch of rows in index order and the current one; read lazily.
    mutable std::vector<bool> wanted_;  // fields asked for so far: every batch reads them
    mutable bool pendingFirst_ = true;
    mutable Batch batch_;
    mutable size_t cur_ = 0;
    mutable bool bof_ = true, eof_ = true, deleted_ = false;
    mutable uint64_t generation_ = 0;
    mutable size_t nextLimit_ = 32;

    EditMode mode_ = EditMode::None;
    std::vector<Value> buffer_;
    std::vector<bool> dirty_, chunked_;
    int64_t editRowid_ = 0;
};

}  // namespace

std::unique_ptr<Recordset> openTableRecordset(std::shared_ptr<Session> session, const TableInfo& table) {
    return std::make_unique<TableRecordset>(std::move(session), table);
}

}  // namespace engine::sqlite
