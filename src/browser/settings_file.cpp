// The settings file of the main window, read and written through QSettings in INI form.
#include "browser/browser_settings.h"

#include <QSettings>
#include <algorithm>
#include <climits>

namespace browser {

namespace {

QString qs(const std::string& text) { return QString::fromStdString(text); }

// A number above 0, or the fallback.
template <class T>
T positiveOr(const QVariant& value, T fallback) {
    bool ok = false;
    const double number = value.toDouble(&ok);
    return ok && number > 0 ? T(number) : fallback;
}

// The value as a number; 0 when it is missing or no number.
double numberOf(const QVariant& value) {
    bool ok = false;
    const double number = value.toString().trimmed().toDouble(&ok);
    return ok ? number : 0;
}

// A colour: a stored number that is not 0 replaces the default.
uint32_t colourOr(const QVariant& value, uint32_t fallback) {
    bool ok = false;
    const qulonglong number = value.toULongLong(&ok);
    return ok && number != 0 ? uint32_t(number) : fallback;
}

// A view's font and colours in the current group; a colour that is missing or no number keeps
// the view's own.
reader::ReaderLook readLook(const QSettings& ini, const QString& foreKey, const QString& backKey) {
    reader::ReaderLook look;
    look.fontFamily = ini.value("Name").toString();
    look.fontSize = positiveOr(ini.value("Size"), 0.0);
    look.fontBold = ini.value("Bold").toString().compare("True", Qt::CaseInsensitive) == 0;
    bool ok = false;
    const uint back = ini.value(backKey).toUInt(&ok);
    if (ok) look.backColour = back;
    const uint fore = ini.value(foreKey).toUInt(&ok);
    if (ok) look.foreColour = fore;
    return look;
}

void writeLook(QSettings& ini, const reader::ReaderLook& look, const QString& foreKey, const QString& backKey) {
    ini.setValue("Name", look.fontFamily);
    ini.setValue("Size", look.fontSize);
    ini.setValue("Bold", look.fontBold ? "True" : "False");
    if (look.backColour) ini.setValue(backKey, *look.backColour);
    if (look.foreColour) ini.setValue(foreKey, *look.foreColour);
}

// Section prgControl, key by key; every write reaches the file before it returns.
class IniRestValues : public settings::RestValues {
public:
    explicit IniRestValues(QString file) : file_(std::move(file)) {}

    std::optional<std::string> read(const std::string& key) const override {
        QSettings ini(file_, QSettings::IniFormat);
        const QVariant value = ini.value("prgControl/" + qs(key));
        if (!value.isValid()) return std::nullopt;
        return value.toString().toStdString();
    }

    void write(const std::string& key, const std::string& value) override {
        QSettings ini(file_, QSettings::IniFormat);
        ini.setValue("prgControl/" + qs(key), qs(value));
        ini.sync();
    }

private:
    QString file_;
};

class IniSettingsStore : public SettingsStore {
public:
    explicit IniSettingsStore(const std::string& fileName) : file_(qs(fileName)), rest_(file_) {}

    BrowserSettings load() override {
        QSettings ini(file_, QSettings::IniFormat);
        BrowserSettings s;
        ini.beginGroup("System");
        s.myDBName = ini.value("myDBName").toString().trimmed().toStdString();
        const QString tab = ini.value("myTabName").toString().trimmed();
        if (!tab.isEmpty()) s.myTabName = tab.toStdString();
        const QString nrTab = ini.value("myNRTabName").toString().trimmed();
        if (!nrTab.isEmpty()) s.myNRTabName = nrTab.toStdString();
        s.currWorkPath = ini.value("currWorkPath").toString().toStdString();
        s.comResizeMinWidth = positiveOr(ini.value("comResizeMinWidth"), 7.0);
        s.currIconSize = positiveOr(ini.value("currIconSize"), 16);
        s.currIconType = positiveOr(ini.value("currIconType"), 3);
        s.explainMode = ini.value("ExplainMode").toInt();
        s.explainPath = ini.value("ExplainPath").toString().trimmed().toStdString();
        s.textWinBackPicFile = ini.value("TextWinBackPicFile").toString().toStdString();
        s.textWinBackPicStretch = numberOf(ini.value("TextWinBackPicStretch")) != 0;
        // A negative time means no change, like 0.
        s.textWinBackPicShowTime =
            int(std::clamp(numberOf(ini.value("TextWinBackPicSHowTime")), 0.0, double(INT_MAX)));
        // 0, no number or no level at all: the default level.
        const int sleep = ini.value("wSleep").toInt();
        if (sleep > 0 && sleep < reader::kSpeedLevels) s.wSleep = sleep;
        ini.endGroup();

        ini.beginGroup("TViewFontColor");
        s.treeLook = readLook(ini, "ForeColor", "BackColor");
        s.colours.zlx = colourOr(ini.value("clzlxCOLOR"), s.colours.zlx);
        s.colours.lx = colourOr(ini.value("cllxCOLOR"), s.colours.lx);
        s.colours.nr = colourOr(ini.value("clnrCOLOR"), s.colours.nr);
        s.colours.readed = colourOr(ini.value("readedCOLOR"), s.colours.readed);
        ini.endGroup();

        ini.beginGroup("mainWinTextFont");
        s.textFontFamily = ini.value("Name").toString();
        s.textFontSize = positiveOr(ini.value("Size"), 0.0);
        s.textFontBold = ini.value("Bold").toString().compare("True", Qt::CaseInsensitive) == 0;
        bool ok = false;
        const uint back = ini.value("backColor").toUInt(&ok);
        if (ok) s.textBackColour = back;
        const uint fore = ini.value("foreColor").toUInt(&ok);
        if (ok) s.textForeColour = fore;
        ini.endGroup();

        ini.beginGroup("fullScreenTextFont");
        s.fullScreenTextFont = readLook(ini, "foreColor", "backColor");
        ini.endGroup();

        ini.beginGroup("bookListViewFont");
        s.listLook = readLook(ini, "foreColor", "backColor");
        ini.endGroup();

        ini.beginGroup("BookLibHistory");
        const int count = ini.value("DBNum").toInt();
        for (int i = 1; i <= count; ++i) {
            const QString name = ini.value("DBFIleName" + QString::number(i)).toString().trimmed();
            if (!name.isEmpty()) s.history.push_back(name.toStdString());
        }
        ini.endGroup();

        ini.beginGroup("Messages");
        for (const QString& key : ini.childKeys())
            if (ini.value(key).toString() == "silenced") s.silencedMessages.insert(key.toStdString());
        ini.endGroup();

        ini.beginGroup("Libraries");
        for (const QString& title : ini.childGroups()) {
            ini.beginGroup(title);
            ReadingPosition p;
            const int n = ini.value("bookIndexNum").toInt();
            for (int i = 1; i <= n; ++i)
                p.nodePath.push_back(ini.value("bookIndex" + QString::number(i)).toString().toStdString());
            p.bookPos = ini.value("bookPos").toInt();
            p.treeWidth = ini.value("tvwDialogWidth").toInt();
            s.positions[title.toStdString()] = p;
            ini.endGroup();
        }
        ini.endGroup();
        return s;
    }

