// Row work shared with drawing threads. The rows are cut into bands that the calling thread
// and the drawing threads take in turn until none is left, so a thread that starts late only
// takes fewer, and the call returns once every band is done.
//
// Waking a sleeping thread can take longer than a band (tens of microseconds on a virtual
// machine), so a drawing thread that has finished waits a fraction of a millisecond for the
// next frame's bands before it sleeps. Between frames of a show paced by the display, that is
// a few percent of one core at most.
#pragma once

#include <cstddef>
#include <functional>

namespace pictures {

// Calls work(begin, end) for bands of at most rowsPerBand rows covering 0 .. count - 1, on this
// thread and on the drawing threads (one fewer than the processors, at most three). work must be
// safe to call from several threads at once for different bands.
void workInBands(size_t count, size_t rowsPerBand, const std::function<void(size_t begin, size_t end)>& work);

}  // namespace pictures
