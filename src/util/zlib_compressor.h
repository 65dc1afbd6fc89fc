// Whole-buffer compression into a bare zlib stream (RFC 1950) and back.
//
// The uncompressed size is not part of the stream: the caller keeps it and hands it back to
// DecompressData. Results are zlib's codes (Z_OK 0, Z_MEM_ERROR -4, Z_BUF_ERROR -5,
// Z_DATA_ERROR -3), passed through; on any nonzero code the caller's buffer is unchanged.
// Inputs of fewer than two bytes are returned unchanged with 0.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class ZlibCompressor {
public:
    // Replaces the bytes with their zlib stream. The output buffer holds n * 0.01 + n + 12
    // bytes (rounded half to even); a stream that does not fit fails with Z_BUF_ERROR.
    int32_t CompressData(std::vector<uint8_t>& data);
    // Replaces the stream with its inflated bytes. The output may be one byte longer than
    // originalSize; a stream that inflates to more fails with Z_BUF_ERROR. originalSize is a
    // claim: memory grows with the output actually produced, never to the claim up front.
    int32_t DecompressData(std::vector<uint8_t>& data, int32_t originalSize);

    // The same on the code page 936 bytes of a text; the resulting bytes are turned back into
    // text through the same code page, so only byte-per-character texts round-trip.
    int32_t CompressString(std::string& text);
    int32_t DecompressString(std::string& text, int32_t originalSize);

    // Counters of the last operation.
    int32_t CompressedSize() const { return compressedSize_; }
    int32_t OriginalSize() const { return originalSize_; }

    // The system's message text for an error number; "" when it has none.
    static std::string WinAPIError(int32_t errorNumber);

    // Size of the compression output buffer for n input bytes.
    static int64_t compressBound(int64_t n);

private:
    int32_t compressedSize_ = 0;
    int32_t originalSize_ = 0;
};
