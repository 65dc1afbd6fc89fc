// Value conversions in the manner of VB's.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "engine/library_fixture.h"
#include "store/engine/dao_date.h"

namespace {

using engine::Date;
using engine::ErrorCode;
using engine::Value;
using engine_test::errorOf;

TEST(Value, ConvertsAsVbDoes) {
    EXPECT_EQ(Value(true).toLong(), -1);
    EXPECT_EQ(Value(false).toDouble(), 0);
    EXPECT_TRUE(Value(-1).toBool());
    EXPECT_TRUE(Value("true").toBool());
    EXPECT_FALSE(Value("0").toBool());
    EXPECT_EQ(Value(" 42 ").toLong(), 42);
    EXPECT_EQ(Value(2.5).toLong(), 2);  // halves round to even
    EXPECT_EQ(Value(3.5).toLong(), 4);
    EXPECT_EQ(Value(-1).toText(), "-1");
    EXPECT_EQ(Value(true).toText(), "True");
    EXPECT_EQ(Value(0.25).toText(), "0.25");
    EXPECT_EQ(Value("ab").toBytes(), (engine::Bytes{'a', 'b'}));
    EXPECT_EQ(Value(Date{45658.5}).toText(), "2025-01-01 12:00:00");
    EXPECT_EQ(Value("2025-01-01 12:00:00").toDate(), Date{45658.5});
    EXPECT_EQ(Value("2025/1/1").toDate(), Date{45658});
    EXPECT_EQ(Value(Date{2}).toText(), "1900-01-01");
    EXPECT_GT(engine::localNow().days, 45000);
}

TEST(Value, RefusesWhatVbRefuses) {
    const std::pair<const char*, std::function<void()>> cases[] = {
        {"Null to Long", [] { Value().toLong(); }},
        {"Null to text", [] { Value().toText(); }},
        {"text to Long", [] { Value("abc").toLong(); }},
        {"too large", [] { Value(3e9).toLong(); }},
        {"not a number", [] { Value(std::nan("")).toLong(); }},
        {"bytes to Long", [] { Value(engine::Bytes{1}).toLong(); }},
        {"Long to bytes", [] { Value(1).toBytes(); }},
    };
    for (const auto& [what, f] : cases) EXPECT_EQ(errorOf(f), ErrorCode::Generic) << what;
}

}  // namespace
