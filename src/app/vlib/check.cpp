// vlib check: every document decodes to what its checksum says; the tree hangs together.
#include <algorithm>
#include <cstdio>
#include <map>

#include "app/vlib/book_access.h"
#include "app/vlib/command.h"
#include "app/vlib/progress.h"

namespace vlib {
namespace {

struct Row {
    int32_t pid = 0;
    bool isClass = false;
};

int runCheck(const std::vector<std::string>& raw) {
    Args args;
    if (!parseArgs(raw, {}, {}, args)) return Usage;
    if (args.positional.size() != 1) return fail(Usage, "check needs FILE");
    store::ctreebook book;
    if (!openLibrary(args.positional[0], book)) return Failed;
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
    ProgressBar bar("Checking", std::count_if(rows.begin(), rows.end(), [](const auto& r) { return !r.second.isClass; }));
    for (const auto& [id, row] : rows) {
        if (id != 1 && !rows.count(row.pid)) problem(id, "its class " + std::to_string(row.pid) + " is missing");
        if (row.isClass) continue;
        bar.update(++documents);
        if (const std::string what = book.checkNR(id); !what.empty()) problem(id, what);
    }
    bar.finish();
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
