// The main window opens the full-screen reader for a text document on show, and keeps the
// reader's settings.
#include "reader/form_book.h"
#include "window_fixture.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QTreeWidget>

namespace browser_test {
namespace {

using ReaderWindowTest = WindowTest;

TEST_F(ReaderWindowTest, FullScreenOnATextDocumentOpensTheReaderWithTheTextPane) {
    auto& w = open(QString::fromStdString(library));
    click("Alpha");
    click("Story");
    QTextCursor caret = w.rt1->textCursor();
    caret.setPosition(3);
    w.rt1->setTextCursor(caret);
    w.Command4->click();
    reader::FormBook* book = w.formBook();
    ASSERT_NE(book, nullptr);
    EXPECT_TRUE(book->isVisible());
    EXPECT_EQ(book->rt1->toPlainText(), "你好世界 hello");
    EXPECT_EQ(book->Label1->text(), QString::fromStdString(w.cbook.getPPathName(ids["Story"], false)));
    EXPECT_EQ(book->selstart(), 3);

    // The reader's next document is the main window's next document.
    book->Command6->click();
    EXPECT_EQ(w.selectedNode(), node("Empty"));
    EXPECT_EQ(book->rt1->toPlainText(), QString());

    // Quit hands the caret back to the text pane.
    book->close();
    click("Story");
    w.pmenu->findChild<QAction*>("menu_全屏幕浏览")->trigger();
    EXPECT_TRUE(book->isVisible());
    EXPECT_EQ(book->rt1->toPlainText(), "你好世界 hello");
    QTextCursor at = book->rt1->textCursor();
    at.setPosition(2);
    book->rt1->setTextCursor(at);
    book->cmdOK->click();
    EXPECT_FALSE(book->isVisible());
    EXPECT_EQ(w.rt1->textCursor().selectionStart(), 2);
    EXPECT_EQ(w.rt1->textCursor().selectedText(), "世界 hello");
}

TEST_F(ReaderWindowTest, FullScreenDoesNothingOnAPictureOrAClass) {
    auto& w = open(QString::fromStdString(library));
    click("Alpha");
    for (const char* title : {"Red", "Alpha"}) {
        click(title);
        w.Command4->click();
        EXPECT_EQ(w.formBook(), nullptr) << title;
    }
}

TEST_F(ReaderWindowTest, TheReadersSpeedAndLookAreKeptWithTheSettings) {
    browser::BrowserSettings initial;
    initial.wSleep = 15;
    initial.fullScreenTextFont.font.size = 17;
    initial.fullScreenTextFont.backColour = 0x00FF0000;
    auto& w = open(QString::fromStdString(library), initial);
    click("Alpha");
    click("Story");
    w.Command4->click();
    reader::FormBook* book = w.formBook();
    ASSERT_NE(book, nullptr);
    EXPECT_EQ(book->shared().wSleep, 15);
    EXPECT_EQ(book->rt1->font().pointSizeF(), 17);
    book->changeSpeed(book->rt1->width());  // right half: 15 wraps to 0
    book->setfc(0x0000FF00);
    w.shutdown();
    EXPECT_FALSE(book->isVisible()) << "the reader closes with the main window";
    const browser::BrowserSettings saved = settings->load();
    EXPECT_EQ(saved.wSleep, 0);
    EXPECT_EQ(saved.fullScreenTextFont.font.size, 17);
    EXPECT_EQ(saved.fullScreenTextFont.backColour, 0x00FF0000u);
    EXPECT_EQ(saved.fullScreenTextFont.foreColour, 0x0000FF00u);
}

TEST(ReaderSettingsFile, SpeedAndLookReadBackAndOddSpeedsGiveTheDefault) {
    testing_support::TempDir dir;
    const std::string file = dir.file("vyne.ini");
    browser::BrowserSettings s;
    s.wSleep = 9;
    s.fullScreenTextFont = {{"Noto Serif CJK SC", 14.5, true, true, true, true, 700, 134}, 0x00123456u, 0x00654321u};
    browser::makeIniSettingsStore(file)->save(s);
    const browser::BrowserSettings back = browser::makeIniSettingsStore(file)->load();
    EXPECT_EQ(back.wSleep, 9);
    const IniFont& font = back.fullScreenTextFont.font;
    EXPECT_EQ(font.name, "Noto Serif CJK SC");
    EXPECT_EQ(font.size, 14.5);
    EXPECT_TRUE(font.bold && font.italic && font.underline && font.strikethrough);
    EXPECT_EQ(font.weight, 700);
    EXPECT_EQ(font.charset, 134);
    EXPECT_EQ(back.fullScreenTextFont.backColour, 0x00123456u);
    EXPECT_EQ(back.fullScreenTextFont.foreColour, 0x00654321u);

    for (const char* stored : {"0", "abc", "16", "-3", ""}) {
        setIniValue(file, "System", "wSleep", stored);
        cInifile ini;
        ini.path = file;
        ini.section = "fullScreenTextFont";
        ini.DeleteSection();
        const browser::BrowserSettings odd = browser::makeIniSettingsStore(file)->load();
        EXPECT_EQ(odd.wSleep, 6) << stored;
        EXPECT_FALSE(odd.fullScreenTextFont.backColour.has_value());
        EXPECT_EQ(odd.fullScreenTextFont.font.size, 0);
    }
}

}  // namespace
}  // namespace browser_test
