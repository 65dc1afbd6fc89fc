// What vlib's editing commands share: opening a library for a command, naming records on the
// command line, showing the store's progress, asking for passwords on the terminal.
#pragma once

#include <cstdint>
#include <string>

#include "store/ctreebook.h"

namespace vlib {

// Opens an existing library for reading and writing. Prints the reason and returns false
// (code set to the exit code) when the file is missing or not a library.
bool openForEditing(store::ctreebook& book, const std::string& file, int& code);

// Opens FILE, creating a new library first when it does not exist.
bool openOrCreateLibrary(store::ctreebook& book, const std::string& file, int& code);

// A record named on the command line: its id ("12"), or a path of titles below the root
// ("Stories/Tales"; "/" alone is the root). 0 after printing why when there is none.
int32_t resolveRecord(store::ctreebook& book, const std::string& arg);
// The same for a record that must be a class.
int32_t resolveClass(store::ctreebook& book, const std::string& arg);

// Shows the store's progress messages on stderr: with verbose one line each, otherwise on a
// terminal one line that is rewritten, and nothing when stderr is not a terminal.
void showProgress(store::ctreebook& book, bool verbose);
// Ends a rewritten progress line.
void endProgress();

// Password prompts on the terminal (without echo) or, when stdin is not a terminal, one line
// of stdin for each question. With removing, changePassword asks only the old password and
// answers "" (no password).
store::PasswordPrompts terminalPrompts(bool removing = false);

// The message for a change the library refused (a read-only Jet library cannot be changed).
std::string refusedChange(store::ctreebook& book, const std::string& what);

}  // namespace vlib
