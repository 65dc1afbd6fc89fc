// The main window's settings in the settings file: a file the Windows program wrote, window
// places and reading positions per library, bad files, a file that cannot be written.
#include "window_fixture.h"

#include "reader/form_book.h"
#include "util/codepage.h"

#include <QElapsedTimer>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <sys/stat.h>

namespace browser_test {
namespace {

using testing_support::readFile;
using testing_support::writeFile;

std::string ansi(const std::string& utf8) {
    const util::Bytes bytes = util::utf8ToAnsi(utf8);
    return std::string(bytes.begin(), bytes.end());
}

// The lines of the text, each with its line end.
std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find('\n', start);
        end = end == std::string::npos ? text.size() : end + 1;
        lines.push_back(text.substr(start, end - start));
        start = end;
    }
    return lines;
}

class SettingsFileTest : public WindowTest {
protected:
    browser::MainWindow& openOnFile(const QString& commandLine) {
        browser::MainWindowSeams seams;
        seams.makeViewer = fakeViewers;
        seams.settings = browser::makeIniSettingsStore(iniFile);
        window = std::make_unique<browser::MainWindow>(std::move(seams));
        window->resize(700, 500);
        window->show();
        window->loadWindow(commandLine);
        return *window;
    }

    std::string iniFile = home.file("vyne.ini");
};

// Written as the Windows program writes it: code page 936, CR LF, backslash paths, the font
// keys in lower case, a per-library section in twips, another program's section with a
// comment.
std::string windowsFile() {
    return ansi(
        "[System]\r\n"
        "myDBName=D:\\Books\\童话.mdb\r\n"
        "myTabName=\r\n"
        "currWorkPath=D:\\Books\\新书.mdb\r\n"
        "ddScale=0\r\n"
        "wSleep=9\r\n"
        "ExplainMode=2\r\n"
        "currIconSize=32\r\n"
        "TextWinBackPicFile=D:\\图片\r\n"
        "\r\n"
        "[TViewFontColor]\r\n"
        "Name=黑体\r\n"
        "Size=12\r\n"
        "Bold=True\r\n"
        "Indentation=450\r\n"
        "clzlxCOLOR=128\r\n"
        "readedCOLOR=0\r\n"
        "\r\n"
        "[mainWinTextFont]\r\n"
        "name=宋体\r\n"
        "size=10.5\r\n"
        "bold=1\r\n"
        "italic=1\r\n"
        "underline=0\r\n"
        "strikethrough=1\r\n"
        "weight=700\r\n"
        "charset=134\r\n"
        "backColor=15790320\r\n"
        "foreColor=255\r\n"
        "\r\n"
        "[童话]\r\n"
        "Maximised=0\r\n"
        "Left=900\r\n"
        "Top=600\r\n"
        "Width=9000\r\n"
        "Height=6000\r\n"
        "tvwDialogWidth=150\r\n"
        "bookIndex1=3id\r\n"
        "bookIndex2=2id\r\n"
        "bookIndexNum=2\r\n"
        "bookPos=4\r\n"
        "\r\n"
        "; kept by another program\r\n"
        "[Other]\r\n"
        "path=C:\\Program Files\\别的\r\n");
}

TEST_F(SettingsFileTest, AFileOfTheWindowsProgramReadsIntoItsValues) {
    writeFile(iniFile, windowsFile());
    const browser::BrowserSettings s = browser::makeIniSettingsStore(iniFile)->load();
    EXPECT_EQ(s.myDBName, "D:\\Books\\童话.mdb");
    EXPECT_EQ(s.myTabName, "tree");
    EXPECT_EQ(s.currWorkPath, "D:\\Books\\新书.mdb");
    EXPECT_EQ(s.ddScale, 1.0f);
    EXPECT_EQ(s.wSleep, 9);
    EXPECT_EQ(s.explainMode, 2);
    EXPECT_EQ(s.currIconSize, 32);
    EXPECT_EQ(s.comResizeMinWidth, 7);
    EXPECT_EQ(s.textWinBackPicFile, "D:\\图片");
    EXPECT_EQ(s.treeLook.font.name, "黑体");
    EXPECT_TRUE(s.treeLook.font.bold);
    EXPECT_EQ(s.treeIndentation, 450);
    EXPECT_EQ(s.colours.zlx, 128u);
    EXPECT_EQ(s.colours.readed, 65280u) << "a stored 0 keeps the default";
    const IniFont& text = s.textFont;
    EXPECT_EQ(text.name, "宋体");
    EXPECT_EQ(text.size, 10.5f);
    EXPECT_TRUE(text.bold && text.italic && text.strikethrough && !text.underline);
    EXPECT_EQ(text.weight, 700);
    EXPECT_EQ(text.charset, 134);
    EXPECT_EQ(s.textBackColour, 15790320u);
    EXPECT_EQ(s.textForeColour, 255u);

    const browser::ReadingPosition p = browser::makeIniSettingsStore(iniFile)->loadLibrary("童话");
    EXPECT_EQ(p.window.left, 900);
    EXPECT_EQ(p.window.height, 6000);
    EXPECT_EQ(p.nodePath, (std::vector<std::string>{"3id", "2id"}));
    EXPECT_EQ(p.bookPos, 4);
    EXPECT_EQ(p.treeWidth, 150);
}

