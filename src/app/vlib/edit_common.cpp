#include "app/vlib/edit_common.h"

#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <iostream>

#include "app/vlib/command.h"
#include "app/vlib/interrupt.h"

namespace vlib {

namespace {

bool allDigits(const std::string& s) {
    if (s.empty()) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

// One line from stdin, echo off while a terminal reads it. False at the end of the input.
bool readSecret(const std::string& prompt, std::string& line) {
    const bool terminal = isatty(STDIN_FILENO);
    termios saved{};
    if (terminal) {
        std::fprintf(stderr, "%s", prompt.c_str());
        std::fflush(stderr);
        tcgetattr(STDIN_FILENO, &saved);
        termios quiet = saved;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    }
    const bool got = static_cast<bool>(std::getline(std::cin, line));
    if (terminal) {
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
        std::fprintf(stderr, "\n");
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    line = clsFilePath::trim(line);
    return got;
}

// Asks for the old password: three tries on a terminal, one otherwise.
bool confirmOld(const std::string& old) {
    if (old.empty()) return true;
    const int tries = isatty(STDIN_FILENO) ? 3 : 1;
    for (int i = 0; i < tries; ++i) {
        std::string entered;
        if (!readSecret("Old password: ", entered)) return false;
        if (entered == old) return true;
        std::fprintf(stderr, "The old password isn't correct, Please input again.\n");
    }
    return false;
}

}  // namespace

bool openForEditing(store::ctreebook& book, const std::string& file, int& code) {
    if (std::string problem = store::ctreebook::libraryProblem(file); !problem.empty()) {
        code = fail(Failed, file + " is not a book library: " + problem);
        return false;
    }
    if (!book.openDB(file)) {
        code = fail(Failed, file + " could not be opened");
        return false;
    }
    return true;
}

bool openOrCreateLibrary(store::ctreebook& book, const std::string& file, int& code) {
    std::error_code ec;
    if (!std::filesystem::exists(file, ec) && !book.createBookMDB(file)) {
        code = fail(Failed, file + ": cannot create the library");
        return false;
    }
    return openForEditing(book, file, code);
}

int32_t resolveRecord(store::ctreebook& book, const std::string& arg) {
    int32_t id = 0;
    if (allDigits(arg)) {
        id = arg.size() <= 9 ? std::stoi(arg) : 0;
        if (id == 0 && arg.find_first_not_of('0') == std::string::npos) id = 1;  // 0: the library
        if (id > 0 && !book.getRecByID(id)) id = 0;
    } else {
        id = arg.find_first_not_of("/\\") == std::string::npos ? 1 : book.getIDByPath(arg, 1);
    }
    if (id == 0) fail(Failed, "no record " + arg);
    return id;
}

int32_t resolveClass(store::ctreebook& book, const std::string& arg) {
    const int32_t id = resolveRecord(book, arg);
    if (id == 0 || book.pathByid(id)) return id;
    fail(Failed, arg + " is a document, not a class");
    return 0;
}

StoreProgress::StoreProgress(store::ctreebook& book, std::string label, uint64_t total, bool verbose)
    : book_(book) {
    if (!verbose) bar_.emplace(std::move(label), total);
    book.events.showMsg = [this](int32_t&, const std::string& message, bool&) {
        if (InterruptGuard::requested()) throw InterruptedError();
        if (bar_) bar_->update(++done_);
        else std::fprintf(stderr, "%s\n", message.c_str());
    };
}

StoreProgress::~StoreProgress() { book_.events.showMsg = nullptr; }

store::PasswordPrompts terminalPrompts(bool removing) {
    store::PasswordPrompts prompts;
    prompts.askPassword = [](const std::string& prompt) {
        std::string entered;
        return readSecret(prompt + ": ", entered) ? entered : std::string();
    };
    prompts.changePassword = [removing](const std::string& old, const std::string&) -> std::string {
        if (!confirmOld(old)) return "cancel";
        if (removing) return "";
        std::string first, second;
        if (!readSecret("New password: ", first)) return "cancel";
        if (isatty(STDIN_FILENO) && (!readSecret("New password again: ", second) || second != first)) {
            std::fprintf(stderr, "The new password is not correct!\n");
            return "cancel";
        }
        return first;
    };
    return prompts;
}

std::string refusedChange(store::ctreebook& book, const std::string& what) {
    if (book.myDB() && book.myDB()->readOnly())
        return what + ": the library is read-only (a Jet library: 'vlib convert' makes a native copy)";
    return what + ": the library refused the change";
}

}  // namespace vlib
