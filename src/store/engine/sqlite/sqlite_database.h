// The native backend: libraries as SQLite files (read-write). A database and its recordsets
// are used from one thread at a time; every change is on disk when its call returns (outside
// beginTrans/commitTrans), through SQLite's rollback journal.
#pragma once

#include <memory>
#include <string>

#include "store/engine/database.h"

namespace engine {

std::unique_ptr<Database> openSqliteDatabase(const std::string& path, OpenOptions options);
std::unique_ptr<Database> createSqliteDatabase(const std::string& path, const std::string& locale, int version);

}  // namespace engine
