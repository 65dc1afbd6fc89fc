// vlib notes: the two notes of a record.
#include <cstdio>

#include "app/vlib/command.h"
#include "app/vlib/edit_common.h"

namespace vlib {
namespace {

int runNotes(const std::vector<std::string>& raw) {
    Args args;
    if (!parseArgs(raw, {}, {"set", "attach", "format"}, args)) return Usage;
    if (args.positional.size() != 2) return fail(Usage, "notes needs FILE and a record");
    store::ctreebook book;
    int code = Ok;
    if (!openForEditing(book, args.positional[0], code)) return code;
    const int32_t id = resolveRecord(book, args.positional[1]);
    if (id == 0) return Failed;
    if (!book.noteAvailable()) return fail(Failed, "the library has no note table");
    if (args.has("set") && !book.insertNode2(id, args.value("set")))
        return fail(Failed, refusedChange(book, "cannot set the note"));
    if (args.has("attach")) {
        clsFilePath files;
        store::Bytes bytes;
        const std::string file = args.value("attach");
        if (!files.fileExist(file)) return fail(Failed, file + ": no such file");
        files.loadBinFile(file, bytes);
        const std::string gs = args.value("format", files.getFileExtName(file));
        if (!book.insertNode1(id, bytes, gs)) return fail(Failed, refusedChange(book, "cannot attach the note"));
    }
    store::Bytes note1;
    std::string gs;
    if (book.getNode1(id, note1, gs)) std::printf("note 1: %zu bytes, format %s\n", note1.size(), gs.c_str());
    const std::string note2 = book.getNode2(id);
    if (!note2.empty()) std::printf("%s\n", note2.c_str());
    return Ok;
}

const Command command(
    "notes", "notes FILE RECORD [--set TEXT] [--attach FILE [--format GS]]",
    "Shows the notes of a record (an id, or titles separated by \"/\"): the size and format of\n"
    "its first note, and the text of its second.\n"
    "\n"
    "  --set TEXT     replace the text note\n"
    "  --attach FILE  replace the first note with the bytes of FILE (format: its extension,\n"
    "                 or GS given with --format)",
    runNotes);

}  // namespace
}  // namespace vlib
