// Slide shows and transition effects: loops inside the handler that starts them, one frame per
// display frame, ending on the running and abort flags or when the window is gone.
#include "pictures/picture_browser.h"

#include "pictures/effect_paths.h"
#include "pictures/modGDIPlusResize.h"
#include "pictures/show_frames.h"
#include "util/app_path.h"
#include "util/file_path.h"

#include <QFileDialog>
#include <QPainter>
#include <QPointer>
#include <QScopeGuard>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>

#include <algorithm>
#include <cmath>
#include <deque>
#include <utility>

namespace pictures {

namespace {

// Pauses between slides are v x this many yield slices (10 ms each): about v seconds, taken a
// slice at a time so that a stop acts within a display frame.
constexpr int kPauseSlicesPerStep = 100;

// Continuous movement moves this many steps per display frame (it yields once every so many
// frames, so only every eleventh is ever seen).
constexpr int kStripStepsPerFrame = 11;

const QString kEffectCaption = QStringLiteral("Picture lib browser    ");
const QString kFadeInCaption = QStringLiteral("Picture Lib Browser    ");

// What Picture1 shows as a frame of box; black when it shows nothing.
QImage shownOrBlack(const QImage& shown, QSize box) {
    if (!shown.isNull()) return modGDIPlusResize::renderPicture(shown, box, Qt::black);
    QImage black(box, QImage::Format_RGB32);
    black.fill(Qt::black);
    return black;
}

}  // namespace

void PictureBrowser::stopShow() {
    abort_ = true;
    running_ = false;
    pendingShow_ = {};
}

void PictureBrowser::playShow(ShowStart show) {
    if (activeShow_ != Show::None) {
        running_ = false;
        pendingShow_ = std::move(show);
        return;
    }
    const QPointer<PictureBrowser> self(this);
    while (show.loop) {
        platform::FramePacer pacer(this);
        pacer_ = &pacer;
        activeShow_ = show.kind;
        running_ = true;
        abort_ = false;
        show.loop();
        if (!self) return;
        pacer_ = nullptr;
        activeShow_ = Show::None;
        running_ = false;
        abort_ = false;
        Picture2->hide();
        if (show.redisplay) {
            showPicture(current_);
            Command2->setFocus();
        }
        show = std::exchange(pendingShow_, {});
    }
}

void PictureBrowser::toggleShow(ShowStart show) {
    if (running_) {
        running_ = false;
        return;
    }
    if (ids_.empty()) return;
    playShow(std::move(show));
}

bool PictureBrowser::waitFrame() {
    const QPointer<PictureBrowser> self(this);
    const std::function<bool()> wait = nextFrame;  // a copy: the window may go while it waits
    platform::FramePacer* pacer = pacer_;
    const bool more = wait ? wait() : pacer ? pacer->next() : platform::yield(0);
    return more && self && showLive();
}

bool PictureBrowser::yieldSlices(int slices) {
    const QPointer<PictureBrowser> self(this);
    const std::function<void(int)> yield = yieldFor;  // a copy, as in waitFrame
    yield(slices);
    return self && !platform::quitting() && showLive();
}

bool PictureBrowser::showFrame(const QImage& frame, const QRect& changed) {
    const bool resized = Picture1->picture().size() != frame.size();
    Picture1->setPicture(frame, resized ? QRect() : changed);
    if (resized) layoutViewport();
    return waitFrame();
}

bool PictureBrowser::pauseBetweenSlides() {
    if (!yieldSlices(0) || !waitFrame()) return false;
    const int slices = Slider1->value() * kPauseSlicesPerStep;
    for (int waited = 0; waited < slices; ++waited)
        if (!yieldSlices(1)) return false;
    return true;
}

QImage PictureBrowser::showIndex(int i, const QString& captionHead, const modGDIPlusResize::CoveringFor& coveringFor) {
    if (i < 1 || i > static_cast<int>(ids_.size())) return {};
    current_ = i;
    {
        const QSignalBlocker quiet(HScroll1);
        HScroll1->setValue(i);
    }
    setCaptionFor(QString("%1%2/%3").arg(captionHead).arg(i).arg(ids_.size()));
    const QSize box = picScrollBox->size();
    return libraryPicture(i, coveringFor ? coveringFor : [box](QSize) { return box; });
}

int PictureBrowser::effectNextIndex() const {
    const int count = static_cast<int>(ids_.size());
    if (count == 0) return 0;
    if (!randomOrder_) return current_ >= count ? 1 : current_ + 1;
    return std::clamp(1 + static_cast<int>(std::floor(random01() * count)), 1, count);
}

void PictureBrowser::toggleSlideShow(bool random) {
    randomOrder_ = random;
    toggleShow({Show::SlideShow, true, [this] { slideShowLoop(); }});
}

void PictureBrowser::slideShowLoop() {
    do showPicture(nextIndex());
    while (pauseBetweenSlides());
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
    playShow({Show::FolderShow, false, [this, files = std::move(files)] { folderShowLoop(files); }});
}

void PictureBrowser::folderShowLoop(const std::vector<std::string>& files) {
    const clsFilePath paths;
    const int count = static_cast<int>(files.size());
    int index = 0;
    do {
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
    } while (pauseBetweenSlides() && yieldSlices(0));
}

void PictureBrowser::runEffect(int effect) {
    if (effect < 1 || effect > 6) return;
    toggleShow({Show::Effect, true, [this, effect] { effectLoop(effect); }});
}

void PictureBrowser::effectLoop(int effect) {
    do {
        const QSize box = picScrollBox->size();
        // Decoded no larger than the effect draws it.
        const QImage image = showIndex(effectNextIndex(), kEffectCaption,
                                       [effect, box](QSize shown) { return effectPath(effect, box, shown).largest; });
        if (!image.isNull() && !box.isEmpty() && !playEffect(effect, image, box, Slider1->value() + 1)) return;
    } while (waitFrame());  // the picture has gone; between pictures, one frame
}

bool PictureBrowser::playEffect(int effect, const QImage& image, QSize box, int step) {
    const EffectPath path = effectPath(effect, box, image.size());
    if (path.largest.isEmpty()) return true;
    ScaledPicture picture(image, path.largest);
    if (Picture1->picture().size() != box) {
        Picture1->setPicture(shownOrBlack(QImage(), box));
        layoutViewport();
    }
    // Frames are painted straight into the window; the last one stays as the picture.
    const QPointer<PictureLabel> label(Picture1);
    const auto keepLastFrame = qScopeGuard([label] {
        if (label) label->endPainting();
    });
    QRect shown(QPoint(0, 0), box);  // the first frame is painted whole
    const auto frameAt = [&](int t) {
        const QRect target = path.target(t);
        Picture1->setPainting([&picture, target](QPainter& painter, const QRect& asked) { picture.paint(painter, target, asked); },
                              shown | target);
        shown = target & QRect(QPoint(0, 0), box);
        return waitFrame();
    };
    return walkPath(path.from, path.to, step, frameAt) && walkPath(path.to, path.back, -step, frameAt);
}

void PictureBrowser::runStrip(bool horizontal) {
    toggleShow({Show::Strip, true, [this, horizontal] { stripLoop(horizontal); }});
}

// Three pictures side by side (or one below the other), each centred across the strip, moving
// left (up) by the slider step every step; the first one that has left is dropped and the next
// picture joins at the end. A picture that cannot be decoded takes no room.
void PictureBrowser::stripLoop(bool horizontal) {
    const QSize box = picScrollBox->size();
    if (box.isEmpty()) return;
    auto nextFitted = [&] {
        const QImage image = showIndex(effectNextIndex(), kEffectCaption);
        return image.isNull() ? QImage() : modGDIPlusResize::fitPicture(image, box);
    };
    auto length = [horizontal](const QImage& image) {
        return image.isNull() ? 0 : horizontal ? image.width() : image.height();
    };
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
            if (picture.isNull()) continue;
            const QPoint at = horizontal ? QPoint(along, qRound((box.height() - picture.height()) / 2.0))
                                         : QPoint(qRound((box.width() - picture.width()) / 2.0), along);
            painter.drawImage(at, picture);
            along += length(picture);
        }
    };
    for (int i = 0; i < 3; ++i) pictures.push_back(nextFitted());
    rebuild();
    FrameCanvas canvas(box);
    int offset = horizontal ? box.width() : box.height();
    for (;;) {
        for (int steps = 0; steps < kStripStepsPerFrame; ++steps) {
            if (!running_) return;
            const int step = Slider1->value() + 1;
            offset -= step;
            if (offset < -length(pictures.front())) {
                pictures.pop_front();
                pictures.push_back(nextFitted());
                rebuild();
                offset = -2 * step;
            }
        }
        ScaledPicture moving(strip, strip.size());
        const QRect target(horizontal ? QPoint(offset, 0) : QPoint(0, offset), strip.size());
        const QImage& frame = canvas.draw(moving, target);
        if (!showFrame(frame, canvas.changed())) return;
    }
}

