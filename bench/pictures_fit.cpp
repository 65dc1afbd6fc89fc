// Fitting a 4000 x 3000 photograph into a 1280 x 720 pane (smooth scaling, centred on black)
// against a bare smooth QImage::scaled of the same decoded picture.
#include "pictures/modGDIPlusResize.h"
#include "support/bench.h"

#include <QImage>
#include <QPainter>
#include <QLinearGradient>

#include <stdexcept>

namespace {

QImage photo;
const QSize pane(1280, 720);

void makePhoto() {
    QImage drawn(4000, 3000, QImage::Format_RGB32);
    QPainter painter(&drawn);
    QLinearGradient gradient(0, 0, 4000, 3000);
    gradient.setColorAt(0, Qt::darkBlue);
    gradient.setColorAt(0.5, Qt::yellow);
    gradient.setColorAt(1, Qt::darkRed);
    painter.fillRect(drawn.rect(), gradient);
    for (int i = 0; i < 200; ++i) painter.fillRect((i * 397) % 3900, (i * 211) % 2900, 100, 100, QColor::fromHsv(i, 200, 200));
    painter.end();
    const QString file = QString::fromStdString(bench::scratchDir() + "/photo.jpg");
    drawn.save(file, "JPEG", 90);
    photo = modGDIPlusResize::loadPictureFile(file);
    if (photo.size() != QSize(4000, 3000)) throw std::runtime_error("photo not decoded");
}

}  // namespace

void registerBenchmarks() {
    bench::pair(
        "fit_picture", [] { benchmark::DoNotOptimize(modGDIPlusResize::renderPicture(photo, pane, Qt::black).constBits()); },
        [] { benchmark::DoNotOptimize(photo.scaled(pane, Qt::KeepAspectRatio, Qt::SmoothTransformation).constBits()); },
        makePhoto);
}
