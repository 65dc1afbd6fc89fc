#include "util/zlib_compressor.h"

#include "util/codepage.h"

#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <new>

namespace {

// First output allocation of an inflate: enough for ordinary text in one step, bounded by
// the input so that a forged size claim costs nothing.
constexpr size_t kInitialInflateFactor = 8;
constexpr size_t kInitialInflateMinimum = size_t{1} << 20;

// Inflates a zlib stream into `out`, which grows with the output up to `limit` (at least 1)
// bytes. Gives the same codes as zlib's uncompress with a buffer of `limit` bytes.
int inflateBounded(const std::vector<uint8_t>& in, size_t limit, std::vector<uint8_t>& out) {
    z_stream stream{};
    int err = inflateInit(&stream);
    if (err != Z_OK) return err;
    stream.next_in = const_cast<Bytef*>(in.data());
    stream.avail_in = static_cast<uInt>(in.size());

    size_t produced = 0;
    try {
        out.resize(std::min(limit, std::max(kInitialInflateMinimum, in.size() * kInitialInflateFactor)));
        do {
            if (produced == out.size()) out.resize(std::min(limit, out.size() * 2));
            stream.next_out = out.data() + produced;
            stream.avail_out = static_cast<uInt>(std::min<size_t>(out.size() - produced, std::numeric_limits<uInt>::max()));
            uInt offered = stream.avail_out;
            err = inflate(&stream, Z_NO_FLUSH);
            produced += offered - stream.avail_out;
        } while (err == Z_OK);
    } catch (const std::bad_alloc&) {
        err = Z_MEM_ERROR;
    }
    inflateEnd(&stream);
    out.resize(produced);
    if (err == Z_STREAM_END) return Z_OK;
    if (err == Z_NEED_DICT) return Z_DATA_ERROR;
    if (err == Z_BUF_ERROR && produced < limit) return Z_DATA_ERROR;  // the stream ends early
    return err;
}

}  // namespace

int64_t ZlibCompressor::compressBound(int64_t n) {
    return static_cast<int64_t>(std::nearbyint(static_cast<double>(n) * 0.01 + static_cast<double>(n) + 12.0));
}

int32_t ZlibCompressor::CompressData(std::vector<uint8_t>& data) {
    compressedSize_ = 0;
    originalSize_ = 0;
    if (data.size() < 2) return Z_OK;
    if (data.size() > static_cast<size_t>(std::numeric_limits<int32_t>::max())) return Z_MEM_ERROR;
    originalSize_ = static_cast<int32_t>(data.size());
    std::vector<uint8_t> scratch;
    try {
        scratch.resize(static_cast<size_t>(compressBound(static_cast<int64_t>(data.size()))));
    } catch (const std::bad_alloc&) {
        return Z_MEM_ERROR;
    }
    uLongf length = scratch.size();
    int err = compress(scratch.data(), &length, data.data(), data.size());
    if (err != Z_OK) return err;
    compressedSize_ = static_cast<int32_t>(length);
    data.assign(scratch.begin(), scratch.begin() + static_cast<std::ptrdiff_t>(length));
    return Z_OK;
}

int32_t ZlibCompressor::DecompressData(std::vector<uint8_t>& data, int32_t originalSize) {
    if (data.size() < 2) return Z_OK;
    if (data.size() > static_cast<size_t>(std::numeric_limits<int32_t>::max())) return Z_MEM_ERROR;
    originalSize_ = 0;
    compressedSize_ = static_cast<int32_t>(data.size());
    std::vector<uint8_t> out;
    int err = originalSize < 0 ? Z_BUF_ERROR
                               : inflateBounded(data, static_cast<size_t>(originalSize) + 1, out);
    if (err != Z_OK) {
        compressedSize_ = 0;
        return err;
    }
    originalSize_ = static_cast<int32_t>(out.size());
    data.swap(out);
    return Z_OK;
}

int32_t ZlibCompressor::CompressString(std::string& text) {
    std::vector<uint8_t> bytes = util::utf8ToAnsi(text);
    int32_t err = CompressData(bytes);
    if (err != Z_OK) {
        originalSize_ = 0;
        return err;
    }
    text = util::ansiToUtf8(bytes);
    return Z_OK;
}

int32_t ZlibCompressor::DecompressString(std::string& text, int32_t originalSize) {
    std::vector<uint8_t> bytes = util::utf8ToAnsi(text);
    int32_t err = DecompressData(bytes, originalSize);
    if (err != Z_OK) return err;
    text = util::ansiToUtf8(bytes);
    return Z_OK;
}

std::string ZlibCompressor::WinAPIError(int32_t errorNumber) {
    const char* text = std::strerror(errorNumber);
    std::string message = text ? text : "";
    if (message.rfind("Unknown error", 0) == 0) return "";
    return message.substr(0, 255);
}
