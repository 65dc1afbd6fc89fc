// Asking for class passwords: the two prompts the store needs from its owner, and the two
// procedures the windows call before they open or re-key a protected class.
//
// The store stays free of windows: the browser sets the prompts to its dialogs, vlib to the
// terminal, tests answer them. An unset prompt counts as cancelled.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace store {

class ctreebook;

struct PasswordPrompts {
    // Shows the prompt line and answers the password entered, trimmed; "" when cancelled.
    std::function<std::string(const std::string& prompt)> askPassword;
    // The user repeats oldPassword (skipped when it is "") and enters a new one twice; answers
    // the new password ("" removes the password) or "cancel".
    std::function<std::string(const std::string& oldPassword, const std::string& prompt)>
        changePassword;
};

// True when the class may be opened: it has no password, it was given since the library was
// opened, or the user enters it now (exactly, case-sensitive; an empty entry never matches).
// An empty title asks "Please input password for book lib " and the library's file name.
bool askPassword(ctreebook& store, int32_t id, const std::string& title);

// True when a new password (or its removal) was stored. An open class asks no old password.
bool changePassword(ctreebook& store, int32_t id, const std::string& title);

}  // namespace store
