// The full-screen reader driven offscreen: hand-over, keys and mouse, auto-scroll on the
// test's own frames and clock (and on the display's), next document, look and background.
#include "aids/dictionary_fixture.h"
#include "platform/colour.h"
#include "platform/dialogs.h"
#include "reader/form_book.h"
#include "support/temp_dir.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QTextDocumentFragment>
#include <QTextEdit>
#include <QTimer>
#include <gtest/gtest.h>

#include <cmath>
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
            nextTextAtMs.push_back(clockMs);
            return nextTexts.empty() ? QString() : nextTexts[directions.size() % nextTexts.size()];
        };
        links.handBackCaret = [this](int caret, int length) { handedBack.emplace_back(caret, length); };
        links.speedChanged = [this](int level) { levels.push_back(level); };
        links.backPicture = [this](int) { ++picturesAsked; return picture; };
        links.nowSeconds = [this] { return now; };
        links.explainModule = explain;
        if (!displayFrames) {
            // Frames of frameMs each on a clock of the test's; onFrame runs what happens while one
            // frame is awaited (keys, clicks), and a quit answers false.
            links.nextFrame = [this] {
                ++frames;
                clockMs += frameMs;
                if (onFrame) onFrame(frames);
                return !quitAtFrame || frames < quitAtFrame;
            };
            links.scrollClockMs = [this] { return clockMs; };
        }
        frames = 0;
        clockMs = 0;
        quitAtFrame = 0;
        onFrame = nullptr;
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
    QScrollBar* scrollBar() const { return book->rt1->verticalScrollBar(); }

    // Scrolls from the top at the level and answers the position reached at clock ms (the
    // scroll is stopped in the frame after it).
    int scrolledAfter(int level, qint64 ms) {
        reader::ReaderShared shared;
        shared.wSleep = level;
        book->setShared(shared);
        scrollBar()->setValue(0);
        const qint64 until = clockMs + ms;
        onFrame = [this, until](int) {
            if (clockMs > until) book->requestStop();
        };
        book->autoScroll();
        return scrollValue();
    }

    std::unique_ptr<FormBook> book;
    std::vector<int> directions, levels;
    std::vector<qint64> nextTextAtMs;
    std::vector<std::pair<int, int>> handedBack;
    std::vector<QString> nextTexts;
    // The scroll's frames: the test's own unless displayFrames asks for the display's.
    bool displayFrames = false;
    int frames = 0;
    qint64 clockMs = 0;
    qint64 frameMs = 10;
    int quitAtFrame = 0;  // 0: no quit
    std::function<void(int frame)> onFrame;
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
        QApplication::sendPostedEvents();  // the explanation runs once the release is handled
        EXPECT_EQ(book->rt1->toolTip(), QString());
        press(viewport, Qt::LeftButton, QPoint(5, 5), QEvent::MouseButtonRelease);
        QApplication::sendPostedEvents();
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

TEST_F(FormBookTest, AutoScrollPositionFollowsTheTimeAtTheLevelsSpeed) {
    struct Case {
        int level;
        qint64 ms;
        qint64 frameMs;
        int expected;
    };
    // 60 px/s at level 0, 12.63 at level 1, 2.553 at level 6, 1.048 at level 15; late frames keep
    // the speed.
    for (const Case c : {Case{0, 1000, 10, 60}, Case{0, 250, 10, 15}, Case{0, 1000, 100, 60}, Case{0, 1020, 17, 61},
                         Case{1, 1000, 10, 13}, Case{1, 3000, 250, 38}, Case{6, 10000, 100, 26},
                         Case{15, 10000, 100, 10}, Case{15, 1000, 10, 1}}) {
        make();
        open(longText(400));
        frameMs = c.frameMs;
        EXPECT_EQ(scrolledAfter(c.level, c.ms), c.expected) << c.level << " after " << c.ms << " ms";
        EXPECT_FALSE(book->scrolling());
        EXPECT_TRUE(directions.empty());
    }
    EXPECT_DOUBLE_EQ(reader::autoScrollSpeed(0), 60.0);
    EXPECT_NEAR(reader::autoScrollSpeed(1), 12.632, 0.001);
    EXPECT_NEAR(reader::autoScrollSpeed(15), 1.048, 0.001);
    EXPECT_DOUBLE_EQ(reader::autoScrollSpeed(99), reader::autoScrollSpeed(15)) << "levels out of range are clamped";
    EXPECT_DOUBLE_EQ(reader::autoScrollSpeed(-1), 60.0);
}

