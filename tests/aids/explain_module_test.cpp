// The dictionary look-ups on the Jet fixture dictionary and on native dictionaries made here.
#include "aids/explain_module.h"
#include "aids/explain_text.h"
#include "dictionary_fixture.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

using aids::ExplainModule;
using aids::kNoExplain;
using aids_test::Row;
using engine::Value;
using testing_support::TempDir;

// The program folder is a temporary one, so that no dictionary beside the test binary counts.
class ProgramFolder {
public:
    ProgramFolder() { setenv("VYNE_HOME", dir.path().c_str(), 1); }
    ~ProgramFolder() { unsetenv("VYNE_HOME"); }
    TempDir dir;
};

class JetDictionary : public ::testing::Test {
protected:
    void SetUp() override {
        aids_test::copyJetDictionary(folder.path());
        ASSERT_TRUE(module.openDictionary(folder.path()));
    }
    ProgramFolder home;
    TempDir folder;
    ExplainModule module;
};

struct Case {
    const char* key;
    int mode;
    const char* expected;
};

TEST_F(JetDictionary, ExplainsEachKindOfKeyInEachMode) {
    const std::string fifteen = "中国人大小山水火木日月书学马门";
    const Case cases[] = {
        // characters: pronunciation, then radical, strokes, traditional form, explanation
        {"书", 2, "shū:乙:4:書:book; letter; to write"},
        {"书", 1, "shū"},
        {"走", 2, "zǒu:走:7:to walk; to go; to leave"},  // Null oldname left out
        {" 走 ", 2, "zǒu:走:7:to walk; to go; to leave"},
        {"我", 2, ""},  // not in "hz": nothing, not even "No explain!"
        {"我", 1, ""},
        // words and idioms, each falling back to the other
        {"中国", 2, "Zhōngguó，China"},
        {"图书馆", 1, "túshūguǎn，library"},
        {"画蛇添足", 2, "(huà shé tiān zú)to draw legs on a snake: to ruin something by adding what is superfluous"},
        {"胸有成竹", 2, "()"},  // both fields Null
        {"你好", 2, kNoExplain},
        {"四个汉字", 2, kNoExplain},
        // English, one line, with the single retry without an ending
        {"run", 2, "v.跑；奔跑n.跑步"},
        {"walked", 2, "走；步行"},
        {"cats", 2, "猫"},
        {"passed", 2, "通过"},
        {"running", 2, kNoExplain},  // tried as "runn" only
        {"goes", 2, kNoExplain},     // tried as "goe"
        {"s", 2, kNoExplain},
        {"walk fast", 2, kNoExplain},  // printable ASCII: one English key
        {"zzz", 1, kNoExplain},
        {"Walk", 2, "走；步行"},
        // keys that are not looked up
        {"", 2, ""},
        // only spaces: printable ASCII, so English, and never found
        {"   ", 2, kNoExplain},
        {" ", 1, kNoExplain},
    };
    for (const Case& c : cases) EXPECT_EQ(module.explain(c.key, c.mode), c.expected) << c.key << " mode " << c.mode;

    EXPECT_EQ(module.explain(fifteen, 2), kNoExplain) << "30 bytes are looked up";
    EXPECT_EQ(module.explain(fifteen + "龙", 2), "") << "32 bytes are not";
}

TEST_F(JetDictionary, ClosedDictionaryExplainsNothing) {
    module.closeDictionary();
    EXPECT_FALSE(module.dictionaryOpen());
    EXPECT_EQ(module.explain("书", 2), "");
    EXPECT_EQ(module.explain("zzz", 2), "");
    EXPECT_EQ(module.englishLookup("walk"), "");
}

TEST(DictionaryFile, FoundInTheExplainFolderElseTheProgramFolder) {
    ProgramFolder home;
    TempDir explainFolder;
    ExplainModule module;

    EXPECT_FALSE(module.openDictionary(explainFolder.path())) << "no dictionary anywhere";
    EXPECT_EQ(module.explain("书", 2), "");

    aids_test::copyJetDictionary(home.dir.path());
    EXPECT_EQ(ExplainModule::dictionaryPath(explainFolder.path()), aids_test::dictionaryIn(home.dir.path()));
    ASSERT_TRUE(module.openDictionary(explainFolder.path()));
    EXPECT_EQ(module.explain("cat", 2), "猫");

    std::filesystem::create_directory(home.dir.file("data"));
    aids_test::createNativeDictionary(home.dir.file("data"), {{"english", {"cat", "data cat"}}});
    EXPECT_EQ(ExplainModule::dictionaryPath(""), aids_test::dictionaryIn(home.dir.file("data")))
        << "no folder set: the program folder's data folder";
    ASSERT_TRUE(module.openDictionary(""));
    EXPECT_EQ(module.explain("cat", 2), "data cat");

    aids_test::createNativeDictionary(explainFolder.path(), {{"english", {"cat", "native cat"}}});
    EXPECT_EQ(ExplainModule::dictionaryPath(explainFolder.path()), aids_test::dictionaryIn(explainFolder.path()));
    ASSERT_TRUE(module.openDictionary(explainFolder.path()));
    EXPECT_EQ(module.explain("cat", 2), "native cat");
}

