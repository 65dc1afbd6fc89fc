#include "pictures/picture_browser.h"
#include "platform/dialogs.h"
#include "support/picture_bytes.h"
#include "support/temp_dir.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

store::Bytes png(QColor colour, QSize size = QSize(40, 30)) {
    return testing_support::encodedPictureBytes(colour, size, "PNG");
}

// The colour in the middle of what Picture1 shows.
QColor shownColour(const pictures::PictureBrowser& browser) {
    const QImage& picture = browser.shownPicture();
    if (picture.isNull()) return {};
    return picture.pixelColor(picture.width() / 2, picture.height() / 2);
}

class PictureBrowserTest : public ::testing::Test {
protected:
    // Root
    //   Pics: Red (png 400 x 200), Note (txt), Green (png), Broken (png that is no picture),
    //         Blue (png)
    //     Sub: Yellow (png)
    //   Many: twenty pictures
    //   Empty: only a text
    //   Locked: Cyan (png), password "pw"
    void SetUp() override {
        ASSERT_TRUE(book.createBookMDB(library));
        ASSERT_TRUE(book.openDB(library));
        ids["Pics"] = book.insertPathBT("Pics", 1);
        ids["Red"] = book.insertRec(ids["Pics"], "Red", "png", png(Qt::red, QSize(400, 200)));
        ids["Note"] = book.insertNRBT(ids["Pics"], "Note", "text, not a picture");
        ids["Green"] = book.insertRec(ids["Pics"], "Green", "png", png(Qt::green));
        ids["Broken"] = book.insertRec(ids["Pics"], "Broken", "png", store::Bytes(64, 7));
        ids["Blue"] = book.insertRec(ids["Pics"], "Blue", "jpg", png(Qt::blue));
        ids["Sub"] = book.insertPathBT("Sub", ids["Pics"]);
        ids["Yellow"] = book.insertRec(ids["Sub"], "Yellow", "png", png(Qt::yellow));
        ids["Many"] = book.insertPathBT("Many", 1);
        for (int i = 0; i < 20; ++i) book.insertRec(ids["Many"], "m" + std::to_string(i), "png", png(QColor(i * 10, 0, 0)));
        ids["Empty"] = book.insertPathBT("Empty", 1);
        book.insertNRBT(ids["Empty"], "Only", "words");
        ids["Locked"] = book.insertPathBT("Locked", 1);
        ids["Cyan"] = book.insertRec(ids["Locked"], "Cyan", "png", png(Qt::cyan));
        ASSERT_TRUE(book.putPasswd("pw", ids["Locked"]));
        book.passwordPrompts.askPassword = [this](const std::string& prompt) {
            prompts.push_back(prompt);
            return passwordAnswer;
        };
        platform::dialogAnswers().message = [this](const QString& title, const QString& text, platform::MessageIcon) {
            messages.push_back(title + "|" + text);
        };
        browser.resize(800, 600);
        browser.show();
    }

    void TearDown() override { platform::dialogAnswers() = {}; }

    void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QKeyEvent event(QEvent::KeyPress, key, modifiers);
        QApplication::sendEvent(browser.Command2, &event);
    }

    void wheel(int delta) {
        QWheelEvent event(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(browser.Picture1, &event);
    }

    testing_support::TempDir dir;
    std::string library = dir.file("pictures.mdb");
    store::ctreebook book;
    std::map<std::string, int32_t> ids;
    std::vector<std::string> prompts;
    std::vector<QString> messages;
    std::string passwordAnswer;
    pictures::PictureBrowser browser;
};

