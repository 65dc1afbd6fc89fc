// What the library commands of vlib share: opening a library for looking at and reading an
// id argument.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "store/ctreebook.h"

namespace vlib {

// Opens a book library read-only (nothing is written, not even the root of an empty one).
// Prints the reason and returns false when the file is not a library or does not open.
bool openLibrary(const std::string& file, store::ctreebook& book);

// Reads a record id (1 ... 2147483647); false after printing a usage message.
bool parseId(const std::string& text, int32_t& id);

// Reads the arguments FILE ID (no options) and opens FILE as by openLibrary. Returns Ok, or
// the exit code to end with after the reason was printed; usage is the usage message.
int openFileAndId(const std::vector<std::string>& raw, const std::string& usage, store::ctreebook& book,
                  int32_t& id);

// Whether the record exists in the main table.
bool recordExists(store::ctreebook& book, int32_t id);

}  // namespace vlib