TEST(DictionaryFile, UnusableFilesLeaveTheDictionaryClosed) {
    ProgramFolder home;
    TempDir folder;
    ExplainModule module;

    testing_support::writeFile(aids_test::dictionaryIn(folder.path()), "not a database at all");
    EXPECT_FALSE(module.openDictionary(folder.path()));
    EXPECT_FALSE(module.dictionaryOpen());

    // A database without the idiom table is no dictionary either.
    std::filesystem::remove(aids_test::dictionaryIn(folder.path()));
    auto db = engine::createDatabase(aids_test::dictionaryIn(folder.path()), ";LANGID=0x0804;CP=936;COUNTRY=0", 64);
    for (const char* name : {"hz", "ci", "english"})
        db->createTable({name, {aids_test::field("k", engine::DaoType::Text, 50)}, {{"primaryKey", "+k", true, true}}});
    db->close();
    EXPECT_FALSE(module.openDictionary(folder.path()));
    EXPECT_EQ(module.explain("k", 2), "");
}

// A dictionary is a file from outside: whatever it holds, a look-up ends, quietly and soon.
TEST(DictionaryFile, DamagedOrOddDictionariesNeverCrashOrFreeze) {
    ProgramFolder home;
    const auto jetBytes = [] { return testing_support::readFile(testing_support::jetFixturePath("dictionary.mdb")); };
    const auto nativeBytes = [](const std::vector<Row>& rows) {
        TempDir made;
        aids_test::createNativeDictionary(made.path(), rows);
        return testing_support::readFile(aids_test::dictionaryIn(made.path()));
    };
    const auto damaged = [](std::string bytes, size_t from, char with) {
        for (size_t i = from; i < bytes.size(); i += 7) bytes[i] = with;
        return bytes;
    };
    const std::string jet = jetBytes();
    const std::string native = nativeBytes({{"hz", {"书", "shū", "乙", Value(4), "書", "book"}}});
    const std::pair<const char*, std::string> files[] = {
        {"empty file", ""},
        {"Jet header only", jet.substr(0, 4096)},
        {"Jet cut in half", jet.substr(0, jet.size() / 2)},
        {"Jet pages overwritten", damaged(jet, 4096, '\xFF')},
        {"Jet pages zeroed", damaged(jet, 2 * 4096, '\0')},
        {"SQLite cut in half", native.substr(0, native.size() / 2)},
        {"SQLite pages overwritten", damaged(native, 1024, '\x5A')},
        {"all fields Null", nativeBytes({{"hz", {"书"}}, {"ci", {"中国"}}, {"成语", {"画蛇添足"}}, {"english", {"cat"}}})},
    };
    for (const auto& [what, bytes] : files) {
        TempDir folder;
        testing_support::writeFile(aids_test::dictionaryIn(folder.path()), bytes);
        ExplainModule module;
        module.openDictionary(folder.path());
        for (const char* key : {"书", "中国", "画蛇添足", "cat", "cats", "走", "run"})
            for (int mode : {1, 2}) EXPECT_LE(module.explain(key, mode).size(), 4 * aids::kMaxValueBytes) << what << " " << key;
        module.closeDictionary();
    }

    // Null fields: a character shows what it has, a word or an English word is not found, an
    // idiom shows "()".
    TempDir folder;
    aids_test::createNativeDictionary(folder.path(), {{"hz", {"书"}}, {"ci", {"中国"}}, {"成语", {"画蛇添足"}}, {"english", {"cat"}}});
    ExplainModule module;
    ASSERT_TRUE(module.openDictionary(folder.path()));
    EXPECT_EQ(module.explain("书", 2), "");
    EXPECT_EQ(module.explain("中国", 2), kNoExplain);
    EXPECT_EQ(module.explain("画蛇添足", 2), "()");
    EXPECT_EQ(module.explain("cat", 2), kNoExplain);
}

