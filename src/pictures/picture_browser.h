// PictureBrowser: the window in which the pictures of a library are looked at one by one.
//
// It is given the open library, a class name and a record id; it lists the picture classes in
// Combo1 (plus "All"), loads the ids of the pictures below the chosen class (or of the whole
// library) and shows one at a time, chosen by HScroll1, keys, the mouse wheel or the popup
// menu: fitted to the viewport or at its own size, enlarged or reduced in 5 % steps, in the
// normal layout, full window or full screen. A picture that cannot be decoded leaves the
// previous one shown.
//
// Slide shows and transition effects run inside the handler that starts them, as loops that
// yield to the message loop after every frame and end when the running flag is cleared or the
// abort flag is set.
//
// Files: picture_browser.cpp (controls, menu, layout, display modes), picture_browser_show.cpp
// (classes, showing and zooming pictures), picture_browser_input.cpp (keys and mouse),
// picture_browser_shows.cpp (slide shows and effects).
#pragma once

#include <QImage>
#include <QPoint>
#include <QSize>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/pump.h"
#include "store/ctreebook.h"

class QAction;
class QComboBox;
class QMenu;
class QMimeData;
class QPushButton;
class QScrollBar;
class QSlider;

namespace pictures {

// Picture1 and Picture2: a widget that paints its picture at its own size on black.
class PictureLabel : public QWidget {
public:
    explicit PictureLabel(QWidget* parent = nullptr);
    void setPicture(const QImage& image);
    const QImage& picture() const { return image_; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QImage image_;
};

class PictureBrowser : public QWidget {
    Q_OBJECT
public:
    explicit PictureBrowser(QWidget* parent = nullptr);
    ~PictureBrowser() override;

    // Opens the browser on the library: fills Combo1, chooses the class named lxName (when it
    // is listed) and goes to the picture btId when it is among the class's pictures.
    void openOn(store::ctreebook& cbook, const QString& lxName, int32_t btId);

    // Loads the pictures of the Combo1 entry (a class, or "All" for the whole library) after
    // its password; false when the password was refused.
    bool chooseClass(int comboIndex);
    // Shows picture i (1-based) of the list; an index outside the list, or a picture that
    // cannot be decoded, changes nothing.
    void showPicture(int i);
    // Multiplies both sides of the shown picture by (100 + step) / 100 and redraws it.
    void zoomPicture(double step);
    // Next picture in the current order: in order after the last comes the first; at random
    // round(count x r + 0.3) clamped to 1 .. count.
    int nextIndex() const;

    void setFullScreenDisplay(bool on);
    void setFullWindowDisplay(bool on);
    void setKeepOnTop(bool on);
    void setEllipseStyle(bool on);
    void setAutoSize(bool on);
    // Scales the remembered window size by factor and applies it.
    void scaleWindow(double factor);

    // ---- Shows ----
    // The plain slide show in order or at random; while a show runs it only stops it.
    void toggleSlideShow(bool random);
    // The pictures of a folder (asked for, starting at the one chosen last), sorted by name
    // unless the order is random, shown until the show is stopped.
    void folderSlideShow();
    // Effects 1 (zoom both ways), 2 (horizontal zoom), 3 (vertical zoom), 4 (horizontal
    // swing), 5 (vertical swing), 6 (diagonal swing); while a show runs it only stops it.
    void runEffect(int effect);
    // Effects 7 and 8: a strip of pictures moving left or up; while a show runs it only
    // stops it.
    void runStrip(bool horizontal);
    // Effect 9: cross-fade; while a show runs it only stops it.
    void runCrossFade();
    // Effect 0: venetian blinds, started at once.
    void runBlinds();
    // The stop entry: abort flag set, running flag cleared.
    void stopShow();
    bool running() const { return running_; }
    bool aborted() const { return abort_; }

    // Shows the picture carried by dropped data (picture data, or the first file that
    // decodes); false when it carries none.
    bool takeDrop(const QMimeData* data);