TEST_F(PictureBrowserTest, AClassOpensOnItsPicturesInStoreOrderBelowIt) {
    browser.openOn(book, "Pics", ids["Pics"]);
    EXPECT_EQ(browser.pictureIds(),
              (std::vector<int32_t>{ids["Red"], ids["Green"], ids["Broken"], ids["Blue"], ids["Yellow"]}));
    EXPECT_EQ(browser.Combo1->currentText(), "Pics");
    EXPECT_EQ(browser.Combo1->itemText(browser.Combo1->count() - 1), "All");
    EXPECT_EQ(browser.currentIndex(), 1);
    EXPECT_EQ(browser.HScroll1->minimum(), 1);
    EXPECT_EQ(browser.HScroll1->maximum(), 5);
    EXPECT_EQ(browser.HScroll1->pageStep(), 10);
    EXPECT_EQ(browser.windowTitle(), "Picture Lib  1/5");
    EXPECT_EQ(shownColour(browser), QColor(Qt::red));
}

TEST_F(PictureBrowserTest, ADocumentOpensAtItselfAndAnUnknownClassLoadsNothing) {
    browser.openOn(book, "Pics", ids["Blue"]);
    EXPECT_EQ(browser.currentIndex(), 4);
    EXPECT_EQ(browser.windowTitle(), "Picture Lib Browser    4/5");
    EXPECT_EQ(shownColour(browser), QColor(Qt::blue));

    pictures::PictureBrowser other;
    other.openOn(book, "No such class", ids["Blue"]);
    EXPECT_TRUE(other.pictureIds().empty());
    EXPECT_GT(other.Combo1->count(), 0);
}

TEST_F(PictureBrowserTest, AllTakesEveryPictureOfTheLibraryAfterItsPassword) {
    browser.openOn(book, "All", 0);
    EXPECT_EQ(browser.pictureIds().size(), 26u);
    EXPECT_TRUE(prompts.empty());  // the library itself has no password
}

TEST_F(PictureBrowserTest, AProtectedClassAsksAndAWrongPasswordLoadsNothing) {
    passwordAnswer = "wrong";
    browser.openOn(book, "Locked", ids["Locked"]);
    EXPECT_EQ(prompts, (std::vector<std::string>{"Please input password for Class <Locked>: "}));
    EXPECT_EQ(messages, (std::vector<QString>{"Note|Password Wrong!"}));
    EXPECT_TRUE(browser.pictureIds().empty());

    passwordAnswer = "pw";
    EXPECT_TRUE(browser.chooseClass(browser.Combo1->findText("Locked")));
    EXPECT_EQ(browser.pictureIds(), (std::vector<int32_t>{ids["Cyan"]}));
    EXPECT_EQ(shownColour(browser), QColor(Qt::cyan));
}

TEST_F(PictureBrowserTest, AClassWithoutPicturesLeavesTheScrollBarWithoutRange) {
    browser.openOn(book, "Pics", ids["Red"]);
    ASSERT_TRUE(browser.chooseClass(browser.Combo1->findText("Empty")));
    EXPECT_TRUE(browser.pictureIds().empty());
    EXPECT_EQ(browser.HScroll1->maximum(), browser.HScroll1->minimum());
    EXPECT_TRUE(browser.shownPicture().isNull());
    press(Qt::Key_Right);
    press(Qt::Key_End);
    wheel(-120);
    EXPECT_EQ(browser.currentIndex(), 0);
}

TEST_F(PictureBrowserTest, KeysAndWheelStepWithinTheRange) {
    browser.openOn(book, "Many", ids["Many"]);
    struct Step {
        int key;  // 0: the wheel by delta
        int delta;
        int expected;
    };
    const Step steps[] = {
        {Qt::Key_Left, 0, 1},       // nothing before the first
        {Qt::Key_Up, 0, 1},
        {0, 120, 20},               // wheel forward before the first gives the last
        {0, -120, 1},               // wheel backward after the last gives the first
        {Qt::Key_Right, 0, 2},
        {Qt::Key_Down, 0, 3},
        {Qt::Key_PageDown, 0, 18},
        {Qt::Key_PageDown, 0, 18},  // fewer than 15 left: nothing
        {Qt::Key_PageUp, 0, 3},
        {Qt::Key_PageUp, 0, 3},
        {Qt::Key_End, 0, 20},
        {Qt::Key_Right, 0, 20},     // nothing after the last
        {Qt::Key_Home, 0, 1},
    };
    for (const Step& step : steps) {
        if (step.key)
            press(step.key);
        else
            wheel(step.delta);
        EXPECT_EQ(browser.currentIndex(), step.expected) << step.key << " " << step.delta;
        EXPECT_EQ(browser.HScroll1->value(), step.expected);
    }
    EXPECT_EQ(browser.windowTitle(), "Picture Lib Browser    1/20");
}

