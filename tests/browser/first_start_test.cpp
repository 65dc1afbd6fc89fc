// The first start: nothing modal before the window shows its title and library, no note about
// viewers no one can install here, and a first place that fits the screen.
#include "window_fixture.h"

#include "browser/first_window_place.h"
#include "platform/viewer_test_support.h"

#include <QCoreApplication>
#include <QTreeWidget>

using namespace browser_test;

namespace {

// The fake viewers without the one of the given kind.
decltype(browser::MainWindowSeams::makeViewer) viewersWithout(platform::ViewerKind missing) {
    return [missing](platform::ViewerKind kind, QWidget* parent) {
        return kind == missing ? nullptr : fakeViewers(kind, parent);
    };
}

}  // namespace

TEST_F(WindowTest, FirstStartOnAnEmptyProgramFolderShowsNoBox) {
    auto& w = open("");
    // The notes of missing viewers come through the event loop: let it run what is posted.
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_TRUE(messages.empty()) << messages.front().toStdString();
    EXPECT_TRUE(offered.empty()) << "the Flash viewer cannot be installed here: " << offered.front().toStdString();
    EXPECT_EQ(w.windowTitle(), "VYNE Browser");
    EXPECT_EQ(w.FLASH1, nullptr);
}

TEST_F(WindowTest, MissingInstallableViewerIsNotedAfterTheWindowIsUp) {
    struct Case {
        platform::ViewerKind kind;
        QString text;
    };
    const std::vector<Case> cases = {
        {platform::ViewerKind::Web,
         "WebBrowser-OCX not found!\nPlease Install Microsoft Internet Explorer, Otherwise You Can't Read Book With "
         "Type of Web Page!"},
        {platform::ViewerKind::Media,
         "WMP-OCX Not Found!\nPlease Install Microsoft Media Player, Otherwise You Can't Read Book With Type of wmp!"},
        {platform::ViewerKind::Pdf,
         "AcroPDF-OCX Not Found!\nPlease Install Adobe PDF Reader, Otherwise You Can't Read Book With Type of pdf!"},
    };
    const QString libraryTitle = "VYNE Browser -- " + QString::fromStdString(library);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        settings.reset();
        QString titleWhenNoted, boxTitle;
        int treeNodesWhenNoted = -1;
        std::vector<QString> noted;
        bool silence = false;
        platform::dialogAnswers().messageOfferingSilence = [&](const QString& title, const QString& text) {
            titleWhenNoted = window->windowTitle();
            boxTitle = title;
            treeNodesWhenNoted = window->tvw1->topLevelItemCount();
            noted.push_back(text);
            return silence;
        };
        auto& w = open(QString::fromStdString(library), {}, viewersWithout(c.kind));
        EXPECT_TRUE(noted.empty()) << "noted before the window was up";
        ASSERT_TRUE(waitUntil([&] { return !noted.empty(); }, 5000));
        EXPECT_EQ(noted, std::vector<QString>{c.text});
        EXPECT_EQ(titleWhenNoted, libraryTitle);
        EXPECT_EQ(boxTitle, libraryTitle);
        EXPECT_EQ(treeNodesWhenNoted, 1);
        EXPECT_TRUE(w.isVisible());

        // "Don't show this again" is kept: the next start says nothing.
        silence = true;
        window.reset();
        open(QString::fromStdString(library), {}, viewersWithout(c.kind));
        ASSERT_TRUE(waitUntil([&] { return noted.size() == 2; }, 5000));
        window.reset();
        open(QString::fromStdString(library), {}, viewersWithout(c.kind));
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        EXPECT_EQ(noted.size(), 2u) << "the silenced note came back";
        window.reset();
    }
}

TEST(FirstWindowPlace, FitsTheScreenCentred) {
    struct Case {
        QRect available, expected;
    };
    const std::vector<Case> cases = {
        {QRect(0, 0, 1920, 1080), QRect(192, 108, 1536, 864)},
        // A second screen to the right, below a panel.
        {QRect(1920, 32, 1280, 992), QRect(2048, 131, 1024, 793)},
        {QRect(0, 0, 640, 480), QRect(64, 48, 512, 384)},
        {QRect(0, 0, 3, 2), QRect(1, 0, 2, 1)},
    };
    for (const Case& c : cases) {
        const QRect place = browser::firstWindowPlace(c.available);
        EXPECT_EQ(place, c.expected) << c.available.x() << "," << c.available.y() << " " << c.available.width() << "x"
                                     << c.available.height();
        EXPECT_TRUE(c.available.contains(place));
    }
}
