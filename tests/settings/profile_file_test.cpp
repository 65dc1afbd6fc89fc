#include "settings/ini_file.h"
#include "settings/ini_at.h"
#include "settings/profile_file.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using testing_support::readFile;
using testing_support::writeFile;

// A settings file as the Windows program leaves it: code page 936, CR LF, backslash paths,
// the font keys in lower case, a per-library section, a section of another program with a
// comment, and a line end missing at the very end.
const std::string kWindowsFile =
    "[System]\r\n"
    "myDBName=D:\\Books\\\xCD\xAF\xBB\xB0.mdb\r\n"  // D:\Books\童话.mdb
    "wSleep=9\r\n"
    "\r\n"
    "[mainWinTextFont]\r\n"
    "name=\xCB\xCE\xCC\xE5\r\n"  // 宋体
    "size=10.5\r\n"
    "bold=0\r\n"
    "\r\n"
    "[\xCD\xAF\xBB\xB0]\r\n"  // [童话]
    "Left=1500\r\n"
    "bookPos=42\r\n"
    "\r\n"
    "; written by another program\r\n"
    "[Other]\r\n"
    "x = \"quoted value\" \r\n"
    "last=1";

class ProfileFile : public ::testing::Test {
public:
    cInifile at(const std::string& section, const std::string& key = "") const {
        return testing_support::iniAt(file, section, key);
    }
    std::string value(const std::string& section, const std::string& key) const {
        cInifile ini = at(section, key);
        ini.Default = "(missing)";
        return ini.Value();
    }
    bool write(const std::string& section, const std::string& key, const std::string& text) const {
        cInifile ini = at(section, key);
        ini.setValue(text);
        return ini.Success();
    }
    testing_support::TempDir dir;
    std::string file = dir.file("vyne.ini");
};

TEST_F(ProfileFile, AWindowsFileReadsIntoItsValues) {
    writeFile(file, kWindowsFile);
    EXPECT_EQ(value("system", "MYDBNAME"), "D:\\Books\\童话.mdb");
    EXPECT_EQ(value("mainWinTextFont", "Name"), "宋体");
    EXPECT_EQ(value("童话", "bookpos"), "42");
    EXPECT_EQ(value("other", "x"), "quoted value");
    EXPECT_EQ(value("Other", "last"), "1");
    IniFont font;
    at("MainWinTextFont").loadFont(font);
    EXPECT_EQ(font.name, "宋体");
    EXPECT_FLOAT_EQ(font.size, 10.5f);
    EXPECT_EQ(at("").Sections(), std::string("System\0mainWinTextFont\0童话\0Other", 35));
}

TEST_F(ProfileFile, ChangesLeaveEveryOtherByteAsItWas) {
    writeFile(file, kWindowsFile);
    EXPECT_TRUE(write("SYSTEM", "wsleep", "3"));         // in place, stored spelling kept
    EXPECT_TRUE(write("system", "ddScale", "1.5"));      // new key after the section's last line
    EXPECT_TRUE(write("童话", "Top", "900"));            // Chinese section name
    EXPECT_TRUE(write("Other", "added", "한"));          // not in the code page
    EXPECT_TRUE(write("History", "DBNum", "0"));         // new section at the end
    const std::string expected =
        "[System]\r\n"
        "myDBName=D:\\Books\\\xCD\xAF\xBB\xB0.mdb\r\n"
        "wSleep=3\r\n"
        "ddScale=1.5\r\n"
        "\r\n"
        "[mainWinTextFont]\r\n"
        "name=\xCB\xCE\xCC\xE5\r\n"
        "size=10.5\r\n"
        "bold=0\r\n"
        "\r\n"
        "[\xCD\xAF\xBB\xB0]\r\n"
        "Left=1500\r\n"
        "bookPos=42\r\n"
        "Top=900\r\n"
        "\r\n"
        "; written by another program\r\n"
        "[Other]\r\n"
        "x = \"quoted value\" \r\n"
        "last=1\r\n"
        "added=?\r\n"
        "[History]\r\n"
        "DBNum=0\r\n";
    EXPECT_EQ(readFile(file), expected);
}

