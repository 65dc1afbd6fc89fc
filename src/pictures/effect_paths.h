// Where effects 1 to 6 draw their picture in each frame.
//
// Each effect moves a parameter t from `from` to `to` (the picture enters) and back from `to` to
// `back` (it leaves), a step at a time, both ends included when the step lands on them. The frame
// for t is the display area, black, with the picture drawn into target(t).
#pragma once

#include <QRect>
#include <QSize>

#include <functional>

namespace pictures {

struct EffectPath {
    int from = 0;
    int to = 0;
    int back = 0;
    // The largest size the picture is drawn at along each side over the whole path.
    QSize largest;
    std::function<QRect(int t)> target;
};

// The path of effect 1 (zoom both ways), 2 (horizontal zoom), 3 (vertical zoom), 4 (horizontal
// swing), 5 (vertical swing) or 6 (diagonal swing) for a picture of imageSize in a display of
// box; an empty largest size for another effect or an empty picture or box.
EffectPath effectPath(int effect, QSize box, QSize imageSize);

// The values of t from `from` towards `to` by step (negative: downwards), while not past `to`;
// false as soon as visit returns false.
bool walkPath(int from, int to, int step, const std::function<bool(int t)>& visit);

}  // namespace pictures
