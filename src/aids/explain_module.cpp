#include "aids/explain_module.h"

#include "aids/explain_text.h"
#include "store/engine/database.h"
#include "util/file_path.h"
#include "util/path_text.h"
#include "util/text.h"

#include <algorithm>
#include <exception>
#include <optional>

namespace aids {
namespace {

// A field's text, or nothing for Null; a value longer than kMaxValueBytes is cut to them (at
// a character boundary), so that an oversized value costs no more than a long one.
std::optional<std::string> fieldText(const engine::Recordset& table, const char* name) {
    engine::Value value = table.field(name);
    if (value.isNull()) return std::nullopt;
    std::string text = std::move(value).toText();
    if (text.size() > kMaxValueBytes) {
        size_t cut = kMaxValueBytes;
        while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
        text.resize(cut);
    }
    return text;
}

std::string cleanedOrEmpty(const engine::Recordset& table, const char* name) {
    return cleanField(fieldText(table, name).value_or(""));
}

bool isPrintableAscii(const std::string& text) {
    return std::ranges::all_of(text, [](char c) { return c >= 32 && c <= 126; });
}

// Runs a look-up; any failure on the way counts as not found.
template <class Lookup>
std::string quietly(Lookup lookup) {
    try {
        return lookup();
    } catch (const std::exception&) {
        return {};
    }
}

}  // namespace

ExplainModule::ExplainModule() = default;
ExplainModule::~ExplainModule() { closeDictionary(); }

std::string ExplainModule::dictionaryPath(const std::string& explainFolder) {
    const std::string folder = explainFolder.empty() ? util::appPath() + "data" : explainFolder;
    std::string inFolder = util::joinPath(folder, kDictionaryFileName);
    if (clsFilePath().fileExist(inFolder)) return inFolder;
    return util::joinPath(util::appPath(), kDictionaryFileName);
}

bool ExplainModule::openDictionary(const std::string& explainFolder) {
    return openDictionaryFile(dictionaryPath(explainFolder));
}

bool ExplainModule::openDictionaryFile(const std::string& path) {
    closeDictionary();
    if (!clsFilePath().fileExist(path)) return false;
    try {
        db_ = engine::openDatabase(path, {.readOnly = true});
        const auto openIndexed = [this](const char* name) {
            std::unique_ptr<engine::Recordset> table = db_->openTable(name);
            table->setIndex("primaryKey");
            return table;
        };
        ci_ = openIndexed("ci");
        idioms_ = openIndexed("成语");
        hz_ = openIndexed("hz");
        english_ = openIndexed("english");
        return true;
    } catch (const std::exception&) {
        closeDictionary();
        return false;
    }
}

void ExplainModule::closeDictionary() {
    for (auto* table : {&english_, &idioms_, &ci_, &hz_}) {
        if (*table) quietly([&] { (*table)->close(); return std::string(); });
        table->reset();
    }
    if (db_) quietly([&] { db_->close(); return std::string(); });
    db_.reset();
}

bool ExplainModule::seek(engine::Recordset* table, const std::string& key) {
    if (!table || key.empty()) return false;
    try {
        table->seek("=", engine::Value(key));
        return !table->noMatch();
    } catch (const std::exception&) {
        return false;
    }
}

std::string ExplainModule::explain(const std::string& key, int mode) {
    if (!dictionaryOpen() || key.empty() || static_cast<size_t>(clsFilePath::ddStrlen(key)) > kMaxKeyBytes)
        return {};
    const std::string trimmed = util::trimSpaces(key);
    if (trimmed.empty()) return kNoExplain;  // only spaces: an English key that is never found
    if (isPrintableAscii(trimmed)) {
        std::string found = englishLookup(trimmed);
        return found.empty() ? kNoExplain : found;
    }
    const size_t characters = util::utf8Characters(trimmed).size();
    if (characters == 1) return characterLookup(trimmed, mode == kExplainPlain);
    std::string found = characters == 4 ? idiomLookup(trimmed) : wordLookup(trimmed);
    if (found.empty()) found = characters == 4 ? wordLookup(trimmed) : idiomLookup(trimmed);
    return found.empty() ? kNoExplain : found;
}

std::string ExplainModule::englishLookup(const std::string& key) {
    return quietly([&] {
        std::string word = util::trimSpaces(key);
        if (!seek(english_.get(), word)) {
            const std::optional<std::string> stem = englishRetryKey(word);
            if (!stem || !seek(english_.get(), *stem)) return std::string();
        }
        return withoutControlCharacters(fieldText(*english_, "内容").value_or(""));
    });
}

std::string ExplainModule::characterLookup(const std::string& key, bool spellOnly) {
    return quietly([&] {
        const std::string trimmed = util::trimSpaces(key);
        if (trimmed.empty()) return std::string();
        const std::string character(util::utf8Characters(trimmed).front());
        if (!seek(hz_.get(), character)) return std::string();
        std::string result = cleanedOrEmpty(*hz_, "spell");
        if (spellOnly) return result;
        for (const char* name : {"part", "strokes", "oldname", "Content"})
            if (std::optional<std::string> value = fieldText(*hz_, name)) result += ":" + cleanField(*value);
        return result;
    });
}

std::string ExplainModule::wordLookup(const std::string& key) {
    return quietly([&] {
        if (!seek(ci_.get(), util::trimSpaces(key))) return std::string();
        const std::optional<std::string> spell = fieldText(*ci_, "spell");
        const std::optional<std::string> content = fieldText(*ci_, "Content");
        if (!spell || !content) return std::string();
        return cleanField(*spell) + "，" + cleanField(*content);
    });
}

std::string ExplainModule::idiomLookup(const std::string& key) {
    return quietly([&] {
        if (!seek(idioms_.get(), util::trimSpaces(key))) return std::string();
        return "(" + cleanedOrEmpty(*idioms_, "拼音") + ")" + cleanedOrEmpty(*idioms_, "解释");
    });
}

}  // namespace aids
