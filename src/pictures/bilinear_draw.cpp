#include "pictures/bilinear_draw.h"

#include "pictures/shared_bands.h"

#include <QPaintEngine>
#include <QPainter>
#include <QRegion>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>
#include <vector>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define VYNE_BILINEAR_AVX2 1
#endif

namespace pictures {

namespace {

constexpr int kAcrossOne = 64;   // weights across: 0..64
constexpr int kDownOne = 256;    // weights down: 0..255
// Draws of fewer pixels stay on this thread: handing bands over costs more than it saves.
constexpr qint64 kSharedPixels = 48 * 1024;
// A shared draw goes in bands of about this many pixels, a few microseconds each.
constexpr qint64 kBandPixels = 16 * 1024;

// Where each target pixel's centre falls among the source pixels along one side: the source
// pixel at or before it and the weight of the one after (0 .. one).
struct Sample {
    int at;
    int weight;
};

// The samples of pixels first, first + 1, ... of targetLength in turn. Pixel i has its centre at
// (i + 1/2) * sourceLength / targetLength - 1/2 of the source, kept exactly in whole numbers
// (twice targetLength its unit); the weight is that centre's fraction times one, rounded. Each
// pixel moves both on by the same whole step, so no pixel needs a division.
class SampleWalk {
public:
    SampleWalk(int first, int sourceLength, int targetLength, int one)
        : sourceLength_(sourceLength), one_(one), unit_(2 * int64_t{targetLength}),
          centre_((2 * int64_t{first} + 1) * sourceLength - targetLength), step_(2 * int64_t{sourceLength}) {
        const int64_t weightStep = (step_ % unit_) * one_;
        weightStepWhole_ = weightStep / unit_;
        weightStepRest_ = weightStep % unit_;
    }

    Sample next() {
        Sample s{0, 0};
        if (centre_ >= 0) {
            if (at_ < 0) start();
            s = {static_cast<int>(std::min<int64_t>(at_, sourceLength_ - 1)),
                 static_cast<int>(std::min<int64_t>(one_ - 1, weight_))};
            if (s.at == sourceLength_ - 1) s.weight = 0;
            advance();
        }
        centre_ += step_;
        return s;
    }

private:
    // The first centre inside the source: at, its fraction and its weight worked out once.
    void start() {
        at_ = centre_ / unit_;
        rest_ = centre_ % unit_;
        const int64_t scaled = rest_ * one_ + unit_ / 2;
        weight_ = scaled / unit_;
        weightRest_ = scaled % unit_;
    }

    void advance() {
        at_ += step_ / unit_;
        rest_ += step_ % unit_;
        weight_ += weightStepWhole_;
        weightRest_ += weightStepRest_;
        if (weightRest_ >= unit_) {
            weightRest_ -= unit_;
            ++weight_;
        }
        if (rest_ >= unit_) {  // the fraction passed a whole pixel: its weight drops by one
            rest_ -= unit_;
            ++at_;
            weight_ -= one_;
        }
    }

