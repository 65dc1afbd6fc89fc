// Keys, the mouse wheel, clicks and drags on the picture, dropped pictures.
#include "pictures/picture_browser.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QWheelEvent>

namespace pictures {

namespace {

constexpr int kPageStep = 15;

}  // namespace

void PictureBrowser::moveBy(int steps) {
    const int target = current_ + steps;
    if (target >= 1 && target <= static_cast<int>(ids_.size())) showPicture(target);
}

// Forward (away from the user) shows the previous picture, backward the next, wrapping round.
void PictureBrowser::stepWheel(int delta) {
    const int count = static_cast<int>(ids_.size());
    if (count == 0 || delta == 0) return;
    int target = current_ + (delta > 0 ? -1 : 1);
    if (target < 1) target = count;
    if (target > count) target = 1;
    showPicture(target);
}

bool PictureBrowser::handleKey(QKeyEvent* event) {
    const int key = event->key();
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    switch (key) {
    case Qt::Key_Q:
        if (shift) {
            close();
            return true;
        }
        [[fallthrough]];
    case Qt::Key_Escape:
        if (fullScreenOn_ || fullWindowOn_)
            leaveBigDisplay();
        else
            stopShow();
        return true;
    // Enlarge and reduce are keys of the numeric pad only.
    case Qt::Key_Plus:
    case Qt::Key_Minus:
        if (!(event->modifiers() & Qt::KeypadModifier)) return false;
        zoomPicture(key == Qt::Key_Plus ? 5.0 : -5.0);
        return true;
    case Qt::Key_F: setFullScreenDisplay(!fullScreenOn_); return true;
    case Qt::Key_A: setFullWindowDisplay(!fullWindowOn_); return true;
    case Qt::Key_U: setEllipseStyle(!ellipse_); return true;
    case Qt::Key_X: setAutoSize(!autoSize_); return true;
    case Qt::Key_O: setKeepOnTop(!onTop_); return true;
    case Qt::Key_Z: fit_ = !fit_; return true;
    case Qt::Key_R: randomOrder_ = !randomOrder_; return true;
    case Qt::Key_S: toggleSlideShow(false); return true;
    case Qt::Key_D: toggleSlideShow(true); return true;
    case Qt::Key_1:
    case Qt::Key_2:
    case Qt::Key_3:
    case Qt::Key_4:
    case Qt::Key_5:
    case Qt::Key_6: runEffect(key - Qt::Key_0); return true;
    case Qt::Key_7: runStrip(true); return true;
    case Qt::Key_8: runStrip(false); return true;
    case Qt::Key_9: runCrossFade(); return true;
    case Qt::Key_0: runBlinds(); return true;
    case Qt::Key_M: Slider1->setValue(Slider1->value() + 1); return true;
    case Qt::Key_N: Slider1->setValue(Slider1->value() - 1); return true;
    case Qt::Key_W: scaleWindow(1.10); return true;
    case Qt::Key_E: scaleWindow(0.90); return true;
    case Qt::Key_Space: showPicture(nextIndex()); return true;
    case Qt::Key_Home: showPicture(1); return true;
    case Qt::Key_End: showPicture(static_cast<int>(ids_.size())); return true;
    case Qt::Key_Right:
    case Qt::Key_Down: moveBy(1); return true;
    case Qt::Key_Left:
    case Qt::Key_Up: moveBy(-1); return true;
    case Qt::Key_PageDown: moveBy(kPageStep); return true;
    case Qt::Key_PageUp: moveBy(-kPageStep); return true;
    default: return false;
    }
}

bool PictureBrowser::handlePictureMouse(QEvent* event) {
    auto* mouse = static_cast<QMouseEvent*>(event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        if (mouse->button() != Qt::LeftButton) {
            menu->popup(mouse->globalPosition().toPoint());
            return true;
        }
        pressAt_ = mouse->globalPosition().toPoint();
        dragging_ = true;
        return true;
    case QEvent::MouseButtonRelease: {
        if (mouse->button() != Qt::LeftButton || !dragging_) return false;
        dragging_ = false;
        const QPoint moved = mouse->globalPosition().toPoint() - pressAt_;
        if (moved.isNull()) {
            if (!fullWindowOn_) Command2->setFocus();
            return true;
        }
        // The picture moves by the distance dragged; the scroll bars follow it.
        Picture1->move(Picture1->pos() + moved);
        const QSignalBlocker quietH(hscScroll), quietV(vscScroll);
        hscScroll->setValue(-Picture1->x());
        vscScroll->setValue(-Picture1->y());
        return true;
    }
    case QEvent::MouseButtonDblClick:
        if (mouse->button() == Qt::LeftButton && !fullScreenOn_) setFullScreenDisplay(true);
        return true;
    default: return false;
    }
}

bool PictureBrowser::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress:
        if (watched != menu && handleKey(static_cast<QKeyEvent*>(event))) return true;
        break;
    case QEvent::Wheel:
        if (watched == hscScroll || watched == vscScroll) break;
        stepWheel(static_cast<QWheelEvent*>(event)->angleDelta().y());
        return true;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
        if (watched == Picture1 || watched == Picture2 || watched == picScrollBox) return handlePictureMouse(event);
        break;
    case QEvent::DragEnter:
        if (watched == Picture1) {
            auto* drag = static_cast<QDragEnterEvent*>(event);
            if (drag->mimeData()->hasImage() || drag->mimeData()->hasUrls()) drag->acceptProposedAction();
            return true;
        }
        break;
    case QEvent::Drop:
        if (watched == Picture1) {
            auto* drop = static_cast<QDropEvent*>(event);
            if (takeDrop(drop->mimeData())) drop->acceptProposedAction();
            return true;
        }
        break;
    default: break;
    }
    return QWidget::eventFilter(watched, event);
}

void PictureBrowser::keyPressEvent(QKeyEvent* event) {
    if (!handleKey(event)) QWidget::keyPressEvent(event);
}

void PictureBrowser::wheelEvent(QWheelEvent* event) { stepWheel(event->angleDelta().y()); }

// Clicks on the window itself (outside its controls) behave like clicks on the picture.
void PictureBrowser::mousePressEvent(QMouseEvent* event) {
    if (!handlePictureMouse(event)) QWidget::mousePressEvent(event);
}

void PictureBrowser::mouseReleaseEvent(QMouseEvent* event) {
    if (!handlePictureMouse(event)) QWidget::mouseReleaseEvent(event);
}

void PictureBrowser::mouseDoubleClickEvent(QMouseEvent* event) {
    if (!handlePictureMouse(event)) QWidget::mouseDoubleClickEvent(event);
}

void PictureBrowser::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasImage() || event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void PictureBrowser::dropEvent(QDropEvent* event) {
    if (takeDrop(event->mimeData())) event->acceptProposedAction();
}

}  // namespace pictures
