// Walking the children of a class: Seek "=" on "+pid;+id" and MoveNext through a table-type
// recordset, against the same walk done with one prepared SQLite query on the same file.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <memory>
#include <stdexcept>
#include <string>

#include "store/engine/database.h"
#include "support/bench.h"

namespace {

const int kChildren = 100000;
const int kClass = 2;

std::string libraryPath() { return bench::scratchDir() + "/walk.mdb"; }

std::unique_ptr<engine::Database> ours;
sqlite3* plain = nullptr;
sqlite3_stmt* childrenQuery = nullptr;

engine::FieldDef field(const char* name, engine::DaoType type, int size, const char* def) {
    engine::FieldDef f;
    f.name = name;
    f.type = type;
    f.size = size;
    if (def) f.defaultValue = def;
    f.allowZeroLength = type == engine::DaoType::Text;
    return f;
}

// A library whose class 2 holds kChildren documents and class 3 as many again; the two are
// inserted interleaved so that neither class is stored in one piece.
void makeLibrary() {
    using engine::DaoType;
    auto db = engine::createDatabase(libraryPath(), ";LANGID=0x0804;CP=936;COUNTRY=0", 64);
    engine::TableDef tree{"tree",
                          {field("id", DaoType::Long, 4, "0"), field("pid", DaoType::Long, 4, "0"),
                           field("bt", DaoType::Text, 100, "\"\""), field("path", DaoType::Boolean, 1, nullptr),
                           field("size", DaoType::Long, 4, "0"), field("attr", DaoType::Long, 4, "0"),
                           field("dt", DaoType::Date, 8, "Now()"), field("readed", DaoType::Boolean, 1, nullptr)},
                          {{"primaryKey", "+id", true, true}, {"pid", "+pid;+id", false, false}}};
    db->createTable(tree);
    auto rs = db->openTable("tree");
    db->beginTrans();
    for (int i = 0; i < 2 * kChildren; ++i) {
        rs->addNew();
        rs->setField("id", i + 10);
        rs->setField("pid", i % 2 ? kClass : kClass + 1);
        rs->setField("bt", "Document title number " + std::to_string(i));
        rs->setField("path", false);
        rs->update();
    }
    db->commitTrans();
    db->close();

    ours = engine::openDatabase(libraryPath());
    if (sqlite3_open_v2(libraryPath().c_str(), &plain, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK ||
        sqlite3_prepare_v2(plain, "SELECT id, bt FROM tree WHERE pid = ? ORDER BY id", -1, &childrenQuery, nullptr) !=
            SQLITE_OK)
        throw std::runtime_error("cannot open the benchmark library with SQLite");
}

void walkOurs() {
    auto rs = ours->openTable("tree");
    rs->setIndex("pid");
    rs->seek("=", kClass);
    long sum = 0;
    int n = 0;
    while (!rs->noMatch() && !rs->eof() && rs->field("pid").toLong() == kClass) {
        sum += rs->field("id").toLong();
        sum += static_cast<long>(rs->field("bt").toText().size());
        ++n;
        rs->moveNext();
    }
    if (n != kChildren) throw std::runtime_error("the walk missed children");
    benchmark::DoNotOptimize(sum);
}

void walkPlain() {
    sqlite3_bind_int(childrenQuery, 1, kClass);
    long sum = 0;
    int n = 0;
    while (sqlite3_step(childrenQuery) == SQLITE_ROW) {
        sum += sqlite3_column_int(childrenQuery, 0);
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(childrenQuery, 1));
        sum += static_cast<long>(std::string(text, static_cast<size_t>(sqlite3_column_bytes(childrenQuery, 1))).size());
        ++n;
    }
    sqlite3_reset(childrenQuery);
    if (n != kChildren) throw std::runtime_error("the plain walk missed children");
    benchmark::DoNotOptimize(sum);
}

}  // namespace

void registerBenchmarks() { bench::pair("recordset_walk", walkOurs, walkPlain, makeLibrary); }
