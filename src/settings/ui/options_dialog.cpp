#include "settings/ui/options_dialog.h"

#include "platform/colour.h"
#include "platform/dialogs.h"
#include "settings/rest_time.h"

#include <QButtonGroup>
#include <QFileInfo>
#include <QFormLayout>
#include <QGuiApplication>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace settings {

namespace {

struct PickerButton {
    const char* caption;
    const char* title;
};
// In the order of fontButtons: tree, main text, full screen, list.
constexpr PickerButton kFontButtons[] = {
    {"Book Lib TreeView", "书类列表区字体"},
    {"Primary Text View", "Primary TextBox Font"},
    {"Full Screen TxtView", "Full View TextBox Font"},
    {"Book List View", "Please Select BooK ListView Font"},
};

// An empty title: "Please Select " and the caption.
constexpr PickerButton kColourButtons[] = {
    {"Book Lib Area Back Color", "Please Bool Lib TreeView Back Color"},
    {"Primary Text Win Back Color", "Please Primary TextBox Back Color"},
    {"FullScreen Text Back Color", "Please Select Full View Text Back Color"},
    {"Book ListView Back Color", "Please Select Book Lib TreeViw Back Color"},
    {"Book Primary type ", ""},
    {"Book Sub Type", ""},
    {"Book Title", ""},
    {"Book Readed", ""},
};

constexpr const char* kExplainModes[] = {"Simple", "detail", "No"};
constexpr const char* kIconTypes[] = {"Internal", "Interal and Icon File", "Provided By OS"};
constexpr int kIconSizes[] = {16, 32, 48};

// The option buttons "Simple", "detail", "No" stand for the modes 1, 2 and 0.
int explainOption(int mode) { return mode == 0 ? 2 : mode == 1 ? 0 : 1; }
int explainModeOf(int option) { return option == 2 ? 0 : option + 1; }

QButtonGroup* addOptions(QWidget* owner, QHBoxLayout* row, const QStringList& captions) {
    auto* group = new QButtonGroup(owner);
    for (int i = 0; i < captions.size(); ++i) {
        auto* option = new QRadioButton(captions[i], owner);
        group->addButton(option, i);
        row->addWidget(option);
    }
    row->addStretch();
    return group;
}

void check(QButtonGroup* group, int id) {
    if (QAbstractButton* option = group->button(id)) option->setChecked(true);
}

QString numberText(double value) { return QString::number(value, 'g', 12); }

// The folder of a file chosen in a file picker; empty when nothing was chosen.
QString folderOf(const QString& file) { return file.isEmpty() ? QString() : QFileInfo(file).absolutePath(); }

// A length in seconds as entered: zero, negative or no number at all gives the default, as it
// does when the settings are read at the next start.
double lengthOr(double seconds, double fallback) {
    return std::isfinite(seconds) && seconds > 0 ? seconds : fallback;
}

}  // namespace

double fieldNumber(const QString& text) {
    static const QRegularExpression leading(R"(^\s*[+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?)");
    const QRegularExpressionMatch match = leading.match(text);
    if (!match.hasMatch()) return 0;
    const double number = match.captured(0).trimmed().toDouble();
    return std::isfinite(number) ? number : 0;
}

FormBroserParam::FormBroserParam(const OptionValues& values, QWidget* parent) : QDialog(parent), values_(values) {
    setObjectName("FormBroserParam");
    setWindowTitle("Options");
    auto* layout = new QVBoxLayout(this);
    SSTab1 = new QTabWidget(this);
    SSTab1->setObjectName("SSTab1");
    SSTab1->addTab(buildFontsTab(), "Fonts");
    SSTab1->addTab(buildColoursTab(), "Colors");
    SSTab1->addTab(buildOptionsTab(), "Options");
    layout->addWidget(SSTab1);
    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName("StatusBar1");
    layout->addWidget(StatusBar1);

    SSTab1->setCurrentIndex(2);
    fillTab(2);
    connect(SSTab1, &QTabWidget::currentChanged, this, &FormBroserParam::fillTab);
}