    // State, read by the owner and the tests.
    const std::vector<int32_t>& pictureIds() const { return ids_; }
    int currentIndex() const { return current_; }
    bool fitFlag() const { return fit_; }
    void setFitFlag(bool on) { fit_ = on; }
    bool bigDisplay() const { return bigDisplay_; }
    bool fullScreenFlag() const { return fullScreen_; }
    bool randomOrder() const { return randomOrder_; }
    bool autoSize() const { return autoSize_; }
    bool ellipseStyle() const { return ellipse_; }
    bool keepOnTop() const { return onTop_; }
    const QImage& shownPicture() const { return Picture1 ? Picture1->picture() : empty_; }

    // Where the random order draws its numbers in [0, 1); tests replace it.
    std::function<double()> random01;
    // How the shows yield: a number of slices as platform::yield; tests step the loops here.
    std::function<void(int)> yieldFor = platform::yield;
    // Asks for the folder of the folder show (prompt, start folder); unset: the folder dialog.
    std::function<QString(const QString& prompt, const QString& start)> chooseFolder;

    QComboBox* Combo1 = nullptr;
    QScrollBar* HScroll1 = nullptr;
    QSlider* Slider1 = nullptr;
    QWidget* picScrollBox = nullptr;
    QScrollBar* hscScroll = nullptr;
    QScrollBar* vscScroll = nullptr;
    PictureLabel* Picture1 = nullptr;
    PictureLabel* Picture2 = nullptr;
    QPushButton* Command2 = nullptr;  // opens the popup menu
    QPushButton* Command3 = nullptr;  // close
    QMenu* menu = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void makeControls();
    void makeMenu();
    QAction* addEntry(const QString& caption, const QString& name, std::function<void()> action,
                      bool checkable = false);
    void checkEntry(const QString& name, bool on);
    void layoutControls();
    // Places Picture1 in the viewport and shows the scroll bars a larger picture needs.
    void layoutViewport();
    void scrollPicture();
    // Draws image in Picture1: fitted to the viewport on black, or as it is.
    void drawPicture(const QImage& image, bool fitted);
    void setCaptionFor(const QString& text);
    bool handleKey(QKeyEvent* event);
    bool handlePictureMouse(QEvent* event);
    void stepWheel(int delta);
    void moveBy(int steps);  // relative step; nothing when it leaves the range
    void leaveBigDisplay();
    // Picture i (1-based) of the list decoded at its own size; null when it cannot be.
    QImage libraryPicture(int i) const;
    bool showLive() const { return running_ && !abort_; }
    // Starts a show unless one runs (then it is stopped); false when nothing is to start.
    bool startShow();
    // Both flags cleared, the current picture shown again normally.
    void endShow();
    // One yield, then about v seconds (v = Slider1) unless the show ends; false when it ended.
    bool pauseBetweenSlides();
    // The effects' next index: in order, or drawn uniformly from 1 .. count.
    int effectNextIndex() const;
    // Makes picture i current for a show (scroll bar and caption) and answers its image at its
    // own size; null when it cannot be decoded.
    QImage showIndex(int i, const QString& captionHead);
    // Puts the frame into Picture1 and yields once; false when the show ended.
    bool showFrame(const QImage& frame);
    // Frames for t from `from` to `to` by step; false when the show ended.
    bool sweep(int from, int to, int step, const std::function<QImage(int)>& frameAt);
    bool playEffect(int effect, const QImage& image, QSize box, int step);

    store::ctreebook* cbook_ = nullptr;
    std::vector<int32_t> ids_;
    int current_ = 0;
    bool fit_ = true;
    double zoomStep_ = 5.0;
    bool bigDisplay_ = false;
    bool fullScreen_ = true;
    bool fullScreenOn_ = false;
    bool fullWindowOn_ = false;
    bool randomOrder_ = true;
    bool autoSize_ = false;
    bool ellipse_ = false;
    bool onTop_ = false;
    bool running_ = false;
    bool abort_ = false;
    QSize windowSize_;
    QString lastFolder_;  // the folder of the last folder show
    QImage original_;  // the shown picture at its own size
    bool zoomed_ = false;  // Picture1 holds a zoomed picture of original_
    QPoint pressAt_;
    bool dragging_ = false;
    QImage empty_;
};

}  // namespace pictures
