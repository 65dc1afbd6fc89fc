// The text pane's background picture, the window's activation, and documents whose content is
// broken or very large.
#include "window_fixture.h"

#include "browser/picture_pane.h"
#include "util/codepage.h"

#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStyle>
#include <QTreeWidget>

#include <set>

using namespace browser_test;

namespace {

std::string jpegBytes(QColor colour, QSize size = QSize(60, 40)) {
    return testing_support::encodedPicture(colour, size, "JPG", 95).toStdString();
}

// Close enough for a colour that went through JPEG.
bool near(QColor a, QColor b) {
    return std::abs(a.red() - b.red()) < 16 && std::abs(a.green() - b.green()) < 16 && std::abs(a.blue() - b.blue()) < 16;
}

QColor centreOf(const QImage& image) { return image.pixelColor(image.width() / 2, image.height() / 2); }

}  // namespace

TEST(BackPicIndex, StepsWrapAndRandomStaysInTheList) {
    struct Case {
        int current, count, mode, next;
    };
    const Case cases[] = {
        {0, 3, 1, 1},  {1, 3, 1, 2},  {3, 3, 1, 1},   {7, 3, 1, 1},    // next; after the last the first
        {0, 3, -1, 3}, {1, 3, -1, 3}, {3, 3, -1, 2},  {9, 3, -1, 3},   // previous; before the first the last
        {1, 1, 1, 1},  {1, 1, -1, 1}, {0, 0, 1, 0},   {0, 0, 0, 0},    // one picture; none
    };
    for (const Case& c : cases)
        EXPECT_EQ(browser::nextBackPicIndex(c.current, c.count, c.mode), c.next)
            << c.current << " of " << c.count << " mode " << c.mode;
    std::set<int> seen;
    for (int i = 0; i < 400; ++i) {
        const int index = browser::nextBackPicIndex(2, 4, 0);
        ASSERT_GE(index, 1);
        ASSERT_LE(index, 4);
        seen.insert(index);
    }
    EXPECT_EQ(seen.size(), 4u) << "every picture comes up at random";
    EXPECT_EQ(browser::nextBackPicIndex(5, 1, 7), 1);
}

class BackgroundTest : public WindowTest {
protected:
    browser::BrowserSettings withSource(const std::string& source, int showTime, bool stretch = false) {
        browser::BrowserSettings s;
        s.myDBName = library;
        s.textWinBackPicFile = source;
        s.textWinBackPicShowTime = showTime;
        s.textWinBackPicStretch = stretch;
        return s;
    }

    // The window on the library, with a clock the test turns, showing the text "Story".
    browser::MainWindow& openShowingText(browser::BrowserSettings initial) {
        settings = std::make_shared<browser::MemorySettingsStore>(std::move(initial));
        browser::MainWindowSeams seams;
        seams.makeViewer = fakeViewers;
        seams.settings = settings;
        seams.nowSeconds = [this] { return clock; };
        window = std::make_unique<browser::MainWindow>(std::move(seams));
        window->resize(1000, 700);
        window->show();
        window->loadWindow(QString());
        click("Alpha");
        click("Story");
        return *window;
    }

    std::string folderWith(const std::vector<std::pair<std::string, QColor>>& pictures) {
        const std::string folder = dir.file("pictures");
        std::filesystem::create_directories(folder);
        for (const auto& [name, colour] : pictures) testing_support::writeFile(folder + "/" + name, jpegBytes(colour));
        return folder;
    }

    qint64 clock = 1'000'000;
};

TEST_F(BackgroundTest, FolderWithOnePictureShowsItEveryTime) {
    const std::string folder = folderWith({{"only.jpg", Qt::red}, {"notes.txt", Qt::black}});
    auto& w = openShowingText(withSource(folder, 0));
    for (int mode : {0, 1, -1, 0, 1}) {
        ASSERT_TRUE(w.drawTextBackPic(QString::fromStdString(folder), mode)) << mode;
        EXPECT_TRUE(near(centreOf(w.textBackPicture()), Qt::red)) << mode;
    }
}

