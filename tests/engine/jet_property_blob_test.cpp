#include <gtest/gtest.h>

#include <string>

#include "store/engine/jet/jet_property_blob.h"

namespace {

using engine::Bytes;

void put16(Bytes& b, size_t v) {
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}
void put32(Bytes& b, size_t v) {
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}

// A block: its 32-bit length (header included), its type, then the body.
Bytes block(uint16_t type, const Bytes& body, long lengthChange = 0) {
    Bytes b;
    put32(b, size_t(long(body.size() + 6) + lengthChange));
    put16(b, type);
    b.insert(b.end(), body.begin(), body.end());
    return b;
}

Bytes names() {
    Bytes body;
    put16(body, 2);  // "ID" in UTF-16 would be 4 bytes; any bytes do
    body.push_back('I');
    body.push_back('D');
    return block(0x80, body);
}

// A values block with one Long value for name 0; `recordLength` as stored.
Bytes values(size_t recordLength) {
    Bytes body;
    put32(body, 0);   // block length word, not used
    put16(body, 0);   // no block name
    put16(body, recordLength);
    body.push_back(0);
    body.push_back(4);  // Long
    put16(body, 0);     // name 0
    put16(body, 4);     // value size
    put32(body, 2018);
    return block(0, body);
}

Bytes blob(std::initializer_list<Bytes> blocks) {
    Bytes b = {'K', 'K', 'D', 0};
    for (const Bytes& x : blocks) b.insert(b.end(), x.begin(), x.end());
    return b;
}

TEST(JetPropertyBlob, RefusesWhatLibmdbWouldLoopOrOverreadOn) {
    EXPECT_EQ(engine::jet::propertyBlobFault({}), nullptr);
    EXPECT_EQ(engine::jet::propertyBlobFault(blob({names(), values(12)})), nullptr);
    const Bytes faulty[] = {
        blob({names(), values(0)}),                    // a value record of length zero
        blob({names(), block(0, Bytes(3, 0))}),        // a values block too short for its header
        blob({block(0x80, {}, -6)}),                   // a block of length zero
        blob({block(0x80, {0xFF, 0x7F, 'x'})}),        // a name longer than its block
        blob({names(), block(0, Bytes(10, 0), 100)}),  // a block longer than the blob
        Bytes{'A', 'B', 'C', 0, 1, 2},                 // not a property blob at all
    };
    for (const Bytes& b : faulty) EXPECT_NE(engine::jet::propertyBlobFault(b), nullptr);
}

}  // namespace
