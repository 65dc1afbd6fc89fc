#include "platform/dialogs.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtDebug>

namespace platform {

DialogAnswers& dialogAnswers() {
    static DialogAnswers answers;
    return answers;
}

namespace {

// False (and a log line) where no one could answer a real dialog.
bool canShowModal(const QString& what) {
    if (QGuiApplication::platformName() != QLatin1String("offscreen")) return true;
    qWarning().noquote() << "unanswered dialog skipped on the offscreen platform:" << what;
    return false;
}

QMessageBox::Icon boxIcon(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Information: return QMessageBox::Information;
    case MessageIcon::Question: return QMessageBox::Question;
    case MessageIcon::Warning: return QMessageBox::Warning;
    case MessageIcon::Critical: return QMessageBox::Critical;
    case MessageIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

void showMessage(QWidget* parent, const QString& title, const QString& text, MessageIcon icon) {
    if (auto& answer = dialogAnswers().message) return answer(title, text, icon);
    if (!canShowModal(title + ": " + text)) return;
    QMessageBox box(boxIcon(icon), title, text, QMessageBox::Ok, parent);
    box.exec();
}

bool showMessageOfferingSilence(QWidget* parent, const QString& title, const QString& text) {
    if (auto& answer = dialogAnswers().messageOfferingSilence) return answer(title, text);
    if (!canShowModal(title + ": " + text)) return false;
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, parent);
    auto* silence = new QCheckBox(QObject::tr("Don't show this again"), &box);
    box.setCheckBox(silence);
    box.exec();
    return silence->isChecked();
}

bool askQuestion(QWidget* parent, const QString& title, const QString& question) {
    if (auto& answer = dialogAnswers().question) return answer(title, question);
    if (!canShowModal(title + ": " + question)) return false;
    return QMessageBox::question(parent, title, question, QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
}

QString pickOpenFile(QWidget* parent, const QString& title, const QString& filter, const QString& start) {
    if (auto& answer = dialogAnswers().openFile) return answer(title, filter, start);
    if (!canShowModal(title)) return {};
    const QString folder = QFileInfo(start).isDir() ? start : QFileInfo(start).absolutePath();
    const QString filters = filter.isEmpty() ? QString() : filter + ";;" + QObject::tr("All files (*)");
    return QFileDialog::getOpenFileName(parent, title, start.isEmpty() ? QString() : folder, filters);
}

std::optional<QColor> pickColour(QWidget* parent, const QString& title, const QColor& initial) {
    if (auto& answer = dialogAnswers().colour) return answer(title, initial);
    if (!canShowModal(title)) return std::nullopt;
    const QColor chosen = QColorDialog::getColor(initial, parent, title);
    if (!chosen.isValid()) return std::nullopt;
    return chosen;
}

std::optional<FontChoice> pickFont(QWidget* parent, const QString& title, const FontChoice& initial) {
    if (auto& answer = dialogAnswers().font) return answer(title, initial);
    if (!canShowModal(title)) return std::nullopt;
    QDialog dialog(parent);
    dialog.setWindowTitle(title);
    // Qt's font dialog has no colour of its own: it is embedded, and the colour sits below it.
    auto* fonts = new QFontDialog(initial.font, &dialog);
    fonts->setWindowFlags(Qt::Widget);
    fonts->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
    QColor colour = initial.colour;
    auto* colourButton = new QPushButton(QObject::tr("&Colour..."), &dialog);
    const auto showColour = [&] {
        QPixmap swatch(16, 16);
        swatch.fill(colour);
        colourButton->setIcon(swatch);
    };
    showColour();
    QObject::connect(colourButton, &QPushButton::clicked, &dialog, [&] {
        const QColor chosen = QColorDialog::getColor(colour, &dialog, title);
        if (!chosen.isValid()) return;
        colour = chosen;
        showColour();
    });
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* row = new QHBoxLayout;
    row->addWidget(colourButton);
    row->addStretch();
    row->addWidget(buttons);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(fonts);
    layout->addLayout(row);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return FontChoice{fonts->currentFont(), colour};
}

}  // namespace platform
