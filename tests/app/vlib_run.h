// Runs the built vlib with arguments, feeding input on its standard input (a file, not a
// terminal), and collects its exit code and output.
#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace vlib_test {

struct Result {
    int rc = -1;
    std::string out, err;
};

inline std::string quoted(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

inline Result vlib(const std::vector<std::string>& args, const std::string& input = "") {
    testing_support::TempDir dir;
    testing_support::writeFile(dir.file("in"), input);
    std::string cmd = VLIB_PATH;
    for (const std::string& a : args) cmd += " " + quoted(a);
    cmd += " <" + quoted(dir.file("in")) + " 2>" + quoted(dir.file("err"));
    Result r;
    FILE* p = popen(cmd.c_str(), "r");
    char buf[4096];
    for (size_t n; (n = fread(buf, 1, sizeof buf, p)) > 0;) r.out.append(buf, n);
    const int status = pclose(p);
    r.rc = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.err = testing_support::readFile(dir.file("err"));
    return r;
}

}  // namespace vlib_test
