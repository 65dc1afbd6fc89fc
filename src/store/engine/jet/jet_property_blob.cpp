#include "store/engine/jet/jet_property_blob.h"

#include <mdbtools.h>

#include <cstring>

namespace engine::jet {

namespace {

uint16_t le16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }
uint32_t le32(const uint8_t* p) { return uint32_t(le16(p)) | uint32_t(le16(p + 2)) << 16; }

// The size a property value of this type must have at least; -1 for types whose
// conversion in libmdb reads outside the property block.
int propertyValueSize(int type) {
    switch (type) {
        case MDB_BOOL:
        case MDB_BYTE: return 1;
        case MDB_INT: return 2;
        case MDB_LONGINT:
        case MDB_COMPLEX:
        case MDB_FLOAT: return 4;
        case MDB_DOUBLE:
        case MDB_DATETIME: return 8;
        case MDB_BINARY:
        case MDB_TEXT:
        case MDB_MEMO:
        case MDB_OLE: return 0;
        default: return -1;
    }
}

// One block of named values. Every record must lie inside the block, name a known name and
// move the walk on: some libmdb versions follow each record's length without any check.
const char* valueBlockFault(const uint8_t* d, size_t n, size_t names) {
    if (n < 6 || 6 + size_t(le16(d + 4)) > n) return "a property block with a bad name";
    for (size_t p = 6 + le16(d + 4); p < n;) {
        if (p + 8 > n) return "a property cut short";
        size_t length = le16(d + p), size = le16(d + p + 6);
        if (length < 8 + size || length > n - p) return "a property of a bad length";
        if (le16(d + p + 4) >= names) return "a property of no name";
        int need = propertyValueSize(d[p + 3]);
        if (need < 0 || size < size_t(need)) return "a property of a bad type";
        p += length;
    }
    return nullptr;
}

// A list of names: each a 16-bit length and that many bytes.
const char* nameBlockFault(const uint8_t* d, size_t n, size_t& names) {
    names = 0;
    for (size_t p = 0; p < n; ++names) {
        if (p + 2 > n || le16(d + p) > n - p - 2) return "a property name of a bad length";
        p += 2 + le16(d + p);
    }
    return nullptr;
}

}  // namespace

const char* propertyBlobFault(const Bytes& b) {
    if (b.empty()) return nullptr;
    if (b.size() < 4 || (std::memcmp(b.data(), "KKD", 4) != 0 && std::memcmp(b.data(), "MR2", 4) != 0))
        return "stored properties of an unknown kind";
    size_t names = 0;
    bool haveNames = false;
    for (size_t pos = 4; pos < b.size();) {
        if (pos + 6 > b.size()) return "stored properties cut short";
        size_t length = le32(b.data() + pos);
        uint16_t type = le16(b.data() + pos + 4);
        if (length < 6 || length > b.size() - pos) return "stored properties of a bad length";
        const uint8_t* d = b.data() + pos + 6;
        size_t n = length - 6;
        const char* fault = nullptr;
        if (type == 0x80) {
            fault = nameBlockFault(d, n, names);
            haveNames = true;
        } else if (type <= 2 && haveNames) {
            fault = valueBlockFault(d, n, names);
        }
        if (fault) return fault;
        pos += length;
    }
    return nullptr;
}

}  // namespace engine::jet
