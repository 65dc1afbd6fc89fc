// FormBook: the distraction-free reading window.
//
// The main window hands it a text, its title and the caret position to resume at; the reader
// shows the text in one large text box rt1 with a row of buttons along the bottom edge. It has
// its own font and colours (ReaderLook), an automatic slow scroll that runs on into the next
// document, previous/next document, an optional background picture behind the text and the word
// explanation. It knows the main window only through FormBookLinks.
//
// Keys and mouse on rt1: a right-button press on its right half makes the scroll slower (level
// + 1, 15 wraps to 0), on its left half faster (level - 1, 0 wraps to 15); a left-button press
// stops a running scroll; Esc stops it, and Esc once stopped closes the reader. The first Esc
// after opening only arms the stop, the second closes.
//
// Member definitions: form_book.cpp (controls, hand-over, keys and mouse, look),
// form_book_scroll.cpp (auto-scroll), form_book_background.cpp (background picture).
#pragma once

#include "aids/ui/tool_tips.h"
#include "reader/reader_settings.h"

#include <QDateTime>
#include <QImage>
#include <QWidget>
#include <functional>

class QLabel;
class QPushButton;
class QScrollBar;
class QTextEdit;
class QTimer;

namespace aids {
class ExplainModule;
}

namespace reader {

// How the reader reaches the main window; every member may be left empty.
struct FormBookLinks {
    // Steps the main window to the next (1) or previous (0) document and answers its text.
    std::function<QString(int direction)> nextText;
    // Gives the main window's text pane this caret position with a selection of selLength.
    std::function<void(int caret, int selLength)> handBackCaret;
    // A picture from the background source, chosen by mode (1 next, -1 previous, other random);
    // null when the source gives none.
    std::function<QImage(int mode)> backPicture;
    // The speed level was changed by the user; the main window keeps it.
    std::function<void(int level)> speedChanged;
    // The window closes with this look, to be kept in the settings file.
    std::function<void(const ReaderLook& look)> lookToKeep;
    // The open dictionary of the word explanation; null: no explanation.
    aids::ExplainModule* explainModule = nullptr;
    // The clock of the background rotation, in seconds.
    std::function<qint64()> nowSeconds = [] { return QDateTime::currentSecsSinceEpoch(); };
    // The auto-scroll's frames: waits for the next display frame while window events run, and
    // answers false once the program quits. Null: a platform::FramePacer on the reader.
    std::function<bool()> nextFrame;
    // The auto-scroll's clock in milliseconds, read once a frame. Null: the frame pacer's.
    std::function<qint64()> scrollClockMs;
};

// Auto-scroll speed of a level (0..15, others clamped) in pixels per second: a pixel takes one
// frame at 60 Hz plus a pause of level/16 s, so 60 px/s at level 0 (a skim), 12.6 at level 1,
// 2.55 at the first setting 6 and 1.05 at level 15 (a slow read).
double autoScrollSpeed(int level);
// How long the end of a text rests before the next document comes in (as long as 66 2/3 level
// pauses), in milliseconds.
inline constexpr qint64 kNextDocPauseMs = 4167;

class FormBook : public QWidget {
    Q_OBJECT
public:
    // Loading: the look is applied to rt1 now; the window is not shown.
    FormBook(const ReaderLook& look, FormBookLinks links, QWidget* parent = nullptr);
    ~FormBook() override;

    // ---- Hand-over from the main window, taken when the window is next shown or activated ----
    void setTitleStr(const QString& title);
    void setBuffer(const QString& text);
    void setSelstart(int position);
    // The caret position of rt1 once a hand-over was taken, else the one handed over.
    int selstart() const;
    void setShared(const ReaderShared& shared);
    const ReaderShared& shared() const { return shared_; }

    // ---- The text box ----
    // Colours the whole text.
    void setfc(uint32_t colour);
    int GetLineCount() const;
    void ScrollUp();
    void ScrollDown();
    // The font and colours as they are now, to be kept in the settings file.
    ReaderLook look() const;
    // Takes a look at once: at loading, and when the Options dialog changed it.
    void setLook(const ReaderLook& look);

    // ---- Commands ----
    // Command1: moves the text up at the speed level's pace, drawn once a display frame, until
    // the stop flag is set or the program quits; the position follows the time since the start
    // (or since the last change of level or of the position by hand). Near the end of the text
    // it rests, then moves on to the next document. Returns when the scroll ends.
    void autoScroll();
    bool scrolling() const { return scrolling_; }
    bool stopRequested() const { return stop_; }
    void requestStop() { stop_ = true; }
    // Command5 (0) / Command6 (1).
    void showNextDoc(int direction);
    // Command2 / Command3: the font (with its colour) and the background colour dialogs.
    void chooseFont();
    void chooseBackColour();
    // cmdOK: hands the caret back with a selection of 8 and closes.
    void quit();
    // Right-button press at x in rt1's coordinates.
    void changeSpeed(int x);
    // Esc in rt1: the first stops (or arms the stop), the next closes.
    void escapePressed();
    // Timer1: the folder background changes every show-time seconds.
    void backPicTick();
    // The picture as drawn behind rt1; null when there is none.
    const QImage& backPicture() const { return backPicture_; }
    // The balloons of the word explanation, attached to rt1's viewport.
    const aids::ToolTips& tips() const { return tips_; }

    // ---- Controls (design names) ----
    QTextEdit* rt1 = nullptr;
    QWidget* Picture1 = nullptr;
    QLabel* Label1 = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command3 = nullptr;
    QPushButton* Command5 = nullptr;
    QPushButton* Command6 = nullptr;
    QScrollBar* VScroll1 = nullptr;
    QTimer* Timer1 = nullptr;

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    // Esc that no control took (the focus on another button) does what it does in rt1.
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    // Activation: a pending hand-over is put into rt1, the timer runs, the background is drawn.
    void activate();
    // rt1 takes the text with the caret at `caret` and `selLength` characters selected.
    void setText(const QString& text, int caret, int selLength);
    // Room below the text, so that its last lines can be scrolled up to the top.
    void keepRoomBelowText();
    void layoutControls();
    void onVScroll(int value);
    // How near the end (pixels) the scroll moves on to the next document.
    int lookAhead() const;
    // Whether less than the look-ahead of text is left above the room kept below it.
    bool nearTextEnd();
    // A fixed picture file is drawn when the show time is at least 1 second.
    void drawFixedBackPic();
    void drawBackPic(int mode);
    // The picture drawn last, rendered again for Picture1's size.
    void renderBackPic();
    void clearTransparency();

    FormBookLinks links_;
    ReaderShared shared_;
    aids::ToolTips tips_;

    QString titleStr_;
    QString buffer_;
    int selstart_ = 0;
    bool handOverPending_ = false;
    bool stop_ = false;
    bool scrolling_ = false;
    int previousVScroll_ = 0;
    int32_t charset_ = kDefaultCharset;  // the font's stored character set, which Qt does not keep
    qint64 backPicChanged_ = 0;  // 0 until the first tick
    QImage backSource_;   // as decoded
    QImage backPicture_;  // as rendered for Picture1
};

}  // namespace reader