TEST_F(BackgroundTest, FolderWithoutPicturesIsLookedUpAgain) {
    const std::string folder = folderWith({{"notes.txt", Qt::black}, {"photo.png", Qt::blue}});
    auto& w = openShowingText(withSource(folder, 2));
    w.backPicTick();  // the first tick starts the clock
    clock += 3;
    w.backPicTick();
    EXPECT_TRUE(w.textBackPicture().isNull()) << "only \".jpg\" files belong to the show";
    testing_support::writeFile(folder + "/late.JPG", jpegBytes(Qt::green));
    clock += 3;
    w.backPicTick();
    ASSERT_FALSE(w.textBackPicture().isNull());
    EXPECT_TRUE(near(centreOf(w.textBackPicture()), Qt::green));
}

TEST_F(BackgroundTest, TimerChangesFolderPicturesAfterTheShowTime) {
    const std::string folder = folderWith({{"a.jpg", Qt::red}});
    auto& w = openShowingText(withSource(folder, 5));
    w.windowActivated();
    EXPECT_TRUE(w.textBackPicture().isNull()) << "a folder is shown by the timer only";
    w.backPicTick();
    clock += 5;
    w.backPicTick();
    EXPECT_TRUE(w.textBackPicture().isNull()) << "not before the show time has passed";
    clock += 1;
    w.backPicTick();
    EXPECT_FALSE(w.textBackPicture().isNull());

    // Not while the text pane is hidden.
    w.clearBackPic();
    click("Red");
    clock += 60;
    w.backPicTick();
    EXPECT_TRUE(w.textBackPicture().isNull());
}

TEST_F(BackgroundTest, ShowTimeZeroNeverDraws) {
    const std::string folder = folderWith({{"a.jpg", Qt::red}});
    const std::string picture = dir.file("back.jpg");
    testing_support::writeFile(picture, jpegBytes(Qt::blue));
    for (const std::string& source : {folder, picture}) {
        auto& w = openShowingText(withSource(source, 0));
        for (int tick = 0; tick < 3; ++tick) {
            clock += 100;
            w.backPicTick();
        }
        w.windowActivated();
        w.layoutWindow();
        EXPECT_TRUE(w.textBackPicture().isNull()) << source;
    }
}

TEST_F(BackgroundTest, PictureFileIsDrawnOnActivationAndAfterLayout) {
    const std::string picture = dir.file("back.jpg");
    testing_support::writeFile(picture, jpegBytes(Qt::blue, QSize(200, 50)));
    auto& w = openShowingText(withSource(picture, 1));
    w.clearBackPic();
    w.windowActivated();
    ASSERT_FALSE(w.textBackPicture().isNull());
    const int scrollBar = w.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, w.rt1);
    EXPECT_EQ(w.textBackPicture().size(), QSize(w.Picture3->width() - scrollBar, w.Picture3->height()));
    // Proportions kept: a wide picture leaves bands of the text pane's back colour.
    EXPECT_TRUE(near(centreOf(w.textBackPicture()), Qt::blue));
    EXPECT_EQ(w.textBackPicture().pixelColor(5, 2), w.rt1->palette().color(QPalette::Base));

    w.resize(800, 500);
    w.layoutWindow();
    EXPECT_EQ(w.textBackPicture().size(), QSize(w.Picture3->width() - scrollBar, w.Picture3->height()));
    // The timer leaves an existing file alone.
    w.clearBackPic();
    w.backPicTick();
    clock += 100;
    w.backPicTick();
    EXPECT_TRUE(w.textBackPicture().isNull());
}

TEST_F(BackgroundTest, StretchedPictureFillsThePane) {
    const std::string picture = dir.file("back.jpg");
    testing_support::writeFile(picture, jpegBytes(Qt::blue, QSize(200, 50)));
    auto& w = openShowingText(withSource(picture, 1, true));
    w.windowActivated();
    ASSERT_FALSE(w.textBackPicture().isNull());
    EXPECT_TRUE(near(w.textBackPicture().pixelColor(5, 2), Qt::blue));
}

