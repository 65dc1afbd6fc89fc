// The document list of a class (ListView1) and the search results (ListView2).
#include "browser/main_window.h"

#include "browser/list_sort.h"

#include <QHeaderView>
#include <QTreeWidget>

namespace browser {

void MainWindow::onListView1Click(QTreeWidgetItem* row) {
    classRowEntered_ = false;
    if (!row) return;
    showStatus(row->text(0), 1);
    if (platform::tagOf(row) != "lx") return;
    classRowEntered_ = true;
    selectAndShow(tree_.item(platform::keyOf(row)));
}

void MainWindow::onListView1DoubleClick(QTreeWidgetItem* row) {
    if (classRowEntered_) return;
    showListView1Row(row);
}

void MainWindow::showListView1Row(QTreeWidgetItem* row) {
    if (!row || platform::tagOf(row) != "nr") return;
    const int32_t id = platform::idOf(row);
    showBookDoc(id);
    if (QTreeWidgetItem* node = tree_.item(platform::keyOfId(id))) tvw1->setCurrentItem(node);
}

void MainWindow::onListView2DoubleClick(QTreeWidgetItem* row) {
    walkToSearchResult(row);
    ListView2->setFocus();
}

void MainWindow::walkToSearchResult(QTreeWidgetItem* row) {
    if (!row) return;
    showStatus(row->text(0), 1);
    const int32_t id = platform::idOf(row);
    if (!selectDocById(id)) return;
    const QString path = QString::fromStdString(cbook.getPPathName(id, false));
    showStatus(path.isEmpty() ? row->text(0) : path + "/" + row->text(0), 1);
}

void MainWindow::onEnterPressed(QTreeWidget* view) {
    if (view == tvw1) {
        treeSelectionHandler();
        return;
    }
    QTreeWidgetItem* row = view->currentItem();
    if (!row) return;
    if (view == ListView2) {
        walkToSearchResult(row);
    } else if (platform::tagOf(row) == "lx") {
        onListView1Click(row);
    } else {
        showListView1Row(row);
        // The list gave way to the document: the tree takes the keys, to step on from it.
        tvw1->setFocus();
    }
}

void MainWindow::sortListView(int column) {
    sortDescending_ = !sortDescending_;
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
