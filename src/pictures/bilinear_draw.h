// Bilinear drawing of an opaque 32-bit picture into a 32-bit canvas. Frames of the shows are
// drawn from a kept reduction less than twice their size; there every pixel blending the four
// source pixels around its centre is as sharp as the reduction allows and aliases nothing.
// Weights are fixed point (1/64 across, 1/256 down), so a colour stays exactly that colour and
// a picture drawn at its own size is copied unchanged.
#pragma once

#include <QImage>
#include <QRect>

namespace pictures {

// Whether drawBilinear can draw source into canvas: both Format_RGB32, source at least two
// pixels wide.
bool canDrawBilinear(const QImage& canvas, const QImage& source);

// Draws source scaled to target's size with its corner at target's corner; what lies outside
// canvas is cut off.
void drawBilinear(QImage& canvas, const QImage& source, const QRect& target);

}  // namespace pictures
