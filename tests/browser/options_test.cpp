// The options dialog on its own and as the main window's "Options" menu item runs it.
#include "window_fixture.h"

#include "platform/colour.h"

#include <QAbstractButton>
#include <QAction>
#include <QButtonGroup>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeWidget>

using namespace browser_test;
using settings::FormBroserParam;

namespace {

void choose(QButtonGroup* group, int id) { group->button(id)->click(); }

}  // namespace

TEST(OptionsFields, NumbersAreReadLikeAFormFieldAndBadLengthsFallBack) {
    struct Case {
        const char *minutes, *seconds, *interval;
        double segTimeLen, restTimeLen;
        int showTime;
    };
    const Case cases[] = {
        {"45", "600", "10", 2700, 600, 10},
        {" 12 min", "30s", "2.6", 720, 30, 3},
        {"abc", "", "-3", 2400, 360, 0},        // no number: the defaults; a negative interval is off
        {"0", "0", "abc", 2400, 360, 0},        // 0 would call for a rest at every tick
        {"-5", "-1", "1e9", 2400, 360, 86400},  // the interval is at most a day
        {"1.5", "1e400", "0.4", 90, 360, 0},    // a length that is no finite number: the default
    };
    for (const Case& c : cases) {
        FormBroserParam dialog({});
        dialog.segTimeText->setText(c.minutes);
        dialog.restTimeText->setText(c.seconds);
        dialog.showTimeText->setText(c.interval);
        dialog.saveButton->click();
        EXPECT_EQ(dialog.values().segTimeLen, c.segTimeLen) << c.minutes;
        EXPECT_EQ(dialog.values().restTimeLen, c.restTimeLen) << c.seconds;
        EXPECT_EQ(dialog.values().backPicShowTime, c.showTime) << c.interval;
    }
}

TEST(OptionsFields, OpensOnTheOptionsTabAndTabsRefillFromTheValues) {
    settings::OptionValues values;
    values.explainMode = 0;
    values.iconType = 2;
    values.iconSize = 32;
    values.segTimeLen = 2700;
    values.restTimeLen = 600;
    values.backPicShowTime = 7;
    values.backPicStretch = true;
    values.readedColour = 255;
    FormBroserParam dialog(values);
    EXPECT_EQ(dialog.windowTitle(), "Options");
    EXPECT_EQ(dialog.objectName(), "FormBroserParam");
    ASSERT_EQ(dialog.SSTab1->currentIndex(), 2);
    EXPECT_EQ(dialog.segTimeText->text(), "45");
    EXPECT_EQ(dialog.restTimeText->text(), "600");
    EXPECT_EQ(dialog.showTimeText->text(), "7");
    EXPECT_EQ(dialog.explainModeGroup->checkedButton()->text(), "No");
    EXPECT_EQ(dialog.iconTypeGroup->checkedButton()->text(), "Interal and Icon File");
    EXPECT_EQ(dialog.iconSizeGroup->checkedButton()->text(), "32");
    EXPECT_EQ(dialog.stretchGroup->checkedButton()->text(), "Yes");

    // Typed but not saved: selecting the tab again shows the values.
    dialog.segTimeText->setText("99");
    dialog.SSTab1->setCurrentIndex(1);
    EXPECT_EQ(dialog.colourSwatches[7]->palette().color(QPalette::Window), QColor(255, 0, 0));
    dialog.SSTab1->setCurrentIndex(2);
    EXPECT_EQ(dialog.segTimeText->text(), "45");
    EXPECT_EQ(dialog.values().segTimeLen, 2700);
}

class OptionsTest : public WindowTest {
protected:
    // The window on the library; "Options" runs the dialog through drive instead of waiting.
    browser::MainWindow& openWith(std::shared_ptr<browser::SettingsStore> store) {
        browser::MainWindowSeams seams;
        seams.makeViewer = fakeViewers;
        seams.settings = std::move(store);
        seams.runOptionsDialog = [this](FormBroserParam& dialog) {
            ++dialogsRun;
            if (drive) drive(dialog);
        };
        window = std::make_unique<browser::MainWindow>(std::move(seams));
        window->resize(1000, 700);
        window->show();
        window->loadWindow(QString::fromStdString(library));
        return *window;
    }

