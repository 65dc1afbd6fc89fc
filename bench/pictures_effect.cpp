// Effect 1 (zoom both ways) of the picture browser at 1280 x 720 on a 4000 x 3000 photograph.
//
// effect_speed: frames per second the show produces with pacing off, against a loop that only
// draws the same already-scaled picture into a fresh 1280 x 720 image filled black (a frame
// needs its black background).
// effect_cpu: processor time over wall time during 10 s of the show paced by the display,
// against a quarter of one core.
#include "browser_support.h"
#include "pictures/effect_paths.h"
#include "pictures/modGDIPlusResize.h"
#include "pictures/picture_browser.h"
#include "platform/pump.h"
#include "store/ctreebook.h"
#include "support/bench.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLinearGradient>
#include <QPainter>
#include <QScrollBar>
#include <QSlider>
#include <QTimer>

#include <ctime>
#include <memory>
#include <stdexcept>

namespace {

const QSize kDisplay(1280, 720);
const QSize kPhoto(4000, 3000);

struct Fixture {
    store::ctreebook book;
    std::unique_ptr<pictures::PictureBrowser> browser;
    QImage scaled;     // the photograph fitted to the display
    int framesPerPicture = 0;
};
Fixture* fixture = nullptr;

QByteArray photoJpeg() {
    QImage drawn(kPhoto, QImage::Format_RGB32);
    QPainter painter(&drawn);
    QLinearGradient gradient(0, 0, kPhoto.width(), kPhoto.height());
    gradient.setColorAt(0, Qt::darkBlue);
    gradient.setColorAt(0.5, Qt::yellow);
    gradient.setColorAt(1, Qt::darkRed);
    painter.fillRect(drawn.rect(), gradient);
    for (int i = 0; i < 200; ++i)
        painter.fillRect((i * 397) % 3900, (i * 211) % 2900, 100, 100, QColor::fromHsv(i, 200, 200));
    painter.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    drawn.save(&buffer, "JPEG", 90);
    return bytes;
}

// A library with a class of two copies of the photograph, and the browser open on it with the
// picture area at the display size and the slowest speed (one pixel a frame).
void makeFixture() {
    browser_bench::ensureApplication();
    fixture = new Fixture;
    const std::string library = bench::scratchDir() + "/effect.mdb";
    if (!fixture->book.createBookMDB(library) || !fixture->book.openDB(library)) throw std::runtime_error("no library");
    const QByteArray jpeg = photoJpeg();
    const store::Bytes bytes(jpeg.begin(), jpeg.end());
    const int32_t photos = fixture->book.insertPathBT("Photos", 1);
    fixture->book.insertRec(photos, "one", "jpg", bytes);
    fixture->book.insertRec(photos, "two", "jpg", bytes);
    auto& browser = fixture->browser;
    browser = std::make_unique<pictures::PictureBrowser>();
    browser->show();
    browser->resize(kDisplay);
    browser->resize(kDisplay.width(), kDisplay.height() + browser->height() - browser->picScrollBox->height());
    browser->openOn(fixture->book, "Photos", 0);
    browser->Slider1->setValue(0);
    QKeyEvent inOrder(QEvent::KeyPress, Qt::Key_R, Qt::NoModifier);  // the browser opens at random
    QApplication::sendEvent(browser.get(), &inOrder);
    if (browser->picScrollBox->size() != kDisplay || browser->pictureIds().size() != 2)
        throw std::runtime_error("browser not laid out");
    const QImage photo = modGDIPlusResize::loadPictureBytes(jpeg);
    fixture->scaled = modGDIPlusResize::fitPicture(photo, kDisplay);
    const pictures::EffectPath path = pictures::effectPath(1, kDisplay, photo.size());
    fixture->framesPerPicture = 2 * (path.to - path.from + 1);
}

// Seconds from the start of an effect 1 show on the first picture until the second begins.
double secondsForOnePicture() {
    auto& browser = *fixture->browser;
    browser.HScroll1->setValue(2);  // in order, the show begins with picture 1
    QElapsedTimer clock;
    double seconds = 0;
    const auto connection = QObject::connect(&browser, &QWidget::windowTitleChanged, [&](const QString& title) {
        if (!title.endsWith("2/2")) return;
        seconds = double(clock.nsecsElapsed()) / 1e9;
        browser.stopShow();
    });
    clock.start();
    browser.runEffect(1);
    QObject::disconnect(connection);
    return seconds;
}

double effectFramesPerSecond() {
    platform::FramePacer::setUnpaced(true);
    const double seconds = secondsForOnePicture();
    platform::FramePacer::setUnpaced(false);
    return seconds > 0 ? fixture->framesPerPicture / seconds : 0.0;
}

double drawFramesPerSecond() {
    const QImage& scaled = fixture->scaled;
    const QPoint at((kDisplay.width() - scaled.width()) / 2, (kDisplay.height() - scaled.height()) / 2);
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < fixture->framesPerPicture; ++i) {
        QImage frame(kDisplay, QImage::Format_RGB32);
        frame.fill(Qt::black);
        QPainter(&frame).drawImage(at, scaled);
        benchmark::DoNotOptimize(frame.constBits());
    }
    return fixture->framesPerPicture / (double(clock.nsecsElapsed()) / 1e9);
}

double processorTime() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

// Processor time over wall time while a paced effect 1 show runs for ten seconds.
double pacedShowLoad() {
    auto& browser = *fixture->browser;
    QTimer::singleShot(10'000, &browser, [&browser] { browser.stopShow(); });
    QElapsedTimer clock;
    const double startCpu = processorTime();
    clock.start();
    browser.runEffect(1);
    return (processorTime() - startCpu) / (double(clock.nsecsElapsed()) / 1e9);
}

}  // namespace

void registerBenchmarks() {
    // A sample is one picture's effect, well under a second: more pairs steady the median.
    bench::sampled("effect_speed", effectFramesPerSecond, drawFramesPerSecond, [] {
        if (!fixture) makeFixture();
    }, 11);
    bench::sampled("effect_cpu", pacedShowLoad, [] { return 0.25; }, [] {
        if (!fixture) makeFixture();
    });
}
