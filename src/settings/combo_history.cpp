#include "settings/combo_history.h"

#include "util/codepage.h"
#include "util/file_io.h"
#include "util/file_path.h"

namespace settings {
namespace {

const char* const kCount = "条数";
const char* const kShown = "当前";
const char* const kEntry = "条目";

void writeKey(cInifile& ini, const std::string& key, const std::string& value) {
    ini.key = key;
    ini.setValue(value);
}

}  // namespace

void comboSaveToIni(const HistoryCombo& combo, cInifile& ini, const std::string& section) {
    const std::string keptSection = ini.section, keptKey = ini.key;
    ini.section = section;
    writeKey(ini, kCount, std::to_string(combo.count()));
    writeKey(ini, kShown, combo.text());
    for (int i = 0; i < combo.count(); ++i) writeKey(ini, std::to_string(i + 1) + kEntry, combo.itemText(i));
    ini.section = keptSection;
    ini.key = keptKey;
}

void comboLoadFromIni(HistoryCombo& combo, cInifile& ini, const std::string& section) {
    combo.clear();
    const std::string keptSection = ini.section, keptKey = ini.key;
    ini.section = section;
    ini.key = kCount;
    const int32_t count = cInifile::CLngDefault(ini.Value(), 0);
    for (const auto& [i, text] : ini.numberedValues("", kEntry, count))
        if (!text.empty()) combo.addItem(text, 0);
    ini.key = kShown;
    if (std::string shown = ini.Value(); !shown.empty()) combo.setText(shown);
    ini.section = keptSection;
    ini.key = keptKey;
}

bool comboSaveToFile(const HistoryCombo& combo, const std::string& file) {
    std::string text;
    for (int i = 0; i < combo.count(); ++i) text += combo.itemText(i) + "\r\n";
    return util::replaceFile(file, util::utf8ToAnsi(text));
}

void comboLoadFromFile(HistoryCombo& combo, const std::string& file) {
    clsFilePath filePath;
    clsFilePath::List lines;
    filePath.loadTxtListFile(file, lines);
    for (const auto& line : lines) combo.addItem(line, 0);
}

int comboAddItem(HistoryCombo& combo, const std::string& text, int maxCount, int32_t itemData) {
    int index = -1;
    for (int i = 0; i < combo.count() && index < 0; ++i)
        if (combo.itemText(i) == text) index = i;
    if (index < 0 && (maxCount <= 0 || combo.count() < maxCount)) {
        combo.addItem(text, itemData);
        index = combo.count() - 1;
    } else if (index < 0) {
        index = combo.selectedIndex() + 1;
        if (index >= maxCount - 1) index = 0;
        combo.setItem(index, text, itemData);
    }
    combo.setText(text);
    combo.setTag(index);
    return index;
}

void comboRemoveItem(HistoryCombo& combo, const std::string& text) {
    for (int i = combo.count() - 1; i >= 0; --i)
        if (combo.itemText(i) == text) {
            combo.removeItem(i);
            return;
        }
}

void listboxAddItem(HistoryCombo& list, const std::string& text) {
    for (int i = 0; i < list.count(); ++i)
        if (list.itemText(i) == text) return;
    list.addItem(text, 0);
}

int32_t getItemDatafromCombo(const HistoryCombo& combo, const std::string& text) {
    for (int i = 0; i < combo.count(); ++i)
        if (combo.itemText(i) == text) return combo.itemData(i);
    return 0;
}

}  // namespace settings
