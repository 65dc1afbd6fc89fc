// The one way long visual work lets the window breathe: a loop inside an event handler calls
// yield() between its steps and re-reads its stop flag afterwards.
#pragma once

namespace platform {

// Length of one yield slice in milliseconds.
constexpr int kYieldSliceMs = 10;

// Processes pending window events, then waits count slices on the event loop (events keep
// running meanwhile), so a pause grows linearly with count. count <= 0 only processes what
// is pending and returns at once.
void yield(int count = 0);

// Shows the busy pointer while a long step runs on the window's thread, however it ends.
class BusyPointer {
public:
    BusyPointer();
    ~BusyPointer();
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;
};

}  // namespace platform
