#include "store/engine/jet/jet_stream.h"

#include <cstring>

namespace engine::jet {

namespace {

constexpr char kMagic[4] = {'V', 'J', 'S', '1'};
constexpr size_t kMaxFields = 255;     // Jet's own limit on fields per table
constexpr size_t kMaxIndexes = 64;
constexpr size_t kMaxProperties = 1024;
constexpr size_t kMaxTables = 32768;

enum ValueTag : uint8_t { TagNull, TagBool, TagLong, TagDouble, TagDate, TagText, TagBytes };

[[noreturn]] void damaged(const std::string& why) {
    throw Error(ErrorCode::Corrupt, "this file is damaged and cannot be read (" + why + ")");
}

}  // namespace

// Thrown while decoding a stream that has not fully arrived yet.
struct NeedMore {};

class StreamReader {
public:
    StreamReader(const uint8_t* data, size_t size) : begin_(data), p_(data), end_(data + size) {}

    bool atEnd() const { return p_ == end_; }
    size_t consumed() const { return size_t(p_ - begin_); }
    void need(size_t n) const {
        if (static_cast<size_t>(end_ - p_) < n) throw NeedMore{};
    }
    uint8_t u8() {
        need(1);
        return *p_++;
    }
    uint16_t u16() {
        need(2);
        uint16_t v = uint16_t(p_[0] | p_[1] << 8);
        p_ += 2;
        return v;
    }
    uint32_t u32() {
        need(4);
        uint32_t v = uint32_t(p_[0]) | uint32_t(p_[1]) << 8 | uint32_t(p_[2]) << 16 | uint32_t(p_[3]) << 24;
        p_ += 4;
        return v;
    }
    double f64() {
        need(8);
        uint64_t bits = 0;
        for (int i = 7; i >= 0; --i) bits = bits << 8 | p_[i];
        p_ += 8;
        double d;
        std::memcpy(&d, &bits, sizeof d);
        return d;
    }
    std::string str() {
        uint32_t n = u32();
        need(n);
        std::string s(reinterpret_cast<const char*>(p_), n);
        p_ += n;
        return s;
    }
    Bytes bytes() {
        uint32_t n = u32();
        need(n);
        Bytes b(p_, p_ + n);
        p_ += n;
        return b;
    }
    Value value() {
        switch (u8()) {
            case TagNull: return Value();
            case TagBool: return Value(u8() != 0);
            case TagLong: return Value(static_cast<int32_t>(u32()));
            case TagDouble: return Value(f64());
            case TagDate: return Value(Date{f64()});
            case TagText: return Value(str());
            case TagBytes: return Value(bytes());
        }
        damaged("unknown value kind");
    }
    DaoType daoType() {
        uint8_t t = u8();
        if (t < uint8_t(DaoType::Boolean) || t > uint8_t(DaoType::Memo)) damaged("unknown field type");
        return DaoType(t);
    }

private:
    const uint8_t* begin_;
    const uint8_t* p_;
    const uint8_t* end_;
};

namespace {


Table readTable(StreamReader& in) {
    Table t;
    t.def.name = in.str();
    size_t fields = in.u16();
    if (fields == 0 || fields > kMaxFields) damaged("a table with an impossible number of fields");
    for (size_t i = 0; i < fields; ++i) {
        FieldDef f;
        f.name = in.str();
        f.type = in.daoType();
        f.size = static_cast<int32_t>(in.u32());
        f.attributes = static_cast<int32_t>(in.u32());
        uint8_t flags = in.u8();
        f.allowZeroLength = flags & 1;
        if (flags & 2) f.defaultValue = in.str();
        t.def.fields.push_back(std::move(f));
    }
    size_t indexes = in.u16();
    if (indexes > kMaxIndexes) damaged("a table with too many indexes");
    for (size_t i = 0; i < indexes; ++i) {
        IndexDef x;
        x.name = in.str();
        x.fields = in.str();
        uint8_t flags = in.u8();
        x.primary = flags & 1;
        x.unique = flags & 2;
        t.def.indexes.push_back(std::move(x));
    }
    size_t properties = in.u16();
    if (properties > kMaxProperties) damaged("a table with too many properties");
    for (size_t i = 0; i < properties; ++i) {
        Property p;
        p.name = in.str();
        p.type = in.daoType();
        p.value = in.value();
        t.properties.push_back(std::move(p));
    }
    return t;
}

}  // namespace

size_t maxStreamSize(size_t fileSize) { return (size_t(64) << 20) + 4 * fileSize; }

StreamWriter::StreamWriter() { out_.append(kMagic, sizeof kMagic); }

void StreamWriter::u8(uint8_t v) { out_.push_back(char(v)); }
void StreamWriter::u16(uint16_t v) {
    u8(uint8_t(v));
    u8(uint8_t(v >> 8));
}
void StreamWriter::u32(uint32_t v) {
    for (int i = 0; i < 4; ++i) u8(uint8_t(v >> (8 * i)));
}
void StreamWriter::f64(double v) {
    uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    for (int i = 0; i < 8; ++i) u8(uint8_t(bits >> (8 * i)));
}
void StreamWriter::str(const std::string& s) {
    u32(uint32_t(s.size()));
    out_.append(s);
}

void StreamWriter::value(const Value& v) {
    if (v.isNull()) {
        u8(TagNull);
    } else if (v.isBool()) {
        u8(TagBool);
        u8(v.toBool() ? 1 : 0);
    } else if (v.isLong()) {
        u8(TagLong);
        u32(uint32_t(v.toLong()));
    } else if (v.isDouble()) {
        u8(TagDouble);
        f64(v.toDouble());
    } else if (v.isDate()) {
        u8(TagDate);
        f64(v.toDate().days);
    } else if (v.isText()) {
        u8(TagText);
        str(v.toText());
    } else {
        u8(TagBytes);
        Bytes b = v.toBytes();
        u32(uint32_t(b.size()));
        out_.append(reinterpret_cast<const char*>(b.data()), b.size());
    }
}

void StreamWriter::table(const TableDef& def, const std::vector<Property>& properties) {
    u8('T');
    str(def.name);
    u16(uint16_t(def.fields.size()));
    for (const FieldDef& f : def.fields) {
        str(f.name);
        u8(uint8_t(f.type));
        u32(uint32_t(f.size));
        u32(uint32_t(f.attributes));
        u8(uint8_t((f.allowZeroLength ? 1 : 0) | (f.defaultValue ? 2 : 0)));
        if (f.defaultValue) str(*f.defaultValue);
    }
    u16(uint16_t(def.indexes.size()));
    for (const IndexDef& x : def.indexes) {
        str(x.name);
        str(x.fields);
        u8(uint8_t((x.primary ? 1 : 0) | (x.unique ? 2 : 0)));
    }
    u16(uint16_t(properties.size()));
    for (const Property& p : properties) {
        str(p.name);
        u8(uint8_t(p.type));
        value(p.value);
    }
}

void StreamWriter::row(const std::vector<Value>& values) {
    u8('R');
    for (const Value& v : values) value(v);
}

void StreamWriter::end() { u8('Z'); }

void StreamWriter::failure(const std::string& why) {
    u8('X');
    str(why);
}

void StreamDecoder::feed(const uint8_t* data, size_t size) {
    pending_.insert(pending_.end(), data, data + size);
    StreamReader in(pending_.data() + at_, pending_.size() - at_);
    try {
        while (!in.atEnd()) {
            if (ended_) damaged("data after the end");
            if (!magic_) {
                for (char c : kMagic)
                    if (in.u8() != uint8_t(c)) damaged("the reader's output is not recognised");
                magic_ = true;
            } else {
                record(in);
            }
            at_ += in.consumed();
            in = StreamReader(pending_.data() + at_, pending_.size() - at_);
        }
    } catch (const NeedMore&) {
        // the rest of this record comes with the next piece
    }
    if (at_ >= (size_t(1) << 20)) {
        pending_.erase(pending_.begin(), pending_.begin() + long(at_));
        at_ = 0;
    }
}

void StreamDecoder::record(StreamReader& in) {
    switch (in.u8()) {
        case 'T':
            if (image_.tables.size() >= kMaxTables) damaged("too many tables");
            image_.tables.push_back(readTable(in));
            break;
        case 'R': {
            if (image_.tables.empty()) damaged("a row outside any table");
            Table& t = image_.tables.back();
            std::vector<Value> row;
            row.reserve(t.def.fields.size());
            for (size_t i = 0; i < t.def.fields.size(); ++i) row.push_back(in.value());
            t.rows.push_back(std::move(row));
            break;
        }
        case 'Z':
            ended_ = true;
            break;
        case 'X':
            damaged(in.str());
        default:
            damaged("an unknown record");
    }
}

Image StreamDecoder::finish() {
    if (!ended_ || at_ != pending_.size()) damaged("the data ends too early");
    return std::move(image_);
}

}  // namespace engine::jet
