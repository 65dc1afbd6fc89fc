#include "util/str_op.h"

#include "util/text.h"

namespace {

std::string unescape(std::string part) {
    util::replaceAll(part, "\\\\n", "\r\n");
    util::replaceAll(part, "\\\\t", "\t");
    return part;
}

}  // namespace

void clsStrOP::setSrcRep(const std::string& table) {
    srcRep_ = table;
    rules_.clear();
    for (const auto& raw : util::splitAll(table, "\r\n")) {
        std::string line = util::trimSpaces(raw);
        if (line.empty()) continue;
        size_t at = splitStr_.empty() ? std::string::npos : line.find(splitStr_);
        if (at == std::string::npos)
            rules_.emplace_back(unescape(line), "");
        else
            rules_.emplace_back(unescape(line.substr(0, at)), unescape(line.substr(at + splitStr_.size())));
    }
}

std::string clsStrOP::replaceStrings(const std::string& text) const {
    std::string out = text;
    for (const auto& [find, replace] : rules_) util::replaceAll(out, find, replace);
    return out;
}

int clsStrOP::splitStrR(const std::string& text, const std::string& delimiter, std::vector<std::string>& parts) const {
    parts.clear();
    for (const auto& piece : util::splitAll(text, delimiter)) {
        std::string trimmed = util::trimSpaces(piece);
        if (!trimmed.empty()) parts.push_back(std::move(trimmed));
    }
    return static_cast<int>(parts.size());
}

std::string clsStrOP::InsertStr(const std::string& text, const std::string& insert, const std::string& before) const {
    size_t at = before.empty() ? std::string::npos : text.find(before);
    if (at == std::string::npos) return text + insert;
    return text.substr(0, at) + insert + text.substr(at);
}
