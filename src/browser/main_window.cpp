// The main window's controls and menus, its start-up and its shutdown.
#include "browser/main_window.h"

#include "browser/first_window_place.h"
#include "content_index/content_index.h"

#include "browser/picture_pane.h"
#include "pictures/picture_browser.h"
#include "platform/colour.h"
#include "platform/dialogs.h"
#include "platform/named_button.h"
#include "platform/password_dialogs.h"
#include "platform/pump.h"
#include "reader/form_book.h"
#include "settings/ui/ini_qt.h"
#include "util/app_path.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
#include <QFileInfo>
#include <QFrame>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QTextEdit>
#include <QTimer>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>

namespace browser {

MainWindow* gMainForm = nullptr;

namespace {

const char* const kSearchModes[] = {"Search Title", "Search Class", "Search TextDoc", "Search AllDoc"};

using platform::makeButton;

// A view's look as kept in the settings; what is not kept there is the view's own.
settings::ViewLook viewLookOf(const reader::ReaderLook& look, const QWidget& view) {
    settings::ViewLook result;
    result.font = settings::fontWith(view.font(), look.font);
    result.foreColour = look.foreColour.value_or(platform::rgbFromColour(view.palette().color(QPalette::Text)));
    result.backColour = look.backColour.value_or(platform::rgbFromColour(view.palette().color(QPalette::Base)));
    return result;
}

// The look as the settings keep it; the character set stays the one kept before.
reader::ReaderLook readerLookOf(const settings::ViewLook& look, const reader::ReaderLook& before) {
    return {settings::iniFontOf(look.font, before.font.charset), look.backColour, look.foreColour};
}

void applyViewLook(QWidget* view, const reader::ReaderLook& look) {
    const settings::ViewLook applied = viewLookOf(look, *view);
    view->setFont(applied.font);
    QPalette palette = view->palette();
    palette.setColor(QPalette::Text, platform::colourFromRgb(applied.foreColour));
    palette.setColor(QPalette::Base, platform::colourFromRgb(applied.backColour));
    view->setPalette(palette);
}

// After a change of the node colours every node keeps what its colour said: a read node stays
// read, a class or document takes its kind's new colour.
void recolourNodes(QTreeWidget* tree, const store::TreeColours& before, const store::TreeColours& now) {
    for (QTreeWidgetItemIterator it(tree); *it; ++it) {
        QTreeWidgetItem* item = *it;
        const uint32_t shown = platform::rgbFromColour(item->foreground(0).color());
        // Classes at the top (the library and the classes right below it) have their own colour.
        const bool topClass = !item->parent() || platform::idOf(item->parent()) == 1;
        const auto kind = platform::tagOf(item) == "nr" ? &store::TreeColours::nr
                          : topClass                     ? &store::TreeColours::zlx
                                                         : &store::TreeColours::lx;
        if (shown == before.readed)
            item->setForeground(0, platform::colourFromRgb(now.readed));
        else if (shown == before.*kind)
            item->setForeground(0, platform::colourFromRgb(now.*kind));
    }
}

QTreeWidget* makeReportList(QWidget* parent, const char* name, const QStringList& columns) {
    auto* list = new QTreeWidget(parent);
    list->setObjectName(name);
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setAllColumnsShowFocus(true);
    list->setColumnCount(int(columns.size()));
    list->setHeaderLabels(columns);
    list->header()->setSectionsClickable(true);
    return list;
}

}  // namespace

MainWindow::MainWindow(MainWindowSeams seams, QWidget* parent)
    : QWidget(parent),
      seams_(std::move(seams)),
      tree_(nullptr, &icons16_),
      list1_(nullptr, &icons16_),
      list2_(nullptr, &icons16_) {
    setObjectName("MainWindow");
    setWindowTitle("VYNE Browser");
    if (!seams_.settings) seams_.settings = std::make_shared<MemorySettingsStore>();
    restControl_ = std::make_unique<settings::ModRestTime>(
        seams_.settings->restValues(),
        settings::ModRestTime::Seams{seams_.restNow,
                                     [this](settings::ModRestTime& control) { return seams_.showRestWindow(control, this); }});
    buildControls();
    routeWheels();
    tree_ = platform::QtTreeControl(tvw1, &icons16_);
    list1_ = platform::QtListControl(ListView1, &icons16_);
    list2_ = platform::QtListControl(ListView2, &icons16_);
    buildMenus();
    connectStore();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        setGeometry(firstWindowPlace(screen->availableGeometry()));
}

void MainWindow::connectStore() {
    cbook.events.showMsg = [this](int32_t& owner, const std::string& message, bool& answer) {
        if (owner != cbook.ihwnd()) return;
        showStatus(QString::fromStdString(message), 0);
        answer = true;
    };
    cbook.events.changeSelectID = [this](store::TreeControl& tree, std::string& key, bool& answer) {
        if (&tree != &tree_) return;
        QTreeWidgetItem* item = tree_.item(QString::fromStdString(key));
        if (!item) return;
        selectAndShow(item);
        answer = true;
    };
    cbook.seams.askYesNo = [this](const std::string& question) {
        return platform::askQuestion(this, windowTitle(), QString::fromStdString(question));
    };
    cbook.seams.beep = [] { QApplication::beep(); };

    cbook.passwordPrompts = platform::passwordPrompts(this);
}

MainWindow::~MainWindow() {
    shutdown();
    if (gMainForm == this) gMainForm = nullptr;
}

void MainWindow::buildControls() {
    Command1 = makeButton(this, "Command1", tr("&Open"), "Select a book lib to browse. ",
                          style()->standardIcon(QStyle::SP_DialogOpenButton));
    Combo1 = new QComboBox(this);
    Combo1->setObjectName("Combo1");
    Combo1->setToolTip(tr("Libraries opened before"));
    Command2 = makeButton(this, "Command2", tr("Font"), "Select font for text show.");
    Command3 = makeButton(this, "Command3", tr("Colour"), "Select back color for text show.");
    Command4 = makeButton(this, "Command4", "Full Screen", "Full Screen Browsing");
    Command5 = makeButton(this, "Command5", QString(), "Go previous document.", style()->standardIcon(QStyle::SP_ArrowBack));
    Command6 = makeButton(this, "Command6", QString(), "Go next document.", style()->standardIcon(QStyle::SP_ArrowForward));
    Text1 = new QLineEdit(this);
    Text1->setObjectName("Text1");
    Text1->setToolTip("Input key word here when you do search.");
    Combo4 = new QComboBox(this);
    Combo4->setObjectName("Combo4");
    Combo4->setToolTip("search key word in left text box.");

    tvw1 = new QTreeWidget(this);
    tvw1->setObjectName("tvw1");
    tvw1->resize(kDefaultTreeWidth, 400);
    tvw1->setHeaderHidden(true);
    tvw1->setIndentation(16);
    tvw1->setUniformRowHeights(true);
    tvw1->setExpandsOnDoubleClick(false);  // onTreeDoubleClick folds and unfolds
    tvw1->setContextMenuPolicy(Qt::PreventContextMenu);
    tvw1->installEventFilter(this);
    tvw1->viewport()->installEventFilter(this);

    CommResize = new QFrame(this);
    CommResize->setObjectName("CommResize");
    CommResize->setFrameShape(QFrame::VLine);
    CommResize->setCursor(Qt::SizeHorCursor);
    CommResize->installEventFilter(this);

    Picture2 = new QWidget(this);
    Picture2->setObjectName("Picture2");
    Picture2->hide();

    Picture3 = new QWidget(this);
    Picture3->setObjectName("Picture3");
    Picture3->setAutoFillBackground(true);
    rt1 = new QPlainTextEdit(Picture3);
    rt1->setObjectName("rt1");
    rt1->setReadOnly(true);
    rt1->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    rt1->viewport()->installEventFilter(this);
    auto* paneLayout = new QVBoxLayout(Picture3);
    paneLayout->setContentsMargins(0, 0, 0, 0);
    paneLayout->addWidget(rt1);
    // The text pane's background picture is painted here, behind rt1.
    Picture3->installEventFilter(this);

    Picture1 = new PicturePane(this);
    Picture1->setObjectName("Picture1");
    Picture1->onMenu = [this](const QPoint& at) { tmenu->popup(at); };
    Picture1->onDropped = [this] { layoutPicture(); };
    Picture1->onDoubleClick = [this] { openPictureBrowser(); };
    Picture1->onDragged = [this](const QPoint& moved) { placePicture(Picture1->pos() + Picture1->origin() + moved); };
    Picture1->installEventFilter(this);

    ListView1 = makeReportList(this, "ListView1", {"Title", "Size(K)", "Doc Type", "date"});
    const char* const tags[] = {"str", "num", "str", "date"};
    for (int i = 0; i < 4; ++i) ListView1->headerItem()->setData(i, platform::kTagRole, QString(tags[i]));
    ListView1->setColumnWidth(0, 320);
    ListView2 = makeReportList(this, "ListView2", {"Title Found", "Parent Book Class"});

    Frame1 = new QGroupBox("Explain", this);
    Frame1->setObjectName("Frame1");
    Text2 = new QTextEdit(Frame1);
    Text2->setObjectName("Text2");
    Text2->setReadOnly(true);
    auto* explainLayout = new QVBoxLayout(Frame1);
    explainLayout->addWidget(Text2);
    Frame1->resize(300, 160);
    Frame1->installEventFilter(this);
    Frame3 = new QFrame(this);
    Frame3->setObjectName("Frame3");
    Frame3->setFrameShape(QFrame::Box);
    Frame3->setLineWidth(2);
    Frame3->hide();
    Frame3->installEventFilter(this);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName("StatusBar1");
    StatusBar1->setSizeGripEnabled(false);
    for (int i = 0; i < 3; ++i) {
        auto* panel = new QLabel(StatusBar1);
        panel->setObjectName(QString("StatusBar1Panel%1").arg(i + 1));
        panel->setTextInteractionFlags(Qt::TextSelectableByMouse);
        StatusBar1->addWidget(panel, i == 0 ? 1 : 0);
        panels_.push_back(panel);
    }

    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setInterval(1000);

    indexer_ = new ContentIndexer(this);
    connect(indexer_, &ContentIndexer::progress, this,
            [this](int percent) { showStatus("Indexing contents: " + QString::number(percent) + "%", 4); });
    connect(indexer_, &ContentIndexer::ready, this, [this](std::shared_ptr<cindex::ContentIndex> index) {
        contentIndex_ = std::move(index);
        cindex::attach(cbook, contentIndex_);
        showStatus("Contents indexed.", 4);
    });
    connect(indexer_, &ContentIndexer::failed, this,
            [this] { showStatus("Contents could not be indexed: searches read every document.", 4); });

    connect(Command1, &QPushButton::clicked, this, &MainWindow::command1Click);
    connect(Command2, &QPushButton::clicked, this, &MainWindow::chooseTextFont);
    connect(Command3, &QPushButton::clicked, this, &MainWindow::chooseTextBackColour);
    connect(Command4, &QPushButton::clicked, this, &MainWindow::fullScreenShow);
    connect(Command5, &QPushButton::clicked, this, [this] { goNextPrevDoc(0); });
    connect(Command6, &QPushButton::clicked, this, [this] { goNextPrevDoc(1); });
    connect(Combo1, &QComboBox::activated, this, [this](int index) {
        if (index >= 0 && size_t(index) < settings_.history.size())
            openBookLib(QString::fromStdString(settings_.history[size_t(index)]));
    });
    connect(Combo4, &QComboBox::activated, this, [this] { runSearch(); });
    connect(Text1, &QLineEdit::returnPressed, this, &MainWindow::runSearch);
    connect(tvw1, &QTreeWidget::itemClicked, this, &MainWindow::onTreeClick);
    connect(tvw1, &QTreeWidget::itemDoubleClicked, this, &MainWindow::onTreeDoubleClick);
    connect(tvw1, &QTreeWidget::itemExpanded, this, &MainWindow::onTreeItemExpanded);
    connect(ListView1, &QTreeWidget::itemClicked, this, &MainWindow::onListView1Click);
    connect(ListView1, &QTreeWidget::itemDoubleClicked, this, &MainWindow::onListView1DoubleClick);
    connect(ListView1->header(), &QHeaderView::sectionClicked, this, &MainWindow::sortListView);
    connect(ListView2, &QTreeWidget::itemDoubleClicked, this, &MainWindow::onListView2DoubleClick);
    ListView1->installEventFilter(this);
    ListView2->installEventFilter(this);
    connect(Timer1, &QTimer::timeout, this, &MainWindow::readingTimeTick);
    connect(Timer1, &QTimer::timeout, this, &MainWindow::backPicTick);
}

QAction* MainWindow::addMenuItem(QMenu* menu, const QString& caption, const QString& name,
                                 const QKeySequence& keys, std::function<void()> act) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    if (!keys.isEmpty()) {
        action->setShortcut(keys);
        // The shortcuts belong to the tree: they act while it has the focus.
        action->setShortcutContext(Qt::WidgetShortcut);
        tvw1->addAction(action);
    }
    connect(action, &QAction::triggered, this, [act = std::move(act)] { act(); });
    return action;
}

