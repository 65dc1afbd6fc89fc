// A field or property value as the engine hands it out: Null or one typed value.
#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace engine {

using Bytes = std::vector<uint8_t>;

// DAO field and property types, with DAO's numbers (they are stored in our metadata).
enum class DaoType : int {
    Boolean = 1,
    Byte = 2,
    Integer = 3,
    Long = 4,
    Currency = 5,
    Single = 6,
    Double = 7,
    Date = 8,
    Binary = 9,
    Text = 10,
    LongBinary = 11,
    Memo = 12,
};

// A date as DAO holds it: days since 1899-12-30, the fraction is the time of day.
struct Date {
    double days = 0;
    bool operator==(const Date&) const = default;
};

class Value {
public:
    Value() = default;  // Null
    Value(bool v) : v_(v) {}
    Value(int32_t v) : v_(v) {}
    Value(double v) : v_(v) {}
    Value(Date v) : v_(v) {}
    Value(std::string v) : v_(std::move(v)) {}
    Value(const char* v) : v_(std::string(v)) {}
    Value(Bytes v) : v_(std::move(v)) {}

    bool isNull() const { return std::holds_alternative<std::monostate>(v_); }
    bool isBool() const { return std::holds_alternative<bool>(v_); }
    bool isLong() const { return std::holds_alternative<int32_t>(v_); }
    bool isDouble() const { return std::holds_alternative<double>(v_); }
    bool isDate() const { return std::holds_alternative<Date>(v_); }
    bool isText() const { return std::holds_alternative<std::string>(v_); }
    bool isBytes() const { return std::holds_alternative<Bytes>(v_); }

    // Conversions in the spirit of VB's: numbers and booleans convert into each other
    // (True is -1), text of a number converts to it; anything else throws engine::Error.
    bool toBool() const;
    int32_t toLong() const;
    double toDouble() const;
    Date toDate() const;
    std::string toText() const&;  // UTF-8; numbers as decimal, booleans "True"/"False"
    std::string toText() &&;      // the same, taking the text out of a value about to go
    Bytes toBytes() const&;      // text gives its UTF-8 bytes
    Bytes toBytes() &&;          // the same, taking the bytes out of a value about to go

    bool operator==(const Value&) const = default;

private:
    std::variant<std::monostate, bool, int32_t, double, Date, std::string, Bytes> v_;
};

}  // namespace engine
