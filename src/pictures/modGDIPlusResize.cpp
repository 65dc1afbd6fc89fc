#include "pictures/modGDIPlusResize.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QMimeData>
#include <QPainter>
#include <QRegion>

#include <algorithm>
#include <cmath>

namespace modGDIPlusResize {

PictureLoadError::PictureLoadError(const QString& path)
    : std::runtime_error(QStringLiteral("错误装载图片。 %1").arg(path).toStdString()),
      description_(QStringLiteral("错误装载图片。 ") + path) {}

QString PictureLoadError::source() { return QStringLiteral("GDI+ 模块"); }

namespace {

// Bounds what any one decode may allocate, including formats that do not declare their size
// before decoding. Room for the largest picture decoded at its own size, at 32 bits a pixel.
void limitDecoderAllocation() {
    static const bool limited = [] {
        QImageReader::setAllocationLimit(int(kMaxDecodedPixels * 4 / (1024 * 1024)) + 16);
        return true;
    }();
    (void)limited;
}

// The factor by which a picture of stored size may be decoded reduced and still cover box in
// its shown orientation; 1 when it may not be reduced.
double coveringShrink(QSize stored, QSize box, QImageIOHandler::Transformations transformation) {
    if (!box.isValid() || box.isEmpty()) return 1.0;
    if (transformation & QImageIOHandler::TransformationRotate90) box.transpose();
    return std::min(1.0, std::max(double(box.width()) / stored.width(), double(box.height()) / stored.height()));
}

QImage decode(QIODevice& device, const QString& path, const CoveringFor& coveringFor = {}) {
    limitDecoderAllocation();
    QImageReader reader(&device);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(true);
    const QSize declared = reader.size();
    if (declared.isValid() && !declared.isEmpty()) {
        const qint64 pixels = qint64(declared.width()) * declared.height();
        if (pixels > kMaxDeclaredPixels) throw PictureLoadError(path);
        const bool scalable = reader.supportsOption(QImageIOHandler::ScaledSize);
        if (pixels > kMaxDecodedPixels && !scalable) throw PictureLoadError(path);
        const double limit = pixels > kMaxDecodedPixels ? std::sqrt(double(kMaxDecodedPixels) / double(pixels)) : 1.0;
        const bool turned = reader.transformation() & QImageIOHandler::TransformationRotate90;
        const QSize covering = coveringFor ? coveringFor(turned ? declared.transposed() : declared) : QSize();
        const double cover = scalable ? coveringShrink(declared, covering, reader.transformation()) : 1.0;
        if (limit < 1.0 || cover < 1.0) {
            // Sides rounded down to stay under the limit, or up to keep covering.
            const auto side = [&](int length) {
                return std::max(1, limit <= cover ? int(length * limit) : int(std::ceil(length * cover - 1e-6)));
            };
            reader.setQuality(100);  // smooth scaling for what the decoder's own reduction leaves
            reader.setScaledSize(QSize(side(declared.width()), side(declared.height())));
        }
    }
    QImage image = reader.read();
    if (image.isNull()) throw PictureLoadError(path);
    return image;
}

}  // namespace

QImage loadPictureFile(const QString& path) {
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) throw PictureLoadError(path);
    return decode(file, path);
}

QImage loadPictureBytes(const QByteArray& bytes, QSize covering) {
    return loadPictureBytes(bytes, [covering](QSize) { return covering; });
}

QImage loadPictureBytes(const QByteArray& bytes, const CoveringFor& coveringFor) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return decode(buffer, QString(), coveringFor);
}

QRect fitRect(QSize imageSize, QSize boxSize, bool keepProportions) {
    if (imageSize.isEmpty() || boxSize.isEmpty()) return {};
    if (!keepProportions) return QRect(QPoint(0, 0), boxSize);
    const double w = boxSize.width(), h = boxSize.height();
    const double r = double(imageSize.width()) / imageSize.height();
    const double drawnW = (w / h < r) ? w : h * r;
    const double drawnH = (w / h < r) ? w / r : h;
    return QRect(int(std::lround((w - drawnW) / 2)), int(std::lround((h - drawnH) / 2)),
                 std::max(1, int(std::lround(drawnW))), std::max(1, int(std::lround(drawnH))));
}

namespace {

QImage scaledTo(const QImage& image, QSize size) {
    if (size == image.size()) return image;
    return image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

}  // namespace

QImage fitPicture(const QImage& image, QSize boxSize, bool keepProportions) {
    const QRect drawn = fitRect(image.size(), boxSize, keepProportions);
    return drawn.isEmpty() ? QImage() : scaledTo(image, drawn.size());
}

QImage renderPicture(const QImage& image, QSize boxSize, const QColor& background, bool keepProportions) {
    if (!boxSize.isValid()) boxSize = image.size();
    if (boxSize.isEmpty()) return {};
    QImage canvas(boxSize, QImage::Format_RGB32);
    const QRect drawn = fitRect(image.size(), boxSize, keepProportions);
    if (drawn.isEmpty() || image.hasAlphaChannel()) {
        canvas.fill(background);
        if (drawn.isEmpty()) return canvas;
    }
    QPainter painter(&canvas);
    if (!image.hasAlphaChannel()) {
        // An opaque picture covers its rectangle: only the margins around it need the background.
        for (const QRect& margin : QRegion(canvas.rect()).subtracted(drawn)) painter.fillRect(margin, background);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
    }
    painter.drawImage(drawn.topLeft(), scaledTo(image, drawn.size()));
    return canvas;
}

void blendInto(QImage& canvas, const QImage& destination, const QImage& source, int alpha) {
    if (canvas.size() != destination.size() || canvas.format() != QImage::Format_RGB32)
        canvas = QImage(destination.size(), QImage::Format_RGB32);
    if (canvas.isNull()) return;
    QPainter painter(&canvas);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(QPoint(0, 0), destination);
    if (source.isNull()) return;
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.setOpacity(std::clamp(alpha, 0, 255) / 255.0);
    painter.drawImage(QPoint(0, 0), source);
}

QImage pictureFromMimeData(const QMimeData* data) {
    if (!data) return QImage();
    if (data->hasImage()) return qvariant_cast<QImage>(data->imageData());
    if (!data->hasUrls() || data->urls().isEmpty() || !data->urls().first().isLocalFile()) return QImage();
    try {
        return loadPictureFile(data->urls().first().toLocalFile());
    } catch (const PictureLoadError&) {
        return QImage();
    }
}

}  // namespace modGDIPlusResize
