// The checks a file must pass before any Jet parsing code sees it.
#pragma once

#include <cstddef>
#include <cstdint>

namespace engine::jet {

constexpr size_t kPageSize = 4096;                 // Jet 4 pages
constexpr size_t kMaxFileSize = size_t(2) << 30;   // Jet 4's own 2 GB limit

// True when the first bytes say "Standard Jet DB" (any Jet version).
bool looksLikeJet(const uint8_t* data, size_t size);

// Throws Error(CannotOpen) for a file of another kind or Jet version, Error(Corrupt) for a
// Jet 4 file whose size or header is impossible. `size` is the whole file's size; `data`
// needs to hold at least the first page (or the whole file when it is shorter).
void checkHeader(const uint8_t* data, size_t available, size_t size);

}  // namespace engine::jet
