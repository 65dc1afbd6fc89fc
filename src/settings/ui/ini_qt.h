// The settings file's forms of fonts and window places, taken from and given to Qt.
#pragma once

#include "settings/ini_file.h"

#include <QFont>

class QWidget;

namespace settings {

// The base font with what is stored: a face that is not empty, a size above 0 and at most
// kLargestFontSize points, a weight of 1 to 1000 (a stored bold flag wins over it), and the
// flags. Sizes and weights outside those ranges keep the base's.
inline constexpr float kLargestFontSize = 400;
QFont fontWith(QFont base, const IniFont& stored);
// The font in the stored form; Qt knows no character set, so the one given is kept.
IniFont iniFontOf(const QFont& font, int32_t charset);

// Twips per pixel of the screen the widget is on (1440 twips an inch).
int twipsPerPixel(const QWidget& widget);
// The window's outer place in twips and its state; the screen it is on, in twips.
IniFormPosition formPositionOf(const QWidget& window);
IniScreen screenOf(const QWidget& window);
// Gives the window the placement (outer place in twips), maximised when it says so.
void placeWindow(QWidget& window, const cInifile::Placement& placement);

}  // namespace settings
