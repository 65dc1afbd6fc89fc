#include "store/engine/sqlite/field_rules.h"

#include <algorithm>
#include <cmath>

#include "store/engine/dao_date.h"
#include "store/engine/jet_like.h"
#include "store/engine/names.h"

namespace engine::sqlite {
namespace {

int32_t inRange(const Value& v, int32_t lo, int32_t hi, bool checkLimits) {
    const int32_t n = v.toLong();
    if (checkLimits && (n < lo || n > hi)) throw Error(ErrorCode::Generic, "Overflow");
    return n;
}

size_t codePoints(const std::string& s) {
    size_t n = 0;
    for (char c : s) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return n;
}

}  // namespace

Value toFieldType(const FieldDef& field, const Value& value, bool checkLimits) {
    if (value.isNull()) return value;
    switch (field.type) {
    case DaoType::Boolean: return Value(value.toBool());
    case DaoType::Byte: return Value(inRange(value, 0, 255, checkLimits));
    case DaoType::Integer: return Value(inRange(value, -32768, 32767, checkLimits));
    case DaoType::Long: return Value(value.toLong());
    case DaoType::Currency:
    case DaoType::Double: return Value(value.toDouble());
    case DaoType::Single: return Value(static_cast<double>(static_cast<float>(value.toDouble())));
    case DaoType::Date: return Value(value.toDate());
    case DaoType::Text:
    case DaoType::Memo: {
        std::string text = value.toText();
        if (checkLimits && field.type == DaoType::Text && field.size > 0 &&
            codePoints(text) > static_cast<size_t>(field.size))
            throw Error(ErrorCode::FieldTooSmall, "The field '" + field.name +
                                                      "' is too small to accept the amount of data you attempted to add");
        if (checkLimits && text.empty() && !field.allowZeroLength)
            throw Error(ErrorCode::Generic, "Field '" + field.name + "' cannot be a zero-length string");
        return Value(std::move(text));
    }
    case DaoType::Binary:
    case DaoType::LongBinary: return Value(value.toBytes());
    }
    return value;
}

Value defaultValue(const FieldDef& field) {
    if (!field.defaultValue || field.defaultValue->empty()) return {};
    const std::string& expr = *field.defaultValue;
    const std::string key = nameKey(expr);
    try {
        if (key == "now()") return toFieldType(field, Value(localNow()), false);
        if (key == "date()") return toFieldType(field, Value(Date{std::floor(localNow().days)}), false);
        if (expr.size() >= 2 && (expr.front() == '"' || expr.front() == '\'') && expr.back() == expr.front()) {
            std::string text;
            for (size_t i = 1; i + 1 < expr.size(); ++i) {
                text += expr[i];
                if (expr[i] == expr.front() && expr[i + 1] == expr.front()) ++i;  // a doubled quote
            }
            return toFieldType(field, Value(text), false);
        }
        if (key == "true" || key == "yes") return toFieldType(field, Value(true), false);
        if (key == "false" || key == "no") return toFieldType(field, Value(false), false);
        return toFieldType(field, Value(Value(expr).toDouble()), false);
    } catch (const Error&) {
        return {};
    }
}

int daoSize(DaoType type, int requested) {
    switch (type) {
    case DaoType::Boolean:
    case DaoType::Byte: return 1;
    case DaoType::Integer: return 2;
    case DaoType::Long:
    case DaoType::Single: return 4;
    case DaoType::Currency:
    case DaoType::Double:
    case DaoType::Date: return 8;
    case DaoType::Text: return requested > 0 && requested <= 255 ? requested : 255;
    case DaoType::Binary: return requested > 0 && requested <= 510 ? requested : 510;
    case DaoType::LongBinary:
    case DaoType::Memo: return 0;
    }
    return 0;
}

std::string sqliteColumnType(DaoType type) {
    switch (type) {
    case DaoType::Boolean:
    case DaoType::Byte:
    case DaoType::Integer:
    case DaoType::Long: return "INTEGER";
    case DaoType::Currency:
    case DaoType::Single:
    case DaoType::Double:
    case DaoType::Date: return "REAL";
    case DaoType::Text:
    case DaoType::Memo: return "TEXT COLLATE NOCASE";
    case DaoType::Binary:
    case DaoType::LongBinary: return "BLOB";
    }
    return "BLOB";
}

bool isLongValue(DaoType type) { return type == DaoType::LongBinary || type == DaoType::Memo; }

Bytes chunkOf(const Value& value, long offset, long length) {
    if (value.isNull() || offset < 0 || length < 0) return {};
    const Bytes all = value.toBytes();
    const size_t from = std::min(all.size(), static_cast<size_t>(offset));
    const size_t n = std::min(all.size() - from, static_cast<size_t>(length));
    return Bytes(all.begin() + from, all.begin() + from + n);
}

}  // namespace engine::sqlite
