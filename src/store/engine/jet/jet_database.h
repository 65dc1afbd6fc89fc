// The Jet 4 backend: existing .mdb libraries and dictionaries, read-only.
#pragma once

#include <memory>
#include <string>

#include "store/engine/database.h"

namespace engine {

// Every write (createTable, AddNew, Edit, createProperty...) throws ErrorCode::ReadOnly.
// A damaged file throws ErrorCode::Corrupt with a plain message.
std::unique_ptr<Database> openJetDatabase(const std::string& path, OpenOptions options);

}  // namespace engine
