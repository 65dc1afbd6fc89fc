// The main window opens the picture browser on the selected picture, from the picture pane's
// menu, a double click on the picture and the full-screen command.
#include "browser/picture_pane.h"
#include "pictures/picture_browser.h"
#include "window_fixture.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>

#include <functional>

namespace browser_test {
namespace {

using PictureBrowserWindowTest = WindowTest;

TEST_F(PictureBrowserWindowTest, EachCommandOpensTheOneBrowserOnTheSelectedPicture) {
    auto& w = open(QString::fromStdString(library));
    click("Alpha");
    const std::pair<const char*, std::function<void()>> commands[] = {
        {"tmenu", [&] { w.tmenu->findChild<QAction*>("menu_全屏浏览")->trigger(); }},
        {"double click",
         [&] {
             const QPointF at(5, 5);
             QMouseEvent twice(QEvent::MouseButtonDblClick, at, w.Picture1->mapToGlobal(at), Qt::LeftButton,
                               Qt::LeftButton, Qt::NoModifier);
             QApplication::sendEvent(w.Picture1, &twice);
         }},
        {"Full Screen Show", [&] { w.pmenu->findChild<QAction*>("menu_全屏幕浏览")->trigger(); }},
        {"Command4", [&] { w.Command4->click(); }},
    };
    pictures::PictureBrowser* first = nullptr;
    for (const auto& [name, command] : commands) {
        click("Blue");
        if (first) first->close();
        command();
        pictures::PictureBrowser* browser = w.pictureBrowser();
        ASSERT_NE(browser, nullptr) << name;
        if (!first) first = browser;
        EXPECT_EQ(browser, first) << name;  // made once
        EXPECT_TRUE(browser->isVisible()) << name;
        EXPECT_EQ(browser->Combo1->currentText(), "Alpha") << name;
        EXPECT_EQ(browser->pictureIds(), (std::vector<int32_t>{ids["Red"], ids["Blue"]})) << name;
        EXPECT_EQ(browser->currentIndex(), 2) << name;
        EXPECT_FALSE(browser->shownPicture().isNull()) << name;
        EXPECT_TRUE(w.isVisible()) << name;  // shown without blocking
    }
}

TEST_F(PictureBrowserWindowTest, AClassNodeOpensAtItsFirstPictureAndATextOpensNoBrowser) {
    auto& w = open(QString::fromStdString(library));
    click("Alpha");
    click("Story");
    w.Command4->click();
    EXPECT_EQ(w.pictureBrowser(), nullptr);

    click("Alpha");
    w.tmenu->findChild<QAction*>("menu_全屏浏览")->trigger();
    ASSERT_NE(w.pictureBrowser(), nullptr);
    EXPECT_EQ(w.pictureBrowser()->Combo1->currentText(), "Alpha");
    EXPECT_EQ(w.pictureBrowser()->currentIndex(), 1);
}

TEST_F(PictureBrowserWindowTest, ClosingTheMainWindowClosesTheBrowserAndEndsItsShow) {
    auto& w = open(QString::fromStdString(library));
    click("Alpha");
    click("Red");
    w.openPictureBrowser();
    pictures::PictureBrowser* browser = w.pictureBrowser();
    ASSERT_NE(browser, nullptr);
    int yields = 0;
    browser->yieldFor = [&](int) {
        if (++yields == 1) w.close();
        if (yields > 5) browser->stopShow();  // a guard: the test ends either way
    };
    browser->toggleSlideShow(false);
    EXPECT_EQ(yields, 1);
    EXPECT_FALSE(browser->running());
    EXPECT_FALSE(browser->isVisible());
}

}  // namespace
}  // namespace browser_test
