// What the main window keeps between runs, and where it keeps it.
//
// The window reads a BrowserSettings at start-up and writes it back before it leaves a library
// and at shutdown. SettingsStore is the seam: the program uses an INI file in the program
// folder, tests an in-memory store.
#pragma once

#include "reader/reader_settings.h"
#include "settings/rest_time.h"
#include "store/controls.h"

#include <QFont>
#include <QString>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace browser {

// Where the reader was in one library.
struct ReadingPosition {
    std::vector<std::string> nodePath;  // node keys, the selected node first, the top class last
    int bookPos = 0;                    // caret position in the text pane
    int treeWidth = 0;                  // 0: not stored
};

struct BrowserSettings {
    // section System
    std::string myDBName;  // the library shown when the program last ended
    std::string myTabName = "tree";
    std::string myNRTabName = "nr";
    std::string currWorkPath;  // the last file chosen with the open button
    double comResizeMinWidth = 7;
    int currIconSize = 16;
    int currIconType = 3;  // tree icons: 1 internal, 2 internal and icon files, 3 the system's
    int explainMode = 0;       // word explanation: 0 off, 1 plain tool tip, other values balloons
    std::string explainPath;   // the dictionary's folder; empty: the program folder's "data"
    // the text pane's background: a picture file, a folder of ".jpg" files or a library file
    std::string textWinBackPicFile;
    bool textWinBackPicStretch = false;
    int textWinBackPicShowTime = 0;  // seconds between pictures; 0: no change
    int wSleep = reader::kDefaultSpeedLevel;  // the full-screen reader's auto-scroll speed level

    store::TreeColours colours;
    // sections TViewFontColor and bookListViewFont: the tree's and the document list's font
    // and colours, kept in the same form as the reader's
    reader::ReaderLook treeLook, listLook;

    // section mainWinTextFont; an empty family keeps the pane's own font
    QString textFontFamily;
    double textFontSize = 0;
    bool textFontBold = false;
    uint32_t textBackColour = 0xFFFFFF;
    uint32_t textForeColour = 0;

    // section fullScreenTextFont: the full-screen reader's font and colours
    reader::ReaderLook fullScreenTextFont;

    // section BookLibHistory: full file names in the order they were added
    std::vector<std::string> history;

    // per-library sections, by the library's file title
    std::map<std::string, ReadingPosition> positions;

    // messages the user asked not to be shown again (by a short name)
    std::set<std::string> silencedMessages;
};

class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // Missing or unreadable values give their defaults.
    virtual BrowserSettings load() = 0;
    virtual void save(const BrowserSettings& settings) = 0;
    // The reading-time control's values (section prgControl), each read and written at once:
    // a rest still owed when the program ends must be found at the next start.
    virtual settings::RestValues& restValues() = 0;
};

// Keeps the settings in memory: what was saved last is what load() gives.
class MemorySettingsStore : public SettingsStore {
public:
    explicit MemorySettingsStore(BrowserSettings initial = {}) : settings_(std::move(initial)) {}
    BrowserSettings load() override { return settings_; }
    void save(const BrowserSettings& settings) override { settings_ = settings; }
    settings::MemoryRestValues& restValues() override { return rest_; }

private:
    BrowserSettings settings_;
    settings::MemoryRestValues rest_;
};

// An INI file (UTF-8) with the sections System, TViewFontColor, mainWinTextFont,
// BookLibHistory, prgControl and one section per library.
std::unique_ptr<SettingsStore> makeIniSettingsStore(const std::string& fileName);

}  // namespace browser
