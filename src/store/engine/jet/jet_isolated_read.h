// Reads a Jet 4 file into memory without letting a hostile file hurt the caller.
//
// The header is checked here first; then a forked child process (memory and processor
// time limited, stderr silenced) runs libmdb over the file and streams what it finds back
// through a pipe; the caller waits with a wall-clock limit and decodes the stream
// defensively. A child that crashes, runs out of time or memory, or sends garbage gives
// Error(Corrupt) in plain words; the file is only ever opened for reading.
#pragma once

#include <string>

#include "store/engine/jet/jet_image.h"

namespace engine::jet {

// Throws CannotOpen (missing, not a Jet 4 file) or Corrupt (damaged).
Image readIsolated(const std::string& path);

}  // namespace engine::jet