void MainWindow::buildMenus() {
    pmenu = new QMenu("pmenu", this);
    pmenu->setObjectName("pmenu");
    addMenuItem(pmenu, "Go Parent Node", "menu_去上级目录", QKeySequence("Ctrl+S"), [this] { goParentNode(); });
    addMenuItem(pmenu, "Go Parent Next", "menu_去下一目录", QKeySequence("Ctrl+X"), [this] { goParentNext(); });
    addMenuItem(pmenu, "Mark Me Readed", "menu_标为已读", QKeySequence("Ctrl+R"), [this] { markRead(true); });
    addMenuItem(pmenu, "Mark Me Not Readed", "menu_标为未读", QKeySequence("Ctrl+T"), [this] { markRead(false); });
    addMenuItem(pmenu, "Refresh Selected Node", "menu_刷新节点", QKeySequence("Ctrl+U"),
                [this] { refreshSelectedNode(); });
    addMenuItem(pmenu, "Full Screen Show", "menu_全屏幕浏览", QKeySequence("Ctrl+F"), [this] { fullScreenShow(); });
    addMenuItem(pmenu, "Open Me With OS ", "menu_用notepad打开", QKeySequence("Ctrl+W"), [this] { openWithOS(); });
    addMenuItem(pmenu, "List Selected Class", "menu_列表选定类型tvw1", {}, [this] { listSelectedClass(); });
    pmenu->addSeparator()->setObjectName("menu_dsf89sd8fg9");
    addMenuItem(pmenu, "Change Library Password", "menu_更改书库口令", QKeySequence("Ctrl+L"),
                [this] { changeLibraryPassword(); });
    addMenuItem(pmenu, "Change Class Passwd", "menu_更改当前书类口令", QKeySequence("Ctrl+P"),
                [this] { changeClassPassword(); });
    addMenuItem(pmenu, "Open A Book Lib", "menu_打开书库文件", QKeySequence("Ctrl+O"), [this] { command1Click(); });
    QMenu* select = pmenu->addMenu("Select Book Lib");
    select->setObjectName("menu_选择书库文件");
    QMenu* lists = pmenu->addMenu("Show ListView");
    lists->setObjectName("menu_showListview");
    addMenuItem(lists, "Show Book Doc ListView", "menu_showBookListView", QKeySequence("Ctrl+Ins"),
                [this] { showBookListView(); });
    addMenuItem(lists, "Show Search Doc ListView", "menu_showSearchListView", QKeySequence("Shift+Ins"),
                [this] { showSearchListView(); });
    addMenuItem(pmenu, "Roll Back Selection", "menu_undo1", QKeySequence("Ctrl+Z"), [this] { rollBackSelection(); });
    addMenuItem(pmenu, "User Manual", "menu_usermanual", {}, [this] { showUserManual(); });
    addMenuItem(pmenu, "Options", "menu_设置参数", {}, [this] { showOptions(); });
    addMenuItem(pmenu, "&Quit", "menu_QuitAll", {}, [this] { close(); });
    QMenu* iconSizes = pmenu->addMenu("图标大小");
    iconSizes->setObjectName("menu_图标大小zz");
    iconSizes->menuAction()->setVisible(false);
    addMenuItem(iconSizes, "小号", "menu_小号", {}, [this] { applyIconSize(16); });
    addMenuItem(iconSizes, "中号", "menu_中号", {}, [this] { applyIconSize(32); });
    addMenuItem(iconSizes, "大号", "menu_大号", {}, [this] { applyIconSize(48); });

    tmenu = new QMenu("tmenu", this);
    tmenu->setObjectName("tmenu");
    QAction* ownSize = addMenuItem(tmenu, "Picture Original Size", "menu_图像扩展", {}, [] {});
    ownSize->setCheckable(true);
    connect(ownSize, &QAction::toggled, this, [this](bool on) {
        pictureOwnSize_ = on;
        Picture1->setOwnSize(on);
        if (Picture1->isVisible()) layoutPicture();
    });
    addMenuItem(tmenu, "Show Pic in Full Screen", "menu_全屏浏览", {}, [this] { openPictureBrowser(); });
}

