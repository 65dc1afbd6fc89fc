#include "settings/ui/ini_qt.h"

#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace settings {

QFont fontWith(QFont base, const IniFont& stored) {
    if (!stored.name.empty()) base.setFamily(QString::fromStdString(stored.name));
    if (stored.size > 0 && stored.size <= kLargestFontSize) base.setPointSizeF(stored.size);
    if (stored.weight >= 1 && stored.weight <= 1000) base.setWeight(QFont::Weight(stored.weight));
    if (stored.bold != base.bold()) base.setBold(stored.bold);
    base.setItalic(stored.italic);
    base.setUnderline(stored.underline);
    base.setStrikeOut(stored.strikethrough);
    return base;
}

IniFont iniFontOf(const QFont& font, int32_t charset) {
    IniFont stored;
    stored.name = font.family().toStdString();
    stored.size = float(font.pointSizeF());
    stored.bold = font.bold();
    stored.italic = font.italic();
    stored.underline = font.underline();
    stored.strikethrough = font.strikeOut();
    stored.weight = int32_t(font.weight());
    stored.charset = charset;
    return stored;
}

int twipsPerPixel(const QWidget& widget) {
    const QScreen* screen = widget.screen();
    const double dpi = screen ? screen->logicalDotsPerInch() : 96;
    return std::max(1, int(1440 / std::max(dpi, 1.0) + 0.5));
}

IniFormPosition formPositionOf(const QWidget& window) {
    const int tpp = twipsPerPixel(window);
    const QRect outer = window.frameGeometry();
    IniFormPosition p;
    p.left = outer.x() * tpp;
    p.top = outer.y() * tpp;
    p.width = outer.width() * tpp;
    p.height = outer.height() * tpp;
    p.state = window.isMinimized()   ? IniFormPosition::State::Minimised
              : window.isMaximized() ? IniFormPosition::State::Maximised
                                     : IniFormPosition::State::Normal;
    return p;
}

IniScreen screenOf(const QWidget& window) {
    const int tpp = twipsPerPixel(window);
    const QScreen* screen = window.screen();
    const QRect area = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
    return {area.width() * tpp, area.height() * tpp, tpp, tpp};
}

void placeWindow(QWidget& window, const cInifile::Placement& placement) {
    if (placement.moved) {
        const int tpp = twipsPerPixel(window);
        // The frame around the window's inside, as far as it is known yet.
        const QRect outer = window.frameGeometry(), inner = window.geometry();
        const int left = inner.x() - outer.x(), top = inner.y() - outer.y();
        const int extraWidth = outer.width() - inner.width(), extraHeight = outer.height() - inner.height();
        window.setGeometry(placement.left / tpp + left, placement.top / tpp + top,
                           std::max(1, placement.width / tpp - extraWidth),
                           std::max(1, placement.height / tpp - extraHeight));
    }
    if (placement.maximise) window.setWindowState(window.windowState() | Qt::WindowMaximized);
}

}  // namespace settings
