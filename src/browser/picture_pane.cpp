#include "browser/picture_pane.h"

#include "pictures/modGDIPlusResize.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>

namespace browser {

PicturePane::PicturePane(QWidget* parent) : QWidget(parent) {
    setAcceptDrops(true);
    setAutoFillBackground(false);
    setFocusPolicy(Qt::StrongFocus);
}

void PicturePane::setPicture(const QImage& image) {
    image_ = image;
    fitted_ = QImage();
    update();
}

void PicturePane::setOwnSize(bool on) {
    ownSize_ = on;
    update();
}

void PicturePane::setOrigin(QPoint origin) {
    origin_ = origin;
    update();
}

// The fitted picture is scaled once per pane size, by the smooth scaling of the picture
// module, not at every repaint.
void PicturePane::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    if (image_.isNull()) return;
    if (ownSize_) {
        painter.drawImage(origin_, image_);
        return;
    }
    const QRect drawn = modGDIPlusResize::fitRect(image_.size(), size());
    if (fitted_.size() != drawn.size()) fitted_ = modGDIPlusResize::fitPicture(image_, size());
    painter.drawImage(drawn.topLeft(), fitted_);
}

void PicturePane::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasImage() || event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void PicturePane::dropEvent(QDropEvent* event) {
    if (takeDrop(event->mimeData())) event->acceptProposedAction();
}

bool PicturePane::takeDrop(const QMimeData* data) {
    const QImage image = modGDIPlusResize::pictureFromMimeData(data);
    if (image.isNull()) return false;
    setPicture(image);
    if (onDropped) onDropped();
    return true;
}

void PicturePane::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        grab_ = event->globalPosition().toPoint();
        dragging_ = true;
        return;
    }
    if (onMenu) onMenu(event->globalPosition().toPoint());
}

void PicturePane::mouseMoveEvent(QMouseEvent* event) {
    if (dragging_ && (event->buttons() & Qt::LeftButton)) dragTo(event->globalPosition().toPoint());
}

void PicturePane::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !dragging_) return;
    dragTo(event->globalPosition().toPoint());
    dragging_ = false;
}

void PicturePane::dragTo(const QPoint& globalPos) {
    const QPoint moved = globalPos - grab_;
    grab_ = globalPos;
    if (!moved.isNull() && onDragged) onDragged(moved);
}

void PicturePane::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && onDoubleClick) onDoubleClick();
}

}  // namespace browser
