// The combo-box and list-box history helpers that clsFilePath offers beside its file
// functions. They keep a combo box's entries in a section of the settings file (through
// cInifile) or in a text file, one entry a line, so they live with the settings rather than
// with the Qt-free path functions. The window layer adapts its controls to HistoryCombo.
//
// In the settings file: "条数" the number of entries n, "当前" the text shown, and '1条目' …
// 'n条目' the entries in list order.
#pragma once

#include "settings/ini_file.h"

#include <cstdint>
#include <string>

namespace settings {

// A combo box (or a list box) as the helpers see it: entries with their item data, the text
// shown, the selected entry and a free tag.
class HistoryCombo {
public:
    virtual ~HistoryCombo() = default;
    virtual int count() const = 0;
    virtual std::string itemText(int index) const = 0;
    virtual int32_t itemData(int index) const = 0;
    virtual void addItem(const std::string& text, int32_t itemData) = 0;
    virtual void setItem(int index, const std::string& text, int32_t itemData) = 0;
    virtual void removeItem(int index) = 0;
    virtual void clear() = 0;
    virtual std::string text() const = 0;
    virtual void setText(const std::string& text) = 0;
    // -1 when nothing is selected.
    virtual int selectedIndex() const = 0;
    virtual void setTag(int index) = 0;
};

void comboSaveToIni(const HistoryCombo& combo, cInifile& ini, const std::string& section);
// Clears the combo box, then adds the non-empty entries '1条目' … 'n条目' in that order (only
// entries that are in the file are read, so a count of billions costs nothing) and shows
// "当前" when it is not empty.
void comboLoadFromIni(HistoryCombo& combo, cInifile& ini, const std::string& section);
// Replaces the file with the entries, one a line (code page 936, CR LF). False when it cannot
// be written.
bool comboSaveToFile(const HistoryCombo& combo, const std::string& file);
// Adds every line of the text file as an entry (the file's character set is detected).
void comboLoadFromFile(HistoryCombo& combo, const std::string& file);
// Adds a history entry and returns its index: an equal entry is shown again; below maxCount
// entries (or maxCount <= 0) the text is appended; a full list takes it in the slot after the
// selected one, the first slot when that would be the last or beyond (so the last slot is not
// reused). The index is kept in the tag.
int comboAddItem(HistoryCombo& combo, const std::string& text, int maxCount, int32_t itemData);
// Removes the last entry equal to the text.
void comboRemoveItem(HistoryCombo& combo, const std::string& text);
// Adds the text unless an equal entry is there.
void listboxAddItem(HistoryCombo& list, const std::string& text);
// The item data of the first entry equal to the text; 0 when there is none.
int32_t getItemDatafromCombo(const HistoryCombo& combo, const std::string& text);

}  // namespace settings
