// What the main window keeps between runs, and where it keeps it.
//
// The window reads a BrowserSettings at start-up (and a library's own section each time it
// enters one) and writes it back before it leaves a library and at shutdown. SettingsStore is
// the seam: the program uses the settings file in the program folder, tests may keep the
// values in memory.
#pragma once

#include "reader/reader_settings.h"
#include "settings/rest_time.h"
#include "store/controls.h"

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace browser {

// What the per-library section (named by the library's file title) keeps: the main window's
// place, the tree pane's width and where the reader was.
struct ReadingPosition {
    IniFormPlace window;                // the main window's outer place in twips, as stored
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
    float ddScale = 1;         // the Office viewer's scale factor
    double comResizeMinWidth = 7;
    int currIconSize = 16;
    int currIconType = 3;  // tree icons: 1 internal, 2 internal and icon files, 3 the system's
    int explainMode = 0;       // word explanation: 0 off, 1 plain tool tip, 2 balloons
    std::string explainPath;   // the dictionary's folder; empty: the program folder's "data"
    // the text pane's background: a picture file, a folder of ".jpg" files or a library file
    std::string textWinBackPicFile;
    bool textWinBackPicStretch = false;
    int textWinBackPicShowTime = 0;  // seconds between pictures; 0: no change
    int wSleep = reader::kDefaultSpeedLevel;  // the full-screen reader's auto-scroll speed level

    // section TViewFontColor: the tree's font and colours, its indentation (twips; 0: the
    // tree's own) and the node colours; section bookListViewFont: the document list's look
    store::TreeColours colours;
    reader::ReaderLook treeLook, listLook;
    int treeIndentation = 0;

    // section mainWinTextFont: the text pane's font (what is not stored keeps the pane's own)
    // and colours
    IniFont textFont = reader::ReaderLook{}.font;
    uint32_t textBackColour = 0xFFFFFF;
    uint32_t textForeColour = 0;

    // section fullScreenTextFont: the full-screen reader's font and colours
    reader::ReaderLook fullScreenTextFont;

    // section BookLibHistory: full file names in the order they were added
    std::vector<std::string> history;

    // per-library sections, by the library's file title: those read or written in this run
    std::map<std::string, ReadingPosition> positions;

    // messages the user asked not to be shown again (by a short name), section Messages
    std::set<std::string> silencedMessages;
};

class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // Missing or unreadable values give their defaults. The per-library sections are read
    // with loadLibrary.
    virtual BrowserSettings load() = 0;
    // The per-library section of the library with this file title.
    virtual ReadingPosition loadLibrary(const std::string& title) = 0;
    // Writes everything, the per-library sections of `positions` included. False when the
    // settings could not be written.
    virtual bool save(const BrowserSettings& settings) = 0;
    // The reading-time control's values (section prgControl), each read and written at once:
    // a rest still owed when the program ends must be found at the next start.
    virtual settings::RestValues& restValues() = 0;
    // While the answer lives, the writes of this store are gathered and reach the file
    // together when it goes (null: every write goes at once).
    virtual std::shared_ptr<void> gatherWrites() { return nullptr; }
};

// Keeps the settings in memory: what was saved last is what load() gives.
class MemorySettingsStore : public SettingsStore {
public:
    explicit MemorySettingsStore(BrowserSettings initial = {}) : settings_(std::move(initial)) {}
    BrowserSettings load() override { return settings_; }
    ReadingPosition loadLibrary(const std::string& title) override {
        auto found = settings_.positions.find(title);
        return found == settings_.positions.end() ? ReadingPosition{} : found->second;
    }
    bool save(const BrowserSettings& settings) override {
        settings_ = settings;
        return true;
    }
    settings::MemoryRestValues& restValues() override { return rest_; }

private:
    BrowserSettings settings_;
    settings::MemoryRestValues rest_;
};

// The settings file (through cInifile) with the sections System, TViewFontColor,
// bookListViewFont, mainWinTextFont, fullScreenTextFont, BookLibHistory, Messages, prgControl
// and one section per library, named by its file title.
std::unique_ptr<SettingsStore> makeIniSettingsStore(const std::string& fileName);

}  // namespace browser
