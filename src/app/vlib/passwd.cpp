// vlib passwd: setting, changing or removing the password of a class or the library.
#include <cstdio>

#include "app/vlib/command.h"
#include "app/vlib/edit_common.h"

namespace vlib {
namespace {

int runPasswd(const std::vector<std::string>& raw) {
    Args args;
    if (!parseArgs(raw, {"remove"}, {}, args)) return Usage;
    if (args.positional.size() != 2) return fail(Usage, "passwd needs FILE and a class");
    store::ctreebook book;
    int code = Ok;
    if (!openForEditing(book, args.positional[0], code)) return code;
    const int32_t id = resolveClass(book, args.positional[1]);
    if (id == 0) return Failed;
    book.passwordPrompts = terminalPrompts(args.has("remove"));
    if (!store::changePassword(book, id, "")) {
        if (book.myDB() && book.myDB()->readOnly()) return fail(Failed, refusedChange(book, "password unchanged"));
        return fail(Failed, "password unchanged");
    }
    std::printf("%s\n", book.getPasswd(id) == "ok" ? "The password was removed." : "The password was set.");
    return Ok;
}

const Command command(
    "passwd", "passwd FILE CLASS [--remove]",
    "Sets or changes the password of a class (an id, or titles separated by \"/\"; 1 or \"/\" is\n"
    "the library itself). When the class has a password it is asked first. On a terminal the\n"
    "new password is asked twice without echo; otherwise one line of standard input is read\n"
    "for each question. Spaces around a password are dropped; an empty new password removes it.\n"
    "A password keeps casual readers out of a class in the browser; it does not encrypt.\n"
    "\n"
    "  --remove  remove the password (the old one is asked)",
    runPasswd);

}  // namespace
}  // namespace vlib