void MainWindow::loadWindow(const QString& commandLine) {
    Timer1->stop();
    gMainForm = this;
    {
        const auto gathered = seams_.settings->gatherWrites();
        restControl_->startRestControl();
    }
    settings_ = seams_.settings->load();
    myDBName_ = QString::fromStdString(resolveLibPath(settings_.myDBName));
    applySettings();
    Frame1->hide();
    Combo4->clear();
    for (const char* mode : kSearchModes) Combo4->addItem(mode);
    Combo4->setCurrentIndex(0);
    createViewers();
    hideViewers();
    fillHistoryCombo();
    buildHistoryMenu();
    applyIconSize(settings_.currIconSize);

    const QString named = commandLine.trimmed();
    if (!named.isEmpty() && store::ctreebook::isVYNEFile(named.toStdString())) {
        if (openBookLib(named)) buildHistoryMenu();
    } else if (!myDBName_.isEmpty()) {
        if (store::ctreebook::isVYNEFile(myDBName_.toStdString()))
            showLibrary();
        else
            showStatus("File " + myDBName_ + " isn't a book lib!, can't load in.", 99);
    }
    Timer1->start();
    explainModule.openDictionary(settings_.explainPath);
    explainTips.createToolTip(this, true);
    layoutWindow();
    // Nothing modal before the window is up with its title and library: the notes wait for
    // the event loop, which draws the window first.
    if (!missingViewerNotes_.empty())
        QMetaObject::invokeMethod(this, [this] { showMissingViewerNotes(); }, Qt::QueuedConnection);
}

