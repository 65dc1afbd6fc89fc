// A table-type recordset over an SQLite table: the rows in the order of the current index
// (rowid order without one), read in batches by key so that no statement stays open
// between calls; Seek on the first field of the index; edits through a row buffer.
#pragma once

#include <memory>

#include "store/engine/database.h"
#include "store/engine/sqlite/catalog.h"
#include "store/engine/sqlite/session.h"

namespace engine::sqlite {

std::unique_ptr<Recordset> openTableRecordset(std::shared_ptr<Session> session, const TableInfo& table);

}  // namespace engine::sqlite
