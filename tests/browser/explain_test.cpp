// The word explanation on real text boxes, with the Jet fixture dictionary.
#include "aids/dictionary_fixture.h"
#include "aids/ui/explain_at_caret.h"
#include "platform/dialogs.h"
#include "reader/form_book.h"
#include "support/temp_dir.h"
#include "support/wait.h"
#include "window_fixture.h"

#include <QCoreApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QVBoxLayout>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace {

using aids::ExplainModule;
using testing_support::waitUntil;
using aids::ToolTips;

void placeCaret(QPlainTextEdit& box, int position, int selectTo = -1) {
    QTextCursor cursor = box.textCursor();
    cursor.setPosition(position);
    if (selectTo >= 0) cursor.setPosition(selectTo, QTextCursor::KeepAnchor);
    box.setTextCursor(cursor);
}

class ExplainBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("VYNE_HOME", home.path().c_str(), 1);
        std::filesystem::copy_file(testing_support::jetFixturePath("dictionary.mdb"),
                                   folder.path() + "/" + aids::kDictionaryFileName);
        ASSERT_TRUE(module.openDictionary(folder.path()));
        auto* layout = new QVBoxLayout(&owner);
        layout->addWidget(box);
        box->setPlainText("我爱读书，run fast!\n中国人民 胸有成竹");
        owner.show();
        tips.createToolTip(&owner, true);
    }
    void TearDown() override { unsetenv("VYNE_HOME"); }

    QString balloonOfBox() const { return tips.toolText(box->viewport()); }

    testing_support::TempDir home, folder;
    ExplainModule module;
    QWidget owner;
    QPlainTextEdit* box = new QPlainTextEdit(&owner);
    ToolTips tips;
};

TEST_F(ExplainBoxTest, BalloonShowsTheWordAtTheCaretOrTheSelection) {
    placeCaret(*box, 3);
    aids::explainAtCaret(module, tips, box, 2);
    EXPECT_EQ(balloonOfBox(), "shū:乙:4:書:book; letter; to write");
    ASSERT_TRUE(waitUntil([&] { return tips.tipWindow()->isVisible(); }, 2000)) << "shown after the initial delay";
    EXPECT_EQ(tips.tipWindow()->text(), "shū:乙:4:書:book; letter; to write");
    EXPECT_LE(tips.tipWindow()->width(), 600);

    placeCaret(*box, 7);  // inside "run"
    aids::explainAtCaret(module, tips, box, 2);
    EXPECT_EQ(balloonOfBox(), "v.跑；奔跑n.跑步") << "the newest explanation replaces the earlier one";
    EXPECT_FALSE(tips.tipWindow()->isVisible()) << "the new text waits for the delay again";

    placeCaret(*box, 15, 17);  // "中国" selected
    aids::explainAtCaret(module, tips, box, 2);
    EXPECT_EQ(balloonOfBox(), "Zhōngguó，China");

    placeCaret(*box, 0);  // 我 is not in the dictionary: the earlier balloon goes
    aids::explainAtCaret(module, tips, box, 2);
    EXPECT_EQ(balloonOfBox(), "");

    placeCaret(*box, 4);  // "，": a separator explained as a character, not found
    aids::explainAtCaret(module, tips, box, 2);
    EXPECT_EQ(balloonOfBox(), "");
    EXPECT_EQ(box->toolTip(), "") << "balloons leave the box's own tool tip alone";
}

TEST_F(ExplainBoxTest, PlainModeSetsTheBoxToolTipEvenWhenEmpty) {
    placeCaret(*box, 3);
    aids::explainAtCaret(module, tips, box, 1);
    EXPECT_EQ(box->toolTip(), "shū");
    placeCaret(*box, 12);  // inside "fast"
    aids::explainAtCaret(module, tips, box, 1);
    EXPECT_EQ(box->toolTip(), "No explain!");
    placeCaret(*box, 0);
    aids::explainAtCaret(module, tips, box, 1);
    EXPECT_EQ(box->toolTip(), "");
    placeCaret(*box, 20, 24);  // "胸有成竹"
    aids::explainAtCaret(module, tips, box, 1);
    EXPECT_EQ(box->toolTip(), "()");
    EXPECT_EQ(balloonOfBox(), "");
}

