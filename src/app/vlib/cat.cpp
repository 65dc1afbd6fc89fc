// vlib cat: the decoded content of a document, bytes unchanged.
#include <cstdio>

#include "app/vlib/book_access.h"
#include "app/vlib/command.h"

namespace vlib {
namespace {

int run(const std::vector<std::string>& raw) {
    store::ctreebook book;
    int32_t id = 0;
    if (int rc = openFileAndId(raw, "cat needs FILE and ID", book, id); rc != Ok) return rc;
    if (!recordExists(book, id)) return fail(Failed, "there is no record " + std::to_string(id));
    if (book.pathByid(id)) return fail(Failed, "record " + std::to_string(id) + " is a class");
    engine::Bytes content;
    const int32_t n = book.getNR(id, content);
    if (n <= 0) {
        if (book.sizeByidNR(id) > 0)
            return fail(Failed, "the content of record " + std::to_string(id) + " is damaged");
        return Ok;  // an empty document
    }
    if (std::fwrite(content.data(), 1, content.size(), stdout) != content.size() || std::fflush(stdout) != 0)
        return fail(Failed, "could not write the content");
    return Ok;
}

const Command command("cat", "cat FILE ID",
                      "Writes the content of document ID to standard output exactly as it was stored\n"
                      "(text documents are in code page 936).",
                      run);

}  // namespace
}  // namespace vlib
