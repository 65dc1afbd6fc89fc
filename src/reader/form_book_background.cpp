// The background picture behind rt1: a fixed picture file is drawn on showing and after a
// scroll, a folder or library source changes every show-time seconds (Timer1). The picture
// comes from the main window's background source, so the reader and the text pane share one
// folder list and one picture library.
#include "reader/form_book.h"

#include "pictures/modGDIPlusResize.h"

#include <QFileInfo>
#include <QTextEdit>

namespace reader {

namespace {

// An existing file (folders are no files).
bool fileExist(const QString& path) { return !path.isEmpty() && QFileInfo(path).isFile(); }

}  // namespace

void FormBook::drawFixedBackPic() {
    if (shared_.backPicShowTime > 0 && fileExist(shared_.backPicFile)) drawBackPic(0);
}

void FormBook::backPicTick() {
    const qint64 now = links_.nowSeconds ? links_.nowSeconds() : 0;
    if (backPicChanged_ == 0) backPicChanged_ = now;
    if (shared_.backPicShowTime == 0 || !isVisible() || isMinimized() || fileExist(shared_.backPicFile)) return;
    if (now - backPicChanged_ <= shared_.backPicShowTime) return;
    backPicChanged_ = now;
    drawBackPic(0);
    rt1->setFocus();
}

// A source that gives no picture keeps the picture drawn before.
void FormBook::drawBackPic(int mode) {
    const QImage picture = links_.backPicture ? links_.backPicture(mode) : QImage();
    if (picture.isNull()) return;
    backSource_ = picture;
    renderBackPic();
}

void FormBook::renderBackPic() {
    if (backSource_.isNull() || Picture1->width() < 1 || Picture1->height() < 1) return;
    backPicture_ = modGDIPlusResize::renderPicture(backSource_, Picture1->size(), rt1->palette().color(QPalette::Base),
                                                   !shared_.backPicStretch);
    rt1->viewport()->setAutoFillBackground(false);
    Picture1->update();
    rt1->viewport()->update();
}

void FormBook::clearTransparency() {
    rt1->viewport()->setAutoFillBackground(true);
    rt1->viewport()->update();
}

}  // namespace reader
