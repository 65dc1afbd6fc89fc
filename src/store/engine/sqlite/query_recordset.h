// Recordsets on a Jet-dialect SELECT: the syntax tree turned into SQLite SQL with every
// literal bound as a parameter (LIKE through the registered Jet matcher), the result read
// into memory when the query opens. Read-only: moves and field reads.
#pragma once

#include <memory>
#include <string>

#include "store/engine/database.h"
#include "store/engine/sqlite/session.h"

namespace engine::sqlite {

// The name under which the connection knows Jet's LIKE.
inline constexpr const char* kLikeFunction = "vyne_jet_like";
void registerJetLike(sqlite3* db);

std::unique_ptr<Recordset> openQueryRecordset(std::shared_ptr<Session> session, const std::string& sql);

}  // namespace engine::sqlite
