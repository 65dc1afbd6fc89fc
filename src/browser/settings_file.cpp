// The main window's settings in the settings file, read and written through cInifile.
#include "browser/browser_settings.h"

#include "settings/profile_file.h"
#include "util/text.h"

#include <algorithm>
#include <cmath>

namespace browser {

namespace {

// The most keys of the Messages section taken in: the section is ours, but the file is not.
constexpr int32_t kMostSilencedMessages = 1000;

// Reads and writes one section at a time.
class Section {
public:
    Section(cInifile& ini, const std::string& name) : ini_(ini) { ini_.section = name; }

    std::string text(const std::string& key) const {
        ini_.key = key;
        ini_.Default.clear();
        return ini_.Value();
    }
    std::string trimmed(const std::string& key) const { return util::trimSpaces(text(key)); }
    std::optional<int32_t> whole(const std::string& key) const { return util::readLong(text(key)); }
    std::optional<double> number(const std::string& key) const { return util::readNumber(text(key)); }
    // A stored colour value (0 to 0xFFFFFF), or the fallback.
    uint32_t colour(const std::string& key, uint32_t fallback) const {
        auto value = whole(key);
        return value && *value >= 0 && *value <= 0xFFFFFF ? uint32_t(*value) : fallback;
    }
    std::optional<uint32_t> colour(const std::string& key) const {
        auto value = whole(key);
        if (value && *value >= 0 && *value <= 0xFFFFFF) return uint32_t(*value);
        return std::nullopt;
    }

    void write(const std::string& key, const std::string& value) {
        ini_.key = key;
        ini_.setValue(value);
    }
    void write(const std::string& key, int64_t value) { write(key, std::to_string(value)); }

    cInifile& ini() { return ini_; }

private:
    cInifile& ini_;
};

// A number above 0 (and at most `most`), or the fallback.
template <class T>
T positiveOr(std::optional<double> value, T fallback, double most) {
    return value && *value > 0 && *value <= most ? T(*value) : fallback;
}

// A view's font and colours; a colour that is missing or no colour keeps the view's own.
reader::ReaderLook readLook(Section& s, const std::string& foreKey, const std::string& backKey) {
    reader::ReaderLook look;
    s.ini().loadFont(look.font);
    look.backColour = s.colour(backKey);
    look.foreColour = s.colour(foreKey);
    return look;
}

void writeLook(Section& s, const reader::ReaderLook& look, const std::string& foreKey, const std::string& backKey) {
    s.ini().SaveFont(look.font);
    if (look.backColour) s.write(backKey, *look.backColour);
    if (look.foreColour) s.write(foreKey, *look.foreColour);
}

// Section prgControl, key by key; every write reaches the file before it returns.
class IniRestValues : public settings::RestValues {
public:
    explicit IniRestValues(std::string file) { ini_.path = std::move(file); }

    std::optional<std::string> read(const std::string& key) const override {
        cInifile ini = ini_;
        ini.section = "prgControl";
        ini.key = key;
        ini.Default = "\x01";  // no stored value is this
        std::string value = ini.Value();
        if (value == ini.Default) return std::nullopt;
        return value;
    }

    void write(const std::string& key, const std::string& value) override {
        cInifile ini = ini_;
        ini.section = "prgControl";
        ini.key = key;
        ini.setValue(value);
    }

private:
    cInifile ini_;
};

class IniSettingsStore : public SettingsStore {
public:
    explicit IniSettingsStore(const std::string& fileName) : rest_(fileName) { ini_.path = fileName; }

    BrowserSettings load() override {
        BrowserSettings s;
        {
            Section sys(ini_, "System");
            s.myDBName = sys.trimmed("myDBName");
            if (std::string tab = sys.trimmed("myTabName"); !tab.empty()) s.myTabName = tab;
            if (std::string tab = sys.trimmed("myNRTabName"); !tab.empty()) s.myNRTabName = tab;
            s.currWorkPath = sys.text("currWorkPath");
            s.ddScale = positiveOr(sys.number("ddScale"), 1.0f, 100);
            // 0, no number or no level at all: the default level.
            const int sleep = sys.whole("wSleep").value_or(0);
            if (sleep > 0 && sleep < reader::kSpeedLevels) s.wSleep = sleep;
            const int explain = sys.whole("ExplainMode").value_or(0);
            s.explainMode = explain >= 0 && explain <= 2 ? explain : 0;
            s.explainPath = sys.trimmed("explainPath");
            s.currIconType = positiveOr(sys.number("currIconType"), s.currIconType, 3);
            const int iconSize = sys.whole("currIconSize").value_or(0);
            if (iconSize == 16 || iconSize == 32 || iconSize == 48) s.currIconSize = iconSize;
            s.textWinBackPicFile = sys.text("TextWinBackPicFile");
            s.textWinBackPicStretch = sys.number("TextWinBackPicStretch").value_or(0) != 0;
            // A negative time means no change, like 0.
            s.textWinBackPicShowTime = std::max(0, sys.whole("TextWinBackPicSHowTime").value_or(0));
            s.comResizeMinWidth = positiveOr(sys.number("comResizeMinWidth"), 7.0, 10000);
        }
        {
            Section tree(ini_, "TViewFontColor");
            s.treeLook = readLook(tree, "ForeColor", "BackColor");
            s.treeIndentation = positiveOr(tree.number("Indentation"), 0, 30000);
            // A stored 0 keeps the default colour.
            auto nodeColour = [&tree](const char* key, uint32_t fallback) {
                const uint32_t stored = tree.colour(key, fallback);
                return stored != 0 ? stored : fallback;
            };
            s.colours.zlx = nodeColour("clzlxCOLOR", s.colours.zlx);
            s.colours.lx = nodeColour("cllxCOLOR", s.colours.lx);
            s.colours.nr = nodeColour("clnrCOLOR", s.colours.nr);
            s.colours.readed = nodeColour("readedCOLOR", s.colours.readed);
        }
        {
            Section list(ini_, "bookListViewFont");
            s.listLook = readLook(list, "foreColor", "backColor");
        }
        {
            Section text(ini_, "mainWinTextFont");
            const reader::ReaderLook look = readLook(text, "foreColor", "backColor");
            s.textFont = look.font;
            s.textBackColour = look.backColour.value_or(s.textBackColour);
            s.textForeColour = look.foreColour.value_or(s.textForeColour);
        }
        {
            Section full(ini_, "fullScreenTextFont");
            s.fullScreenTextFont = readLook(full, "foreColor", "backColor");
        }
        {
            Section history(ini_, "BookLibHistory");
            const int32_t count = history.whole("DBNum").value_or(0);
            for (const auto& [i, name] : ini_.numberedValues("DBFIleName", "", count))
                if (std::string trimmed = util::trimSpaces(name); !trimmed.empty()) s.history.push_back(trimmed);
        }
        {
            Section messages(ini_, "Messages");
            std::vector<std::string> names;
            int32_t count = 0;
            ini_.EnumerateCurrentSection(names, count);
            names.resize(std::min<size_t>(names.size(), kMostSilencedMessages));
            for (const std::string& name : names)
                if (messages.text(name) == "silenced") s.silencedMessages.insert(name);
        }
        return s;
    }