TEST_F(PictureBrowserTest, SpaceFollowsTheOrderAndRTogglesIt) {
    browser.openOn(book, "Pics", ids["Blue"]);
    ASSERT_TRUE(browser.randomOrder());
    browser.random01 = [] { return 0.1; };  // round(5 x 0.1 + 0.3) = 1
    press(Qt::Key_Space);
    EXPECT_EQ(browser.currentIndex(), 1);
    browser.random01 = [] { return 0.99; };  // round(5.25) = 5
    press(Qt::Key_Space);
    EXPECT_EQ(browser.currentIndex(), 5);

    press(Qt::Key_R);
    EXPECT_FALSE(browser.randomOrder());
    press(Qt::Key_Space);  // after the last comes the first
    EXPECT_EQ(browser.currentIndex(), 1);
    press(Qt::Key_Space);
    EXPECT_EQ(browser.currentIndex(), 2);
}

TEST_F(PictureBrowserTest, AnUndecodablePictureKeepsThePreviousOne) {
    browser.openOn(book, "Pics", ids["Green"]);
    ASSERT_EQ(shownColour(browser), QColor(Qt::green));
    press(Qt::Key_Right);
    EXPECT_EQ(browser.currentIndex(), 3);
    EXPECT_EQ(shownColour(browser), QColor(Qt::green));
    press(Qt::Key_Right);
    EXPECT_EQ(shownColour(browser), QColor(Qt::blue));
}

TEST_F(PictureBrowserTest, FitFillsTheViewportAndOwnSizeShowsThePictureAsItIs) {
    browser.openOn(book, "Pics", ids["Red"]);
    EXPECT_EQ(browser.shownPicture().size(), browser.picScrollBox->size());
    EXPECT_EQ(browser.shownPicture().pixelColor(0, 0), QColor(Qt::black));  // the black band above

    press(Qt::Key_Z);  // takes effect at the next picture
    EXPECT_FALSE(browser.fitFlag());
    EXPECT_EQ(browser.shownPicture().size(), browser.picScrollBox->size());
    press(Qt::Key_Right);
    EXPECT_EQ(browser.shownPicture().size(), QSize(40, 30));

    browser.findChild<QAction*>("menu_fit")->trigger();
    EXPECT_TRUE(browser.fitFlag());
    EXPECT_EQ(browser.shownPicture().size(), browser.picScrollBox->size());
}

TEST_F(PictureBrowserTest, ZoomStepsCompoundAndDoNotReturnExactly) {
    browser.openOn(book, "Pics", ids["Red"]);
    // Fitted: the first step starts from the picture's own size.
    press(Qt::Key_Plus);
    EXPECT_EQ(browser.shownPicture().size(), QSize(420, 210));
    press(Qt::Key_Plus);
    EXPECT_EQ(browser.shownPicture().size(), QSize(441, 221));
    press(Qt::Key_Minus);
    press(Qt::Key_Minus);
    EXPECT_EQ(browser.shownPicture().size(), QSize(398, 200));
    EXPECT_EQ(shownColour(browser), QColor(Qt::red));
    // The next picture is fitted again.
    press(Qt::Key_Right);
    EXPECT_EQ(browser.shownPicture().size(), browser.picScrollBox->size());
}

