// Building the native dictionary "中英字词库.mdb" from free data.
//
// The dictionary is a native (SQLite) database made through the engine, with the four tables
// the explanation reads, each with the unique index "primaryKey" on its first field:
//   "hz"      zi, spell, part, strokes, oldname, Content   single characters
//   "ci"      ci, spell, Content                           words of two or more characters
//   "成语"    成语, 拼音, 解释                             idioms
//   "english" word, 内容                                   English words, explained in Chinese
// An empty text (and 0 strokes) is stored as Null, so that the explanation leaves it out.
//
// Where the rows come from:
//   CC-CEDICT: words (simplified and, where it differs, traditional headwords, pinyin with tone
//     marks, the English glosses); entries marked "(idiom)" become idioms; single characters
//     give their glosses to "hz" and a reading where Unihan has none.
//   Unihan: kMandarin (spell), kRSUnicode through CJKRadicals.txt (part), kTotalStrokes,
//     kTraditionalVariant (oldname), and kDefinition for characters CC-CEDICT does not explain.
//   ECDICT: the words with a frequency, an exam tag, a Collins or an Oxford mark; and, from its
//     "exchange" column, the inflected forms the look-up would not trace back to their word by
//     dropping "ed", "s" or "ing" ("ran", "running", "studies"), explained through that word.
#pragma once

#include "aids/dictionary_sources.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace aids {

// The rows of a dictionary, ready to be written.
struct DictionaryRows {
    struct Character {
        std::string zi, spell, part;
        long strokes = 0;
        std::string oldname, content;
    };
    struct Entry {
        std::string key, spell, content;  // english rows have no spell
    };
    std::vector<Character> hz;
    std::vector<Entry> ci, idioms, english;
};

// Where the work has got to: the stage ("Reading ECDICT", "Writing"), and how many of its
// units (bytes read, rows written) are done of its total.
using BuildProgress = std::function<void(const std::string& stage, uint64_t done, uint64_t total)>;

// The source files, found by name under one folder (symbolic links followed): cedict_ts.u8.js
// (or cedict_ts.u8), ecdict.csv, Unihan_Readings.txt, Unihan_IRGSources.txt and
// Unihan_Variants.txt (each also as .txt.bz2), CJKRadicals.txt.
struct DictionarySources {
    std::string cedict, ecdict, radicals, readings, irgSources, variants;
};
// Throws SourceError naming the files that are missing.
DictionarySources findSources(const std::string& folder);

// The rows made from the sources; throws SourceError for a malformed or truncated file.
DictionaryRows readSources(const DictionarySources& sources, const BuildProgress& progress = {});

// Writes the rows as a new dictionary at `path`, through a temporary file in the same folder
// renamed over `path` at the end, so that a failed build leaves any earlier file as it was.
// Throws (engine::Error, std::runtime_error) on failure, the temporary file removed.
void writeDictionary(const DictionaryRows& rows, const std::string& path, const BuildProgress& progress = {});

// The licence notices of the data, as the LICENSES file beside the dictionary holds them.
extern const char* const kDictionaryLicences;
// Writes kDictionaryLicences to "LICENSES" in the dictionary's folder.
void writeLicences(const std::string& dictionaryPath);

}  // namespace aids
