#include "settings/ini_file.h"
#include "settings/ini_at.h"
#include "settings/combo_history.h"
#include "util/codepage.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

using testing_support::readFile;
using testing_support::writeFile;

class IniFile : public ::testing::Test {
protected:
    cInifile at(const std::string& section, const std::string& key = "") const {
        return testing_support::iniAt(file, section, key);
    }
    testing_support::TempDir dir;
    std::string file = dir.file("vyne.ini");
};

TEST_F(IniFile, WritesThroughAndMatchesNamesWithoutCase) {
    cInifile writer = at("Main", "Font");
    writer.setValue("宋体");
    EXPECT_TRUE(writer.Success());
    EXPECT_EQ(at("MAIN", "font").Value(), "宋体");  // another object sees it at once
    at("main", "FONT").setValue("黑体");
    at("Main", "size").setValue("12");
    at("Other", "x").setValue("1");
    EXPECT_EQ(readFile(file), "[Main]\r\nFont=\xBA\xDA\xCC\xE5\r\nsize=12\r\n[Other]\r\nx=1\r\n");
}

TEST_F(IniFile, MissingThingsReadAsTheDefault) {
    cInifile ini = at("none", "k");
    ini.Default = "fallback";
    EXPECT_EQ(ini.Value(), "fallback");  // no file
    at("s", "other").setValue("v");
    EXPECT_EQ(ini.Value(), "fallback");  // no section
    ini.section = "s";
    EXPECT_EQ(ini.Value(), "fallback");  // no key
    at("s", "k").setValue("");
    EXPECT_EQ(ini.Value(), "");  // present but empty
    cInifile empty = at("nothing");
    empty.path = dir.file("missing.ini");
    std::vector<std::string> names{"stale"};
    int32_t count = -1;
    empty.EnumerateAllSections(names, count);
    EXPECT_EQ(count, 0);
    EXPECT_TRUE(names.empty());
    EXPECT_EQ(empty.Sections(), "");
}

TEST_F(IniFile, ValuesPassThroughA255CharacterBuffer) {
    struct Case {
        std::string stored, readBack;
    } cases[] = {
        {std::string(255, 'a'), std::string(254, 'a')},
        {std::string(254, 'b'), std::string(254, 'b')},
        {std::string("a\0b\0", 4), "ab"},
        {"  spaced  ", "spaced"},
        {"\"quoted\"", "quoted"},
    };
    for (const auto& c : cases) {
        cInifile ini = at("s", "k");
        ini.setValue(c.stored);
        EXPECT_EQ(ini.Value(), c.readBack) << c.stored;
    }
    std::string chinese;
    for (int i = 0; i < 130; ++i) chinese += "字";  // 260 bytes in code page 936
    at("s", "k").setValue(chinese);
    EXPECT_EQ(at("s", "k").Value(), chinese.substr(0, 127 * 3));
}

TEST_F(IniFile, ReadsFilesWrittenByHandAndKeepsTheirOtherLines) {
    writeFile(file, "; settings\n[Main]\n  Left = 100 \n\n[main]\nLeft=999\n[Reader]\nspeed=3\n");
    EXPECT_EQ(at("MAIN", "left").Value(), "100");  // the first section of a name wins
    at("Main", "Top").setValue("5");
    at("Reader", "speed").setValue("4");
    // Lines nobody wrote keep their bytes, their line ends included; new lines end in CR LF.
    EXPECT_EQ(readFile(file), "; settings\n[Main]\n  Left = 100 \nTop=5\r\n\n[main]\nLeft=999\n[Reader]\nspeed=4\n");
}

