// The byte stream that carries an Image from the reading process to the caller.
//
// Little-endian and length-prefixed: "VJS1", then records of one kind byte each:
// 'T' a table definition with its properties, 'R' one row of the last table, 'Z' the end,
// or 'X' with the reason the reader found the file broken.
// The decoder trusts nothing: every length is checked against what is left, counts against
// fixed limits, and anything out of shape throws Error(ErrorCode::Corrupt).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "store/engine/jet/jet_image.h"

namespace engine::jet {

class StreamWriter {
public:
    StreamWriter();
    void table(const TableDef& def, const std::vector<Property>& properties);
    void row(const std::vector<Value>& values);
    void end();
    void failure(const std::string& why);  // ends the stream: the file is broken

    // The bytes written since the last clear().
    const std::string& bytes() const { return out_; }
    void clear() { out_.clear(); }

private:
    void u8(uint8_t v);
    void u16(uint16_t v);
    void u32(uint32_t v);
    void f64(double v);
    void str(const std::string& s);
    void value(const Value& v);

    std::string out_;
};

// The most a stream for a file of this size may hold; a genuine file's values come nowhere
// near it, a hostile one that makes many rows share one large value is stopped by it.
size_t maxStreamSize(size_t fileSize);

class StreamReader;

// Decodes a stream piece by piece as it arrives, so that it is never held whole.
class StreamDecoder {
public:
    void feed(const uint8_t* data, size_t size);
    Image finish();  // the stream must have ended with 'Z'

private:
    void record(StreamReader& in);

    std::vector<uint8_t> pending_;
    size_t at_ = 0;  // the first byte of pending_ not decoded yet
    bool magic_ = false, ended_ = false;
    Image image_;
};

}  // namespace engine::jet
