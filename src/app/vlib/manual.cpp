#include "app/vlib/manual.h"

#include <regex>
#include <sstream>

#include "app/vlib/command.h"
#include "vyne_config.h"

namespace vlib {

namespace {

// Text as roff reads it literally: backslashes and hyphens escaped, no control character at
// the start of a line.
std::string roff(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\\') out += "\\e";
        else if (c == '-') out += "\\-";
        else out += c;
    }
    if (!out.empty() && (out[0] == '.' || out[0] == '\'')) out.insert(0, "\\&");
    return out;
}

// One command's help: its paragraphs, and its option lines ("  --name ARG   what it does",
// continued on deeper-indented lines) as tagged paragraphs.
void writeHelp(std::ostringstream& page, const std::string& help) {
    static const std::regex option(R"(^  (-\S.*?)  +(\S.*)$)");
    static const std::regex continued(R"(^ {3,}(\S.*)$)");
    std::istringstream lines(help);
    std::string line;
    std::smatch m;
    bool inOption = false;
    while (std::getline(lines, line)) {
        if (line.empty()) {
            page << ".PP\n";
            inOption = false;
        } else if (std::regex_match(line, m, option)) {
            page << ".TP\n.B " << roff(m[1]) << "\n" << roff(m[2]) << "\n";
            inOption = true;
        } else if (inOption && std::regex_match(line, m, continued)) {
            page << roff(m[1]) << "\n";
        } else {
            page << roff(line) << "\n";
        }
    }
}

}  // namespace

std::string manualPage() {
    std::ostringstream page;
    page << ".TH VLIB 1 \"\" \"VYNE Browser " << VYNE_VERSION << "\" \"User Commands\"\n"
         << ".SH NAME\nvlib \\- make, read and change book libraries\n"
         << ".SH SYNOPSIS\n.B vlib\n.I COMMAND\n[\\fIARGS\\fR...]\n.br\n.B vlib\n.I COMMAND\n.B \\-\\-help\n"
         << ".br\n.B vlib \\-\\-help\n|\n.B \\-\\-version\n"
         << ".SH DESCRIPTION\n"
         << "vlib makes, reads and changes the book libraries that\n.BR vyne-browser (1)\nreads: native "
            "libraries (SQLite files) and, for reading and converting, Jet 4 libraries. Results go to "
            "standard output in UTF\\-8, messages to standard error; long work draws a progress bar "
            "there when it is a terminal.\n"
         << ".SH COMMANDS\n";
    for (const CommandInfo* c : commandsByName()) {
        page << ".SS \"vlib " << roff(c->synopsis) << "\"\n";
        writeHelp(page, c->help);
    }
    page << ".SH \"EXIT STATUS\"\n.TP\n.B 0\nsuccess\n.TP\n.B 1\nthe file is not a library, or the work failed\n"
         << ".TP\n.B 2\na usage error\n.TP\n.B 130\ninterrupted by Ctrl\\-C (an import is then undone)\n"
         << ".SH \"SEE ALSO\"\n.BR vyne-browser (1)\n";
    return page.str();
}

}  // namespace vlib
