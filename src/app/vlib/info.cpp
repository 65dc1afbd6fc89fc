// vlib info: what a file is, and what a book library holds.
#include <cstdio>

#include "app/vlib/command.h"
#include "store/ctreebook.h"
#include "store/values.h"

namespace vlib {
namespace {

std::string typeName(const engine::FieldDef& f) {
    using engine::DaoType;
    switch (f.type) {
    case DaoType::Boolean: return "Boolean";
    case DaoType::Byte: return "Byte";
    case DaoType::Integer: return "Integer";
    case DaoType::Long: return "Long";
    case DaoType::Currency: return "Currency";
    case DaoType::Single: return "Single";
    case DaoType::Double: return "Double";
    case DaoType::Date: return "Date";
    case DaoType::Binary: return "Binary";
    case DaoType::Text: return "Text(" + std::to_string(f.size) + ")";
    case DaoType::LongBinary: return "LongBinary";
    case DaoType::Memo: return "Memo";
    }
    return "type " + std::to_string(static_cast<int>(f.type));
}

std::string valueText(const engine::Value& v) {
    if (v.isNull()) return "Null";
    if (v.isDate()) return store::formatDateYMDHM(v.toDate());
    try {
        return v.toText();
    } catch (const engine::Error&) {
        return "?";
    }
}

void printTables(engine::Database& db) {
    std::printf("tables:\n");
    for (const std::string& name : db.tableNames()) {
        engine::TableDef def = db.tableDef(name);
        std::string fields;
        for (const engine::FieldDef& f : def.fields)
            fields += (fields.empty() ? "" : ", ") + f.name + " " + typeName(f);
        std::printf("  %s: %s\n", name.c_str(), fields.c_str());
        std::string props;
        for (const std::string& p : db.propertyNames(name))
            props += (props.empty() ? "" : ", ") + p + "=" + valueText(db.property(name, p));
        if (!props.empty()) std::printf("    properties: %s\n", props.c_str());
    }
}

void printCounts(engine::Database& db) {
    long classes = 0, documents = 0;
    auto tree = db.openTable("tree");
    for (tree->moveFirst(); !tree->eof(); tree->moveNext())
        (store::boolOrFalse(tree->field("path")) ? classes : documents)++;
    std::printf("records: %ld classes, %ld documents, %ld content rows\n", classes, documents,
                db.openTable("nr")->recordCount());
}

int run(const std::vector<std::string>& raw) {
    Args args;
    if (!parseArgs(raw, {}, {}, args)) return Usage;
    if (args.positional.size() != 1) return fail(Usage, "info needs one FILE");
    const std::string& file = args.positional[0];
    const std::string problem = store::ctreebook::libraryProblem(file);
    std::printf("file: %s\n", file.c_str());
    const engine::Format format = engine::detectFormat(file);
    std::printf("format: %s\n", format == engine::Format::Sqlite ? "native (SQLite)"
                                : format == engine::Format::Jet  ? "Jet 4 (read-only)"
                                                                 : "none");
    std::printf("book library: %s\n", problem.empty() ? "yes" : ("no, " + problem).c_str());
    if (format == engine::Format::None) return Failed;
    try {
        auto db = engine::openDatabase(file, {.readOnly = true});
        printTables(*db);
        if (problem.empty()) printCounts(*db);
    } catch (const engine::Error& e) {
        return fail(Failed, std::string("could not read the database: ") + e.what());
    }
    return problem.empty() ? Ok : Failed;
}

const Command command("info", "info FILE",
                      "Tells whether FILE is a book library (and why not), its format (native or Jet),\n"
                      "its tables with their fields and properties, and how many classes and documents\n"
                      "it holds. Exit status 1 when it is not a library.",
                      run);

}  // namespace
}  // namespace vlib
