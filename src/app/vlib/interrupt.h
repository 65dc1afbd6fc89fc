// Ctrl-C during work that runs in one transaction. While a guard lives, the first Ctrl-C only
// sets a flag; the work checks it at its next step and throws InterruptedError, so the transaction
// is rolled back and the command can say so. A second Ctrl-C ends the program at once (the
// library's journal still undoes the unfinished transaction when it is next opened).
#pragma once

#include <exception>

namespace vlib {

struct InterruptedError : std::exception {
    const char* what() const noexcept override { return "interrupted"; }
};

class InterruptGuard {
public:
    InterruptGuard();
    ~InterruptGuard();  // the default Ctrl-C again
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;

    // Whether Ctrl-C came while a guard was active.
    static bool requested();
};

}  // namespace vlib
