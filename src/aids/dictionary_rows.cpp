// The rows of the dictionary, made from CC-CEDICT, Unihan and ECDICT.
#include "aids/dictionary_build.h"

#include "aids/explain_text.h"
#include "aids/pinyin.h"
#include "util/text.h"

#include <algorithm>
#include <map>
#include <set>
#include <unordered_map>

namespace aids {
namespace {

// Keys longer than this many characters are never looked up (the key limit is 30 bytes).
constexpr size_t kMaxKeyCharacters = 30;

size_t characterCount(std::string_view text) { return util::utf8Characters(text).size(); }

std::string joined(const std::vector<std::string>& parts, std::string_view separator) {
    std::string out;
    for (const std::string& part : parts) out += (out.empty() ? "" : std::string(separator)) + part;
    return out;
}

// The first code point of UTF-8 text.
char32_t firstCodePoint(std::string_view text) {
    const auto c = [&](size_t i) { return char32_t(static_cast<unsigned char>(text[i])); };
    if (text.empty()) return 0;
    if (c(0) < 0x80) return c(0);
    if ((c(0) & 0xE0) == 0xC0 && text.size() >= 2) return ((c(0) & 0x1F) << 6) | (c(1) & 0x3F);
    if ((c(0) & 0xF0) == 0xE0 && text.size() >= 3) return ((c(0) & 0x0F) << 12) | ((c(1) & 0x3F) << 6) | (c(2) & 0x3F);
    if ((c(0) & 0xF8) == 0xF0 && text.size() >= 4)
        return ((c(0) & 0x07) << 18) | ((c(1) & 0x3F) << 12) | ((c(2) & 0x3F) << 6) | (c(3) & 0x3F);
    return 0;
}

// One headword's readings, each with its glosses, in the order the file gives them.
struct Readings {
    std::vector<std::pair<std::string, std::vector<std::string>>> byReading;

    void add(const std::string& reading, const std::vector<std::string>& glosses) {
        auto found = std::ranges::find(byReading, reading, &std::pair<std::string, std::vector<std::string>>::first);
        if (found == byReading.end()) found = byReading.insert(byReading.end(), {reading, {}});
        for (const std::string& gloss : glosses)
            if (std::ranges::find(found->second, gloss) == found->second.end()) found->second.push_back(gloss);
    }
    std::string spell() const {
        std::vector<std::string> spells;
        for (const auto& [reading, glosses] : byReading) spells.push_back(reading);
        return joined(spells, " / ");
    }
    // One reading: its glosses; several: each reading's glosses after it in brackets.
    std::string content() const {
        if (byReading.size() == 1) return joined(byReading.front().second, "; ");
        std::vector<std::string> parts;
        for (const auto& [reading, glosses] : byReading) parts.push_back("[" + reading + "] " + joined(glosses, "; "));
        return joined(parts, " ");
    }
};

// Glosses of an idiom without the "(idiom)" mark.
std::vector<std::string> withoutIdiomMark(const std::vector<std::string>& glosses) {
    std::vector<std::string> out;
    for (std::string gloss : glosses) {
        for (const char* mark : {" (idiom)", "(idiom) ", "(idiom)"}) util::replaceAll(gloss, mark, "");
        gloss = util::trimSpaces(gloss);
        if (!gloss.empty()) out.push_back(gloss);
    }
    return out;
}

bool isIdiom(const std::vector<std::string>& glosses) {
    return std::ranges::any_of(glosses, [](const std::string& g) { return g.find("(idiom)") != std::string::npos; });
}

// What Unihan says of one character.
struct UnihanCharacter {
    std::string mandarin, definition, radical, traditional;
    long strokes = 0;
};

// The first of the space-separated values of a Unihan field.
std::string_view firstValue(std::string_view value) { return value.substr(0, value.find(' ')); }

std::string radicalOf(std::string_view rsUnicode, const std::map<std::string, char32_t>& radicals) {
    std::string number(firstValue(rsUnicode).substr(0, firstValue(rsUnicode).find('.')));
    auto found = radicals.find(number);
    if (found == radicals.end()) found = radicals.find(number.substr(0, number.find('\'')));
    return found == radicals.end() ? std::string() : utf8Of(found->second);
}

// The names ECDICT's exchange column gives the inflected forms, in Chinese.
const std::map<std::string, std::string> kInflections = {
    {"p", "过去式"}, {"d", "过去分词"}, {"i", "现在分词"}, {"3", "第三人称单数"},
    {"r", "比较级"}, {"t", "最高级"}, {"s", "复数"},
};

// ECDICT's translation keeps its line breaks as the two characters "\n": one line here.
std::string translationText(std::string text) {
    util::replaceAll(text, "\\r", "");
    util::replaceAll(text, "\\n", " ");
    return util::trimSpaces(text);
}

struct Inflected {
    std::string form, word;
    std::vector<std::string> kinds;
};

class RowMaker {
public:
    RowMaker(const DictionarySources& sources, const BuildProgress& progress) : sources_(sources), progress_(progress) {}

