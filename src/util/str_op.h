// clsStrOP: a user-written table of text replacements applied to texts, and splitting texts
// into trimmed parts.
//
// The table has one rule per line (lines separated by CR LF, each trimmed, empty ones
// skipped): the find part, the separator (splitStr, "\#/" by default), the replace part. A line
// without the separator deletes its find part. In both parts "\\n" stands for CR LF and "\\t"
// for a tab. Rules apply in table order, each to the result of the ones before.
#pragma once

#include <string>
#include <utility>
#include <vector>

class clsStrOP {
public:
    const std::string& splitStr() const { return splitStr_; }
    void setSplitStr(const std::string& separator) { splitStr_ = separator; }

    const std::string& srcRep() const { return srcRep_; }
    // Stores the table and parses it into rules at once (with the current separator).
    void setSrcRep(const std::string& table);

    // The number of parsed rules, as decimal text.
    std::string findRepStrRow() const { return std::to_string(rules_.size()); }

    // Applies every rule: all occurrences of the find part (exact, case-sensitive) become the
    // replace part. An empty find part changes nothing.
    std::string replaceStrings(const std::string& text) const;

    // Splits the text at every delimiter, trims each piece (spaces) and keeps the non-empty ones
    // in order; returns their number. An empty delimiter gives the whole trimmed text.
    int splitStrR(const std::string& text, const std::string& delimiter, std::vector<std::string>& parts) const;

    // The text with `insert` put before the first occurrence of `before` (at the end when
    // `before` does not occur or is empty).
    std::string InsertStr(const std::string& text, const std::string& insert, const std::string& before) const;

private:
    std::string splitStr_ = "\\#/";
    std::string srcRep_;
    std::vector<std::pair<std::string, std::string>> rules_;
};
