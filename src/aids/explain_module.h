// ExplainModule: the open Chinese/English dictionary and the look-ups of the word explanation.
//
// The dictionary is a database file "中英字词库.mdb" (SQLite or Jet 4, opened read-only) with
// the tables "hz" (characters: spell, part, strokes, oldname, Content), "ci" (words: spell,
// Content), "成语" (idioms: 拼音, 解释) and "english" (内容), each looked up by an exact seek on
// its index "primaryKey". Nothing here throws or shows anything: a dictionary that is missing
// or unusable stays closed, and a look-up that fails counts as not found.
#pragma once

#include <memory>
#include <string>

namespace engine {
class Database;
class Recordset;
}  // namespace engine

namespace aids {

inline constexpr const char* kDictionaryFileName = "中英字词库.mdb";
inline constexpr const char* kNoExplain = "No explain!";
// Keys longer than this many code page 936 bytes are not looked up.
inline constexpr size_t kMaxKeyBytes = 30;
// Dictionary values longer than this many bytes are read as their first ones.
inline constexpr size_t kMaxValueBytes = 64 * 1024;

// Explanation modes: 0 off, 1 plain tool tip (a character shows its pronunciation only), any
// other value a balloon.
inline constexpr int kExplainOff = 0;
inline constexpr int kExplainPlain = 1;

class ExplainModule {
public:
    ExplainModule();
    ~ExplainModule();
    ExplainModule(const ExplainModule&) = delete;
    ExplainModule& operator=(const ExplainModule&) = delete;

    // The dictionary file: the one in the explain folder (empty: the program folder's "data")
    // when it exists there, else the one in the program folder (which may not exist either).
    static std::string dictionaryPath(const std::string& explainFolder);

    // Opens the dictionary found by dictionaryPath with its four tables; an open one is closed
    // first. False, and closed, when the file is missing or any table or index is unusable.
    bool openDictionary(const std::string& explainFolder);
    // The same for a dictionary file named directly.
    bool openDictionaryFile(const std::string& path);
    void closeDictionary();
    bool dictionaryOpen() const { return db_ != nullptr; }

    // The explanation of a key (the selection, or the word at the caret) in the given mode:
    // "" for an empty key, one longer than kMaxKeyBytes, a closed dictionary, or a single
    // character not in "hz"; kNoExplain when an English, word or idiom key is not found (a key
    // of only spaces is English and never found). Printable ASCII keys are English; a Chinese key of one character is a
    // character, of four an idiom (else a word), of any other length a word (else an idiom).
    std::string explain(const std::string& key, int mode);

    // The single look-ups, each on the key trimmed of spaces; "" when not found.
    // English: 内容 on one line; a key not found ending in "ed", else "s", else "ing" is tried
    // once more without that ending.
    std::string englishLookup(const std::string& key);
    // Character (the first one of the key): spell, then ":part", ":strokes", ":oldname",
    // ":Content" for each that is not Null; spell alone when spellOnly.
    std::string characterLookup(const std::string& key, bool spellOnly);
    // Word: spell "，" Content; not found when either is Null.
    std::string wordLookup(const std::string& key);
    // Idiom: "(" 拼音 ")" 解释, a Null counting as empty.
    std::string idiomLookup(const std::string& key);

private:
    // Positions the table on the key; false when not found or the seek fails.
    static bool seek(engine::Recordset* table, const std::string& key);

    std::unique_ptr<engine::Database> db_;
    std::unique_ptr<engine::Recordset> hz_, ci_, idioms_, english_;
};

}  // namespace aids