void MainWindow::applySettings() {
    cbook.colours = settings_.colours;
    applyViewLook(tvw1, settings_.treeLook);
    // The indentation is kept in twips, as the Windows program kept it.
    if (const int indent = settings_.treeIndentation / settings::twipsPerPixel(*this); indent >= 1 && indent <= 200)
        tvw1->setIndentation(indent);
    applyViewLook(ListView1, settings_.listLook);
    rt1->setFont(settings::fontWith(rt1->font(), settings_.textFont));
    applyTextColours();
}

void MainWindow::applyTextColours() {
    QPalette palette = rt1->palette();
    palette.setColor(QPalette::Base, platform::colourFromRgb(settings_.textBackColour));
    palette.setColor(QPalette::Text, platform::colourFromRgb(settings_.textForeColour));
    rt1->setPalette(palette);
    matchPaneToTextBack();
}

void MainWindow::matchPaneToTextBack() {
    QPalette back = Picture3->palette();
    back.setColor(QPalette::Window, rt1->palette().color(QPalette::Base));
    Picture3->setPalette(back);
}

void MainWindow::windowActivated() {
    showListForSelection();
    redrawFixedBackPic();
    matchPaneToTextBack();
}

void MainWindow::showListForSelection() {
    QTreeWidgetItem* node = selectedNode();
    if (!node) return;
    const int32_t id = platform::idOf(node);
    const bool isClass = cbook.isPath(id);
    const QList<QWidget*> panes = paneList();
    // A document, a picture or the search results on show are never covered by the list, and
    // the list comes back only with the rows of the selected class (not, say, those of the
    // class listed before a refused password).
    const bool otherShown =
        std::any_of(panes.begin(), panes.end(), [this](QWidget* pane) { return pane != ListView1 && pane->isVisible(); });
    if (isClass && !otherShown && listedClassId() == id) {
        ListView1->show();
        ListView1->raise();
    } else if (!isClass && otherShown) {
        ListView1->hide();
    }
}