TEST_F(SettingsFileTest, ALibraryNamedByAWindowsPathIsFoundInTheProgramFolderAndSavingKeepsEveryOtherLine) {
    std::filesystem::copy_file(library, home.file("童话.mdb"));
    const std::string before = windowsFile();
    writeFile(iniFile, before);
    browser::MainWindow& w = openOnFile("");
    EXPECT_EQ(w.myDBName().toStdString(), home.path() + "/童话.mdb");
    EXPECT_EQ(w.rt1->font().family(), "宋体");
    EXPECT_TRUE(w.rt1->font().italic());
    EXPECT_TRUE(w.rt1->font().strikeOut());
    EXPECT_EQ(w.tvw1->indentation(), 30) << "450 twips";
    EXPECT_EQ(w.tvw1->width(), 150);
    EXPECT_EQ(w.frameGeometry(), QRect(60, 40, 600, 400)) << "the stored outer place in twips";
    window.reset();  // saves

    const std::string after = readFile(iniFile);
    // Keys the program writes with the value they had keep their lines; all other lines stay.
    const std::vector<std::string> rewritten = {
        ansi("myDBName=D:\\Books\\童话.mdb\r\n"), "myTabName=\r\n", "ddScale=0\r\n", "readedCOLOR=0\r\n",
        "bookIndexNum=2\r\n"};
    size_t at = 0;
    for (const std::string& line : linesOf(before)) {
        const bool owned = std::find(rewritten.begin(), rewritten.end(), line) != rewritten.end();
        const size_t found = after.find(line, at);
        if (owned) continue;
        ASSERT_NE(found, std::string::npos) << line;
        at = found + line.size();
    }
    const std::string foreign = ansi("\r\n; kept by another program\r\n[Other]\r\npath=C:\\Program Files\\别的\r\n");
    EXPECT_NE(after.find(foreign), std::string::npos);
    EXPECT_EQ(iniValue(iniFile, "System", "myDBName"), home.path() + "/童话.mdb");
    EXPECT_EQ(iniValue(iniFile, "System", "ddScale"), "1");
    EXPECT_EQ(iniValue(iniFile, "mainWinTextFont", "Italic"), "1");
    EXPECT_EQ(iniValue(iniFile, "mainWinTextFont", "Charset"), "134");
    EXPECT_EQ(iniValue(iniFile, "BookLibHistory", "DBNum"), "0");
    EXPECT_EQ(after.find('\n', 0) - 1, after.find("\r\n")) << "CR LF";
}

TEST_F(SettingsFileTest, AWindowClosedOnADocumentReopensThereAtThatSize) {
    browser::MainWindow& w = openOnFile(QString::fromStdString(library));
    click("Alpha");
    click("Story");
    QTextCursor caret = w.rt1->textCursor();
    caret.setPosition(3);
    w.rt1->setTextCursor(caret);
    w.tvw1->resize(170, w.tvw1->height());
    w.setGeometry(50, 70, 620, 430);
    window.reset();

    browser::MainWindow& again = openOnFile("");
    EXPECT_EQ(again.geometry(), QRect(50, 70, 620, 430));
    EXPECT_EQ(again.tvw1->width(), 170);
    ASSERT_NE(again.selectedNode(), nullptr);
    EXPECT_EQ(again.selectedNode()->text(0), "Story");
    EXPECT_EQ(again.rt1->textCursor().selectionStart(), 3);
    EXPECT_EQ(iniValue(iniFile, "books", "Left"), std::to_string(again.frameGeometry().x() * 15)) << "the outer place";
    EXPECT_EQ(iniValue(iniFile, "books", "bookIndexNum"), "3");
}

