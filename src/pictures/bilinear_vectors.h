// Vector drawing of a bilinear plan's rows where the processor has AVX2: four pixels a step. A
// group of four columns reads one window of eight source pixels, loaded at once; permutes pick
// each column's pair out of it, and the blend is exactly blendPixel's. (AVX-512 drew no faster:
// the drawing is held up by memory, not by the instructions.)
#pragma once

#include "pictures/bilinear_plan.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace pictures::bilinear {

// Whether the drawing uses the vector path: where the processor has AVX2, unless turned off
// (tests turn it off to reach the plain path too).
bool vectorsUsed();
void allowVectors(bool allowed);

class VectorRows {
public:
    // Tables for drawing plan's rows from a source sourceWidth wide, or nothing when there are
    // no vectors to use or a group's pairs do not fit in its window (a source more than twice
    // as wide as the target, or narrower than the window).
    static std::optional<VectorRows> prepare(const Plan& plan, int sourceWidth);

    // Draws rows; the columns after the last whole group are blended one at a time.
    void draw(const Plan& plan, const Rows& rows, const QImage& source) const;

private:
    std::vector<int> first_;        // per group: byte offset of its window in a source row
    std::vector<int32_t> places_;   // per group: the window pixel of each column's left, right
    std::vector<uint8_t> weights_;  // per grouped column: left, right weight of each channel
};

}  // namespace pictures::bilinear