// The picture shows through the text pane; the text is untouched, and clearing brings the
// pane's own back colour back.
TEST_F(BackgroundTest, PictureShowsBehindTheText) {
    const std::string picture = dir.file("back.jpg");
    testing_support::writeFile(picture, jpegBytes(Qt::red));
    auto& w = openShowingText(withSource(picture, 1, true));
    const QString text = w.rt1->toPlainText();
    w.windowActivated();
    // Below the one line of text, inside the text area.
    const QPoint inside = w.rt1->viewport()->mapTo(w.Picture3, QPoint(20, w.rt1->viewport()->height() - 20));
    EXPECT_TRUE(near(w.Picture3->grab().toImage().pixelColor(inside), Qt::red));
    EXPECT_EQ(w.rt1->toPlainText(), text);
    EXPECT_TRUE(w.rt1->isVisible());

    w.clearBackPic();
    EXPECT_TRUE(w.textBackPicture().isNull());
    EXPECT_EQ(w.Picture3->grab().toImage().pixelColor(inside), w.rt1->palette().color(QPalette::Base));
}

TEST_F(BackgroundTest, LibrarySourceDrawsARandomJpgDocument) {
    {
        store::ctreebook book;
        ASSERT_TRUE(book.openDB(library));
        ids["Photo"] = book.insertRec(ids["Beta"], "Photo", "jpg", bytesOf(jpegBytes(Qt::green)));
    }
    // The library open in the window serves as the source as well.
    auto& w = openShowingText(withSource(library, 1));
    w.clearBackPic();
    w.windowActivated();
    ASSERT_FALSE(w.textBackPicture().isNull());
    EXPECT_TRUE(near(centreOf(w.textBackPicture()), Qt::green));
    EXPECT_EQ(w.cbook.myDBName(), library);
    // The window's own store still writes to the library.
    click("Beta");
    click("Second");
    w.markRead(true);
    EXPECT_EQ(node("Second")->foreground(0).color(), QColor(0, 255, 0));

    // A library without "jpg" documents, and a file that is no library, draw nothing.
    const std::string other = dir.file("other.mdb");
    makeLibrary(other);
    const std::string bogus = dir.file("bogus.mdb");
    testing_support::writeFile(bogus, "not a database");
    for (const std::string& source : {other, bogus}) {
        w.clearBackPic();
        EXPECT_FALSE(w.drawTextBackPic(QString::fromStdString(source), 0)) << source;
        EXPECT_TRUE(w.textBackPicture().isNull()) << source;
    }
    EXPECT_EQ(testing_support::readFile(bogus), "not a database");
}

TEST_F(BackgroundTest, UnreadableSourcesKeepThePreviousPicture) {
    const std::string good = dir.file("good.jpg");
    testing_support::writeFile(good, jpegBytes(Qt::blue));
    const std::string broken = dir.file("broken.jpg");
    testing_support::writeFile(broken, "this is no picture");
    const std::string empty = dir.file("empty.jpg");
    testing_support::writeFile(empty, "");
    const std::string other = dir.file("notes.txt");
    testing_support::writeFile(other, "text");
    auto& w = openShowingText(withSource(good, 1));
    ASSERT_TRUE(w.drawTextBackPic(QString::fromStdString(good), 0));
    for (const std::string& source : {broken, empty, other, dir.file("missing"), std::string()}) {
        EXPECT_FALSE(w.drawTextBackPic(QString::fromStdString(source), 0)) << source;
        EXPECT_TRUE(near(centreOf(w.textBackPicture()), Qt::blue)) << source;
    }
}

TEST_F(BackgroundTest, ActivationGivesThePaneTheTextBackColour) {
    auto& w = openShowingText(withSource("", 0));
    QPalette palette = w.rt1->palette();
    palette.setColor(QPalette::Base, QColor(10, 20, 30));
    w.rt1->setPalette(palette);
    w.windowActivated();
    EXPECT_EQ(w.Picture3->palette().color(QPalette::Window), QColor(10, 20, 30));
}

