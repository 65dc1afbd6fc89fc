// The browser's controls, popup menu, layout and display modes (normal, full window, full
// screen, on top, elliptical, sized to the picture).
#include "pictures/picture_browser.h"

#include "pictures/modGDIPlusResize.h"

#include <QAction>
#include <QComboBox>
#include <QGuiApplication>
#include <QMenu>
#include <QPaintEvent>
#include <QPainter>
#include <QPushButton>
#include <QRandomGenerator>
#include <QRegion>
#include <QScreen>
#include <QScrollBar>
#include <QSlider>

namespace pictures {

PictureLabel::PictureLabel(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_OpaquePaintEvent); }

void PictureLabel::setPicture(const QImage& image, const QRect& changed) {
    const bool sameSize = image.size() == image_.size();
    image_ = image;
    painting_ = nullptr;
    if (sameSize && changed.isValid())
        update(changed);
    else
        update();
}

void PictureLabel::changePicture(const std::function<void(QImage&)>& edit, const QRect& changed) {
    edit(image_);
    update(changed);
}

void PictureLabel::setPainting(Painting painting, const QRect& changed) {
    painting_ = std::move(painting);
    update(changed);
}

void PictureLabel::endPainting() {
    if (!painting_) return;
    image_ = shown();
    painting_ = nullptr;
}

QImage PictureLabel::shown() const {
    if (!painting_) return image_;
    QImage drawn(image_.size(), QImage::Format_RGB32);
    QPainter painter(&drawn);
    painting_(painter, drawn.rect());
    return drawn;
}

// Only the part asked for is painted: the picture where it lies, black around it.
void PictureLabel::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QRect asked = event->rect();
    if (painting_) return painting_(painter, asked);
    const QRect picture = asked & image_.rect();
    for (const QRect& around : QRegion(asked).subtracted(picture)) painter.fillRect(around, Qt::black);
    if (!picture.isEmpty()) painter.drawImage(picture.topLeft(), image_, picture);
}

namespace {

// Design places of the top row.
constexpr int kRowHeight = 24;
constexpr int kComboWidth = 160;
constexpr int kScrollWidth = 240;
constexpr int kSliderWidth = 100;
constexpr int kButtonWidth = 60;
// What the automatic size adds around the picture for the controls row.
constexpr int kAutoSizeMargin = 8;

}  // namespace

PictureBrowser::PictureBrowser(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName("PictureBrowser");
    setWindowTitle("Picture Lib Browser");
    setAcceptDrops(true);
    random01 = [] { return QRandomGenerator::global()->generateDouble(); };
    makeControls();
    makeMenu();
    resize(800, 600);
    windowSize_ = size();
}

PictureBrowser::~PictureBrowser() = default;

void PictureBrowser::makeControls() {
    Combo1 = new QComboBox(this);
    Combo1->setObjectName("Combo1");
    connect(Combo1, &QComboBox::activated, this, [this](int index) { chooseClass(index); });

    HScroll1 = new QScrollBar(Qt::Horizontal, this);
    HScroll1->setObjectName("HScroll1");
    HScroll1->setRange(0, 0);
    HScroll1->setEnabled(false);
    connect(HScroll1, &QScrollBar::valueChanged, this, &PictureBrowser::showPicture);

    Slider1 = new QSlider(Qt::Horizontal, this);
    Slider1->setObjectName("Slider1");
    Slider1->setRange(0, 10);

    Command2 = new QPushButton("Menu", this);
    Command2->setObjectName("Command2");
    connect(Command2, &QPushButton::clicked, this,
            [this] { menu->popup(Command2->mapToGlobal(QPoint(0, Command2->height()))); });
    Command3 = new QPushButton("Close", this);
    Command3->setObjectName("Command3");
    connect(Command3, &QPushButton::clicked, this, &QWidget::close);

    picScrollBox = new QWidget(this);
    picScrollBox->setObjectName("picScrollBox");
    picScrollBox->setAutoFillBackground(true);
    QPalette black = picScrollBox->palette();
    black.setColor(QPalette::Window, Qt::black);
    picScrollBox->setPalette(black);

    Picture1 = new PictureLabel(picScrollBox);
    Picture1->setObjectName("Picture1");
    Picture1->setAcceptDrops(true);
    Picture2 = new PictureLabel(picScrollBox);
    Picture2->setObjectName("Picture2");
    Picture2->hide();

    hscScroll = new QScrollBar(Qt::Horizontal, picScrollBox);
    hscScroll->setObjectName("hscScroll");
    vscScroll = new QScrollBar(Qt::Vertical, picScrollBox);
    vscScroll->setObjectName("vscScroll");
    hscScroll->hide();
    vscScroll->hide();
    connect(hscScroll, &QScrollBar::valueChanged, this, &PictureBrowser::scrollPicture);
    connect(vscScroll, &QScrollBar::valueChanged, this, &PictureBrowser::scrollPicture);

    // Keys and the wheel reach the window whichever control has the focus; the mouse on the
    // pictures and the viewport is handled as on Picture1.
    for (QWidget* child : findChildren<QWidget*>()) child->installEventFilter(this);
    setFocusPolicy(Qt::StrongFocus);
}

