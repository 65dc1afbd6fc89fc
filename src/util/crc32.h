// CRC-32 of zlib and IEEE 802.3 (check value 0xCBF43926 for "123456789"), the fingerprint the
// library store keeps beside each document's content.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace Modcrc32 {

// The CRC-32 of the bytes as a signed 32-bit number (values above 0x7FFFFFFF come out
// negative); 0 for no bytes.
int32_t getCRC32(const std::vector<uint8_t>& bytes);
int32_t getCRC32(const uint8_t* data, size_t size);

// Continues a CRC-32: `crc` is the value of the bytes so far (0 for none).
uint32_t updateCRC32(uint32_t crc, const uint8_t* data, size_t size);

}  // namespace Modcrc32
