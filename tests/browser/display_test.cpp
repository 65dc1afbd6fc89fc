// Showing documents: temporary files, links, web addresses, the picture pane at its own size,
// the wheel, the explain pane's drag, and the layout as the window changes.
#include "window_fixture.h"

#include "browser/picture_pane.h"
#include "platform/colour.h"

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QGroupBox>
#include <QMimeData>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTreeWidget>
#include <QWheelEvent>

using namespace browser_test;

namespace {

store::Bytes pngOf(const QImage& image) {
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return store::Bytes(data.begin(), data.end());
}

store::Bytes linkTo(const std::string& target) {
    store::Bytes bytes = bytesOf(target);
    bytes.push_back(0);
    return bytes;
}

class DisplayTest : public WindowTest {
protected:
    // Adds documents to Beta before the window opens.
    void addToBeta(const std::vector<std::tuple<std::string, std::string, store::Bytes>>& documents) {
        store::ctreebook book;
        ASSERT_TRUE(book.openDB(library));
        for (const auto& [title, format, content] : documents)
            ids[title] = book.insertRec(ids["Beta"], title, format, content);
    }

    QRect viewerArea() const {
        const QRect splitter = window->CommResize->geometry();
        return QRect(splitter.right() + 1, window->tvw1->y(), window->width() - splitter.right() - 1,
                     window->tvw1->height());
    }

    void dragPicture(QPoint by) {
        const auto send = [this](QEvent::Type type, QPoint global, Qt::MouseButtons buttons) {
            QMouseEvent event(type, QPointF(window->Picture1->mapFromGlobal(global)), QPointF(global), Qt::LeftButton,
                              buttons, Qt::NoModifier);
            QApplication::sendEvent(window->Picture1, &event);
        };
        const QPoint start = window->Picture1->mapToGlobal(QPoint(5, 5));
        send(QEvent::MouseButtonPress, start, Qt::LeftButton);
        send(QEvent::MouseMove, start + by / 2, Qt::LeftButton);
        send(QEvent::MouseButtonRelease, start + by, Qt::NoButton);
    }

    void wheel(int delta) {
        QWheelEvent event(QPointF(5, 5), window->Picture1->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, delta),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(window->Picture1, &event);
    }

