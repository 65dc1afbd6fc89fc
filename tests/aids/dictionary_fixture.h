// Dictionaries for the explanation tests: the Jet fixture copied under the dictionary's name,
// or a native one with the fixture's tables and columns and the rows a test gives.
#pragma once

#include "aids/explain_module.h"
#include "store/engine/database.h"
#include "support/temp_dir.h"

#include <filesystem>
#include <string>
#include <vector>

namespace aids_test {

inline std::string dictionaryIn(const std::string& folder) { return folder + "/" + aids::kDictionaryFileName; }

inline void copyJetDictionary(const std::string& folder) {
    std::filesystem::copy_file(testing_support::jetFixturePath("dictionary.mdb"), dictionaryIn(folder));
}

struct Row {
    std::string table;
    std::vector<engine::Value> values;  // in column order
};

inline engine::FieldDef field(const std::string& name, engine::DaoType type, int size = 0) {
    engine::FieldDef f;
    f.name = name;
    f.type = type;
    f.size = size;
    return f;
}

inline void createNativeDictionary(const std::string& folder, const std::vector<Row>& rows) {
    using engine::DaoType;
    auto db = engine::createDatabase(dictionaryIn(folder), ";LANGID=0x0804;CP=936;COUNTRY=0", 64);
    const auto table = [&](const std::string& name, std::vector<engine::FieldDef> fields) {
        const std::string key = fields.front().name;
        db->createTable({name, std::move(fields), {{"primaryKey", "+" + key, true, true}}});
    };
    table("hz", {field("zi", DaoType::Text, 2), field("spell", DaoType::Text, 50), field("part", DaoType::Text, 10),
                 field("strokes", DaoType::Long, 4), field("oldname", DaoType::Text, 10), field("Content", DaoType::Memo)});
    table("ci", {field("ci", DaoType::Text, 50), field("spell", DaoType::Text, 100), field("Content", DaoType::Memo)});
    table("成语", {field("成语", DaoType::Text, 50), field("拼音", DaoType::Text, 100), field("解释", DaoType::Memo)});
    table("english", {field("word", DaoType::Text, 100), field("内容", DaoType::Memo)});
    for (const Row& row : rows) {
        auto rs = db->openTable(row.table);
        const std::vector<std::string> names = rs->fieldNames();
        rs->addNew();
        for (size_t i = 0; i < row.values.size(); ++i) rs->setField(names[i], row.values[i]);
        rs->update();
        rs->close();
    }
    db->close();
}

}  // namespace aids_test
