// Showing a document: reading its content from the store and handing it to the viewer for
// its format, or to the operating system.
#include "browser/main_window.h"

#include "browser/picture_pane.h"
#include "pictures/modGDIPlusResize.h"
#include "pictures/picture_browser.h"
#include "platform/colour.h"
#include "platform/dialogs.h"
#include "platform/pump.h"
#include "platform/shell.h"
#include "platform/viewer_manual.h"
#include "reader/form_book.h"
#include "util/app_path.h"
#include "util/codepage.h"

#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScopeGuard>
#include <QTreeWidget>

namespace browser {

namespace {

std::string s(const QString& text) { return text.toStdString(); }
QString q(const std::string& text) { return QString::fromStdString(text); }

QByteArray toByteArray(const store::Bytes& bytes) {
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
}

// Text made safe as part of a file name inside the temporary folder: no folder parts, no
// characters the desktop's file systems refuse, no leading dots, at most maxBytes bytes of
// UTF-8 (file systems count a name's bytes, and a Chinese character takes three).
QString safeNamePart(const QString& text, int maxBytes) {
    QString safe;
    for (QChar c : text) safe += (c.unicode() < 32 || QString("/\\:*?\"<>|").contains(c)) ? QChar('_') : c;
    while (safe.startsWith('.')) safe.remove(0, 1);
    safe = safe.trimmed();
    int bytes = 0, kept = 0;
    for (const uint codePoint : safe.toUcs4()) {
        bytes += codePoint < 0x80 ? 1 : codePoint < 0x800 ? 2 : codePoint < 0x10000 ? 3 : 4;
        if (bytes > maxBytes) break;
        kept += codePoint < 0x10000 ? 1 : 2;
    }
    return safe.left(kept);
}

// The temporary file for a document: its title and format as name, never empty, short enough
// for any file system.
std::string temporaryName(clsFilePath& files, const QString& format, const QString& title) {
    const QString name = safeNamePart(title, 200);
    return files.tmpFileName(s(safeNamePart(format, 32)), s(name.isEmpty() ? QString("document") : name));
}

// Text files beyond this size go to the operating system: the text pane would take minutes and
// gigabytes to lay them out.
constexpr qint64 kMaxTextFileBytes = qint64(256) << 20;

// A web address, not a file: an existing file is always taken for a file.
bool looksLikeAddress(const QString& target) {
    if (QFileInfo(target).isFile()) return false;
    return target.contains("://") || clsFilePath::isURL(s(target)) || target.startsWith("about:") ||
           target.startsWith("www.", Qt::CaseInsensitive);
}

// Selects length characters from start, both kept inside the text.
void selectText(QPlainTextEdit* box, int start, int length) {
    const int end = std::max(box->document()->characterCount() - 1, 0);
    QTextCursor caret = box->textCursor();
    caret.setPosition(std::clamp(start, 0, end));
    caret.setPosition(std::min(caret.position() + std::max(length, 0), end), QTextCursor::KeepAnchor);
    box->setTextCursor(caret);
}

// A document's decoded content: n is its length, -1 when it could not be read.
struct Content {
    int32_t n = -1;
    store::Bytes bytes;
    QString format;  // lower case
};

Content readContent(store::ctreebook& book, int32_t id) {
    Content c;
    std::string gs;
    bool readed = false;
    engine::Date dt;
    int32_t pid = 0, crc = 0;
    c.n = book.getNRfull(id, c.bytes, gs, readed, dt, pid, crc);
    c.format = q(gs).toLower();
    return c;
}

// Writes the content to the temporary file named by format and title; an empty content gives
// an empty file, even where a document of the same name was written before. Answers the
// file's name.
std::string writeTemporary(clsFilePath& files, const Content& c, const QString& title) {
    const std::string tmp = temporaryName(files, c.format, title);
    if (c.n < 1)
        QFile(q(tmp)).open(QIODevice::WriteOnly | QIODevice::Truncate);
    else
        files.saveBinFile(tmp, c.bytes);
    return tmp;
}

}  // namespace

void MainWindow::showBookDoc(int32_t id) {
    displayingDocument_ = true;
    displayProblems_.clear();
    const auto endDisplay = qScopeGuard([this] { displayingDocument_ = false; });
    platform::BusyPointer busy;  // a long text takes a while to lay out
    ListView1->hide();
    Text1->setText(q(cbook.BTByID(id)));
    const Content content = readContent(cbook, id);
    const int32_t n = content.n;
    const store::Bytes& bytes = content.bytes;
    const bool read = n >= 0;
    const QString& format = content.format;
    if (read) {
        const std::string ext = s(format);
        if (clsFilePath::isTxtLiked(ext)) {
            setTextDocument(n < 1 ? QString() : q(util::ansiToUtf8(bytes)));
        } else if (clsFilePath::isJpgLiked(ext)) {
            showPicBytes(toByteArray(bytes), pictureOwnSize_);
        } else if (!clsFilePath::isLinked(ext)) {
            showDocFile(q(writeTemporary(filePath, content, Text1->text())), format, QString());
        } else {
            std::string work;
            const QString target = q(filePath.getLinkPath(n < 1 ? std::string() : util::ansiToUtf8(bytes), work));
            if (format == "url" && !target.isEmpty()) {
                showDocFile(target, "htm", QString());
            } else if (!target.isEmpty()) {
                if (!filePath.fileExist(s(target))) {
                    showStatus("File " + target + " not exist.", 1);
                    return;
                }
                showLinkedFile(target, q(work));
            }
        }
        if (n > 0) cbook.changeSize(id, n);
    }
    QString status = q(cbook.getPPathName(id, false));
    if (read) status += "(" + format + "/" + q(clsFilePath::lenKstr(std::max(n, 0), false)) + ")";
    documentStatus_ = status;
    if (!displayProblems_.isEmpty()) status += "  " + displayProblems_;
    showStatus(status, 1);
}

void MainWindow::setTextDocument(const QString& text) {
    rt1->setPlainText(text);
    selectText(rt1, 0, 2);
    Picture3->show();
    rt1->show();
    Picture3->raise();
}

void MainWindow::showDocFile(const QString& fileName, const QString& formatGiven, const QString& workFolder) {
    const QString format = formatGiven.toLower();
    const std::string ext = s(format);
    if (clsFilePath::isHtmLiked(ext) && WebBrowser1) {
        WebBrowser1->widget()->show();
        WebBrowser1->widget()->raise();
        // An address the web viewer refuses is no web address: the system would refuse it too.
        if (looksLikeAddress(fileName)) WebBrowser1->showUrl(fileName);
        else if (!WebBrowser1->showFile(fileName)) handToOS(fileName);
    } else if (clsFilePath::isTxtLiked(ext) && QFileInfo(fileName).size() <= kMaxTextFileBytes) {
        setTextDocument(q(filePath.loadTxtFileWithConv(s(fileName))));
    } else if (clsFilePath::isWMPLiked(ext) && WMP1) {
        showOnViewer(WMP1.get(), fileName);
    } else if (format == "pdf" && PDF1) {
        showOnViewer(PDF1.get(), fileName);
    } else if (clsFilePath::isDocLiked(ext) && FramerControl1) {
        officeShown_ = true;
        showOnViewer(FramerControl1.get(), fileName);
    } else if (clsFilePath::isJpgLiked(ext)) {
        showPicFile(fileName);
    } else if (format == "swf" && FLASH1) {
        showOnViewer(FLASH1.get(), fileName);
    } else {
        handToOS(fileName);
    }
}

void MainWindow::showOnViewer(platform::Viewer* viewer, const QString& fileName) {
    viewer->widget()->setGeometry(viewerRect());
    viewer->widget()->show();
    viewer->widget()->raise();
    if (!viewer->showFile(fileName)) handToOS(fileName);
}

void MainWindow::handToOS(const QString& fileName) {
    const auto refused =
        looksLikeAddress(fileName) ? platform::openAddressWithOS(fileName) : platform::openWithOS(fileName);
    reportDisplayProblem(refused ? *refused
                                 : (looksLikeAddress(fileName) ? fileName : QFileInfo(fileName).fileName()) +
                                       " was handed to the operating system.");
}

void MainWindow::reportDisplayProblem(const QString& text) {
    if (!displayingDocument_) {
        showStatus(text.isEmpty() ? documentStatus_ : text, 1);
        return;
    }
    if (!text.isEmpty() && !displayProblems_.contains(text))
        displayProblems_ += (displayProblems_.isEmpty() ? "" : "  ") + text;
}

void MainWindow::showLinkedFile(const QString& fileName, const QString& workFolder) {
    const QString ext = QFileInfo(fileName).suffix().toLower();
    if (ext == "url") {
        handToOS(fileName);
        return;
    }
    showDocFile(fileName, ext, workFolder);
}

// Decoded straight from the file: a linked file is read only as far as its picture needs.
void MainWindow::showPicFile(const QString& fileName) {
    QImage image;
    try {
        image = modGDIPlusResize::loadPictureFile(fileName);
    } catch (const modGDIPlusResize::PictureLoadError&) {
    }
    showPicture(image, pictureOwnSize_, fileName);
}

bool MainWindow::showPicBytes(const QByteArray& bytes, bool ownSize) {
    QImage image;
    if (bytes.size() > 2) {
        try {
            image = modGDIPlusResize::loadPictureBytes(bytes);
        } catch (const modGDIPlusResize::PictureLoadError&) {
        }
    }
    return showPicture(image, ownSize, Text1->text());
}

bool MainWindow::showPicture(const QImage& image, bool ownSize, const QString& name) {
    Picture1->setPicture(image);
    Picture1->setOwnSize(ownSize);
    pictureShift_ = QPoint();
    layoutPicture();
    Picture1->show();
    Picture1->raise();
    if (image.isNull()) reportDisplayProblem(modGDIPlusResize::PictureLoadError(name).description());
    return !image.isNull();
}

QList<QWidget*> MainWindow::paneList() const {
    QList<QWidget*> panes;
    const auto add = [&panes](const std::unique_ptr<platform::Viewer>& viewer) {
        if (viewer) panes.push_back(viewer->widget());
    };
    add(WebBrowser1);
    add(FramerControl1);
    panes.push_back(Picture3);
    add(FLASH1);
    panes.push_back(Picture1);
    add(PDF1);
    add(WMP1);
    panes.push_back(rt1);
    panes.push_back(ListView1);
    panes.push_back(ListView2);
    return panes;
}

void MainWindow::hideViewers() {
    officeShown_ = false;
    for (QWidget* pane : paneList()) pane->hide();
    Picture1->setPicture(QImage());  // a large picture need not be kept while others show
    // Each viewer lets go of what it shows: playback stops, the web page is blank.
    for (auto* viewer : {FramerControl1.get(), PDF1.get(), FLASH1.get(), WMP1.get(), WebBrowser1.get()})
        if (viewer) viewer->hideViewer();
    if (FramerControl1) FramerControl1->widget()->move(-10000, -10000);
}

void MainWindow::goNextPrevDoc(int direction) {
    const int step = direction == 1 ? 1 : -1;
    QTreeWidgetItem* node = selectedNode();
    if (!node) return;
    QTreeWidgetItem* found = platform::siblingOf(node, step);
    if (!found) {
        QTreeWidgetItem* nextClass = platform::siblingOf(node->parent(), step);
        if (!nextClass) return;
        selectAndShow(nextClass);
        if (nextClass->childCount() > 0) nextClass->setExpanded(true);  // a refused class stays shut
        found = nextClass->child(0);
        if (!found) return;
    }
    selectAndShow(found);
}

QString MainWindow::showNextNR(int direction) {
    goNextPrevDoc(direction);
    QTreeWidgetItem* node = selectedNode();
    if (!node) return {};
    const int32_t id = platform::idOf(node);
    if (!clsFilePath::isTxtLiked(cbook.gsByid(id))) return {};
    return q(cbook.getTextNR(id));
}

void MainWindow::refreshTextColour() {
    QPalette palette = rt1->palette();
    palette.setColor(QPalette::Text, platform::colourFromRgb(settings_.textForeColour));
    rt1->setPalette(palette);
    rt1->setFocus();
}

void MainWindow::markRead(bool readed) {
    QTreeWidgetItem* node = selectedNode();
    if (!node) return;
    if (!cbook.changeReaded(platform::idOf(node), readed)) return;
    recolourSubtree(node, readed);
}

void MainWindow::recolourSubtree(QTreeWidgetItem* item, bool readed) {
    const QString tag = platform::tagOf(item);
    // Classes right below the root wear the top-level colour, as when the tree was filled.
    const bool topClass = tag == "lx" && item->parent() && platform::idOf(item->parent()) == 1;
    const uint32_t colour = readed ? cbook.colours.readed
                            : tag == "zlx" || topClass ? cbook.colours.zlx
                            : tag == "lx"              ? cbook.colours.lx
                                                       : cbook.colours.nr;
    item->setForeground(0, platform::colourFromRgb(colour));
    for (int i = 0; i < item->childCount(); ++i) recolourSubtree(item->child(i), readed);
}

void MainWindow::chooseTextFont() {
    const auto choice = platform::pickFont(this, "Please Select Font",
                                           {rt1->font(), platform::colourFromRgb(settings_.textForeColour)});
    if (!choice) return;
    rt1->setFont(choice->font);
    settings_.textForeColour = platform::rgbFromColour(choice->colour);
    refreshTextColour();
}

void MainWindow::chooseTextBackColour() {
    const auto colour = platform::pickColour(this, "Please Select Back Color", rt1->palette().color(QPalette::Base));
    if (!colour) return;
    settings_.textBackColour = platform::rgbFromColour(*colour);
    applyTextColours();
}

void MainWindow::openWithOS() {
    QTreeWidgetItem* node = selectedNode();
    if (!node) return;
    const int32_t id = platform::idOf(node);
    const Content content = readContent(cbook, id);
    if (content.n < 0) return;
    osTempFile_ = q(writeTemporary(filePath, content, q(cbook.BTByID(id))));
    handToOS(osTempFile_);
}

// The Word form when the build could make it, otherwise the manual's HTML in the web viewer.
void MainWindow::showUserManual() {
    const QString manual = platform::userManualPath(q(util::appPath()));
    if (manual.isEmpty()) {
        showStatus("VYNEBrowser_UserManual.doc not found.", 1);
        return;
    }
    // The manual takes the viewer area like a document: what played before stops.
    hideViewers();
    showDocFile(manual, manual.endsWith(".doc", Qt::CaseInsensitive) ? "doc" : "htm", QString());
}

void MainWindow::fullScreenShow() {
    QTreeWidgetItem* node = selectedNode();
    if (!node) return;
    const int32_t id = platform::idOf(node);
    const std::string format = s(q(cbook.gsByid(id)).toLower());
    if (clsFilePath::isJpgLiked(format)) {
        openPictureBrowser();
        return;
    }
    if (clsFilePath::isTxtLiked(format) && Picture3->isVisible())
        openFormBook(q(cbook.getPPathName(id, false)), rt1->toPlainText(), rt1->textCursor().selectionStart());
}

void MainWindow::openPictureBrowser() {
    QTreeWidgetItem* node = selectedNode();
    if (!node) return;
    const bool isDocument = platform::tagOf(node) == "nr";
    QTreeWidgetItem* classNode = isDocument ? node->parent() : node;
    const QString lxName = classNode ? classNode->text(0) : QString();
    platform::BusyPointer busy;
    if (!pictureBrowser_) pictureBrowser_ = new pictures::PictureBrowser(this);
    pictureBrowser_->openOn(cbook, lxName, platform::idOf(node));
    pictureBrowser_->show();
    pictureBrowser_->raise();
    pictureBrowser_->activateWindow();
}

void MainWindow::openFormBook(const QString& title, const QString& text, int caret) {
    if (!formBook_) {
        reader::FormBookLinks links;
        links.nextText = [this](int direction) { return showNextNR(direction); };
        links.handBackCaret = [this](int at, int length) { selectText(rt1, at, length); };
        links.backPicture = [this](int mode) { return pickBackPicture(q(settings_.textWinBackPicFile), mode); };
        links.speedChanged = [this](int level) { settings_.wSleep = level; };
        links.lookToKeep = [this](const reader::ReaderLook& look) {
            settings_.fullScreenTextFont = look;
            if (!shutDown_) saveSettingsNow();  // the shutdown saves everything itself
        };
        links.explainModule = &explainModule;
        links.nowSeconds = seams_.nowSeconds;
        formBook_ = new reader::FormBook(settings_.fullScreenTextFont, std::move(links), this);
    }
    formBook_->setShared({settings_.wSleep, q(settings_.textWinBackPicFile), settings_.textWinBackPicShowTime,
                          settings_.textWinBackPicStretch, settings_.explainMode});
    formBook_->setTitleStr(title);
    formBook_->setBuffer(text);
    formBook_->setSelstart(caret);
    formBook_->showFullScreen();
    formBook_->raise();
    formBook_->activateWindow();
}

void MainWindow::wheelOverPicture(int steps) {
    QTreeWidgetItem* next = platform::siblingOf(selectedNode(), steps > 0 ? -1 : 1);
    if (!next) return;
    tvw1->setCurrentItem(next);
    tvw1->scrollToItem(next);
    if (platform::tagOf(next) == "nr" && clsFilePath::isJpgLiked(cbook.gsByid(platform::idOf(next)))) {
        treeSelectionHandler();
        Picture1->setFocus();
    }
}

}  // namespace browser