void MainWindow::collectSettings() {
    restControl_->saveRestSettings();
    settings_.myDBName = myDBName_.toStdString();
    settings_.colours = cbook.colours;
    settings_.treeIndentation = tvw1->indentation() * settings::twipsPerPixel(*this);
    settings_.textFont = settings::iniFontOf(rt1->font(), settings_.textFont.charset);
    settings_.textBackColour = platform::rgbFromColour(rt1->palette().color(QPalette::Base));
    settings_.textForeColour = platform::rgbFromColour(rt1->palette().color(QPalette::Text));
    if (formBook_) settings_.fullScreenTextFont = formBook_->look();
    rememberReadingPosition();
}

void MainWindow::saveSettingsNow() {
    // The reading-time values and the rest reach the file in one replacement.
    const auto gathered = seams_.settings->gatherWrites();
    collectSettings();
    storeSettings();
}

void MainWindow::storeSettings() {
    // Entries whose files are gone are dropped as the history is written.
    const size_t before = settings_.history.size();
    std::erase_if(settings_.history, [this](const std::string& name) { return !filePath.fileExist(name); });
    if (settings_.history.size() != before) {
        fillHistoryCombo();
        buildHistoryMenu();
    }
    if (seams_.settings->save(settings_) || settingsUnsaved_) return;
    settingsUnsaved_ = true;
    showStatus("The settings cannot be saved: the settings file or its folder cannot be written.", 1);
}

