#include "util/crc.h"

#include "util/codepage.h"
#include "util/crc32.h"
#include "util/hooks.h"

#include <array>
#include <filesystem>
#include <fstream>

namespace {

constexpr std::array<uint16_t, 256> makeCrc16Table() {
    std::array<uint16_t, 256> table{};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t crc = 0;
        uint32_t c = i << 8;
        for (int k = 0; k < 8; ++k) {
            crc = ((crc ^ c) & 0x8000) ? (crc << 1) ^ 0x1021 : crc << 1;
            c <<= 1;
        }
        table[i] = static_cast<uint16_t>(crc);
    }
    return table;
}

constexpr auto kCrc16Table = makeCrc16Table();

uint32_t crc16Step(uint32_t crc, const std::vector<uint8_t>& bytes) {
    for (uint8_t b : bytes) crc = (kCrc16Table[((crc >> 8) ^ b) & 0xFF] ^ ((crc & 0xFF) << 8)) & 0xFFFF;
    return crc;
}

}  // namespace

clsCRC::clsCRC() { setAlgorithm(1); }

void clsCRC::setAlgorithm(int32_t algorithm) {
    algorithm_ = algorithm == 0 ? 0 : -1;
    Clear();
}

void clsCRC::Clear() {
    crc16_ = 0;
    crc32_ = 0xFFFFFFFFu;
}

int32_t clsCRC::Value() const {
    return algorithm_ == 0 ? static_cast<int32_t>(crc16_ & 0xFFFF) : static_cast<int32_t>(crc32_ ^ 0xFFFFFFFFu);
}

void clsCRC::setValue(int32_t value) {
    (algorithm_ == 0 ? crc16_ : crc32_) = static_cast<uint32_t>(value);
}

std::optional<int32_t> clsCRC::AddBytes(const std::vector<uint8_t>& bytes) {
    if (bytes.empty()) return std::nullopt;
    if (algorithm_ == 0)
        crc16_ = crc16Step(crc16_, bytes);
    else
        crc32_ = Modcrc32::updateCRC32(crc32_ ^ 0xFFFFFFFFu, bytes.data(), bytes.size()) ^ 0xFFFFFFFFu;
    return Value();
}

std::optional<int32_t> clsCRC::AddString(const std::string& text) { return AddBytes(util::utf8ToAnsi(text)); }

std::optional<int32_t> clsCRC::CalculateBytes(const std::vector<uint8_t>& bytes) {
    if (bytes.empty()) return std::nullopt;
    Clear();
    return AddBytes(bytes);
}

std::optional<int32_t> clsCRC::CalculateString(const std::string& text) {
    return CalculateBytes(util::utf8ToAnsi(text));
}

std::optional<int32_t> clsCRC::CalculateFile(const std::string& path) {
    std::error_code ec;
    auto size = std::filesystem::file_size(path, ec);
    if (ec || size == 0) return std::nullopt;
    util::processEvents();
    std::ifstream in(path, std::ios::binary);
    std::vector<uint8_t> bytes(size);
    if (!in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size))) return std::nullopt;
    return CalculateBytes(bytes);
}