TEST_F(ExplainBoxTest, NothingHappensForLongSelectionsOrAClosedDictionary) {
    box->setPlainText(QString(16, QChar(0x4E66)));  // 16 times 书: 32 bytes
    placeCaret(*box, 0, 16);
    aids::explainAtCaret(module, tips, box, 1);
    EXPECT_EQ(box->toolTip(), "");
    box->setPlainText(QString(1000, 'a'));
    placeCaret(*box, 0, 1000);
    aids::explainAtCaret(module, tips, box, 1);
    EXPECT_EQ(box->toolTip(), "");

    box->setPlainText("run");
    box->setToolTip("earlier");
    module.closeDictionary();
    aids::explainAtCaret(module, tips, box, 1);
    aids::explainAtCaret(module, tips, box, 2);
    EXPECT_EQ(box->toolTip(), "earlier");
    EXPECT_EQ(balloonOfBox(), "");
}

TEST_F(ExplainBoxTest, EachWindowRemovesOnlyItsOwnTips) {
    QWidget reader;
    auto* readerBox = new QTextEdit(&reader);
    readerBox->setPlainText("cats");
    reader.show();
    ToolTips readerTips;
    readerTips.createToolTip(&reader, true);
    aids::explainAtCaret(module, readerTips, readerBox, 2);
    EXPECT_EQ(readerTips.toolText(readerBox->viewport()), "猫");

    placeCaret(*box, 3);
    aids::explainAtCaret(module, tips, box, 2);
    readerTips.destroyToolTips();
    EXPECT_EQ(readerTips.tipWindow(), nullptr);
    ASSERT_NE(tips.tipWindow(), nullptr);
    EXPECT_TRUE(waitUntil([&] { return tips.tipWindow()->isVisible(); }, 2000));

    aids::explainAtCaret(module, readerTips, readerBox, 2);
    EXPECT_EQ(readerTips.toolText(readerBox->viewport()), "") << "no tip window, nothing attached";
}

TEST(ExplainMarkup, DictionaryTextIsNeverReadAsMarkup) {
    testing_support::TempDir home, folder;
    setenv("VYNE_HOME", home.path().c_str(), 1);
    aids_test::createNativeDictionary(folder.path(), {{"english", {"tag", "<img src=x><b>bold</b>"}}});
    ExplainModule module;
    ASSERT_TRUE(module.openDictionary(folder.path()));
    QWidget owner;
    auto* box = new QPlainTextEdit("tag", &owner);
    owner.show();
    ToolTips tips;
    tips.createToolTip(&owner, true);

    aids::explainAtCaret(module, tips, box, 1);
    EXPECT_FALSE(box->toolTip().contains("<b>"));
    EXPECT_TRUE(box->toolTip().contains("&lt;b&gt;bold&lt;/b&gt;"));

    aids::explainAtCaret(module, tips, box, 2);
    ASSERT_TRUE(waitUntil([&] { return tips.tipWindow()->isVisible(); }, 2000));
    EXPECT_EQ(tips.tipWindow()->textFormat(), Qt::PlainText);
    EXPECT_EQ(tips.tipWindow()->text(), "<img src=x><b>bold</b>");
    unsetenv("VYNE_HOME");
}

// The main window explains the word at rt1's caret when a mouse button is released over it.
class ExplainWindowTest : public browser_test::WindowTest {
protected:
    browser::MainWindow& openWith(int mode, const std::string& explainFolder) {
        browser::BrowserSettings initial;
        initial.explainMode = mode;
        initial.explainPath = explainFolder;
        browser::MainWindow& w = open(QString::fromStdString(library), initial);
        click("Alpha");
        click("Story");  // "你好世界 hello"
        return w;
    }
    void releaseAt(browser::MainWindow& w, int position, Qt::MouseButton button = Qt::LeftButton) {
        placeCaret(*w.rt1, position);
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(5, 5), w.rt1->viewport()->mapToGlobal(QPointF(5, 5)),
                            button, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(w.rt1->viewport(), &release);
        QCoreApplication::sendPostedEvents();  // the explanation runs once the release is handled
    }
    // A real click (press and release) with the left button on the character at `position`.
    static void clickAt(QAbstractScrollArea* box, const QPoint& at) {
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent event(type, at, box->viewport()->mapToGlobal(at), Qt::LeftButton,
                              type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
            QCoreApplication::sendEvent(box->viewport(), &event);
        }
        QCoreApplication::sendPostedEvents();
    }
    template <class Box>
    static QPoint pointOfCharacter(Box* box, int position) {
        QTextCursor cursor(box->document());
        cursor.setPosition(position);
        return box->cursorRect(cursor).center() + QPoint(4, 0);
    }
    static void copyDictionaryTo(const std::string& folder) {
        std::filesystem::create_directories(folder);
        std::filesystem::copy_file(testing_support::jetFixturePath("dictionary.mdb"), folder + "/" + aids::kDictionaryFileName);
    }
};

