#include "pictures/modGDIPlusResize.h"
#include "support/picture_bytes.h"
#include "support/temp_dir.h"

#include <QBuffer>
#include <QImage>
#include <QtEndian>

#include <gtest/gtest.h>
#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif
#include <zlib.h>

using namespace modGDIPlusResize;
using testing_support::TempDir;

namespace {

QImage solid(int w, int h, QColor colour) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

QByteArray encoded(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

// A PNG whose header declares a huge size but that holds almost no data.
QByteArray pngDeclaring(quint32 width, quint32 height) {
    QByteArray png = encoded(solid(1, 1, Qt::white), "PNG");
    // The IHDR chunk's width and height follow the 8-byte signature and the chunk's length and type.
    qToBigEndian(width, png.data() + 16);
    qToBigEndian(height, png.data() + 20);
    const auto* chunk = reinterpret_cast<const Bytef*>(png.constData() + 12);
    qToBigEndian(quint32(crc32(0, chunk, 17)), png.data() + 29);
    return png;
}

// A small JPEG whose frame header declares another size; the decoder fills in the missing data.
QByteArray jpegDeclaring(quint16 width, quint16 height) {
    QByteArray jpeg = encoded(solid(16, 16, Qt::red), "JPEG");
    const qsizetype frame = jpeg.indexOf(QByteArray("\xff\xc0", 2));
    qToBigEndian(height, jpeg.data() + frame + 5);
    qToBigEndian(width, jpeg.data() + frame + 7);
    return jpeg;
}

struct FitCase {
    QSize image, box;
    QRect drawn;
};

TEST(FitRule, KeepsProportionsAndCentresWithRoundedOffsets) {
    const FitCase cases[] = {
        {{200, 100}, {100, 100}, {0, 25, 100, 50}},   // twice as wide as high
        {{100, 200}, {100, 100}, {25, 0, 50, 100}},   // twice as high as wide
        {{300, 200}, {100, 100}, {0, 17, 100, 67}},   // 66.67 high, offset 16.67
        {{50, 50}, {200, 100}, {50, 0, 100, 100}},    // small pictures are enlarged
        {{4000, 3000}, {1280, 720}, {160, 0, 960, 720}},
        {{1, 1000}, {100, 100}, {50, 0, 1, 100}},     // a sliver keeps a pixel of width
    };
    for (const auto& c : cases)
        EXPECT_EQ(fitRect(c.image, c.box), c.drawn) << c.image.width() << "x" << c.image.height();
}

TEST(FitRule, StretchFillsTheBoxAndEmptySizesDrawNothing) {
    EXPECT_EQ(fitRect({200, 100}, {80, 60}, false), QRect(0, 0, 80, 60));
    EXPECT_TRUE(fitRect({0, 100}, {80, 60}).isEmpty());
    EXPECT_TRUE(fitRect({200, 100}, {0, 60}).isEmpty());
}

TEST(RenderPicture, DrawsTheFittedPictureOnTheBackground) {
    const QImage canvas = renderPicture(solid(200, 100, Qt::red), {100, 100}, Qt::blue);
    ASSERT_EQ(canvas.size(), QSize(100, 100));
    EXPECT_EQ(canvas.pixelColor(50, 10), QColor(Qt::blue));   // above the picture
    EXPECT_EQ(canvas.pixelColor(50, 50), QColor(Qt::red));    // inside it
    EXPECT_EQ(canvas.pixelColor(50, 90), QColor(Qt::blue));   // below it
}

TEST(RenderPicture, TransparentPicturesShowTheBackgroundThrough) {
    QImage clear(20, 20, QImage::Format_ARGB32);
    clear.fill(Qt::transparent);
    EXPECT_EQ(renderPicture(clear, {40, 20}, Qt::blue).pixelColor(20, 10), QColor(Qt::blue));
}

TEST(RenderPicture, MissingSizeMeansOwnSizeAndStretchCoversAll) {
    const QImage own = renderPicture(solid(37, 23, Qt::green));
    EXPECT_EQ(own.size(), QSize(37, 23));
    EXPECT_EQ(own.pixelColor(36, 22), QColor(Qt::green));
    const QImage stretched = renderPicture(solid(200, 100, Qt::red), {100, 100}, Qt::blue, false);
    EXPECT_EQ(stretched.pixelColor(50, 2), QColor(Qt::red));
    EXPECT_EQ(fitPicture(solid(200, 100, Qt::red), {100, 100}).size(), QSize(100, 50));
}

TEST(Blend, MixesSourceOverDestinationWithConstantAlpha) {
    const QImage black = solid(10, 10, Qt::black), white = solid(10, 10, Qt::white);
    const auto blend = [&black](const QImage& source, int alpha) {
        QImage canvas;
        blendInto(canvas, black, source, alpha);
        return canvas;
    };
    EXPECT_EQ(blend(white, 0).pixelColor(5, 5), QColor(Qt::black));
    EXPECT_EQ(blend(white, 255).pixelColor(5, 5), QColor(Qt::white));
    EXPECT_NEAR(blend(white, 128).pixelColor(5, 5).red(), 128, 2);
    EXPECT_EQ(blend(white, 999).pixelColor(5, 5), QColor(Qt::white));  // clamped
    // Only the source's own area is covered.
    EXPECT_EQ(blend(solid(4, 4, Qt::white), 255).pixelColor(8, 8), QColor(Qt::black));
}

TEST(Blend, ReusesACanvasOfTheRightSizeAndRemakesAnother) {
    const QImage red = solid(10, 10, Qt::red), blue = solid(10, 10, Qt::blue);
    QImage canvas(10, 10, QImage::Format_RGB32);
    const uchar* memory = canvas.constBits();
    blendInto(canvas, red, blue, 0);
    EXPECT_EQ(canvas.constBits(), memory);
    EXPECT_EQ(canvas.pixelColor(3, 3), QColor(Qt::red));  // the old contents are replaced
    QImage small(4, 4, QImage::Format_RGB32);
    blendInto(small, red, blue, 255);
    EXPECT_EQ(small.size(), QSize(10, 10));
    EXPECT_EQ(small.pixelColor(9, 9), QColor(Qt::blue));
}

TEST(LoadPicture, DecodesFilesByContentAndBytes) {
    TempDir dir;
    const std::string path = dir.file("named-wrongly.gif");
    testing_support::writeFile(path, encoded(solid(30, 20, Qt::red), "PNG").toStdString());
    EXPECT_EQ(loadPictureFile(QString::fromStdString(path)).size(), QSize(30, 20));
    EXPECT_EQ(loadPictureBytes(encoded(solid(8, 6, Qt::red), "JPEG")).size(), QSize(8, 6));
}

TEST(LoadPicture, UndecodableInputRaisesTheLoadError) {
    TempDir dir;
    testing_support::writeFile(dir.file("text.jpg"), "this is not a picture at all");
    testing_support::writeFile(dir.file("empty.png"), "");
    for (const char* name : {"text.jpg", "empty.png", "missing.bmp"}) {
        const QString path = QString::fromStdString(dir.file(name));
        try {
            loadPictureFile(path);
            ADD_FAILURE() << name << " decoded";
        } catch (const PictureLoadError& e) {
            EXPECT_EQ(e.description(), QStringLiteral("错误装载图片。 ") + path);
            EXPECT_EQ(PictureLoadError::source(), QStringLiteral("GDI+ 模块"));
        }
    }
    EXPECT_THROW(loadPictureBytes("not a picture"), PictureLoadError);
    EXPECT_THROW(loadPictureBytes({}), PictureLoadError);
}

// A pipe would block the read until someone writes to it; a folder holds no picture.
TEST(LoadPicture, OnlyRegularFilesAreRead) {
    TempDir dir;
    std::vector<std::string> names = {dir.path()};
#ifdef Q_OS_UNIX
    const std::string pipe = dir.file("pipe.png");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    names.push_back(pipe);
#endif
    for (const std::string& name : names) EXPECT_THROW(loadPictureFile(QString::fromStdString(name)), PictureLoadError) << name;
}

TEST(LoadPicture, RefusesPicturesDeclaringAbsurdSizes) {
    EXPECT_THROW(loadPictureBytes(pngDeclaring(100000, 100000)), PictureLoadError);
    // Large enough to be decoded reduced, yet its data is missing: still a clean failure.
    EXPECT_THROW(loadPictureBytes(pngDeclaring(12000, 12000)), PictureLoadError);
}

TEST(LoadPicture, DecodesReducedToCoverASizeWhenAsked) {
    const QByteArray jpeg = testing_support::encodedPicture(Qt::red, QSize(800, 600), "JPG", 90);
    struct Case {
        QSize covering;
        QSize decoded;
    };
    const Case cases[] = {
        {{200, 100}, {200, 150}},  // the width decides: 800 x 600 at a quarter
        {{100, 300}, {400, 300}},  // the height decides
        {{1600, 100}, {800, 600}},  // never enlarged
        {{}, {800, 600}},           // no size: its own
    };
    for (const Case& c : cases) {
        const QImage decoded = loadPictureBytes(jpeg, c.covering);
        EXPECT_EQ(decoded.size(), c.decoded) << c.covering.width() << "x" << c.covering.height();
        EXPECT_EQ(decoded.pixelColor(decoded.width() / 2, decoded.height() / 2).red() > 200, true);
    }
}

TEST(LoadPicture, DecodesAVeryLargeJpegReduced) {
    // 9000 x 6000 is over the decoded-pixel limit: it comes back smaller, same proportions.
    const QImage decoded = loadPictureBytes(jpegDeclaring(9000, 6000));
    ASSERT_FALSE(decoded.isNull());
    EXPECT_LE(qint64(decoded.width()) * decoded.height(), kMaxDecodedPixels);
    EXPECT_NEAR(double(decoded.width()) / decoded.height(), 9000.0 / 6000.0, 0.01);
}

}  // namespace