    void runOptions(std::function<void(FormBroserParam&)> driver) {
        drive = std::move(driver);
        window->findChild<QAction*>("menu_设置参数")->trigger();
    }

    std::string writePicture(const std::string& name) {
        QImage image(40, 30, QImage::Format_RGB32);
        image.fill(Qt::green);
        const std::string file = dir.file(name);
        image.save(QString::fromStdString(file), "JPG");
        return file;
    }

    std::function<void(FormBroserParam&)> drive;
    int dialogsRun = 0;
};

TEST_F(OptionsTest, TheDialogShowsTheLiveValuesAndSaveAppliesAndKeepsThem) {
    browser::BrowserSettings initial;
    initial.explainMode = 1;
    initial.currIconSize = 16;
    initial.textWinBackPicFile = "/no/such/folder";
    initial.textWinBackPicShowTime = 5;
    auto store = std::make_shared<browser::MemorySettingsStore>(initial);
    browser::MainWindow& w = openWith(store);
    w.restControl().segTimeLen = 1800;

    runOptions([](FormBroserParam& dialog) {
        EXPECT_EQ(dialog.segTimeText->text(), "30");
        EXPECT_EQ(dialog.restTimeText->text(), "360");
        EXPECT_EQ(dialog.explainModeGroup->checkedButton()->text(), "Simple");
        EXPECT_EQ(dialog.backPicText->text(), "/no/such/folder");
        EXPECT_EQ(dialog.showTimeText->text(), "5");
        dialog.segTimeText->setText("45");
        dialog.restTimeText->setText("600");
        choose(dialog.explainModeGroup, 1);  // "detail"
        choose(dialog.iconTypeGroup, 0);
        choose(dialog.iconSizeGroup, 2);  // 48
        choose(dialog.stretchGroup, 0);
        dialog.saveButton->click();
    });
    ASSERT_EQ(dialogsRun, 1);
    EXPECT_EQ(w.restControl().segTimeLen, 2700);
    EXPECT_EQ(w.restControl().restTimeLen, 600);
    EXPECT_EQ(w.tvw1->iconSize(), QSize(48, 48));
    EXPECT_TRUE(w.textBackPicture().isNull()) << "a missing folder draws nothing";

    const browser::BrowserSettings saved = store->load();
    EXPECT_EQ(saved.explainMode, 2);
    EXPECT_EQ(saved.currIconType, 1);
    EXPECT_EQ(saved.currIconSize, 48);
    EXPECT_TRUE(saved.textWinBackPicStretch);
    EXPECT_EQ(saved.textWinBackPicFile, "/no/such/folder");
    EXPECT_EQ(store->restValues().values.at("segTimeLen"), "2700");
    EXPECT_EQ(store->restValues().values.at("restTimeLen"), "600");

    // Reopened, the dialog shows what was saved.
    runOptions([](FormBroserParam& dialog) {
        EXPECT_EQ(dialog.segTimeText->text(), "45");
        EXPECT_EQ(dialog.restTimeText->text(), "600");
        EXPECT_EQ(dialog.explainModeGroup->checkedButton()->text(), "detail");
    });
}

