// The Jet SQL dialect the store writes, as a syntax tree both backends share.
//
// Accepted: SELECT <*|column list> FROM <table> [WHERE <condition>] [ORDER BY <columns>] [;]
// Names are bare words or [bracketed]; a condition uses parentheses, AND, OR, NOT, the
// comparisons = <> < > <= >=, [NOT] LIKE, IS [NOT] NULL, True, False, Null, numbers and
// '...' or "..." strings (a doubled quote stands for itself). Keywords ignore case.
// Anything else, and a bare string or number used as a condition (as left behind by a
// quote pasted into a pattern), throws engine::Error(QuerySyntax).
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/engine/jet_like.h"
#include "store/engine/value.h"

namespace engine::jetsql {

struct Expr {
    enum class Kind { Column, Literal, Compare, Like, IsNull, And, Or, Not };
    enum class Op { Eq, Ne, Lt, Gt, Le, Ge };

    Kind kind = Kind::Literal;
    std::string column;          // Column: the name as written
    Value literal;               // Literal
    Op op = Op::Eq;              // Compare
    bool negated = false;        // Like: NOT LIKE; IsNull: IS NOT NULL
    std::vector<Expr> operands;  // Compare, Like: left, right; And, Or: left, right; Not, IsNull: one
    std::shared_ptr<const LikePattern> pattern;  // Like with a literal pattern, compiled once
};

struct OrderKey {
    std::string column;
    bool descending = false;
};

struct SelectQuery {
    std::vector<std::string> columns;  // empty for "*"
    std::string table;
    std::optional<Expr> where;
    std::vector<OrderKey> orderBy;
};

SelectQuery parseSelect(std::string_view sql);

// Every column name the query mentions (select list, condition, order), as written.
std::vector<std::string> referencedColumns(const SelectQuery& query);

// Gives a field's value of the current row by name; throws engine::Error(NotFound) for an
// unknown name.
using FieldLookup = std::function<Value(const std::string& name)>;

// Evaluates with SQL's three-valued logic: a comparison with Null is Null; a row passes a
// condition only when it is True.
Value evaluate(const Expr& expr, const FieldLookup& field);
bool rowMatches(const SelectQuery& query, const FieldLookup& field);

// Order of two values as Jet sorts them: Null first, numbers (booleans, dates) by value,
// text by code point with Latin letters folded. Returns <0, 0 or >0.
int compareValues(const Value& a, const Value& b);

}  // namespace engine::jetsql