TEST_F(ProfileFile, EditsOfKeysAndSections) {
    struct Case {
        const char* what;
        std::string before;
        std::function<void(ProfileFile&)> change;
        std::string after;
    } cases[] = {
        {"a value written again unchanged leaves the file alone", "[a]\nk = v\n",
         [](ProfileFile& t) { t.write("a", "k", "v"); }, "[a]\nk = v\n"},
        {"the first of two sections of a name takes the change", "[a]\nk=1\n[A]\nk=2\n",
         [](ProfileFile& t) { t.write("a", "K", "3"); }, "[a]\nk=3\n[A]\nk=2\n"},
        {"a new key goes before the blank lines and comments ending its section", "[a]\nk=1\n\n; b\n[b]\n",
         [](ProfileFile& t) { t.write("a", "n", "2"); }, "[a]\nk=1\nn=2\r\n\n; b\n[b]\n"},
        {"a new key in an empty last section without a line end", "[a]",
         [](ProfileFile& t) { t.write("a", "n", "2"); }, "[a]\r\nn=2\r\n"},
        {"a new key after a last line that ends in a CR only", "[a]\r\nk=1\r",
         [](ProfileFile& t) {
             t.write("a", "n", "2");
             EXPECT_EQ(t.value("a", "n"), "2");
             EXPECT_EQ(t.value("a", "k"), "1");
         },
         "[a]\r\nk=1\r\nn=2\r\n"},
        {"a key is deleted with its line end", "[a]\r\nk=1\r\nm=2\r\n",
         [](ProfileFile& t) { t.at("a", "K").DeleteKey(); }, "[a]\r\nm=2\r\n"},
        {"a section is deleted up to the next one", "; top\r\n[a]\r\nk=1\r\n\r\n[b]\r\nm=2\r\n",
         [](ProfileFile& t) { t.at("A").DeleteSection(); }, "; top\r\n[b]\r\nm=2\r\n"},
        {"NUL characters are taken out of a written value", "",
         [](ProfileFile& t) { t.write("a", "k", std::string("x\0y", 3)); }, "[a]\r\nk=xy\r\n"},
        {"names that would break the form are refused", "[a]\r\n",
         [](ProfileFile& t) {
             EXPECT_FALSE(t.write("a", "k=v", "1"));
             EXPECT_FALSE(t.write("a]b", "k", "1"));
             EXPECT_FALSE(t.write("a", "[k", "1"));
             EXPECT_FALSE(t.write("a", "k", "line\r\nbreak"));
             EXPECT_FALSE(t.write("", "k", "1"));
         },
         "[a]\r\n"},
    };
    for (const auto& c : cases) {
        writeFile(file, c.before);
        c.change(*this);
        EXPECT_EQ(readFile(file), c.after) << c.what;
    }
}

TEST_F(ProfileFile, BadFilesReadAsMissingKeysAndKeepTheirBytesWhenWritten) {
    std::string garbage;
    for (int i = 0; i < 4096; ++i) garbage += char((i * 131 + 7) % 256);
    std::string big;
    for (int i = 0; i < 10 * 1024 * 1024 / 16; ++i) big += "[s" + std::to_string(i % 97) + "]\nkey=v\n";
    struct Case {
        const char* what;
        std::string bytes;
        std::string section, key, want;
    } cases[] = {
        {"binary garbage", garbage, "System", "wSleep", "(missing)"},
        {"NUL bytes end a value", std::string("[System]\r\nwSleep=4\0\x39\r\n", 19), "System", "wSleep", "4"},
        {"keys without =", "[System]\r\nwSleep\r\n=5\r\nwSleep 6\r\n", "System", "wSleep", "(missing)"},
        {"repeated sections: the first one", "[System]\r\na=1\r\n[System]\r\nwSleep=7\r\n", "System", "wSleep",
         "(missing)"},
        {"no final line end", "[System]\r\nwSleep=8", "System", "wSleep", "8"},
        {"a 10 MB file", big, "s5", "key", "v"},
    };
    for (const auto& c : cases) {
        writeFile(file, c.bytes);
        EXPECT_EQ(value(c.section, c.key), c.want) << c.what;
        EXPECT_TRUE(write("Added", "k", "1")) << c.what;
        const std::string after = readFile(file);
        EXPECT_EQ(after.substr(0, c.bytes.size()), c.bytes) << c.what;
        EXPECT_EQ(value("Added", "k"), "1") << c.what;
    }
}

// Lists name only what a read can find: a name with a byte that is no code page 936 character
// would come out with "?" in its place.
TEST_F(ProfileFile, ListedNamesAreNamesAReadFinds) {
    writeFile(file, "[\x9a]\r\nk=1\r\n[\xd6\xd0]\r\n\x9a=2\r\n\xce\xc4=3\r\nplain=4\r\n");
    const std::vector<std::string> sections = settings::profileSections(file);
    EXPECT_EQ(sections, std::vector<std::string>{"\u4e2d"});
    EXPECT_EQ(settings::profileKeys(file, "\u4e2d"), (std::vector<std::string>{"\u6587", "plain"}));
    for (const std::string& section : sections)
        for (const std::string& key : settings::profileKeys(file, section))
            EXPECT_TRUE(settings::profileRead(file, section, key).has_value()) << key;
}

