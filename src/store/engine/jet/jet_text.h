// Jet 4 text as stored: UTF-16LE, or "Unicode compressed" when it starts with 0xFF 0xFE
// (then single bytes are Latin-1 characters and a 0x00 byte switches between one-byte and
// two-byte runs). Decoded to UTF-8; a lone surrogate becomes U+FFFD, an odd last byte is
// dropped.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace engine::jet {

std::string decodeJetText(const uint8_t* data, size_t size);

}  // namespace engine::jet
