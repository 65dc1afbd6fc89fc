// vlib convert: a Jet 4 library (read-only here) into a native one, losslessly.
//
// Works at the engine level: every table with its fields, sizes and indexes, every table
// property, every row with the stored bytes unchanged. The new file is written beside the
// target under a temporary name in one transaction and put in place only when complete,
// so a failed conversion leaves nothing behind and --force never loses the old file early.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <random>

#include "app/vlib/command.h"
#include "app/vlib/progress.h"
#include "store/engine/database.h"

namespace vlib {
namespace {

namespace fs = std::filesystem;

constexpr const char* kLocale = ";LANGID=0x0804;CP=936;COUNTRY=0";
constexpr int kDbVersion40 = 64;

engine::DaoType typeOf(const engine::Value& v) {
    if (v.isLong()) return engine::DaoType::Long;
    if (v.isDate()) return engine::DaoType::Date;
    if (v.isBool()) return engine::DaoType::Boolean;
    if (v.isDouble()) return engine::DaoType::Double;
    if (v.isBytes()) return engine::DaoType::LongBinary;
    return engine::DaoType::Text;
}

struct Counts {
    long rows = 0, properties = 0;
};

Counts copyTable(engine::Database& from, engine::Database& to, const std::string& name, ProgressBar& bar,
                 uint64_t& copied) {
    Counts counts;
    const engine::TableDef def = from.tableDef(name);
    to.createTable(def);
    for (const std::string& p : from.propertyNames(name)) {
        const engine::Value v = from.property(name, p);
        to.createProperty(name, p, typeOf(v), v);
        ++counts.properties;
    }
    auto in = from.openTable(name);
    auto out = to.openTable(name);
    for (; !in->eof(); in->moveNext()) {
        out->addNew();
        for (const engine::FieldDef& f : def.fields) out->setField(f.name, in->field(f.name));
        out->update();
        ++counts.rows;
        bar.update(++copied);
    }
    return counts;
}

// The rows of every table, for the progress bar; a table that cannot say counts as empty.
uint64_t countRows(engine::Database& db) {
    uint64_t rows = 0;
    for (const std::string& name : db.tableNames()) {
        try {
            rows += uint64_t(std::max(db.openTable(name)->recordCount(), 0L));
        } catch (const engine::Error&) {
        }
    }
    return rows;
}

std::string temporaryBeside(const std::string& target) {
    std::random_device rd;
    for (;;) {
        std::string candidate = target + ".converting-" + std::to_string(rd() % 1000000);
        std::error_code ec;
        if (!fs::exists(candidate, ec)) return candidate;
    }
}

int runConvert(const std::vector<std::string>& raw) {
    Args args;
    if (!parseArgs(raw, {"force"}, {}, args)) return Usage;
    if (args.positional.size() != 2) return fail(Usage, "convert needs IN and OUT");
    const std::string& inPath = args.positional[0];
    const std::string& outPath = args.positional[1];
    std::error_code ec;
    if (fs::exists(outPath, ec)) {
        if (fs::equivalent(inPath, outPath, ec)) return fail(Usage, "IN and OUT are the same file");
        if (!args.has("force")) return fail(Failed, outPath + " exists already (--force replaces it)");
        if (!fs::is_regular_file(outPath, ec)) return fail(Failed, outPath + " is not a file");
    }

    std::unique_ptr<engine::Database> from;
    try {
        from = engine::openDatabase(inPath, {.readOnly = true});
    } catch (const engine::Error& e) {
        return fail(Failed, inPath + ": " + e.what());
    }

    const std::string temp = temporaryBeside(outPath);
    long tables = 0;
    Counts total;
    try {
        auto to = engine::createDatabase(temp, kLocale, kDbVersion40);
        ProgressBar bar("Converting", countRows(*from));
        uint64_t copied = 0;
        to->beginTrans();
        try {
            for (const std::string& name : from->tableNames()) {
                Counts c = copyTable(*from, *to, name, bar, copied);
                ++tables;
                total.rows += c.rows;
                total.properties += c.properties;
            }
            to->commitTrans();
        } catch (...) {
            to->rollback();
            throw;
        }
        to->close();
    } catch (const engine::Error& e) {
        fs::remove(temp, ec);
        return fail(Failed, "cannot convert " + inPath + ": " + e.what());
    }
    fs::rename(temp, outPath, ec);
    if (ec) {
        fs::remove(temp, ec);
        return fail(Failed, "cannot write " + outPath);
    }
    std::printf("%ld tables, %ld rows, %ld table properties\n", tables, total.rows, total.properties);
    return Ok;
}

const Command command("convert", "convert IN OUT [--force]",
                      "Converts a library (a Jet 4 .mdb file, which VYNE reads but cannot change)\n"
                      "into a native library: the same tables, fields, indexes, table properties\n"
                      "and rows, with the stored content bytes copied unchanged. A progress bar goes\n"
                      "to stderr when it is a terminal; the counts of what was copied to stdout.\n"
                      "\n"
                      "  --force  replace OUT when it exists (only once the new file is complete)",
                      runConvert);

}  // namespace
}  // namespace vlib
