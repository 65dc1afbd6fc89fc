// FormtimeFix: the rest window of the reading-time control. Titled "Note", it shows the fixed
// caption "You Have Readed Too Long", the rest message, how much of the rest is done and the
// day's reading time, refreshed every 100 ms, and goes by itself when the owed time is over.
// It blocks the whole program meanwhile and refuses to be closed (close box, Alt+F4, Esc)
// before its time; if it goes early all the same (the program is ending), the time still owed
// stays stored for the next start.
#pragma once

#include "settings/rest_time.h"

#include <QDialog>

class QLabel;
class QTimer;

namespace settings {

class FormtimeFix : public QDialog {
    Q_OBJECT
public:
    // The rest period starts now and lasts the control's restTimeNead.
    explicit FormtimeFix(ModRestTime& control, QWidget* parent = nullptr);

    // One tick of Timer1: the labels while the rest runs; after it, the window goes (accepted).
    void timerTick();
    // The rest ran to its end.
    bool completed() const { return period_.over(); }

    QLabel* Label1 = nullptr;  // "You Have Readed Too Long"
    QLabel* Label2 = nullptr;  // the message
    QLabel* Label3 = nullptr;  // the rest done so far
    QLabel* Label4 = nullptr;  // the day's reading time
    QTimer* Timer1 = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;

public slots:
    void reject() override;

private:
    RestPeriod period_;
};

// Shows the rest window modally over parent until the rest is over; true when it ran to its
// end. Fits ModRestTime::Seams::showRestWindow.
bool runRestWindow(ModRestTime& control, QWidget* parent);

}  // namespace settings
