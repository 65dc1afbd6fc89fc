// Reads a Jet 4 file image with libmdb and writes it as a stream (jet_stream.h).
//
// This is the code that meets the untrusted file: it runs in a separate process (see
// jet_isolated_read.h) and, under the fuzzer, in-process. Its output goes to `sink` in
// pieces; a structural fault found while reading ends the stream early with `false`.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace engine::jet {

using StreamSink = std::function<void(const std::string& piece)>;

// `image` must have passed checkHeader() (jet_header.h). Returns false (after the pieces
// written so far) when the file's structure is found broken; `why` says where.
bool dumpImage(uint8_t* image, size_t size, const StreamSink& sink, std::string& why);

}  // namespace engine::jet
