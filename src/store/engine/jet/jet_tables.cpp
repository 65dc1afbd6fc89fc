#include "store/engine/jet/jet_tables.h"

#include <algorithm>
#include <numeric>

#include "store/engine/jet_sql.h"
#include "store/engine/names.h"

namespace engine::jet {

namespace {

// "+pid;+id" into field numbers and directions; false when a field is unknown.
bool parseKey(const OpenTable& t, IndexOrder& x) {
    size_t at = 0;
    const std::string& s = x.def.fields;
    while (at <= s.size()) {
        size_t end = s.find(';', at);
        if (end == std::string::npos) end = s.size();
        std::string part = s.substr(at, end - at);
        bool desc = false;
        if (!part.empty() && (part[0] == '+' || part[0] == '-')) {
            desc = part[0] == '-';
            part.erase(0, 1);
        }
        int n = t.fieldNumber(part);
        if (n < 0) return false;
        x.columns.push_back(n);
        x.descending.push_back(desc);
        at = end + 1;
    }
    return !x.columns.empty();
}

std::shared_ptr<const RowOrder> sortedBy(const Table& t, const IndexOrder& x) {
    std::vector<uint32_t> rows(t.rows.size());
    std::iota(rows.begin(), rows.end(), 0u);
    std::stable_sort(rows.begin(), rows.end(), [&](uint32_t a, uint32_t b) {
        for (size_t k = 0; k < x.columns.size(); ++k) {
            int c = jetsql::compareValues(t.rows[a][x.columns[k]], t.rows[b][x.columns[k]]);
            if (c != 0) return x.descending[k] ? c > 0 : c < 0;
        }
        return false;
    });
    return RowOrder::of(std::move(rows), t.rows.size());
}

}  // namespace

std::shared_ptr<const RowOrder> RowOrder::of(std::vector<uint32_t> rows, size_t tableRows) {
    auto o = std::make_shared<RowOrder>();
    o->position.assign(tableRows, -1);
    for (size_t i = 0; i < rows.size(); ++i) o->position[rows[i]] = int32_t(i);
    o->rows = std::move(rows);
    return o;
}

int OpenTable::fieldNumber(const std::string& name) const {
    const auto& f = table.def.fields;
    for (size_t i = 0; i < f.size(); ++i)
        if (namesEqual(f[i].name, name)) return int(i);
    return -1;
}

const IndexOrder* OpenTable::index(const std::string& name) const {
    for (const IndexOrder& x : indexes)
        if (namesEqual(x.def.name, name)) return &x;
    return nullptr;
}

std::vector<std::shared_ptr<const OpenTable>> openTables(Image image) {
    std::vector<std::shared_ptr<const OpenTable>> out;
    for (Table& t : image.tables) {
        auto open = std::make_shared<OpenTable>();
        open->table = std::move(t);
        std::vector<uint32_t> storage(open->table.rows.size());
        std::iota(storage.begin(), storage.end(), 0u);
        open->storageOrder = RowOrder::of(std::move(storage), open->table.rows.size());
        std::vector<IndexDef> kept;
        for (const IndexDef& def : open->table.def.indexes) {
            IndexOrder x;
            x.def = def;
            if (!parseKey(*open, x)) continue;
            x.order = sortedBy(open->table, x);
            open->indexes.push_back(std::move(x));
            kept.push_back(def);
        }
        open->table.def.indexes = std::move(kept);
        out.push_back(std::move(open));
    }
    return out;
}

}  // namespace engine::jet
