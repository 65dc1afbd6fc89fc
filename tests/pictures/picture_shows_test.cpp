#include "browser_fixture.h"
#include "support/wait.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QScreen>
#include <QWindow>
#include <QPointer>
#include <QSlider>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <iterator>
#include <vector>

namespace {

using namespace picture_test;

// The shows step through the wait seams: each call of nextFrame is one display frame.
class PictureShowTest : public PictureBrowserTest {
protected:
    void SetUp() override {
        PictureBrowserTest::SetUp();
        testing_support::writeFile(folder.file("1.png"), bytesText(png(Qt::red)));
        testing_support::writeFile(folder.file("2.png"), bytesText(png(Qt::green)));
        browser.chooseFolder = [this](const QString&, const QString&) { return QString::fromStdString(folder.path()); };
    }

    static std::string bytesText(const store::Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

    // Records the picture index and what Picture1 shows at every frame and stops the show at the
    // stopAt-th (by stop, or the stop entry). A show that goes on past a guard is stopped there.
    void stepShow(int stopAt, std::function<void()> stop = {}) {
        browser.nextFrame = [this, stopAt, stop] {
            seen.push_back(browser.currentIndex());
            frames.push_back(browser.shownPicture());
            const int count = static_cast<int>(frames.size());
            if (count == stopAt) {
                if (stop)
                    stop();
                else
                    browser.stopShow();
            }
            if (count > stopAt + kGuardFrames) {
                ADD_FAILURE() << "the show went on past its stop";
                browser.stopShow();
            }
            return true;
        };
        browser.yieldFor = [this](int slices) { pauseSlices += slices; };
    }

    // Plays the show of entry on Pics at the slowest speed and does act at its third frame.
    void playUntilThirdFrame(const char* entry, std::function<void()> act) {
        browser.openOn(book, "Pics", ids["Red"]);
        browser.Slider1->setValue(0);
        frames.clear();
        stepShow(3, std::move(act));
        trigger(entry);
    }

    static constexpr int kGuardFrames = 1000;
    testing_support::TempDir folder;
    std::vector<int> seen;
    std::vector<QImage> frames;
    int pauseSlices = 0;
};

// Every show, by its popup menu entry.
struct ShowEntry {
    const char* name;
    const char* entry;
};
const ShowEntry kShows[] = {
    {"slide show in order", "menu_showInOrder"},
    {"slide show at random", "menu_showAtRandom"},
    {"folder show", "menu_folderShow"},
    {"zoom both ways", "menu_effect1"},
    {"horizontal zoom", "menu_effect2"},
    {"vertical zoom", "menu_effect3"},
    {"horizontal swing", "menu_effect4"},
    {"vertical swing", "menu_effect5"},
    {"diagonal swing", "menu_effect6"},
    {"horizontal strip", "menu_effect7"},
    {"vertical strip", "menu_effect8"},
    {"cross-fade", "menu_effect9"},
    {"blinds", "menu_effect0"},
};

// The bounding box of the pixels of colour (each channel within a small distance).
QRect visible(const QImage& frame, QColor colour = Qt::red) {
    QRect box;
    for (int y = 0; y < frame.height(); ++y)
        for (int x = 0; x < frame.width(); ++x) {
            const QColor pixel = frame.pixelColor(x, y);
            if (std::abs(pixel.red() - colour.red()) < 40 && std::abs(pixel.green() - colour.green()) < 40 &&
                std::abs(pixel.blue() - colour.blue()) < 40)
                box |= QRect(x, y, 1, 1);
        }
    return box;
}

// How many rows differ between two frames of one size.
int rowsChanged(const QImage& a, const QImage& b) {
    int rows = 0;
    for (int y = 0; y < a.height(); ++y)
        if (std::memcmp(a.constScanLine(y), b.constScanLine(y), static_cast<size_t>(a.bytesPerLine())) != 0) ++rows;
    return rows;
}

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
        frames.clear();
        stepShow(5, [&] { browser.findChild<QAction*>(second)->trigger(); });
        browser.findChild<QAction*>("menu_effect1")->trigger();
        EXPECT_EQ(seen.size(), 5u) << second;  // it ends within the frame
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
    ASSERT_EQ(static_cast<int>(frames.size()), frameCount);
    const QImage& last = frames[static_cast<size_t>(frameCount) - 1];
    const int middle = last.height() / 2;
    EXPECT_EQ(last.pixelColor(9, middle), QColor(Qt::red));
    EXPECT_EQ(last.pixelColor(10, middle), QColor(Qt::black));
    EXPECT_EQ(seen.front(), 1);  // the effects start with the next picture
}

// Effect frames are painted straight into the window: what the window holds is the frame the
// show draws, at every size of the zoom.
TEST_F(PictureShowTest, EffectFramesPaintedIntoTheWindowAreTheFramesShown) {
    browser.resize(200, 150);
    ASSERT_TRUE(testing_support::waitUntil([&] { return browser.windowHandle() && browser.windowHandle()->isExposed(); }, 5000));
    browser.openOn(book, "Pics", ids["Yellow"]);
    press(Qt::Key_R);
    browser.Slider1->setValue(0);
    std::vector<std::pair<QImage, QImage>> painted;  // what the window holds, what is shown
    int count = 0;
    browser.nextFrame = [&] {
        if (++count % 25 == 0) {
            pictures::PictureLabel& label = *browser.Picture1;
            label.repaint();
            const QPoint at = label.mapToGlobal(QPoint(0, 0));
            const QImage window = QGuiApplication::primaryScreen()
                                      ->grabWindow(0, at.x(), at.y(), label.width(), label.height())
                                      .toImage()
                                      .convertToFormat(QImage::Format_RGB32);
            painted.emplace_back(window, browser.shownPicture());
        }
        if (count == 150) browser.stopShow();
        return true;
    };
    browser.findChild<QAction*>("menu_effect1")->trigger();
    ASSERT_EQ(painted.size(), 6u);
    for (size_t i = 0; i < painted.size(); ++i) {
        EXPECT_EQ(painted[i].first.size(), painted[i].second.size()) << i;
        EXPECT_TRUE(painted[i].first == painted[i].second) << "frame " << 25 * (i + 1);
    }
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
    browser.nextFrame = [] { return true; };
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
    browser.nextFrame = [] { return true; };
    browser.yieldFor = [&](int) {
        const int step = static_cast<int>(runningAfter.size());
        if (step == 0) press(Qt::Key_F);
        if (step == 1 || step == 2) press(Qt::Key_Escape);
        runningAfter.push_back(browser.running());
        if (step == 1) {
            EXPECT_FALSE(browser.bigDisplay());
        }
        if (step > 5) browser.stopShow();  // a guard: the test ends either way
    };
    press(Qt::Key_S);
    EXPECT_EQ(runningAfter, (std::vector<bool>{true, true, false}));
}


TEST_F(PictureShowTest, TheCrossFadeBlendsInThenOutWithTheSliderStep) {
    browser.openOn(book, "Pics", ids["Green"]);
    press(Qt::Key_Right);  // the broken third picture: Green stays shown
    press(Qt::Key_R);      // in order
    browser.Slider1->setValue(10);  // step 11: alpha 0, 11, .. 253 in (a yield after each); 255, 244, .. out
    std::vector<QString> captions;
    int yields = 0;
    browser.yieldFor = [&](int) { ++yields; };
    browser.nextFrame = [&] {
        frames.push_back(browser.shownPicture());
        captions.push_back(browser.windowTitle());
        if (frames.size() == 26) browser.stopShow();
        return true;
    };
    press(Qt::Key_9);
    ASSERT_EQ(frames.size(), 26u);
    const auto mid = [](const QImage& image) { return image.pixelColor(image.width() / 2, image.height() / 2); };
    EXPECT_EQ(mid(frames[0]), QColor(Qt::green));
    EXPECT_NEAR(mid(frames[1]).blue(), 11, 1);
    EXPECT_NEAR(mid(frames[23]).blue(), 253, 1);
    EXPECT_EQ(yields, 24);  // one more yield after each frame of the fade-in
    EXPECT_EQ(captions[23], "Picture Lib Browser    4/5");
    EXPECT_EQ(captions[24], "Picture lib browser    5/5");
    EXPECT_EQ(mid(frames[24]), QColor(Qt::blue));  // full alpha over the yellow next one
    EXPECT_NEAR(mid(frames[25]).blue(), 244, 1);
    EXPECT_NEAR(mid(frames[25]).red(), 11, 1);
    EXPECT_FALSE(browser.running());
}

TEST_F(PictureShowTest, EffectsBeginAndEndAtTheirPlacesAndLastTheirNumberOfFrames) {
    struct Check {
        int frame;
        QRect visible;  // where the picture shows in that frame
    };
    struct Case {
        int effect;
        QSize box;      // the picture area W x H
        QSize picture;  // its own size
        int speed;      // the slider: step = speed + 1
        int frames;     // entering and leaving
        std::vector<Check> checks;
    };
    const Case cases[] = {
        // t from 5 to Wf = 200 by 4 (5 .. 197), back from 200 to 8: fitted into t x H, centred.
        {1, {200, 150}, {400, 300}, 3, 98,
         {{0, {97, 73, 5, 4}}, {48, {1, 1, 197, 148}}, {49, {0, 0, 200, 150}}, {97, {96, 72, 8, 6}}}},
        // t wide and the full height, although the fitted picture is only 50 high.
        {2, {200, 150}, {400, 100}, 3, 98, {{0, {97, 0, 5, 150}}, {49, {0, 0, 200, 150}}, {97, {96, 0, 8, 150}}}},
        // The full width and t high, t from 5 to Hf = 150 (5 .. 149), back from 150 to 6.
        {3, {200, 150}, {100, 400}, 3, 74, {{0, {0, 72, 200, 5}}, {37, {0, 0, 200, 150}}, {73, {0, 72, 200, 6}}}},
        // The fitted 100 x 150 picture from y = -H to H by 7 and back: it enters and leaves unseen.
        {5, {200, 150}, {300, 450}, 6, 86,
         {{0, {}}, {1, {50, 0, 100, 7}}, {42, {50, 144, 100, 6}}, {43, {}}, {85, {50, 0, 100, 6}}}},
        // From (10 - W, 10 - W) to (W, W) and back to (1 - W, 1 - W): one column is left showing.
        {6, {100, 150}, {100, 150}, 0, 391, {{0, {0, 0, 10, 60}}, {190, {}}, {390, {0, 0, 1, 51}}}},
    };
    for (size_t n = 0; n < std::size(cases); ++n) {
        const Case& c = cases[n];
        const std::string name = "Shape" + std::to_string(n);
        addClass(name, {{Qt::red, c.picture}});
        browser.openOn(book, QString::fromStdString(name), 0);
        browser.resize(c.box.width(), c.box.height() + browser.height() - browser.picScrollBox->height());
        ASSERT_EQ(browser.picScrollBox->size(), c.box) << c.effect;
        browser.Slider1->setValue(c.speed);
        frames.clear();
        // All frames of the picture, the wait before the next, and the next one's first frame.
        stepShow(c.frames + 2);
        trigger(qPrintable(QString("menu_effect%1").arg(c.effect)));
        ASSERT_EQ(static_cast<int>(frames.size()), c.frames + 2) << c.effect;
        for (const Check& check : c.checks)
            EXPECT_EQ(visible(frames[static_cast<size_t>(check.frame)]), check.visible)
                << "effect " << c.effect << " frame " << check.frame;
        EXPECT_EQ(frames[static_cast<size_t>(c.frames)], frames[static_cast<size_t>(c.frames) - 1]) << c.effect;
        EXPECT_EQ(visible(frames.back()), visible(frames.front())) << c.effect;  // the next picture begins
        EXPECT_EQ(frames.front().size(), c.box) << c.effect;
    }
}

TEST_F(PictureShowTest, TheVerticalStripMovesUpAndTakesTheNextPictureWhenTheFirstHasLeft) {
    addClass("Column", {{Qt::red, {400, 200}}, {Qt::green, {400, 200}}, {Qt::blue, {400, 200}}});
    browser.openOn(book, "Column", 0);
    browser.resize(200, 150 + browser.height() - browser.picScrollBox->height());
    press(Qt::Key_R);    // in order,
    press(Qt::Key_End);  // beginning with the first
    browser.Slider1->setValue(0);
    stepShow(23);
    press(Qt::Key_8);
    ASSERT_EQ(frames.size(), 23u);
    // Eleven steps of one pixel a frame: the top of the first picture is at 150 - 11.
    EXPECT_EQ(visible(frames[0], Qt::red), QRect(0, 139, 200, 11));
    EXPECT_EQ(visible(frames[0], Qt::green), QRect());
    // Frame 22 (steps 232 .. 242) has the strip at -92, each picture 100 high, one below the other.
    EXPECT_EQ(visible(frames[21], Qt::red), QRect(0, 0, 200, 8));
    EXPECT_EQ(visible(frames[21], Qt::green), QRect(0, 8, 200, 100));
    EXPECT_EQ(visible(frames[21], Qt::blue), QRect(0, 108, 200, 42));
    // Step 251 passes -100: the first picture goes, the strip restarts at -2 and is at -4 two
    // steps on; the first picture, next again, joins at the end.
    EXPECT_EQ(visible(frames[22], Qt::red), QRect());
    EXPECT_EQ(visible(frames[22], Qt::green), QRect(0, 0, 200, 96));
    EXPECT_EQ(visible(frames[22], Qt::blue), QRect(0, 96, 200, 54));
}

TEST_F(PictureShowTest, EveryShowEndsWithinTheFrameOfTheStopEntryEscOrClosing) {
    ASSERT_EQ(browser.findChild<QAction*>("menu_stopShow")->text(), "停止幻灯演示");
    struct Stop {
        const char* name;
        std::function<void()> act;
    };
    const Stop stops[] = {
        {"the stop entry", [this] { trigger("menu_stopShow"); }},
        {"Esc", [this] { press(Qt::Key_Escape); }},
        {"Q", [this] { press(Qt::Key_Q); }},
        {"closing", [this] { browser.close(); }},
    };
    for (const ShowEntry& show : kShows)
        for (const Stop& stop : stops) {
            browser.show();
            playUntilThirdFrame(show.entry, stop.act);
            EXPECT_EQ(frames.size(), 3u) << show.name << ", " << stop.name;
            EXPECT_FALSE(browser.running()) << show.name << ", " << stop.name;
            EXPECT_FALSE(browser.aborted()) << show.name << ", " << stop.name;  // cleared as the show ends
        }
}

TEST_F(PictureShowTest, AChangeOfThePictureListEndsEveryShowFirst) {
    struct Change {
        const char* name;
        std::function<void()> act;
    };
    const Change changes[] = {
        {"a class without pictures chosen", [this] { emit browser.Combo1->activated(browser.Combo1->findText("Empty")); }},
        {"opened on a class whose password is refused",
         [this] {
             passwordAnswer = "wrong";
             browser.openOn(book, "Locked", ids["Locked"]);
         }},
    };
    for (const ShowEntry& show : kShows)
        for (const Change& change : changes) {
            playUntilThirdFrame(show.entry, change.act);
            EXPECT_EQ(frames.size(), 3u) << show.name << ", " << change.name;
            EXPECT_FALSE(browser.running()) << show.name << ", " << change.name;
            EXPECT_TRUE(browser.pictureIds().empty()) << show.name << ", " << change.name;
            EXPECT_EQ(browser.currentIndex(), 0) << show.name << ", " << change.name;
        }
}

TEST_F(PictureShowTest, DeletingTheWindowDuringAnyShowLeavesItsLoopCleanly) {
    for (const ShowEntry& show : kShows) {
        auto* doomed = new pictures::PictureBrowser;
        doomed->resize(200, 150);
        doomed->show();
        doomed->openOn(book, "Pics", ids["Red"]);
        doomed->Slider1->setValue(0);
        doomed->chooseFolder = browser.chooseFolder;
        const QPointer<pictures::PictureBrowser> watch(doomed);
        int waits = 0;
        const auto wait = [&] {
            if (++waits == 3) delete doomed;
            if (waits > 3 + kGuardFrames && watch) watch->stopShow();
        };
        doomed->nextFrame = [wait] {
            wait();
            return true;
        };
        doomed->yieldFor = [wait](int) { wait(); };
        doomed->findChild<QAction*>(show.entry)->trigger();
        EXPECT_TRUE(watch.isNull()) << show.name;
        EXPECT_EQ(waits, 3) << show.name;  // nothing waited for after the window went
        if (watch) delete watch.data();
    }
}

TEST_F(PictureShowTest, TheBlindsStartAtOnceEvenAfterAStopWithNothingRunning) {
    browser.resize(200, 150);
    browser.openOn(book, "Pics", ids["Red"]);
    trigger("menu_stopShow");
    ASSERT_TRUE(browser.aborted());
    stepShow(10);
    press(Qt::Key_0);
    ASSERT_EQ(frames.size(), 10u);
    for (size_t i = 1; i < frames.size(); ++i) EXPECT_LE(rowsChanged(frames[i - 1], frames[i]), 1) << i;
    EXPECT_FALSE(browser.running());
}

TEST_F(PictureShowTest, HoldingTheBlindsKeyNeverNestsAShowInsideAnother) {
    browser.openOn(book, "Pics", ids["Red"]);
    browser.resize(200, 150);
    press(Qt::Key_R);  // in order: Green comes next
    browser.Slider1->setValue(0);
    struct Case {
        const char* name;
        int firstKey;  // the show running while 0 repeats
    };
    for (const Case& c : {Case{"blinds", Qt::Key_0}, Case{"zoom both ways", Qt::Key_1}}) {
        frames.clear();
        int depth = 0, deepest = 0;
        bool runningAtEnd = false;
        browser.nextFrame = [&] {
            deepest = std::max(deepest, ++depth);
            frames.push_back(browser.shownPicture());
            const size_t count = frames.size();
            if (count >= 3 && count < 8) press(Qt::Key_0);  // the key repeating
            if (count == 40) {
                runningAtEnd = browser.running();
                browser.stopShow();
            }
            --depth;
            return true;
        };
        press(c.firstKey);
        EXPECT_EQ(deepest, 1) << c.name;
        EXPECT_TRUE(runningAtEnd) << c.name;
        EXPECT_EQ(frames.size(), 40u) << c.name;
        // The blinds run from the first repeat on (the zoom's picture is shown again before they
        // start): each frame changes one row at most.
        for (size_t i = 5; i < frames.size(); ++i)
            if (frames[i].size() == frames[i - 1].size()) {
                EXPECT_LE(rowsChanged(frames[i - 1], frames[i]), 1) << c.name << " frame " << i;
            }
    }
}

}  // namespace
