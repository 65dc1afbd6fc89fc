#include "pictures/bilinear_plan.h"

#include <algorithm>

namespace pictures::bilinear {

namespace {

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

}  // namespace

Plan planFor(const QImage& source, const QRect& target, const QRect& visible) {
    Plan plan;
    plan.visible = visible;
    const size_t width = size_t(visible.width());
    plan.offsets.resize(width);
    plan.across.resize(width);
    plan.down.resize(size_t(visible.height()));
    const int last = source.width() - 1;
    SampleWalk across(visible.left() - target.x(), source.width(), target.width(), kAcrossOne);
    for (size_t x = 0; x < width; ++x) {
        Sample s = across.next();
        if (s.at == last) s = {last - 1, kAcrossOne};
        plan.offsets[x] = 4 * s.at;
        plan.across[x] = static_cast<uint8_t>(s.weight);
    }
    SampleWalk down(visible.top() - target.y(), source.height(), target.height(), kDownOne);
    for (Sample& s : plan.down) s = down.next();
    return plan;
}

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

void drawColumnsPlain(const Plan& plan, const Rows& rows, const QImage& source, int from) {
    const int width = plan.visible.width();
    for (size_t r = rows.begin; r < rows.end; ++r) {
        const Sample s = plan.down[r];
        const uint8_t* top = topRow(source, s);
        const uint8_t* bottom = bottomRow(source, s);
        uint32_t* out = rows.row(r);
        for (int x = from; x < width; ++x)
            out[x] = blendPixel(top + plan.offsets[x], bottom + plan.offsets[x], plan.across[x], s.weight);
    }
}

}  // namespace pictures::bilinear
