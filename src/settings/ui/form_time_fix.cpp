#include "settings/ui/form_time_fix.h"

#include <QCloseEvent>
#include <QFont>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

namespace settings {

namespace {

QLabel* makeLabel(QWidget* parent, const char* name, int pointSizeStep) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setAlignment(Qt::AlignCenter);
    QFont font = label->font();
    font.setPointSizeF(font.pointSizeF() + pointSizeStep);
    label->setFont(font);
    return label;
}

}  // namespace

FormtimeFix::FormtimeFix(ModRestTime& control, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint),
      period_(control) {
    setObjectName("FormtimeFix");
    setWindowTitle("Note");
    setWindowModality(Qt::ApplicationModal);
    Label1 = makeLabel(this, "Label1", 6);
    Label1->setText("You Have Readed Too Long");
    Label2 = makeLabel(this, "Label2", 2);
    Label3 = makeLabel(this, "Label3", 4);
    Label4 = makeLabel(this, "Label4", 0);
    Label3->setToolTip("Rest so far");
    Label4->setToolTip("Reading time today");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(30, 20, 30, 20);
    layout->setSpacing(12);
    for (QLabel* label : {Label1, Label2, Label3, Label4}) layout->addWidget(label);

    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setInterval(100);
    connect(Timer1, &QTimer::timeout, this, &FormtimeFix::timerTick);
    Timer1->start();
    timerTick();  // the labels are filled before the window first shows
}

void FormtimeFix::timerTick() {
    const RestPeriod::Tick shown = period_.tick();
    if (shown.over) {
        Timer1->stop();
        accept();
        return;
    }
    Label2->setText(QString::fromStdString(shown.message).replace("\r\n", "\n"));
    Label3->setText(QString::fromStdString(shown.progress));
    Label4->setText(QString::fromStdString(shown.dayTotal));
}

void FormtimeFix::closeEvent(QCloseEvent* event) {
    if (completed())
        event->accept();
    else
        event->ignore();
}

void FormtimeFix::reject() {
    if (completed()) QDialog::reject();
}

bool runRestWindow(ModRestTime& control, QWidget* parent) {
    FormtimeFix window(control, parent);
    if (!window.completed()) window.exec();
    return window.completed();
}

}  // namespace settings
