#include "browser_fixture.h"

#include <QComboBox>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSlider>

#include <vector>

namespace {

using namespace picture_test;

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
    EXPECT_EQ(icons, (std::vector<platform::MessageIcon>{platform::MessageIcon::Critical}));
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
    press(Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_EQ(browser.shownPicture().size(), QSize(420, 210));
    press(Qt::Key_Plus, Qt::KeypadModifier);
    EXPECT_EQ(browser.shownPicture().size(), QSize(441, 221));
    press(Qt::Key_Minus, Qt::KeypadModifier);
    press(Qt::Key_Minus, Qt::KeypadModifier);
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


TEST_F(PictureBrowserTest, EnlargeAndReduceAreKeysOfTheNumericPadOnly) {
    struct Case {
        int key;
        Qt::KeyboardModifiers modifiers;
        QSize shown;
    };
    const Case cases[] = {
        {Qt::Key_Plus, Qt::KeypadModifier, {420, 210}},
        {Qt::Key_Minus, Qt::KeypadModifier, {380, 190}},
        {Qt::Key_Plus, Qt::NoModifier, {0, 0}},  // {0, 0}: still fitted to the viewport
        {Qt::Key_Plus, Qt::ShiftModifier, {0, 0}},
        {Qt::Key_Minus, Qt::NoModifier, {0, 0}},
    };
    for (const Case& c : cases) {
        browser.openOn(book, "Pics", ids["Red"]);
        press(c.key, c.modifiers);
        const QSize expected = c.shown.isEmpty() ? browser.picScrollBox->size() : c.shown;
        EXPECT_EQ(browser.shownPicture().size(), expected) << c.key << " " << c.modifiers;
    }
}

TEST_F(PictureBrowserTest, AClickOnTheWindowItselfReturnsTheFocusToTheMenuButton) {
    browser.openOn(book, "Pics", ids["Red"]);
    // Right of the top row's controls there is only the window.
    const QPoint free(browser.width() - 5, 5);
    ASSERT_EQ(browser.childAt(free), nullptr);
    const auto click = [&](QWidget* on, QPoint at) {
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent event(type, at, on->mapToGlobal(at), Qt::LeftButton,
                              type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(on, &event);
        }
    };
    for (QWidget* on : {static_cast<QWidget*>(&browser), static_cast<QWidget*>(browser.Picture1)}) {
        browser.Slider1->setFocus();
        ASSERT_EQ(browser.focusWidget(), browser.Slider1);
        click(on, on == &browser ? free : QPoint(5, 5));
        EXPECT_EQ(browser.focusWidget(), browser.Command2) << on->objectName().toStdString();
    }
    // Not in the full-window display (where the controls are hidden).
    press(Qt::Key_A);
    browser.Picture1->setFocus();
    ASSERT_EQ(browser.focusWidget(), browser.Picture1);
    click(browser.picScrollBox, QPoint(5, 5));
    EXPECT_EQ(browser.focusWidget(), browser.Picture1);
}

TEST_F(PictureBrowserTest, OpeningAgainStartsFromTheInitialState) {
    browser.openOn(book, "Pics", ids["Red"]);
    press(Qt::Key_Z);  // own size
    press(Qt::Key_R);  // in order
    press(Qt::Key_X);  // sized to the picture
    press(Qt::Key_U);  // elliptical
    press(Qt::Key_O);  // on top
    press(Qt::Key_A);  // full window
    browser.stopShow();  // the abort flag set with no show running
    browser.close();
    ASSERT_TRUE(browser.fitFlag() == false && !browser.randomOrder() && browser.autoSize() && browser.ellipseStyle() &&
                browser.keepOnTop() && browser.bigDisplay() && browser.aborted());

    browser.openOn(book, "Pics", ids["Green"]);
    browser.show();
    EXPECT_TRUE(browser.fitFlag());
    EXPECT_TRUE(browser.randomOrder());
    EXPECT_FALSE(browser.autoSize());
    EXPECT_FALSE(browser.ellipseStyle());
    EXPECT_TRUE(browser.mask().isEmpty());
    EXPECT_FALSE(browser.keepOnTop());
    EXPECT_FALSE(browser.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_FALSE(browser.bigDisplay());
    EXPECT_TRUE(browser.fullScreenFlag());
    EXPECT_FALSE(browser.aborted());
    EXPECT_FALSE(browser.running());
    for (const char* entry : {"menu_onTop", "menu_fullWindow", "menu_autoSize", "menu_style"})
        EXPECT_FALSE(browser.findChild<QAction*>(entry)->isChecked()) << entry;
    EXPECT_TRUE(browser.Combo1->isVisible());  // the controls of the normal layout are back
    EXPECT_EQ(browser.picScrollBox->y(), browser.Combo1->y() + browser.Combo1->height());
    EXPECT_EQ(browser.currentIndex(), 2);
    EXPECT_EQ(browser.shownPicture().size(), browser.picScrollBox->size());  // fitted again

    // A class that is not listed, or has no pictures, leaves nothing of the last one.
    for (const char* name : {"No such class", "Empty"}) {
        browser.openOn(book, "Pics", ids["Green"]);
        browser.openOn(book, name, 0);
        EXPECT_TRUE(browser.pictureIds().empty()) << name;
        EXPECT_EQ(browser.HScroll1->maximum(), browser.HScroll1->minimum()) << name;
        EXPECT_FALSE(browser.HScroll1->isEnabled()) << name;
        EXPECT_TRUE(browser.shownPicture().isNull()) << name;
        EXPECT_EQ(browser.currentIndex(), 0) << name;
    }
}

TEST_F(PictureBrowserTest, TheRandomOrderStaysWithinTheListAtBothEnds) {
    passwordAnswer = "pw";
    struct Case {
        const char* className;
        double r;  // what the random source answers
        int plain;   // round(count x r + 0.3), clamped
        int effect;  // 1 + floor(count x r), clamped
    };
    const Case cases[] = {
        {"Pics", 0.0, 1, 1},      // round(0.3) = 0 is clamped up
        {"Pics", 0.04, 1, 1},     // round(0.5)
        {"Pics", 0.5, 3, 3},
        {"Pics", 0.999, 5, 5},
        {"Pics", 1.0, 5, 5},      // a source answering its upper bound: the effects clamp down
        {"Pics", -0.1, 1, 1},     // and one answering below its range
        {"Many", 0.5, 10, 11},
        {"Many", 0.9999, 20, 20},
        {"Locked", 0.9, 1, 1},    // one picture: always it
        {"Empty", 0.5, 0, 0},     // none: nothing to show
    };
    for (const Case& c : cases) {
        browser.openOn(book, c.className, 0);
        browser.random01 = [&c] { return c.r; };
        EXPECT_EQ(browser.nextIndex(), c.plain) << c.className << " " << c.r;
        EXPECT_EQ(browser.effectNextIndex(), c.effect) << c.className << " " << c.r;
    }
}
}  // namespace
