// FormBroserParam: the options dialog, titled "Options". Three tabs: the fonts of the library
// tree, the document list, the main text view and the full-screen reader (tab 1); their back
// colours and the colours of the tree's nodes (tab 2); the behaviour options (tab 3).
//
// A font or colour chosen on tab 1 or 2 takes effect at once: the dialog keeps it in its values
// and emits looksChanged(). The options of tab 3 are taken only when "Save" is pressed; the
// dialog then emits saved(). The owner applies the values and keeps them. Pickers go through
// platform/dialogs.h.
#pragma once

#include <QDialog>
#include <QFont>
#include <QString>
#include <array>
#include <cstdint>

class QButtonGroup;
class QLabel;
class QLineEdit;
class QPushButton;
class QStatusBar;
class QTabWidget;

namespace settings {

// A view's font with its text and back colours (stored colour values, red in the low byte).
struct ViewLook {
    QFont font;
    uint32_t foreColour = 0;
    uint32_t backColour = 0xFFFFFF;
};

// Explanation modes as the main window keeps them: 0 off, 1 plain, 2 detailed.
struct OptionValues {
    ViewLook tree, list, mainText, fullScreen;
    // the node colours of the tree and the list
    uint32_t zlxColour = 255, lxColour = 0xFF0000, nrColour = 0, readedColour = 65280;

    int explainMode = 0;
    QString explainPath;  // the dictionary's folder
    int iconType = 3;     // 1 internal, 2 internal and icon files, 3 provided by the system
    int iconSize = 16;    // 16, 32 or 48
    QString backPicFile;  // background pictures of the text views: a file or a folder
    bool backPicStretch = false;
    int backPicShowTime = 10;  // seconds; 0: no background pictures
    double segTimeLen = 2400;  // reading segment, seconds
    double restTimeLen = 360;  // rest, seconds
};

// The leading number of the text, as a form field reads it: "45", " 45 min" give 45; a text
// that does not start with a number gives 0.
double fieldNumber(const QString& text);

class FormBroserParam : public QDialog {
    Q_OBJECT
public:
    explicit FormBroserParam(const OptionValues& values, QWidget* parent = nullptr);

    const OptionValues& values() const { return values_; }

    // The font buttons of tab 1 and the colour buttons of tab 2 (the picker opens).
    void chooseFont(int index);
    void chooseColour(int index);
    // "Save" of tab 3.
    void save();

    // ---- Controls ----
    QTabWidget* SSTab1 = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    // Tab 1: "Book Lib TreeView", "Primary Text View", "Full Screen TxtView", "Book List View"
    std::array<QPushButton*, 4> fontButtons{};
    std::array<QLabel*, 4> fontSamples{};
    // Tab 2: the four back colours, then "Book Primary type ", "Book Sub Type", "Book Title",
    // "Book Readed"
    std::array<QPushButton*, 8> colourButtons{};
    std::array<QLabel*, 8> colourSwatches{};
    // Tab 3
    QButtonGroup* explainModeGroup = nullptr;  // "Simple", "detail", "No"
    QLineEdit* explainPathText = nullptr;
    QPushButton* explainPathButton = nullptr;
    QButtonGroup* iconTypeGroup = nullptr;  // "Internal", "Interal and Icon File", "Provided By OS"
    QButtonGroup* iconSizeGroup = nullptr;  // "16", "32", "48"
    QLineEdit* backPicText = nullptr;
    QPushButton* backPicFileButton = nullptr;
    QPushButton* backPicPathButton = nullptr;
    QButtonGroup* stretchGroup = nullptr;  // "Yes", "No"
    QLineEdit* showTimeText = nullptr;
    QLineEdit* segTimeText = nullptr;
    QLineEdit* restTimeText = nullptr;
    QPushButton* saveButton = nullptr;

signals:
    void looksChanged();
    void saved();

private:
    // A tab of buttons, each with a label beside it, named Command<n> and Label<n> from
    // firstNumber on; a click runs choose with the button's index.
    template <size_t N, class Caption>
    QWidget* buildButtonTab(const Caption (&captions)[N], int firstNumber, std::array<QPushButton*, N>& buttons,
                            std::array<QLabel*, N>& labels, void (FormBroserParam::*choose)(int));
    QWidget* buildFontsTab();
    QWidget* buildColoursTab();
    QWidget* buildOptionsTab();
    // Fills the tab's controls from the values.
    void fillTab(int tab);
    ViewLook& fontTarget(int index);
    uint32_t& colourTarget(int index);

    OptionValues values_;
};

// Shows the dialog modally until the user closes it. On the offscreen platform nothing can
// close it, so it is not shown there.
void runOptionsDialog(FormBroserParam& dialog);

}  // namespace settings
