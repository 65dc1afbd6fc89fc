// Replacing a file's contents safely.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace util {

// Writes the bytes beside the file first and then renames them over it, so a failing write
// never loses the old contents. False when the file could not be written.
bool replaceFile(const std::string& file, const std::vector<uint8_t>& bytes);

}  // namespace util
