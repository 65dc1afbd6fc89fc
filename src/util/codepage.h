// Conversions between UTF-8 (the text of the core) and the ANSI code page 936 (the text of
// libraries, settings files and imported documents), plus UTF-16 little-endian input.
//
// Every conversion is total: a character the target lacks becomes "?" (the code page's
// default character), and an undecodable byte sequence becomes "?" as well.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace util {

using Bytes = std::vector<uint8_t>;

// UTF-8 text -> code page 936 bytes.
Bytes utf8ToAnsi(std::string_view utf8);
// Code page 936 bytes -> UTF-8 text.
std::string ansiToUtf8(const uint8_t* data, size_t size);
std::string ansiToUtf8(const Bytes& ansi);
// UTF-8 text -> UTF-16 little-endian bytes, without byte-order mark.
Bytes utf8ToUtf16le(std::string_view utf8);
// UTF-16 little-endian bytes (an odd last byte is ignored) -> UTF-8 text.
std::string utf16leToUtf8(const uint8_t* data, size_t size);

// The length of the longest start of code page 936 bytes, at most `limit` bytes long, that
// does not cut a two-byte character in half.
size_t ansiPrefixLength(const Bytes& ansi, size_t limit);

}  // namespace util
