// SHA-256 of a byte string as lower-case hex, for checking stored bytes against the
// fixtures' manifests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace jet_test {

std::string sha256Hex(const std::vector<uint8_t>& bytes);

}  // namespace jet_test