void PictureBrowser::runCrossFade() {
    toggleShow({Show::CrossFade, true, [this] { crossFadeLoop(); }});
}

void PictureBrowser::crossFadeLoop() {
    QImage under = Picture1->picture();
    for (;;) {
        const QSize box = picScrollBox->size();
        const int step = Slider1->value() + 1;
        const QImage incoming = showIndex(effectNextIndex(), kFadeInCaption);
        if (incoming.isNull() || box.isEmpty()) {
            if (!waitFrame()) return;
            continue;
        }
        under = shownOrBlack(under, box);
        Picture2->setPicture(modGDIPlusResize::renderPicture(incoming, box, Qt::black));
        const QImage over = Picture2->picture();  // kept here: the window may go during a frame
        FrameCanvas canvas(box);
        for (int alpha = 0; alpha <= 255; alpha += step)
            if (!showFrame(canvas.blend(under, over, alpha)) || !yieldSlices(0)) return;
        const QImage next = showIndex(effectNextIndex(), kEffectCaption);
        if (next.isNull()) {
            under = over;
            continue;
        }
        under = modGDIPlusResize::renderPicture(next, box, Qt::black);
        for (int alpha = 255; alpha >= 0; alpha -= step)
            if (!showFrame(canvas.blend(under, over, alpha))) return;
    }
}

