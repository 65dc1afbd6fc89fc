// The two password dialogs driven through their boxes and keys, offscreen.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "platform/password_dialogs.h"

namespace {

using platform::ChangePasswordDialog;
using platform::Formps;

void type(QLineEdit* box, const QString& text) {
    box->setText(text);
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(box, &press);
}

TEST(PasswordDialogs, FormpsTrimsWhatIsTypedAndCancelGivesNothing) {
    Formps dialog;
    dialog.setTitle("Open the class");
    dialog.setPasswd("stale");
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), "Please Input Password");
    EXPECT_EQ(dialog.findChild<QLabel*>("Label1")->text(), "Open the class");
    EXPECT_EQ(dialog.Text1->echoMode(), QLineEdit::Password);
    type(dialog.Text1, "  pass word  ");
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.passwd(), "pass word");

    dialog.show();  // shown again: the box starts empty
    EXPECT_TRUE(dialog.Text1->text().isEmpty());
    dialog.Text1->setText("typed");
    dialog.Command2->click();
    EXPECT_EQ(dialog.passwd(), "");
    dialog.show();
    dialog.close();  // the window frame acts as Cancel
    EXPECT_EQ(dialog.passwd(), "");
}

TEST(PasswordDialogs, ChangePasswordChecksTheOldOneAndTheRepetition) {
    ChangePasswordDialog dialog;
    dialog.setOldpass("old");
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), "Change Password");

    type(dialog.Text1, "wrong");
    EXPECT_EQ(dialog.message(), "The old password isn't correct, Please input again.");
    EXPECT_TRUE(dialog.Text1->text().isEmpty());
    EXPECT_EQ(dialog.focusWidget(), dialog.Text1);
    EXPECT_TRUE(dialog.isVisible());

    type(dialog.Text1, " old ");
    EXPECT_EQ(dialog.focusWidget(), dialog.Text2);
    type(dialog.Text2, "new");
    EXPECT_EQ(dialog.focusWidget(), dialog.Text3);
    type(dialog.Text3, "neu");  // Enter in the last box acts as OK
    EXPECT_EQ(dialog.message(), "The new password is not correct!");
    EXPECT_TRUE(dialog.isVisible());

    dialog.Text1->setText("olD");
    dialog.Command1->click();
    EXPECT_EQ(dialog.message(), "The old password is not correct!");

    dialog.Text1->setText("old");
    type(dialog.Text3, "new");
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.newpass(), "new");

    dialog.show();
    for (QLineEdit* box : {dialog.Text1, dialog.Text2, dialog.Text3}) EXPECT_TRUE(box->text().isEmpty());
    EXPECT_TRUE(dialog.message().isEmpty());
    dialog.close();
    EXPECT_EQ(dialog.newpass(), "cancel");
}

TEST(PasswordDialogs, NoOldPasswordAndAnEmptyNewOne) {
    ChangePasswordDialog dialog;
    dialog.show();
    type(dialog.Text1, "");
    type(dialog.Text2, "");
    type(dialog.Text3, "");
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.newpass(), "");
    dialog.show();
    dialog.Command2->click();
    EXPECT_EQ(dialog.newpass(), "cancel");
}

TEST(PasswordDialogs, PromptsAreNotShownOffscreen) {
    const store::PasswordPrompts prompts = platform::passwordPrompts(nullptr);
    EXPECT_EQ(prompts.askPassword("x"), "");
    EXPECT_EQ(prompts.changePassword("old", "x"), "cancel");
}

}  // namespace
