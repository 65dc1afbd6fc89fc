#include "app/vlib/interrupt.h"

#include <signal.h>

namespace vlib {

namespace {

volatile sig_atomic_t interruptRequested = 0;

void onInterrupt(int) { interruptRequested = 1; }

}  // namespace

InterruptGuard::InterruptGuard() {
    interruptRequested = 0;
    struct sigaction action {};
    action.sa_handler = onInterrupt;
    sigemptyset(&action.sa_mask);
    // No SA_RESTART: a write blocked on a full pipe returns, so the flag is seen soon.
    action.sa_flags = SA_RESETHAND;
    sigaction(SIGINT, &action, nullptr);
}

InterruptGuard::~InterruptGuard() { signal(SIGINT, SIG_DFL); }

bool InterruptGuard::requested() { return interruptRequested != 0; }

}  // namespace vlib