TEST_F(WindowTest, ActivationShowsTheClassListOnlyOverAnEmptyPane) {
    auto& w = open(QString::fromStdString(library));
    click("Alpha");
    w.ListView1->hide();
    w.windowActivated();
    EXPECT_TRUE(w.ListView1->isVisible()) << "a selected class shows its list";

    // A class selected without being shown (as a right click does) leaves the shown document.
    click("Story");
    w.tvw1->setCurrentItem(node("Alpha"));
    w.windowActivated();
    EXPECT_FALSE(w.ListView1->isVisible());
    EXPECT_TRUE(w.rt1->isVisible());

    // The list never returns with the rows of another class.
    w.hideViewers();
    w.tvw1->setCurrentItem(node("Beta"));
    w.windowActivated();
    EXPECT_FALSE(w.ListView1->isVisible());

    // A selected document shown under the list: the list goes.
    click("Story");
    w.ListView1->show();
    w.windowActivated();
    EXPECT_FALSE(w.ListView1->isVisible());
    EXPECT_TRUE(w.rt1->isVisible());

    // The list asked for on a selected document stays.
    w.showBookListView();
    w.windowActivated();
    EXPECT_TRUE(w.ListView1->isVisible());
}

TEST(BackgroundSettings, KeysAreReadByTheirRules) {
    testing_support::TempDir dir;
    const std::string file = dir.file("browser.ini");
    struct Case {
        const char* stretch;  // nullptr: key missing
        const char* showTime;
        bool stretched;
        int seconds;
    };
    const Case cases[] = {
        {"1", "5", true, 5},      {"0", "0", false, 0},      {nullptr, nullptr, false, 0},
        {"2", "12", true, 12},    {"abc", "x", false, 0},    {"-1", "-3", true, 0},
    };
    for (const Case& c : cases) {
        QFile::remove(QString::fromStdString(file));
        setIniValue(file, "System", "TextWinBackPicFile", "D:\\pictures\\背景");
        if (c.stretch) setIniValue(file, "System", "TextWinBackPicStretch", c.stretch);
        if (c.showTime) setIniValue(file, "System", "TextWinBackPicSHowTime", c.showTime);
        const browser::BrowserSettings s = browser::makeIniSettingsStore(file)->load();
        EXPECT_EQ(s.textWinBackPicFile, "D:\\pictures\\背景");
        EXPECT_EQ(s.textWinBackPicStretch, c.stretched) << (c.stretch ? c.stretch : "missing");
        EXPECT_EQ(s.textWinBackPicShowTime, c.seconds) << (c.showTime ? c.showTime : "missing");
    }
    browser::BrowserSettings s;
    s.textWinBackPicFile = "/home/reader/背景";
    s.textWinBackPicStretch = true;
    s.textWinBackPicShowTime = 30;
    browser::makeIniSettingsStore(file)->save(s);
    const browser::BrowserSettings back = browser::makeIniSettingsStore(file)->load();
    EXPECT_EQ(back.textWinBackPicFile, s.textWinBackPicFile);
    EXPECT_TRUE(back.textWinBackPicStretch);
    EXPECT_EQ(back.textWinBackPicShowTime, 30);
    EXPECT_EQ(iniValue(file, "System", "TextWinBackPicStretch"), "1");
}

