// vlib check: every document decodes to what its checksum says; the tree hangs together.
#include <cstdio>
#include <map>

#include "app/vlib/command.h"
#include "app/vlib/edit_common.h"
#include "util/crc32.h"
#include "util/zlib_compressor.h"

namespace vlib {
namespace {

struct Row {
    int32_t pid = 0;
    bool isClass = false;
};

// The stored bytes of the current content row checked against its size and checksum (the
// checksum is taken of the scrambled content, which is what the stream inflates to).
std::string contentProblem(const store::ContentRecord& nr, ZlibCompressor& zlib) {
    if (nr.size < 0) return "negative size";
    if (nr.size == 0) return nr.crc == 0 || nr.nr.empty() ? "" : "empty content with a checksum";
    store::Bytes bytes = nr.nr;
    if (nr.zed) {
        if (zlib.DecompressData(bytes, nr.size) != 0) return "content does not inflate";
        if (bytes.size() != static_cast<size_t>(nr.size)) return "content inflates to another size";
    } else {
        if (bytes.size() < static_cast<size_t>(nr.size)) return "content shorter than its size";
        bytes.resize(static_cast<size_t>(nr.size));
    }
    if (Modcrc32::getCRC32(bytes) != nr.crc) return "checksum mismatch";
    return {};
}

int runCheck(const std::vector<std::string>& raw) {
    Args args;
    if (!parseArgs(raw, {}, {}, args)) return Usage;
    if (args.positional.size() != 1) return fail(Usage, "check needs FILE");
    store::ctreebook book;
    int code = Ok;
    if (!openLibrary(book, args.positional[0], code)) return code;
    std::map<int32_t, Row> rows;
    try {
        engine::Recordset& rs = *book.myRS();
        rs.setIndex("primaryKey");
        for (rs.moveFirst(); !rs.eof(); rs.moveNext()) {
            const engine::Value pid = rs.field("pid"), path = rs.field("path");
            rows[rs.field("id").toLong()] = {pid.isNull() ? 0 : pid.toLong(), !path.isNull() && path.toBool()};
        }
    } catch (const std::exception& e) {
        return fail(Failed, std::string("cannot read the records: ") + e.what());
    }
    int problems = 0, documents = 0;
    auto problem = [&](int32_t id, const std::string& what) {
        std::printf("%d\t%s\t%s\n", id, book.BTByID(id).c_str(), what.c_str());
        ++problems;
    };
    ZlibCompressor zlib;
    for (const auto& [id, row] : rows) {
        if (id != 1 && !rows.count(row.pid)) problem(id, "its class " + std::to_string(row.pid) + " is missing");
        if (row.isClass) continue;
        ++documents;
        if (!book.getRecByID2(id)) {
            problem(id, "no content row");
            continue;
        }
        if (const std::string what = contentProblem(book.currNR(), zlib); !what.empty()) problem(id, what);
    }
    std::printf("%d documents checked, %d problems\n", documents, problems);
    return problems == 0 ? Ok : Failed;
}

const Command command(
    "check", "check FILE",
    "Decodes every document of the library and compares it with its stored size and checksum,\n"
    "and looks for records whose class is missing. Prints one line per problem (id, title,\n"
    "what is wrong) and a summary; the exit status is 1 when there is any problem.",
    runCheck);

}  // namespace
}  // namespace vlib
