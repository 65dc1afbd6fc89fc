// Pictures made for tests: an image of one colour, encoded in a file format.
#pragma once

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QSize>

#include <cstdint>
#include <vector>

namespace testing_support {

// The encoded bytes of a size picture filled with colour; format is a Qt image format name
// ("PNG", "JPG", "BMP"), quality as QImage::save takes it.
inline QByteArray encodedPicture(QColor colour, QSize size, const char* format, int quality = -1) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format, quality);
    return data;
}

// The same as the byte vector the store takes.
inline std::vector<uint8_t> encodedPictureBytes(QColor colour, QSize size, const char* format, int quality = -1) {
    const QByteArray data = encodedPicture(colour, size, format, quality);
    return std::vector<uint8_t>(data.begin(), data.end());
}

}  // namespace testing_support