TEST_F(IniFile, DeletingKeysAndSections) {
    at("a", "one").setValue("1");
    at("a", "two").setValue("2");
    at("b", "three").setValue("3");
    EXPECT_EQ(at("a").INISection(), std::string("one\0two", 7));
    EXPECT_EQ(at("").Sections(), std::string("a\0b", 3));
    std::vector<std::string> names;
    int32_t count = 0;
    at("a").EnumerateCurrentSection(names, count);
    EXPECT_EQ(names, (std::vector<std::string>{"one", "two"}));
    EXPECT_EQ(count, 2);

    cInifile ini = at("A", "ONE");
    ini.DeleteKey();
    EXPECT_TRUE(ini.Success());
    EXPECT_EQ(at("a").INISection(), "two");
    ini.DeleteSection();
    EXPECT_EQ(at("").Sections(), "b");
    cInifile b = at("b");
    b.setINISection("ignored");
    EXPECT_EQ(at("").Sections(), "");
}

TEST_F(IniFile, RefusedWritesReportFailure) {
    cInifile ini = at("s", "k");
    ini.path = dir.file("no/such/folder/x.ini");
    ini.setValue("v");
    EXPECT_EQ(ini.LastReturnCode(), 0);
    EXPECT_FALSE(ini.Success());
}

TEST_F(IniFile, NumberConversionsFallBack) {
    struct Case {
        std::string text;
        int32_t asLong;
        float asSingle;
    } cases[] = {{"12", 12, 12.f}, {" -3 ", -3, -3.f}, {"2.5", 2, 2.5f}, {"3.5", 4, 3.5f},
                 {"FAIL", 7, 7.f}, {"", 7, 7.f},      {"99999999999", 7, 99999999999.f}, {"1x", 7, 7.f}};
    for (const auto& c : cases) {
        EXPECT_EQ(cInifile::CLngDefault(c.text, 7), c.asLong) << c.text;
        EXPECT_FLOAT_EQ(cInifile::CSngDefault(c.text, 7.f), c.asSingle) << c.text;
    }
}

TEST_F(IniFile, FontsRoundTripAndKeepTheKey) {
    IniFont saved{"楷体", 10.5f, true, false, true, true, 700, 134};
    cInifile ini = at("mainWinTextFont", "unrelated");
    ini.SaveFont(saved);
    EXPECT_EQ(ini.key, "unrelated");
    EXPECT_EQ(at("mainWinTextFont", "size").Value(), "10.5");
    IniFont loaded;
    at("mainWinTextFont").loadFont(loaded);
    EXPECT_EQ(loaded.name, saved.name);
    EXPECT_FLOAT_EQ(loaded.size, saved.size);
    EXPECT_EQ(loaded.bold, saved.bold);
    EXPECT_EQ(loaded.italic, saved.italic);
    EXPECT_EQ(loaded.underline, saved.underline);
    EXPECT_EQ(loaded.strikethrough, saved.strikethrough);
    EXPECT_EQ(loaded.weight, saved.weight);
    EXPECT_EQ(loaded.charset, saved.charset);

    IniFont current{"Sans", 11, true, true, true, true, 600, 1};
    at("empty").loadFont(current);  // nothing stored: face, size, weight and charset stay
    EXPECT_EQ(current.name, "Sans");
    EXPECT_FLOAT_EQ(current.size, 11);
    EXPECT_EQ(current.weight, 600);
    EXPECT_EQ(current.charset, 1);
    EXPECT_FALSE(current.bold);
}

TEST_F(IniFile, WindowPositionsFollowTheWindowState) {
    using State = IniFormPosition::State;
    at("win").SaveFormPosition({100, 200, 3000, 4000, State::Normal});
    at("win").SaveFormPosition({0, 0, 10, 10, State::Maximised});  // keeps the normal position
    at("win").SaveFormPosition({0, 0, 10, 10, State::Minimised});  // writes nothing
    EXPECT_EQ(at("win", "Left").Value(), "100");
    EXPECT_EQ(at("win", "Width").Value(), "3000");
    EXPECT_EQ(at("win", "Maximised").Value(), "1");
}

