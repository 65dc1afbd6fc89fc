// Test helpers for the store: an icon provider that records what it was asked, and a real
// library file in a TempDir with records written straight through the engine.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "store/ctreebook.h"
#include "store/memory_controls.h"
#include "support/temp_dir.h"

namespace store_test {

using engine::Bytes;

// Answers "icon:<format>" and remembers the formats asked for.
class RecordingIcons : public store::IconProvider {
public:
    explicit RecordingIcons(std::string prefix = "icon") : prefix_(std::move(prefix)) {}
    std::vector<std::string> asked;
    std::string iconKey(const std::string& format) override {
        asked.push_back(format);
        return prefix_ + ":" + format;
    }

private:
    std::string prefix_;
};

inline Bytes bytesOf(const std::string& s) { return Bytes(s.begin(), s.end()); }

// One text member of each row or node, in order: each(list.items, &store::ListItem::key).
template <class Rows, class Field>
std::vector<std::string> each(const Rows& rows, Field field) {
    std::vector<std::string> out;
    for (const auto& row : rows) out.push_back(row.*field);
    return out;
}

// A new library file, opened (so it holds the root record, id 1).
class TestLibrary {
public:
    explicit TestLibrary(const std::string& name = "lib.mdb") : file(dir.file(name)) {
        EXPECT_TRUE(book.createBookMDB(file));
        EXPECT_TRUE(book.openDB(file));
    }

    // A main row; documents also get a content row of format gs holding content.
    void addRow(int32_t id, int32_t pid, const std::string& title, bool isClass,
                const std::string& gs = "txt", const Bytes& content = {}, bool readed = false) {
        engine::Recordset& rs = *book.myRS();
        rs.addNew();
        rs.setField("id", engine::Value(id));
        rs.setField("pid", engine::Value(pid));
        rs.setField("bt", engine::Value(title));
        rs.setField("path", engine::Value(isClass));
        rs.setField("size", engine::Value(static_cast<int32_t>(content.size())));
        rs.setField("readed", engine::Value(readed));
        rs.update();
        if (isClass) return;
        engine::Recordset& nr = *book.nrRS();
        nr.addNew();
        nr.setField("id", engine::Value(id));
        nr.setField("gs", engine::Value(gs));
        nr.update();
        if (!content.empty()) {
            Bytes stored = content;
            ASSERT_TRUE(book.putNR(id, stored));
        }
    }
    void addClass(int32_t id, int32_t pid, const std::string& title, bool readed = false) {
        addRow(id, pid, title, true, "", {}, readed);
    }
    void addDoc(int32_t id, int32_t pid, const std::string& title, const std::string& text,
                const std::string& gs = "txt") {
        addRow(id, pid, title, false, gs, bytesOf(text));
    }

    // Replaces the content row's fields as they are stored (for damaged rows).
    void setStored(int32_t id, const engine::Value& zed, const engine::Value& size,
                   const Bytes* stored) {
        engine::Recordset& nr = *book.nrRS();
        nr.setIndex("primaryKey");
        nr.seek("=", engine::Value(id));
        ASSERT_FALSE(nr.noMatch());
        nr.edit();
        nr.setField("zed", zed);
        nr.setField("size", size);
        if (stored) nr.appendChunk("nr", *stored);
        else nr.setField("nr", engine::Value());
        nr.update();
    }

    // The stored bytes of a content row.
    Bytes stored(int32_t id) {
        engine::Recordset& nr = *book.nrRS();
        nr.setIndex("primaryKey");
        nr.seek("=", engine::Value(id));
        if (nr.noMatch()) return {};
        return nr.getChunk("nr", 0, nr.fieldSize("nr"));
    }

    testing_support::TempDir dir;
    std::string file;
    store::ctreebook book;
};

}  // namespace store_test
