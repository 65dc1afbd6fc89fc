// How DAO treats field values: the stored form of a value for a field's type, Text sizes,
// zero-length strings, defaults, and the fixed sizes of the number types.
#pragma once

#include <string>

#include "store/engine/database.h"

namespace engine::sqlite {

// The value converted to the field's type as DAO converts on assignment. With checkLimits,
// text longer than the field's Size throws FieldTooSmall and an empty text in a field that
// does not allow zero length throws; a number out of the type's range throws.
Value toFieldType(const FieldDef& field, const Value& value, bool checkLimits = true);

// The value a new record starts with: the field's DefaultValue evaluated ("0", "\"\"",
// "Now()", "Date()", "True"), or Null when there is none or it cannot be evaluated.
Value defaultValue(const FieldDef& field);

// DAO's Size of a field of a fixed-size type; Text keeps its own, 255 when none was given.
int daoSize(DaoType type, int requested);

// The SQLite column type of a DAO type (text columns compare as Jet does, ignoring case).
std::string sqliteColumnType(DaoType type);

bool isLongValue(DaoType type);  // LongBinary and Memo: read through chunks

// GetChunk over a value held in memory: up to length bytes from offset; none for Null.
Bytes chunkOf(const Value& value, long offset, long length);

}  // namespace engine::sqlite