    void setOwnSize(bool on) {
        auto* ownSize = window->findChild<QAction*>("menu_图像扩展");
        ASSERT_NE(ownSize, nullptr);
        ownSize->setChecked(on);
    }
};

// Whatever the title and format, the temporary file lies in the temporary folder under a name
// every file system takes, and holds this document's content.
TEST_F(DisplayTest, TemporaryFilesTakeAnyTitleAndFormat) {
    QString longTitle;
    for (int i = 0; i < 100; ++i) longTitle += QChar(0x4e66);  // 书, three bytes in UTF-8
    struct Case {
        std::string title, format;
    };
    const std::vector<Case> cases = {
        {longTitle.toStdString(), "dat"},
        {"Escaping", "x/../../y"},
        {"Wide", std::string(300, 'e')},
    };
    std::vector<std::tuple<std::string, std::string, store::Bytes>> documents;
    for (const Case& c : cases) documents.emplace_back(c.title, c.format, bytesOf("content of " + c.title));
    addToBeta(documents);
    open(QString::fromStdString(library));
    click("Beta");
    const QString tmp = QString::fromStdString(home.path()) + "/tmp/";
    for (const Case& c : cases) {
        handedToOS.clear();
        click(c.title);
        ASSERT_EQ(handedToOS.size(), 1u) << c.format;
        const QString file = handedToOS[0];
        EXPECT_TRUE(file.startsWith(tmp)) << file.toStdString();
        EXPECT_FALSE(file.mid(tmp.size()).contains('/')) << file.toStdString();
        EXPECT_LE(QFileInfo(file).fileName().toUtf8().size(), 255) << file.toStdString();
        EXPECT_EQ(testing_support::readFile(file.toStdString()), "content of " + c.title);
    }
}

TEST_F(DisplayTest, EmptyDocumentNeverShowsAnotherOfTheSameName) {
    {
        store::ctreebook book;
        ASSERT_TRUE(book.openDB(library));
        ids["Full"] = book.insertRec(ids["Beta"], "Twin", "pdf", bytesOf("%PDF-1.4 the full one"));
        ids["Empty twin"] = book.insertRec(ids["Beta"], "Twin", "pdf", {});
    }
    open(QString::fromStdString(library));
    click("Beta");
    click("Full");
    click("Empty twin");
    ASSERT_FALSE(viewerLog().empty());
    const QString shown = viewerLog().back();
    ASSERT_TRUE(shown.startsWith("pdf:")) << shown.toStdString();
    EXPECT_EQ(QFileInfo(shown.mid(4)).size(), 0);
}

// Links: the target is shown by its own format, a missing one is reported and nothing shown.
TEST_F(DisplayTest, LinkedFilesAreShownByTheirFormat) {
    const std::string text = dir.file("notes.txt");
    testing_support::writeFile(text, "linked words");
    QImage picture(30, 20, QImage::Format_RGB32);
    picture.fill(Qt::green);
    const std::string png = dir.file("photo.png");
    const store::Bytes pngData = pngOf(picture);
    testing_support::writeFile(png, std::string(pngData.begin(), pngData.end()));
    const std::string junk = dir.file("junk.jpg");
    testing_support::writeFile(junk, "no picture here");
    const std::string shortcut = dir.file("site.url");
    testing_support::writeFile(shortcut, "[InternetShortcut]\r\nURL=http://example.org/\r\n");
    const std::string missing = dir.file("gone.txt");
    addToBeta({{"ToText", "lnk", linkTo(text)},
               {"ToPicture", "lnk", linkTo(png)},
               {"ToJunk", "lnk", linkTo(junk)},
               {"ToShortcut", "link", linkTo(shortcut)},
               {"ToNothing", "lnk", linkTo(missing)}});
    auto& w = open(QString::fromStdString(library));
    click("Beta");

    click("ToText");
    EXPECT_TRUE(w.rt1->isVisible());
    EXPECT_EQ(w.rt1->toPlainText(), "linked words");
    EXPECT_EQ(w.statusText(1), "Beta(lnk/1K)");

    click("ToPicture");
    EXPECT_TRUE(w.Picture1->isVisible());
    EXPECT_EQ(w.Picture1->picture().size(), QSize(30, 20));

    click("ToJunk");
    EXPECT_TRUE(w.Picture1->isVisible());
    EXPECT_FALSE(w.Picture1->hasPicture());
    EXPECT_EQ(w.statusText(1), "Beta(lnk/1K)  错误装载图片。 " + QString::fromStdString(junk));

    handedToOS.clear();
    click("ToShortcut");
    ASSERT_EQ(handedToOS.size(), 1u);
    EXPECT_EQ(handedToOS[0], QString::fromStdString(shortcut));

    click("ToNothing");
    EXPECT_EQ(w.statusText(1), "File " + QString::fromStdString(missing) + " not exist.");
    EXPECT_FALSE(w.rt1->isVisible());
    EXPECT_FALSE(w.Picture1->isVisible());
}

// A link whose target is megabytes long (no file has such a name) is reported in one line the
// status bar can lay out at once.
TEST_F(DisplayTest, EndlessLinkTargetIsReportedShort) {
    addToBeta({{"Endless", "lnk", linkTo(std::string(5 << 20, 'a'))}});
    auto& w = open(QString::fromStdString(library));
    click("Beta");
    click("Endless");
    EXPECT_TRUE(w.statusText(1).startsWith("File aaaa"));
    EXPECT_LT(w.statusText(1).size(), 2100);
}

// A linked text file too large for the text pane goes to the operating system.
TEST_F(DisplayTest, HugeLinkedTextGoesToTheSystem) {
    const std::string huge = dir.file("huge.txt");
    {
        QFile file(QString::fromStdString(huge));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_TRUE(file.resize(qint64(300) << 20));  // sparse: written in no time
    }
    addToBeta({{"ToHuge", "lnk", linkTo(huge)}});
    auto& w = open(QString::fromStdString(library));
    click("Beta");
    click("ToHuge");
    ASSERT_EQ(handedToOS.size(), 1u);
    EXPECT_EQ(handedToOS[0], QString::fromStdString(huge));
    EXPECT_FALSE(w.rt1->isVisible());
}

// The wheel over a combo box without the focus neither opens a library nor starts a search: it
// goes on to the window, which steps through the pictures.
TEST_F(DisplayTest, WheelOverTheTopStripLeavesTheComboBoxesAlone) {
    const std::string other = dir.file("other.mdb");
    makeLibrary(other);
    browser::BrowserSettings initial;
    initial.history = {other};
    auto& w = open(QString::fromStdString(library), initial);
    ASSERT_EQ(w.Combo1->count(), 2);
    click("Alpha");
    click("Red");
    w.tvw1->setFocus();
    for (QComboBox* combo : {w.Combo1, w.Combo4}) {
        const int index = combo->currentIndex();
        QWheelEvent event(QPointF(5, 5), combo->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(combo, &event);
        EXPECT_EQ(combo->currentIndex(), index) << combo->objectName().toStdString();
    }
    EXPECT_EQ(w.windowTitle(), "VYNE Browser -- " + QString::fromStdString(library));
    EXPECT_FALSE(w.ListView2->isVisible());
    EXPECT_EQ(w.selectedNode(), node("Letter")) << "two wheel steps from Red";
}

// Without a web viewer a web address goes to the system's browser, like any other file; what
// is no web address is not handed over.
TEST_F(DisplayTest, WebAddressWithoutWebViewerGoesToTheSystem) {
    struct Case {
        std::string title, target;
        QString handed;  // empty: nothing
        QString status;
    };
    const std::vector<Case> cases = {
        {"Plain", "http://example.org/", "http://example.org/", "Beta(url/1K)  http://example.org/ was handed to the operating system."},
        {"NoScheme", "www.example.org", "http://www.example.org",
         "Beta(url/1K)  www.example.org was handed to the operating system."},
        {"Local", "file:///etc/passwd", "", "Beta(url/1K)  file:///etc/passwd is not a web address."},
    };
    std::vector<std::tuple<std::string, std::string, store::Bytes>> documents;
    for (const Case& c : cases) documents.emplace_back(c.title, "url", bytesOf(c.target));
    addToBeta(documents);
    open(QString::fromStdString(library), {}, [](platform::ViewerKind kind, QWidget* parent) {
        return kind == platform::ViewerKind::Web ? nullptr : fakeViewers(kind, parent);
    });
    click("Beta");
    for (const Case& c : cases) {
        handedToOS.clear();
        click(c.title);
        EXPECT_EQ(handedToOS.empty() ? QString() : handedToOS[0], c.handed) << c.title;
        EXPECT_EQ(window->statusText(1), c.status) << c.title;
    }
}

// A file whose name begins like a web address is still a file.
TEST_F(DisplayTest, ExistingFileIsNeverTakenForAWebAddress) {
    testing_support::writeFile(dir.file("www.page.htm"), "<p>local</p>");
    addToBeta({{"Relative", "lnk", linkTo("www.page.htm")}});
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(QString::fromStdString(dir.path())));
    open(QString::fromStdString(library), {}, [](platform::ViewerKind kind, QWidget* parent) {
        return kind == platform::ViewerKind::Web ? nullptr : fakeViewers(kind, parent);
    });
    click("Beta");
    click("Relative");
    QDir::setCurrent(before);
    ASSERT_EQ(handedToOS.size(), 1u);
    EXPECT_EQ(QFileInfo(handedToOS[0]).canonicalFilePath(), QFileInfo(QString::fromStdString(dir.file("www.page.htm"))).canonicalFilePath());
}

// A web viewer that finds no file, as the real one says it.
class FileMissingViewer : public platform::Viewer {
public:
    explicit FileMissingViewer(QWidget* parent) : widget_(new QWidget(parent)) {}
    platform::ViewerKind kind() const override { return platform::ViewerKind::Web; }
    QWidget* widget() override { return widget_; }
    bool showFile(const QString& path) override { return isShowableFile(path); }
    void hideViewer() override { widget_->hide(); }

private:
    QWidget* widget_;
};

// The viewer and the system both find the page missing: the status line says so once.
TEST_F(DisplayTest, MissingPageIsReportedOnce) {
    const std::string page = dir.file("gone.htm");
    addToBeta({{"ToGone", "url", bytesOf(page)}});
    open(QString::fromStdString(library), {}, [](platform::ViewerKind kind, QWidget* parent) -> std::unique_ptr<platform::Viewer> {
        if (kind == platform::ViewerKind::Web) return std::make_unique<FileMissingViewer>(parent);
        return fakeViewers(kind, parent);
    });
    click("Beta");
    click("ToGone");
    EXPECT_EQ(window->statusText(1), "Beta(url/1K)  File " + QString::fromStdString(page) + " not exist.");
}

// At its own size a picture never covers the tree or the status bar: the pane is the part of
// the picture inside the viewer area, and dragging moves the picture within the area.
TEST_F(DisplayTest, OwnSizePictureStaysInTheViewerAreaWhenDragged) {
    QImage large(2000, 1500, QImage::Format_RGB32);
    large.fill(Qt::yellow);
    addToBeta({{"Large", "png", pngOf(large)}});
    auto& w = open(QString::fromStdString(library));
    click("Beta");
    setOwnSize(true);
    click("Large");
    const QRect area = viewerArea();
    EXPECT_EQ(w.Picture1->geometry(), area);
    EXPECT_EQ(w.Picture1->origin(), QPoint(0, 0));

    struct Step {
        QPoint drag, origin;
    };
    const std::vector<Step> steps = {
        {{-300, -200}, {-300, -200}},
        {{100, 50}, {-200, -150}},
        {{-5000, -5000}, {area.width() - 2000, area.height() - 1500}},  // stops at the far edges
        {{9000, 9000}, {0, 0}},
    };
    for (const Step& step : steps) {
        dragPicture(step.drag);
        EXPECT_EQ(w.Picture1->origin(), step.origin) << step.drag.x();
        EXPECT_EQ(w.Picture1->geometry(), area);
    }

    // The window grows: the picture keeps its place in the area.
    dragPicture({-300, -200});
    w.resize(w.width() + 100, w.height() + 50);
    EXPECT_EQ(w.Picture1->origin(), QPoint(-300, -200));
    EXPECT_EQ(w.Picture1->geometry(), viewerArea());

    // A small picture moves as a whole and stays inside the area.
    click("Alpha");
    click("Story");
    EXPECT_FALSE(w.Picture1->hasPicture()) << "no picture is kept behind the text";
    click("Red");  // 40 x 30
    EXPECT_EQ(w.Picture1->geometry(), QRect(viewerArea().topLeft(), QSize(40, 30)));
    dragPicture({50, 20});
    EXPECT_EQ(w.Picture1->geometry(), QRect(viewerArea().topLeft() + QPoint(50, 20), QSize(40, 30)));
    dragPicture({-9000, 9000});
    EXPECT_EQ(w.Picture1->geometry(),
              QRect(QPoint(viewerArea().left(), viewerArea().bottom() - 29), QSize(40, 30)));

    // Fitted, the picture fills the area and a drag leaves it there.
    setOwnSize(false);
    EXPECT_EQ(w.Picture1->geometry(), viewerArea());
    dragPicture({50, 20});
    EXPECT_EQ(w.Picture1->geometry(), viewerArea());
}

TEST_F(DisplayTest, DroppedPictureIsLaidOutAtItsOwnSize) {
    auto& w = open(QString::fromStdString(library));
    click("Alpha");
    setOwnSize(true);
    click("Red");
    QMimeData data;
    QImage image(12, 8, QImage::Format_RGB32);
    image.fill(Qt::blue);
    data.setImageData(image);
    ASSERT_TRUE(w.Picture1->takeDrop(&data));
    EXPECT_EQ(w.Picture1->size(), QSize(12, 8));
}

// The fitted picture is scaled by averaging, so fine detail turns into its mean colour instead
// of whichever pixels a sampling scaler hits.
TEST_F(DisplayTest, FittedPictureIsScaledSmoothly) {
    auto& w = open("");
    w.showPicBytes({}, false);
    const QSize pane = w.Picture1->size();
    ASSERT_FALSE(pane.isEmpty());
    QImage stripes(pane * 3, QImage::Format_RGB32);
    for (int x = 0; x < stripes.width(); ++x)
        for (int y = 0; y < stripes.height(); ++y) stripes.setPixel(x, y, x % 3 == 2 ? 0xffffffff : 0xff000000);
    w.Picture1->setPicture(stripes);
    const QImage painted = w.Picture1->grab().toImage();
    const QColor middle = painted.pixelColor(painted.width() / 2, painted.height() / 2);
    EXPECT_NEAR(middle.red(), 85, 15);
}

// Touchpads and free-spinning wheels turn in small parts: a picture per whole step.
TEST_F(DisplayTest, WheelStepsOncePerWholeTurn) {
    auto& w = open(QString::fromStdString(library));
    click("Alpha");
    click("Red");
    wheel(-40);
    wheel(-40);
    EXPECT_EQ(w.selectedNode(), node("Red"));
    wheel(-40);
    EXPECT_EQ(w.selectedNode(), node("Blue"));
    wheel(-60);
    wheel(60);  // turned back: the part turned before counts no more
    EXPECT_EQ(w.selectedNode(), node("Blue"));
    wheel(60);
    EXPECT_EQ(w.selectedNode(), node("Red"));
}

// Next and previous at the ends of a class.
TEST_F(DisplayTest, NextAndPreviousAtTheEndsOfAClass) {
    auto& w = open(QString::fromStdString(library));
    click("Alpha");
    click("Inner");
    click("Beta");
    struct Case {
        std::string from;
        int direction;
        std::string to;
    };
    const std::vector<Case> cases = {
        {"Second", 0, "Story"},   // the previous class is entered at its first child
        {"Second", 1, "Second"},  // Beta has no next sibling
        {"Deep", 1, "Deep"},      // nor has Inner
        {"Letter", 1, "Inner"},   // the next sibling may be a class
    };
    for (const Case& c : cases) {
        click(c.from);
        w.goNextPrevDoc(c.direction);
        EXPECT_EQ(w.selectedNode(), node(c.to)) << c.from << " " << c.direction;
    }
    click("Second");
    w.goNextPrevDoc(0);
    EXPECT_TRUE(w.rt1->isVisible());
    EXPECT_EQ(w.rt1->toPlainText(), "你好世界 hello");
}

// The explain pane is dragged through its outline and never leaves the window.
TEST_F(DisplayTest, ExplainPaneIsDraggedWithinTheWindow) {
    auto& w = open("");
    struct Case {
        QPoint dropAt;  // in window coordinates, where the pointer is released
        QPoint expected;
    };
    const std::vector<Case> cases = {
        {{310, 220}, {300, 200}},
        {{5000, 5000}, {w.width() - w.Frame1->width(), w.height() - w.Frame1->height()}},
        {{-500, -500}, {0, 0}},
    };
    for (const Case& c : cases) {
        w.Frame1->move(100, 100);
        w.Frame1->show();
        const QPoint grab(10, 20);
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(grab), QPointF(w.Frame1->mapToGlobal(grab)), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(w.Frame1, &press);
        EXPECT_FALSE(w.Frame1->isVisible());
        EXPECT_TRUE(w.Frame3->isVisible());
        EXPECT_EQ(w.Frame3->geometry(), QRect(QPoint(100, 100), w.Frame1->size()));
        const QPoint global = w.mapToGlobal(c.dropAt);
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(w.Frame3->mapFromGlobal(global)), QPointF(global),
                            Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(w.Frame3, &release);
        EXPECT_FALSE(w.Frame3->isVisible());
        EXPECT_TRUE(w.Frame1->isVisible());
        EXPECT_EQ(w.Frame1->pos(), c.expected) << c.dropAt.x();
    }
}

// The splitter is dragged with the mouse: it takes the mouse as the button goes down, so the
// release comes to it wherever it happens (over the text pane, a viewer, the list), and the
// drop point in the window moves it by the same rule.
TEST_F(DisplayTest, SplitterIsDraggedWithTheMouse) {
    auto& w = open(QString::fromStdString(library));
    click("Alpha");
    click("Story");
    const auto mouse = [&w](QEvent::Type type, QPoint inWindow) {
        QMouseEvent event(type, QPointF(w.CommResize->mapFrom(&w, inWindow)), QPointF(w.mapToGlobal(inWindow)),
                          Qt::LeftButton, type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                          Qt::NoModifier);
        QApplication::sendEvent(w.CommResize, &event);
    };
    for (const int by : {60, -30, 300}) {
        const int tree = w.tvw1->width();
        const QPoint grab = w.CommResize->geometry().center();
        mouse(QEvent::MouseButtonPress, grab);
        mouse(QEvent::MouseButtonRelease, grab + QPoint(by, 0));
        EXPECT_EQ(w.tvw1->width(), tree + by) << by;
        EXPECT_EQ(w.rt1->parentWidget()->x(), w.CommResize->x() + w.CommResize->width()) << by;
    }
}

TEST_F(DisplayTest, NarrowingTheWindowKeepsTheSplitterInReach) {
    auto& w = open(QString::fromStdString(library));
    w.startSplitterDrag(0);
    w.dropSplitter(w.CommResize->x() + 500);
    ASSERT_GT(w.tvw1->width(), 600);
    w.resize(400, 500);
    EXPECT_LT(w.CommResize->x(), w.width());
    EXPECT_LE(w.tvw1->width() + w.tvw1->x(), w.width() - int(w.comResizeMinWidth()));
    w.resize(80, 500);
    EXPECT_EQ(w.tvw1->width(), browser::MainWindow::kMinTreeWidth);
}

TEST_F(DisplayTest, MinimizedWindowIsLaidOutOnRestore) {
    auto& w = open(QString::fromStdString(library));
    w.setWindowState(Qt::WindowMinimized);
    const int treeHeight = w.tvw1->height();
    w.resize(w.width(), w.height() + 100);
    EXPECT_EQ(w.tvw1->height(), treeHeight);
    w.setWindowState(Qt::WindowNoState);
    EXPECT_EQ(w.tvw1->height(), treeHeight + 100);
    EXPECT_EQ(w.StatusBar1->geometry().bottom(), w.height() - 1);
}

TEST_F(DisplayTest, UserManualTakesTheViewerArea) {
    auto& w = open(QString::fromStdString(library));
    click("Alpha");
    click("Red");
    testing_support::writeFile(home.file("VYNEBrowser_UserManual.html"), "<h1>Manual</h1>");
    w.showUserManual();
    EXPECT_FALSE(w.Picture1->isVisible());
    EXPECT_TRUE(w.WebBrowser1->widget()->isVisible());
}

}  // namespace

