#include "pictures/bilinear_draw.h"

#include <QSemaphore>
#include <QThread>
#include <QThreadPool>

#include <algorithm>
#include <cstdint>
#include <vector>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define VYNE_BILINEAR_AVX2 1
#endif

namespace pictures {

namespace {

constexpr int kAcrossOne = 64;   // weights across: 0..64
constexpr int kDownOne = 256;    // weights down: 0..255
// Draws of fewer pixels stay on one thread: handing half over costs more than it saves.
constexpr qint64 kSharedPixels = 64 * 1024;

// Where each target pixel's centre falls among the source pixels along one side: the source
// pixel at or before it and the weight of the one after (0 .. one).
struct Sample {
    int at;
    int weight;
};

Sample sampleAt(int i, double scale, int sourceLength, int one) {
    const double centre = std::max(0.0, (i + 0.5) * scale - 0.5);
    int at = static_cast<int>(centre);
    int weight = std::min(one - 1, static_cast<int>((centre - at) * one + 0.5));
    if (at >= sourceLength - 1) {
        at = sourceLength - 1;
        weight = 0;
    }
    return {at, weight};
}

// The visible rows and columns of a draw, with the samples behind each.
struct Plan {
    QRect visible;                // in canvas coordinates
    std::vector<int> offsets;     // per visible column: byte offset of the left source pixel
    std::vector<uint8_t> across;  // per visible column: weight of the right source pixel
    std::vector<Sample> down;     // per visible row
};

Plan planFor(const QImage& canvas, const QImage& source, const QRect& target) {
    Plan plan;
    plan.visible = target & canvas.rect();
    if (plan.visible.isEmpty()) return plan;
    const double sx = double(source.width()) / target.width(), sy = double(source.height()) / target.height();
    for (int x = plan.visible.left(); x <= plan.visible.right(); ++x) {
        Sample s = sampleAt(x - target.x(), sx, source.width(), kAcrossOne);
        // The last column blends in nothing from beyond: it is taken as the right one of the
        // last pair, so every column reads a whole pair inside the row.
        if (s.at == source.width() - 1) s = {s.at - 1, kAcrossOne};
        plan.offsets.push_back(4 * s.at);
        plan.across.push_back(static_cast<uint8_t>(s.weight));
    }
    for (int y = plan.visible.top(); y <= plan.visible.bottom(); ++y)
        plan.down.push_back(sampleAt(y - target.y(), sy, source.height(), kDownOne));
    return plan;
}

// One target pixel; the same arithmetic as the vector path.
uint32_t blendPixel(const uint8_t* top, const uint8_t* bottom, int across, int down) {
    uint32_t out = 0;
    for (int c = 0; c < 4; ++c) {
        const int h0 = top[c] * (kAcrossOne - across) + top[4 + c] * across;
        const int h1 = bottom[c] * (kAcrossOne - across) + bottom[4 + c] * across;
        const int v = h0 + (((h1 - h0) * down * 128 + 0x4000) >> 15);
        out |= static_cast<uint32_t>(std::clamp((v + 32) >> 6, 0, 255)) << (8 * c);
    }
    return out;
}

// Where the drawn rows go: the first visible pixel of the canvas and the step between rows.
struct Rows {
    uint8_t* first;
    qsizetype step;
    size_t begin, end;  // which of the plan's rows
    uint32_t* row(size_t r) const { return reinterpret_cast<uint32_t*>(first + qsizetype(r) * step); }
};

void drawRowsPlain(const Plan& plan, const Rows& rows, const QImage& source) {
    const int width = plan.visible.width();
    for (size_t r = rows.begin; r < rows.end; ++r) {
        const Sample s = plan.down[r];
        const uint8_t* top = source.constScanLine(s.at);
        const uint8_t* bottom = source.constScanLine(std::min(s.at + 1, source.height() - 1));
        uint32_t* out = rows.row(r);
        for (int x = 0; x < width; ++x)
            out[x] = blendPixel(top + plan.offsets[x], bottom + plan.offsets[x], plan.across[x], s.weight);
    }
}

#ifdef VYNE_BILINEAR_AVX2
// The source pixel pairs of four target pixels, two to each 128-bit lane.
__attribute__((target("avx2"))) inline __m256i sourcePairs(const uint8_t* row, const int* offsets) {
    const auto load = [row](int offset) { return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(row + offset)); };
    const __m128i low = _mm_unpacklo_epi64(load(offsets[0]), load(offsets[1]));
    const __m128i high = _mm_unpacklo_epi64(load(offsets[2]), load(offsets[3]));
    return _mm256_inserti128_si256(_mm256_castsi128_si256(low), high, 1);
}

// Four target pixels a step: each 128-bit lane holds the source pairs of two of them.
__attribute__((target("avx2"))) void drawRowsAvx2(const Plan& plan, const Rows& rows, const QImage& source) {
    const int width = plan.visible.width();
    // Per group of four columns, the byte weights (left, right) for every channel.
    std::vector<uint8_t> weights(size_t(width + 3) / 4 * 32);
    for (int x = 0; x < width; ++x)
        for (int c = 0; c < 4; ++c) {
            weights[size_t(x) * 8 + 2 * c] = static_cast<uint8_t>(kAcrossOne - plan.across[x]);
            weights[size_t(x) * 8 + 2 * c + 1] = plan.across[x];
        }
    // Puts each channel of a pixel beside the same channel of its right neighbour.
    const __m256i pairChannels = _mm256_setr_epi8(0, 4, 1, 5, 2, 6, 3, 7, 8, 12, 9, 13, 10, 14, 11, 15, 0, 4, 1, 5,
                                                  2, 6, 3, 7, 8, 12, 9, 13, 10, 14, 11, 15);
    const __m256i half = _mm256_set1_epi16(32);
    const int* offsets = plan.offsets.data();
    for (size_t r = rows.begin; r < rows.end; ++r) {
        const Sample s = plan.down[r];
        const uint8_t* top = source.constScanLine(s.at);
        const uint8_t* bottom = source.constScanLine(std::min(s.at + 1, source.height() - 1));
        uint32_t* out = rows.row(r);
        const __m256i down = _mm256_set1_epi16(static_cast<int16_t>(s.weight * 128));
        int x = 0;
        for (; x + 4 <= width; x += 4) {
            const __m256i w = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(weights.data() + size_t(x) * 8));
            const __m256i h0 = _mm256_maddubs_epi16(_mm256_shuffle_epi8(sourcePairs(top, offsets + x), pairChannels), w);
            const __m256i h1 = _mm256_maddubs_epi16(_mm256_shuffle_epi8(sourcePairs(bottom, offsets + x), pairChannels), w);
            __m256i v = _mm256_add_epi16(h0, _mm256_mulhrs_epi16(_mm256_sub_epi16(h1, h0), down));
            v = _mm256_srli_epi16(_mm256_add_epi16(v, half), 6);
            const __m256i packed = _mm256_permute4x64_epi64(_mm256_packus_epi16(v, v), 0x08);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), _mm256_castsi256_si128(packed));
        }
        for (; x < width; ++x)
            out[x] = blendPixel(top + plan.offsets[x], bottom + plan.offsets[x], plan.across[x], s.weight);
    }
}

