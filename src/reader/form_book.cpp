// The reader's controls and layout, the hand-over from the main window, keys and mouse, and
// the look of the text.
#include "reader/form_book.h"

#include "aids/ui/explain_at_caret.h"
#include "platform/colour.h"
#include "platform/dialogs.h"
#include "platform/named_button.h"
#include "settings/ui/ini_qt.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QTextEdit>
#include <QTextFrame>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

namespace reader {

namespace {

constexpr int kGap = 2;
constexpr int kButtonHeight = 28;
// The line-by-line scroll bar starts in the middle of its range, so it can go either way.
constexpr int kVScrollRange = 32767;

// The reader's buttons share one height, kButtonHeight or what a caption in a large font
// needs; a button without a caption is square.
void sizeButtons(std::initializer_list<QPushButton*> buttons) {
    int height = kButtonHeight;
    for (const QPushButton* button : buttons) height = std::max(height, button->sizeHint().height());
    for (QPushButton* button : buttons)
        button->setFixedSize(button->text().isEmpty() ? height : std::max(button->sizeHint().width(), 60), height);
}

}  // namespace

FormBook::FormBook(const ReaderLook& look, FormBookLinks links, QWidget* parent)
    : QWidget(parent, Qt::Window), links_(std::move(links)) {
    setObjectName("FormBook");
    setWindowTitle("VYNE Browser");
    buildControls();
    setLook(look);
    tips_.createToolTip(this, true);
    resize(800, 600);
}

FormBook::~FormBook() {
    stop_ = true;
    tips_.destroyToolTips();
}

void FormBook::buildControls() {
    // The title first, so that the buttons drawn over its right part lie above it.
    Label1 = new QLabel(this);
    Label1->setObjectName("Label1");

    Picture1 = new QWidget(this);
    Picture1->setObjectName("Picture1");
    Picture1->setAutoFillBackground(true);
    rt1 = new QTextEdit(Picture1);
    rt1->setObjectName("rt1");
    rt1->setAcceptRichText(false);
    rt1->setReadOnly(true);
    rt1->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    rt1->setFrameShape(QFrame::NoFrame);
    // Scrolling is the reader's own (auto-scroll, the wheel, VScroll1): no scroll bar in view.
    rt1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    rt1->setContextMenuPolicy(Qt::NoContextMenu);
    rt1->installEventFilter(this);
    rt1->viewport()->installEventFilter(this);
    auto* paneLayout = new QVBoxLayout(Picture1);
    paneLayout->setContentsMargins(0, 0, 0, 0);
    paneLayout->addWidget(rt1);
    // The background picture is painted here, behind rt1.
    Picture1->installEventFilter(this);

    using platform::makeButton;
    cmdOK = makeButton(this, "cmdOK", "Quit", "close me");
    Command6 = makeButton(this, "Command6", QString(), "go to next doc", style()->standardIcon(QStyle::SP_ArrowForward));
    Command5 = makeButton(this, "Command5", QString(), "go to previous doc", style()->standardIcon(QStyle::SP_ArrowBack));
    Command1 = makeButton(this, "Command1", "Scroll", "Scrolling the text");
    Command1->installEventFilter(this);
    Command3 = makeButton(this, "Command3", tr("Colour"), "Select back color ");
    Command2 = makeButton(this, "Command2", tr("Font"), "Select font ");
    sizeButtons({cmdOK, Command6, Command5, Command1, Command3, Command2});
    VScroll1 = new QScrollBar(Qt::Vertical, this);
    VScroll1->setObjectName("VScroll1");
    VScroll1->setRange(0, kVScrollRange);
    VScroll1->setValue(kVScrollRange / 2);
    previousVScroll_ = VScroll1->value();

    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setInterval(300);

    connect(cmdOK, &QPushButton::clicked, this, &FormBook::quit);
    connect(Command6, &QPushButton::clicked, this, [this] { showNextDoc(1); });
    connect(Command5, &QPushButton::clicked, this, [this] { showNextDoc(0); });
    connect(Command1, &QPushButton::clicked, this, &FormBook::autoScroll);
    connect(Command2, &QPushButton::clicked, this, &FormBook::chooseFont);
    connect(Command3, &QPushButton::clicked, this, &FormBook::chooseBackColour);
    connect(VScroll1, &QScrollBar::valueChanged, this, &FormBook::onVScroll);
    connect(Timer1, &QTimer::timeout, this, &FormBook::backPicTick);
}

void FormBook::setLook(const ReaderLook& look) {
    charset_ = look.font.charset;
    rt1->setFont(settings::fontWith(rt1->font(), look.font));
    QPalette palette = rt1->palette();
    if (look.backColour) palette.setColor(QPalette::Base, platform::colourFromRgb(*look.backColour));
    if (look.foreColour) palette.setColor(QPalette::Text, platform::colourFromRgb(*look.foreColour));
    rt1->setPalette(palette);
    QPalette pane = Picture1->palette();
    pane.setColor(QPalette::Window, palette.color(QPalette::Base));
    Picture1->setPalette(pane);
    renderBackPic();  // the picture lies on the back colour
}

ReaderLook FormBook::look() const {
    return {settings::iniFontOf(rt1->font(), charset_), platform::rgbFromColour(rt1->palette().color(QPalette::Base)),
            platform::rgbFromColour(rt1->palette().color(QPalette::Text))};
}

void FormBook::setfc(uint32_t colour) {
    ReaderLook colours = look();
    colours.foreColour = colour;
    setLook(colours);
}

void FormBook::setTitleStr(const QString& title) {
    titleStr_ = title;
    handOverPending_ = true;
}

void FormBook::setBuffer(const QString& text) {
    buffer_ = text;
    handOverPending_ = true;
}

void FormBook::setSelstart(int position) {
    selstart_ = position;
    handOverPending_ = true;
}

int FormBook::selstart() const { return handOverPending_ ? selstart_ : rt1->textCursor().selectionStart(); }

void FormBook::setShared(const ReaderShared& shared) { shared_ = shared; }

bool FormBook::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) activate();
    return QWidget::event(event);
}

