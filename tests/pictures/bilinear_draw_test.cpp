#include "pictures/bilinear_draw.h"
#include "pictures/bilinear_vectors.h"

#include <QPainter>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace {

pictures::Pixels32 pixelsOf(QImage& image) {
    return {image.bits(), image.bytesPerLine(), image.size(), image.rect()};
}

void draw(QImage& canvas, const QImage& source, const QRect& target) {
    pictures::drawBilinear(pixelsOf(canvas), source, target, canvas.rect());
}

QImage gradient(QSize size) {
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y, qRgb((x * 255) / std::max(1, size.width() - 1), (y * 255) / std::max(1, size.height() - 1),
                                      ((x + y) * 255) / std::max(1, size.width() + size.height() - 2)));
    return image;
}

QImage canvas(QSize size, QRgb fill = qRgb(1, 2, 3)) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(fill);
    return image;
}

int largestDifference(const QImage& a, const QImage& b) {
    int largest = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            largest = std::max({largest, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                std::abs(qBlue(p) - qBlue(q))});
        }
    return largest;
}

// Each drawing case runs on the plain path and, where the processor has it, the AVX2 path.
class BilinearDraw : public testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        if (GetParam() && !pictures::bilinear::vectorsUsed()) GTEST_SKIP() << "no AVX2 here";
        pictures::bilinear::allowVectors(GetParam());
    }
    void TearDown() override { pictures::bilinear::allowVectors(true); }
};

INSTANTIATE_TEST_SUITE_P(Paths, BilinearDraw, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& info) { return info.param ? "Vectors" : "Plain"; });

// The vector path gives exactly the plain path's pixels.
TEST(BilinearVectors, TheVectorPathDrawsThePlainPathsPixels) {
    struct Case {
        QSize from, to;
    } const cases[] = {{{1280, 960}, {961, 721}}, {{333, 250}, {200, 149}}, {{100, 80}, {151, 119}}, {{17, 9}, {13, 5}}};
    if (!pictures::bilinear::vectorsUsed()) GTEST_SKIP() << "no AVX2 here";
    for (const Case& c : cases) {
        const QImage source = gradient(c.from);
        QImage plain = canvas(c.to);
        pictures::bilinear::allowVectors(false);
        draw(plain, source, plain.rect());
        pictures::bilinear::allowVectors(true);
        QImage out = canvas(c.to);
        draw(out, source, out.rect());
        EXPECT_EQ(out, plain) << c.from.width() << " to " << c.to.width();
    }
}

// Sizes between a reduction twice the target's size and an enlargement, odd ones included so
// the vector path's remainder columns are drawn too.
TEST_P(BilinearDraw, OneColourStaysThatColourAtEverySize) {
    const QSize sources[] = {{2, 1}, {3, 5}, {200, 150}, {1280, 960}};
    const QSize targets[] = {{1, 1}, {7, 3}, {101, 77}, {960, 720}};
    for (QSize from : sources)
        for (QSize to : targets) {
            QImage source(from, QImage::Format_RGB32);
            source.fill(qRgb(200, 17, 99));
            QImage out = canvas(to);
            draw(out, source, out.rect());
            for (int y = 0; y < to.height(); ++y)
                for (int x = 0; x < to.width(); ++x)
                    ASSERT_EQ(out.pixel(x, y), qRgb(200, 17, 99)) << from.width() << "x" << from.height() << " to "
                                                                   << to.width() << "x" << to.height() << " at " << x << "," << y;
        }
}

TEST_P(BilinearDraw, AtItsOwnSizeAPictureIsCopied) {
    const QImage source = gradient({37, 23});
    QImage out = canvas(source.size());
    draw(out, source, out.rect());
    EXPECT_EQ(out, source);
}

TEST_P(BilinearDraw, MatchesSmoothScalingWithinRounding) {
    struct Case {
        QSize from, to;
    } const cases[] = {{{1280, 960}, {961, 721}}, {{640, 480}, {333, 250}}, {{100, 80}, {151, 119}}};
    for (const Case& c : cases) {
        const QImage source = gradient(c.from);
        QImage expected = canvas(c.to), out = canvas(c.to);
        {
            QPainter painter(&expected);
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            painter.drawImage(expected.rect(), source);
        }
        draw(out, source, out.rect());
        EXPECT_LE(largestDifference(out, expected), 4) << c.from.width() << " to " << c.to.width();
    }
}

// A target partly outside the canvas draws what lies inside, the same pixels as the whole draw,
// and nothing else.
TEST_P(BilinearDraw, ATargetOverTheEdgeIsCutOff) {
    const QImage source = gradient({300, 200});
    QImage whole(QSize(200, 150), QImage::Format_RGB32);
    draw(whole, source, whole.rect());
    for (const QPoint corner : {QPoint(-60, -40), QPoint(150, 100), QPoint(-199, 149)}) {
        QImage out = canvas({200, 150});
        const QRect target(corner, QSize(200, 150));
        draw(out, source, target);
        for (int y = 0; y < 150; ++y)
            for (int x = 0; x < 200; ++x) {
                const QPoint at(x, y);
                const QRgb want = target.contains(at) ? whole.pixel(at - corner) : qRgb(1, 2, 3);
                ASSERT_EQ(out.pixel(at), want) << corner.x() << "," << corner.y() << " at " << x << "," << y;
            }
    }
}

// A large draw, shared out in bands, gives the pixels of the same draw made strip by strip.
TEST_P(BilinearDraw, ALargeDrawIsTheSameAsItsStrips) {
    const QImage source = gradient({1280, 960});
    QImage whole = canvas({960, 720}), strips = canvas({960, 720});
    draw(whole, source, whole.rect());
    for (int top = 0; top < 720; top += 13)
        pictures::drawBilinear(pixelsOf(strips), source, strips.rect(), QRect(0, top, 960, 13));
    EXPECT_EQ(whole, strips);
}

TEST(BilinearDrawing, DrawsOnlyOpaqueThirtyTwoBitPictures) {
    EXPECT_FALSE(pictures::canDrawBilinear(QImage(4, 4, QImage::Format_ARGB32)));
    EXPECT_FALSE(pictures::canDrawBilinear(QImage(1, 4, QImage::Format_RGB32)));
    EXPECT_TRUE(pictures::canDrawBilinear(QImage(2, 1, QImage::Format_RGB32)));
}

// Pixels are written directly only where a painter draws one to one on an opaque image, and
// then where the painter's origin lies.
TEST(BilinearDrawing, DirectPixelsOnlyForPlainThirtyTwoBitImages) {
    QImage rgb(40, 30, QImage::Format_RGB32), argb(40, 30, QImage::Format_ARGB32_Premultiplied);
    QPoint offset;
    {
        QPainter painter(&rgb);
        painter.translate(5, 7);
        const auto pixels = pictures::directPixels(painter, offset);
        ASSERT_TRUE(pixels);
        EXPECT_EQ(offset, QPoint(5, 7));
        EXPECT_EQ(pixels->bits, rgb.constBits());
        EXPECT_EQ(pixels->allowed, rgb.rect());
        painter.scale(2, 2);
        EXPECT_FALSE(pictures::directPixels(painter, offset));
    }
    QPainter painter(&argb);
    EXPECT_FALSE(pictures::directPixels(painter, offset));
}

}  // namespace