    int sourceLength_, one_;
    int64_t unit_, centre_, step_;
    int64_t weightStepWhole_ = 0, weightStepRest_ = 0;
    int64_t at_ = -1, rest_ = 0, weight_ = 0, weightRest_ = 0;
};

// The visible rows and columns of a draw, with the samples behind each.
struct Plan {
    QRect visible;                // in canvas coordinates
    std::vector<int> offsets;     // per visible column: byte offset of the left source pixel
    std::vector<uint8_t> across;  // per visible column: weight of the right source pixel
    std::vector<Sample> down;     // per visible row
};

Plan planFor(const Pixels32& canvas, const QImage& source, const QRect& target, const QRect& clip) {
    Plan plan;
    plan.visible = target & clip & canvas.allowed;
    if (plan.visible.isEmpty()) return plan;
    const size_t width = size_t(plan.visible.width());
    plan.offsets.resize(width);
    plan.across.resize(width);
    plan.down.resize(size_t(plan.visible.height()));
    SampleWalk across(plan.visible.left() - target.x(), source.width(), target.width(), kAcrossOne);
    for (size_t x = 0; x < width; ++x) {
        Sample s = across.next();
        // The last column blends in nothing from beyond: it is taken as the right one of the
        // last pair, so every column reads a whole pair inside the row.
        if (s.at == source.width() - 1) s = {s.at - 1, kAcrossOne};
        plan.offsets[x] = 4 * s.at;
        plan.across[x] = static_cast<uint8_t>(s.weight);
    }
    SampleWalk down(plan.visible.top() - target.y(), source.height(), target.height(), kDownOne);
    for (Sample& s : plan.down) s = down.next();
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
// Per group of four visible columns: the first of eight source pixels that hold every pair the
// group reads, and where each pair's pixels lie among those eight.
struct Windows {
    std::vector<int> first;       // byte offset of the first pixel in the row
    std::vector<int32_t> places;  // eight a group: left, right of each column in turn
    std::vector<uint8_t> weights; // eight a column: left, right weight for each channel
};

// The windows of a plan, or nothing when a group's pairs do not fit in eight pixels (a source
// more than twice the target's size across, or narrower than eight pixels).
std::optional<Windows> windowsFor(const Plan& plan, int sourceWidth) {
    const size_t groups = plan.offsets.size() / 4;
    if (sourceWidth < 8) return std::nullopt;
    Windows w;
    w.first.resize(groups);
    w.places.resize(groups * 8);
    w.weights.resize(groups * 32);
    for (size_t g = 0; g < groups; ++g) {
        const int* left = plan.offsets.data() + 4 * g;
        const int first = std::min(left[0] / 4, sourceWidth - 8);
        if (left[3] / 4 + 1 - first > 7) return std::nullopt;
        w.first[g] = 4 * first;
        int32_t* places = w.places.data() + 8 * g;
        uint8_t* weights = w.weights.data() + 32 * g;
        for (int c = 0; c < 4; ++c) {
            places[2 * c] = left[c] / 4 - first;
            places[2 * c + 1] = left[c] / 4 + 1 - first;
            const uint8_t right = plan.across[4 * g + c];
            for (int channel = 0; channel < 4; ++channel) {
                weights[8 * c + 2 * channel] = static_cast<uint8_t>(kAcrossOne - right);
                weights[8 * c + 2 * channel + 1] = right;
            }
        }
    }
    return w;
}

// The pairs at places among the eight pixels from window, each channel of a left pixel beside
// the same channel of its right neighbour.
__attribute__((target("avx2"))) inline __m256i channelPairs(const uint8_t* window, __m256i places) {
    const __m256i pairChannels = _mm256_setr_epi8(0, 4, 1, 5, 2, 6, 3, 7, 8, 12, 9, 13, 10, 14, 11, 15, 0, 4, 1, 5,
                                                  2, 6, 3, 7, 8, 12, 9, 13, 10, 14, 11, 15);
    const __m256i eight = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(window));
    return _mm256_shuffle_epi8(_mm256_permutevar8x32_epi32(eight, places), pairChannels);
}

// Four target pixels a step: eight source pixels loaded at once, the four pairs picked out of
// them, each channel put beside the same channel of its right neighbour and weighted.
__attribute__((target("avx2"))) void drawRowsAvx2(const Plan& plan, const Windows& windows, const Rows& rows,
                                                  const QImage& source) {
    const int width = plan.visible.width();
    const int grouped = width / 4 * 4;
    const __m256i half = _mm256_set1_epi16(32);
    for (size_t r = rows.begin; r < rows.end; ++r) {
        const Sample s = plan.down[r];
        const uint8_t* top = source.constScanLine(s.at);
        const uint8_t* bottom = source.constScanLine(std::min(s.at + 1, source.height() - 1));
        uint32_t* out = rows.row(r);
        const __m256i down = _mm256_set1_epi16(static_cast<int16_t>(s.weight * 128));
        for (int x = 0, g = 0; x < grouped; x += 4, ++g) {
            const int first = windows.first[size_t(g)];
            const __m256i places = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(windows.places.data() + 8 * g));
            const __m256i w = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(windows.weights.data() + size_t(x) * 8));
            const __m256i h0 = _mm256_maddubs_epi16(channelPairs(top + first, places), w);
            const __m256i h1 = _mm256_maddubs_epi16(channelPairs(bottom + first, places), w);
            __m256i v = _mm256_add_epi16(h0, _mm256_mulhrs_epi16(_mm256_sub_epi16(h1, h0), down));
            v = _mm256_srli_epi16(_mm256_add_epi16(v, half), 6);
            const __m256i packed = _mm256_permute4x64_epi64(_mm256_packus_epi16(v, v), 0x08);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), _mm256_castsi256_si128(packed));
        }
        for (int x = grouped; x < width; ++x)
            out[x] = blendPixel(top + plan.offsets[x], bottom + plan.offsets[x], plan.across[x], s.weight);
    }
}

bool haveAvx2() {
    static const bool have = __builtin_cpu_supports("avx2");
    return have;
}
#endif

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
    const Plan plan = planFor(canvas, source, target, clip);
    if (plan.visible.isEmpty()) return;
    uint8_t* first = canvas.bits + qsizetype(plan.visible.top()) * canvas.bytesPerLine + 4 * plan.visible.left();
#ifdef VYNE_BILINEAR_AVX2
    const std::optional<Windows> windows = haveAvx2() ? windowsFor(plan, source.width()) : std::nullopt;
#endif
    const auto draw = [&](size_t begin, size_t end) {
        const Rows rows{first, canvas.bytesPerLine, begin, end};
#ifdef VYNE_BILINEAR_AVX2
        if (windows) return drawRowsAvx2(plan, *windows, rows, source);
#endif
        drawRowsPlain(plan, rows, source);
    };
    // A large draw is shared with the drawing threads, a small one is not worth their waking.
    const size_t count = plan.down.size();
    if (qint64(count) * plan.visible.width() < kSharedPixels) return draw(0, count);
    workInBands(count, size_t(std::max<qint64>(1, kBandPixels / plan.visible.width())), draw);
}

}  // namespace pictures