void FormBook::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    activate();
}

// A hand-over is taken once: coming back to the reader later keeps the document and place
// reached meanwhile.
void FormBook::activate() {
    if (handOverPending_) {
        handOverPending_ = false;
        if (!scrolling_) stop_ = false;
        Label1->setText(titleStr_);
        setText(buffer_, selstart_, 5);
    }
    Timer1->start();
    drawFixedBackPic();
    rt1->setFocus();
}

void FormBook::setText(const QString& text, int caret, int selLength) {
    rt1->setPlainText(text);
    keepRoomBelowText();
    const int end = std::max(rt1->document()->characterCount() - 1, 0);
    QTextCursor cursor = rt1->textCursor();
    const int at = std::clamp(caret, 0, end);
    cursor.setPosition(at);
    cursor.setPosition(std::min(at + selLength, end), QTextCursor::KeepAnchor);
    rt1->setTextCursor(cursor);
}

void FormBook::keepRoomBelowText() {
    QTextFrame* root = rt1->document()->rootFrame();
    QTextFrameFormat format = root->frameFormat();
    if (format.bottomMargin() == rt1->viewport()->height()) return;
    format.setBottomMargin(rt1->viewport()->height());
    root->setFrameFormat(format);
}

int FormBook::GetLineCount() const { return rt1->document()->lineCount(); }

void FormBook::ScrollUp() {
    QScrollBar* bar = rt1->verticalScrollBar();
    bar->setValue(bar->value() - rt1->fontMetrics().lineSpacing());
}

void FormBook::ScrollDown() {
    QScrollBar* bar = rt1->verticalScrollBar();
    bar->setValue(bar->value() + rt1->fontMetrics().lineSpacing());
}

void FormBook::onVScroll(int value) {
    if (value > previousVScroll_) ScrollDown();
    else ScrollUp();
    previousVScroll_ = value;
}

void FormBook::showNextDoc(int direction) {
    const QString text = links_.nextText ? links_.nextText(direction) : rt1->toPlainText();
    setText(text, 0, 0);
    rt1->setFocus();
}

void FormBook::chooseFont() {
    const auto choice =
        platform::pickFont(this, "Please Select Font", {rt1->font(), rt1->palette().color(QPalette::Text)});
    if (!choice) return;
    rt1->setFont(choice->font);
    setfc(platform::rgbFromColour(choice->colour));
}

void FormBook::chooseBackColour() {
    const auto colour = platform::pickColour(this, "Please Back Color", rt1->palette().color(QPalette::Base));
    if (!colour) return;
    ReaderLook back = look();
    back.backColour = platform::rgbFromColour(*colour);
    setLook(back);
}

void FormBook::quit() {
    if (links_.handBackCaret) links_.handBackCaret(selstart(), 8);
    close();
}

void FormBook::changeSpeed(int x) {
    int& level = shared_.wSleep;
    level = x > rt1->width() / 2 ? (level + 1) % kSpeedLevels : (level + kSpeedLevels - 1) % kSpeedLevels;
    if (links_.speedChanged) links_.speedChanged(level);
}

void FormBook::escapePressed() {
    if (stop_) close();
    else stop_ = true;
}

void FormBook::closeEvent(QCloseEvent* event) {
    stop_ = true;
    Timer1->stop();
    if (links_.lookToKeep) links_.lookToKeep(look());
    tips_.removeToolTip(rt1->viewport());
    event->accept();
}

void FormBook::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layoutControls();
}

void FormBook::layoutControls() {
    const int top = height() - cmdOK->height() - kGap;
    int left = width();
    for (QWidget* control : {static_cast<QWidget*>(cmdOK), static_cast<QWidget*>(Command6),
                             static_cast<QWidget*>(Command5), static_cast<QWidget*>(Command1),
                             static_cast<QWidget*>(Command3), static_cast<QWidget*>(Command2)}) {
        left -= control->width() + kGap;
        control->move(left, top);
    }
    VScroll1->setGeometry(left - 16 - kGap, top, 16, cmdOK->height());
    Label1->setGeometry(kGap, top, std::max(Command1->x() - kGap, 0), cmdOK->height());
    Picture1->setGeometry(0, 0, width(), std::max(top, 0));
    keepRoomBelowText();
    renderBackPic();
}

void FormBook::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && links_.handBackCaret) links_.handBackCaret(selstart(), 0);
    QWidget::mousePressEvent(event);
}

void FormBook::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) escapePressed();
    else QWidget::keyPressEvent(event);
}

bool FormBook::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if ((watched == rt1 || watched == Command1) && type == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        if (watched == rt1) escapePressed();
        else requestStop();
        return true;
    }
    if (watched == rt1->viewport() && type == QEvent::MouseButtonPress) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::RightButton) {
            changeSpeed(rt1->viewport()->mapTo(rt1, mouse->position().toPoint()).x());
            return true;
        }
        if (mouse->button() == Qt::LeftButton) requestStop();
    } else if (watched == rt1->viewport() && type == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::RightButton && shared_.explainMode != aids::kExplainOff && links_.explainModule)
            aids::explainAfterRelease(*links_.explainModule, tips_, rt1, shared_.explainMode);
    } else if (watched == Picture1 && type == QEvent::Paint && !backPicture_.isNull()) {
        QPainter painter(Picture1);
        painter.drawImage(0, 0, backPicture_);
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace reader