QAction* PictureBrowser::addEntry(const QString& caption, const QString& name, std::function<void()> action,
                                  bool checkable) {
    QAction* entry = menu->addAction(caption);
    entry->setObjectName(name);
    entry->setCheckable(checkable);
    connect(entry, &QAction::triggered, this, [action = std::move(action)] { action(); });
    return entry;
}

void PictureBrowser::checkEntry(const QString& name, bool on) {
    if (auto* entry = menu->findChild<QAction*>(name)) entry->setChecked(on);
}

void PictureBrowser::makeMenu() {
    menu = new QMenu("menu", this);
    menu->setObjectName("menu");
    addEntry("本窗口总在最前面", "menu_onTop", [this] { setKeepOnTop(!onTop_); }, true);
    menu->addSeparator();
    addEntry("幻灯演示(顺序s)", "menu_showInOrder", [this] { toggleSlideShow(false); });
    addEntry("幻灯演示(随机d)", "menu_showAtRandom", [this] { toggleSlideShow(true); });
    addEntry("幻灯演示目录", "menu_folderShow", [this] { folderSlideShow(); });
    addEntry("停止幻灯演示", "menu_stopShow", [this] { stopShow(); });
    const char* const effects[] = {"双向缩放演示(1)", "横向中心缩放演示(2)", "竖向中心缩放演示(3)",
                                   "横向摆动演示(4)", "竖向摆动演示(5)",     "对角摆动演示(6)"};
    for (int effect = 1; effect <= 6; ++effect)
        addEntry(effects[effect - 1], QString("menu_effect%1").arg(effect), [this, effect] { runEffect(effect); });
    addEntry("横向连续移动演示(7)", "menu_effect7", [this] { runStrip(true); });
    addEntry("纵向连续移动演示(8)", "menu_effect8", [this] { runStrip(false); });
    addEntry("透明演示(9)", "menu_effect9", [this] { runCrossFade(); });
    addEntry("百叶窗演示(0)", "menu_effect0", [this] { runBlinds(); });
    menu->addSeparator();
    addEntry("图像适合窗口(z)", "menu_fit", [this] {
        fit_ = true;
        showPicture(current_);
    });
    addEntry("图像原始大小(z)", "menu_ownSize", [this] {
        fit_ = false;
        showPicture(current_);
    });
    addEntry("放大(+)", "menu_enlarge", [this] { zoomPicture(5.0); });
    addEntry("缩小(-)", "menu_reduce", [this] { zoomPicture(-5.0); });
    menu->addSeparator();
    addEntry("全屏幕显示(f)", "menu_fullScreen", [this] { setFullScreenDisplay(!fullScreenOn_); }, true);
    addEntry("全窗口显示(a)", "menu_fullWindow", [this] { setFullWindowDisplay(!fullWindowOn_); }, true);
    addEntry("窗口自动大小显示(x)", "menu_autoSize", [this] { setAutoSize(!autoSize_); }, true);
    addEntry("改变窗口样式(u)", "menu_style", [this] { setEllipseStyle(!ellipse_); }, true);
    menu->addSeparator();
    addEntry("退出", "menu_exit", [this] { close(); });
}

void PictureBrowser::layoutControls() {
    const bool big = fullScreenOn_ || fullWindowOn_;
    for (QWidget* control : {static_cast<QWidget*>(Combo1), static_cast<QWidget*>(HScroll1),
                             static_cast<QWidget*>(Slider1), static_cast<QWidget*>(Command2),
                             static_cast<QWidget*>(Command3)})
        control->setVisible(!big);
    if (big) {
        picScrollBox->setGeometry(rect());
    } else {
        int x = 0;
        Combo1->setGeometry(x, 0, kComboWidth, kRowHeight);
        HScroll1->setGeometry(x += kComboWidth, 0, kScrollWidth, kRowHeight);
        Slider1->setGeometry(x += kScrollWidth, 0, kSliderWidth, kRowHeight);
        Command2->setGeometry(x += kSliderWidth, 0, kButtonWidth, kRowHeight);
        Command3->setGeometry(x += kButtonWidth, 0, kButtonWidth, kRowHeight);
        const int top = Combo1->y() + Combo1->height();
        picScrollBox->setGeometry(0, top, width(), std::max(0, height() - top));
    }
    layoutViewport();
}