    DictionaryRows make() {
        readCedictEntries();
        readUnihanFiles();
        readEcdictRows();
        DictionaryRows rows;
        makeCharacters(rows);
        for (auto& [key, readings] : words_) rows.ci.push_back({key, readings.spell(), readings.content()});
        for (auto& [key, readings] : idioms_) rows.idioms.push_back({key, readings.spell(), readings.content()});
        rows.english = std::move(english_);
        return rows;
    }

private:
    SourceProgress stage(const std::string& name) const {
        return [this, name](uint64_t done, uint64_t total) {
            if (progress_) progress_(name, done, total);
        };
    }

    void readCedictEntries() {
        readCedict(sources_.cedict, [this](CedictEntry&& e) { addCedict(e); }, stage("Reading CC-CEDICT"));
    }

    void addCedict(const CedictEntry& e) {
        std::vector<std::string> keys{e.simplified};
        if (e.traditional != e.simplified) keys.push_back(e.traditional);
        const size_t length = characterCount(e.simplified);
        if (length == 1) {
            for (const std::string& key : keys)
                if (characterCount(key) == 1) characters_[firstCodePoint(key)].add(markedPinyinSpaced(e.pinyin), e.glosses);
            return;
        }
        if (length > kMaxKeyCharacters) return;
        const bool idiom = isIdiom(e.glosses);
        std::map<std::string, Readings>& table = idiom ? idioms_ : words_;
        const std::string spell = idiom ? markedPinyinSpaced(e.pinyin) : markedPinyinJoined(e.pinyin);
        const std::vector<std::string> glosses = idiom ? withoutIdiomMark(e.glosses) : e.glosses;
        for (const std::string& key : keys) table[key].add(spell, glosses);
    }

    void readUnihanFiles() {
        const auto onValue = [this](char32_t code, const std::string& field, const std::string& value) {
            UnihanCharacter& c = unihan_[code];
            if (field == "kMandarin") c.mandarin = value;
            else if (field == "kDefinition") c.definition = value;
            else if (field == "kRSUnicode") c.radical = radicalOf(value, radicals_);
            else if (field == "kTotalStrokes") c.strokes = std::strtol(std::string(firstValue(value)).c_str(), nullptr, 10);
            else if (field == "kTraditionalVariant") c.traditional = traditionalForms(code, value);
        };
        radicals_ = readCjkRadicals(sources_.radicals);
        readUnihan(sources_.readings, {"kMandarin", "kDefinition"}, onValue, stage("Reading Unihan readings"));
        readUnihan(sources_.irgSources, {"kRSUnicode", "kTotalStrokes"}, onValue, stage("Reading Unihan radicals"));
        readUnihan(sources_.variants, {"kTraditionalVariant"}, onValue, stage("Reading Unihan variants"));
    }

