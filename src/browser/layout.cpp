// The window's layout in code: the top strip, the tree, the splitter, the viewer area and the
// status bar; the splitter drag and the mouse wheel over pictures.
#include "browser/main_window.h"

#include "browser/picture_pane.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFrame>
#include <QLineEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QStatusBar>
#include <QTreeWidget>
#include <QWheelEvent>

#include <cmath>

namespace browser {

namespace {

constexpr int kMargin = 2;
constexpr int kStripHeight = 28;
constexpr int kSplitterWidth = 5;

// A combo box takes the wheel only while it has the focus; otherwise the wheel goes to the
// window (its parent), as anywhere else on the top strip, and never opens a library or starts
// a search.
class WheelOnlyWhenFocused : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Wheel || static_cast<QWidget*>(watched)->hasFocus()) return false;
        QCoreApplication::sendEvent(parent(), event);
        return true;
    }
};

}  // namespace

void MainWindow::routeWheels() {
    auto* guard = new WheelOnlyWhenFocused(this);
    Combo1->installEventFilter(guard);
    Combo4->installEventFilter(guard);
}

QRect MainWindow::viewerRect() const {
    const int left = CommResize->x() + CommResize->width();
    return QRect(left, tvw1->y(), std::max(width() - left, 0), tvw1->height());
}

void MainWindow::layoutWindow() {
    if (isMinimized()) return;
    const int statusHeight = StatusBar1->sizeHint().height();
    StatusBar1->setGeometry(0, height() - statusHeight, width(), statusHeight);

    const int top = kStripHeight + 2 * kMargin;
    const int paneHeight = std::max(height() - top - statusHeight, 0);
    // A window made too narrow for the tree narrows the tree by the splitter's own rule, so that
    // the splitter stays in reach.
    const int widest = int(std::ceil(width() - kMargin - settings_.comResizeMinWidth)) - 1;
    tvw1->setGeometry(kMargin, top, std::max(std::min(tvw1->width(), widest), kMinTreeWidth), paneHeight);
    CommResize->setGeometry(tvw1->x() + tvw1->width(), top, kSplitterWidth, paneHeight);

    const QRect area = viewerRect();
    Picture3->setGeometry(area);
    ListView1->setGeometry(area);
    ListView2->setGeometry(area);
    for (const auto* viewer : {&WebBrowser1, &WMP1, &FLASH1, &PDF1, &FramerControl1})
        if (*viewer && (viewer != &FramerControl1 || (*viewer)->widget()->isVisible()))
            (*viewer)->widget()->setGeometry(area);

    // Top strip: buttons and the history on the left, the search mode at the right end, the
    // key word stretching between them.
    int x = kMargin;
    const auto place = [&](QWidget* w, int wide) {
        w->setGeometry(x, kMargin, wide, kStripHeight);
        x += wide + kMargin;
    };
    place(Command1, 70);
    place(Combo1, 200);
    place(Command2, 56);
    place(Command3, 60);
    place(Command4, 84);
    place(Command5, 32);
    place(Command6, 32);
    const int comboWidth = 140;
    Combo4->setGeometry(width() - kMargin - comboWidth, kMargin, comboWidth, kStripHeight);
    Text1->setGeometry(x, kMargin, std::max(Combo4->x() - 5 - x, 40), kStripHeight);

    if (Picture1->isVisible()) layoutPicture();
    redrawFixedBackPic();
}

// A picture dragged at its own size keeps its place in the viewer area as the window changes.
void MainWindow::layoutPicture() { placePicture(viewerRect().topLeft() + pictureShift_); }

void MainWindow::placePicture(QPoint at) {
    const QRect area = viewerRect();
    if (!Picture1->ownSize() || !Picture1->hasPicture()) {
        Picture1->setGeometry(area);
        Picture1->setOrigin(QPoint());
        pictureShift_ = QPoint();
        return;
    }
    const QSize size = Picture1->picture().size();
    const auto keep = [](int at, int areaStart, int areaLength, int length) {
        const int otherEnd = areaStart + areaLength - length;
        return length <= areaLength ? std::clamp(at, areaStart, otherEnd) : std::clamp(at, otherEnd, areaStart);
    };
    const QPoint place(keep(at.x(), area.x(), area.width(), size.width()),
                       keep(at.y(), area.y(), area.height(), size.height()));
    const QRect shown = QRect(place, size).intersected(area);
    Picture1->setGeometry(shown);
    Picture1->setOrigin(place - shown.topLeft());
    pictureShift_ = place - area.topLeft();
}

void MainWindow::startSplitterDrag(int grabOffset) {
    splitterGrab_ = grabOffset;
    splitterDragging_ = true;
}

void MainWindow::dropSplitter(int windowX) {
    if (!splitterDragging_) return;
    splitterDragging_ = false;
    const int delta = windowX - (CommResize->x() + splitterGrab_);
    const int wanted = tvw1->width() + delta;
    if (wanted >= width() - tvw1->x() - settings_.comResizeMinWidth) return;
    tvw1->resize(std::max(wanted, kMinTreeWidth), tvw1->height());
    layoutWindow();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layoutWindow();
}

void MainWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && !isMinimized()) layoutWindow();
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) windowActivated();
}

// One picture per wheel step of 120; the finer turns of touchpads and free-spinning wheels add
// up to steps.
void MainWindow::wheelEvent(QWheelEvent* event) {
    if (!Picture1->isVisible()) return QWidget::wheelEvent(event);
    event->accept();
    constexpr int kStep = QWheelEvent::DefaultDeltasPerStep;
    const int turned = event->angleDelta().y();
    if (turned == 0) return;
    if ((wheelRest_ > 0) != (turned > 0)) wheelRest_ = 0;  // turning back starts afresh
    wheelRest_ += turned;
    if (std::abs(wheelRest_) < kStep) return;
    wheelRest_ %= kStep;
    wheelOverPicture(turned);
}

}  // namespace browser