TEST(DictionaryFile, OversizedValuesAreReadAsTheirFirstBytesAndShownShort) {
    ProgramFolder home;
    TempDir folder;
    const std::string huge(8 << 20, 'x');   // one line of 8 MiB
    std::string chinese;
    for (int i = 0; i < 100000; ++i) chinese += "书";
    aids_test::createNativeDictionary(folder.path(), {{"english", {"big", huge}}, {"hz", {"书", "shū", Value(), Value(), Value(), chinese}}});
    ExplainModule module;
    ASSERT_TRUE(module.openDictionary(folder.path()));
    const std::string big = module.explain("big", 2);
    EXPECT_EQ(big, std::string(aids::kMaxValueBytes, 'x'));
    EXPECT_EQ(aids::shownText(big, 1), std::string(aids::kMaxShownCharacters, 'x') + " ......");
    EXPECT_EQ(aids::shownText(big, 2), std::string(aids::kMaxShownCharacters, 'x') + " ......") << "one line: not cut to 150";

    const std::string character = module.explain("书", 2);
    EXPECT_LE(character.size(), aids::kMaxValueBytes + 16);
    EXPECT_EQ(character.substr(character.size() - 3), "书") << "cut at a character boundary";
}

TEST(NativeDictionary, FieldValuesAreCleanedBeforeTheyAreShown) {
    ProgramFolder home;
    TempDir folder;
    const std::string nul(1, '\0');
    aids_test::createNativeDictionary(
        folder.path(),
        {
            {"hz", {"山", " \t shān\1 ", Value(), Value(3), Value(), "mountain\r\n"}},
            {"ci", {"火山", "huǒ" + nul + "shān  ", "\x01volcano"}},
            {"ci", {"山水", Value(), "landscape"}},  // Null spell: not found
            {"成语", {"山水", "shān shuǐ", Value()}},
            {"english", {"tab", "\t制表" + nul + "符\r\n"}},
        });
    ExplainModule module;
    ASSERT_TRUE(module.openDictionary(folder.path()));

    EXPECT_EQ(module.explain("山", 2), "shān:3:mountain\r\n") << "control characters other than 0 and 1 stay at the end";
    EXPECT_EQ(module.explain("火山", 2), "huǒshān，volcano");
    EXPECT_EQ(module.explain("山水", 2), "(shān shuǐ)") << "a word with a Null spell falls back to the idiom";
    EXPECT_EQ(module.explain("tab", 2), "制表符");
}

TEST(ExplainText, CleaningAndOneLineRules) {
    const std::string nul(1, '\0');
    const std::pair<std::string, std::string> cleaned[] = {
        {"", ""},
        {"\1\2 \t\r\nA", "A"},
        {"A \1" + nul + " ", "A"},
        {"A\t\r\n", "A\t\r\n"},
        {"A" + nul + "B", "AB"},
        {"  \1 ", ""},
    };
    for (const auto& [raw, expected] : cleaned) EXPECT_EQ(aids::cleanField(raw), expected);
    EXPECT_EQ(aids::withoutControlCharacters("a\tb\r\nc" + nul + "\x1f" + "d "), "abcd ");
}

TEST(ExplainText, LongExplanationsAreCutOnlyWhenLongAndOfManyLines) {
    const auto lines = [](int count, int length) {
        std::string text;
        for (int i = 0; i < count; ++i) text += (i ? "\n" : "") + std::string(length, 'x');
        return text;
    };
    const std::string threeLines = lines(3, 83);      // 251 characters
    const std::string twelveLines = lines(12, 20);    // 251 characters
    const std::string tenShortLines = lines(10, 19);  // 199 characters
    EXPECT_EQ(aids::balloonText(threeLines), threeLines);
    EXPECT_EQ(aids::balloonText(tenShortLines), tenShortLines);
    EXPECT_EQ(aids::balloonText(twelveLines), twelveLines.substr(0, 150) + " ......");

    // Characters, not bytes, are counted and kept.
    std::string chinese;
    for (int i = 0; i < 10; ++i) chinese += (i ? "\n" : "") + std::string("汉字汉字汉字汉字汉字汉字汉字汉字汉字汉字");
    std::string first150;
    for (int i = 0; i < 7; ++i) first150 += (i ? "\n" : "") + std::string("汉字汉字汉字汉字汉字汉字汉字汉字汉字汉字");
    first150 += "\n汉字汉";  // 7 * 20 + 7 line feeds + 3 = 150 characters
    EXPECT_EQ(aids::balloonText(chinese), first150 + " ......");
}

}  // namespace
