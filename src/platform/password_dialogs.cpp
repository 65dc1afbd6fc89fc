#include "platform/password_dialogs.h"

#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtDebug>

namespace platform {
namespace {

// Removes leading and trailing spaces only (tabs and other blanks are part of a password).
QString trimSpaces(const QString& text) {
    qsizetype begin = 0, end = text.size();
    while (begin < end && text[begin] == u' ') ++begin;
    while (end > begin && text[end - 1] == u' ') --end;
    return text.mid(begin, end - begin);
}

QLineEdit* passwordBox(QWidget* parent, const char* name) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(QLatin1String(name));
    box->setEchoMode(QLineEdit::Password);
    return box;
}

// OK and Cancel that never take Enter for themselves: the boxes decide what Enter does.
void addButtons(QDialog* dialog, QVBoxLayout* layout, QPushButton*& ok, QPushButton*& cancel) {
    ok = new QPushButton(QObject::tr("OK"), dialog);
    cancel = new QPushButton(QObject::tr("Cancel"), dialog);
    ok->setObjectName(QStringLiteral("Command1"));
    cancel->setObjectName(QStringLiteral("Command2"));
    for (QPushButton* b : {ok, cancel}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(ok);
    row->addWidget(cancel);
    layout->addLayout(row);
    QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
}

QLabel* label(QWidget* parent, const char* name) {
    auto* l = new QLabel(parent);
    l->setObjectName(QLatin1String(name));
    l->setWordWrap(true);
    return l;
}

bool canShowDialogs(const char* what) {
    if (QGuiApplication::platformName() != QLatin1String("offscreen")) return true;
    qWarning().noquote() << "unanswered dialog skipped on the offscreen platform:" << what;
    return false;
}

}  // namespace

Formps::Formps(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Formps"));
    auto* layout = new QVBoxLayout(this);
    Label1 = label(this, "Label1");
    Text1 = passwordBox(this, "Text1");
    layout->addWidget(Label1);
    layout->addWidget(Text1);
    addButtons(this, layout, Command1, Command2);
    connect(Text1, &QLineEdit::returnPressed, this, &Formps::accept);
}

void Formps::showEvent(QShowEvent* event) {
    setWindowTitle(QStringLiteral("Please Input Password"));
    Label1->setText(title_);
    Text1->clear();
    Text1->setFocus();
    QDialog::showEvent(event);
}

void Formps::accept() {
    passwd_ = trimSpaces(Text1->text());
    QDialog::accept();
}

void Formps::reject() {
    passwd_.clear();
    QDialog::reject();
}

ChangePasswordDialog::ChangePasswordDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("ChangePasswordDialog"));
    auto* layout = new QVBoxLayout(this);
    Label1 = label(this, "Label1");
    Label2 = label(this, "Label2");
    Text1 = passwordBox(this, "Text1");
    Text2 = passwordBox(this, "Text2");
    Text3 = passwordBox(this, "Text3");
    layout->addWidget(Label1);
    layout->addWidget(new QLabel(tr("Old password:"), this));
    layout->addWidget(Text1);
    layout->addWidget(new QLabel(tr("New password:"), this));
    layout->addWidget(Text2);
    layout->addWidget(new QLabel(tr("New password again:"), this));
    layout->addWidget(Text3);
    layout->addWidget(Label2);
    addButtons(this, layout, Command1, Command2);
    connect(Text1, &QLineEdit::returnPressed, this, &ChangePasswordDialog::oldEntered);
    connect(Text2, &QLineEdit::returnPressed, this, [this] { Text3->setFocus(); });
    connect(Text3, &QLineEdit::returnPressed, this, &ChangePasswordDialog::accept);
}

QString ChangePasswordDialog::message() const { return Label2->text(); }

void ChangePasswordDialog::showEvent(QShowEvent* event) {
    setWindowTitle(QStringLiteral("Change Password"));
    Label1->setText(title_);
    Label2->clear();
    Text1->clear();
    Text2->clear();
    Text3->clear();
    Text1->setFocus();
    QDialog::showEvent(event);
}

void ChangePasswordDialog::oldEntered() {
    if (trimSpaces(Text1->text()) != oldpass_) {
        Label2->setText(QStringLiteral("The old password isn't correct, Please input again."));
        Text1->clear();
        Text1->setFocus();
        return;
    }
    Text2->setFocus();
}

void ChangePasswordDialog::accept() {
    if (trimSpaces(Text1->text()) != oldpass_) {
        Label2->setText(QStringLiteral("The old password is not correct!"));
        return;
    }
    if (Text2->text() != Text3->text()) {
        Label2->setText(QStringLiteral("The new password is not correct!"));
        return;
    }
    newpass_ = trimSpaces(Text2->text());
    QDialog::accept();
}

void ChangePasswordDialog::reject() {
    newpass_ = QStringLiteral("cancel");
    QDialog::reject();
}

store::PasswordPrompts passwordPrompts(QWidget* parent) {
    store::PasswordPrompts prompts;
    prompts.askPassword = [parent](const std::string& prompt) -> std::string {
        if (!canShowDialogs("Please Input Password")) return {};
        Formps dialog(parent);
        dialog.setTitle(QString::fromStdString(prompt));
        dialog.exec();
        return dialog.passwd().toStdString();
    };
    prompts.changePassword = [parent](const std::string& oldPassword,
                                      const std::string& prompt) -> std::string {
        if (!canShowDialogs("Change Password")) return "cancel";
        ChangePasswordDialog dialog(parent);
        dialog.setOldpass(QString::fromStdString(oldPassword));
        dialog.setTitle(QString::fromStdString(prompt));
        dialog.exec();
        return dialog.newpass().toStdString();
    };
    return prompts;
}

}  // namespace platform
