#include "store/engine/jet/jet_header.h"

#include <cstring>

#include "store/engine/database.h"

namespace engine::jet {

namespace {
constexpr char kSignature[] = "Standard Jet DB";  // at offset 4, with its terminating zero
constexpr size_t kVersionOffset = 0x14;
constexpr uint8_t kJet4 = 1;
constexpr size_t kMinPages = 3;  // header, its copy area, and the system catalog's definition
}  // namespace

bool looksLikeJet(const uint8_t* data, size_t size) {
    return size >= 4 + sizeof kSignature && std::memcmp(data + 4, kSignature, sizeof kSignature) == 0;
}

void checkHeader(const uint8_t* data, size_t available, size_t size) {
    if (!looksLikeJet(data, available) || available <= kVersionOffset)
        throw Error(ErrorCode::CannotOpen, "the file is not a Jet database");
    uint8_t version = data[kVersionOffset];
    if (version != kJet4)
        throw Error(ErrorCode::CannotOpen,
                    version == 0 ? "the file is a Jet 3 (Access 97) database, which cannot be read"
                                 : "the file is a newer Access database, which cannot be read");
    auto damaged = [](const char* why) {
        throw Error(ErrorCode::Corrupt, std::string("this file is damaged and cannot be read (") + why + ")");
    };
    if (data[0] != 0 || data[1] != 1 || data[2] != 0 || data[3] != 0) damaged("its first page is not a Jet header");
    if (size % kPageSize != 0) damaged("it ends in the middle of a page; it may have been cut short");
    if (size < kMinPages * kPageSize) damaged("it is too short to hold a database");
    if (size > kMaxFileSize) damaged("it is larger than a Jet database can be");
}

}  // namespace engine::jet
