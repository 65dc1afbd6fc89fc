// Opening a library, the history of opened libraries and the reading position in each.
#include "browser/main_window.h"

#include "platform/dialogs.h"
#include "platform/pump.h"
#include "settings/ui/ini_qt.h"
#include "store/password_prompts.h"
#include "util/app_path.h"

#include <QComboBox>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTreeWidget>

namespace browser {

namespace {

std::string s(const QString& text) { return text.toStdString(); }

}  // namespace

bool MainWindow::openBookLib(const QString& fileName) {
    if (!store::ctreebook::isVYNEFile(s(fileName))) {
        showStatus("File " + fileName + " is not a book Library!, can't load into the browser.", 99);
        return false;
    }
    addLibHistory(fileName);
    saveSettingsNow();
    platform::BusyPointer busy;
    myDBName_ = fileName;
    cbook.closeDB();
    if (!enterLibrary("The password isn't correct!")) return false;
    restoreReadingPosition();
    layoutWindow();
    return true;
}

void MainWindow::showLibrary() {
    if (enterLibrary("The password Is Wrong!")) restoreReadingPosition();
}

bool MainWindow::enterLibrary(const QString& wrongPassword) {
    forgetLibraryViews();
    cbook.openDB(s(myDBName_), settings_.myTabName, settings_.myNRTabName);
    forgetContentIndex();
    if (!store::askPassword(cbook, 1, "")) {
        showStatus(wrongPassword, 1);
        cbook.closeDB();
        tree_.clear();
        return false;
    }
    libTitle_ = QString::fromStdString(filePath.getFileTitleName(s(myDBName_)));
    loadLibrarySettings();
    tree_.clear();
    if (cbook.book2TVWzlx(tree_, 0) && tree_.item("1id")) {
        cbook.book2TVWsub(tree_, "1id", true);
        tree_.item("1id")->setExpanded(true);
    }
    setWindowTitle("VYNE Browser -- " + myDBName_);
    reportReadOnly();
    indexLibrary();
    return true;
}

void MainWindow::reportReadOnly() {
    if (!cbook.openOK() || !cbook.myDB() || !cbook.myDB()->readOnly()) {
        showStatus(QString(), 3);
        return;
    }
    showStatus("This library is read-only (an older format): read marks and passwords cannot be "
               "changed until it is converted with \"vlib convert\".",
               3);
}

void MainWindow::command1Click() {
    std::string start = settings_.currWorkPath;
    // The first library chosen on an installed program: the dialog begins at the demo library.
    if (start.empty() && !util::installedDataPath().empty()) start = util::installedDataPath() + "demo";
    const QString chosen = platform::pickOpenFile(this, "Please select DB file of book Library.", "*.mdb",
                                                  QString::fromStdString(start));
    if (chosen.isEmpty()) return;
    settings_.currWorkPath = s(chosen);
    if (openBookLib(chosen)) buildHistoryMenu();
}

void MainWindow::addLibHistory(const QString& fileName) {
    if (!filePath.fileExist(s(fileName))) return;
    for (size_t i = 0; i < settings_.history.size(); ++i) {
        if (QString::fromStdString(settings_.history[i]).compare(fileName, Qt::CaseInsensitive) == 0) {
            Combo1->setCurrentIndex(int(i));
            return;
        }
    }
    settings_.history.push_back(s(fileName));
    Combo1->addItem(QString::fromStdString(filePath.GetFileName(s(fileName))));
    Combo1->setCurrentIndex(Combo1->count() - 1);
    storeSettings();
}

std::string MainWindow::resolveLibPath(const std::string& fileName) const {
    if (fileName.empty() || filePath.fileExist(fileName)) return fileName;
    return util::appPath() + filePath.GetFileName(fileName);
}

void MainWindow::fillHistoryCombo() {
    // Files that are gone are dropped; a file that moved into the program folder is found there.
    std::vector<std::string> kept;
    for (const std::string& name : settings_.history) {
        const std::string found = resolveLibPath(name);
        if (filePath.fileExist(found)) kept.push_back(found);
    }
    settings_.history = kept;
    Combo1->clear();
    for (const std::string& name : settings_.history) Combo1->addItem(QString::fromStdString(filePath.GetFileName(name)));
    Combo1->setCurrentIndex(Combo1->count() > 0 ? 0 : -1);
}

void MainWindow::buildHistoryMenu() {
    auto* select = pmenu->findChild<QMenu*>("menu_选择书库文件");
    select->clear();
    // With no history the menu keeps its one item, "Book Lib In History", which opens nothing.
    if (settings_.history.empty()) {
        QAction* none = select->addAction("Book Lib In History");
        none->setObjectName("menu_s");
        none->setEnabled(false);
    }
    for (const std::string& name : settings_.history) {
        QAction* item = select->addAction(QString::fromStdString(filePath.GetFileName(name)));
        item->setObjectName("menu_s");
        item->setData(QString::fromStdString(name));
        connect(item, &QAction::triggered, this, [this, item] { openBookLib(item->data().toString()); });
    }
}

void MainWindow::loadLibrarySettings() {
    if (libTitle_.isEmpty()) return;
    const ReadingPosition& p = settings_.positions[s(libTitle_)] = seams_.settings->loadLibrary(s(libTitle_));
    // A library seen for the first time leaves the window where it is.
    const IniFormPlace& place = p.window;
    if (place.left || place.top || place.width || place.height || place.maximised) {
        constexpr int32_t kSmallestTwips = 3000;
        settings::placeWindow(*this, cInifile::fitFormPlace(place, settings::formPositionOf(*this), kSmallestTwips,
                                                            kSmallestTwips, settings::screenOf(*this)));
    }
    // No width, or one wider than half the window: the tree's default width.
    const bool stored = p.treeWidth > 0 && p.treeWidth <= width() / 2;
    tvw1->resize(stored ? p.treeWidth : kDefaultTreeWidth, tvw1->height());
    layoutWindow();
}

void MainWindow::rememberReadingPosition() {
    if (libTitle_.isEmpty()) return;
    ReadingPosition& p = settings_.positions[s(libTitle_)];
    cInifile::keepFormPosition(p.window, settings::formPositionOf(*this));
    p.treeWidth = tvw1->width();
    if (tvw1->topLevelItemCount() == 0) return;
    p.nodePath.clear();
    for (QTreeWidgetItem* node = selectedNode(); node; node = node->parent())
        p.nodePath.push_back(s(platform::keyOf(node)));
    p.bookPos = rt1->textCursor().selectionStart();
}

void MainWindow::restoreReadingPosition() {
    if (tvw1->topLevelItemCount() == 0) return;
    const auto found = settings_.positions.find(s(libTitle_));
    if (found == settings_.positions.end()) return;
    const ReadingPosition& p = found->second;
    for (auto key = p.nodePath.rbegin(); key != p.nodePath.rend(); ++key) {
        const int32_t id = platform::idOfKey(QString::fromStdString(*key));
        if (id == 0) continue;
        if (cbook.gsByid(id) == "url") continue;
        QTreeWidgetItem* node = tree_.item(QString::fromStdString(*key));
        if (!node) return;
        selectAndShow(node);
    }
    QTreeWidgetItem* node = selectedNode();
    if (node && platform::tagOf(node) == "nr" && clsFilePath::isTxtLiked(cbook.gsByid(platform::idOf(node)))) {
        QTextCursor caret = rt1->textCursor();
        const int end = rt1->document()->characterCount() - 1;
        caret.setPosition(std::clamp(p.bookPos, 0, std::max(end, 0)));
        caret.setPosition(std::clamp(p.bookPos + 10, 0, std::max(end, 0)), QTextCursor::KeepAnchor);
        rt1->setTextCursor(caret);
        rt1->setFocus();
    }
}

}  // namespace browser