template <size_t N, class Caption>
QWidget* FormBroserParam::buildButtonTab(const Caption (&captions)[N], int firstNumber,
                                         std::array<QPushButton*, N>& buttons, std::array<QLabel*, N>& labels,
                                         void (FormBroserParam::*choose)(int)) {
    auto* tab = new QWidget;
    auto* grid = new QFormLayout(tab);
    for (size_t i = 0; i < N; ++i) {
        const int number = firstNumber + int(i);
        buttons[i] = new QPushButton(captions[i].caption, tab);
        buttons[i]->setObjectName(QString("Command%1").arg(number));
        labels[i] = new QLabel(tab);
        labels[i]->setObjectName(QString("Label%1").arg(number));
        labels[i]->setAutoFillBackground(true);
        grid->addRow(buttons[i], labels[i]);
        connect(buttons[i], &QPushButton::clicked, this, [this, choose, i] { (this->*choose)(int(i)); });
    }
    return tab;
}

QWidget* FormBroserParam::buildFontsTab() {
    QWidget* tab = buildButtonTab(kFontButtons, 1, fontButtons, fontSamples, &FormBroserParam::chooseFont);
    for (QLabel* sample : fontSamples) sample->setText("AaBb 书籍 123");
    return tab;
}

QWidget* FormBroserParam::buildColoursTab() {
    QWidget* tab = buildButtonTab(kColourButtons, 5, colourButtons, colourSwatches, &FormBroserParam::chooseColour);
    for (QLabel* swatch : colourSwatches) swatch->setMinimumWidth(60);
    return tab;
}

QWidget* FormBroserParam::buildOptionsTab() {
    auto* tab = new QWidget;
    auto* form = new QFormLayout(tab);
    auto optionRow = [&](const QString& label, const QStringList& captions) {
        auto* row = new QHBoxLayout;
        QButtonGroup* group = addOptions(tab, row, captions);
        form->addRow(label, row);
        return group;
    };
    auto pathRow = [&](const QString& label, QLineEdit*& text, std::initializer_list<QPushButton**> buttons,
                       std::initializer_list<const char*> captions) {
        auto* row = new QHBoxLayout;
        text = new QLineEdit(tab);
        row->addWidget(text);
        auto caption = captions.begin();
        for (QPushButton** button : buttons) {
            *button = new QPushButton(*caption++, tab);
            row->addWidget(*button);
        }
        form->addRow(label, row);
    };

    explainModeGroup = optionRow("Explain Mode:", {kExplainModes[0], kExplainModes[1], kExplainModes[2]});
    pathRow("Explain DB", explainPathText, {&explainPathButton}, {"Path"});
    iconTypeGroup = optionRow("Icon Type:", {kIconTypes[0], kIconTypes[1], kIconTypes[2]});
    iconSizeGroup = optionRow("Icon Size:", {"16", "32", "48"});
    pathRow("Back Pics For Text Box:", backPicText, {&backPicFileButton, &backPicPathButton}, {"File", "Path"});
    stretchGroup = optionRow("Back Pic Strech in TextBox:", {"Yes", "No"});
    showTimeText = new QLineEdit("10", tab);
    form->addRow("Back Pic Loop Time(Second):", showTimeText);

    auto* timeFrame = new QGroupBox("Time of Reading Control Options", tab);
    auto* timeForm = new QFormLayout(timeFrame);
    segTimeText = new QLineEdit("40", timeFrame);
    restTimeText = new QLineEdit("360", timeFrame);
    timeForm->addRow("Time for Reading(Minute):", segTimeText);
    timeForm->addRow("Time For Rest(Second):", restTimeText);
    form->addRow(timeFrame);

    saveButton = new QPushButton("Save", tab);
    form->addRow(saveButton);

    explainPathText->setObjectName("explainPathText");
    explainPathButton->setObjectName("explainPathButton");
    backPicText->setObjectName("backPicText");
    backPicFileButton->setObjectName("backPicFileButton");
    backPicPathButton->setObjectName("backPicPathButton");
    showTimeText->setObjectName("showTimeText");
    segTimeText->setObjectName("segTimeText");
    restTimeText->setObjectName("restTimeText");
    saveButton->setObjectName("saveButton");

    connect(explainPathButton, &QPushButton::clicked, this, [this] {
        const QString file = platform::pickOpenFile(this, "Please Select Word Library For Explain.", "*.mdb",
                                                    explainPathText->text());
        if (!file.isEmpty()) explainPathText->setText(folderOf(file));
    });
    connect(backPicFileButton, &QPushButton::clicked, this, [this] {
        const QString file = platform::pickOpenFile(this, "Please Select File of Back Picture For Full Screen View.",
                                                    "*.*", backPicText->text());
        if (!file.isEmpty()) backPicText->setText(file);
    });
    connect(backPicPathButton, &QPushButton::clicked, this, [this] {
        const QString file = platform::pickOpenFile(this, "Please Select Path of Back Pictures For Full Screen View.",
                                                    "*.jpg", backPicText->text());
        if (!file.isEmpty()) backPicText->setText(folderOf(file));
    });
    connect(saveButton, &QPushButton::clicked, this, &FormBroserParam::save);
    return tab;
}