TEST_F(FormBookTest, ASpeedChangeMidScrollKeepsThePositionContinuous) {
    struct Case {
        int level;
        bool rightHalf;  // slower
        int expected;    // after 1 s at the first level and 0.5 s at the next
    };
    // 60 + 6.32, 12.63 + 30, 1.05 + 30
    for (const Case c : {Case{0, true, 66}, Case{1, false, 43}, Case{15, true, 31}}) {
        reader::ReaderShared shared;
        shared.wSleep = c.level;
        make({}, shared);
        open(longText(400));
        std::vector<int> positions;
        onFrame = [&](int) {
            positions.push_back(scrollValue());
            if (clockMs == 1000) {
                QWidget* viewport = book->rt1->viewport();
                press(viewport, Qt::RightButton, QPoint(c.rightHalf ? viewport->width() - 5 : 5, 10));
            }
            if (clockMs > 1500) book->requestStop();
        };
        book->autoScroll();
        EXPECT_EQ(scrollValue(), c.expected) << c.level;
        for (size_t i = 1; i < positions.size(); ++i)
            ASSERT_LE(std::abs(positions[i] - positions[i - 1]), 1) << c.level << " jumps at frame " << i;
    }
}

TEST_F(FormBookTest, ScrollingByHandMidScrollGoesOnFromThere) {
    reader::ReaderShared shared;
    shared.wSleep = 0;
    make({}, shared);
    open(longText(400));
    onFrame = [this](int) {
        if (clockMs == 500) scrollBar()->setValue(200);  // the wheel or VScroll1
        if (clockMs > 1000) book->requestStop();
    };
    book->autoScroll();
    EXPECT_EQ(scrollValue(), 230);
}

TEST_F(FormBookTest, EscLeftPressOrClosingStopsTheScrollWithinOneFrame) {
    struct Case {
        const char* what;
        std::function<void(FormBook&)> act;
        bool staysOpen;
    };
    const std::vector<Case> cases = {
        {"Esc in the text", [](FormBook& b) { escape(b.rt1); }, true},
        {"Esc on Scroll", [](FormBook& b) { escape(b.Command1); }, true},
        {"left press", [](FormBook& b) { press(b.rt1->viewport(), Qt::LeftButton, QPoint(10, 10)); }, true},
        {"closing", [](FormBook& b) { b.close(); }, false},
    };
    for (const Case& c : cases) {
        reader::ReaderShared shared;
        shared.wSleep = 0;
        make({}, shared);
        open(longText(400));
        int stoppedAt = -1;
        onFrame = [&](int frame) {
            if (frame < 20) return;
            stoppedAt = scrollValue();
            c.act(*book);
        };
        book->Command1->click();
        EXPECT_EQ(frames, 20) << c.what << ": no frame awaited after the stop";
        EXPECT_EQ(scrollValue(), stoppedAt) << c.what << ": no step after the stop";
        EXPECT_GT(stoppedAt, 0) << c.what;
        EXPECT_FALSE(book->scrolling()) << c.what;
        EXPECT_EQ(book->isVisible(), c.staysOpen) << c.what;
    }
}

TEST_F(FormBookTest, AQuitEndsTheScrollAtOnceEvenDuringTheRestAtTheEnd) {
    for (const QString& text : {longText(400), QString()}) {
        make();
        open(text);
        quitAtFrame = 30;
        book->autoScroll();
        EXPECT_EQ(frames, 30);
        EXPECT_FALSE(book->scrolling());
        EXPECT_TRUE(directions.empty());
        EXPECT_TRUE(book->isVisible());
    }
}

