#include "store/engine/jet/jet_dump.h"

#include <mdbtools.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "store/engine/jet/jet_header.h"
#include "store/engine/jet/jet_property_blob.h"
#include "store/engine/jet/jet_stream.h"
#include "store/engine/jet/jet_text.h"
#include "store/engine/sqlite/field_rules.h"

namespace engine::jet {

namespace {

constexpr size_t kFlushSize = size_t(1) << 20;
constexpr int kRowOffsetMask = 0x1FFF;
constexpr size_t kLongValueHeader = 12;  // length word, page/row, reserved

// Thrown inside this file only; dumpImage turns it into `false` and a reason.
struct Broken {
    std::string why;
};

uint32_t le32(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; }

DaoType daoTypeOf(int mdbType) {
    switch (mdbType) {
        case MDB_BOOL: return DaoType::Boolean;
        case MDB_BYTE: return DaoType::Byte;
        case MDB_INT: return DaoType::Integer;
        case MDB_LONGINT:
        case MDB_COMPLEX: return DaoType::Long;
        case MDB_MONEY: return DaoType::Currency;
        case MDB_FLOAT: return DaoType::Single;
        case MDB_DOUBLE:
        case MDB_NUMERIC: return DaoType::Double;
        case MDB_DATETIME: return DaoType::Date;
        case MDB_BINARY: return DaoType::Binary;
        case MDB_OLE: return DaoType::LongBinary;
        case MDB_MEMO: return DaoType::Memo;
        default: return DaoType::Text;  // Text, and GUIDs shown as text
    }
}

int fieldSizeOf(const MdbColumn& c, DaoType t) {
    if (t == DaoType::Text) return c.col_type == MDB_TEXT ? c.col_size / 2 : 38;  // characters; a GUID's text
    if (t == DaoType::Binary) return c.col_size;
    return sqlite::daoSize(t, 0);
}

// libmdb gives property values as text; this recovers the value's type from its shape
// (dates come in the format set in dumpImage).
Property propertyFromText(const char* name, const char* text) {
    Property p;
    p.name = name;
    std::string s = text ? text : "";
    int y, mo, d, h, mi, sec;
    char tail;
    if (std::sscanf(s.c_str(), "%4d-%2d-%2d %2d:%2d:%2d%c", &y, &mo, &d, &h, &mi, &sec, &tail) == 6) {
        try {
            p.value = Value(Value(s).toDate());
            p.type = DaoType::Date;
            return p;
        } catch (const Error&) {
            // not a calendar date after all: kept as text
        }
    }
    if (s == "yes" || s == "no") {
        p.type = DaoType::Boolean;
        p.value = Value(s == "yes");
        return p;
    }
    if (!s.empty()) {
        char* end = nullptr;
        long long n = std::strtoll(s.c_str(), &end, 10);
        if (*end == '\0' && n >= INT32_MIN && n <= INT32_MAX && !std::isspace(uint8_t(s[0]))) {
            p.type = DaoType::Long;
            p.value = Value(int32_t(n));
            return p;
        }
    }
    p.type = DaoType::Text;
    p.value = Value(s);
    return p;
}

void collectProperty(gpointer key, gpointer value, gpointer out) {
    static_cast<std::vector<Property>*>(out)->push_back(
        propertyFromText(static_cast<const char*>(key), static_cast<const char*>(value)));
}

// The table's own block of user-defined properties (the other blocks describe its columns).
std::vector<Property> tableProperties(const MdbCatalogEntry& entry) {
    std::vector<Property> props;
    if (!entry.props) return props;
    for (guint i = 0; i < entry.props->len; ++i) {
        auto* block = static_cast<MdbProperties*>(g_ptr_array_index(entry.props, i));
        if (!block || !block->hash) continue;
        if (block->name && g_ascii_strcasecmp(block->name, entry.object_name) != 0) continue;
        g_hash_table_foreach(block->hash, collectProperty, &props);
        break;
    }
    std::sort(props.begin(), props.end(), [](const Property& a, const Property& b) { return a.name < b.name; });
    return props;
}

// A column property as text, or null.
const char* columnProperty(const MdbColumn& c, const char* key) {
    if (!c.props || !c.props->hash) return nullptr;
    return static_cast<const char*>(g_hash_table_lookup(c.props->hash, key));
}

MdbColumn& column(MdbTableDef* t, size_t i) { return *static_cast<MdbColumn*>(g_ptr_array_index(t->columns, i)); }

TableDef tableDef(MdbTableDef* t) {
    TableDef def;
    def.name = t->name;
    for (size_t i = 0; i < t->num_cols; ++i) {
        const MdbColumn& c = column(t, i);
        FieldDef f;
        f.name = c.name;
        if (f.name.empty()) throw Broken{"a field without a name"};
        f.type = daoTypeOf(c.col_type);
        f.size = fieldSizeOf(c, f.type);
        f.attributes = c.is_long_auto ? 16 : 0;
        if (const char* d = columnProperty(c, "DefaultValue")) f.defaultValue = d;
        // Without the property Jet itself accepts "" (files made by other tools hold such
        // values); only an explicit "no" forbids it.
        const char* z = columnProperty(c, "AllowZeroLength");
        f.allowZeroLength = z ? std::strcmp(z, "yes") == 0 : (f.type == DaoType::Text || f.type == DaoType::Memo);
        def.fields.push_back(std::move(f));
    }
    for (size_t i = 0; t->indices && i < t->indices->len; ++i) {
        auto* x = static_cast<MdbIndex*>(g_ptr_array_index(t->indices, i));
        if (!x || x->index_type == 2 || x->num_keys == 0 || x->num_keys > MDB_MAX_IDX_COLS) continue;  // 2: foreign key
        IndexDef idx;
        idx.name = x->name;
        idx.primary = x->index_type == 1;
        idx.unique = (x->flags & MDB_IDX_UNIQUE) != 0;
        bool valid = true;
        for (unsigned k = 0; k < x->num_keys; ++k) {
            int col = x->key_col_num[k] - 1;
            if (col < 0 || size_t(col) >= t->num_cols) {
                valid = false;
                break;
            }
            if (k) idx.fields += ";";
            idx.fields += (x->key_col_order[k] == MDB_ASC ? "+" : "-") + def.fields[col].name;
        }
        if (valid && !idx.name.empty()) def.indexes.push_back(std::move(idx));
    }
    return def;
}

// The file as the reader sees it: libmdb reads its pages through a stream over these bytes.
struct File {
    const uint8_t* data;
    size_t size;
};

// One row of a data page, found the way Jet lays pages out: a row count at offset 12, then
// each row's start (flags in the top bits); a row ends where the previous one starts.
bool pageRow(const File& file, uint32_t pgRow, const uint8_t*& row, size_t& len) {
    size_t page = pgRow >> 8, index = pgRow & 0xFF;
    if (page == 0 || page >= file.size / kPageSize) return false;
    const uint8_t* p = file.data + page * kPageSize;
    size_t rows = size_t(p[12] | p[13] << 8);
    if (index >= rows || 14 + 2 * rows > kPageSize) return false;
    size_t start = size_t(p[14 + 2 * index] | p[15 + 2 * index] << 8) & kRowOffsetMask;
    size_t end = index == 0 ? kPageSize : size_t(p[12 + 2 * index] | p[13 + 2 * index] << 8) & kRowOffsetMask;
    if (start >= end || end > kPageSize) return false;
    row = p + start;
    len = end - start;
    return true;
}

// How much of a long value's pages make up its bytes: what its length word says, or
// everything libmdb's own reader copies (whole rows to the end of the chain).
enum class LongValueView { Declared, AsLibmdbReads };

// The bytes of a memo or long-binary value, following its chain of pages. A stored length
// is a claim: it is checked against the file's size and every page is bounded.
Bytes longValue(const File& file, const uint8_t* field, size_t fieldLen,
                LongValueView view = LongValueView::Declared) {
    const bool declared = view == LongValueView::Declared;
    // libmdb takes a header from the row even for a value shorter than one.
    if (fieldLen == 0 && declared) return {};
    if (fieldLen < kLongValueHeader) throw Broken{"a long value with a short header"};
    uint32_t word = le32(field);
    size_t length = word & 0x3FFFFFFF;
    if (length > file.size) throw Broken{"a long value longer than the file"};
    uint32_t pgRow = le32(field + 4);
    if (word & 0x80000000) {
        size_t inRow = fieldLen - kLongValueHeader;
        if (inRow < length) throw Broken{"an inline value longer than its row"};
        return Bytes(field + kLongValueHeader, field + kLongValueHeader + (declared ? length : inRow));
    }
    Bytes out;
    out.reserve(length);
    bool singlePage = word & 0x40000000;
    size_t pagesLeft = file.size / kPageSize;
    while (out.size() < length || (!declared && !singlePage && pgRow != 0)) {
        if (pgRow == 0 || pagesLeft-- == 0) throw Broken{"a long value's pages end too early"};
        const uint8_t* row = nullptr;
        size_t len = 0;
        if (!pageRow(file, pgRow, row, len)) throw Broken{"a long value points outside the file"};
        if (singlePage) {
            if (len < length) throw Broken{"a long value is shorter than its length"};
            out.insert(out.end(), row, row + (declared ? length : len));
            break;
        }
        if (len < 4) throw Broken{"a long value page without a link"};
        pgRow = le32(row);
        size_t take = declared ? std::min(len - 4, length - out.size()) : len - 4;
        out.insert(out.end(), row + 4, row + 4 + take);
    }
    // libmdb follows a chain to its end whatever the length says: a chain that goes on
    // past the value (perhaps in a loop) is refused here before libmdb meets it.
    if (!singlePage && pgRow != 0) throw Broken{"a long value's pages go on past its end"};
    return out;
}

// Where a field's bytes are in the current page, once they are known to lie inside it.
const uint8_t* fieldBytes(MdbHandle* mdb, const MdbField& f) {
    if (f.start < 0 || f.siz < 0 || size_t(f.start) + size_t(f.siz) > kPageSize) throw Broken{"a field outside its page"};
    return mdb->pg_buf + f.start;
}

Value fieldValue(MdbHandle* mdb, const File& file, const MdbColumn& c, const MdbField& f) {
    if (c.col_type == MDB_BOOL) return Value(!f.is_null);  // a boolean lives in the null mask
    if (f.is_null) return Value();
    const uint8_t* p = fieldBytes(mdb, f);
    size_t n = size_t(f.siz);
    auto need = [&](size_t bytes) {
        if (n < bytes) throw Broken{"a field shorter than its type"};
    };
    switch (c.col_type) {
        case MDB_BYTE: need(1); return Value(int32_t(p[0]));
        case MDB_INT: need(2); return Value(int32_t(int16_t(p[0] | p[1] << 8)));
        case MDB_LONGINT:
        case MDB_COMPLEX: need(4); return Value(int32_t(le32(p)));
        case MDB_MONEY: {
            need(8);
            int64_t units = int64_t(uint64_t(le32(p)) | uint64_t(le32(p + 4)) << 32);
            return Value(double(units) / 10000.0);
        }
        case MDB_FLOAT: {
            need(4);
            uint32_t bits = le32(p);
            float v;
            std::memcpy(&v, &bits, sizeof v);
            return Value(double(v));
        }
        case MDB_DOUBLE:
        case MDB_DATETIME: {
            need(8);
            uint64_t bits = uint64_t(le32(p)) | uint64_t(le32(p + 4)) << 32;
            double v;
            std::memcpy(&v, &bits, sizeof v);
            if (c.col_type == MDB_DATETIME) return Value(Date{v});
            return Value(v);
        }
        case MDB_NUMERIC: {
            need(17);
            char* text = mdb_numeric_to_string(mdb, f.start, c.col_scale, c.col_prec);
            double v = text ? std::strtod(text, nullptr) : 0;
            g_free(text);
            return Value(v);
        }
        case MDB_BINARY: return Value(Bytes(p, p + n));
        case MDB_TEXT: return Value(decodeJetText(p, n));
        case MDB_MEMO: {
            Bytes b = longValue(file, p, n);
            return Value(decodeJetText(b.data(), b.size()));
        }
        case MDB_OLE: return Value(longValue(file, p, n));
        case MDB_REPID: {
            need(16);
            char* text = mdb_uuid_to_string(mdb->pg_buf, f.start);
            std::string s = text ? text : "";
            g_free(text);
            return Value(s);
        }
        default: return Value();
    }
}

// Walks the rows of a table, handing each one's fields (as mdb_crack_row gives them) to
// `visit`. A table whose pages come round again, or that yields more rows than it says it
// has, is broken.
template <typename Visit>
void forEachRow(MdbHandle* mdb, MdbTableDef* t, const File& file, Visit&& visit) {
    std::vector<MdbField> fields(t->num_cols);
    std::vector<bool> pageSeen(file.size / kPageSize);
    guint32 page = 0;
    size_t count = 0;
    // libmdb walks a table's pages through its usage map and assumes one is there.
    if (!t->usage_map || t->map_sz < 5) throw Broken{"a table without a map of its pages"};
    mdb_rewind_table(t);
    while (mdb_fetch_row(t)) {
        if (t->cur_phys_pg != page) {
            page = t->cur_phys_pg;
            if (page >= pageSeen.size() || pageSeen[page]) throw Broken{"a table whose pages run in a loop"};
            pageSeen[page] = true;
        }
        int start = 0;
        size_t len = 0;
        if (t->cur_row == 0 || mdb_find_row(mdb, int(t->cur_row - 1), &start, &len) != 0)
            throw Broken{"a row that cannot be found again"};
        int cracked = mdb_crack_row(t, start & kRowOffsetMask, len, fields.data());
        if (cracked < 0 || size_t(cracked) > t->num_cols) throw Broken{"a row that cannot be taken apart"};
        for (int i = 0; i < cracked; ++i)
            if (fields[i].colnum < 0 || size_t(fields[i].colnum) >= t->num_cols) throw Broken{"a field of no column"};
        if (++count > t->num_rows) throw Broken{"more rows than the table says it has"};
        visit(fields.data(), size_t(cracked));
    }
    if (count != t->num_rows) throw Broken{"rows of table \"" + std::string(t->name) + "\" are missing"};
}

void dumpRows(MdbHandle* mdb, MdbTableDef* t, StreamWriter& out, const StreamSink& sink, const File& file,
              size_t& written) {
    std::vector<Value> values(t->num_cols);
    forEachRow(mdb, t, file, [&](const MdbField* fields, size_t n) {
        std::fill(values.begin(), values.end(), Value());
        for (size_t i = 0; i < n; ++i)
            values[fields[i].colnum] = fieldValue(mdb, file, column(t, fields[i].colnum), fields[i]);
        out.row(values);
        if (out.bytes().size() >= kFlushSize) {
            written += out.bytes().size();
            if (written > maxStreamSize(file.size)) throw Broken{"it holds far more data than its size allows"};
            sink(out.bytes());
            out.clear();
        }
    });
}

// Reads the system catalog's stored properties before libmdb's catalog reader does.
void checkStoredProperties(MdbHandle* mdb, const File& file) {
    MdbCatalogEntry sys{};
    sys.mdb = mdb;
    sys.object_type = MDB_SYSTEM_TABLE;
    sys.table_pg = 2;
    std::snprintf(sys.object_name, sizeof sys.object_name, "MSysObjects");
    std::unique_ptr<MdbTableDef, void (*)(MdbTableDef*)> t(mdb_read_table(&sys), mdb_free_tabledef);
    if (!t || !mdb_read_columns(t.get()) || !t->columns || t->columns->len != t->num_cols)
        throw Broken{"the system catalog cannot be read"};
    int lvProp = -1;
    for (size_t i = 0; i < t->num_cols; ++i)
        if (std::strcmp(column(t.get(), i).name, "LvProp") == 0) lvProp = int(i);
    if (lvProp < 0 || column(t.get(), size_t(lvProp)).col_type != MDB_OLE) throw Broken{"the system catalog is not as expected"};
    forEachRow(mdb, t.get(), file, [&](const MdbField* fields, size_t n) {
        for (size_t i = 0; i < n; ++i)
            if (fields[i].colnum == lvProp && !fields[i].is_null)
                if (const char* why = propertyBlobFault(longValue(file, fieldBytes(mdb, fields[i]),
                                                                  size_t(fields[i].siz), LongValueView::AsLibmdbReads)))
                    throw Broken{why};
    });
}

struct HandleCloser {
    void operator()(MdbHandle* h) const { mdb_close(h); }
};
struct TableFreer {
    void operator()(MdbTableDef* t) const { mdb_free_tabledef(t); }
};

}  // namespace

bool dumpImage(uint8_t* image, size_t size, const StreamSink& sink, std::string& why) {
    std::unique_ptr<MdbHandle, HandleCloser> mdb(mdb_open_buffer(image, size, MDB_NOFLAGS));
    if (!mdb) {
        why = "the database header cannot be read";
        return false;
    }
    const File file{image, size};
    StreamWriter out;
    size_t written = 0;
    try {
        mdb_set_date_fmt(mdb.get(), "%Y-%m-%d %H:%M:%S");
        checkStoredProperties(mdb.get(), file);
        GPtrArray* catalog = mdb_read_catalog(mdb.get(), MDB_TABLE);
        if (!catalog) throw Broken{"the list of tables cannot be read"};
        for (guint i = 0; i < catalog->len; ++i) {
            auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(catalog, i));
            if (!entry || entry->object_type != MDB_TABLE || mdb_is_system_table(entry)) continue;
            std::unique_ptr<MdbTableDef, TableFreer> t(mdb_read_table(entry));
            if (!t) throw Broken{"the definition of table \"" + std::string(entry->object_name) + "\" cannot be read"};
            if (!mdb_read_columns(t.get()) || t->num_cols == 0 || t->num_cols > 255 || !t->columns ||
                t->columns->len != t->num_cols)
                throw Broken{"the fields of table \"" + std::string(entry->object_name) + "\" cannot be read"};
            mdb_read_indices(t.get());
            out.table(tableDef(t.get()), tableProperties(*entry));
            dumpRows(mdb.get(), t.get(), out, sink, file, written);
        }
        out.end();
        sink(out.bytes());
        return true;
    } catch (const Broken& b) {
        why = b.why;
        out.failure(why);
        sink(out.bytes());
        return false;
    }
}

}  // namespace engine::jet
