// Every modal interaction of the windows goes through here: message boxes, the yes/no
// question, the file-open, colour and font pickers. A test answers them by setting the
// members of dialogAnswers(); unset members show the real Qt dialog.
//
// On the offscreen platform (tests, scripts) an unanswered dialog is not shown at all: it
// is logged and answered as if cancelled, so nothing ever waits for a click that cannot come.
#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <functional>
#include <optional>

class QWidget;

namespace platform {

enum class MessageIcon { None, Information, Question, Warning, Critical };

// A font with the colour of its text, as the font dialog chooses them together.
struct FontChoice {
    QFont font;
    QColor colour;
};

struct DialogAnswers {
    std::function<void(const QString& title, const QString& text, MessageIcon icon)> message;
    // A message with a "Don't show this again" choice; the answer is that choice.
    std::function<bool(const QString& title, const QString& text)> messageOfferingSilence;
    std::function<bool(const QString& title, const QString& question)> question;
    std::function<QString(const QString& title, const QString& filter, const QString& start)> openFile;
    std::function<std::optional<QColor>(const QString& title, const QColor& initial)> colour;
    std::function<std::optional<FontChoice>(const QString& title, const FontChoice& initial)> font;
};

DialogAnswers& dialogAnswers();

// A message box with one OK button.
void showMessage(QWidget* parent, const QString& title, const QString& text, MessageIcon icon);
// A message box with one OK button and a "Don't show this again" check box; true when it was
// ticked.
bool showMessageOfferingSilence(QWidget* parent, const QString& title, const QString& text);
// Yes/No with the question icon; true for Yes.
bool askQuestion(QWidget* parent, const QString& title, const QString& question);
// The chosen existing file, or empty when cancelled. filter is a pattern list like "*.mdb";
// start is a file or folder to begin in (may be empty).
QString pickOpenFile(QWidget* parent, const QString& title, const QString& filter, const QString& start);
std::optional<QColor> pickColour(QWidget* parent, const QString& title, const QColor& initial);
// The font dialog with a colour button beside OK and Cancel.
std::optional<FontChoice> pickFont(QWidget* parent, const QString& title, const FontChoice& initial);

}  // namespace platform