    void save(const BrowserSettings& s) override {
        QSettings ini(file_, QSettings::IniFormat);
        ini.beginGroup("System");
        ini.setValue("myDBName", qs(s.myDBName));
        ini.setValue("myTabName", qs(s.myTabName));
        ini.setValue("myNRTabName", qs(s.myNRTabName));
        ini.setValue("currWorkPath", qs(s.currWorkPath));
        ini.setValue("comResizeMinWidth", s.comResizeMinWidth);
        ini.setValue("currIconSize", s.currIconSize);
        ini.setValue("currIconType", s.currIconType);
        ini.setValue("ExplainMode", s.explainMode);
        ini.setValue("ExplainPath", qs(s.explainPath));
        ini.setValue("TextWinBackPicFile", qs(s.textWinBackPicFile));
        ini.setValue("TextWinBackPicStretch", s.textWinBackPicStretch ? "1" : "0");
        ini.setValue("TextWinBackPicSHowTime", s.textWinBackPicShowTime);
        ini.setValue("wSleep", s.wSleep);
        ini.endGroup();

        ini.beginGroup("TViewFontColor");
        writeLook(ini, s.treeLook, "ForeColor", "BackColor");
        ini.setValue("clzlxCOLOR", s.colours.zlx);
        ini.setValue("cllxCOLOR", s.colours.lx);
        ini.setValue("clnrCOLOR", s.colours.nr);
        ini.setValue("readedCOLOR", s.colours.readed);
        ini.endGroup();

        ini.beginGroup("mainWinTextFont");
        ini.setValue("Name", s.textFontFamily);
        ini.setValue("Size", s.textFontSize);
        ini.setValue("Bold", s.textFontBold ? "True" : "False");
        ini.setValue("backColor", s.textBackColour);
        ini.setValue("foreColor", s.textForeColour);
        ini.endGroup();

        ini.beginGroup("fullScreenTextFont");
        writeLook(ini, s.fullScreenTextFont, "foreColor", "backColor");
        ini.endGroup();

        ini.beginGroup("bookListViewFont");
        writeLook(ini, s.listLook, "foreColor", "backColor");
        ini.endGroup();

        ini.remove("BookLibHistory");
        ini.beginGroup("BookLibHistory");
        ini.setValue("DBNum", int(s.history.size()));
        for (size_t i = 0; i < s.history.size(); ++i)
            ini.setValue("DBFIleName" + QString::number(i + 1), qs(s.history[i]));
        ini.endGroup();

        ini.beginGroup("Messages");
        for (const std::string& name : s.silencedMessages) ini.setValue(qs(name), "silenced");
        ini.endGroup();

        ini.beginGroup("Libraries");
        for (const auto& [title, p] : s.positions) {
            ini.remove(qs(title));
            ini.beginGroup(qs(title));
            for (size_t i = 0; i < p.nodePath.size(); ++i)
                ini.setValue("bookIndex" + QString::number(i + 1), qs(p.nodePath[i]));
            ini.setValue("bookIndexNum", int(p.nodePath.size()));
            ini.setValue("bookPos", p.bookPos);
            ini.setValue("tvwDialogWidth", p.treeWidth);
            ini.endGroup();
        }
        ini.endGroup();
    }

    settings::RestValues& restValues() override { return rest_; }

private:
    QString file_;
    IniRestValues rest_;
};

}  // namespace

std::unique_ptr<SettingsStore> makeIniSettingsStore(const std::string& fileName) {
    return std::make_unique<IniSettingsStore>(fileName);
}

}  // namespace browser
