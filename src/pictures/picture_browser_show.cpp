// Choosing a class, showing and zooming pictures, dropped pictures.
#include "pictures/picture_browser.h"

#include "pictures/modGDIPlusResize.h"
#include "platform/dialogs.h"
#include "platform/pump.h"
#include "platform/qt_controls.h"
#include "store/password_prompts.h"
#include "util/file_path.h"

#include <QComboBox>
#include <QMimeData>
#include <QScrollBar>
#include <QUrl>

#include <algorithm>
#include <cmath>

namespace pictures {

void PictureBrowser::openOn(store::ctreebook& cbook, const QString& lxName, int32_t btId) {
    resetState();
    cbook_ = &cbook;
    platform::QtComboControl combo(Combo1);
    cbook.lxToCombo2(combo);
    if (lxName.isEmpty()) return;
    const int entry = Combo1->findText(lxName, Qt::MatchExactly);
    if (entry < 0) return;
    Combo1->setCurrentIndex(entry);
    if (!chooseClass(entry)) return;
    const auto found = std::find(ids_.begin(), ids_.end(), btId);
    if (found != ids_.end()) HScroll1->setValue(static_cast<int>(found - ids_.begin()) + 1);
}

bool PictureBrowser::chooseClass(int comboIndex) {
    if (!cbook_ || comboIndex < 0 || comboIndex >= Combo1->count()) return false;
    const int32_t classId = Combo1->itemData(comboIndex).toInt();
    const std::string title = Combo1->itemText(comboIndex).toStdString();
    const std::string prompt =
        classId == 0 ? "Please input password for <" + clsFilePath().GetFileName(cbook_->myDBName()) + ">:"
                     : "Please input password for Class <" + title + ">: ";
    if (!store::askPassword(*cbook_, classId, prompt)) {
        platform::showMessage(this, "Note", "Password Wrong!", platform::MessageIcon::Critical);
        return false;
    }
    // A show must not step through a list that changes under it.
    if (activeShow_ != Show::None) stopShow();
    std::vector<int32_t> all;
    {
        platform::BusyPointer busy;
        if (classId == 0)
            cbook_->getAllNRID(all);
        else
            cbook_->getAllNRSubID(classId, all);
    }
    clearPictures();
    for (int32_t id : all)
        if (clsFilePath::isJpgLiked(cbook_->gsByid(id))) ids_.push_back(id);
    if (ids_.empty()) return true;
    const int count = static_cast<int>(ids_.size());
    {
        const QSignalBlocker quiet(HScroll1);
        HScroll1->setEnabled(false);
        HScroll1->setRange(1, count);
        HScroll1->setSingleStep(1);
        HScroll1->setPageStep(10);
        HScroll1->setEnabled(true);
        HScroll1->setValue(1);
    }
    showPicture(1);
    setCaptionFor(QString("Picture Lib  %1/%2").arg(HScroll1->value()).arg(HScroll1->maximum()));
    return true;
}

void PictureBrowser::showPicture(int i) {
    if (!cbook_ || i < 1 || i > static_cast<int>(ids_.size())) return;
    if (HScroll1->value() != i) {
        // The scroll bar's change shows the picture.
        HScroll1->setValue(i);
        return;
    }
    Picture2->hide();
    current_ = i;
    setCaptionFor(QString("Picture Lib Browser    %1/%2").arg(i).arg(ids_.size()));
    QImage image = libraryPicture(i);
    if (image.isNull()) return;  // the previous picture stays
    original_ = std::move(image);
    zoomed_ = false;
    drawPicture(original_, fit_ && !autoSize_);
}

void PictureBrowser::clearPictures() {
    ids_.clear();
    current_ = 0;
    {
        // No range: the scroll bar shows nothing and the old picture goes.
        const QSignalBlocker quiet(HScroll1);
        HScroll1->setRange(0, 0);
        HScroll1->setEnabled(false);
    }
    original_ = QImage();
    zoomed_ = false;
    Picture1->setPicture(QImage());
    Picture2->hide();
    layoutViewport();
}

void PictureBrowser::resetState() {
    stopShow();
    if (fullScreenOn_) setFullScreenDisplay(false);
    if (fullWindowOn_) setFullWindowDisplay(false);
    fullScreen_ = true;
    bigDisplay_ = false;
    fit_ = true;
    zoomStep_ = 5.0;
    randomOrder_ = true;
    setAutoSize(false);
    if (ellipse_) setEllipseStyle(false);
    if (onTop_) setKeepOnTop(false);
    clearPictures();
    setWindowTitle("Picture Lib Browser");
    // A show still leaving its loop sees the running flag cleared; the abort flag starts clear.
    running_ = false;
    abort_ = false;
}

QImage PictureBrowser::libraryPicture(int i, const modGDIPlusResize::CoveringFor& coveringFor) const {
    if (!cbook_ || i < 1 || i > static_cast<int>(ids_.size())) return {};
    const store::Bytes bytes = cbook_->loadImg(ids_[static_cast<size_t>(i) - 1]);
    try {
        return modGDIPlusResize::loadPictureBytes(
            QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size())), coveringFor);
    } catch (const modGDIPlusResize::PictureLoadError&) {
        return {};
    }
}

void PictureBrowser::zoomPicture(double step) {
    if (original_.isNull()) return;
    zoomStep_ = step;
    const QSize base = (fit_ && !zoomed_) ? original_.size() : Picture1->picture().size();
    const double factor = (100.0 + step) / 100.0;
    const QSize size(std::max(1, static_cast<int>(std::lround(base.width() * factor))),
                     std::max(1, static_cast<int>(std::lround(base.height() * factor))));
    // Refuse sizes no window could show rather than allocate without bound.
    if (static_cast<qint64>(size.width()) * size.height() > modGDIPlusResize::kMaxDecodedPixels) return;
    zoomed_ = true;
    drawPicture(modGDIPlusResize::renderPicture(original_, size, Qt::black, false), false);
}

int PictureBrowser::nextIndex() const {
    const int count = static_cast<int>(ids_.size());
    if (count == 0) return 0;
    if (!randomOrder_) return current_ >= count ? 1 : current_ + 1;
    const int drawn = static_cast<int>(std::lround(count * random01() + 0.3));
    return std::clamp(drawn, 1, count);
}

bool PictureBrowser::takeDrop(const QMimeData* data) {
    const QImage image = modGDIPlusResize::pictureFromMimeData(data);
    if (image.isNull()) return false;
    original_ = image;
    zoomed_ = false;
    drawPicture(original_, fit_ && !autoSize_);
    return true;
}

}  // namespace pictures