TEST_F(PictureBrowserTest, APictureLargerThanTheViewportGetsScrollBars) {
    browser.openOn(book, "Pics", ids["Red"]);
    EXPECT_FALSE(browser.hscScroll->isVisible());
    browser.resize(300, 150);
    browser.setFitFlag(false);
    browser.showPicture(1);
    const QSize box = browser.picScrollBox->size();
    ASSERT_TRUE(browser.hscScroll->isVisible());
    EXPECT_EQ(browser.hscScroll->maximum(), 400 - box.width());
    EXPECT_EQ(browser.vscScroll->isVisible(), 200 > box.height());
    browser.hscScroll->setValue(30);
    EXPECT_EQ(browser.Picture1->x(), -30);
}

TEST_F(PictureBrowserTest, BigDisplaysHideTheControlsAndEscLeavesThem) {
    browser.openOn(book, "Pics", ids["Red"]);
    press(Qt::Key_A);
    EXPECT_TRUE(browser.bigDisplay());
    EXPECT_FALSE(browser.Combo1->isVisible());
    EXPECT_EQ(browser.picScrollBox->geometry(), browser.rect());
    press(Qt::Key_Right);
    EXPECT_EQ(browser.windowTitle(), "Picture Lib  1/5");  // not updated in a big display
    press(Qt::Key_Escape);
    EXPECT_FALSE(browser.bigDisplay());
    EXPECT_TRUE(browser.Combo1->isVisible());
    EXPECT_EQ(browser.picScrollBox->y(), browser.Combo1->y() + browser.Combo1->height());

    press(Qt::Key_F);
    EXPECT_TRUE(browser.bigDisplay());
    EXPECT_TRUE(browser.fullScreenFlag());
    press(Qt::Key_A);  // full window replaces full screen
    EXPECT_TRUE(browser.bigDisplay());
    EXPECT_FALSE(browser.fullScreenFlag());
    press(Qt::Key_Q);
    EXPECT_FALSE(browser.bigDisplay());
    EXPECT_TRUE(browser.isVisible());
    press(Qt::Key_Q, Qt::ShiftModifier);
    EXPECT_FALSE(browser.isVisible());
}

TEST_F(PictureBrowserTest, WindowKeysToggleStylesAndScaleTheWindow) {
    browser.openOn(book, "Pics", ids["Red"]);
    const QSize start = browser.size();
    press(Qt::Key_W);
    EXPECT_EQ(browser.size(), QSize(qRound(start.width() * 1.1), qRound(start.height() * 1.1)));
    press(Qt::Key_U);
    EXPECT_TRUE(browser.ellipseStyle());
    EXPECT_FALSE(browser.mask().isEmpty());
    press(Qt::Key_U);
    EXPECT_TRUE(browser.mask().isEmpty());
    press(Qt::Key_O);
    EXPECT_TRUE(browser.keepOnTop());
    EXPECT_TRUE(browser.windowFlags() & Qt::WindowStaysOnTopHint);
    const int speed = browser.Slider1->value();
    press(Qt::Key_M);
    EXPECT_EQ(browser.Slider1->value(), speed + 1);

    press(Qt::Key_X);  // sized to the picture from the next one on
    press(Qt::Key_Right);
    EXPECT_EQ(browser.shownPicture().size(), QSize(40, 30));
    EXPECT_LT(browser.width(), 100);
}

