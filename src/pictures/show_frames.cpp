#include "pictures/show_frames.h"

#include "pictures/bilinear_draw.h"
#include "pictures/modGDIPlusResize.h"

#include <QPainter>
#include <QRegion>

#include <algorithm>

namespace pictures {

namespace {

// Halvings beyond this would give sides below one pixel for any picture a window can show.
constexpr int kMaxHalvings = 24;

// A side halved `times` times, rounded up so that a reduction is never smaller than asked.
int halved(int side, int times) { return std::max(1, (side + (1 << times) - 1) >> times); }

// How often side can be halved and still be at least wanted.
int halvingsAbove(int side, int wanted) {
    int times = 0;
    while (times < kMaxHalvings && halved(side, times + 1) >= wanted) ++times;
    return times;
}

// Opaque pictures are kept in the frames' own format, which the bilinear drawing reads.
QImage inDrawingFormat(QImage image) {
    if (image.hasAlphaChannel() || image.format() == QImage::Format_RGB32) return image;
    return image.convertToFormat(QImage::Format_RGB32);
}

QImage smoothlyScaled(const QImage& image, QSize size) {
    if (image.size() == size) return image;
    return inDrawingFormat(image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
}

}  // namespace

ScaledPicture::ScaledPicture(QImage original, QSize largest)
    : original_(inDrawingFormat(std::move(original))), largest_(largest) {}

const QImage& ScaledPicture::reduction(int i, int j) {
    const auto key = std::make_pair(i, j);
    if (auto kept = reductions_.find(key); kept != reductions_.end()) return kept->second;
    const QSize size(halved(largest_.width(), i), halved(largest_.height(), j));
    const QImage& from = i > 0 ? reduction(i - 1, j) : j > 0 ? reduction(0, j - 1) : original_;
    return reductions_.emplace(key, smoothlyScaled(from, size)).first->second;
}

void ScaledPicture::paint(QPainter& painter, const QRect& target, const QRect& asked) {
    const QRect inside = isNull() ? QRect() : asked & target;
    const QRegion black = isOpaque() ? QRegion(asked).subtracted(inside) : QRegion(asked);
    for (const QRect& part : black) painter.fillRect(part, Qt::black);
    if (inside.isEmpty()) return;
    const int i = halvingsAbove(largest_.width(), target.width());
    const int j = halvingsAbove(largest_.height(), target.height());
    const QImage& source = reduction(i, j);
    if (source.size() == target.size()) {
        painter.drawImage(inside.topLeft(), source, inside.translated(-target.topLeft()));
        return;
    }
    QPoint offset;
    if (canDrawBilinear(source)) {
        if (const std::optional<Pixels32> pixels = directPixels(painter, offset)) {
            drawBilinear(*pixels, source, target.translated(offset), inside.translated(offset));
            return;
        }
    }
    painter.save();
    painter.setClipRect(inside);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.drawImage(target, source);
    painter.restore();
}

FrameCanvas::FrameCanvas(QSize size) : size_(size) {
    for (Buffer& buffer : buffers_) {
        buffer.image = QImage(size, QImage::Format_RGB32);
        buffer.image.fill(Qt::black);
    }
}

FrameCanvas::Buffer& FrameCanvas::nextBuffer() {
    Buffer& buffer = buffers_[next_];
    next_ ^= 1;
    return buffer;
}

const QImage& FrameCanvas::draw(ScaledPicture& picture, const QRect& target) {
    const QRect shown = buffers_[next_ ^ 1].covered;
    Buffer& buffer = nextBuffer();
    const QRect covered = target & buffer.image.rect();
    {
        QPainter painter(&buffer.image);  // takes a buffer of its own if a copy is still held
        picture.paint(painter, target, buffer.covered | covered);
    }
    buffer.covered = covered;
    changed_ = shown | covered;
    return buffer.image;
}

const QImage& FrameCanvas::blend(const QImage& under, const QImage& over, int alpha) {
    Buffer& buffer = nextBuffer();
    modGDIPlusResize::blendInto(buffer.image, under, over, alpha);
    buffer.covered = buffer.image.rect();
    changed_ = buffer.covered;
    return buffer.image;
}

}  // namespace pictures