// Documents whose content is broken or must not be opened: shown as far as they can be, the
// reason added to the document's status line, and the window stays usable.
TEST_F(WindowTest, BrokenDocumentsLeaveTheWindowUsable) {
    const store::Bytes png = pngBytes();
    enum class Shown { EmptyPicture, BySystem, Nothing };
    struct Case {
        std::string title, format;
        store::Bytes content;
        QString status;
        Shown shown;
    };
    const std::vector<Case> cases = {
        {"Broken", "jpg", bytesOf("this is no picture at all"), "Beta(jpg/1K)  错误装载图片。 Broken", Shown::EmptyPicture},
        {"Nothing", "jpg", {}, "Beta(jpg/0K)  错误装载图片。 Nothing", Shown::EmptyPicture},
        {"Cut", "png", store::Bytes(png.begin(), png.begin() + 40), "Beta(png/1K)  错误装载图片。 Cut", Shown::EmptyPicture},
        {"BadPdf", "pdf", bytesOf("%PDF-1.7\nthis does not parse"), "Beta(pdf/1K)  BadPdf.pdf is not a readable PDF file.  BadPdf.pdf was handed to the operating system.",
         Shown::BySystem},
        {"Runner", "dat", bytesOf("#!/bin/sh\necho hi\n"), "Beta(dat/1K)  Runner.dat was not opened: it is a script.",
         Shown::Nothing},
    };
    {
        store::ctreebook book;
        ASSERT_TRUE(book.openDB(library));
        for (const Case& c : cases) ids[c.title] = book.insertRec(ids["Beta"], c.title, c.format, c.content);
    }
    // The real PDF viewer, so that the file is really parsed.
    settings = std::make_shared<browser::MemorySettingsStore>();
    browser::MainWindowSeams seams;
    seams.settings = settings;
    seams.makeViewer = [](platform::ViewerKind kind, QWidget* parent) {
        return kind == platform::ViewerKind::Pdf ? platform::makeViewer(kind, parent) : fakeViewers(kind, parent);
    };
    window = std::make_unique<browser::MainWindow>(std::move(seams));
    window->show();
    window->loadWindow(QString::fromStdString(library));
    auto& w = *window;
    click("Beta");
    for (const Case& c : cases) {
        if (c.format == "pdf" && !w.PDF1) continue;  // a build without the PDF viewer
        handedToOS.clear();
        click(c.title);
        EXPECT_EQ(w.statusText(1), c.status) << c.title;
        EXPECT_EQ(w.Picture1->isVisible(), c.shown == Shown::EmptyPicture) << c.title;
        EXPECT_FALSE(w.Picture1->hasPicture()) << c.title;
        if (c.shown == Shown::EmptyPicture) continue;
        if (w.PDF1) EXPECT_FALSE(w.PDF1->widget()->isVisible()) << c.title;
        if (c.shown == Shown::Nothing) {
            EXPECT_TRUE(handedToOS.empty()) << c.title;
            continue;
        }
        ASSERT_EQ(handedToOS.size(), 1u) << c.title << ": what the viewer cannot read goes to the system";
        EXPECT_TRUE(handedToOS[0].endsWith("/tmp/" + QString::fromStdString(c.title) + "." + QString::fromStdString(c.format)));
    }
    EXPECT_EQ(w.cbook.sizeByid(ids["Nothing"]), 0);
    // Still usable: the next document shows as ever, with a plain status line.
    click("Second");
    EXPECT_EQ(w.rt1->toPlainText(), "second text");
    EXPECT_EQ(w.statusText(1), "Beta(txt/1K)");
    EXPECT_FALSE(w.Picture1->isVisible());
}

TEST_F(WindowTest, LargeTextDocumentIsShown) {
    store::Bytes large;
    const store::Bytes line = util::utf8ToAnsi("第一章 你好世界 hello 书库\r\n");
    const size_t target = 50u << 20;
    large.reserve(target + line.size());
    while (large.size() < target) large.insert(large.end(), line.begin(), line.end());
    {
        store::ctreebook book;
        ASSERT_TRUE(book.openDB(library));
        ids["Large"] = book.insertRec(ids["Beta"], "Large", "txt", large);
    }
    auto& w = open(QString::fromStdString(library));
    click("Beta");
    click("Large");
    EXPECT_TRUE(w.rt1->isVisible());
    EXPECT_TRUE(w.rt1->toPlainText().startsWith("第一章 你好世界 hello 书库"));
    EXPECT_EQ(w.cbook.sizeByid(ids["Large"]), int32_t(large.size()));
    click("Second");
    EXPECT_EQ(w.rt1->toPlainText(), "second text");
}
