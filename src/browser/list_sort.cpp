#include "browser/list_sort.h"

#include <QDateTime>
#include <QRegularExpression>
#include <QTreeWidget>
#include <algorithm>

namespace browser {

namespace {

// Only the first 512 characters of a cell take part.
constexpr int kCellChars = 512;

std::optional<double> numberOf(const QString& text) {
    static const QRegularExpression leading(R"(^\s*([-+]?(\d+\.?\d*|\.\d+)))");
    const QRegularExpressionMatch m = leading.match(text);
    if (!m.hasMatch()) return std::nullopt;
    return m.captured(1).toDouble();
}

std::optional<QDateTime> dateOf(const QString& text) {
    const QString t = text.trimmed();
    for (const char* format : {"yyyy/M/d H:m", "yyyy/M/d H:m:s", "yyyy/M/d", "yyyy-MM-dd HH:mm:ss", "yyyy-MM-dd"}) {
        const QDateTime d = QDateTime::fromString(t, QString::fromLatin1(format));
        if (d.isValid()) return d;
    }
    return std::nullopt;
}

template <class T>
int ordered(const T& a, const T& b, bool descending) {
    if (descending) return a > b ? -1 : 1;
    return a < b ? -1 : 1;
}

}  // namespace

std::optional<SortKind> sortKindOfTag(const QString& tag) {
    if (tag == QLatin1String("str")) return SortKind::Text;
    if (tag == QLatin1String("num")) return SortKind::Number;
    if (tag == QLatin1String("date")) return SortKind::Date;
    return std::nullopt;
}

int compareCells(const QString& cellA, const QString& cellB, SortKind kind, bool descending) {
    const QString a = cellA.left(kCellChars), b = cellB.left(kCellChars);
    if (a == b) return 0;
    switch (kind) {
    case SortKind::Text:
        return ordered(a, b, descending);
    case SortKind::Number: {
        const auto x = numberOf(a), y = numberOf(b);
        return x && y ? ordered(*x, *y, descending) : 0;
    }
    case SortKind::Date: {
        const auto x = dateOf(a), y = dateOf(b);
        return x && y ? ordered(*x, *y, descending) : 0;
    }
    }
    return 0;
}

void sortRows(QTreeWidget* list, int column, SortKind kind, bool descending) {
    QList<QTreeWidgetItem*> rows = list->invisibleRootItem()->takeChildren();
    // A merge sort: cells that do not convert compare as equal to everything, which a
    // stable merge tolerates.
    std::stable_sort(rows.begin(), rows.end(), [&](QTreeWidgetItem* x, QTreeWidgetItem* y) {
        return compareCells(x->text(column), y->text(column), kind, descending) < 0;
    });
    list->addTopLevelItems(rows);
}

}  // namespace browser
