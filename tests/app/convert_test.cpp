// vlib convert: a Jet library into a native one, compared row by row afterwards.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>

#include "store/engine/database.h"
#include "support/temp_dir.h"

namespace {

using testing_support::jetFixturePath;

struct VlibRun {
    int code;
    std::string out;
};

VlibRun vlib(const std::string& args) {
    std::string command = std::string(VLIB_PATH) + " " + args + " 2>/dev/null";
    FILE* p = popen(command.c_str(), "r");
    VlibRun r{-1, ""};
    char buf[4096];
    for (size_t n; (n = fread(buf, 1, sizeof buf, p)) > 0;) r.out.append(buf, n);
    int status = pclose(p);
    r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

std::string quoted(const std::string& path) { return "'" + path + "'"; }

void expectSameDatabase(engine::Database& jet, engine::Database& native) {
    ASSERT_EQ(native.format(), engine::Format::Sqlite);
    ASSERT_EQ(native.tableNames(), jet.tableNames());
    for (const std::string& table : jet.tableNames()) {
        SCOPED_TRACE(table);
        const engine::TableDef a = jet.tableDef(table), b = native.tableDef(table);
        ASSERT_EQ(a.fields.size(), b.fields.size());
        for (size_t i = 0; i < a.fields.size(); ++i) {
            EXPECT_EQ(a.fields[i].name, b.fields[i].name);
            EXPECT_EQ(a.fields[i].type, b.fields[i].type);
            EXPECT_EQ(a.fields[i].size, b.fields[i].size);
            EXPECT_EQ(a.fields[i].allowZeroLength, b.fields[i].allowZeroLength);
            EXPECT_EQ(a.fields[i].defaultValue, b.fields[i].defaultValue);
        }
        ASSERT_EQ(a.indexes.size(), b.indexes.size());
        for (size_t i = 0; i < a.indexes.size(); ++i) {
            EXPECT_EQ(a.indexes[i].name, b.indexes[i].name);
            EXPECT_EQ(a.indexes[i].fields, b.indexes[i].fields);
            EXPECT_EQ(a.indexes[i].primary, b.indexes[i].primary);
        }
        EXPECT_EQ(jet.propertyNames(table).size(), native.propertyNames(table).size());
        for (const std::string& p : jet.propertyNames(table)) EXPECT_EQ(jet.property(table, p), native.property(table, p)) << p;

        auto from = jet.openTable(table);
        auto to = native.openTable(table);
        from->setIndex("primaryKey");
        to->setIndex("primaryKey");
        ASSERT_EQ(from->recordCount(), to->recordCount());
        for (; !from->eof(); from->moveNext(), to->moveNext()) {
            ASSERT_FALSE(to->eof());
            for (const engine::FieldDef& f : a.fields) {
                if (f.type == engine::DaoType::LongBinary) {
                    EXPECT_EQ(from->getChunk(f.name, 0, 1 << 30), to->getChunk(f.name, 0, 1 << 30)) << f.name;
                    EXPECT_EQ(from->field(f.name).isNull(), to->field(f.name).isNull()) << f.name;
                } else {
                    EXPECT_EQ(from->field(f.name), to->field(f.name)) << f.name;
                }
            }
        }
        EXPECT_TRUE(to->eof());
    }
}

TEST(VlibConvert, EveryRowAndStoredByteArrivesUnchanged) {
    testing_support::TempDir dir;
    for (const char* fixture : {"library_basic.mdb", "library_noprops.mdb", "library_bt40.mdb", "dictionary.mdb"}) {
        SCOPED_TRACE(fixture);
        const std::string out = dir.file(std::string("native_") + fixture);
        VlibRun r = vlib("convert " + quoted(jetFixturePath(fixture)) + " " + quoted(out));
        ASSERT_EQ(r.code, 0);
        EXPECT_NE(r.out.find("tables"), std::string::npos);
        auto jet = engine::openDatabase(jetFixturePath(fixture), {.readOnly = true});
        auto native = engine::openDatabase(out, {.readOnly = true});
        expectSameDatabase(*jet, *native);
    }
}

TEST(VlibConvert, RefusesToOverwriteUnlessForced) {
    testing_support::TempDir dir;
    const std::string in = quoted(jetFixturePath("library_wrongid.mdb"));
    const std::string out = dir.file("out.mdb");
    testing_support::writeFile(out, "precious");
    EXPECT_EQ(vlib("convert " + in + " " + quoted(out)).code, 1);
    EXPECT_EQ(testing_support::readFile(out), "precious");
    EXPECT_EQ(vlib("convert " + in + " " + quoted(out) + " --force").code, 0);
    EXPECT_EQ(engine::openDatabase(out)->property("tree", "QuillmereLibID"), engine::Value(int32_t(2019)));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);  // no temporary left
}

TEST(VlibConvert, DamagedInputAndUsageErrors) {
    testing_support::TempDir dir;
    const std::string good = testing_support::readFile(jetFixturePath("library_basic.mdb"));
    const std::string damaged = dir.file("damaged.mdb");
    testing_support::writeFile(damaged, good.substr(0, good.size() - 4096 * 3 - 17));
    const std::string out = dir.file("out.mdb");
    EXPECT_EQ(vlib("convert " + quoted(damaged) + " " + quoted(out)).code, 1);
    EXPECT_FALSE(std::filesystem::exists(out));
    EXPECT_EQ(vlib("convert " + quoted(damaged)).code, 2);
    EXPECT_EQ(vlib("convert --nonsense a b").code, 2);
    EXPECT_EQ(vlib("convert " + quoted(damaged) + " " + quoted(damaged) + " --force").code, 2);
}

}  // namespace
