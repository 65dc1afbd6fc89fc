// A checksum object computing CRC-16/XMODEM (polynomial 0x1021, initial 0, no final
// inversion; check value 0x31C3) or CRC-32 (as Modcrc32) over bytes, texts and files, in one
// call or accumulated over several calls.
//
// Results are signed 32-bit numbers (a CRC-32 above 0x7FFFFFFF is negative); an operation that
// computed nothing (no bytes, an empty text, an unreadable or empty file) returns no value and
// leaves the running register as it was. Texts are checksummed as their code page 936 bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class clsCRC {
public:
    clsCRC();  // CRC-32

    // Adds the bytes to the running checksum and returns the new Value().
    std::optional<int32_t> AddBytes(const std::vector<uint8_t>& bytes);
    std::optional<int32_t> AddString(const std::string& text);

    // 0 = CRC-16, -1 = CRC-32. Setting 0 selects CRC-16, any other value CRC-32; both
    // registers are cleared.
    int32_t Algorithm() const { return algorithm_; }
    void setAlgorithm(int32_t algorithm);

    // The checksum of the argument alone (Clear, then Add...).
    std::optional<int32_t> CalculateBytes(const std::vector<uint8_t>& bytes);
    std::optional<int32_t> CalculateString(const std::string& text);
    std::optional<int32_t> CalculateFile(const std::string& path);

    // The current checksum. Setting stores the number into the current register as it is
    // (for CRC-32 the register before the final inversion).
    int32_t Value() const;
    void setValue(int32_t value);

    // Starts a new checksum: CRC-16 register 0, CRC-32 register 0xFFFFFFFF.
    void Clear();

private:
    int32_t algorithm_ = -1;
    uint32_t crc16_ = 0;
    uint32_t crc32_ = 0xFFFFFFFFu;
};
