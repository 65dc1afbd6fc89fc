// What vlib's editing commands share: opening a library for a command, naming records on the
// command line, showing the store's progress, asking for passwords on the terminal.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "app/vlib/progress.h"
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

// The store's progress messages during one command: with verbose each message on a line of
// its own on stderr; otherwise a bar that counts them against total (drawn only when stderr is
// a terminal). While an InterruptGuard is active, the first message after Ctrl-C throws
// InterruptedError, which rolls the store's transaction back.
class StoreProgress {
public:
    StoreProgress(store::ctreebook& book, std::string label, uint64_t total, bool verbose);
    ~StoreProgress();  // detaches from the book and ends the bar's line
    StoreProgress(const StoreProgress&) = delete;
    StoreProgress& operator=(const StoreProgress&) = delete;

private:
    store::ctreebook& book_;
    std::optional<ProgressBar> bar_;  // none with verbose: the lines would garble it
    uint64_t done_ = 0;
};

// Password prompts on the terminal (without echo) or, when stdin is not a terminal, one line
// of stdin for each question. With removing, changePassword asks only the old password and
// answers "" (no password).
store::PasswordPrompts terminalPrompts(bool removing = false);

// The message for a change the library refused (a read-only Jet library cannot be changed).
std::string refusedChange(store::ctreebook& book, const std::string& what);

}  // namespace vlib