void MainWindow::showOptions() {
    settings::FormBroserParam dialog(optionValues(), this);
    connect(&dialog, &settings::FormBroserParam::looksChanged, this, [this, &dialog] { applyLooks(dialog.values()); });
    connect(&dialog, &settings::FormBroserParam::saved, this, [this, &dialog] { applyOptions(dialog.values()); });
    seams_.runOptionsDialog(dialog);
}

settings::OptionValues MainWindow::optionValues() const {
    settings::OptionValues v;
    v.tree = viewLookOf(settings_.treeLook, *tvw1);
    v.list = viewLookOf(settings_.listLook, *ListView1);
    v.mainText = {rt1->font(), settings_.textForeColour, settings_.textBackColour};
    v.fullScreen = viewLookOf(formBook_ ? formBook_->look() : settings_.fullScreenTextFont,
                              formBook_ ? static_cast<const QWidget&>(*formBook_->rt1) : *rt1);
    v.zlxColour = cbook.colours.zlx;
    v.lxColour = cbook.colours.lx;
    v.nrColour = cbook.colours.nr;
    v.readedColour = cbook.colours.readed;
    v.explainMode = settings_.explainMode;
    v.explainPath = QString::fromStdString(settings_.explainPath);
    v.iconType = settings_.currIconType;
    v.iconSize = settings_.currIconSize;
    v.backPicFile = QString::fromStdString(settings_.textWinBackPicFile);
    v.backPicStretch = settings_.textWinBackPicStretch;
    v.backPicShowTime = settings_.textWinBackPicShowTime;
    v.segTimeLen = restControl_->segTimeLen;
    v.restTimeLen = restControl_->restTimeLen;
    return v;
}

