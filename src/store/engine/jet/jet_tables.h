// The in-memory tables of an open Jet file and the row orders of their indexes, built
// once at open time so that moves and seeks never touch the file again.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "store/engine/jet/jet_image.h"

namespace engine::jet {

// A sequence of rows (storage indexes) and, for bookmarks, where each row stands in it.
struct RowOrder {
    std::vector<uint32_t> rows;
    std::vector<int32_t> position;  // by storage index; -1 for rows not in the sequence

    static std::shared_ptr<const RowOrder> of(std::vector<uint32_t> rows, size_t tableRows);
};

struct IndexOrder {
    IndexDef def;
    std::vector<int> columns;          // field numbers of the key, first field first
    std::vector<bool> descending;
    std::shared_ptr<const RowOrder> order;
};

struct OpenTable {
    Table table;
    std::shared_ptr<const RowOrder> storageOrder;
    std::vector<IndexOrder> indexes;

    // Field number by name (case-insensitive), or -1.
    int fieldNumber(const std::string& name) const;
    const IndexOrder* index(const std::string& name) const;
};

// Takes an image apart into tables with their orders; an index that names an unknown
// field is left out.
std::vector<std::shared_ptr<const OpenTable>> openTables(Image image);

}  // namespace engine::jet
