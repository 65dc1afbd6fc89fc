// vlib's long work on a terminal and off it: a bar on a pseudo-terminal, nothing on a pipe;
// Ctrl-C during an import undoes all of it and says so.
#include <gtest/gtest.h>

#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include "store/ctreebook.h"
#include "support/temp_dir.h"
#include "vlib_run.h"

namespace {

namespace fs = std::filesystem;
using testing_support::TempDir;
using testing_support::writeFile;
using vlib_test::vlib;

std::vector<char*> argvOf(std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    return argv;
}

// Runs vlib with standard output and error on a new pseudo-terminal; what it wrote there.
vlib_test::Result vlibOnTerminal(std::vector<std::string> args) {
    args.insert(args.begin(), VLIB_PATH);
    std::vector<char*> argv = argvOf(args);
    int master = -1;
    winsize size{};
    size.ws_col = 100;
    size.ws_row = 30;
    const pid_t child = forkpty(&master, nullptr, nullptr, &size);
    if (child == 0) {
        execv(VLIB_PATH, argv.data());
        _exit(127);
    }
    vlib_test::Result r;
    if (child < 0) return r;
    char buf[4096];
    for (;;) {
        const ssize_t n = read(master, buf, sizeof buf);
        if (n > 0) r.err.append(buf, size_t(n));
        else if (n < 0 && errno == EINTR) continue;
        else break;  // EIO once the child has closed the terminal
    }
    close(master);
    int status = 0;
    waitpid(child, &status, 0);
    r.rc = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

// Runs vlib with standard output and error on one pipe; what came through it.
vlib_test::Result vlibOnPipe(const std::vector<std::string>& args) {
    std::string command = VLIB_PATH;
    for (const std::string& a : args) command += " " + vlib_test::quoted(a);
    command += " </dev/null 2>&1";
    vlib_test::Result r;
    FILE* p = popen(command.c_str(), "r");
    if (!p) return r;
    char buf[4096];
    for (size_t n; (n = fread(buf, 1, sizeof buf, p)) > 0;) r.err.append(buf, n);
    const int status = pclose(p);
    r.rc = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

void makeFiles(const fs::path& folder, int count, const std::string& stem = "file") {
    fs::create_directories(folder);
    for (int i = 0; i < count; ++i) writeFile((folder / (stem + std::to_string(i) + ".txt")).string(), "text " + std::to_string(i));
}

class VlibProgress : public ::testing::Test {
protected:
    void SetUp() override {
        makeFiles(source / "Class", 30);
        ASSERT_EQ(vlib({"import", other, source.string()}).rc, 0);
    }
    TempDir dir;
    const fs::path source = fs::path(dir.path()) / "source";
    const std::string lib = dir.file("lib.mdb"), other = dir.file("other.mdb");
};

TEST_F(VlibProgress, ABarOnATerminalAndNothingOnAPipe) {
    struct Case {
        std::string label;
        std::vector<std::string> args;  // "%n" is replaced by a fresh file name for each run
    };
    const std::vector<Case> cases = {
        {"Importing", {"import", "%n", source.string()}},
        {"Exporting", {"export", other, "/", "%n"}},
        {"Checking", {"check", other}},
        {"Copying", {"dup", other, "%n"}},
        {"Merging", {"merge", "%lib", other}},
        {"Converting", {"convert", other, "%n"}},
    };
    int run = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        for (const bool terminal : {true, false}) {
            std::vector<std::string> args = c.args;
            for (std::string& a : args) {
                if (a == "%n") a = dir.file("out" + std::to_string(++run));
                if (a == "%lib") {
                    a = dir.file("lib" + std::to_string(++run) + ".mdb");
                    ASSERT_EQ(vlib({"create", a}).rc, 0);
                }
            }
            const vlib_test::Result r = terminal ? vlibOnTerminal(args) : vlibOnPipe(args);
            EXPECT_EQ(r.rc, 0) << r.err;
            if (terminal) {
                EXPECT_NE(r.err.find("\r\033[K" + c.label + " ["), std::string::npos) << r.err;
                EXPECT_NE(r.err.find("100%"), std::string::npos) << r.err;
            } else {
                EXPECT_EQ(r.err.find(c.label + " ["), std::string::npos) << "a pipe gets no bar: " << r.err;
                EXPECT_EQ(r.err.find_first_of("\r\033"), std::string::npos) << r.err;
            }
        }
    }
}

TEST_F(VlibProgress, VerboseImportPrintsLinesAndNoBar) {
    const vlib_test::Result r = vlibOnTerminal({"import", lib, source.string(), "-v"});
    EXPECT_EQ(r.rc, 0);
    EXPECT_NE(r.err.find("Importing: "), std::string::npos);
    EXPECT_EQ(r.err.find("Importing ["), std::string::npos) << r.err;
}

// The import writes one line per file on a pipe the test stops reading, so it cannot finish
// before Ctrl-C reaches it; the signal comes once the import is under way.
TEST_F(VlibProgress, CtrlCDuringAnImportLeavesTheLibraryAsItWas) {
    const fs::path big = fs::path(dir.path()) / "big";
    makeFiles(big, 2000, std::string(60, 'n'));
    ASSERT_EQ(vlib({"import", lib, source.string()}).rc, 0);
    for (const bool existed : {true, false}) {
        SCOPED_TRACE(existed ? "an existing library" : "a new library");
        const std::string target = existed ? lib : dir.file("new.mdb");
        int fds[2];
        ASSERT_EQ(pipe(fds), 0);
        std::vector<std::string> args = {VLIB_PATH, "import", target, big.string(), "--under", "New/Deeper", "-v"};
        std::vector<char*> argv = argvOf(args);
        const pid_t child = fork();
        if (child == 0) {
            dup2(fds[1], STDERR_FILENO);
            close(fds[0]);
            execv(VLIB_PATH, argv.data());
            _exit(127);
        }
        close(fds[1]);
        FILE* err = fdopen(fds[0], "r");
        char line[4096];
        std::string said;
        ASSERT_NE(std::fgets(line, sizeof line, err), nullptr);
        ASSERT_EQ(std::string(line).rfind("Importing: ", 0), 0u) << line;
        kill(child, SIGINT);
        while (std::fgets(line, sizeof line, err)) said = line;
        std::fclose(err);
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFEXITED(status)) << "ended by the signal itself";
        EXPECT_EQ(WEXITSTATUS(status), 130);
        EXPECT_NE(said.find("vlib: interrupted: nothing was imported"), std::string::npos) << said;
        if (!existed) {
            EXPECT_FALSE(fs::exists(target)) << "the library made for the import was kept";
            continue;
        }
        store::ctreebook book;
        ASSERT_TRUE(book.openDB(lib));
        EXPECT_EQ(book.getIDByPath("New"), 0) << "the class of --under was kept";
        EXPECT_EQ(book.countPid(1, true), 30);
        book.closeDB();
        EXPECT_EQ(vlib({"check", lib}).rc, 0);
    }
}

}  // namespace