void MainWindow::applyLooks(const settings::OptionValues& v) {
    settings_.treeLook = readerLookOf(v.tree, settings_.treeLook);
    settings_.listLook = readerLookOf(v.list, settings_.listLook);
    applyViewLook(tvw1, settings_.treeLook);
    applyViewLook(ListView1, settings_.listLook);
    rt1->setFont(v.mainText.font);
    settings_.textForeColour = v.mainText.foreColour;
    settings_.textBackColour = v.mainText.backColour;
    applyTextColours();
    settings_.fullScreenTextFont = readerLookOf(v.fullScreen, settings_.fullScreenTextFont);
    // An open reader takes the new look at once.
    if (formBook_) formBook_->setLook(settings_.fullScreenTextFont);
    const store::TreeColours nodeColours{v.zlxColour, v.lxColour, v.nrColour, v.readedColour};
    recolourNodes(tvw1, cbook.colours, nodeColours);
    cbook.colours = nodeColours;
    saveSettingsNow();
}

void MainWindow::applyOptions(const settings::OptionValues& v) {
    settings_.explainMode = v.explainMode;
    if (settings_.explainMode == aids::kExplainOff) Frame1->hide();
    if (v.explainPath.toStdString() != settings_.explainPath) {
        settings_.explainPath = v.explainPath.toStdString();
        explainModule.closeDictionary();
        explainModule.openDictionary(settings_.explainPath);
    }
    settings_.currIconType = v.iconType;
    if (v.iconSize != settings_.currIconSize) applyIconSize(v.iconSize);
    // The running segment keeps its end; the next one has the new length.
    restControl_->segTimeLen = v.segTimeLen;
    restControl_->restTimeLen = v.restTimeLen;
    settings_.textWinBackPicStretch = v.backPicStretch;
    const std::string source = v.backPicFile.toStdString();
    if (source != settings_.textWinBackPicFile || v.backPicShowTime != settings_.textWinBackPicShowTime) {
        settings_.textWinBackPicFile = source;
        settings_.textWinBackPicShowTime = v.backPicShowTime;
        backPicFolder_.clear();
        backPicList_.clear();
        backPicIndex_ = 0;
        if (v.backPicShowTime >= 1 && QFileInfo::exists(v.backPicFile)) drawTextBackPic(v.backPicFile, 1);
    }
    if (v.backPicShowTime == 0) clearBackPic();
    saveSettingsNow();
}

void MainWindow::shutdown() {
    if (shutDown_) return;
    shutDown_ = true;
    Timer1->stop();
    // The reader and the picture browser go with the main window; a running scroll or show ends.
    if (formBook_) formBook_->close();
    if (pictureBrowser_) pictureBrowser_->close();
    saveSettingsNow();
    removeViewers();
    filePath.clearTmpPath();
    forgetContentIndex();
    cbook.closeDB();
    explainModule.closeDictionary();
    explainTips.destroyToolTips();
}

void MainWindow::readingTimeTick() {
    restControl_->checkRestTime();
    if (!isVisible() || !isEnabled()) return;
    showStatus(QString::fromStdString(restControl_->todayReadingText() + "/" + restControl_->sessionReadingText()), 2);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    shutdown();
    event->accept();
}

