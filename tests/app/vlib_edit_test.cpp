// vlib's commands that build and keep libraries, run as the built program.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <random>

#include "store/ctreebook.h"
#include "support/temp_dir.h"
#include "vlib_run.h"

namespace {

namespace fs = std::filesystem;
using testing_support::readFile;
using testing_support::TempDir;
using testing_support::writeFile;

using Outcome = vlib_test::Result;
using vlib_test::vlib;

std::map<std::string, std::string> snapshot(const fs::path& root) {
    std::map<std::string, std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(root))
        files[fs::relative(e.path(), root).string()] = e.is_directory() ? "<folder>" : readFile(e.path().string());
    return files;
}

void makeFiles(const fs::path& dir, int count, size_t size) {
    fs::create_directories(dir);
    std::mt19937 random(7);
    for (int i = 0; i < count; ++i) {
        std::string bytes(size, '\0');
        for (char& c : bytes) c = static_cast<char>(random() % 16 + 'a');
        writeFile((dir / ("file" + std::to_string(i) + ".dat")).string(), bytes);
    }
}

class VlibEdit : public ::testing::Test {
protected:
    TempDir dir;
    const std::string lib = dir.file("lib.mdb");
};

TEST_F(VlibEdit, ImportThenExportGivesTheSameFiles) {
    const fs::path src = fs::path(dir.path()) / "src";
    makeFiles(src / "书 Books", 3, 5000);
    writeFile((src / "note.txt").string(), "hello\r\n");
    Outcome r = vlib({"import", lib, src.string()});
    ASSERT_EQ(r.rc, 0) << r.err;
    EXPECT_EQ(r.out, "4 documents imported from " + src.string() + "\n");
    r = vlib({"check", lib});
    EXPECT_EQ(r.rc, 0) << r.out;
    const fs::path out = fs::path(dir.path()) / "out";
    ASSERT_EQ(vlib({"export", lib, "1", out.string()}).rc, 0);
    EXPECT_EQ(snapshot(out), snapshot(src));
    EXPECT_EQ(vlib({"export", lib, "1", out.string()}).rc, 1);  // not empty
    EXPECT_EQ(vlib({"export", lib, "书 Books", out.string(), "--force"}).rc, 0);
    EXPECT_TRUE(fs::exists(out / "file0.dat"));

    r = vlib({"import", lib, src.string(), "--under", "Again/Deeper"});
    ASSERT_EQ(r.rc, 0) << r.err;
    store::ctreebook book;
    ASSERT_TRUE(book.openDB(lib));
    EXPECT_NE(book.getIDByPath("Again/Deeper/书 Books/file2"), 0);
}

