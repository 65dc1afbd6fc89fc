// The column sort of the document list: each column's tag names how its cells compare.
#pragma once

#include <QString>
#include <optional>

class QTreeWidget;

namespace browser {

enum class SortKind { Text, Number, Date };

// "str", "num", "date"; any other tag is not sorted.
std::optional<SortKind> sortKindOfTag(const QString& tag);

// Compares two cell texts: 0 for equal texts (whatever the kind) and for cells that do not
// convert to the kind; otherwise -1 or 1 for the order asked (descending reverses it). Number
// cells may carry a unit after the number ("12K").
int compareCells(const QString& a, const QString& b, SortKind kind, bool descending);

// Reorders the rows of a report-style list by one column, stably.
void sortRows(QTreeWidget* list, int column, SortKind kind, bool descending);

}  // namespace browser