TEST_F(SettingsFileTest, PlacesAndTreeWidthsAreFittedAsTheyAreRead) {
    struct Case {
        const char* what;
        std::vector<std::pair<std::string, std::string>> keys;
        QRect wanted;
        int treeWidth;
    } cases[] = {
        {"off the left edge, a tree wider than half the window", {{"Left", "-500"}, {"tvwDialogWidth", "400"}},
         QRect(4, 20, 600, 400), 200},
        {"wider than the screen, no tree width", {{"Left", "0"}, {"Width", "2000000000"}, {"tvwDialogWidth", "0"}},
         QRect(4, 20, 800 - 8, 400), 200},
        {"numbers out of range", {{"Width", "1e20"}, {"Top", "-7"}, {"tvwDialogWidth", "-7"}}, QRect(30, 4, 704, 400),
         200},
    };
    for (const auto& c : cases) {
        std::filesystem::remove(iniFile);
        setIniValue(iniFile, "books", "Top", "300");
        setIniValue(iniFile, "books", "Left", "450");
        setIniValue(iniFile, "books", "Width", "9000");
        setIniValue(iniFile, "books", "Height", "6000");
        for (const auto& [key, value] : c.keys) setIniValue(iniFile, "books", key, value);
        browser::MainWindow& w = openOnFile(QString::fromStdString(library));
        EXPECT_EQ(w.frameGeometry(), c.wanted) << c.what;
        EXPECT_EQ(w.tvw1->width(), c.treeWidth) << c.what;
        window.reset();
    }
}

TEST_F(SettingsFileTest, ALinkDocumentReopensAtItsClass) {
    setIniValue(iniFile, "books", "bookIndex1", platform::keyOfId(ids["Site"]).toStdString());
    setIniValue(iniFile, "books", "bookIndex2", platform::keyOfId(ids["Alpha"]).toStdString());
    setIniValue(iniFile, "books", "bookIndex3", "1id");
    setIniValue(iniFile, "books", "bookIndexNum", "3");
    browser::MainWindow& w = openOnFile(QString::fromStdString(library));
    ASSERT_NE(w.selectedNode(), nullptr);
    EXPECT_EQ(w.selectedNode()->text(0), "Alpha");
    for (const QString& shown : viewerLog()) EXPECT_FALSE(shown.startsWith("web:")) << shown.toStdString();
}

TEST_F(SettingsFileTest, TheHistoryDropsLibrariesThatAreGoneAndHasItsMenu) {
    const std::string second = dir.file("second.mdb"), third = dir.file("third.mdb");
    makeLibrary(second);
    makeLibrary(third);
    setIniValue(iniFile, "BookLibHistory", "DBNum", "3");
    setIniValue(iniFile, "BookLibHistory", "DBFIleName1", library);
    setIniValue(iniFile, "BookLibHistory", "DBFIleName2", second);
    setIniValue(iniFile, "BookLibHistory", "DBFIleName3", third);
    browser::MainWindow& w = openOnFile("");
    auto* select = w.pmenu->findChild<QMenu*>("menu_选择书库文件");
    ASSERT_EQ(select->actions().size(), 3);
    EXPECT_EQ(select->actions()[1]->text(), "second.mdb");
    std::filesystem::remove(second);
    window.reset();
    EXPECT_EQ(iniValue(iniFile, "BookLibHistory", "DBNum"), "2");
    EXPECT_EQ(iniValue(iniFile, "BookLibHistory", "DBFIleName1"), library);
    EXPECT_EQ(iniValue(iniFile, "BookLibHistory", "DBFIleName2"), third);

    std::filesystem::remove(iniFile);
    browser::MainWindow& empty = openOnFile("");
    auto* none = empty.pmenu->findChild<QMenu*>("menu_选择书库文件");
    ASSERT_EQ(none->actions().size(), 1);
    EXPECT_EQ(none->actions()[0]->text(), "Book Lib In History");
    EXPECT_FALSE(none->actions()[0]->isEnabled());
}