TEST_F(OptionsTest, ClosingWithoutSaveOrCancellingAPickerChangesNothing) {
    auto store = std::make_shared<browser::MemorySettingsStore>();
    browser::MainWindow& w = openWith(store);
    const QFont treeFont = w.tvw1->font();
    const QColor textBack = w.rt1->palette().color(QPalette::Base);
    platform::dialogAnswers().font = [](const QString&, const platform::FontChoice&) {
        return std::optional<platform::FontChoice>();
    };
    platform::dialogAnswers().colour = [](const QString&, const QColor&) { return std::optional<QColor>(); };
    const auto restValuesBefore = store->restValues().values;

    runOptions([](FormBroserParam& dialog) {
        dialog.segTimeText->setText("5");
        choose(dialog.iconSizeGroup, 1);
        dialog.fontButtons[0]->click();
        dialog.colourButtons[1]->click();
    });
    EXPECT_EQ(w.restControl().segTimeLen, settings::ModRestTime::kDefaultSegTimeLen);
    EXPECT_EQ(w.tvw1->iconSize(), QSize(16, 16));
    EXPECT_EQ(w.tvw1->font(), treeFont);
    EXPECT_EQ(w.rt1->palette().color(QPalette::Base), textBack);
    EXPECT_EQ(store->restValues().values, restValuesBefore) << "nothing was saved";
    EXPECT_EQ(store->load().treeLook.font.name, "");
}

TEST_F(OptionsTest, FontsAndColoursApplyAtOnceAndReachTheSettingsFile) {
    const std::string iniFile = dir.file("vyne.ini");
    browser::MainWindow& w = openWith(browser::makeIniSettingsStore(iniFile));
    QStringList titles;
    platform::dialogAnswers().font = [&titles](const QString& title, const platform::FontChoice& initial) {
        titles << title;
        platform::FontChoice choice = initial;
        choice.font.setPointSize(21);
        choice.font.setBold(true);
        choice.colour = QColor(0, 0, 255);
        return std::optional(choice);
    };
    platform::dialogAnswers().colour = [&titles](const QString& title, const QColor&) {
        titles << title;
        return std::optional(QColor(255, 0, 0));
    };

    runOptions([](FormBroserParam& dialog) {
        dialog.fontButtons[0]->click();    // "Book Lib TreeView"
        dialog.fontButtons[1]->click();    // "Primary Text View"
        dialog.colourButtons[7]->click();  // "Book Readed"
        dialog.colourButtons[3]->click();  // "Book ListView Back Color"
        dialog.fontButtons[2]->click();    // "Full Screen TxtView"
        dialog.colourButtons[2]->click();  // "FullScreen Text Back Color"
        EXPECT_EQ(dialog.fontSamples[0]->font().pointSize(), 21);
    });
    EXPECT_EQ(titles, QStringList({"书类列表区字体", "Primary TextBox Font", "Please Select Book Readed",
                                   "Please Select Book Lib TreeViw Back Color", "Full View TextBox Font",
                                   "Please Select Full View Text Back Color"}));
    EXPECT_EQ(w.settings().fullScreenTextFont.font.size, 21);
    EXPECT_EQ(w.settings().fullScreenTextFont.backColour, 255u);
    EXPECT_EQ(w.tvw1->font().pointSize(), 21);
    EXPECT_EQ(w.rt1->font().pointSize(), 21);
    EXPECT_EQ(w.rt1->palette().color(QPalette::Text), QColor(0, 0, 255));
    EXPECT_EQ(w.ListView1->palette().color(QPalette::Base), QColor(255, 0, 0));
    EXPECT_EQ(w.cbook.colours.readed, 255u);

    EXPECT_EQ(iniValue(iniFile, "TViewFontColor", "readedCOLOR"), "255");
    EXPECT_EQ(iniValue(iniFile, "TViewFontColor", "Size"), "21");
    EXPECT_EQ(iniValue(iniFile, "TViewFontColor", "Bold"), "True");
    EXPECT_EQ(iniValue(iniFile, "TViewFontColor", "ForeColor"), std::to_string(0xFF0000));
    EXPECT_EQ(iniValue(iniFile, "bookListViewFont", "backColor"), "255");
    EXPECT_EQ(iniValue(iniFile, "mainWinTextFont", "foreColor"), std::to_string(0xFF0000));
    EXPECT_EQ(iniValue(iniFile, "fullScreenTextFont", "backColor"), "255");
    EXPECT_EQ(iniValue(iniFile, "fullScreenTextFont", "size"), "21");

    // The next run takes the tree's and the list's looks from the file.
    window.reset();
    browser::MainWindow& again = openWith(browser::makeIniSettingsStore(iniFile));
    EXPECT_EQ(again.tvw1->font().pointSize(), 21);
    EXPECT_EQ(again.ListView1->palette().color(QPalette::Base), QColor(255, 0, 0));
}