// With the display's own frames: a quit of the program (QCoreApplication::quit or exit) ends a
// running scroll within a frame, and the main loop returns.
TEST_F(FormBookTest, QuittingTheProgramEndsARunningScroll) {
    displayFrames = true;
    reader::ReaderShared shared;
    shared.wSleep = 0;
    for (const bool viaExit : {false, true}) {
        make({}, shared);
        open(longText(400));
        bool ended = false, watchdog = false;
        int movedBeforeQuit = 0;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (scrollValue() < 3) return;
            movedBeforeQuit = scrollValue();
            poll.stop();
            if (viaExit) QCoreApplication::exit(0);
            else QCoreApplication::quit();
        });
        QTimer::singleShot(0, [&] {
            poll.start(5);
            book->autoScroll();
            ended = true;
        });
        QTimer::singleShot(20'000, [&] {
            watchdog = true;
            book->requestStop();
        });
        QCoreApplication::exec();
        EXPECT_TRUE(ended) << viaExit;
        EXPECT_FALSE(watchdog) << viaExit << ": the scroll ran on after the quit";
        EXPECT_GE(movedBeforeQuit, 3) << viaExit;
        EXPECT_LE(scrollValue(), movedBeforeQuit + 1) << viaExit;
        EXPECT_FALSE(book->scrolling());
    }
}

TEST_F(FormBookTest, AutoScrollRestsAtTheEndOfATextThenMovesOnToTheNextDocument) {
    reader::ReaderShared shared;
    shared.wSleep = 0;
    make({}, shared);
    nextTexts = {longText(400)};
    open(longText(100));
    // The room kept below the text lets its end come up to the top; the next document comes in
    // once position + look-ahead exceeds the maximum, not before.
    book->rt1->document()->documentLayout()->documentSize();
    const int lookAhead = int(std::lround(book->rt1->fontMetrics().lineSpacing() * 2.2));
    scrollBar()->setValue(scrollBar()->maximum() - lookAhead);
    const int lastPosition = scrollBar()->maximum() - lookAhead + 1;
    const qint64 start = clockMs;
    std::vector<int> positions;
    onFrame = [&](int) {
        if (directions.empty()) positions.push_back(scrollValue());
        if (!nextTextAtMs.empty() && clockMs > nextTextAtMs[0] + 1000) book->requestStop();
    };
    book->autoScroll();
    ASSERT_EQ(directions, std::vector<int>{1});
    EXPECT_EQ(positions.back(), lastPosition);
    EXPECT_GE(nextTextAtMs[0] - start, reader::kNextDocPauseMs);
    EXPECT_LE(nextTextAtMs[0] - start, reader::kNextDocPauseMs + 3 * frameMs);
    EXPECT_EQ(book->rt1->toPlainText(), nextTexts[0]);
    EXPECT_EQ(book->rt1->textCursor().position(), 0);
    EXPECT_EQ(scrollValue(), 60) << "the next text scrolls from its top";
}

