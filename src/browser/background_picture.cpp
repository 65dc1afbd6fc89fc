// The picture behind the text pane: a picture file, a random picture of a library, or the
// ".jpg" files of a folder, changed by Timer1 every few seconds. rt1's viewport is left
// unpainted while there is a picture, so Picture3's drawing shows through behind the text.
#include "browser/main_window.h"

#include "pictures/modGDIPlusResize.h"
#include "reader/form_book.h"

#include <QPainter>
#include <QPlainTextEdit>
#include <QRandomGenerator>
#include <QStyle>

namespace browser {

int nextBackPicIndex(int current, int count, int mode) {
    if (count < 1) return 0;
    if (mode == 1) return current >= 1 && current < count ? current + 1 : 1;
    if (mode == -1) return current > 1 && current <= count ? current - 1 : count;
    return QRandomGenerator::global()->bounded(1, count + 1);
}

namespace {

// A null picture for a file or bytes that hold none.
QImage decodeFile(const std::string& fileName) {
    try {
        return modGDIPlusResize::loadPictureFile(QString::fromStdString(fileName));
    } catch (const modGDIPlusResize::PictureLoadError&) {
        return {};
    }
}

QImage decodeBytes(const store::Bytes& bytes) {
    if (bytes.empty()) return {};
    try {
        return modGDIPlusResize::loadPictureBytes(
            QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size())));
    } catch (const modGDIPlusResize::PictureLoadError&) {
        return {};
    }
}

}  // namespace

bool MainWindow::drawTextBackPic(const QString& source, int mode) { return setBackPicture(pickBackPicture(source, mode)); }

QImage MainWindow::pickBackPicture(const QString& source, int mode) {
    const std::string name = source.toStdString();
    if (name.empty()) return {};
    if (!filePath.fileExist(name)) return folderBackPic(name, mode);
    if (clsFilePath::isJpgLiked(filePath.getFileExtName(name))) return decodeFile(name);
    if (store::ctreebook::isTreeBookDB(name)) return decodeBytes(libraryBackPic(name));
    return {};
}

QImage MainWindow::folderBackPic(const std::string& folder, int mode) {
    // The list is built once per folder; a folder without pictures is looked up again.
    if (folder != backPicFolder_) {
        backPicFolder_ = folder;
        backPicList_.clear();
        backPicIndex_ = 0;
    }
    if (backPicList_.empty()) filePath.getAllFnameInPath(folder, "jpg", backPicList_, true);
    if (backPicList_.empty()) return {};
    backPicIndex_ = nextBackPicIndex(backPicIndex_, int(backPicList_.size()), mode);
    return decodeFile(backPicList_[size_t(backPicIndex_ - 1)]);
}

store::Bytes MainWindow::libraryBackPic(const std::string& fileName) {
    if (!backPicBook_) {
        backPicBook_ = std::make_unique<store::ctreebook>();
        backPicBook_->setReadOnlyOpen(true);
    }
    if (!backPicBook_->openOK() || backPicBook_->myDBName() != fileName) {
        backPicBook_->closeDB();
        if (!backPicBook_->openDB(fileName)) {
            backPicBook_->closeDB();
            return {};
        }
    }
    const int32_t id = backPicBook_->randomIdx("jpg");
    store::Bytes bytes;
    if (id == 0 || backPicBook_->getNR(id, bytes) <= 0) return {};
    return bytes;
}

bool MainWindow::setBackPicture(const QImage& picture) {
    if (picture.isNull()) return false;
    // The vertical scroll bar's strip is left to the scroll bar.
    const QRect inner = Picture3->contentsRect();
    const QSize box(inner.width() - style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, rt1), inner.height());
    if (box.width() < 1 || box.height() < 1) return false;
    backPicture_ = modGDIPlusResize::renderPicture(picture, box, rt1->palette().color(QPalette::Base),
                                                   !settings_.textWinBackPicStretch);
    rt1->viewport()->setAutoFillBackground(false);
    Picture3->update();
    rt1->viewport()->update();
    return true;
}

void MainWindow::clearBackPic() {
    backPicture_ = QImage();
    rt1->viewport()->setAutoFillBackground(true);
    Picture3->update();
    rt1->viewport()->update();
}

void MainWindow::paintBackPicture() {
    if (backPicture_.isNull()) return;
    QPainter painter(Picture3);
    painter.drawImage(Picture3->contentsRect().topLeft(), backPicture_);
}

void MainWindow::redrawFixedBackPic() {
    const std::string& source = settings_.textWinBackPicFile;
    if (settings_.textWinBackPicShowTime >= 1 && filePath.fileExist(source)) drawTextBackPic(QString::fromStdString(source), 0);
}

void MainWindow::backPicTick() {
    // Only while the text pane is on show and the full-screen reader is not.
    if (!Picture3->isVisible() || (formBook_ && formBook_->isVisible())) return;
    const qint64 now = seams_.nowSeconds();
    if (backPicChanged_ == 0) backPicChanged_ = now;
    const std::string& source = settings_.textWinBackPicFile;
    const int showTime = settings_.textWinBackPicShowTime;
    if (showTime < 1 || filePath.fileExist(source) || now - backPicChanged_ <= showTime) return;
    backPicChanged_ = now;
    drawTextBackPic(QString::fromStdString(source), 0);
}

}  // namespace browser
