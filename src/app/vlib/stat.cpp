// vlib stat: everything the library holds about one record.
#include <cstdio>

#include "app/vlib/book_access.h"
#include "app/vlib/command.h"
#include "store/values.h"
#include "util/crc32.h"

namespace vlib {
namespace {

void line(const char* name, const std::string& value) { std::printf("%s: %s\n", name, value.c_str()); }

int run(const std::vector<std::string>& raw) {
    store::ctreebook book;
    int32_t id = 0;
    if (int rc = openFileAndId(raw, "stat needs FILE and ID", book, id); rc != Ok) return rc;
    if (!book.getRecByID(id)) return fail(Failed, "there is no record " + std::to_string(id));
    const store::TreeRecord rec = book.currRec();
    line("id", std::to_string(rec.id));
    line("parent", std::to_string(rec.pid));
    line("title", book.BTByID(id));
    line("kind", rec.path ? "class" : "doc");
    line("class path", book.getPPathName(id, false));
    line("date", store::formatDateYMDHM(rec.dt));
    line("read", rec.readed ? "yes" : "no");
    line("attr", std::to_string(book.attrByid(id)));
    line("size", std::to_string(rec.size));
    if (rec.path) {
        line("documents below", std::to_string(book.countPid(id, true)));
        line("content below", std::to_string(book.sizePid(id, true)));
    }
    if (!book.getRecByID2(id)) {
        line("content", "none");
        return Ok;
    }
    const store::ContentRecord content = book.currNR();
    line("format", book.gsByid(id));
    line("content size", std::to_string(content.size));
    line("stored length", std::to_string(content.nr.size()));
    line("compressed", content.zed ? "yes" : "no");
    line("stored crc", std::to_string(content.crc));
    engine::Bytes bytes;
    const int32_t n = book.getNR(id, bytes);
    if (n <= 0) {
        line("computed crc", content.size > 0 ? "none (the content cannot be decoded)" : "none (no content)");
        return Ok;
    }
    store::ctreebook::encodeNr(bytes, n);
    const int32_t crc = Modcrc32::getCRC32(bytes);
    line("computed crc", std::to_string(crc) + (crc == content.crc ? " (matches)" : " (differs)"));
    return Ok;
}

const Command command("stat", "stat FILE ID",
                      "Shows the fields of record ID, its class path, and for stored content its format,\n"
                      "sizes, compression and CRC-32: the stored one and the one computed from the content.",
                      run);

}  // namespace
}  // namespace vlib
