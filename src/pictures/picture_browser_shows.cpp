// Slide shows and transition effects: loops inside the handler that starts them, yielding after
// every frame and ending on the running and abort flags.
#include "pictures/picture_browser.h"

#include "pictures/modGDIPlusResize.h"
#include "util/app_path.h"
#include "util/file_path.h"

#include <QFileDialog>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>

#include <algorithm>
#include <cmath>
#include <deque>

namespace pictures {

namespace {

// Pauses between slides are v x this many yield slices (10 ms each): about v seconds.
constexpr int kPauseSlicesPerStep = 100;
// The pause is taken in parts of this many slices, so that a stop is seen soon.
constexpr int kPauseChunk = 10;

// Continuous movement yields once every this many frames.
constexpr int kStripFramesPerYield = 11;

// A black frame of box with image drawn (smoothly) into target.
QImage frameWith(QSize box, const QImage& image, const QRect& target) {
    QImage frame(box, QImage::Format_RGB32);
    frame.fill(Qt::black);
    QPainter painter(&frame);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, image);
    return frame;
}

// What Picture1 shows as a frame of box; black when it shows nothing.
QImage shownOrBlack(const QImage& shown, QSize box) {
    if (!shown.isNull()) return modGDIPlusResize::renderPicture(shown, box, Qt::black);
    QImage black(box, QImage::Format_RGB32);
    black.fill(Qt::black);
    return black;
}

QRect centred(QSize box, int width, int height) {
    return QRect((box.width() - width) / 2, (box.height() - height) / 2, width, height);
}

}  // namespace

void PictureBrowser::stopShow() {
    abort_ = true;
    running_ = false;
}

bool PictureBrowser::startShow() {
    if (running_) {
        running_ = false;
        return false;
    }
    if (ids_.empty()) return false;
    running_ = true;
    abort_ = false;
    return true;
}

void PictureBrowser::endShow() {
    running_ = false;
    abort_ = false;
    showPicture(current_);
    Command2->setFocus();
}

bool PictureBrowser::pauseBetweenSlides() {
    yieldFor(0);
    const int slices = Slider1->value() * kPauseSlicesPerStep;
    for (int waited = 0; waited < slices && showLive(); waited += kPauseChunk) yieldFor(kPauseChunk);
    return showLive();
}

void PictureBrowser::toggleSlideShow(bool random) {
    randomOrder_ = random;
    if (!startShow()) return;
    while (showLive()) {
        showPicture(nextIndex());
        if (!pauseBetweenSlides()) break;
    }
    endShow();
}

void PictureBrowser::folderSlideShow() {
    if (running_) {
        running_ = false;
        return;
    }
    const QString start = lastFolder_.isEmpty() ? QString::fromStdString(util::appPath()) : lastFolder_;
    const QString folder = chooseFolder ? chooseFolder("Please select the path of pictures: ", start)
                                        : QFileDialog::getExistingDirectory(this, "Please select the path of pictures: ", start);
    if (folder.isEmpty()) return;
    lastFolder_ = folder;
    clsFilePath paths;
    clsFilePath::List all, files;
    paths.getAllFnameInPath(folder.toStdString(), "*", all, true);
    for (const std::string& file : all)
        if (clsFilePath::isJpgLiked(paths.getFileExtName(file))) files.push_back(file);
    if (files.empty()) return;
    if (!randomOrder_) paths.sortfnamesByStr(files);
    const int count = static_cast<int>(files.size());
    int index = 0;
    running_ = true;
    abort_ = false;
    while (showLive()) {
        index = randomOrder_ ? std::clamp(static_cast<int>(std::lround(count * random01() + 0.3)), 1, count)
                             : (index >= count ? 1 : index + 1);
        const std::string& file = files[static_cast<size_t>(index) - 1];
        try {
            original_ = modGDIPlusResize::loadPictureFile(QString::fromStdString(file));
            zoomed_ = false;
            drawPicture(original_, fit_ && !autoSize_);
        } catch (const modGDIPlusResize::PictureLoadError&) {
        }
        setCaptionFor(QString::fromStdString(paths.getFileTitleName(file)));
        if (!pauseBetweenSlides()) break;
        yieldFor(0);
    }
    running_ = false;
    abort_ = false;
}

