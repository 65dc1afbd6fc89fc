// A push button under its design name: windows keep their controls' names as Qt object names.
#pragma once

#include <QIcon>
#include <QPushButton>
#include <QString>

namespace platform {

inline QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption, const QString& tip,
                               const QIcon& icon = {}) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setToolTip(tip);
    if (!icon.isNull()) button->setIcon(icon);
    return button;
}

}  // namespace platform