void PictureBrowser::layoutViewport() {
    const QSize box = picScrollBox->size();
    const QSize picture = Picture1->picture().isNull() ? QSize(0, 0) : Picture1->picture().size();
    Picture1->resize(picture);
    const int bar = hscScroll->sizeHint().height();
    auto setBar = [](QScrollBar* scroll, int excess) {
        scroll->setVisible(excess > 0);
        scroll->setRange(0, std::max(0, excess));
        scroll->setPageStep(100);
    };
    setBar(hscScroll, picture.width() - box.width());
    setBar(vscScroll, picture.height() - box.height());
    hscScroll->setGeometry(0, box.height() - bar, box.width() - (vscScroll->isVisible() ? bar : 0), bar);
    vscScroll->setGeometry(box.width() - bar, 0, bar, box.height() - (hscScroll->isVisible() ? bar : 0));
    hscScroll->raise();
    vscScroll->raise();
    scrollPicture();
}

void PictureBrowser::scrollPicture() {
    // A picture smaller than the viewport is centred; a larger one placed by its scroll bar.
    const QSize box = picScrollBox->size();
    const QSize picture = Picture1->size();
    const int left = hscScroll->isVisible() ? -hscScroll->value() : (box.width() - picture.width()) / 2;
    const int top = vscScroll->isVisible() ? -vscScroll->value() : (box.height() - picture.height()) / 2;
    Picture1->move(left, top);
}

void PictureBrowser::resizeEvent(QResizeEvent*) {
    if (!isMinimized()) layoutControls();
}

void PictureBrowser::setCaptionFor(const QString& text) {
    if (!bigDisplay_) setWindowTitle(text);
}

void PictureBrowser::setFullScreenDisplay(bool on) {
    if (on && fullWindowOn_) setFullWindowDisplay(false);
    fullScreenOn_ = on;
    fullScreen_ = true;
    bigDisplay_ = on;
    checkEntry("menu_fullScreen", on);
    if (on)
        showFullScreen();
    else
        showNormal();
    layoutControls();
    showPicture(current_);
    Command2->setFocus();
}

void PictureBrowser::setFullWindowDisplay(bool on) {
    if (on && fullScreenOn_) setFullScreenDisplay(false);
    fullWindowOn_ = on;
    fullScreen_ = false;
    bigDisplay_ = on;
    checkEntry("menu_fullWindow", on);
    layoutControls();
    showPicture(current_);
}

void PictureBrowser::leaveBigDisplay() {
    if (fullScreenOn_)
        setFullScreenDisplay(false);
    else if (fullWindowOn_)
        setFullWindowDisplay(false);
}

void PictureBrowser::setKeepOnTop(bool on) {
    onTop_ = on;
    checkEntry("menu_onTop", on);
    const QRect place = geometry();
    const bool wasVisible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, on);
    setGeometry(place);
    if (wasVisible) show();
}

void PictureBrowser::setEllipseStyle(bool on) {
    ellipse_ = on;
    checkEntry("menu_style", on);
    if (on)
        setMask(QRegion(3, 3, std::max(0, width() - 6), std::max(0, height() - 6), QRegion::Ellipse));
    else
        clearMask();
}

void PictureBrowser::setAutoSize(bool on) {
    autoSize_ = on;
    checkEntry("menu_autoSize", on);
}

void PictureBrowser::scaleWindow(double factor) {
    if (!windowSize_.isValid()) windowSize_ = size();
    windowSize_ = QSize(qRound(windowSize_.width() * factor), qRound(windowSize_.height() * factor));
    resize(windowSize_);
    if (ellipse_) setEllipseStyle(true);
}

void PictureBrowser::closeEvent(QCloseEvent* event) {
    stopShow();
    if (fullScreenOn_) setFullScreenDisplay(false);
    QWidget::closeEvent(event);
}

// The window sized to the picture: the picture, the controls row and a margin, centred on the
// screen.
void PictureBrowser::drawPicture(const QImage& image, bool fitted) {
    if (autoSize_ && !bigDisplay_) {
        Picture1->setPicture(image);
        resize(image.width() + kAutoSizeMargin, image.height() + kRowHeight + kAutoSizeMargin);
        windowSize_ = size();
        if (const QScreen* screen = this->screen()) {
            const QRect area = screen->geometry();
            move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
        }
        layoutControls();
        return;
    }
    Picture1->setPicture(fitted ? modGDIPlusResize::renderPicture(image, picScrollBox->size(), Qt::black) : image);
    layoutViewport();
}

}  // namespace pictures