TEST_F(OptionsTest, ABackPictureIsDrawnAtOnceAndAnIntervalOfZeroRemovesIt) {
    const std::string picture = writePicture("back.jpg");
    browser::MainWindow& w = openWith(std::make_shared<browser::MemorySettingsStore>());
    click("Alpha");
    click("Story");
    ASSERT_TRUE(w.textBackPicture().isNull());

    runOptions([&picture](FormBroserParam& dialog) {
        platform::dialogAnswers().openFile = [&picture](const QString& title, const QString& filter, const QString&) {
            EXPECT_EQ(title, "Please Select File of Back Picture For Full Screen View.");
            EXPECT_EQ(filter, "*.*");
            return QString::fromStdString(picture);
        };
        dialog.backPicFileButton->click();
        EXPECT_EQ(dialog.backPicText->text().toStdString(), picture);
        dialog.showTimeText->setText("3");
        dialog.saveButton->click();
    });
    EXPECT_FALSE(w.textBackPicture().isNull());
    EXPECT_EQ(w.settings().textWinBackPicShowTime, 3);

    runOptions([](FormBroserParam& dialog) {
        dialog.showTimeText->setText("0");
        dialog.saveButton->click();
    });
    EXPECT_TRUE(w.textBackPicture().isNull());
    EXPECT_EQ(w.settings().textWinBackPicShowTime, 0);
}

TEST_F(OptionsTest, ThePathButtonsTakeTheFolderOfTheChosenFile) {
    const std::string picture = writePicture("in_folder.jpg");
    openWith(std::make_shared<browser::MemorySettingsStore>());
    runOptions([&picture, this](FormBroserParam& dialog) {
        platform::dialogAnswers().openFile = [&picture](const QString&, const QString&, const QString&) {
            return QString::fromStdString(picture);
        };
        dialog.backPicPathButton->click();
        EXPECT_EQ(dialog.backPicText->text().toStdString(), dir.path());
        dialog.explainPathButton->click();
        EXPECT_EQ(dialog.explainPathText->text().toStdString(), dir.path());
        // Cancelled: the field keeps its text.
        platform::dialogAnswers().openFile = [](const QString&, const QString&, const QString&) { return QString(); };
        dialog.explainPathButton->click();
        EXPECT_EQ(dialog.explainPathText->text().toStdString(), dir.path());
    });
}

TEST_F(OptionsTest, NewNodeColoursRepaintTheTreeAndReadNodesStayRead) {
    browser::MainWindow& w = openWith(std::make_shared<browser::MemorySettingsStore>());
    click("Alpha");
    click("Story");
    w.markRead(true);
    const QColor yellow(255, 255, 0), cyan(0, 255, 255);
    platform::dialogAnswers().colour = [&](const QString& title, const QColor&) {
        return std::optional(title == "Please Select Book Primary type " ? yellow : cyan);
    };
    runOptions([](FormBroserParam& dialog) {
        dialog.colourButtons[4]->click();  // classes under the root
        dialog.colourButtons[6]->click();  // documents
    });
    EXPECT_EQ(node("Alpha")->foreground(0).color(), yellow);
    EXPECT_EQ(node("Beta")->foreground(0).color(), yellow);
    EXPECT_EQ(node("Empty")->foreground(0).color(), cyan);
    EXPECT_EQ(node("Inner")->foreground(0).color(), platform::colourFromRgb(w.cbook.colours.lx));
    EXPECT_EQ(node("Story")->foreground(0).color(), platform::colourFromRgb(w.cbook.colours.readed));
    EXPECT_EQ(w.cbook.colours.nr, platform::rgbFromColour(cyan));
}
