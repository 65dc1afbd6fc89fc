#include "pictures/bilinear_vectors.h"

#include <algorithm>
#include <atomic>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define VYNE_BILINEAR_X86 1
#endif

namespace pictures::bilinear {

namespace {

constexpr size_t kColumns = 4;  // in a group
constexpr int kWindow = 8;      // source pixels a group reads from

std::atomic<bool> vectorsAllowed{true};

bool processorHasAvx2() {
#ifdef VYNE_BILINEAR_X86
    static const bool has = __builtin_cpu_supports("avx2");
    return has;
#else
    return false;
#endif
}

#ifdef VYNE_BILINEAR_X86
// The rows of one draw and what the kernels read for them.
struct Kernel {
    const Plan& plan;
    const Rows& rows;
    const QImage& source;
    const int* first;
    const int32_t* places;
    const uint8_t* weights;
    int grouped;  // columns drawn by the kernel
};

// The four pairs at places among the window's eight pixels, each channel of a left pixel beside
// the same channel of its right neighbour.
__attribute__((target("avx2"))) inline __m256i pairs(const uint8_t* window, __m256i places) {
    const __m256i pairChannels = _mm256_setr_epi8(0, 4, 1, 5, 2, 6, 3, 7, 8, 12, 9, 13, 10, 14, 11, 15, 0, 4, 1, 5,
                                                  2, 6, 3, 7, 8, 12, 9, 13, 10, 14, 11, 15);
    const __m256i eight = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(window));
    return _mm256_shuffle_epi8(_mm256_permutevar8x32_epi32(eight, places), pairChannels);
}

// Four target pixels a step: the pairs picked out of one window, weighted across, then down.
__attribute__((target("avx2"))) void drawAvx2(const Kernel& k) {
    const __m256i half = _mm256_set1_epi16(32);
    for (size_t r = k.rows.begin; r < k.rows.end; ++r) {
        const Sample s = k.plan.down[r];
        const uint8_t* top = topRow(k.source, s);
        const uint8_t* bottom = bottomRow(k.source, s);
        uint32_t* out = k.rows.row(r);
        const __m256i down = _mm256_set1_epi16(static_cast<int16_t>(s.weight * 128));
        for (int x = 0, g = 0; x < k.grouped; x += 4, ++g) {
            const __m256i at = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(k.places + 8 * g));
            const __m256i w = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(k.weights + 8 * x));
            const __m256i h0 = _mm256_maddubs_epi16(pairs(top + k.first[g], at), w);
            const __m256i h1 = _mm256_maddubs_epi16(pairs(bottom + k.first[g], at), w);
            __m256i v = _mm256_add_epi16(h0, _mm256_mulhrs_epi16(_mm256_sub_epi16(h1, h0), down));
            v = _mm256_srli_epi16(_mm256_add_epi16(v, half), 6);
            const __m256i packed = _mm256_permute4x64_epi64(_mm256_packus_epi16(v, v), 0x08);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), _mm256_castsi256_si128(packed));
        }
    }
}

#endif

}  // namespace

bool vectorsUsed() { return vectorsAllowed && processorHasAvx2(); }

void allowVectors(bool allowed) { vectorsAllowed = allowed; }

std::optional<VectorRows> VectorRows::prepare(const Plan& plan, int sourceWidth) {
    if (!vectorsUsed() || sourceWidth < kWindow) return std::nullopt;
    const size_t groups = plan.offsets.size() / kColumns;
    VectorRows v;
    v.first_.resize(groups);
    v.places_.resize(groups * kWindow);
    v.weights_.resize(groups * kColumns * 8);
    for (size_t g = 0; g < groups; ++g) {
        const size_t column = g * kColumns;
        const int* left = plan.offsets.data() + column;
        const int first = std::min(left[0] / 4, sourceWidth - kWindow);
        if (left[kColumns - 1] / 4 + 1 - first >= kWindow) return std::nullopt;
        v.first_[g] = 4 * first;
        for (size_t c = 0; c < kColumns; ++c) {
            const int place = left[c] / 4 - first;
            v.places_[kWindow * g + 2 * c] = place;
            v.places_[kWindow * g + 2 * c + 1] = place + 1;
            const uint8_t right = plan.across[column + c];
            uint8_t* weights = v.weights_.data() + 8 * (column + c);
            for (int channel = 0; channel < 4; ++channel) {
                weights[2 * channel] = static_cast<uint8_t>(kAcrossOne - right);
                weights[2 * channel + 1] = right;
            }
        }
    }
    return v;
}

void VectorRows::draw(const Plan& plan, const Rows& rows, const QImage& source) const {
    const int grouped = int(first_.size() * kColumns);
#ifdef VYNE_BILINEAR_X86
    drawAvx2({plan, rows, source, first_.data(), places_.data(), weights_.data(), grouped});
#endif
    drawColumnsPlain(plan, rows, source, grouped);
}

}  // namespace pictures::bilinear