bool haveAvx2() {
    static const bool have = __builtin_cpu_supports("avx2");
    return have;
}
#endif

}  // namespace

bool canDrawBilinear(const QImage& canvas, const QImage& source) {
    return canvas.format() == QImage::Format_RGB32 && source.format() == QImage::Format_RGB32 && source.width() >= 2 &&
           source.height() >= 1;
}

void drawBilinear(QImage& canvas, const QImage& source, const QRect& target) {
    if (!canDrawBilinear(canvas, source) || target.isEmpty()) return;
    const Plan plan = planFor(canvas, source, target);
    if (plan.visible.isEmpty()) return;
    // scanLine() may copy a shared canvas, so it is called once, here, before rows are shared out.
    uint8_t* first = canvas.scanLine(plan.visible.top()) + 4 * plan.visible.left();
    const auto draw = [&](size_t begin, size_t end) {
        const Rows rows{first, canvas.bytesPerLine(), begin, end};
#ifdef VYNE_BILINEAR_AVX2
        if (haveAvx2()) return drawRowsAvx2(plan, rows, source);
#endif
        drawRowsPlain(plan, rows, source);
    };
    // A large draw is shared with a second thread: a frame then takes half as long where
    // there is a second core.
    const size_t count = plan.down.size();
    if (qint64(count) * plan.visible.width() < kSharedPixels || QThread::idealThreadCount() < 2) return draw(0, count);
    QSemaphore lowerHalfDone;
    QThreadPool::globalInstance()->start([&] {
        draw(count / 2, count);
        lowerHalfDone.release();
    });
    draw(0, count / 2);
    lowerHalfDone.acquire();
}

}  // namespace pictures
