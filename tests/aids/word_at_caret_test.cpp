// The word at the caret: the character after the caret decides.
#include "aids/explain_text.h"

#include <gtest/gtest.h>

namespace {

struct Case {
    const char* text;
    size_t caret;  // characters before the caret
    const char* word;
};

TEST(WordAtCaret, EdgesLanguagesAndPunctuation) {
    const Case cases[] = {
        {"", 0, ""},
        {"hello world", 0, "hello"},   // caret at the start
        {"hello world", 3, "hello"},
        {"hello world", 5, ""},        // the space after the caret
        {"hello world", 6, "world"},
        {"hello world", 10, "world"},
        {"hello world", 11, ""},       // caret at the end: no character after it
        {"hello world", 40, ""},
        {"我爱读书", 0, "我"},         // a Chinese character alone
        {"我爱读书", 3, "书"},
        {"我爱读书", 4, ""},
        {"书，读", 1, "，"},           // a double-byte character is taken alone, punctuation too
        {"don't", 1, "don"},
        {"don't", 4, "t"},
        {"abc123def", 1, "abc"},       // digits separate
        {"abc123def", 6, "def"},
        {"snake_case", 0, "snake"},
        {"a[b]c", 2, "b"},
        {"(run)", 0, ""},
        {"(run)", 2, "run"},
        {"line1\nline2", 6, "line"},
        {"run中文 x", 0, "run中文"},   // Chinese characters are word characters next to letters
        {"a😀b", 0, "a"},              // a character code page 936 lacks separates
        {"a😀b", 2, "b"},
    };
    for (const Case& c : cases) EXPECT_EQ(aids::wordAtCaret(c.text, c.caret), c.word) << c.text << " @" << c.caret;
}

}  // namespace