TEST_F(VlibEdit, CheckReportsADamagedDocument) {
    const fs::path src = fs::path(dir.path()) / "src";
    makeFiles(src, 2, 3000);
    ASSERT_EQ(vlib({"import", lib, src.string()}).rc, 0);
    {
        store::ctreebook book;
        ASSERT_TRUE(book.openDB(lib));
        const int32_t id = book.getIDByPath("file1");
        engine::Recordset& nr = *book.nrRS();
        nr.setIndex("primaryKey");
        nr.seek("=", engine::Value(id));
        nr.edit();
        nr.setField("crc", engine::Value(12345));
        nr.update();
    }
    const Outcome r = vlib({"check", lib});
    EXPECT_EQ(r.rc, 1);
    EXPECT_NE(r.out.find("file1\tchecksum mismatch"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("2 documents checked, 1 problems"), std::string::npos) << r.out;
}

TEST_F(VlibEdit, PasswordsAreReadFromStandardInput) {
    ASSERT_EQ(vlib({"mkclass", lib + "x"}).rc, 2);
    ASSERT_EQ(vlib({"import", lib, dir.path()}).rc, 0);  // an empty library to start from
    ASSERT_EQ(vlib({"mkclass", lib, "Private/Inner"}).rc, 0);
    struct Step {
        std::vector<std::string> args;
        std::string input;
        int rc;
        std::string password;  // what the store reads afterwards
    } steps[] = {
        {{"passwd", lib, "Private"}, "  pw  \n", 0, "pw"},
        {{"passwd", lib, "Private"}, "wrong\nnew\n", 1, "pw"},
        {{"passwd", lib, "Private"}, "pw\nnew\n", 0, "new"},
        {{"passwd", lib, "Private", "--remove"}, "bad\n", 1, "new"},
        {{"passwd", lib, "Private", "--remove"}, "new\n", 0, "ok"},
        {{"passwd", lib, "Private"}, "", 1, "ok"},  // the input ends: nothing changes
        {{"passwd", lib, "Private/Inner"}, "x\n", 0, "ok"},
    };
    for (const Step& s : steps) {
        const Outcome r = vlib(s.args, s.input);
        EXPECT_EQ(r.rc, s.rc) << s.input << r.err;
        store::ctreebook book;
        ASSERT_TRUE(book.openDB(lib));
        EXPECT_EQ(book.getPasswd(book.getIDByPath("Private")), s.password) << s.input;
    }
    EXPECT_EQ(vlib({"passwd", lib, "Private/Inner/none"}).rc, 1);
}

TEST_F(VlibEdit, EditingCommands) {
    const std::string file = dir.file("story.txt");
    writeFile(file, "once upon a time");
    ASSERT_EQ(vlib({"import", lib, fs::path(dir.path()).string()}).rc, 0);
    struct Step {
        std::vector<std::string> args;
        int rc;
    } steps[] = {
        {{"mkclass", lib, "A/B"}, 0},
        {{"mkclass", lib, "C"}, 0},
        {{"add", lib, "A/B", file, dir.file("missing.txt")}, 1},
        {{"add", lib, "story", file}, 1},  // a document is no class
        {{"rename", lib, "A/B/story", "Tale"}, 0},
        {{"mv", lib, "A/B/Tale", "C"}, 0},
        {{"mv", lib, "A", "A/B"}, 1},
        {{"notes", lib, "C/Tale", "--set", "read it twice"}, 0},
        {{"rm", lib, "A"}, 1},
        {{"rm", lib, "A", "-r"}, 0},
        {{"rm", lib, "1", "-r"}, 1},
        {{"rm", lib, "nothing"}, 1},
        {{"rename", lib, "C"}, 2},
    };
    for (const Step& s : steps) {
        const Outcome r = vlib(s.args);
        EXPECT_EQ(r.rc, s.rc) << s.args[0] << " " << s.args[2] << "\n" << r.err;
    }
    store::ctreebook book;
    ASSERT_TRUE(book.openDB(lib));
    const int32_t tale = book.getIDByPath("C/Tale");
    ASSERT_NE(tale, 0);
    EXPECT_EQ(book.getTextNR(tale), "once upon a time");
    EXPECT_EQ(book.getNode2(tale), "read it twice");
    EXPECT_EQ(book.getIDByPath("A"), 0);
    EXPECT_NE(vlib({"notes", lib, std::to_string(tale)}).out.find("read it twice"), std::string::npos);
}

TEST_F(VlibEdit, MergeAndDuplicate) {
    const fs::path src = fs::path(dir.path()) / "src";
    makeFiles(src / "X", 2, 100);
    const std::string other = dir.file("other.mdb"), copy = dir.file("copy.mdb");
    ASSERT_EQ(vlib({"import", other, src.string()}).rc, 0);
    ASSERT_EQ(vlib({"import", lib, (src / "X").string()}).rc, 0);
    Outcome r = vlib({"merge", lib, other, "--under", "Merged"});
    ASSERT_EQ(r.rc, 0) << r.err;
    EXPECT_EQ(r.out, "2 docs imported.\n");
    ASSERT_EQ(vlib({"dup", lib, copy}).rc, 0);
    EXPECT_EQ(vlib({"dup", lib, copy}).rc, 1);  // never over an existing file
    store::ctreebook book;
    ASSERT_TRUE(book.openDB(copy));
    EXPECT_NE(book.getIDByPath("Merged/X/file1"), 0);
    EXPECT_NE(book.getIDByPath("file0"), 0);
    EXPECT_EQ(vlib({"merge", lib, lib}).rc, 2);
}

TEST_F(VlibEdit, EveryCommandDescribesItself) {
    for (const char* name : {"import", "add", "mkclass", "rename", "mv", "rm", "export", "notes",
                             "passwd", "merge", "dup", "check"}) {
        const Outcome r = vlib({name, "--help"});
        EXPECT_EQ(r.rc, 0) << name;
        EXPECT_EQ(r.out.rfind(std::string("Usage: vlib ") + name, 0), 0u) << r.out;
        EXPECT_EQ(vlib({name}).rc, 2) << name;
    }
    EXPECT_EQ(vlib({"check", dir.file("missing.mdb")}).rc, 1);
    writeFile(dir.file("text.mdb"), "not a database");
    EXPECT_EQ(vlib({"add", dir.file("text.mdb"), "1", dir.file("text.mdb")}).rc, 1);
}

TEST_F(VlibEdit, AnImportKilledPartWayLeavesAValidLibrary) {
    const fs::path src = fs::path(dir.path()) / "big";
    makeFiles(src, 2000, 4000);
    ASSERT_EQ(vlib({"import", lib, dir.file("none")}).rc, 1);
    ASSERT_EQ(vlib({"mkclass", lib, "Before"}).rc, 1);  // no library yet
    const fs::path small = fs::path(dir.path()) / "small";
    makeFiles(small, 1, 10);
    ASSERT_EQ(vlib({"import", lib, small.string()}).rc, 0);

    int pipeFds[2];
    ASSERT_EQ(pipe(pipeFds), 0);
    const pid_t child = fork();
    if (child == 0) {
        dup2(pipeFds[1], STDERR_FILENO);
        close(pipeFds[0]);
        execl(VLIB_PATH, VLIB_PATH, "import", lib.c_str(), src.c_str(), "-v", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(pipeFds[1]);
    FILE* progress = fdopen(pipeFds[0], "r");
    int lines = 0;
    char line[4096];
    while (lines < 300 && std::fgets(line, sizeof line, progress)) ++lines;
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    std::fclose(progress);
    ASSERT_EQ(lines, 300);
    ASSERT_TRUE(WIFSIGNALED(status));

    store::ctreebook book;
    ASSERT_TRUE(book.openDB(lib));
    EXPECT_EQ(book.countPid(1, true), 1);  // nothing of the killed import, the earlier one whole
    EXPECT_NE(book.getIDByPath("file0"), 0);
    book.closeDB();
    const Outcome check = vlib({"check", lib});
    EXPECT_EQ(check.rc, 0) << check.out;
    // The library takes the import again from the start (file0 is rewritten, not added).
    EXPECT_EQ(vlib({"import", lib, src.string()}).rc, 0);
    EXPECT_EQ(vlib({"check", lib}).out, "2000 documents checked, 0 problems\n");
}

}  // namespace