void PictureBrowser::runBlinds() {
    if (ids_.empty() || (activeShow_ == Show::Blinds && running_)) return;
    playShow({Show::Blinds, true, [this] { blindsLoop(); }});
}

// Picture1 keeps its drawing while the rows of the next picture are copied onto it.
void PictureBrowser::blindsLoop() {
    do {
        const QSize box = picScrollBox->size();
        const QImage image = showIndex(effectNextIndex(), kEffectCaption);
        if (image.isNull() || box.isEmpty()) continue;
        Picture2->setPicture(modGDIPlusResize::renderPicture(image, box, Qt::black));
        const QImage incoming = Picture2->picture();  // kept here: the window may go during a frame
        const QImage& shown = Picture1->picture();
        if (shown.size() != incoming.size() || shown.format() != incoming.format()) {
            Picture1->setPicture(shownOrBlack(shown, box).convertToFormat(incoming.format()));
            layoutViewport();
        }
        for (int phase = 0; phase < 4; ++phase)
            for (int y = phase; y < incoming.height(); y += 4) {
                Picture1->changePicture(
                    [&](QImage& canvas) {
                        std::copy_n(incoming.constScanLine(y), incoming.bytesPerLine(), canvas.scanLine(y));
                    },
                    QRect(0, y, incoming.width(), 1));
                if (!waitFrame()) return;
            }
    } while (pauseBetweenSlides());
}

}  // namespace pictures
