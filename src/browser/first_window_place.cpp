#include "browser/first_window_place.h"

namespace browser {

QRect firstWindowPlace(const QRect& available) {
    if (available.isEmpty()) return QRect(0, 0, 1000, 700);
    const QSize size(available.width() * 4 / 5, available.height() * 4 / 5);
    QRect place(QPoint(0, 0), size.boundedTo(available.size()).expandedTo(QSize(1, 1)));
    place.moveCenter(available.center());
    return place;
}

}  // namespace browser