// A long text is laid out bit by bit after it is shown: where its laid-out part ends, the scroll
// goes on without a rest.
TEST_F(FormBookTest, ALongTextStillBeingLaidOutIsNoEndOfTheText) {
    reader::ReaderShared shared;
    shared.wSleep = 0;
    make({}, shared);
    nextTexts = {"next"};
    open(longText(40'000));
    const int shownMaximum = scrollBar()->maximum();
    scrollBar()->setValue(shownMaximum);
    onFrame = [this](int frame) {
        QCoreApplication::processEvents();  // as while a frame is awaited
        if (frame == 20) book->requestStop();
    };
    book->autoScroll();
    EXPECT_TRUE(directions.empty());
    EXPECT_GT(scrollBar()->maximum(), 40'000 * 10) << "laid out to the end";
    EXPECT_GT(scrollValue(), shownMaximum + 5) << "no rest where the laid-out part ended";
}

TEST_F(FormBookTest, AutoScrollOnAnEmptyTextStopsDuringTheRestWithoutMovingOn) {
    make();
    open(QString());
    onFrame = [this](int frame) {
        if (frame == 50) book->requestStop();
    };
    book->autoScroll();
    EXPECT_EQ(frames, 50);
    EXPECT_TRUE(directions.empty());
}

// With the display's own frames the text moves and stops when asked.
TEST_F(FormBookTest, DisplayPacedScrollMovesAndStops) {
    displayFrames = true;
    reader::ReaderShared shared;
    shared.wSleep = 0;
    make({}, shared);
    open(longText(400));
    bool timedOut = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (scrollValue() >= 5) book->requestStop();
    });
    poll.start(5);
    QTimer::singleShot(20'000, [&] {
        timedOut = true;
        book->requestStop();
    });
    book->autoScroll();
    EXPECT_FALSE(timedOut);
    EXPECT_GE(scrollValue(), 5);
    EXPECT_FALSE(book->scrolling());
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

// A large font, as on a high-DPI screen: the buttons keep their captions whole and stay in the
// window, and the text wraps within the view, selects whole and scrolls to its end.
TEST_F(FormBookTest, LargeFontsKeepTheWholeTextReadableAndTheButtonsInReach) {
    struct AppFont {
        QFont saved = QApplication::font();
        ~AppFont() { QApplication::setFont(saved); }
    } appFont;
    QFont large = appFont.saved;
    large.setPointSize(28);
    QApplication::setFont(large);
    reader::ReaderLook look;
    look.font.size = 72;
    make(look);
    const QString text = QString("一个没有空格的很长的句子").repeated(30) + "\nNoSpacesInThisVeryLongWord" +
                         QString("x").repeated(200) + "\n" + longText(30) + "the end";
    open(text);
    const std::vector<QPushButton*> buttons = {book->cmdOK,    book->Command6, book->Command5,
                                               book->Command1, book->Command3, book->Command2};
    for (size_t i = 0; i < buttons.size(); ++i) {
        const QPushButton* button = buttons[i];
        EXPECT_TRUE(book->rect().contains(button->geometry())) << button->objectName().toStdString();
        EXPECT_GE(button->height(), button->fontMetrics().height()) << button->objectName().toStdString();
        EXPECT_GE(button->width(), button->fontMetrics().horizontalAdvance(button->text()))
            << button->objectName().toStdString();
        EXPECT_EQ(button->height(), buttons[0]->height()) << "one row height";
        for (size_t j = i + 1; j < buttons.size(); ++j)
            EXPECT_FALSE(button->geometry().intersects(buttons[j]->geometry()))
                << button->objectName().toStdString() << " " << buttons[j]->objectName().toStdString();
    }
    EXPECT_LE(book->Picture1->geometry().bottom(), book->cmdOK->y()) << "the text ends above the buttons";

    QTextEdit* rt1 = book->rt1;
    EXPECT_EQ(rt1->horizontalScrollBar()->maximum(), 0) << "every line wraps within the view";
    rt1->document()->documentLayout()->documentSize();
    // Where the scroll moves on to the next document, the last line is still in view.
    const int lookAhead = int(std::lround(rt1->fontMetrics().lineSpacing() * 2.2));
    scrollBar()->setValue(scrollBar()->maximum() - lookAhead);
    QTextCursor end(rt1->document());
    end.movePosition(QTextCursor::End);
    EXPECT_TRUE(rt1->viewport()->rect().contains(rt1->cursorRect(end)));
    rt1->selectAll();
    EXPECT_EQ(rt1->textCursor().selection().toPlainText(), text);
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
    onFrame = [this](int frame) {
        book->backPicTick();
        if (frame == 2) book->requestStop();
    };
    book->autoScroll();
    EXPECT_EQ(picturesAsked, 1) << "no change while the text moves";
    EXPECT_EQ(book->shared().backPicShowTime, 5) << "the show time comes back after the scroll";
}

}  // namespace
