#include "util/crc32.h"

#include <zlib.h>

namespace Modcrc32 {

uint32_t updateCRC32(uint32_t crc, const uint8_t* data, size_t size) {
    if (size == 0) return crc;
    return static_cast<uint32_t>(crc32_z(crc, data, size));
}

int32_t getCRC32(const uint8_t* data, size_t size) { return static_cast<int32_t>(updateCRC32(0, data, size)); }

int32_t getCRC32(const std::vector<uint8_t>& bytes) { return getCRC32(bytes.data(), bytes.size()); }

}  // namespace Modcrc32
