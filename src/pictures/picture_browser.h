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
// draw at most one frame per display frame, wait on the event loop in between (so keys, the menu
// and closing act within a frame) and end when the running flag is cleared, the abort flag is
// set or the window is gone. One show loop runs at a time: a show started while a stopped one
// is still leaving its loop begins once that one has left, never inside it.
//
// Files: picture_browser.cpp (controls, menu, layout, display modes), picture_browser_show.cpp
// (classes, showing and zooming pictures), picture_browser_input.cpp (keys and mouse),
// picture_browser_shows.cpp (slide shows and effects), effect_paths.* (where effects draw),
// show_frames.* (drawing the frames).
#pragma once

#include <QImage>
#include <QPoint>
#include <QSize>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "pictures/modGDIPlusResize.h"
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
    // Shows image; when changed is given, only that part differs from what was shown.
    void setPicture(const QImage& image, const QRect& changed = QRect());
    // Changes the shown picture in place (its drawing persists) and repaints the part changed.
    void changePicture(const std::function<void(QImage&)>& edit, const QRect& changed);
    const QImage& picture() const { return image_; }

    // Paints the part asked of the label (a show drawing its frames straight into the window).
    using Painting = std::function<void(QPainter& painter, const QRect& asked)>;
    // Paints with painting instead of the picture (of the same size) until the next picture or
    // endPainting(); changed is the part that differs from what was shown.
    void setPainting(Painting painting, const QRect& changed);
    // Keeps what the painting shows as the picture, and paints the picture again.
    void endPainting();
    // What the label shows: its picture, or what its painting draws.
    QImage shown() const;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QImage image_;
    Painting painting_;
};

class PictureBrowser : public QWidget {
    Q_OBJECT
public:
    explicit PictureBrowser(QWidget* parent = nullptr);
    ~PictureBrowser() override;

    // Opens the browser on the library in its initial state (any show stopped, no pictures,
    // fitted, at random, normal display, none of the window styles): fills Combo1, chooses the
    // class named lxName (when it is listed) and goes to the picture btId when it is among the
    // class's pictures.
    void openOn(store::ctreebook& cbook, const QString& lxName, int32_t btId);

    // Loads the pictures of the Combo1 entry (a class, or "All" for the whole library) after
    // its password, stopping a running show first; false when the password was refused (the
    // list stays as it was).
    bool chooseClass(int comboIndex);
    // Shows picture i (1-based) of the list; an index outside the list, or a picture that
    // cannot be decoded, changes nothing.
    void showPicture(int i);
    // Multiplies both sides of the shown picture by (100 + step) / 100 and redraws it.
    void zoomPicture(double step);
    // Next picture in the current order: in order after the last comes the first; at random
    // round(count x r + 0.3) clamped to 1 .. count. 0 without pictures.
    int nextIndex() const;
    // The effects' next picture: in order as nextIndex, at random drawn uniformly from
    // 1 .. count (clamped to it). 0 without pictures.
    int effectNextIndex() const;

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
    // Effect 0: venetian blinds, started at once: a running show of another kind is ended
    // first; while the blinds run, choosing them again changes nothing.
    void runBlinds();
    // The stop entry: abort flag set, running flag cleared, a show waiting to start dropped.
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
    QImage shownPicture() const { return Picture1 ? Picture1->shown() : QImage(); }

    // Where the random order draws its numbers in [0, 1); tests replace it.
    std::function<double()> random01;
    // How the shows wait; tests step the loops here. nextFrame waits for the next display
    // frame (unset: paced by the display of the window's screen) and is false once the program
    // quits; yieldFor yields a number of slices as platform::yield (pauses between slides).
    std::function<bool()> nextFrame;
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
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
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
    // Picture i (1-based) of the list decoded at its own size, or only as large as it takes to
    // cover the size coveringFor gives when it is given; null when it cannot be decoded or i is
    // not in the list.
    QImage libraryPicture(int i, const modGDIPlusResize::CoveringFor& coveringFor = {}) const;
    // No pictures: an empty list, the scroll bar without a range, nothing shown.
    void clearPictures();
    // The state of a freshly opened browser.
    void resetState();

    // ---- Shows (picture_browser_shows.cpp) ----
    enum class Show { None, SlideShow, FolderShow, Effect, Strip, CrossFade, Blinds };
    struct ShowStart {
        Show kind = Show::None;
        bool redisplay = false;  // show the current picture again normally when it ends
        std::function<void()> loop;
    };
    bool showLive() const { return running_ && !abort_; }
    // Runs loop as the show: running flag set, abort flag cleared, frames paced by the display;
    // afterwards both flags cleared (and the current picture shown again if asked). While a
    // show loop is still running, the new show only waits to start after it.
    void playShow(ShowStart show);
    // A start entry over the picture list: while a show runs it only stops it.
    void toggleShow(ShowStart show);
    // Waits for the next display frame; false when the show is to end (stopped, the program
    // quitting or the window gone: the caller then leaves at once, touching nothing of it).
    bool waitFrame();
    // Yields slices as yieldFor; false when the show is to end, as waitFrame.
    bool yieldSlices(int slices);
    // Puts frame into Picture1 (changed: where it differs from the last) and waits for the next
    // display frame; false when the show is to end.
    bool showFrame(const QImage& frame, const QRect& changed = QRect());
    // One yield, a display frame, then about v seconds (v = Slider1) unless the show ends;
    // false when it ended.
    bool pauseBetweenSlides();
    // Makes picture i current for a show (scroll bar and caption) and answers its image, decoded
    // no larger than it takes to cover the picture area (or the size coveringFor gives); null when
    // it cannot be decoded or is not in the list.
    QImage showIndex(int i, const QString& captionHead, const modGDIPlusResize::CoveringFor& coveringFor = {});
    void slideShowLoop();
    void folderShowLoop(const std::vector<std::string>& files);
    void effectLoop(int effect);
    // One picture of effects 1 to 6, entering and leaving; false when the show ended.
    bool playEffect(int effect, const QImage& image, QSize box, int step);
    void stripLoop(bool horizontal);
    void crossFadeLoop();
    void blindsLoop();

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
    Show activeShow_ = Show::None;  // the show whose loop runs
    ShowStart pendingShow_;         // a show to start once the running loop has left
    platform::FramePacer* pacer_ = nullptr;  // the running show's, on its loop's stack
    QSize windowSize_;
    QString lastFolder_;  // the folder of the last folder show
    QImage original_;  // the shown picture at its own size
    bool zoomed_ = false;  // Picture1 holds a zoomed picture of original_
    QPoint pressAt_;
    bool dragging_ = false;
};

}  // namespace pictures