// The font button chooses the font and the text colour together; the colour button the back
// colour. Both are kept with the settings; a cancelled dialog changes nothing.
TEST_F(DisplayTest, FontAndColourButtonsStyleTheTextAndAreKept) {
    auto& w = open(QString::fromStdString(library));
    click("Alpha");
    click("Story");
    QFont chosen = w.rt1->font();
    chosen.setPointSize(23);
    chosen.setBold(true);
    std::optional<platform::FontChoice> fontAnswer = platform::FontChoice{chosen, QColor(10, 20, 200)};
    std::optional<QColor> colourAnswer = QColor(250, 240, 200);
    QColor offeredColour;
    platform::dialogAnswers().font = [&](const QString& title, const platform::FontChoice& initial) {
        EXPECT_EQ(title, "Please Select Font");
        offeredColour = initial.colour;
        return fontAnswer;
    };
    platform::dialogAnswers().colour = [&](const QString& title, const QColor&) {
        EXPECT_EQ(title, "Please Select Back Color");
        return colourAnswer;
    };
    const QColor textColour = w.rt1->palette().color(QPalette::Text);
    w.Command2->click();
    w.Command3->click();
    EXPECT_EQ(offeredColour, textColour) << "the dialog starts from the text colour";
    EXPECT_EQ(w.rt1->font().pointSize(), 23);
    EXPECT_TRUE(w.rt1->font().bold());
    EXPECT_EQ(w.rt1->palette().color(QPalette::Text), QColor(10, 20, 200));
    EXPECT_EQ(w.rt1->palette().color(QPalette::Base), QColor(250, 240, 200));
    EXPECT_EQ(w.Picture3->palette().color(QPalette::Window), QColor(250, 240, 200));

    fontAnswer.reset();
    colourAnswer.reset();
    w.Command2->click();
    w.Command3->click();
    EXPECT_EQ(w.rt1->font().pointSize(), 23);
    EXPECT_EQ(w.rt1->palette().color(QPalette::Text), QColor(10, 20, 200));
    EXPECT_EQ(w.rt1->palette().color(QPalette::Base), QColor(250, 240, 200));

    w.close();
    const browser::BrowserSettings kept = settings->load();
    EXPECT_EQ(kept.textFont.size, 23);
    EXPECT_TRUE(kept.textFont.bold);
    EXPECT_EQ(platform::colourFromRgb(kept.textForeColour), QColor(10, 20, 200));
    EXPECT_EQ(platform::colourFromRgb(kept.textBackColour), QColor(250, 240, 200));
}
