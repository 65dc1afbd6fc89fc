// ToolTips: the tip window of one window and the texts attached to its controls.
//
// A window makes its tip window at load (createToolTip) and removes it at unload
// (destroyToolTips); what one window does never touches another window's tips. A control
// carries at most one text: attaching a new one replaces the old, so the newest explanation is
// the one shown. The tip appears after the initial delay while the pointer is over the control
// (counted from attaching, and again from each time the pointer enters it), stays for the
// display time, and goes when the pointer leaves, a button is pressed or a key is typed.
// Texts are shown as plain text, never as markup.
#pragma once

#include <QLabel>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <map>

namespace aids {

struct TipLook {
    uint32_t backColour = 0xFFFFFF;  // stored colour value, red in the low byte
    uint32_t textColour = 0;
    int maxWidth = 600;              // pixels; longer texts wrap
    int initialDelay = 500;          // ms
    int displayTime = 7000;          // ms
    bool centred = false;            // centred under the pointer instead of right of it
};

class ToolTips : public QObject {
public:
    ToolTips();
    ~ToolTips() override;

    // Makes the tip window, owned by `owner`, rounded when `balloon`; an earlier one goes.
    // Without an owner there is no tip window: the critical message "错误！无法建立工具提示窗口！"
    // (title "错误") says so, and false is returned.
    bool createToolTip(QWidget* owner, bool balloon);
    // Attaches the text to the control, replacing its earlier text. Nothing happens before
    // createToolTip or after destroyToolTips.
    void addToolTip(QWidget* control, const QString& text, const TipLook& look);
    void removeToolTip(QWidget* control);
    void destroyToolTips();

    // The tip window (null when there is none) and a control's attached text.
    QLabel* tipWindow() const { return tip_; }
    QString toolText(QWidget* control) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Tool {
        QString text;
        TipLook look;
    };
    void showTip();
    void hideTip();

    QPointer<QLabel> tip_;
    bool balloon_ = false;
    std::map<QWidget*, Tool> tools_;
    QPointer<QWidget> waiting_;  // the control whose tip the delay timer will show
    QTimer delay_;
    QTimer display_;
};

}  // namespace aids
