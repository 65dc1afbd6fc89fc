// Where the main window first appears before any place of its own was saved.
#pragma once

#include <QRect>

namespace browser {

// About 80% of the screen's available area, centred in it, never larger than it. A saved
// per-library place is applied afterwards and wins.
QRect firstWindowPlace(const QRect& available);

}  // namespace browser