    ReadingPosition loadLibrary(const std::string& title) override {
        ReadingPosition p;
        if (title.empty()) return p;
        Section lib(ini_, title);
        p.window = ini_.readFormPlace();
        const int32_t count = lib.whole("bookIndexNum").value_or(0);
        // The keys are numbered from the selected node (1) up to the top class (n).
        for (const auto& [i, key] : ini_.numberedValues("bookIndex", "", count)) p.nodePath.push_back(key);
        p.bookPos = std::max(0, lib.whole("bookPos").value_or(0));
        p.treeWidth = lib.whole("tvwDialogWidth").value_or(0);
        return p;
    }

    bool save(const BrowserSettings& s) override {
        settings::ProfileBatch batch(ini_.path);
        {
            Section sys(ini_, "System");
            sys.write("myDBName", s.myDBName);
            sys.write("myTabName", s.myTabName);
            sys.write("myNRTabName", s.myNRTabName);
            sys.write("currWorkPath", s.currWorkPath);
            sys.write("ddScale", util::singleText(s.ddScale));
            sys.write("wSleep", s.wSleep);
            sys.write("ExplainMode", s.explainMode);
            sys.write("ExplainPath", s.explainPath);
            sys.write("currIconType", s.currIconType);
            sys.write("currIconSize", s.currIconSize);
            sys.write("TextWinBackPicFile", s.textWinBackPicFile);
            sys.write("TextWinBackPicStretch", s.textWinBackPicStretch ? "1" : "0");
            sys.write("TextWinBackPicSHowTime", s.textWinBackPicShowTime);
            sys.write("comResizeMinWidth", util::singleText(float(s.comResizeMinWidth)));
        }
        {
            Section list(ini_, "bookListViewFont");
            writeLook(list, s.listLook, "foreColor", "backColor");
        }
        {
            Section text(ini_, "mainWinTextFont");
            writeLook(text, {s.textFont, s.textBackColour, s.textForeColour}, "foreColor", "backColor");
        }
        {
            Section full(ini_, "fullScreenTextFont");
            writeLook(full, s.fullScreenTextFont, "foreColor", "backColor");
        }
        for (const auto& [title, p] : s.positions) {
            if (title.empty()) continue;
            Section lib(ini_, title);
            ini_.writeFormPlace(p.window);
            lib.write("tvwDialogWidth", p.treeWidth);
            for (size_t i = 0; i < p.nodePath.size(); ++i) lib.write("bookIndex" + std::to_string(i + 1), p.nodePath[i]);
            lib.write("bookIndexNum", int64_t(p.nodePath.size()));
            lib.write("bookPos", p.bookPos);
        }
        {
            // The tree's font, then "Bold" as the Windows program writes it for the tree.
            Section tree(ini_, "TViewFontColor");
            writeLook(tree, s.treeLook, "ForeColor", "BackColor");
            tree.write("Bold", s.treeLook.font.bold ? "True" : "False");
            if (s.treeIndentation > 0) tree.write("Indentation", s.treeIndentation);
            tree.write("clzlxCOLOR", s.colours.zlx);
            tree.write("cllxCOLOR", s.colours.lx);
            tree.write("clnrCOLOR", s.colours.nr);
            tree.write("readedCOLOR", s.colours.readed);
        }
        {
            Section history(ini_, "BookLibHistory");
            history.write("DBNum", int64_t(s.history.size()));
            for (size_t i = 0; i < s.history.size(); ++i)
                history.write("DBFIleName" + std::to_string(i + 1), s.history[i]);
        }
        {
            Section messages(ini_, "Messages");
            for (const std::string& name : s.silencedMessages) messages.write(name, "silenced");
        }
        return batch.commit();
    }

    settings::RestValues& restValues() override { return rest_; }

    std::shared_ptr<void> gatherWrites() override { return std::make_shared<settings::ProfileBatch>(ini_.path); }

private:
    cInifile ini_;
    IniRestValues rest_;
};

}  // namespace

std::unique_ptr<SettingsStore> makeIniSettingsStore(const std::string& fileName) {
    return std::make_unique<IniSettingsStore>(fileName);
}

}  // namespace browser
