// Bilinear drawing of an opaque 32-bit picture straight into 32-bit pixels. Frames of the shows
// are drawn from a kept reduction less than twice their size; there every pixel blending the
// four source pixels around its centre is as sharp as the reduction allows and aliases nothing.
// Weights are fixed point (1/64 across, 1/256 down), so a colour stays exactly that colour and
// a picture drawn at its own size is copied unchanged.
#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>

#include <cstdint>
#include <optional>

class QPainter;

namespace pictures {

// Pixels of 32 bits, rows bytesPerLine apart, written in place where allowed.
struct Pixels32 {
    uint8_t* bits;
    qsizetype bytesPerLine;
    QSize size;
    QRect allowed;
};

// What painter draws on, when it can be written directly: a Format_RGB32 image (a window's
// buffer or an image of ours) drawn one pixel a pixel and at most moved; offset is then where
// the painter's (0, 0) lies in it.
std::optional<Pixels32> directPixels(QPainter& painter, QPoint& offset);

// Whether drawBilinear can draw source: Format_RGB32 and at least two pixels wide.
bool canDrawBilinear(const QImage& source);

// Draws source scaled to target's size with its corner at target's corner; only what lies in
// clip and in canvas is drawn.
void drawBilinear(const Pixels32& canvas, const QImage& source, const QRect& target, const QRect& clip);

}  // namespace pictures
