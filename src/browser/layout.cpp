// The window's layout in code: the top strip, the tree, the splitter, the viewer area and the
// status bar; the splitter drag and the mouse wheel over pictures.
#include "browser/main_window.h"

#include "browser/picture_pane.h"

#include <QComboBox>
#include <QFrame>
#include <QLineEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QStatusBar>
#include <QTreeWidget>
#include <QWheelEvent>

namespace browser {

namespace {

constexpr int kMargin = 2;
constexpr int kStripHeight = 28;
constexpr int kSplitterWidth = 5;

}  // namespace

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
    tvw1->setGeometry(kMargin, top, tvw1->width(), paneHeight);
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

void MainWindow::layoutPicture() {
    const QRect area = viewerRect();
    if (Picture1->ownSize() && Picture1->hasPicture())
        Picture1->setGeometry(QRect(area.topLeft(), Picture1->picture().size()));
    else
        Picture1->setGeometry(area);
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

void MainWindow::wheelEvent(QWheelEvent* event) {
    if (!Picture1->isVisible()) return QWidget::wheelEvent(event);
    const int steps = event->angleDelta().y();
    if (steps != 0) wheelOverPicture(steps);
    event->accept();
}

}  // namespace browser
