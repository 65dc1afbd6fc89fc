// The search panel: the key word in Text1, the mode in Combo4, the results in ListView2.
#include "browser/main_window.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QTreeWidget>

namespace browser {

void MainWindow::runSearch() {
    const QString key = Text1->text().trimmed();
    if (key.isEmpty()) {
        showStatus("Please input the key word you search in the left text box.", 1);
        return;
    }
    // The key word goes to the clipboard, for a viewer's own find box.
    QApplication::clipboard()->clear();
    QApplication::clipboard()->setText(key);
    hideViewers();
    list2_.clear();
    const std::string word = key.toStdString();
    const QString mode = Combo4->currentText().trimmed();
    int32_t count = 0;
    if (mode == "Search Title" || mode == "Search Class") {
        count = cbook.searchKeyToLVW(word, list2_, mode == "Search Class");
    } else if (mode == "Search TextDoc" || mode == "Search AllDoc") {
        int32_t start = selectedNode() ? platform::idOf(selectedNode()) : 0;
        if (start == 0) return;
        // A library changed since it was indexed is scanned now and indexed anew meanwhile.
        if (contentIndex_ && !contentIndex_->current() && !indexer_->running()) indexLibrary();
        count = cbook.searchKeyToLVWNR(word, list2_, start, mode == "Search TextDoc" ? "txt" : "");
    }
    list2_.flush();
    ListView2->show();
    ListView2->raise();
    showStatus(QString::number(count) + " records found.", 1);
}

void MainWindow::indexLibrary() {
    forgetContentIndex();
    if (cbook.openOK()) indexer_->start(cbook.myDBName(), cbook.myTabName(), cbook.myNRTabName());
}

void MainWindow::forgetContentIndex() {
    indexer_->stop();
    contentIndex_.reset();
    cbook.setContentCandidates(nullptr);
}

}  // namespace browser