int PictureBrowser::effectNextIndex() const {
    const int count = static_cast<int>(ids_.size());
    if (!randomOrder_ || count == 0) return current_ >= count ? 1 : current_ + 1;
    return std::clamp(1 + static_cast<int>(random01() * count), 1, count);
}

QImage PictureBrowser::showIndex(int i, const QString& captionHead) {
    current_ = i;
    {
        const QSignalBlocker quiet(HScroll1);
        HScroll1->setValue(i);
    }
    setCaptionFor(QString("%1%2/%3").arg(captionHead).arg(i).arg(ids_.size()));
    return libraryPicture(i);
}

bool PictureBrowser::showFrame(const QImage& frame) {
    Picture1->setPicture(frame);
    layoutViewport();
    yieldFor(0);
    return showLive();
}

bool PictureBrowser::sweep(int from, int to, int step, const std::function<QImage(int)>& frameAt) {
    for (int t = from; step > 0 ? t <= to : t >= to; t += step)
        if (!showFrame(frameAt(t))) return false;
    return true;
}

bool PictureBrowser::playEffect(int effect, const QImage& image, QSize box, int step) {
    const int W = box.width();
    const int H = box.height();
    const QRect fit = modGDIPlusResize::fitRect(image.size(), box);
    const int Wf = fit.width();
    const int Hf = fit.height();
    const double r = static_cast<double>(image.width()) / image.height();
    const QImage fitted = modGDIPlusResize::fitPicture(image, box);
    auto at = [&](int x, int y) { return frameWith(box, fitted, QRect(QPoint(x, y), fitted.size())); };
    std::function<QImage(int)> frameAt;
    int from = 5, to = Wf, backTo = 5;
    switch (effect) {
    case 1:
        frameAt = [&](int t) {
            const QRect inBox = modGDIPlusResize::fitRect(image.size(), QSize(t, H));
            return frameWith(box, image, inBox.translated((W - t) / 2, 0));
        };
        break;
    case 2:
        frameAt = [&](int t) {
            const int width = static_cast<double>(t) / H < r ? t : static_cast<int>(std::lround(H * r));
            return frameWith(box, image, centred(box, width, H));
        };
        break;
    case 3:
        to = Hf;
        frameAt = [&](int t) {
            const int height = static_cast<double>(W) / t < r ? static_cast<int>(std::lround(W / r)) : t;
            return frameWith(box, image, centred(box, W, height));
        };
        break;
    case 4:
        from = 10 - W, to = W, backTo = 10 - W;
        frameAt = [&](int x) { return at(x, fit.y()); };
        break;
    case 5:
        from = -H, to = H, backTo = -H;
        frameAt = [&](int y) { return at(fit.x(), y); };
        break;
    case 6:
        from = 10 - W, to = W, backTo = 1 - W;
        frameAt = [&](int t) { return at(t, t); };
        break;
    default: return false;
    }
    return sweep(from, to, step, frameAt) && sweep(to, backTo, -step, frameAt);
}

void PictureBrowser::runEffect(int effect) {
    if (effect < 1 || effect > 6 || !startShow()) return;
    while (showLive()) {
        const QSize box = picScrollBox->size();
        const QImage image = showIndex(effectNextIndex(), "Picture lib browser    ");
        if (!image.isNull() && !box.isEmpty()) playEffect(effect, image, box, Slider1->value() + 1);
        yieldFor(0);
    }
    endShow();
}