TEST_F(PictureBrowserTest, ADroppedPictureIsShownAndADoubleClickGoesFullScreen) {
    browser.openOn(book, "Pics", ids["Red"]);
    QMimeData data;
    QImage dropped(50, 50, QImage::Format_RGB32);
    dropped.fill(Qt::magenta);
    data.setImageData(dropped);
    EXPECT_TRUE(browser.takeDrop(&data));
    EXPECT_EQ(shownColour(browser), QColor(Qt::magenta));
    QMimeData nothing;
    nothing.setText("words");
    EXPECT_FALSE(browser.takeDrop(&nothing));

    const QPointF at(5, 5);
    QMouseEvent twice(QEvent::MouseButtonDblClick, at, browser.Picture1->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(browser.Picture1, &twice);
    EXPECT_TRUE(browser.bigDisplay());
    EXPECT_TRUE(browser.fullScreenFlag());
}

// The shows step through the yield seam: each call is one yield of the loop.
class PictureShowTest : public PictureBrowserTest {
protected:
    // Stops the show at the stopAt-th single yield, recording the picture index at each.
    void stepShow(int stopAt, std::function<void()> stop = {}) {
        browser.yieldFor = [this, stopAt, stop](int slices) {
            if (slices > 0) {
                pauseSlices += slices;
                return;
            }
            seen.push_back(browser.currentIndex());
            frames.push_back(browser.shownPicture());
            if (static_cast<int>(seen.size()) == stopAt) {
                if (stop)
                    stop();
                else
                    browser.stopShow();
            }
        };
    }

    std::vector<int> seen;
    std::vector<QImage> frames;
    int pauseSlices = 0;
};

TEST_F(PictureShowTest, TheInOrderShowContinuesAfterTheLastAndTheSliderSetsThePause) {
    browser.openOn(book, "Many", ids["Many"]);
    press(Qt::Key_End);
    browser.Slider1->setValue(0);
    stepShow(3);
    press(Qt::Key_S);
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(pauseSlices, 0);  // slider at 0: no pause
    EXPECT_FALSE(browser.running());
    EXPECT_FALSE(browser.aborted());
    EXPECT_FALSE(browser.randomOrder());

    // A pause is v seconds of slices, cut short when the show stops.
    browser.Slider1->setValue(2);
    seen.clear();
    browser.yieldFor = [this](int slices) {
        pauseSlices += slices;
        if (pauseSlices >= 100) browser.findChild<QAction*>("menu_showInOrder")->trigger();  // toggles it off
    };
    press(Qt::Key_S);
    EXPECT_EQ(pauseSlices, 100);
    EXPECT_EQ(browser.currentIndex(), 4);
    EXPECT_FALSE(browser.running());
}

TEST_F(PictureShowTest, ARandomShowOfOnePictureAlwaysShowsIt) {
    passwordAnswer = "pw";
    browser.openOn(book, "Locked", ids["Locked"]);
    browser.Slider1->setValue(0);
    browser.random01 = [] { return 0.9; };
    stepShow(3);
    press(Qt::Key_D);
    EXPECT_TRUE(browser.randomOrder());
    EXPECT_EQ(seen, (std::vector<int>{1, 1, 1}));
}

TEST_F(PictureShowTest, ChoosingAnEffectAgainOrTheCrossFadeStopsTheRunningShow) {
    browser.openOn(book, "Pics", ids["Red"]);
    press(Qt::Key_R);  // in order
    browser.Slider1->setValue(9);
    for (const char* second : {"menu_effect1", "menu_effect9"}) {
        seen.clear();
        stepShow(5, [&] { browser.findChild<QAction*>(second)->trigger(); });
        browser.findChild<QAction*>("menu_effect1")->trigger();
        EXPECT_EQ(seen.size(), 6u) << second;  // five frames and the yield after the picture
        EXPECT_FALSE(browser.running());
        // The picture is shown normally again.
        EXPECT_EQ(browser.shownPicture().size(), browser.picScrollBox->size());
    }
}

TEST_F(PictureShowTest, TheHorizontalSwingLeavesWithTenColumnsShowing) {
    browser.resize(200, 150);
    browser.openOn(book, "Pics", ids["Yellow"]);
    press(Qt::Key_R);  // in order: after the last comes Red, as wide as the viewport when fitted
    browser.Slider1->setValue(0);  // one pixel a frame
    const int W = browser.picScrollBox->width();
    const int frameCount = (W - (10 - W) + 1) * 2;  // enter and leave, both ends included
    stepShow(frameCount);
    press(Qt::Key_4);
    ASSERT_EQ(static_cast<int>(frames.size()), frameCount + 1);  // and the yield after the picture
    const QImage& last = frames[static_cast<size_t>(frameCount) - 1];
    const int middle = last.height() / 2;
    EXPECT_EQ(last.pixelColor(9, middle), QColor(Qt::red));
    EXPECT_EQ(last.pixelColor(10, middle), QColor(Qt::black));
    EXPECT_EQ(seen.front(), 1);  // the effects start with the next picture
}

TEST_F(PictureShowTest, TheHorizontalStripMovesLeftAndTakesTheNextPictureWhenTheFirstHasLeft) {
    browser.resize(200, 150);
    browser.openOn(book, "Pics", ids["Yellow"]);
    press(Qt::Key_R);  // in order: Red (as wide as the viewport), Green, then Blue after the broken one
    browser.Slider1->setValue(0);
    const int W = browser.picScrollBox->width();
    ASSERT_EQ(W, 200);
    stepShow(38);  // a yield every 11 frames
    press(Qt::Key_7);
    ASSERT_EQ(frames.size(), 38u);
    const int middle = frames[0].height() / 2;
    EXPECT_EQ(frames[0].pixelColor(W - 11, middle), QColor(Qt::red));  // 11 frames of one pixel
    EXPECT_EQ(frames[0].pixelColor(W - 12, middle), QColor(Qt::black));
    // Red left after 401 frames; the strip restarted at -2 with Green first: frame 418 is at -19.
    EXPECT_EQ(frames[37].pixelColor(148, middle), QColor(Qt::green));
    EXPECT_EQ(frames[37].pixelColor(149, middle), QColor(Qt::blue));
    EXPECT_FALSE(browser.running());
}

TEST_F(PictureShowTest, TheFolderShowPlaysTheFolderPicturesByNameAndRemembersTheFolder) {
    testing_support::TempDir folder;
    const auto write = [&](const std::string& name, const store::Bytes& bytes) {
        testing_support::writeFile(folder.file(name), std::string(bytes.begin(), bytes.end()));
    };
    write("02 two.png", png(Qt::green));
    write("01 one.jpg", png(Qt::red));  // decoded by content
    write("10 ten.gif", store::Bytes(40, 1));
    write("notes.txt", store::Bytes(10, 'a'));
    std::vector<QString> starts;
    QString answer;
    browser.chooseFolder = [&](const QString& prompt, const QString& start) {
        EXPECT_EQ(prompt, "Please select the path of pictures: ");
        starts.push_back(start);
        return answer;
    };
    browser.folderSlideShow();  // an empty answer starts nothing
    EXPECT_FALSE(browser.running());

    press(Qt::Key_R);  // in order
    browser.Slider1->setValue(0);
    answer = QString::fromStdString(folder.path());
    std::vector<QString> captions;
    std::vector<QColor> colours;
    browser.yieldFor = [&](int) {
        captions.push_back(browser.windowTitle());
        colours.push_back(shownColour(browser));
        if (captions.size() == 8) browser.stopShow();
    };
    browser.findChild<QAction*>("menu_folderShow")->trigger();
    EXPECT_EQ(captions, (std::vector<QString>{"01 one", "01 one", "02 two", "02 two", "10 ten", "10 ten",
                                              "01 one", "01 one"}));
    EXPECT_EQ(colours[4], QColor(Qt::green));  // the broken picture leaves the previous one
    EXPECT_FALSE(browser.running());
    EXPECT_FALSE(browser.aborted());

    const QString chosen = answer;
    answer.clear();
    browser.folderSlideShow();
    ASSERT_EQ(starts.size(), 3u);
    EXPECT_EQ(starts[2], chosen);
}

TEST_F(PictureShowTest, TheBlindsBuildThePictureInFourPassesOfEveryFourthRow) {
    browser.resize(200, 150);
    browser.openOn(book, "Pics", ids["Red"]);
    press(Qt::Key_R);  // in order: Green comes next
    const int rows = browser.picScrollBox->height();
    stepShow(rows);
    press(Qt::Key_0);
    ASSERT_EQ(static_cast<int>(frames.size()), rows);
    const QImage firstPass = frames[static_cast<size_t>((rows + 3) / 4 - 1)];
    const int x = firstPass.width() / 2, y = firstPass.height() / 2 / 4 * 4;
    EXPECT_EQ(firstPass.pixelColor(x, y), QColor(Qt::green));
    EXPECT_EQ(firstPass.pixelColor(x, y + 1), QColor(Qt::red));
    EXPECT_EQ(frames.back().pixelColor(x, y + 1), QColor(Qt::green));
}

TEST_F(PictureShowTest, EscLeavesFullScreenFirstAndStopsTheShowTheSecondTime) {
    browser.openOn(book, "Pics", ids["Red"]);
    browser.Slider1->setValue(0);
    std::vector<bool> runningAfter;
    browser.yieldFor = [&](int) {
        const int step = static_cast<int>(runningAfter.size());
        if (step == 0) press(Qt::Key_F);
        if (step == 1 || step == 2) press(Qt::Key_Escape);
        runningAfter.push_back(browser.running());
        if (step == 1) EXPECT_FALSE(browser.bigDisplay());
        if (step > 5) browser.stopShow();  // a guard: the test ends either way
    };
    press(Qt::Key_S);
    EXPECT_EQ(runningAfter, (std::vector<bool>{true, true, false}));
}

TEST_F(PictureShowTest, ClosingTheWindowStopsAShow) {
    browser.openOn(book, "Pics", ids["Red"]);
    press(Qt::Key_R);  // in order: Green comes next
    browser.Slider1->setValue(0);
    int yields = 0;
    browser.yieldFor = [&](int) {
        if (++yields == 2) browser.close();
        if (yields > 5) browser.stopShow();
    };
    press(Qt::Key_1);
    EXPECT_EQ(yields, 3);  // the frame that saw the close, then the yield after the picture
    EXPECT_FALSE(browser.running());
}

TEST_F(PictureShowTest, TheCrossFadeBlendsInThenOutWithTheSliderStep) {
    browser.openOn(book, "Pics", ids["Green"]);
    press(Qt::Key_Right);  // the broken third picture: Green stays shown
    press(Qt::Key_R);      // in order
    browser.Slider1->setValue(10);  // step 11: alpha 0, 11, .. 253 in (a pause after each); 255, 244, .. out
    std::vector<QString> captions;
    browser.yieldFor = [&](int) {
        frames.push_back(browser.shownPicture());
        captions.push_back(browser.windowTitle());
        if (frames.size() == 50) browser.stopShow();
    };
    press(Qt::Key_9);
    ASSERT_EQ(frames.size(), 50u);
    const auto mid = [](const QImage& image) { return image.pixelColor(image.width() / 2, image.height() / 2); };
    EXPECT_EQ(mid(frames[0]), QColor(Qt::green));
    EXPECT_NEAR(mid(frames[2]).blue(), 11, 1);
    EXPECT_NEAR(mid(frames[46]).blue(), 253, 1);
    EXPECT_EQ(captions[47], "Picture Lib Browser    4/5");
    EXPECT_EQ(captions[48], "Picture lib browser    5/5");
    EXPECT_EQ(mid(frames[48]), QColor(Qt::blue));  // full alpha over the yellow next one
    EXPECT_NEAR(mid(frames[49]).blue(), 244, 1);
    EXPECT_NEAR(mid(frames[49]).red(), 11, 1);
    EXPECT_FALSE(browser.running());
}

}  // namespace