    // The traditional forms other than the character itself.
    static std::string traditionalForms(char32_t code, std::string_view value) {
        std::string out;
        size_t at = 0;
        while (at < value.size()) {
            const size_t end = std::min(value.find(' ', at), value.size());
            const std::string_view item = value.substr(at, end - at);
            at = end + 1;
            if (item.size() < 3 || item.substr(0, 2) != "U+") continue;
            const char32_t form = char32_t(std::strtoul(std::string(item.substr(2)).c_str(), nullptr, 16));
            if (form != code) out += utf8Of(form);
        }
        return out;
    }

    void makeCharacters(DictionaryRows& rows) {
        std::set<char32_t> codes;
        for (const auto& [code, c] : unihan_)
            if (!c.mandarin.empty()) codes.insert(code);
        for (const auto& [code, readings] : characters_) codes.insert(code);
        for (char32_t code : codes) {
            const std::string zi = utf8Of(code);
            if (zi.empty() || code < 0x80) continue;
            const auto u = unihan_.find(code);
            const auto r = characters_.find(code);
            const UnihanCharacter none;
            const UnihanCharacter& c = u == unihan_.end() ? none : u->second;
            DictionaryRows::Character row{zi, c.mandarin, c.radical, c.strokes, c.traditional, c.definition};
            if (r != characters_.end()) {
                if (row.spell.empty()) row.spell = r->second.spell();
                row.content = r->second.content();
            }
            rows.hz.push_back(std::move(row));
        }
    }

    void readEcdictRows() {
        std::map<std::string, size_t> rowOf;  // lower-case word: its place in english_
        std::map<std::string, Inflected> inflected;
        readEcdict(
            sources_.ecdict,
            [&](EcdictRow&& row) {
                const bool marked = row.frq > 0 || row.bnc > 0 || !row.tag.empty() || row.collins > 0 || row.oxford > 0;
                const std::string translation = translationText(row.translation);
                if (!marked || translation.empty() || row.word.empty() || row.word.size() > 30) return;
                const std::string lower = util::asciiLower(row.word);
                if (rowOf.contains(lower)) return;
                rowOf[lower] = english_.size();
                english_.push_back({row.word, {}, translation});
                noteInflections(row, inflected);
            },
            stage("Reading ECDICT"));
        for (auto& [lower, form] : inflected) {
            const auto word = rowOf.find(util::asciiLower(form.word));
            if (rowOf.contains(lower) || word == rowOf.end()) continue;
            english_.push_back(
                {form.form, {}, form.word + " 的" + joined(form.kinds, "、") + "：" + english_[word->second].content});
        }
    }

    // The forms of the exchange column that dropping "ed", "s" or "ing" would not lead back to
    // the word.
    static void noteInflections(const EcdictRow& row, std::map<std::string, Inflected>& inflected) {
        for (std::string_view item : util::splitAll(row.exchange, "/")) {
            const size_t colon = item.find(':');
            if (colon == std::string_view::npos) continue;
            const auto kind = kInflections.find(std::string(item.substr(0, colon)));
            const std::string form(item.substr(colon + 1));
            if (kind == kInflections.end() || form.empty() || form.size() > 30 || form.find(' ') != std::string::npos)
                continue;
            const std::optional<std::string> retried = englishRetryKey(form);
            if (util::asciiLower(form) == util::asciiLower(row.word) ||
                (retried && util::asciiLower(*retried) == util::asciiLower(row.word)))
                continue;
            Inflected& entry = inflected[util::asciiLower(form)];
            if (entry.word.empty()) entry = {form, row.word, {}};
            if (entry.word == row.word && std::ranges::find(entry.kinds, kind->second) == entry.kinds.end())
                entry.kinds.push_back(kind->second);
        }
    }

    const DictionarySources& sources_;
    const BuildProgress& progress_;
    std::map<std::string, char32_t> radicals_;
    std::unordered_map<char32_t, UnihanCharacter> unihan_;
    std::map<char32_t, Readings> characters_;
    std::map<std::string, Readings> words_, idioms_;
    std::vector<DictionaryRows::Entry> english_;
};

}  // namespace

DictionaryRows readSources(const DictionarySources& sources, const BuildProgress& progress) {
    return RowMaker(sources, progress).make();
}

}  // namespace aids