TEST_F(ProfileFile, AFileThatCannotBeReadIsNeverTakenForAnEmptyOne) {
    // A folder where the file should be, and a file too large to be a settings file.
    std::filesystem::create_directory(file);
    EXPECT_EQ(value("a", "k"), "(missing)");
    EXPECT_FALSE(write("a", "k", "1"));
    EXPECT_TRUE(std::filesystem::is_directory(file));

    const std::string huge = dir.file("huge.ini");
    writeFile(huge, "[a]\r\nk=1\r\n");
    ASSERT_EQ(::truncate(huge.c_str(), off_t(settings::kMaxProfileBytes + 1)), 0);
    EXPECT_FALSE(settings::profileRead(huge, "a", "k"));
    EXPECT_FALSE(settings::profileWrite(huge, "a", "k", std::string("2")));
    EXPECT_EQ(std::filesystem::file_size(huge), settings::kMaxProfileBytes + 1);
}

TEST_F(ProfileFile, AReadOnlyFileOrAFolderWithoutRoomIsNotChanged) {
    writeFile(file, "[a]\r\nk=1\r\n");
    ::chmod(file.c_str(), 0444);
    EXPECT_FALSE(write("a", "k", "2"));
    EXPECT_EQ(value("a", "k"), "1");
    settings::ProfileBatch batch(file);
    write("a", "k", "3");
    EXPECT_FALSE(batch.commit());
    EXPECT_EQ(readFile(file), "[a]\r\nk=1\r\n");
    // Nothing can be made in /proc, the lock file included.
    EXPECT_FALSE(settings::profileWrite("/proc/vyne-test.ini", "a", "k", std::string("1")));
}

TEST_F(ProfileFile, ABatchWritesOnceAndReadsItsOwnChanges) {
    writeFile(file, "; kept\r\n[a]\r\nk=1\r\n");
    {
        settings::ProfileBatch batch(file);
        EXPECT_TRUE(write("a", "k", "2"));
        {
            settings::ProfileBatch inner(file);
            EXPECT_TRUE(write("b", "m", "3"));
        }
        EXPECT_EQ(value("A", "K"), "2");
        EXPECT_EQ(value("b", "m"), "3");
        EXPECT_EQ(readFile(file), "; kept\r\n[a]\r\nk=1\r\n");  // nothing written yet
        EXPECT_TRUE(batch.commit());
    }
    EXPECT_EQ(readFile(file), "; kept\r\n[a]\r\nk=2\r\n[b]\r\nm=3\r\n");
    // The replacement leaves no temporary file behind.
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        files += entry.path().extension() != ".lock";
    EXPECT_EQ(files, 1);
}

TEST_F(ProfileFile, TwoProgramsWritingAtOnceKeepEachOthersKeys) {
    writeFile(file, "[shared]\r\n");
    constexpr int kKeys = 30;
    std::vector<pid_t> children;
    for (int program = 0; program < 2; ++program) {
        pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            bool ok = true;
            for (int i = 0; i < kKeys; ++i)
                ok = settings::profileWrite(file, "shared", "p" + std::to_string(program) + "k" + std::to_string(i),
                                            std::to_string(i)) && ok;
            ::_exit(ok ? 0 : 1);
        }
        children.push_back(pid);
    }
    for (pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    for (int program = 0; program < 2; ++program)
        for (int i = 0; i < kKeys; ++i)
            EXPECT_EQ(value("shared", "p" + std::to_string(program) + "k" + std::to_string(i)), std::to_string(i));
}

TEST_F(ProfileFile, AFileChangedByAnotherProgramIsReadAgain) {
    writeFile(file, "[a]\r\nk=1\r\n");
    EXPECT_EQ(value("a", "k"), "1");
    writeFile(file, "[a]\r\nk=2\r\n");  // same size, written in place
    EXPECT_EQ(value("a", "k"), "2");
}

TEST_F(ProfileFile, NumberedKeysAreReadAsTheyAreNotAsTheCountClaims) {
    writeFile(file,
              "[BookLibHistory]\r\nDBNum=2000000000\r\nDBFIleName3=c\r\ndbfilename1=a\r\nDBFIleName01=x\r\n"
              "DBFIleName1=second a\r\nDBFIleNameX=y\r\n");
    cInifile ini = at("BookLibHistory");
    const auto values = ini.numberedValues("DBFIleName", "", 2000000000);
    ASSERT_EQ(values.size(), 2u);
    EXPECT_EQ(values[0], (std::pair<int32_t, std::string>{1, "a"}));
    EXPECT_EQ(values[1], (std::pair<int32_t, std::string>{3, "c"}));
    EXPECT_TRUE(ini.numberedValues("DBFIleName", "", 2).size() == 1);
}

}  // namespace
