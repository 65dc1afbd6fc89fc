// The word explanation's dictionary at full size, built from generated rows as many and as long
// as the real build's (so no download is needed): explanation look-ups against plain SQLite
// primary-key selects on the same file, and the size of the built file.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "aids/dictionary_build.h"
#include "aids/dictionary_sources.h"
#include "aids/explain_module.h"
#include "support/bench.h"

namespace {

// Rows and mean lengths (characters) of the real build from CC-CEDICT, Unihan and ECDICT.
constexpr size_t kCharacters = 41503, kWords = 173548, kIdioms = 10142, kEnglish = 67150;
constexpr size_t kCharacterContent = 50, kWordContent = 40, kIdiomContent = 67, kEnglishContent = 24;
constexpr int kLookUps = 10000;

std::string dictionaryPath() { return bench::scratchDir() + "/dictionary.mdb"; }

struct Key {
    const char* table;
    std::string key;
};

std::mt19937 random(20261210);
std::vector<Key> keys;  // kLookUps keys over all four tables, each of them present
std::unique_ptr<aids::ExplainModule> module;
sqlite3* plain = nullptr;
std::map<std::string, sqlite3_stmt*> selects;

std::string hanzi(size_t count) {
    std::uniform_int_distribution<char32_t> han(0x4E00, 0x9FA5);
    std::string text;
    for (size_t i = 0; i < count; ++i) text += aids::utf8Of(han(random));
    return text;
}

std::string letters(size_t count) {
    std::uniform_int_distribution<int> letter('a', 'z');
    std::string text;
    for (size_t i = 0; i < count; ++i) text += char(letter(random));
    return text;
}

std::string glosses(size_t characters) {
    std::string text;
    while (text.size() < characters) text += letters(2 + random() % 8) + (random() % 5 ? " " : "; ");
    return text;
}

// Unique keys made by `make` until there are `count`.
template <class Make>
std::vector<std::string> uniqueKeys(size_t count, Make make) {
    std::set<std::string> made;
    while (made.size() < count) made.insert(make());
    std::vector<std::string> out(made.begin(), made.end());
    std::shuffle(out.begin(), out.end(), random);
    return out;
}

void makeDictionary() {
    aids::DictionaryRows rows;
    // Characters: the unified ideographs, then Extension A and B, as many as the real build has.
    const std::pair<char32_t, char32_t> blocks[] = {{0x4E00, 0x9FFF}, {0x3400, 0x4DBF}, {0x20000, 0x2A6DF}};
    for (const auto& [first, last] : blocks)
        for (char32_t code = first; code <= last && rows.hz.size() < kCharacters; ++code)
            rows.hz.push_back({aids::utf8Of(code), letters(4), hanzi(1), long(1 + random() % 30), hanzi(1),
                               glosses(kCharacterContent)});
    for (const std::string& key : uniqueKeys(kWords, [] { return hanzi(2 + random() % 3); }))
        rows.ci.push_back({key, letters(8), glosses(kWordContent)});
    for (const std::string& key : uniqueKeys(kIdioms, [] { return hanzi(4); }))
        rows.idioms.push_back({key, letters(16), glosses(kIdiomContent)});
    for (const std::string& key : uniqueKeys(kEnglish, [] { return letters(3 + random() % 9); }))
        rows.english.push_back({key, {}, hanzi(kEnglishContent)});
    // The look-ups: as a reader clicks, mostly characters and words.
    for (int i = 0; i < kLookUps; ++i) {
        switch (i % 10) {
        case 0: case 1: case 2: case 3: keys.push_back({"hz", rows.hz[random() % rows.hz.size()].zi}); break;
        case 4: case 5: case 6: keys.push_back({"ci", rows.ci[random() % rows.ci.size()].key}); break;
        case 7: keys.push_back({"成语", rows.idioms[random() % rows.idioms.size()].key}); break;
        default: keys.push_back({"english", rows.english[random() % rows.english.size()].key}); break;
        }
    }
    std::filesystem::remove(dictionaryPath());
    aids::writeDictionary(rows, dictionaryPath());

    module = std::make_unique<aids::ExplainModule>();
    if (!module->openDictionaryFile(dictionaryPath())) throw std::runtime_error("the dictionary does not open");
    if (sqlite3_open_v2(dictionaryPath().c_str(), &plain, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
        throw std::runtime_error("cannot open the dictionary with SQLite");
    const std::pair<const char*, const char*> queries[] = {
        {"hz", "SELECT spell, part, strokes, oldname, Content FROM hz WHERE zi = ?"},
        {"ci", "SELECT spell, Content FROM ci WHERE ci = ?"},
        {"成语", "SELECT 拼音, 解释 FROM 成语 WHERE 成语 = ?"},
        {"english", "SELECT 内容 FROM english WHERE word = ?"},
    };
    for (const auto& [table, sql] : queries)
        if (sqlite3_prepare_v2(plain, sql, -1, &selects[table], nullptr) != SQLITE_OK)
            throw std::runtime_error(std::string("cannot prepare ") + sql);
}

void explainAll() {
    size_t shown = 0;
    for (const Key& k : keys) shown += module->explain(k.key, 2).size();
    benchmark::DoNotOptimize(shown);
}

void selectAll() {
    size_t read = 0;
    for (const Key& k : keys) {
        sqlite3_stmt* q = selects[k.table];
        sqlite3_bind_text(q, 1, k.key.data(), int(k.key.size()), SQLITE_STATIC);
        if (sqlite3_step(q) == SQLITE_ROW)
            for (int c = 0; c < sqlite3_column_count(q); ++c)
                if (const unsigned char* text = sqlite3_column_text(q, c)) read += std::strlen(reinterpret_cast<const char*>(text));
        sqlite3_reset(q);
    }
    benchmark::DoNotOptimize(read);
}

}  // namespace

void registerBenchmarks() {
    bench::pair("explain_lookup", explainAll, selectAll, [] {
        makeDictionary();
        // MiB of the built file against 1.
        bench::figure("dictionary_mb", double(std::filesystem::file_size(dictionaryPath())) / (1 << 20), 1);
    });
}
