#include "store/engine/jet_sql.h"

#include <cctype>
#include <cstdlib>

#include "store/engine/database.h"

namespace engine::jetsql {
namespace {

[[noreturn]] void syntaxError(const std::string& why, std::string_view sql) {
    throw Error(ErrorCode::QuerySyntax, "Syntax error in query (" + why + "): " + std::string(sql));
}

struct Token {
    enum Kind { Word, Name, Number, String, Symbol, End } kind = End;
    std::string text;  // Word: upper-cased; Name: as written; String: unquoted; Symbol: the operator
};

std::vector<Token> tokenize(std::string_view sql) {
    std::vector<Token> out;
    size_t i = 0;
    auto isWordChar = [](unsigned char c) { return std::isalnum(c) || c == '_' || c >= 0x80; };
    while (i < sql.size()) {
        const unsigned char c = sql[i];
        if (std::isspace(c)) {
            ++i;
        } else if (c == '[') {
            const size_t close = sql.find(']', i + 1);
            if (close == std::string_view::npos || close == i + 1) syntaxError("bracketed name", sql);
            out.push_back({Token::Name, std::string(sql.substr(i + 1, close - i - 1))});
            i = close + 1;
        } else if (c == '\'' || c == '"') {
            std::string s;
            size_t j = i + 1;
            for (;; ++j) {
                if (j >= sql.size()) syntaxError("unterminated string", sql);
                if (sql[j] == static_cast<char>(c)) {
                    if (j + 1 < sql.size() && sql[j + 1] == static_cast<char>(c)) {
                        s += static_cast<char>(c);
                        ++j;
                        continue;
                    }
                    break;
                }
                s += sql[j];
            }
            out.push_back({Token::String, std::move(s)});
            i = j + 1;
        } else if (std::isdigit(c) || (c == '.' && i + 1 < sql.size() && std::isdigit(static_cast<unsigned char>(sql[i + 1])))) {
            size_t j = i;
            while (j < sql.size() && (std::isdigit(static_cast<unsigned char>(sql[j])) || sql[j] == '.')) ++j;
            if (j < sql.size() && isWordChar(static_cast<unsigned char>(sql[j]))) syntaxError("number", sql);
            out.push_back({Token::Number, std::string(sql.substr(i, j - i))});
            i = j;
        } else if (isWordChar(c)) {
            size_t j = i;
            while (j < sql.size() && isWordChar(static_cast<unsigned char>(sql[j]))) ++j;
            std::string w(sql.substr(i, j - i));
            std::string upper = w;
            for (char& ch : upper) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
            static const char* const keywords[] = {"SELECT", "FROM", "WHERE", "AND", "OR", "NOT", "LIKE", "TRUE",
                                                   "FALSE", "NULL", "ORDER", "BY", "ASC", "DESC", "IS"};
            bool keyword = false;
            for (const char* k : keywords) keyword = keyword || upper == k;
            out.push_back(keyword ? Token{Token::Word, upper} : Token{Token::Name, w});
            i = j;
        } else {
            static const char* const twoChar[] = {"<>", "<=", ">="};
            std::string sym(1, static_cast<char>(c));
            for (const char* t : twoChar)
                if (sql.substr(i, 2) == t) sym = t;
            if (std::string_view("(),;=<>*-").find(static_cast<char>(c)) == std::string_view::npos)
                syntaxError(std::string("unexpected '") + static_cast<char>(c) + "'", sql);
            out.push_back({Token::Symbol, sym});
            i += sym.size();
        }
    }
    out.push_back({Token::End, {}});
    return out;
}

bool isCondition(const Expr& e) {
    switch (e.kind) {
    case Expr::Kind::Literal: return e.literal.isBool() || e.literal.isNull();
    default: return true;  // a column may be a Boolean field; everything else yields a truth value
    }
}

class Parser {
public:
    explicit Parser(std::string_view sql) : sql_(sql), tokens_(tokenize(sql)) {}

    SelectQuery parse() {
        SelectQuery q;
        expectWord("SELECT");
        if (symbol("*")) {
            // every column
        } else {
            do q.columns.push_back(name());
            while (symbol(","));
        }
        expectWord("FROM");
        q.table = name();
        if (word("WHERE")) {
            q.where = condition();
        }
        if (word("ORDER")) {
            expectWord("BY");
            do {
                OrderKey k{name()};
                if (word("DESC")) k.descending = true;
                else word("ASC");
                q.orderBy.push_back(std::move(k));
            } while (symbol(","));
        }
        symbol(";");
        if (peek().kind != Token::End) fail("text after the end of the query");
        return q;
    }

private:
    const Token& peek() const { return tokens_[pos_]; }
    [[noreturn]] void fail(const std::string& why) const { syntaxError(why, sql_); }

