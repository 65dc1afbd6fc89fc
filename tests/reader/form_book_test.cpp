// The full-screen reader driven offscreen: hand-over, keys and mouse, auto-scroll through the
// pause seam, next document, look and background.
#include "aids/dictionary_fixture.h"
#include "platform/colour.h"
#include "platform/dialogs.h"
#include "reader/form_book.h"
#include "support/temp_dir.h"

#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QTextEdit>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using reader::FormBook;

QString longText(int lines) {
    QString text;
    for (int i = 0; i < lines; ++i) text += QString("line %1 of a long story\n").arg(i);
    return text;
}

void press(QWidget* target, Qt::MouseButton button, QPoint at, QEvent::Type type = QEvent::MouseButtonPress) {
    QMouseEvent event(type, QPointF(at), target->mapToGlobal(QPointF(at)), button,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : button, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

void escape(QWidget* target) {
    QKeyEvent event(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

class FormBookTest : public ::testing::Test {
protected:
    void TearDown() override {
        book.reset();
        platform::dialogAnswers() = {};
    }

    // The reader with links that record what it asks of the main window.
    FormBook& make(const reader::ReaderLook& look = {}, reader::ReaderShared shared = {}) {
        reader::FormBookLinks links;
        links.nextText = [this](int direction) {
            directions.push_back(direction);
            return nextTexts.empty() ? QString() : nextTexts[directions.size() % nextTexts.size()];
        };
        links.handBackCaret = [this](int caret, int length) { handedBack.emplace_back(caret, length); };
        links.speedChanged = [this](int level) { levels.push_back(level); };
        links.backPicture = [this](int) { ++picturesAsked; return picture; };
        links.nowSeconds = [this] { return now; };
        links.explainModule = explain;
        links.pause = [this](int yields) {
            pauses.push_back(yields);
            if (onPause) onPause(int(pauses.size()));
        };
        book = std::make_unique<FormBook>(look, std::move(links));
        book->setShared(shared);
        book->resize(800, 600);
        return *book;
    }

    void open(const QString& text, int caret = 0) {
        book->setTitleStr("Root/Alpha");
        book->setBuffer(text);
        book->setSelstart(caret);
        book->show();
    }

    int scrollValue() const { return book->rt1->verticalScrollBar()->value(); }

    std::unique_ptr<FormBook> book;
    std::vector<int> directions, levels, pauses;
    std::vector<std::pair<int, int>> handedBack;
    std::vector<QString> nextTexts;
    std::function<void(int)> onPause;
    QImage picture;
    int picturesAsked = 0;
    aids::ExplainModule* explain = nullptr;
    qint64 now = 1000;
};

TEST_F(FormBookTest, ShowsTheTextHandedOverWithFiveCharactersSelectedAtTheCaret) {
    make();
    open("0123456789 and more", 3);
    EXPECT_EQ(book->rt1->toPlainText(), "0123456789 and more");
    EXPECT_EQ(book->Label1->text(), "Root/Alpha");
    EXPECT_EQ(book->rt1->textCursor().selectionStart(), 3);
    EXPECT_EQ(book->rt1->textCursor().selectedText(), "34567");
    EXPECT_EQ(book->selstart(), 3);
    // Coming back to the reader keeps the place reached meanwhile; a new hand-over replaces it.
    book->showNextDoc(1);
    book->hide();
    book->show();
    EXPECT_EQ(book->rt1->toPlainText(), QString());
    book->setBuffer("another text");
    book->setSelstart(99);
    book->hide();
    book->show();
    EXPECT_EQ(book->rt1->toPlainText(), "another text");
    EXPECT_EQ(book->selstart(), 12);  // a caret beyond the text lands at its end
}

TEST_F(FormBookTest, FirstEscapeArmsTheStopAndTheSecondCloses) {
    make();
    open("text");
    escape(book->rt1);
    EXPECT_TRUE(book->isVisible());
    EXPECT_TRUE(book->stopRequested());
    escape(book->rt1);
    EXPECT_FALSE(book->isVisible());
    // Opened again: the first Esc arms again.
    open("text");
    escape(book->rt1);
    EXPECT_TRUE(book->isVisible());
    // Esc on the scroll button only stops.
    open("text");
    escape(book->Command1);
    EXPECT_TRUE(book->stopRequested());
    escape(book->Command1);
    EXPECT_TRUE(book->isVisible());
    // Elsewhere in the window Esc is what it is in the text.
    escape(book->Command2);
    EXPECT_FALSE(book->isVisible());
}

TEST_F(FormBookTest, ReleasingAButtonButTheRightExplainsTheWordAtTheCaret) {
    testing_support::TempDir folder;
    aids_test::copyJetDictionary(folder.path());
    aids::ExplainModule module;
    ASSERT_TRUE(module.openDictionary(folder.path()));
    explain = &module;
    for (const int mode : {0, 1}) {
        reader::ReaderShared shared;
        shared.explainMode = mode;
        make({}, shared);
        open("我爱读书", 3);  // the caret's selection is "书"
        QWidget* viewport = book->rt1->viewport();
        press(viewport, Qt::RightButton, QPoint(5, 5), QEvent::MouseButtonRelease);
        EXPECT_EQ(book->rt1->toolTip(), QString());
        press(viewport, Qt::LeftButton, QPoint(5, 5), QEvent::MouseButtonRelease);
        EXPECT_EQ(book->rt1->toolTip(), mode == 0 ? QString() : QString("shū")) << mode;
    }
}

TEST_F(FormBookTest, RightPressChangesTheSpeedByHalfAndWraps) {
    struct Case {
        int level;
        bool rightHalf;
        int expected;
    };
    for (const Case c : {Case{15, true, 0}, Case{0, false, 15}, Case{6, true, 7}, Case{6, false, 5}}) {
        reader::ReaderShared shared;
        shared.wSleep = c.level;
        make({}, shared);
        open("text");
        levels.clear();
        QWidget* viewport = book->rt1->viewport();
        press(viewport, Qt::RightButton, QPoint(c.rightHalf ? viewport->width() - 5 : 5, 10));
        EXPECT_EQ(book->shared().wSleep, c.expected) << c.level << " " << c.rightHalf;
        EXPECT_EQ(levels, std::vector<int>{c.expected});
    }
}

TEST_F(FormBookTest, AutoScrollStepsOnePixelAPausePerLevelUntilStopped) {
    reader::ReaderShared shared;
    shared.wSleep = 4;
    make({}, shared);
    open(longText(400));
    book->rt1->verticalScrollBar()->setValue(0);
    onPause = [this](int count) {
        if (count == 3) escape(book->rt1);  // the first Esc stops the scroll, the reader stays
    };
    book->Command1->click();
    EXPECT_EQ(pauses, (std::vector<int>{12'000, 12'000, 12'000}));
    EXPECT_EQ(scrollValue(), 3);
    EXPECT_FALSE(book->scrolling());
    EXPECT_TRUE(book->isVisible());
    EXPECT_TRUE(directions.empty());
}

TEST_F(FormBookTest, LeftPressOrClosingStopsARunningScroll) {
    for (const bool closing : {false, true}) {
        make();
        open(longText(400));
        pauses.clear();
        onPause = [this, closing](int) {
            if (closing) book->close();
            else press(book->rt1->viewport(), Qt::LeftButton, QPoint(10, 10));
        };
        book->autoScroll();
        EXPECT_EQ(pauses.size(), 1u);
        EXPECT_FALSE(book->scrolling());
        EXPECT_EQ(book->isVisible(), !closing);
    }
}

TEST_F(FormBookTest, AutoScrollMovesOnToTheNextDocumentAtTheEnd) {
    make();
    nextTexts = {longText(400)};
    open("a short text");
    onPause = [this](int count) {
        if (count == 2) book->requestStop();
    };
    book->autoScroll();
    // The short text scrolls up until its last lines reach the top, then the next one comes in.
    ASSERT_EQ(directions, std::vector<int>{1});
    EXPECT_EQ(book->rt1->toPlainText(), nextTexts[0]);
    EXPECT_EQ(book->rt1->textCursor().position(), 0);
    EXPECT_EQ(scrollValue(), 1);
    EXPECT_EQ(pauses.front(), 200'000) << "the longer pause comes before the next document";
}

TEST_F(FormBookTest, AutoScrollOnAnEmptyTextStopsDuringTheEndPauseWithoutMovingOn) {
    make();
    open(QString());
    onPause = [this](int) { book->requestStop(); };
    book->autoScroll();
    EXPECT_EQ(pauses, std::vector<int>{200'000});
    EXPECT_TRUE(directions.empty());
}

TEST_F(FormBookTest, NextAndPreviousButtonsReplaceTheTextWithTheCaretAtTheStart) {
    make();
    nextTexts = {"from the main window"};
    open("first text", 4);
    book->Command6->click();
    book->Command5->click();
    EXPECT_EQ(directions, (std::vector<int>{1, 0}));
    EXPECT_EQ(book->rt1->toPlainText(), "from the main window");
    EXPECT_EQ(book->rt1->textCursor().position(), 0);
}

TEST_F(FormBookTest, QuitHandsTheCaretBackWithEightSelectedAndClickingTheSurfaceWithNone) {
    make();
    open("0123456789", 6);
    press(book.get(), Qt::LeftButton, QPoint(book->width() - 1, book->height() - 1));
    book->cmdOK->click();
    EXPECT_EQ(handedBack, (std::vector<std::pair<int, int>>{{6, 0}, {6, 8}}));
    EXPECT_FALSE(book->isVisible());
}

TEST_F(FormBookTest, LookIsAppliedAndTheDialogsChangeIt) {
    reader::ReaderLook look;
    look.font.name = "Noto Sans CJK SC";
    look.font.size = 21;
    look.font.bold = true;
    look.font.italic = true;
    look.backColour = 0x00FF0000;  // blue
    look.foreColour = 0x000000FF;  // red
    make(look);
    open("text");
    EXPECT_EQ(book->rt1->font().pointSizeF(), 21);
    EXPECT_TRUE(book->rt1->font().bold());
    EXPECT_TRUE(book->rt1->font().italic());
    EXPECT_EQ(book->rt1->palette().color(QPalette::Base), QColor(Qt::blue));
    EXPECT_EQ(book->rt1->palette().color(QPalette::Text), QColor(Qt::red));

    QString fontTitle, colourTitle;
    platform::dialogAnswers().font = [&](const QString& title, const platform::FontChoice& initial) {
        fontTitle = title;
        EXPECT_EQ(initial.colour, QColor(Qt::red));
        QFont font = initial.font;
        font.setPointSize(9);
        font.setBold(false);
        return std::optional<platform::FontChoice>({font, QColor(Qt::green)});
    };
    platform::dialogAnswers().colour = [&](const QString& title, const QColor& initial) {
        colourTitle = title;
        EXPECT_EQ(initial, QColor(Qt::blue));
        return std::optional<QColor>(QColor(Qt::yellow));
    };
    book->Command2->click();
    book->Command3->click();
    EXPECT_EQ(fontTitle, "Please Select Font");
    EXPECT_EQ(colourTitle, "Please Back Color");
    const reader::ReaderLook now = book->look();
    EXPECT_EQ(now.font.size, 9);
    EXPECT_FALSE(now.font.bold);
    EXPECT_TRUE(now.font.italic) << "what the dialog did not change stays";
    EXPECT_EQ(now.foreColour, platform::rgbFromColour(Qt::green));
    EXPECT_EQ(now.backColour, platform::rgbFromColour(Qt::yellow));

    // Refused dialogs change nothing.
    platform::dialogAnswers().font = [](const QString&, const platform::FontChoice&) {
        return std::optional<platform::FontChoice>();
    };
    platform::dialogAnswers().colour = [](const QString&, const QColor&) { return std::optional<QColor>(); };
    book->Command2->click();
    book->Command3->click();
    EXPECT_EQ(book->look().font.size, 9);
    EXPECT_EQ(book->look().backColour, platform::rgbFromColour(Qt::yellow));
}

TEST_F(FormBookTest, ScrollBarAndLineScrollingMoveByLines) {
    make();
    open(longText(400));
    book->rt1->verticalScrollBar()->setValue(0);
    const int line = book->rt1->fontMetrics().lineSpacing();
    book->VScroll1->setValue(book->VScroll1->value() + 1);
    EXPECT_EQ(scrollValue(), line);
    book->VScroll1->setValue(book->VScroll1->value() - 1);
    EXPECT_EQ(scrollValue(), 0);
    book->ScrollDown();
    book->ScrollDown();
    book->ScrollUp();
    EXPECT_EQ(scrollValue(), line);
    EXPECT_GE(book->GetLineCount(), 400);
}

class BackgroundTest : public FormBookTest {
protected:
    void SetUp() override {
        picture = QImage(40, 30, QImage::Format_RGB32);
        picture.fill(Qt::red);
        pictureFile = dir.file("back.png");
        picture.save(QString::fromStdString(pictureFile));
    }
    reader::ReaderShared source(const std::string& path, int showTime) {
        reader::ReaderShared shared;
        shared.backPicFile = QString::fromStdString(path);
        shared.backPicShowTime = showTime;
        return shared;
    }
    testing_support::TempDir dir;
    std::string pictureFile;
};

TEST_F(BackgroundTest, APictureFileIsDrawnOnShowingOnlyWithAShowTimeAndNeverRotated) {
    make({}, source(pictureFile, 0));
    open("text");
    EXPECT_TRUE(book->backPicture().isNull());
    EXPECT_EQ(picturesAsked, 0);

    make({}, source(pictureFile, 5));
    open("text");
    EXPECT_FALSE(book->backPicture().isNull());
    EXPECT_EQ(book->backPicture().size(), book->Picture1->size());
    book->resize(900, 700);
    EXPECT_EQ(book->backPicture().size(), book->Picture1->size()) << "drawn again for the new size";
    const int asked = picturesAsked;
    book->backPicTick();
    now += 60;
    book->backPicTick();
    EXPECT_EQ(picturesAsked, asked);
}

TEST_F(BackgroundTest, AFolderIsFirstDrawnWhenThePeriodHasElapsedAndNotWhileScrolling) {
    make({}, source(dir.path(), 5));
    open(longText(400));
    EXPECT_TRUE(book->backPicture().isNull());
    book->backPicTick();  // the first tick starts the clock
    now += 5;
    book->backPicTick();
    EXPECT_EQ(picturesAsked, 0);
    now += 1;
    book->backPicTick();
    EXPECT_EQ(picturesAsked, 1);
    EXPECT_FALSE(book->backPicture().isNull());

    now += 100;
    onPause = [this](int count) {
        book->backPicTick();
        if (count == 2) book->requestStop();
    };
    book->autoScroll();
    EXPECT_EQ(picturesAsked, 1) << "no change while the text moves";
    EXPECT_EQ(book->shared().backPicShowTime, 5) << "the show time comes back after the scroll";
}

}  // namespace
