// A recordset over the in-memory rows of one Jet table: table-type (all fields, Index and
// Seek) or the result of a SELECT (chosen fields and rows, moves and reads only).
// Every write throws Error(ReadOnly).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "store/engine/database.h"
#include "store/engine/jet/jet_tables.h"

namespace engine::jet {

std::unique_ptr<Recordset> tableRecordset(std::shared_ptr<const OpenTable> table);

// `fields`: field numbers in the order the query lists them; `rows`: the chosen rows in
// the query's order.
std::unique_ptr<Recordset> queryRecordset(std::shared_ptr<const OpenTable> table, std::vector<int> fields,
                                          std::vector<uint32_t> rows);

[[noreturn]] void readOnly();

}  // namespace engine::jet
