// Drawing aids of the slide shows and effects: a picture prepared for drawing at many sizes, and
// the frame buffers the frames are drawn into.
//
// A frame is a canvas of the display size, black, with one picture drawn into it. Pictures are
// reduced with high quality (area-averaging) once per picture and step of halving, never per
// frame; each frame is drawn from the kept reduction nearest above its size, so what scaling is
// left is a smooth reduction by less than half (no aliasing) or none at all. Frames are drawn in
// turn into two buffers kept for the whole show, so nothing the size of a frame is allocated
// per frame and only what changed is cleared and repainted. Opaque pictures are drawn by our
// own bilinear drawing (bilinear_draw.h) wherever the painter's pixels can be written directly,
// others through QPainter's smooth scaling.
#pragma once

#include <QImage>
#include <QRect>
#include <QSize>

#include <map>
#include <utility>

class QPainter;

namespace pictures {

class ScaledPicture {
public:
    // original will be drawn at sizes up to largest along each side (larger ones are drawn
    // enlarged from that size).
    ScaledPicture(QImage original, QSize largest);

    QSize largest() const { return largest_; }
    bool isNull() const { return original_.isNull() || largest_.isEmpty(); }
    // Whether a draw covers its whole target.
    bool isOpaque() const { return !isNull() && !original_.hasAlphaChannel(); }
    // Paints the part asked (painter coordinates) of a frame: the picture scaled to target's
    // size with its corner at target's, on black.
    void paint(QPainter& painter, const QRect& target, const QRect& asked);

private:
    // The reduction to largest halved i times across and j times down; made on first use from
    // the next larger kept one.
    const QImage& reduction(int i, int j);

    QImage original_;
    QSize largest_;
    std::map<std::pair<int, int>, QImage> reductions_;
};

class FrameCanvas {
public:
    explicit FrameCanvas(QSize size);

    QSize size() const { return size_; }
    // The next frame: picture drawn into target on black. A frame stays as it is until the call
    // after next (the buffers are used in turn); a copy taken of it stays as it is for good.
    const QImage& draw(ScaledPicture& picture, const QRect& target);
    // The next frame: under with over drawn on it from the corner at a constant alpha (0
    // transparent .. 255 opaque).
    const QImage& blend(const QImage& under, const QImage& over, int alpha);
    // Where the last frame differs from the one before it.
    QRect changed() const { return changed_; }

private:
    struct Buffer {
        QImage image;
        QRect covered;  // where it is not black
    };
    Buffer& nextBuffer();

    QSize size_;
    Buffer buffers_[2];
    int next_ = 0;
    QRect changed_;
};

}  // namespace pictures
