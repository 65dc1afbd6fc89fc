#include "pictures/bilinear_draw.h"

#include "pictures/bilinear_plan.h"
#include "pictures/bilinear_vectors.h"
#include "pictures/shared_bands.h"

#include <QPaintEngine>
#include <QPainter>
#include <QRegion>

#include <algorithm>
#include <cmath>
#include <optional>

namespace pictures {

namespace {

// Draws of fewer pixels stay on this thread: handing bands over costs more than it saves.
constexpr qint64 kSharedPixels = 48 * 1024;
// A shared draw goes in bands of about this many pixels, a few microseconds each.
constexpr qint64 kBandPixels = 16 * 1024;

}  // namespace

std::optional<Pixels32> directPixels(QPainter& painter, QPoint& offset) {
    QPaintEngine* engine = painter.paintEngine();
    QPaintDevice* device = engine ? engine->paintDevice() : nullptr;
    if (!device || device->devType() != QInternal::Image) return std::nullopt;
    auto* image = static_cast<QImage*>(device);
    const QTransform& transform = painter.deviceTransform();
    if (image->format() != QImage::Format_RGB32 || image->devicePixelRatio() != 1.0 ||
        transform.type() > QTransform::TxTranslate || transform.dx() != std::floor(transform.dx()) ||
        transform.dy() != std::floor(transform.dy()))
        return std::nullopt;
    // Only where the painter may draw: a window's buffer holds other widgets' pixels too.
    const QRegion allowed = engine->systemClip();
    if (!allowed.isEmpty() && allowed.rectCount() != 1) return std::nullopt;
    offset = QPoint(int(transform.dx()), int(transform.dy()));
    // The painter made the image its own when it began, so its pixels are written in place:
    // scanLine() would copy them if the image were shared, and the painter would not see that.
    return Pixels32{const_cast<uint8_t*>(image->constBits()), image->bytesPerLine(), image->size(),
                    allowed.isEmpty() ? image->rect() : allowed.boundingRect()};
}

bool canDrawBilinear(const QImage& source) {
    return source.format() == QImage::Format_RGB32 && source.width() >= 2 && source.height() >= 1;
}

void drawBilinear(const Pixels32& canvas, const QImage& source, const QRect& target, const QRect& clip) {
    if (!canDrawBilinear(source) || target.isEmpty()) return;
    const QRect visible = target & clip & canvas.allowed;
    if (visible.isEmpty()) return;
    const bilinear::Plan plan = bilinear::planFor(source, target, visible);
    const std::optional<bilinear::VectorRows> vectors = bilinear::VectorRows::prepare(plan, source.width());
    uint8_t* first = canvas.bits + qsizetype(visible.top()) * canvas.bytesPerLine + 4 * visible.left();
    const auto draw = [&](size_t begin, size_t end) {
        const bilinear::Rows rows{first, canvas.bytesPerLine, begin, end};
        if (vectors) return vectors->draw(plan, rows, source);
        bilinear::drawColumnsPlain(plan, rows, source, 0);
    };
    // A large draw is shared with the drawing threads, a small one is not worth their waking.
    const size_t count = plan.down.size();
    if (qint64(count) * visible.width() < kSharedPixels) return draw(0, count);
    workInBands(count, size_t(std::max<qint64>(1, kBandPixels / visible.width())), draw);
}

}  // namespace pictures