TEST_F(SettingsFileTest, BadSettingsFilesStartWithTheDefaults) {
    std::string garbage;
    for (int i = 0; i < 65536; ++i) garbage += char((i * 7919 + 13) % 256);
    std::string big;
    while (big.size() < 10 * 1024 * 1024) big += "[section " + std::to_string(big.size() % 1009) + "]\r\nkey=value\r\n";
    struct Case {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"binary garbage", garbage},
        {"a file of 10 MB", big},
        {"NUL bytes", std::string("[System]\r\nwSleep=\0\0\r\n[mainWinTextFont]\r\nname=\0x\r\n", 44)},
        {"no final line end, repeated sections, keys without =", "[System]\r\nwSleep\r\n[System]\r\nwSleep=3"},
        {"counts of billions",
         "[BookLibHistory]\r\nDBNum=2000000000\r\n[books]\r\nbookIndexNum=2000000000\r\n[Messages]\r\n"},
        {"numbers out of range",
         "[System]\r\nwSleep=1e20\r\ncurrIconSize=-7\r\ncomResizeMinWidth=1e20\r\nddScale=-7\r\n"
         "[TViewFontColor]\r\nIndentation=1e20\r\nclzlxCOLOR=-7\r\n[books]\r\nWidth=1e20\r\nbookPos=-7\r\n"},
        {"a font size of 0", "[mainWinTextFont]\r\nsize=0\r\nweight=0\r\n[TViewFontColor]\r\nSize=0\r\n"},
    };
    for (const auto& c : cases) {
        writeFile(iniFile, c.bytes);
        QElapsedTimer clock;
        clock.start();
        browser::MainWindow& w = openOnFile(QString::fromStdString(library));
        // A loop over a claimed count of billions would take minutes. The start itself takes far
        // less than a second; the bound leaves room for a busy machine's disk, since the start
        // writes the reading-time values and so replaces the whole 10 MB file once.
        EXPECT_LT(clock.elapsed(), 5000) << c.what;
        EXPECT_EQ(w.settings().wSleep, 6) << c.what;
        EXPECT_EQ(w.settings().currIconSize, 16) << c.what;
        EXPECT_EQ(w.settings().comResizeMinWidth, 7) << c.what;
        EXPECT_EQ(w.settings().ddScale, 1.0f) << c.what;
        EXPECT_GT(w.rt1->font().pointSizeF(), 0) << c.what;
        EXPECT_EQ(w.cbook.colours.zlx, 255u) << c.what;
        EXPECT_EQ(w.tvw1->indentation(), 16) << c.what;
        EXPECT_EQ(w.geometry().size(), QSize(700, 500)) << c.what;
        EXPECT_TRUE(w.cbook.openOK()) << c.what;
        window.reset();
        EXPECT_EQ(readFile(iniFile).substr(0, 8), c.bytes.substr(0, 8)) << c.what;
    }
}

TEST_F(SettingsFileTest, AFileThatCannotBeWrittenIsSaidOnce) {
    const std::string stored = "[System]\r\nwSleep=9\r\nmyDBName=" + library + "\r\n";
    writeFile(iniFile, stored);
    ::chmod(iniFile.c_str(), 0444);
    browser::MainWindow& w = openOnFile("");
    EXPECT_EQ(w.settings().wSleep, 9) << "a read-only file is still read";
    EXPECT_TRUE(w.cbook.openOK());
    click("Alpha");
    const QString note = "The settings cannot be saved: the settings file or its folder cannot be written.";
    w.applyOptions(w.optionValues());  // saves
    EXPECT_EQ(w.statusText(1), note);
    w.showStatus("something else", 1);
    w.applyOptions(w.optionValues());
    EXPECT_EQ(w.statusText(1), "something else") << "said once";
    window.reset();
    EXPECT_EQ(readFile(iniFile), stored);
}

TEST_F(SettingsFileTest, TheReadersLookIsSavedWhenItClosesAndOptionsReachAnOpenReader) {
    browser::MainWindow& w = openOnFile(QString::fromStdString(library));
    click("Alpha");
    click("Story");
    w.Command4->click();
    reader::FormBook* book = w.formBook();
    ASSERT_NE(book, nullptr);
    QFont font = book->rt1->font();
    font.setItalic(true);
    font.setPointSize(19);
    book->rt1->setFont(font);
    book->setfc(0x0000FF00);
    book->close();
    EXPECT_EQ(iniValue(iniFile, "fullScreenTextFont", "size"), "19");
    EXPECT_EQ(iniValue(iniFile, "fullScreenTextFont", "Italic"), "1");
    EXPECT_EQ(iniValue(iniFile, "fullScreenTextFont", "foreColor"), std::to_string(0x0000FF00));

    w.Command4->click();
    settings::OptionValues v = w.optionValues();
    EXPECT_TRUE(v.fullScreen.font.italic());
    v.fullScreen.font.setPointSize(25);
    v.fullScreen.backColour = 0x000000FF;
    w.applyLooks(v);
    EXPECT_EQ(book->rt1->font().pointSize(), 25) << "the open reader takes it at once";
    EXPECT_EQ(book->rt1->palette().color(QPalette::Base), QColor(Qt::red));
    EXPECT_EQ(iniValue(iniFile, "fullScreenTextFont", "size"), "25");
    EXPECT_EQ(iniValue(iniFile, "fullScreenTextFont", "backColor"), "255");
}

}  // namespace
}  // namespace browser_test
