#include "pictures/effect_paths.h"

#include "pictures/modGDIPlusResize.h"

#include <algorithm>
#include <cmath>

namespace pictures {

namespace {

QRect centred(QSize box, int width, int height) {
    return QRect((box.width() - width) / 2, (box.height() - height) / 2, width, height);
}

int rounded(double value) { return static_cast<int>(std::lround(value)); }

}  // namespace

EffectPath effectPath(int effect, QSize box, QSize imageSize) {
    EffectPath path;
    const QRect fit = modGDIPlusResize::fitRect(imageSize, box);
    if (fit.isEmpty()) return path;
    const int W = box.width(), H = box.height();
    const int Wf = fit.width(), Hf = fit.height();
    const double r = static_cast<double>(imageSize.width()) / imageSize.height();
    switch (effect) {
    case 1:  // fitted into a box t wide and the display high, the box centred across
        path = {5, Wf, 5, fit.size(), [=](int t) {
                    return modGDIPlusResize::fitRect(imageSize, QSize(t, H)).translated((W - t) / 2, 0);
                }};
        break;
    case 2: {  // t wide (no wider than the picture's proportions allow at full height), full height
        const auto width = [=](int t) { return static_cast<double>(t) / H < r ? t : rounded(H * r); };
        path = {5, Wf, 5, QSize(width(Wf), H), [=](int t) { return centred(box, width(t), H); }};
        break;
    }
    case 3: {  // full width, t high (no higher than the proportions allow at full width)
        const auto height = [=](int t) { return static_cast<double>(W) / t < r ? rounded(W / r) : t; };
        path = {5, Hf, 5, QSize(W, height(Hf)), [=](int t) { return centred(box, W, height(t)); }};
        break;
    }
    case 4:  // the fitted picture moving across at its height
        path = {10 - W, W, 10 - W, fit.size(), [=](int x) { return QRect(QPoint(x, fit.y()), fit.size()); }};
        break;
    case 5:  // the fitted picture moving down at its place across
        path = {-H, H, -H, fit.size(), [=](int y) { return QRect(QPoint(fit.x(), y), fit.size()); }};
        break;
    case 6:  // the fitted picture moving along the diagonal; it leaves with one column showing
        path = {10 - W, W, 1 - W, fit.size(), [=](int t) { return QRect(QPoint(t, t), fit.size()); }};
        break;
    default: break;
    }
    return path;
}

bool walkPath(int from, int to, int step, const std::function<bool(int t)>& visit) {
    if (step == 0) return true;
    for (int t = from; step > 0 ? t <= to : t >= to; t += step)
        if (!visit(t)) return false;
    return true;
}

}  // namespace pictures