ViewLook& FormBroserParam::fontTarget(int index) {
    ViewLook* targets[] = {&values_.tree, &values_.mainText, &values_.fullScreen, &values_.list};
    return *targets[index];
}

uint32_t& FormBroserParam::colourTarget(int index) {
    uint32_t* targets[] = {&values_.tree.backColour,     &values_.mainText.backColour, &values_.fullScreen.backColour,
                           &values_.list.backColour,     &values_.zlxColour,           &values_.lxColour,
                           &values_.nrColour,            &values_.readedColour};
    return *targets[index];
}

void FormBroserParam::fillTab(int tab) {
    if (tab == 0) {
        for (int i = 0; i < 4; ++i) {
            const ViewLook& look = fontTarget(i);
            fontSamples[i]->setFont(look.font);
            QPalette palette = fontSamples[i]->palette();
            palette.setColor(QPalette::WindowText, platform::colourFromRgb(look.foreColour));
            palette.setColor(QPalette::Window, platform::colourFromRgb(look.backColour));
            fontSamples[i]->setPalette(palette);
        }
    } else if (tab == 1) {
        for (int i = 0; i < 8; ++i) {
            QPalette palette = colourSwatches[i]->palette();
            palette.setColor(QPalette::Window, platform::colourFromRgb(colourTarget(i)));
            colourSwatches[i]->setPalette(palette);
        }
    } else {
        check(explainModeGroup, explainOption(values_.explainMode));
        explainPathText->setText(values_.explainPath);
        check(iconTypeGroup, values_.iconType - 1);
        for (int i = 0; i < 3; ++i)
            if (kIconSizes[i] == values_.iconSize) check(iconSizeGroup, i);
        backPicText->setText(values_.backPicFile);
        check(stretchGroup, values_.backPicStretch ? 0 : 1);
        showTimeText->setText(QString::number(values_.backPicShowTime));
        segTimeText->setText(numberText(values_.segTimeLen / 60));
        restTimeText->setText(numberText(values_.restTimeLen));
    }
}

void FormBroserParam::chooseFont(int index) {
    ViewLook& look = fontTarget(index);
    const auto choice = platform::pickFont(this, kFontButtons[index].title,
                                           {look.font, platform::colourFromRgb(look.foreColour)});
    if (!choice) return;
    look.font = choice->font;
    look.foreColour = platform::rgbFromColour(choice->colour);
    fillTab(0);
    emit looksChanged();
}

void FormBroserParam::chooseColour(int index) {
    const PickerButton& button = kColourButtons[index];
    const QString title = *button.title ? QString(button.title) : QString("Please Select ") + button.caption;
    uint32_t& target = colourTarget(index);
    const auto colour = platform::pickColour(this, title, platform::colourFromRgb(target));
    if (!colour) return;
    target = platform::rgbFromColour(*colour);
    fillTab(1);
    emit looksChanged();
}

void FormBroserParam::save() {
    values_.explainMode = explainModeOf(std::max(0, explainModeGroup->checkedId()));
    values_.explainPath = explainPathText->text().trimmed();
    values_.iconType = std::max(0, iconTypeGroup->checkedId()) + 1;
    values_.iconSize = kIconSizes[std::max(0, iconSizeGroup->checkedId())];
    values_.segTimeLen = lengthOr(fieldNumber(segTimeText->text()) * 60, ModRestTime::kDefaultSegTimeLen);
    values_.restTimeLen = lengthOr(fieldNumber(restTimeText->text()), ModRestTime::kDefaultRestTimeLen);
    values_.backPicStretch = stretchGroup->checkedId() == 0;
    // A negative interval switches the pictures off like 0; a day is the longest interval.
    values_.backPicShowTime = int(std::clamp(std::round(fieldNumber(showTimeText->text())), 0.0, 86400.0));
    values_.backPicFile = backPicText->text().trimmed();
    fillTab(2);
    emit saved();
}

void runOptionsDialog(FormBroserParam& dialog) {
    if (QGuiApplication::platformName() != "offscreen") dialog.exec();
}

}  // namespace settings
