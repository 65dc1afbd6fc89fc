// The arithmetic behind the bilinear drawing, shared by its plain and vector paths: where each
// drawn pixel samples the source, its weights, and one pixel's blend.
#pragma once

#include <QImage>
#include <QRect>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace pictures::bilinear {

constexpr int kAcrossOne = 64;  // weights across: 0..64
constexpr int kDownOne = 256;   // weights down: 0..255

// Where a target pixel's centre falls among the source pixels along one side: the source pixel
// at or before it and the weight of the one after (0 .. one).
struct Sample {
    int at;
    int weight;
};

// The visible rows and columns of a draw, with the samples behind each. Every column reads a
// whole pair of source pixels: the last column of the source is the right one of the last pair.
struct Plan {
    QRect visible;                // in canvas coordinates
    std::vector<int> offsets;     // per visible column: byte offset of the left source pixel
    std::vector<uint8_t> across;  // per visible column: weight of the right source pixel
    std::vector<Sample> down;     // per visible row
};

// The plan for drawing source scaled to target, where visible (inside target) is drawn.
Plan planFor(const QImage& source, const QRect& target, const QRect& visible);

// Where drawn rows go: the canvas pixel at the visible corner and the step between rows.
struct Rows {
    uint8_t* first;
    qsizetype step;
    size_t begin, end;  // which of the plan's rows
    uint32_t* row(size_t r) const { return reinterpret_cast<uint32_t*>(first + qsizetype(r) * step); }
};

// The source rows a drawn row blends.
inline const uint8_t* topRow(const QImage& source, Sample down) { return source.constScanLine(down.at); }
inline const uint8_t* bottomRow(const QImage& source, Sample down) {
    return source.constScanLine(std::min(down.at + 1, source.height() - 1));
}

// One pixel from the pairs at top and bottom; the vector paths compute exactly this.
uint32_t blendPixel(const uint8_t* top, const uint8_t* bottom, int across, int down);

// Columns from..visible width - 1 of rows, one pixel at a time.
void drawColumnsPlain(const Plan& plan, const Rows& rows, const QImage& source, int from);

}  // namespace pictures::bilinear
