#include "browser/picture_pane.h"

#include "pictures/modGDIPlusResize.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>

namespace browser {

namespace {

// An empty image for bytes that are no picture.
QImage decode(const QByteArray& bytes) {
    if (bytes.size() <= 2) return QImage();
    try {
        return modGDIPlusResize::loadPictureBytes(bytes);
    } catch (const modGDIPlusResize::PictureLoadError&) {
        return QImage();
    }
}

}  // namespace

PicturePane::PicturePane(QWidget* parent) : QWidget(parent) {
    setAcceptDrops(true);
    setAutoFillBackground(false);
    setFocusPolicy(Qt::StrongFocus);
}

bool PicturePane::setPictureBytes(const QByteArray& bytes) {
    setPicture(decode(bytes));
    return hasPicture();
}

void PicturePane::setPicture(const QImage& image) {
    image_ = image;
    update();
}

void PicturePane::clearPicture() { setPicture(QImage()); }

void PicturePane::setOwnSize(bool on) {
    ownSize_ = on;
    update();
}

void PicturePane::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    if (image_.isNull()) return;
    if (ownSize_) {
        painter.drawImage(QPoint(0, 0), image_);
        return;
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(modGDIPlusResize::fitRect(image_.size(), size()), image_);
}

void PicturePane::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasImage() || event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void PicturePane::dropEvent(QDropEvent* event) {
    if (takeDrop(event->mimeData())) event->acceptProposedAction();
}

bool PicturePane::takeDrop(const QMimeData* data) {
    QImage image;
    if (data->hasImage()) {
        image = qvariant_cast<QImage>(data->imageData());
    } else if (data->hasUrls() && !data->urls().isEmpty() && data->urls().first().isLocalFile()) {
        try {
            image = modGDIPlusResize::loadPictureFile(data->urls().first().toLocalFile());
        } catch (const modGDIPlusResize::PictureLoadError&) {
        }
    }
    if (image.isNull()) return false;
    setPicture(image);
    if (onDropped) onDropped();
    return true;
}

void PicturePane::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        grab_ = event->position().toPoint();
        dragging_ = true;
        return;
    }
    if (onMenu) onMenu(event->globalPosition().toPoint());
}

void PicturePane::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !dragging_) return;
    dragging_ = false;
    const QPoint moved = event->position().toPoint() - grab_;
    if (!moved.isNull()) move(pos() + moved);
}

void PicturePane::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && onDoubleClick) onDoubleClick();
}

}  // namespace browser