// Three pictures side by side (or one below the other), each centred across the strip, moving
// left (up) by the slider step every frame; the first one that has left is dropped and the
// next picture joins at the end.
void PictureBrowser::runStrip(bool horizontal) {
    if (!startShow()) return;
    const QSize box = picScrollBox->size();
    const int count = static_cast<int>(ids_.size());
    auto nextFitted = [&] {
        for (int tries = 0; tries < count && showLive(); ++tries) {
            const QImage image = showIndex(effectNextIndex(), "Picture lib browser    ");
            if (!image.isNull()) return modGDIPlusResize::fitPicture(image, box);
        }
        return QImage();
    };
    auto length = [horizontal](const QImage& image) { return horizontal ? image.width() : image.height(); };
    std::deque<QImage> pictures;
    QImage strip;
    auto rebuild = [&] {
        int total = 0;
        for (const QImage& picture : pictures) total += length(picture);
        strip = QImage(horizontal ? QSize(std::max(1, total), box.height()) : QSize(box.width(), std::max(1, total)),
                       QImage::Format_RGB32);
        strip.fill(Qt::black);
        QPainter painter(&strip);
        int along = 0;
        for (const QImage& picture : pictures) {
            const QPoint at = horizontal ? QPoint(along, qRound((box.height() - picture.height()) / 2.0))
                                         : QPoint(qRound((box.width() - picture.width()) / 2.0), along);
            painter.drawImage(at, picture);
            along += length(picture);
        }
    };
    for (int i = 0; i < 3; ++i) pictures.push_back(nextFitted());
    rebuild();
    int offset = horizontal ? box.width() : box.height();
    for (int frames = 1; running_; ++frames) {
        const int step = Slider1->value() + 1;
        offset -= step;
        QImage frame(box, QImage::Format_RGB32);
        frame.fill(Qt::black);
        QPainter(&frame).drawImage(horizontal ? QPoint(offset, 0) : QPoint(0, offset), strip);
        Picture1->setPicture(frame);
        layoutViewport();
        if (offset < -length(pictures.front())) {
            pictures.pop_front();
            pictures.push_back(nextFitted());
            rebuild();
            offset = -2 * step;
        }
        if (frames % kStripFramesPerYield == 0) {
            yieldFor(0);
            if (!showLive()) break;
        }
    }
    endShow();
}

void PictureBrowser::runCrossFade() {
    if (!startShow()) return;
    QSize box = picScrollBox->size();
    QImage under = shownOrBlack(Picture1->picture(), box);
    while (showLive()) {
        box = picScrollBox->size();
        const int step = Slider1->value() + 1;
        const QImage incoming = showIndex(effectNextIndex(), "Picture Lib Browser    ");
        if (incoming.isNull() || box.isEmpty()) {
            yieldFor(0);
            continue;
        }
        Picture2->setPicture(modGDIPlusResize::renderPicture(incoming, box, Qt::black));
        bool live = true;
        for (int alpha = 0; alpha <= 255 && live; alpha += step) {
            live = showFrame(modGDIPlusResize::blend(under, Picture2->picture(), alpha));
            if (live) yieldFor(0);
        }
        if (!live) break;
        const QImage next = showIndex(effectNextIndex(), "Picture lib browser    ");
        if (next.isNull()) {
            under = Picture2->picture();
            continue;
        }
        under = modGDIPlusResize::renderPicture(next, box, Qt::black);
        for (int alpha = 255; alpha >= 0 && live; alpha -= step)
            live = showFrame(modGDIPlusResize::blend(under, Picture2->picture(), alpha));
    }
    Picture2->hide();
    endShow();
}

void PictureBrowser::runBlinds() {
    if (ids_.empty()) return;
    running_ = true;
    while (showLive()) {
        const QSize box = picScrollBox->size();
        const QImage image = showIndex(effectNextIndex(), "Picture lib browser    ");
        if (!image.isNull() && !box.isEmpty()) {
            Picture2->setPicture(modGDIPlusResize::renderPicture(image, box, Qt::black));
            const QImage& incoming = Picture2->picture();
            QImage canvas = shownOrBlack(Picture1->picture(), box).convertToFormat(incoming.format());
            bool live = true;
            for (int phase = 0; phase < 4 && live; ++phase)
                for (int y = phase; y < incoming.height() && live; y += 4) {
                    std::copy_n(incoming.constScanLine(y), incoming.bytesPerLine(), canvas.scanLine(y));
                    live = showFrame(canvas);
                }
            if (!live) break;
        }
        if (!pauseBetweenSlides()) break;
    }
    endShow();
}

}  // namespace pictures
