#include "aids/ui/tool_tips.h"

#include "platform/colour.h"
#include "platform/dialogs.h"

#include <QCursor>
#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace aids {
namespace {

QString styleSheet(const TipLook& look, bool balloon) {
    return QString("QLabel { background-color: %1; color: %2; border: 1px solid #767676; border-radius: %3px; "
                   "padding: 4px; }")
        .arg(platform::colourFromRgb(look.backColour).name(), platform::colourFromRgb(look.textColour).name())
        .arg(balloon ? 6 : 0);
}

// The tip's size for the text: its natural width up to the maximum, wrapping beyond it.
void fitText(QLabel* tip, const QString& text, int maxWidth) {
    tip->setMinimumSize(0, 0);
    tip->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    tip->setWordWrap(false);
    tip->setText(text);
    tip->adjustSize();
    if (tip->width() <= maxWidth) return;
    tip->setWordWrap(true);
    tip->setFixedWidth(maxWidth);
    tip->setFixedHeight(tip->heightForWidth(maxWidth));
}

// Below the pointer, right of it or centred under it, kept on the pointer's screen.
QPoint tipPosition(const QSize& size, bool centred) {
    const QPoint pointer = QCursor::pos();
    QPoint at = pointer + QPoint(centred ? -size.width() / 2 : 2, 20);
    if (const QScreen* screen = QGuiApplication::screenAt(pointer)) {
        const QRect area = screen->availableGeometry();
        at.setX(std::clamp(at.x(), area.left(), std::max(area.left(), area.right() - size.width())));
        if (at.y() + size.height() > area.bottom()) at.setY(pointer.y() - size.height() - 4);
        at.setY(std::max(at.y(), area.top()));
    }
    return at;
}

}  // namespace

ToolTips::ToolTips() {
    delay_.setSingleShot(true);
    display_.setSingleShot(true);
    connect(&delay_, &QTimer::timeout, this, [this] { showTip(); });
    connect(&display_, &QTimer::timeout, this, [this] { hideTip(); });
}

ToolTips::~ToolTips() { destroyToolTips(); }

bool ToolTips::createToolTip(QWidget* owner, bool balloon) {
    destroyToolTips();
    if (!owner) {
        platform::showMessage(nullptr, "错误", "错误！无法建立工具提示窗口！", platform::MessageIcon::Critical);
        return false;
    }
    auto* tip = new QLabel(owner, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    tip->setObjectName("explainTip");
    tip->setTextFormat(Qt::PlainText);
    tip->setAttribute(Qt::WA_ShowWithoutActivating);
    if (balloon) tip->setAttribute(Qt::WA_TranslucentBackground);
    tip_ = tip;
    balloon_ = balloon;
    return true;
}

void ToolTips::addToolTip(QWidget* control, const QString& text, const TipLook& look) {
    if (!tip_ || !control) return;
    if (!tools_.contains(control)) {
        control->installEventFilter(this);
        connect(control, &QObject::destroyed, this, [this, control] { tools_.erase(control); });
    }
    tools_[control] = {text, look};
    hideTip();
    waiting_ = control;
    delay_.start(look.initialDelay);
}

void ToolTips::removeToolTip(QWidget* control) {
    if (!tools_.erase(control)) return;
    control->removeEventFilter(this);
    disconnect(control, nullptr, this, nullptr);
    if (waiting_ == control) hideTip();
}

void ToolTips::destroyToolTips() {
    while (!tools_.empty()) removeToolTip(tools_.begin()->first);
    hideTip();
    delete tip_.data();
    tip_ = nullptr;
}

QString ToolTips::toolText(QWidget* control) const {
    const auto tool = tools_.find(control);
    return tool == tools_.end() ? QString() : tool->second.text;
}

bool ToolTips::eventFilter(QObject* watched, QEvent* event) {
    auto* control = static_cast<QWidget*>(watched);
    const auto tool = tools_.find(control);
    if (tool == tools_.end()) return false;
    switch (event->type()) {
    case QEvent::Enter:
        hideTip();
        waiting_ = control;
        delay_.start(tool->second.look.initialDelay);
        break;
    case QEvent::Leave:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::Hide:
        if (waiting_ == control) hideTip();
        break;
    default:
        break;
    }
    return false;
}

void ToolTips::showTip() {
    const auto tool = tools_.find(waiting_.data());
    if (!tip_ || tool == tools_.end() || !waiting_->isVisible()) return;
    const TipLook& look = tool->second.look;
    tip_->setStyleSheet(styleSheet(look, balloon_));
    fitText(tip_, tool->second.text, look.maxWidth);
    tip_->move(tipPosition(tip_->size(), look.centred));
    tip_->show();
    tip_->raise();
    display_.start(look.displayTime);
}

void ToolTips::hideTip() {
    delay_.stop();
    display_.stop();
    if (tip_) tip_->hide();
}

}  // namespace aids