TEST_F(IniFile, RestoredPositionsFitTheScreen) {
    const IniScreen screen{19200, 14400, 15, 15};  // 1280 x 960 pixels; margin 60 twips
    const IniFormPosition current{1000, 1000, 6000, 5000, IniFormPosition::State::Normal};
    struct Case {
        const char* what;
        std::string left, width, maximised;
        int32_t wantLeft, wantWidth;
        bool maximise;
    } cases[] = {
        {"nothing stored", "", "", "", 1000, 6000, false},
        {"off the left edge", "-500", "", "", 60, 6000, false},
        {"wider than the screen", "0", "30000", "1", 60, 19200 - 120, true},
        {"off the right edge", "18000", "4000", "0", 19200 - 60 - 4000, 4000, false},
    };
    for (const auto& c : cases) {
        cInifile ini = at(c.what);
        for (auto [k, v] : {std::pair{"Left", c.left}, {"Width", c.width}, {"Maximised", c.maximised}})
            if (!v.empty()) at(c.what, k).setValue(v);
        ini.key = "kept";
        ini.Default = "kept too";
        auto p = ini.LoadFormPosition(current, 3000, 3000, screen);
        EXPECT_TRUE(p.moved) << c.what;
        EXPECT_EQ(p.left, c.wantLeft) << c.what;
        EXPECT_EQ(p.width, c.wantWidth) << c.what;
        EXPECT_EQ(p.top, 1000) << c.what;
        EXPECT_EQ(p.maximise, c.maximise) << c.what;
        EXPECT_EQ(ini.key, "kept");
        EXPECT_EQ(ini.Default, "kept too");
    }
    auto tiny = at("tiny").LoadFormPosition(current, 3000, 30000, screen);  // cannot fit the minimum
    EXPECT_FALSE(tiny.moved);
}

TEST_F(IniFile, ProgramSettingsFileIsBesideTheProgram) {
    setenv("VYNE_HOME", dir.path().c_str(), 1);
    EXPECT_EQ(cInifile::programIniPath(), dir.path() + "/test_settings.ini");
    unsetenv("VYNE_HOME");
}

}  // namespace

