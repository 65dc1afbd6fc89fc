#include "pictures/bilinear_vectors.h"

#include <algorithm>
#include <atomic>
#include <cstring>

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
    int groups;  // of four columns, drawn by the kernel
};

// The four pairs at places among the window's eight pixels, each channel of a left pixel beside
// the same channel of its right neighbour.
__attribute__((target("avx2"))) inline __m256i pairs(const uint8_t* window, __m256i places) {
    const __m256i pairChannels = _mm256_setr_epi8(0, 4, 1, 5, 2, 6, 3, 7, 8, 12, 9, 13, 10, 14, 11, 15, 0, 4, 1, 5,
                                                  2, 6, 3, 7, 8, 12, 9, 13, 10, 14, 11, 15);
    const __m256i eight = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(window));
    return _mm256_shuffle_epi8(_mm256_permutevar8x32_epi32(eight, places), pairChannels);
}

// Four target pixels from the group g: the pairs picked out of its window in the top and the
// bottom row, weighted across, then down; the sixteen channels in 16 bits, rounded and scaled.
__attribute__((target("avx2"))) inline __m256i blendGroup(const Kernel& k, const uint8_t* top, const uint8_t* bottom,
                                                          __m256i down, int g) {
    const __m256i at = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(k.places + 8 * g));
    const __m256i w = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(k.weights + 32 * g));
    const __m256i h0 = _mm256_maddubs_epi16(pairs(top + k.first[g], at), w);
    const __m256i h1 = _mm256_maddubs_epi16(pairs(bottom + k.first[g], at), w);
    const __m256i v = _mm256_add_epi16(h0, _mm256_mulhrs_epi16(_mm256_sub_epi16(h1, h0), down));
    // (v * 512 + 2^14) >> 15 is (v + 32) >> 6: the weights' 1/64 rounded away in one step.
    return _mm256_mulhrs_epi16(v, _mm256_set1_epi16(512));
}

// Eight target pixels a step, two groups packed together; a last lone group on its own.
__attribute__((target("avx2"))) void drawAvx2(const Kernel& k) {
    for (size_t r = k.rows.begin; r < k.rows.end; ++r) {
        const Sample s = k.plan.down[r];
        const uint8_t* top = topRow(k.source, s);
        const uint8_t* bottom = bottomRow(k.source, s);
        auto* out = reinterpret_cast<__m256i*>(k.rows.row(r));
        const __m256i down = _mm256_set1_epi16(static_cast<int16_t>(s.weight * 128));
        int g = 0;
        for (; g + 1 < k.groups; g += 2) {
            const __m256i packed = _mm256_packus_epi16(blendGroup(k, top, bottom, down, g),
                                                       blendGroup(k, top, bottom, down, g + 1));
            _mm256_storeu_si256(out++, _mm256_permute4x64_epi64(packed, 0xd8));
        }
        if (g < k.groups) {
            const __m256i v = blendGroup(k, top, bottom, down, g);
            const __m256i packed = _mm256_permute4x64_epi64(_mm256_packus_epi16(v, v), 0x08);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm256_castsi256_si128(packed));
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
            // Left and right weight, the pair once for each channel.
            const uint64_t right = plan.across[column + c];
            const uint64_t pair = (right << 8) | (kAcrossOne - right);
            const uint64_t weights = pair * 0x0001000100010001u;
            std::memcpy(v.weights_.data() + 8 * (column + c), &weights, sizeof weights);
        }
    }
    return v;
}

void VectorRows::draw(const Plan& plan, const Rows& rows, const QImage& source) const {
    const int groups = int(first_.size());
#ifdef VYNE_BILINEAR_X86
    drawAvx2({plan, rows, source, first_.data(), places_.data(), weights_.data(), groups});
#endif
    drawColumnsPlain(plan, rows, source, groups * int(kColumns));
}

}  // namespace pictures::bilinear
