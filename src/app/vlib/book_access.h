// What the library commands of vlib share: opening a library for looking at, reading an id
// argument, and the kind of a record as text.
#pragma once

#include <cstdint>
#include <string>

#include "store/ctreebook.h"

namespace vlib {

// Opens a book library read-only (nothing is written, not even the root of an empty one).
// Prints the reason and returns false when the file is not a library or does not open.
bool openLibrary(const std::string& file, store::ctreebook& book);

// Reads a record id (1 ... 2147483647); false after printing a usage message.
bool parseId(const std::string& text, int32_t& id);

// "class" or "doc".
std::string kindOf(store::ctreebook& book, int32_t id);

// Whether the record exists in the main table.
bool recordExists(store::ctreebook& book, int32_t id);

}  // namespace vlib