namespace {

// A combo box as plain lists.
class RecordingCombo : public settings::HistoryCombo {
public:
    std::vector<std::pair<std::string, int32_t>> items;
    std::string shown;
    int selected = -1, tag = -2;
    int count() const override { return int(items.size()); }
    std::string itemText(int i) const override { return items[size_t(i)].first; }
    int32_t itemData(int i) const override { return items[size_t(i)].second; }
    void addItem(const std::string& text, int32_t data) override { items.emplace_back(text, data); }
    void setItem(int i, const std::string& text, int32_t data) override { items[size_t(i)] = {text, data}; }
    void removeItem(int i) override { items.erase(items.begin() + i); }
    void clear() override { items.clear(); }
    std::string text() const override { return shown; }
    void setText(const std::string& text) override { shown = text; }
    int selectedIndex() const override { return selected; }
    void setTag(int index) override { tag = index; }
    std::vector<std::string> texts() const {
        std::vector<std::string> all;
        for (const auto& item : items) all.push_back(item.first);
        return all;
    }
};

TEST_F(IniFile, ComboHistoriesInTheSettingsFile) {
    using V = std::vector<std::string>;
    struct Case {
        const char* what;
        std::string section;
        V want;
        std::string shown;
    } cases[] = {
        {"a gap in the entries is skipped", "[h]\r\n条数=3\r\n当前=c\r\n1条目=a\r\n2条目=\r\n3条目=c\r\n", V{"a", "c"}, "c"},
        {"a count of billions reads the entries there are", "[h]\r\n条数=2000000000\r\n1条目=a\r\n", V{"a"}, ""},
        {"entries beyond the count are not read", "[h]\r\n条数=1\r\n1条目=a\r\n2条目=b\r\n", V{"a"}, ""},
        {"a count that is no number", "[h]\r\n条数=-7\r\n1条目=a\r\n", V{}, ""},
    };
    for (const auto& c : cases) {
        const util::Bytes ansi = util::utf8ToAnsi(c.section);
        writeFile(file, std::string(ansi.begin(), ansi.end()));
        RecordingCombo combo;
        combo.items = {{"old", 0}};
        cInifile ini = at("other", "kept");
        settings::comboLoadFromIni(combo, ini, "H");
        EXPECT_EQ(combo.texts(), c.want) << c.what;
        EXPECT_EQ(combo.shown, c.shown) << c.what;
        EXPECT_EQ(ini.section, "other");
        EXPECT_EQ(ini.key, "kept");
    }
    RecordingCombo saved;
    saved.items = {{"甲", 0}, {"乙", 0}};
    saved.shown = "乙";
    cInifile ini = at("x");
    settings::comboSaveToIni(saved, ini, "hist");
    RecordingCombo loaded;
    settings::comboLoadFromIni(loaded, ini, "HIST");
    EXPECT_EQ(loaded.texts(), (V{"甲", "乙"}));
    EXPECT_EQ(loaded.shown, "乙");
}

TEST_F(IniFile, ComboAddItemAndItsNeighbours) {
    using V = std::vector<std::string>;
    struct Case {
        const char* what;
        V before;
        int selected, maxCount;
        std::string text;
        int wantIndex;
        V after;
    } cases[] = {
        {"an equal entry is shown again", V{"a", "b"}, -1, 5, "b", 1, V{"a", "b"}},
        {"room left: appended", V{"a"}, 0, 5, "n", 1, V{"a", "n"}},
        {"no limit: appended", V{"a", "b", "c"}, 0, 0, "n", 3, V{"a", "b", "c", "n"}},
        {"full, 4th selected: the first slot", V{"a", "b", "c", "d", "e"}, 3, 5, "n", 0, V{"n", "b", "c", "d", "e"}},
        {"full, 2nd selected: the slot after it", V{"a", "b", "c", "d", "e"}, 1, 5, "n", 2, V{"a", "b", "n", "d", "e"}},
        {"full, nothing selected: the first slot", V{"a", "b", "c"}, -1, 3, "n", 0, V{"n", "b", "c"}},
    };
    for (const auto& c : cases) {
        RecordingCombo combo;
        for (const auto& t : c.before) combo.items.emplace_back(t, 0);
        combo.selected = c.selected;
        EXPECT_EQ(settings::comboAddItem(combo, c.text, c.maxCount, 77), c.wantIndex) << c.what;
        EXPECT_EQ(combo.texts(), c.after) << c.what;
        EXPECT_EQ(combo.shown, c.text) << c.what;
        EXPECT_EQ(combo.tag, c.wantIndex) << c.what;
    }
    RecordingCombo combo;
    combo.items = {{"a", 1}, {"b", 2}, {"a", 3}};
    EXPECT_EQ(settings::getItemDatafromCombo(combo, "a"), 1);
    EXPECT_EQ(settings::getItemDatafromCombo(combo, "z"), 0);
    settings::comboRemoveItem(combo, "a");  // the last equal one
    EXPECT_EQ(combo.items, (std::vector<std::pair<std::string, int32_t>>{{"a", 1}, {"b", 2}}));
    settings::listboxAddItem(combo, "b");
    settings::listboxAddItem(combo, "c");
    EXPECT_EQ(combo.texts(), (V{"a", "b", "c"}));

    const std::string list = dir.file("history.txt");
    EXPECT_TRUE(settings::comboSaveToFile(combo, list));
    EXPECT_EQ(readFile(list), "a\r\nb\r\nc\r\n");
    RecordingCombo back;
    settings::comboLoadFromFile(back, list);
    EXPECT_EQ(back.texts(), (V{"a", "b", "c"}));
}

}  // namespace
