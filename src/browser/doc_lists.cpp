// The document list of a class (ListView1) and the search results (ListView2).
#include "browser/main_window.h"

#include "browser/list_sort.h"

#include <QHeaderView>
#include <QTreeWidget>

namespace browser {

void MainWindow::onListView1Click(QTreeWidgetItem* row) {
    if (!row) return;
    showStatus(row->text(0), 1);
    if (platform::tagOf(row) == "lx") selectAndShow(tree_.item(platform::keyOf(row)));
}

void MainWindow::onListView1DoubleClick(QTreeWidgetItem* row) {
    if (!row || platform::tagOf(row) != "nr") return;
    const int32_t id = platform::idOf(row);
    showBookDoc(id);
    if (QTreeWidgetItem* node = tree_.item(platform::keyOfId(id))) tvw1->setCurrentItem(node);
}

void MainWindow::onListView2DoubleClick(QTreeWidgetItem* row) {
    if (!row) return;
    showStatus(row->text(0), 1);
    selectDocById(platform::idOf(row));
    ListView2->setFocus();
    if (QTreeWidgetItem* node = selectedNode())
        showStatus(QString::fromStdString(cbook.getPPathName(platform::idOf(node), false)) + "/" + node->text(0), 1);
}

void MainWindow::sortListView(int column) {
    sortDescending_ = !sortDescending_;
    sortColumn_ = column;
    for (int i = 0; i < ListView1->columnCount(); ++i) ListView1->headerItem()->setIcon(i, QIcon());
    ListView1->headerItem()->setIcon(column, icons16_.icon(sortDescending_ ? "down" : "up"));
    const auto kind = sortKindOfTag(ListView1->headerItem()->data(column, platform::kTagRole).toString());
    if (!kind) return;
    sortRows(ListView1, column, *kind, sortDescending_);
}

void MainWindow::showBookListView() {
    hideViewers();
    ListView1->show();
    ListView1->raise();
}

void MainWindow::showSearchListView() {
    hideViewers();
    ListView2->show();
    ListView2->raise();
}

}  // namespace browser