    bool word(const char* w) {
        if (peek().kind == Token::Word && peek().text == w) {
            ++pos_;
            return true;
        }
        return false;
    }
    bool symbol(const char* s) {
        if (peek().kind == Token::Symbol && peek().text == s) {
            ++pos_;
            return true;
        }
        return false;
    }
    void expectWord(const char* w) {
        if (!word(w)) fail(std::string("expected ") + w);
    }
    std::string name() {
        if (peek().kind != Token::Name) fail("expected a name");
        return tokens_[pos_++].text;
    }

    Expr condition() {
        Expr e = orExpr();
        if (!isCondition(e)) fail("type mismatch: a value where a condition belongs");
        return e;
    }

    Expr logical(Expr::Kind kind, Expr left, Expr right) {
        if (!isCondition(left) || !isCondition(right)) fail("type mismatch: a value where a condition belongs");
        Expr e;
        e.kind = kind;
        e.operands.push_back(std::move(left));
        e.operands.push_back(std::move(right));
        return e;
    }

    Expr orExpr() {
        Expr e = andExpr();
        while (word("OR")) e = logical(Expr::Kind::Or, std::move(e), andExpr());
        return e;
    }
    Expr andExpr() {
        Expr e = notExpr();
        while (word("AND")) e = logical(Expr::Kind::And, std::move(e), notExpr());
        return e;
    }
    Expr notExpr() {
        if (!word("NOT")) return comparison();
        Expr inner = notExpr();
        if (!isCondition(inner)) fail("type mismatch: a value where a condition belongs");
        Expr e;
        e.kind = Expr::Kind::Not;
        e.operands.push_back(std::move(inner));
        return e;
    }

    Expr comparison() {
        Expr left = primary();
        static const std::pair<const char*, Expr::Op> ops[] = {{"=", Expr::Op::Eq}, {"<>", Expr::Op::Ne},
                                                                 {"<=", Expr::Op::Le}, {">=", Expr::Op::Ge},
                                                                 {"<", Expr::Op::Lt},  {">", Expr::Op::Gt}};
        for (const auto& [sym, op] : ops)
            if (symbol(sym)) {
                Expr e;
                e.kind = Expr::Kind::Compare;
                e.op = op;
                e.operands.push_back(std::move(left));
                e.operands.push_back(primary());
                return e;
            }
        if (word("IS")) {
            Expr e;
            e.kind = Expr::Kind::IsNull;
            e.negated = word("NOT");
            expectWord("NULL");
            e.operands.push_back(std::move(left));
            return e;
        }
        const bool negated = peek().kind == Token::Word && peek().text == "NOT" &&
                             tokens_[pos_ + 1].kind == Token::Word && tokens_[pos_ + 1].text == "LIKE";
        if (negated) ++pos_;
        if (word("LIKE")) {
            Expr e;
            e.kind = Expr::Kind::Like;
            e.negated = negated;
            Expr pattern = primary();
            if (pattern.kind == Expr::Kind::Literal) {
                if (!pattern.literal.isText()) fail("type mismatch: LIKE needs a text pattern");
                e.pattern = std::make_shared<LikePattern>(pattern.literal.toText());
            }
            e.operands.push_back(std::move(left));
            e.operands.push_back(std::move(pattern));
            return e;
        }
        return left;
    }

    Expr primary() {
        Expr e;
        const Token& t = peek();
        if (symbol("(")) {
            e = orExpr();
            if (!symbol(")")) fail("expected ')'");
            return e;
        }
        if (t.kind == Token::Name) {
            e.kind = Expr::Kind::Column;
            e.column = name();
            return e;
        }
        e.kind = Expr::Kind::Literal;
        bool negative = symbol("-");
        const Token& v = peek();
        if (v.kind == Token::Number) {
            ++pos_;
            const bool integral = v.text.find('.') == std::string::npos;
            const double d = std::strtod(v.text.c_str(), nullptr) * (negative ? -1 : 1);
            if (integral && d >= -2147483648.0 && d <= 2147483647.0) e.literal = Value(static_cast<int32_t>(d));
            else e.literal = Value(d);
            return e;
        }
        if (negative) fail("expected a number after '-'");
        if (v.kind == Token::String) e.literal = Value(v.text);
        else if (v.kind == Token::Word && v.text == "TRUE") e.literal = Value(true);
        else if (v.kind == Token::Word && v.text == "FALSE") e.literal = Value(false);
        else if (v.kind == Token::Word && v.text == "NULL") e.literal = Value();
        else fail(v.kind == Token::End ? "unexpected end" : "unexpected '" + v.text + "'");
        ++pos_;
        return e;
    }

