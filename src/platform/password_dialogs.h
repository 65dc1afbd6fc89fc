// The password input dialog `Formps` and the change-password dialog `ChangePasswordDialog`,
// and the store's password prompts shown through them.
//
// Both dialogs empty their boxes and take the focus each time they are shown. Enter moves
// through the boxes the way a user types: old -> new -> repeat -> OK.
#pragma once

#include <QDialog>
#include <QString>

#include "store/password_prompts.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace platform {

// Caption "Please Input Password": a prompt line, one password box, OK and Cancel.
class Formps : public QDialog {
    Q_OBJECT
public:
    explicit Formps(QWidget* parent = nullptr);

    // The entered password with surrounding spaces removed; "" after Cancel.
    QString passwd() const { return passwd_; }
    void setPasswd(const QString& text) { passwd_ = text; }
    void setTitle(const QString& title) { title_ = title; }

    QLineEdit* Text1 = nullptr;
    QPushButton* Command1 = nullptr;  // OK
    QPushButton* Command2 = nullptr;  // Cancel

    void accept() override;
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLabel* Label1 = nullptr;
    QString passwd_, title_;
};

// Caption "Change Password": a prompt line, a message line, boxes for the old password, the
// new one and its repetition, OK and Cancel.
class ChangePasswordDialog : public QDialog {
    Q_OBJECT
public:
    explicit ChangePasswordDialog(QWidget* parent = nullptr);

    // The password the user must repeat; "" when the class has none.
    void setOldpass(const QString& old) { oldpass_ = old; }
    // The new password (surrounding spaces removed, as the password box removes them when it
    // is asked), or "cancel" after Cancel or closing the window.
    QString newpass() const { return newpass_; }
    void setTitle(const QString& title) { title_ = title; }
    QString message() const;

    QLineEdit* Text1 = nullptr;  // old password
    QLineEdit* Text2 = nullptr;  // new password
    QLineEdit* Text3 = nullptr;  // new password again
    QPushButton* Command1 = nullptr;  // OK
    QPushButton* Command2 = nullptr;  // Cancel

    void accept() override;
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void oldEntered();

    QLabel* Label1 = nullptr;  // prompt
    QLabel* Label2 = nullptr;  // message
    QString oldpass_, newpass_, title_;
};

// Prompts that show the two dialogs modally over parent. On the offscreen platform nobody can
// answer a dialog: they are not shown and count as cancelled.
store::PasswordPrompts passwordPrompts(QWidget* parent);

}  // namespace platform