void MainWindow::showStatus(const QString& text, int kind) {
    if (kind == 99) {
        platform::showMessage(this, "Note", text, platform::MessageIcon::Information);
        return;
    }
    const int panel = kind < 2 ? 1 : kind;
    while (panels_.size() < panel) {
        auto* added = new QLabel(StatusBar1);
        StatusBar1->addWidget(added);
        panels_.push_back(added);
    }
    // One line of a status bar: text from a library (a link's target) may be of any length.
    constexpr qsizetype kLongest = 2000;
    panels_[panel - 1]->setText(text.size() > kLongest ? text.left(kLongest) + "..." : text);
    platform::yield(0);
}

QString MainWindow::statusText(int panel) const {
    return panel >= 1 && panel <= panels_.size() ? panels_[panel - 1]->text() : QString();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (watched == tvw1 && type == QEvent::KeyRelease) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (!key->isAutoRepeat()) onTreeKeyReleased(key->key(), key->modifiers());
    } else if ((watched == tvw1 || watched == ListView1 || watched == ListView2) && type == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const bool plain = key->modifiers() == Qt::NoModifier || key->modifiers() == Qt::KeypadModifier;
        if (plain && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
            if (!key->isAutoRepeat()) onEnterPressed(static_cast<QTreeWidget*>(watched));
            return true;
        }
    } else if (watched == tvw1->viewport() && type == QEvent::MouseButtonPress) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::RightButton) {
            onTreeRightPress(mouse->position().toPoint());
            return true;
        }
    } else if (watched == CommResize) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (type == QEvent::MouseButtonPress && mouse->button() == Qt::LeftButton) {
            startSplitterDrag(int(mouse->position().x()));
            return true;
        }
        if (type == QEvent::MouseButtonRelease && mouse->button() == Qt::LeftButton) {
            dropSplitter(CommResize->mapTo(this, mouse->position().toPoint()).x());
            return true;
        }
    } else if (watched == Frame1 && type == QEvent::MouseButtonPress) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton) {
            explainGrab_ = mouse->position().toPoint();
            Frame3->setGeometry(Frame1->geometry());
            Frame1->hide();
            Frame3->show();
            Frame3->raise();
            Frame3->grabMouse();
            return true;
        }
    } else if (watched == Frame3 && (type == QEvent::MouseMove || type == QEvent::MouseButtonRelease)) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        moveExplainOutline(mouse->globalPosition().toPoint());
        if (type == QEvent::MouseButtonRelease) {
            Frame3->releaseMouse();
            Frame3->hide();
            Frame1->move(Frame3->pos());
            Frame1->show();
            Frame1->raise();
        }
        return true;
    } else if (watched == Picture1 && type == QEvent::Wheel) {
        wheelEvent(static_cast<QWheelEvent*>(event));
        return true;
    } else if (watched == rt1->viewport() && type == QEvent::MouseButtonRelease) {
        if (settings_.explainMode != aids::kExplainOff)
            aids::explainAfterRelease(explainModule, explainTips, rt1, settings_.explainMode);
    } else if (watched == rt1->viewport() && type == QEvent::MouseButtonPress) {
        if (Frame1->isVisible()) Frame1->hide();
    } else if (watched == Picture3 && type == QEvent::Paint) {
        paintBackPicture();
    }
    return QWidget::eventFilter(watched, event);
}

// The outline, and so the explain pane, stays inside the window, where it can be taken again.
void MainWindow::moveExplainOutline(const QPoint& globalPos) {
    const QPoint wanted = mapFromGlobal(globalPos) - explainGrab_;
    Frame3->move(std::clamp(wanted.x(), 0, std::max(width() - Frame3->width(), 0)),
                 std::clamp(wanted.y(), 0, std::max(height() - Frame3->height(), 0)));
}

}  // namespace browser