    std::string_view sql_;
    std::vector<Token> tokens_;
    size_t pos_ = 0;
};

void collectColumns(const Expr& e, std::vector<std::string>& out) {
    if (e.kind == Expr::Kind::Column) out.push_back(e.column);
    for (const Expr& o : e.operands) collectColumns(o, out);
}

// A condition's truth: Null stays unknown; numbers are true when not zero.
std::optional<bool> truth(const Value& v) {
    if (v.isNull()) return std::nullopt;
    if (v.isText() || v.isBytes()) throw Error(ErrorCode::QuerySyntax, "Data type mismatch in criteria expression");
    return v.toBool();
}

bool isNumeric(const Value& v) { return v.isBool() || v.isLong() || v.isDouble() || v.isDate(); }

int compareText(const std::string& a, const std::string& b) {
    const std::vector<char32_t> x = decodeUtf8(a), y = decodeUtf8(b);
    for (size_t i = 0; i < x.size() && i < y.size(); ++i) {
        const char32_t p = foldLatin(x[i]), q = foldLatin(y[i]);
        if (p != q) return p < q ? -1 : 1;
    }
    return x.size() == y.size() ? 0 : x.size() < y.size() ? -1 : 1;
}

}  // namespace

SelectQuery parseSelect(std::string_view sql) { return Parser(sql).parse(); }

std::vector<std::string> referencedColumns(const SelectQuery& query) {
    std::vector<std::string> out = query.columns;
    if (query.where) collectColumns(*query.where, out);
    for (const OrderKey& k : query.orderBy) out.push_back(k.column);
    return out;
}

int compareValues(const Value& a, const Value& b) {
    if (a.isNull() || b.isNull()) return a.isNull() == b.isNull() ? 0 : a.isNull() ? -1 : 1;
    if (isNumeric(a) && isNumeric(b)) {
        const double x = a.toDouble(), y = b.toDouble();
        return x < y ? -1 : x > y ? 1 : 0;
    }
    if (a.isBytes() && b.isBytes()) {
        const Bytes x = a.toBytes(), y = b.toBytes();
        return x < y ? -1 : x > y ? 1 : 0;
    }
    return compareText(a.toText(), b.toText());
}

Value evaluate(const Expr& e, const FieldLookup& field) {
    switch (e.kind) {
    case Expr::Kind::Column: return field(e.column);
    case Expr::Kind::Literal: return e.literal;
    case Expr::Kind::Compare: {
        const Value a = evaluate(e.operands[0], field), b = evaluate(e.operands[1], field);
        if (a.isNull() || b.isNull()) return {};
        const int c = compareValues(a, b);
        switch (e.op) {
        case Expr::Op::Eq: return c == 0;
        case Expr::Op::Ne: return c != 0;
        case Expr::Op::Lt: return c < 0;
        case Expr::Op::Gt: return c > 0;
        case Expr::Op::Le: return c <= 0;
        case Expr::Op::Ge: return c >= 0;
        }
        return {};
    }
    case Expr::Kind::Like: {
        const Value text = evaluate(e.operands[0], field);
        if (text.isNull()) return {};
        if (e.pattern) return e.pattern->matches(text.toText()) != e.negated;
        const Value pattern = evaluate(e.operands[1], field);
        if (pattern.isNull()) return {};
        return LikePattern(pattern.toText()).matches(text.toText()) != e.negated;
    }
    case Expr::Kind::IsNull: return evaluate(e.operands[0], field).isNull() != e.negated;
    case Expr::Kind::Not: {
        const std::optional<bool> v = truth(evaluate(e.operands[0], field));
        return v ? Value(!*v) : Value();
    }
    case Expr::Kind::And:
    case Expr::Kind::Or: {
        const bool isAnd = e.kind == Expr::Kind::And;
        const std::optional<bool> a = truth(evaluate(e.operands[0], field));
        if (a && *a != isAnd) return !isAnd;  // false AND x, true OR x
        const std::optional<bool> b = truth(evaluate(e.operands[1], field));
        if (b && *b != isAnd) return !isAnd;
        if (!a || !b) return {};
        return isAnd;
    }
    }
    return {};
}

bool rowMatches(const SelectQuery& query, const FieldLookup& field) {
    if (!query.where) return true;
    const std::optional<bool> t = truth(evaluate(*query.where, field));
    return t.value_or(false);
}

}  // namespace engine::jetsql
