// The Jet backend on the genuine Jet 4 fixtures (written by another Jet implementation).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "engine/jet_sha256.h"
#include "engine/library_fixture.h"
#include "store/engine/dao_date.h"
#include "store/engine/database.h"
#include "support/temp_dir.h"

namespace {

using engine::DaoType;
using engine::ErrorCode;
using engine::Value;
using testing_support::jetFixturePath;

std::unique_ptr<engine::Database> open(const std::string& fixture) {
    return engine::openDatabase(jetFixturePath(fixture), {.readOnly = true});
}

using engine_test::errorOf;

// One document line of a manifest, read by key.
struct ManifestLine {
    std::string text;
    std::string raw(const std::string& key) const {
        std::smatch m;
        std::regex re("\"" + key + "\": (\"[^\"]*\"|[^,}]+)");
        if (!std::regex_search(text, m, re)) return "";
        return m[1];
    }
    std::string str(const std::string& key) const {
        std::string r = raw(key);
        return r.size() >= 2 ? r.substr(1, r.size() - 2) : r;
    }
    long num(const std::string& key) const { return std::stol(raw(key)); }
    bool flag(const std::string& key) const { return raw(key) == "true"; }
};

std::vector<ManifestLine> manifestDocuments(const std::string& manifest) {
    std::ifstream in(jetFixturePath(manifest));
    std::vector<ManifestLine> docs;
    bool inDocuments = false;
    for (std::string line; std::getline(in, line);) {
        if (line.find("\"documents\"") != std::string::npos) inDocuments = true;
        else if (inDocuments && line.find("{\"id\":") != std::string::npos) docs.push_back({line});
        else if (inDocuments && line.find(']') != std::string::npos) break;
    }
    return docs;
}

std::string daoDate(const std::string& iso) {
    std::string s = iso;
    std::replace(s.begin(), s.end(), 'T', ' ');
    return s;
}

TEST(JetDatabase, IdentificationPropertiesOfEachFixture) {
    struct Case {
        const char* file;
        std::optional<int> tree, nr;
        std::vector<std::string> tables;
    };
    const Case cases[] = {
        {"library_basic.mdb", 2018, 3018, {"tree", "nr", "note"}},
        {"library_wrongid.mdb", 2019, 3018, {"tree", "nr", "note"}},
        {"library_bt40.mdb", 2018, 3018, {"tree", "nr", "note"}},
        {"library_noprops.mdb", std::nullopt, std::nullopt, {"tree", "nr"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        auto db = open(c.file);
        EXPECT_EQ(db->format(), engine::Format::Jet);
        EXPECT_TRUE(db->readOnly());
        EXPECT_EQ(db->tableNames(), c.tables);
        for (auto [table, id] : {std::pair{"tree", c.tree}, std::pair{"nr", c.nr}}) {
            if (id) {
                EXPECT_EQ(db->property(table, "QuillmereLibID"), Value(int32_t(*id)));
                EXPECT_EQ(db->property(table, "quillmerelibid"), Value(int32_t(*id)));
            } else {
                EXPECT_EQ(errorOf([&, name = table] { db->property(name, "QuillmereLibID"); }), ErrorCode::PropertyNotFound);
                EXPECT_TRUE(db->propertyNames(table).empty());
            }
        }
        EXPECT_EQ(errorOf([&] { db->property("missing", "QuillmereLibID"); }), ErrorCode::NotFound);
    }
}

TEST(JetDatabase, PropertiesKeepTheirTypes) {
    auto db = open("library_basic.mdb");
    EXPECT_EQ(db->property("note", "QuillmereLibID"), Value(int32_t(4018)));
    Value dt = db->property("tree", "QuillmereLibDT");
    ASSERT_TRUE(dt.isDate());
    EXPECT_EQ(engine::formatDate(dt.toDate()), "2019-03-04 05:06:07");
    EXPECT_EQ(db->property("nr", "VYNEuser"), Value("vyneUser"));
    EXPECT_EQ(db->property("nr", "VYNEpassword"), Value("placeholder1"));
    EXPECT_EQ(db->propertyNames("tree").size(), 4u);
}

TEST(JetDatabase, TableDefinitionsAsStored) {
    auto db = open("library_basic.mdb");
    engine::TableDef tree = db->tableDef("TREE");
    std::vector<std::tuple<std::string, DaoType, int>> want = {
        {"id", DaoType::Long, 4},  {"pid", DaoType::Long, 4},     {"bt", DaoType::Text, 100},
        {"path", DaoType::Boolean, 1}, {"size", DaoType::Long, 4}, {"attr", DaoType::Long, 4},
        {"dt", DaoType::Date, 8},  {"readed", DaoType::Boolean, 1}};
    ASSERT_EQ(tree.fields.size(), want.size());
    for (size_t i = 0; i < want.size(); ++i) {
        EXPECT_EQ(tree.fields[i].name, std::get<0>(want[i]));
        EXPECT_EQ(tree.fields[i].type, std::get<1>(want[i]));
        EXPECT_EQ(tree.fields[i].size, std::get<2>(want[i]));
    }
    ASSERT_EQ(tree.indexes.size(), 2u);
    EXPECT_EQ(tree.indexes[0].name, "primaryKey");
    EXPECT_EQ(tree.indexes[0].fields, "+id");
    EXPECT_TRUE(tree.indexes[0].primary && tree.indexes[0].unique);
    EXPECT_EQ(tree.indexes[1].name, "pid");
    EXPECT_EQ(tree.indexes[1].fields, "+pid;+id");
    EXPECT_FALSE(tree.indexes[1].primary || tree.indexes[1].unique);

    EXPECT_TRUE(tree.fields[2].allowZeroLength);  // no property in the file: Jet accepts ""
    EXPECT_FALSE(tree.fields[0].allowZeroLength);

    engine::TableDef nr = db->tableDef("nr");
    EXPECT_EQ(nr.fields[3].type, DaoType::LongBinary);
    EXPECT_EQ(nr.fields[4].size, 6);
    EXPECT_EQ(db->tableDef("note").fields[6].type, DaoType::Memo);
    EXPECT_EQ(errorOf([&] { db->tableDef("nothing"); }), ErrorCode::NotFound);

    EXPECT_EQ(open("library_bt40.mdb")->tableDef("tree").fields[2].size, 40);
}

TEST(JetDatabase, EveryDocumentWithItsStoredBytes) {
    auto db = open("library_basic.mdb");
    auto tree = db->openTable("tree");
    auto nr = db->openTable("nr");
    tree->setIndex("primaryKey");
    nr->setIndex("primaryKey");
    auto docs = manifestDocuments("library_basic.expected.txt");
    ASSERT_EQ(docs.size(), 6u);
    for (const ManifestLine& d : docs) {
        const int32_t id = int32_t(d.num("id"));
        SCOPED_TRACE(id);
        tree->seek("=", Value(id));
        ASSERT_FALSE(tree->noMatch());
        EXPECT_EQ(tree->field("bt"), Value(d.str("title")));
        EXPECT_EQ(tree->field("pid"), Value(int32_t(d.num("pid"))));
        EXPECT_EQ(tree->field("path"), Value(false));
        EXPECT_EQ(tree->field("readed"), Value(d.flag("readed")));
        EXPECT_EQ(tree->field("size"), Value(int32_t(d.num("size"))));
        EXPECT_EQ(engine::formatDate(tree->field("dt").toDate()), daoDate(d.str("dt")));

        nr->seek("=", Value(id));
        ASSERT_FALSE(nr->noMatch());
        EXPECT_EQ(nr->field("gs"), Value(d.str("gs")));
        EXPECT_EQ(nr->field("size"), Value(int32_t(d.num("size"))));
        EXPECT_EQ(nr->field("CRC"), Value(int32_t(d.num("crc"))));
        EXPECT_EQ(nr->field("zed"), Value(d.flag("zed")));
        const long stored = d.num("stored_len");
        EXPECT_EQ(nr->fieldSize("nr"), stored);
        engine::Bytes bytes = nr->getChunk("nr", 0, stored + 100);
        EXPECT_EQ(jet_test::sha256Hex(bytes), d.str("sha256_stored"));
        engine::Bytes tail = nr->getChunk("nr", 1, stored);
        EXPECT_EQ(tail, engine::Bytes(bytes.begin() + 1, bytes.end()));
    }
}

TEST(JetDatabase, PasswordRowHoldsNullsAndUtf16Text) {
    auto db = open("library_basic.mdb");
    auto nr = db->openTable("nr");
    nr->setIndex("primaryKey");
    nr->seek("=", Value(int32_t(6)));
    ASSERT_FALSE(nr->noMatch());
    EXPECT_TRUE(nr->field("size").isNull());
    EXPECT_TRUE(nr->field("gs").isNull());
    EXPECT_TRUE(nr->field("crc").isNull());
    EXPECT_EQ(nr->field("zed"), Value(false));
    EXPECT_EQ(jet_test::sha256Hex(nr->getChunk("nr", 0, 1000)),
              "cd2a4f0109696747712431a90a48069dd3345d1c31d516efeb068361d74e531b");
}

TEST(JetDatabase, IndexOrderSeekAndMoves) {
    auto db = open("library_basic.mdb");
    auto rs = db->openTable("tree");
    EXPECT_EQ(rs->recordCount(), 9);
    rs->setIndex("pid");
    rs->seek("=", Value(int32_t(2)));
    ASSERT_FALSE(rs->noMatch());
    std::vector<int32_t> children;
    while (!rs->eof() && rs->field("pid") == Value(int32_t(2))) {
        children.push_back(rs->field("id").toLong());
        rs->moveNext();
    }
    EXPECT_EQ(children, (std::vector<int32_t>{3, 4, 9, 12}));

    rs->setIndex("primaryKey");
    EXPECT_EQ(rs->field("id"), Value(int32_t(1)));
    rs->seek("=", Value(int32_t(8)));
    EXPECT_TRUE(rs->noMatch());
    EXPECT_EQ(errorOf([&] { rs->field("id"); }), ErrorCode::NoCurrentRecord);
    rs->seek(">=", Value(int32_t(8)));
    ASSERT_FALSE(rs->noMatch());
    EXPECT_EQ(rs->field("id"), Value(int32_t(9)));
    rs->seek(">=", Value("10"));  // a key of text meets a numeric field as a number
    EXPECT_EQ(rs->field("id"), Value(int32_t(12)));
    rs->seek(">=", Value(int32_t(13)));
    EXPECT_TRUE(rs->noMatch());

    rs->moveLast();
    EXPECT_EQ(rs->field("id"), Value(int32_t(12)));
    engine::Bookmark last = rs->bookmark();
    rs->movePrevious();
    EXPECT_EQ(rs->field("id"), Value(int32_t(9)));
    rs->moveNext();
    rs->moveNext();
    EXPECT_TRUE(rs->eof());
    EXPECT_EQ(errorOf([&] { rs->moveNext(); }), ErrorCode::NoCurrentRecord);
    rs->moveFirst();
    EXPECT_TRUE(!rs->bof() && !rs->eof());
    rs->movePrevious();
    EXPECT_TRUE(rs->bof());
    EXPECT_EQ(errorOf([&] { rs->movePrevious(); }), ErrorCode::NoCurrentRecord);
    rs->setBookmark(last);
    EXPECT_EQ(rs->field("id"), Value(int32_t(12)));
    EXPECT_EQ(errorOf([&] { rs->setIndex("nope"); }), ErrorCode::NotFound);
    EXPECT_EQ(errorOf([&] { rs->field("nope"); }), ErrorCode::NotFound);
    engine_test::expectReadsByPlaceMatchReadsByName(*rs);
}

TEST(JetDatabase, EmptyTableHasNoCurrentRecord) {
    auto db = open("library_bt40.mdb");
    auto rs = db->openTable("tree");
    rs->setIndex("primaryKey");
    EXPECT_TRUE(rs->eof() && rs->bof());
    EXPECT_EQ(rs->recordCount(), 0);
    rs->seek(">=", Value(int32_t(0)));
    EXPECT_TRUE(rs->noMatch());
    EXPECT_EQ(errorOf([&] { rs->field("id"); }), ErrorCode::NoCurrentRecord);
}

TEST(JetDatabase, TitleSearchThroughQueries) {
    auto db = open("library_basic.mdb");
    auto ids = [&](const std::string& sql) {
        std::vector<int32_t> out;
        for (auto rs = db->openQuery(sql); !rs->eof(); rs->moveNext()) out.push_back(rs->field("id").toLong());
        return out;
    };
    EXPECT_EQ(ids("SELECT * FROM tree WHERE bt LIKE '*E*' ORDER BY id"), (std::vector<int32_t>{4, 5, 6, 7}));
    EXPECT_EQ(ids("select id from [tree] where bt like 'p*' and path = True"), (std::vector<int32_t>{6}));
    EXPECT_EQ(ids("SELECT id FROM tree WHERE bt LIKE '*章' AND path=False"), (std::vector<int32_t>{3}));
    EXPECT_EQ(ids("SELECT id FROM tree WHERE pid = 2 ORDER BY id DESC"), (std::vector<int32_t>{12, 9, 4, 3}));
    auto rs = db->openQuery("SELECT id, bt FROM tree WHERE readed = True");
    EXPECT_EQ(rs->fieldNames(), (std::vector<std::string>{"id", "bt"}));
    EXPECT_EQ(rs->recordCount(), 1);
    EXPECT_EQ(errorOf([&] { rs->field("pid"); }), ErrorCode::NotFound);
    EXPECT_EQ(errorOf([&] { db->openQuery("SELECT * FROM tree WHERE bt LIKE '*it's*'"); }), ErrorCode::QuerySyntax);
    EXPECT_EQ(errorOf([&] { db->openQuery("SELECT * FROM nothing"); }), ErrorCode::NotFound);
    EXPECT_EQ(errorOf([&] { db->openQuery("SELECT * FROM tree WHERE nothing = 1"); }), ErrorCode::NotFound);
}

TEST(JetDatabase, DictionaryTablesAndLookups) {
    auto db = open("dictionary.mdb");
    EXPECT_EQ(db->tableNames(), (std::vector<std::string>{"hz", "ci", "成语", "english"}));
    for (const std::string& t : db->tableNames()) {
        SCOPED_TRACE(t);
        auto rs = db->openTable(t);
        EXPECT_NO_THROW(rs->setIndex("primaryKey"));
        EXPECT_GT(rs->recordCount(), 0);
    }
    auto hz = db->openTable("hz");
    hz->setIndex("primaryKey");
    hz->seek("=", Value("走"));
    ASSERT_FALSE(hz->noMatch());
    EXPECT_TRUE(hz->field("oldname").isNull());
    EXPECT_FALSE(hz->field("spell").isNull());
    EXPECT_TRUE(hz->field("strokes").isLong());

    auto en = db->openTable("english");
    en->setIndex("primaryKey");
    for (const char* key : {"run", "RUN"}) {
        en->seek("=", Value(key));
        ASSERT_FALSE(en->noMatch()) << key;
        std::string text = en->field("内容").toText();
        EXPECT_NE(text.find('\t'), std::string::npos);
        EXPECT_NE(text.find("\r\n"), std::string::npos);
    }
    en->seek("=", Value("runn"));
    EXPECT_TRUE(en->noMatch());

    auto idiom = db->openTable("成语");
    idiom->setIndex("primaryKey");
    idiom->seek("=", Value("胸有成竹"));
    ASSERT_FALSE(idiom->noMatch());
    EXPECT_TRUE(idiom->field("拼音").isNull());
    EXPECT_TRUE(idiom->field("解释").isNull());
}

TEST(JetDatabase, EveryWriteIsRefused) {
    auto db = open("library_basic.mdb");
    auto rs = db->openTable("tree");
    const std::vector<std::function<void()>> writes = {
        [&] { db->createTable(engine::TableDef{"x", {{"id"}}, {}}); },
        [&] { db->deleteTable("note"); },
        [&] { db->createProperty("tree", "p", DaoType::Long, Value(int32_t(1))); },
        [&] { rs->addNew(); },
        [&] { rs->edit(); },
        [&] { rs->update(); },
        [&] { rs->deleteRecord(); },
        [&] { rs->setField("bt", Value("x")); },
        [&] { rs->appendChunk("bt", {1}); },
    };
    for (size_t i = 0; i < writes.size(); ++i) EXPECT_EQ(errorOf(writes[i]), ErrorCode::ReadOnly) << i;
    EXPECT_EQ(rs->editMode(), engine::EditMode::None);
}

// Damaged copies: a clear error, no crash, and the file left as it was.
TEST(JetDatabase, DamagedFilesGiveAClearError) {
    testing_support::TempDir dir;
    const std::string good = testing_support::readFile(jetFixturePath("library_basic.mdb"));
    struct Case {
        const char* name;
        std::string bytes;
        std::optional<ErrorCode> code;  // none: garbage that may still read as a database
    };
    std::string pageCut = good.substr(0, good.size() / 4096 / 2 * 4096);
    std::string catalogWiped = good;
    std::fill(catalogWiped.begin() + 2 * 4096, catalogWiped.begin() + 3 * 4096, '\xff');
    std::string scrambled = good;
    for (size_t i = 3 * 4096; i < scrambled.size(); i += 7) scrambled[i] = char(scrambled[i] * 31 + 17);
    const Case cases[] = {
        {"cut_mid_page.mdb", good.substr(0, good.size() - 1000), ErrorCode::Corrupt},
        {"cut_at_page.mdb", pageCut, ErrorCode::Corrupt},
        {"catalog_wiped.mdb", catalogWiped, ErrorCode::Corrupt},
        {"scrambled.mdb", scrambled, std::nullopt},
        {"header_only.mdb", good.substr(0, 4096), ErrorCode::Corrupt},
        {"text.mdb", "just some text, not a database\n", ErrorCode::CannotOpen},
        {"empty.mdb", "", ErrorCode::CannotOpen},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.file(c.name);
        testing_support::writeFile(path, c.bytes);
        try {
            engine::openDatabase(path, {.readOnly = true});
            EXPECT_FALSE(c.code) << "opened";
        } catch (const engine::Error& e) {
            EXPECT_EQ(e.code(), c.code.value_or(ErrorCode::Corrupt)) << e.what();
            if (e.code() == ErrorCode::Corrupt) EXPECT_NE(std::string(e.what()).find("damaged"), std::string::npos);
        }
        EXPECT_EQ(testing_support::readFile(path), c.bytes);
    }
    EXPECT_EQ(errorOf([&] { engine::openDatabase(dir.file("missing.mdb")); }), ErrorCode::CannotOpen);
}

}  // namespace

namespace {

// Inputs the fuzzer found harmful (fuzz/regressions/jet_read_fuzzer): through the real reader
// each one opens or fails with Corrupt, and none brings the caller down. That the faults
// themselves are mended shows in process: the test fuzz_replay.jet_read_fuzzer.
TEST(JetDatabase, FuzzFindingsGiveAClearError) {
    const std::filesystem::path dir = std::filesystem::path(VYNE_TEST_FIXTURES) / "../../fuzz/regressions/jet_read_fuzzer";
    int seen = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        SCOPED_TRACE(entry.path().filename().string());
        ++seen;
        try {
            auto db = engine::openDatabase(entry.path().string(), {.readOnly = true});
            for (const std::string& t : db->tableNames()) db->openTable(t)->recordCount();
        } catch (const engine::Error& e) {
            EXPECT_EQ(e.code(), ErrorCode::Corrupt) << e.what();
        }
    }
    EXPECT_GT(seen, 0);
}

}  // namespace
