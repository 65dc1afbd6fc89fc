// The one place where pictures are decoded and scaled.
//
// Every window draws pictures through these routines: decoding from a file or from bytes held in
// memory (a picture stored in a library), the fit rule that keeps proportions and centres the
// picture, stretching, rendering on a background colour, and constant-alpha blending.
// Decoding is guarded against decompression bombs: a picture whose declared size is absurd is
// refused, and a merely very large one is decoded at a reduced size.
#pragma once

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QMimeData>
#include <QRect>
#include <QSize>
#include <QString>

#include <functional>
#include <stdexcept>

namespace modGDIPlusResize {

// Raised when a picture cannot be decoded. description() is "错误装载图片。 " followed by the
// file path (nothing follows it for bytes); source() is "GDI+ 模块".
class PictureLoadError : public std::runtime_error {
public:
    explicit PictureLoadError(const QString& path);
    const QString& description() const { return description_; }
    static QString source();

private:
    QString description_;
};

// The largest picture decoded at its own size, in pixels; larger ones are decoded scaled down to
// this many pixels when their format allows it.
inline constexpr qint64 kMaxDecodedPixels = 50'000'000;
// Pictures that declare more pixels than this are refused outright.
inline constexpr qint64 kMaxDeclaredPixels = 400'000'000;

// Decodes a picture file, deciding the format by content. Only regular files are read (a pipe
// or a device would block or never end). Throws PictureLoadError.
QImage loadPictureFile(const QString& path);
// Decodes a picture held in memory. With a valid covering size, a picture larger than needed to
// cover it (both sides at least covering's, proportions kept) is decoded reduced where its format
// allows, for pictures that are only ever drawn within that size. Throws PictureLoadError.
QImage loadPictureBytes(const QByteArray& bytes, QSize covering = QSize());
// The covering size for a picture of the given size (as shown, turned as its file says).
using CoveringFor = std::function<QSize(QSize shown)>;
// As above, with the covering size chosen once the picture's size is known.
QImage loadPictureBytes(const QByteArray& bytes, const CoveringFor& coveringFor);
// The picture that dropped (or pasted) data carries: picture data, or else the first local file
// of its list decoded as a picture. An empty image when it carries none.
QImage pictureFromMimeData(const QMimeData* data);

// Where a picture of imageSize is drawn inside a box of boxSize. Keeping proportions, with
// r = width / height: if box w / h < r the drawn size is w x (w / r), otherwise (h x r) x h, and
// the picture is centred (size and offsets rounded to whole pixels). Without it, the picture
// fills the box. An empty image or box gives an empty rectangle.
QRect fitRect(QSize imageSize, QSize boxSize, bool keepProportions = true);

// The picture scaled (smoothly) to the size the fit rule gives for a box: no canvas around it.
QImage fitPicture(const QImage& image, QSize boxSize, bool keepProportions = true);

// A canvas of boxSize filled with background, the picture drawn on it by the fit rule (smooth,
// high-quality scaling). An invalid boxSize means the picture's own size.
QImage renderPicture(const QImage& image, QSize boxSize = QSize(), const QColor& background = Qt::black,
                     bool keepProportions = true);

// Makes canvas the destination's own picture with source drawn over it from the top-left corner
// at a constant alpha (0 transparent .. 255 opaque; values outside are clamped). canvas keeps its
// memory when it already has the destination's size, so a show blending every frame allocates
// nothing.
void blendInto(QImage& canvas, const QImage& destination, const QImage& source, int alpha);

}  // namespace modGDIPlusResize
