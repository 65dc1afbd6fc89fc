// MainWindow: the browser's only main window. It owns the library store for the run, shows one
// library at a time in the class tree tvw1, lists a class in ListView1 and search results in
// ListView2, and shows a document in the viewer for its format.
//
// Controls keep their design names as object names. Member definitions are spread over files
// by topic: main_window.cpp (controls, menus, start-up, activation, shutdown), library_open.cpp,
// tree_pane.cpp, doc_lists.cpp, display.cpp, search_panel.cpp, layout.cpp, viewers.cpp,
// background_picture.cpp.
#pragma once

#include "aids/ui/explain_at_caret.h"
#include "browser/browser_settings.h"
#include "browser/content_indexer.h"
#include "browser/selection_ring.h"
#include "platform/icons.h"
#include "platform/qt_controls.h"
#include "platform/viewer.h"
#include "settings/ui/form_time_fix.h"
#include "settings/ui/options_dialog.h"
#include "store/ctreebook.h"
#include "util/file_path.h"

#include <QDateTime>
#include <QImage>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>

class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QStatusBar;
class QTextEdit;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;

namespace reader {
class FormBook;
}

namespace pictures {
class PictureBrowser;
}

namespace browser {

class PicturePane;

// What the window is given from outside; every member has a working default.
struct MainWindowSeams {
    // Makes a run-time viewer; null when this build or this run cannot have it.
    std::function<std::unique_ptr<platform::Viewer>(platform::ViewerKind, QWidget*)> makeViewer =
        platform::makeViewer;
    // Where the settings live; null: in memory only.
    std::shared_ptr<SettingsStore> settings;
    // The clock of the background slide show, in seconds.
    std::function<qint64()> nowSeconds = [] { return QDateTime::currentSecsSinceEpoch(); };
    // The reading-time control's clock (seconds since the epoch) and its modal rest window.
    std::function<double()> restNow = settings::systemNow;
    std::function<bool(settings::ModRestTime&, QWidget*)> showRestWindow = settings::runRestWindow;
    // Runs the options dialog; the window applies what it reports while it runs.
    std::function<void(settings::FormBroserParam&)> runOptionsDialog = settings::runOptionsDialog;
};

// The next picture of a list numbered 1..count: mode 1 the one after current (after the last
// comes the first), -1 the one before it (before the first comes the last), any other mode one
// at random. 0 for an empty list.
int nextBackPicIndex(int current, int count, int mode);

class MainWindow : public QWidget {
    Q_OBJECT
public:
    explicit MainWindow(MainWindowSeams seams = {}, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The start-up steps: settings, viewers, history, then the library named on the command
    // line (when it is one) or the one shown last.
    void loadWindow(const QString& commandLine);
    // The orderly end: settings and history saved, viewers removed, temporary folder emptied,
    // library closed. Runs once; closing the window runs it too.
    void shutdown();

    // ---- Opening a library ----
    bool openBookLib(const QString& fileName);
    // The open button: asks for a library file and opens it.
    void command1Click();
    // kind 99: a message box titled "Note"; below 2: status panel 1; otherwise panel kind.
    void showStatus(const QString& text, int kind = 0);
    QString statusText(int panel = 1) const;

    // ---- Tree pane ----
    // Shows the selected node: a class is listed, a document displayed.
    void treeSelectionHandler();
    void showBookClass(int32_t id);
    // Walks the tree down to the record, loading levels on the way, and selects it.
    bool selectDocById(int32_t id);
    void rollBackSelection();
    // Selects the node, scrolls it into view and shows it.
    void selectAndShow(QTreeWidgetItem* item);
    QTreeWidgetItem* selectedNode() const;
    QTreeWidgetItem* nodeByKey(const QString& key) const { return tree_.item(key); }
    // "Go Parent Node", "Go Parent Next", "Refresh Selected Node"
    void goParentNode();
    void goParentNext();
    void refreshSelectedNode();

    // ---- Document lists ----
    void sortListView(int column);
    void showBookListView();
    void showSearchListView();

    // ---- Display ----
    void showBookDoc(int32_t id);
    // The working folder is kept for links; the desktop opens files in their own folder.
    void showDocFile(const QString& fileName, const QString& format, const QString& workFolder);
    void showLinkedFile(const QString& fileName, const QString& workFolder);
    void showPicFile(const QString& fileName);
    // False when the bytes are no picture (the pane is then empty and the problem reported).
    bool showPicBytes(const QByteArray& bytes, bool ownSize);
    void hideViewers();
    void goNextPrevDoc(int direction);
    // Steps to the next (1) or previous (0) document; its plain text when it is text-like.
    QString showNextNR(int direction);
    void refreshTextColour();
    void markRead(bool readed);
    void chooseTextFont();
    void chooseTextBackColour();
    void openWithOS();
    void showUserManual();
    // "Full Screen Show" and Command4: a text document on show opens the full-screen reader
    // with rt1's text and caret; a picture opens the picture browser.
    void fullScreenShow();
    // The full-screen reader; null until it was first opened.
    reader::FormBook* formBook() const { return formBook_; }
    // Opens the picture browser on the selected node: a document in its class at itself, a
    // class at its first picture. The browser is made once and shown without blocking.
    void openPictureBrowser();
    // The picture browser; null until it was first opened.
    pictures::PictureBrowser* pictureBrowser() const { return pictureBrowser_; }

    // ---- Text-pane background picture ----
    // Draws the picture behind rt1 for the source: a picture file; a library file (a random
    // "jpg" document of it); otherwise a folder, whose ".jpg" files are taken by mode (see
    // nextBackPicIndex). False when nothing was drawn; the previous picture then stays.
    bool drawTextBackPic(const QString& source, int mode);
    // The picture the source gives by mode, decoded; null when it gives none. The full-screen
    // reader draws its background from here too.
    QImage pickBackPicture(const QString& source, int mode);
    // Removes the picture; rt1 gets its own background again.
    void clearBackPic();
    // The picture as drawn behind rt1; null when there is none.
    const QImage& textBackPicture() const { return backPicture_; }
    // The background part of Timer1's tick: the folder slide show, while the text pane shows.
    void backPicTick();

    // Each time the window becomes active: the class list for a selected class, the background
    // picture drawn again, the text pane's colours matched.
    void windowActivated();

    // ---- Search ----
    void runSearch();
    // The content index searches use; null until the worker made it for the open library.
    const std::shared_ptr<cindex::ContentIndex>& contentIndex() const { return contentIndex_; }
    ContentIndexer& contentIndexer() { return *indexer_; }

    // ---- Reading time ----
    // The reading-time part of Timer1's tick: the rest check, then the day's and the run's
    // reading time on status panel 2.
    void readingTimeTick();
    settings::ModRestTime& restControl() { return *restControl_; }

    // ---- Options ----
    // "Options": the dialog, filled from the live values. A font or colour chosen there is
    // applied and saved at once, the other options when the dialog's "Save" is pressed.
    void showOptions();
    settings::OptionValues optionValues() const;
    void applyLooks(const settings::OptionValues& values);
    void applyOptions(const settings::OptionValues& values);

    // ---- Layout ----
    void layoutWindow();
    // The splitter drag: the grab offset inside CommResize, then the drop in window x.
    void startSplitterDrag(int grabOffset);
    void dropSplitter(int windowX);
    static constexpr int kMinTreeWidth = 80;
    static constexpr int kDefaultTreeWidth = 200;

    // ---- Controls (design names) ----
    QTreeWidget* tvw1 = nullptr;
    QTreeWidget* ListView1 = nullptr;
    QTreeWidget* ListView2 = nullptr;
    QPlainTextEdit* rt1 = nullptr;
    PicturePane* Picture1 = nullptr;
    QWidget* Picture2 = nullptr;
    QWidget* Picture3 = nullptr;
    QLineEdit* Text1 = nullptr;
    QComboBox* Combo1 = nullptr;
    QComboBox* Combo4 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command3 = nullptr;
    QPushButton* Command4 = nullptr;
    QPushButton* Command5 = nullptr;
    QPushButton* Command6 = nullptr;
    QFrame* CommResize = nullptr;
    QGroupBox* Frame1 = nullptr;
    QTextEdit* Text2 = nullptr;
    QFrame* Frame3 = nullptr;
    QTimer* Timer1 = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    QMenu* pmenu = nullptr;
    QMenu* tmenu = nullptr;

    // The run-time viewers; null when absent. FramerControl1 is the Office viewer.
    std::unique_ptr<platform::Viewer> WebBrowser1, WMP1, FLASH1, PDF1, FramerControl1;

    store::ctreebook cbook;
    clsFilePath filePath;
    // The word explanation: the dictionary, and this window's balloon tips.
    aids::ExplainModule explainModule;
    aids::ToolTips explainTips;

    const QString& myDBName() const { return myDBName_; }
    const std::vector<std::string>& history() const { return settings_.history; }
    const BrowserSettings& settings() const { return settings_; }
    bool pictureOwnSize() const { return pictureOwnSize_; }
    double comResizeMinWidth() const { return settings_.comResizeMinWidth; }
    int32_t listedClassId() const;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void buildMenus();
    // The store's events, questions and password prompts come to this window.
    void connectStore();
    QAction* addMenuItem(QMenu* menu, const QString& caption, const QString& name, const QKeySequence& keys,
                         std::function<void()> act);
    void applySettings();
    // The text pane's back and text colours; Picture3 takes the back colour.
    void applyTextColours();
    void matchPaneToTextBack();
    // On activation: ListView1 for a selected class when nothing else is shown; hidden for a
    // selected document that another pane shows.
    void showListForSelection();
    // An existing picture or library file is drawn again (on activation and after a layout)
    // when the show time is at least 1 second.
    void redrawFixedBackPic();
    QImage folderBackPic(const std::string& folder, int mode);
    // The content of a random "jpg" document of the library; empty when there is none.
    store::Bytes libraryBackPic(const std::string& fileName);
    // Renders the decoded picture for the text pane; false for a null picture or a pane
    // without room.
    bool setBackPicture(const QImage& picture);
    void paintBackPicture();
    // Picture1 for the picture it shows: fitted, the whole viewer area; at own size, the part of
    // the picture that lies in the area when its top-left corner is at `at` (window coordinates),
    // which is kept so that the picture covers the area or lies wholly inside it.
    void layoutPicture();
    void placePicture(QPoint at);
    // The wheel over the top strip's combo boxes goes to the window unless they have the focus.
    void routeWheels();
    // Shows the decoded picture (a null one: an empty pane, and "cannot load" for name).
    bool showPicture(const QImage& image, bool ownSize, const QString& name);
    // Where the viewers, lists and text pane lie: right of the splitter, below the top strip.
    QRect viewerRect() const;
    void collectSettings();
    void createViewers();
    // The viewer of that kind, or null; a missing one is noted for showMissingViewerNotes unless
    // its message is silenced or it has none (firstLine empty).
    std::unique_ptr<platform::Viewer> createViewer(platform::ViewerKind kind, const char* name,
                                                   const QString& firstLine, const QString& secondLine);
    // The notes of missing viewers, each with "Don't show this again"; a ticked one is silenced.
    void showMissingViewerNotes();
    void removeViewers();
    QList<QWidget*> paneList() const;
    // The name unchanged when the file exists, else the same file name in the program folder.
    std::string resolveLibPath(const std::string& fileName) const;
    void fillHistoryCombo();
    void buildHistoryMenu();
    void addLibHistory(const QString& fileName);
    // The library shown last, opened again at start-up: nothing is saved, the history stays.
    void showLibrary();
    // Opens myDBName in the store and fills the tree; false (store closed, tree empty) when the
    // library password is not given.
    bool enterLibrary(const QString& wrongPassword);
    void restoreReadingPosition();
    void rememberReadingPosition();
    void reportReadOnly();
    void applyIconSize(int size);
    // collectSettings, then storeSettings.
    void saveSettingsNow();
    // Writes settings_ (without history entries whose files are gone); the first time that
    // fails the status bar says so.
    void storeSettings();
    // Reads the library's own section: the window's place (fitted to the screen), the tree
    // pane's width and the reading position that restoreReadingPosition takes.
    void loadLibrarySettings();

    void onTreeClick(QTreeWidgetItem* node);
    // Folds or unfolds the class, unless the click that began the double click unfolded it.
    void onTreeDoubleClick(QTreeWidgetItem* node);
    void onTreeKeyReleased(int key, Qt::KeyboardModifiers modifiers);
    void onTreeRightPress(const QPoint& pos);
    // A class unfolded before it was opened gets its children, after its password.
    void onTreeItemExpanded(QTreeWidgetItem* item);
    // Loads one level of children of a class node once its password is given and unfolds it;
    // false (and "Password Not Correct!") when the password is refused.
    bool openClassNode(QTreeWidgetItem* node);
    // A library is opened or closed: no selection to roll back to, no rows of the one before.
    void forgetLibraryViews();
    void onListView1Click(QTreeWidgetItem* row);
    void onListView1DoubleClick(QTreeWidgetItem* row);
    void onListView2DoubleClick(QTreeWidgetItem* row);
    // Enter does what the mouse does: a tree node is shown; a list row enters its class, shows
    // its document or walks to the search result. Taken on the press: the release of the Enter
    // that closed a dialog comes to the window afterwards.
    void onEnterPressed(QTreeWidget* view);
    void showListView1Row(QTreeWidgetItem* row);
    void walkToSearchResult(QTreeWidgetItem* row);
    void showNode(QTreeWidgetItem* item);
    void changeClassPassword();
    void changeLibraryPassword();
    void listSelectedClass();
    void wheelOverPicture(int steps);
    // Shows the file in the viewer; the operating system takes it when the viewer cannot.
    void showOnViewer(platform::Viewer* viewer, const QString& fileName);
    // Hands the file to the operating system; the status bar says so, or why it was refused.
    void handToOS(const QString& fileName);
    // What a viewer or the display says about the document, in plain words: while a document
    // is being shown the text waits and is added to its status line; later it goes to the
    // status bar at once, and an empty text brings the document's status line back.
    void reportDisplayProblem(const QString& text);
    void setTextDocument(const QString& text);
    void openFormBook(const QString& title, const QString& text, int caret);
    void recolourSubtree(QTreeWidgetItem* item, bool readed);
    void moveExplainOutline(const QPoint& globalPos);

    MainWindowSeams seams_;
    BrowserSettings settings_;
    platform::MimeIconProvider icons16_{16};
    platform::MimeIconProvider icons32_{32};
    platform::QtTreeControl tree_;
    platform::QtListControl list1_;
    platform::QtListControl list2_;
    SelectionRing ring_;

    QString myDBName_;
    QString libTitle_;
    bool pictureOwnSize_ = false;
    bool displayingDocument_ = false;
    QString displayProblems_;
    QString documentStatus_;  // the status line of the document shown last
    bool officeShown_ = false;
    QString osTempFile_;
    int wheelRest_ = 0;  // wheel turns short of a whole step
    QPoint pictureShift_;  // how far the own-size picture lies from the viewer area's corner
    int splitterGrab_ = 0;
    bool splitterDragging_ = false;
    QPoint explainGrab_;
    bool shutDown_ = false;
    bool settingsUnsaved_ = false;  // the status bar said once that the settings cannot be saved
    bool sortDescending_ = false;  // the order of the last header click
    // The last click on a ListView1 row entered a class and refilled the list: the double click
    // it may begin lands on a row the user never aimed at.
    bool classRowEntered_ = false;
    // The key of the tree node last clicked while it was folded; empty when it was unfolded.
    QString foldedAtClick_;
    QList<QLabel*> panels_;
    // Viewers found missing at start-up, by control name, with their message.
    std::vector<std::pair<std::string, QString>> missingViewerNotes_;
    // Indexes the open library's contents in the background; searches scan until it is ready.
    ContentIndexer* indexer_ = nullptr;
    std::shared_ptr<cindex::ContentIndex> contentIndex_;
    void indexLibrary();
    void forgetContentIndex();
    std::unique_ptr<settings::ModRestTime> restControl_;

    // The text pane's background: the picture as rendered, the ".jpg" files of the source
    // folder (looked up again while there are none) and the one shown, the library the
    // pictures come from (opened for reading on first use), the time of the last change
    // (0 until the first tick).
    QImage backPicture_;
    std::string backPicFolder_;
    clsFilePath::List backPicList_;
    int backPicIndex_ = 0;
    std::unique_ptr<store::ctreebook> backPicBook_;
    qint64 backPicChanged_ = 0;

    reader::FormBook* formBook_ = nullptr;  // a window of its own, owned by this one
    pictures::PictureBrowser* pictureBrowser_ = nullptr;  // a window of its own, owned by this one
};

// The window through which the full-screen reader steps to the next document.
extern MainWindow* gMainForm;

}  // namespace browser