TEST_F(ExplainWindowTest, BalloonFromTheDictionaryInTheProgramDataFolder) {
    copyDictionaryTo(home.file("data"));
    browser::MainWindow& w = openWith(2, "");
    ASSERT_TRUE(w.explainModule.dictionaryOpen());
    releaseAt(w, 6);  // inside "hello"
    EXPECT_EQ(w.explainTips.toolText(w.rt1->viewport()), "No explain!");
    w.rt1->setPlainText("书 cats");
    releaseAt(w, 3, Qt::RightButton);  // any button
    EXPECT_EQ(w.explainTips.toolText(w.rt1->viewport()), "猫");
    EXPECT_EQ(w.rt1->toolTip(), "");

    w.shutdown();
    EXPECT_FALSE(w.explainModule.dictionaryOpen());
    EXPECT_EQ(w.explainTips.tipWindow(), nullptr);
}

TEST_F(ExplainWindowTest, AClickInsideASelectionExplainsTheWordClickedNotTheSelection) {
    copyDictionaryTo(home.file("data"));
    browser::MainWindow& w = openWith(2, "");
    w.rt1->setPlainText("中国 书");
    placeCaret(*w.rt1, 0, 4);  // everything selected
    clickAt(w.rt1, pointOfCharacter(w.rt1, 3));
    EXPECT_FALSE(w.rt1->textCursor().hasSelection());
    EXPECT_EQ(w.explainTips.toolText(w.rt1->viewport()), "shū:乙:4:書:book; letter; to write");

    placeCaret(*w.rt1, 0, 2);  // "中国" selected, the click outside it
    clickAt(w.rt1, pointOfCharacter(w.rt1, 3));
    EXPECT_EQ(w.explainTips.toolText(w.rt1->viewport()), "shū:乙:4:書:book; letter; to write");
}

TEST_F(ExplainWindowTest, TheReadersBalloonGoesWhenItClosesAndComesBackForNewClicks) {
    copyDictionaryTo(home.file("data"));
    browser::MainWindow& w = openWith(2, "");
    w.Command4->click();
    reader::FormBook* book = w.formBook();
    ASSERT_NE(book, nullptr);
    book->rt1->setPlainText("书 cats");
    const auto readerBalloon = [&] { return book->tips().toolText(book->rt1->viewport()); };

    clickAt(book->rt1, pointOfCharacter(book->rt1, 0));
    EXPECT_EQ(readerBalloon(), "shū:乙:4:書:book; letter; to write");
    ASSERT_NE(book->tips().tipWindow(), nullptr);
    ASSERT_TRUE(waitUntil([&] { return book->tips().tipWindow()->isVisible(); }, 2000));

    book->close();
    EXPECT_EQ(readerBalloon(), "") << "removed from the viewport it was attached to";
    EXPECT_FALSE(book->tips().tipWindow()->isVisible());

    w.Command4->click();
    ASSERT_TRUE(book->isVisible());
    EXPECT_EQ(readerBalloon(), "") << "the old explanation does not come back with the window";
    book->rt1->setPlainText("书 cats");
    clickAt(book->rt1, pointOfCharacter(book->rt1, 3));
    EXPECT_EQ(readerBalloon(), "猫");
    EXPECT_TRUE(waitUntil([&] { return book->tips().tipWindow()->isVisible(); }, 2000));
}

TEST(ExplainTips, AToolTipWindowThatCannotBeMadeIsReported) {
    std::vector<QString> shown;
    auto& answers = platform::dialogAnswers();
    answers = {};
    answers.message = [&](const QString& title, const QString& text, platform::MessageIcon icon) {
        shown.push_back(title + "|" + text + (icon == platform::MessageIcon::Critical ? "|critical" : ""));
    };
    ToolTips tips;
    EXPECT_FALSE(tips.createToolTip(nullptr, true));
    EXPECT_EQ(tips.tipWindow(), nullptr);
    EXPECT_EQ(shown, std::vector<QString>{"错误|错误！无法建立工具提示窗口！|critical"});
    QWidget owner;
    EXPECT_TRUE(tips.createToolTip(&owner, true));
    EXPECT_EQ(shown.size(), 1u);
    answers = {};
}

TEST_F(ExplainWindowTest, PlainModeAndOffMode) {
    copyDictionaryTo(dir.file("words"));
    browser::MainWindow& plain = openWith(1, dir.file("words"));
    plain.rt1->setPlainText("书");
    releaseAt(plain, 0);
    EXPECT_EQ(plain.rt1->toolTip(), "shū");
    window.reset();
    settings.reset();

    browser::MainWindow& off = openWith(0, dir.file("words"));
    releaseAt(off, 6);
    EXPECT_EQ(off.rt1->toolTip(), "");
    EXPECT_EQ(off.explainTips.toolText(off.rt1->viewport()), "");
}

}  // namespace
