// The class tree: choosing a node, listing a class, walking to a record, the selection ring,
// the keyboard and the popup menu's tree commands.
#include "browser/main_window.h"

#include "store/password_prompts.h"
#include "util/app_path.h"

#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTreeWidget>

namespace browser {

namespace {

std::string s(const QString& text) { return text.toStdString(); }
QString q(const std::string& text) { return QString::fromStdString(text); }

bool isClassTag(const QString& tag) { return tag == "lx" || tag == "zlx"; }

QString classPrompt(const QString& title) { return "Please input password for Class <" + title + ">: "; }

}  // namespace

QTreeWidgetItem* MainWindow::selectedNode() const { return tvw1->currentItem(); }

void MainWindow::treeSelectionHandler() {
    if (rt1->isVisible()) ring_.recordPosition(ring_.currentId(), rt1->textCursor().selectionStart());
    const int position = rt1->isVisible() ? rt1->textCursor().selectionStart() : 0;
    showStatus(QString(), 1);
    hideViewers();
    QTreeWidgetItem* node = selectedNode();
    if (!node) return;
    ring_.push(platform::idOf(node), position);
    showNode(node);
}

void MainWindow::showNode(QTreeWidgetItem* node) {
    const QString tag = platform::tagOf(node);
    if (isClassTag(tag))
        showBookClass(platform::idOf(node));
    else if (tag == "nr")
        showBookDoc(platform::idOf(node));
}

void MainWindow::selectAndShow(QTreeWidgetItem* item) {
    if (!item) return;
    tvw1->setCurrentItem(item);
    tvw1->scrollToItem(item);
    treeSelectionHandler();
}

void MainWindow::showBookClass(int32_t id) {
    const QString key = platform::keyOfId(id);
    if (cbook.sizeByid(id) == 0) cbook.changeSize(id, cbook.sizePid(id, true));
    QTreeWidgetItem* node = tree_.item(key);
    if (!node) return;
    Text1->setText(node->text(0));
    if (node->childCount() == 0 && !openClassNode(node)) return;
    cbook.btToListView(list1_, id, false);
    list1_.flush();
    list1_.setClassTag(std::to_string(id));
    ListView1->show();
    ListView1->raise();
    // The root has no class path; its own title stands for it.
    QString status = q(cbook.getPPathName(id, true));
    if (status.isEmpty()) status = node->text(0);
    status += "/" + QString::number(ListView1->topLevelItemCount()) + " Docs" + "(" +
              q(clsFilePath::lenKstr(cbook.sizeByid(id), false)) + ")";
    showStatus(status, 1);
}

bool MainWindow::openClassNode(QTreeWidgetItem* node) {
    if (!store::askPassword(cbook, platform::idOf(node), s(classPrompt(node->text(0))))) {
        showStatus("Password Not Correct!", 1);
        return false;
    }
    cbook.book2TVWsub(tree_, s(platform::keyOf(node)), true);
    if (node->childCount() > 0)
        node->setExpanded(true);
    else  // an empty class loses the expander it was given before it was opened
        node->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
    return true;
}

void MainWindow::onTreeItemExpanded(QTreeWidgetItem* item) {
    if (item->childCount() == 0 && isClassTag(platform::tagOf(item))) {
        if (!openClassNode(item) || item->childCount() == 0) {
            item->setExpanded(false);
            return;
        }
    }
    // Grandchildren appear as a class is opened, so every class not opened yet shows its
    // expander.
    for (int i = 0; i < item->childCount(); ++i) {
        QTreeWidgetItem* child = item->child(i);
        if (platform::tagOf(child) != "nr" && child->childCount() == 0)
            child->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    }
}

int32_t MainWindow::listedClassId() const { return q(list1_.classTag()).toInt(); }

// The classes above the record are opened on the way down, each after its password; the
// record itself is only selected.
bool MainWindow::selectDocById(int32_t id) {
    std::vector<int32_t> chain;
    cbook.getParentIDs(id, chain);
    for (auto at = chain.rbegin(); at != chain.rend() && *at != id; ++at) {
        QTreeWidgetItem* node = tree_.item(platform::keyOfId(*at));
        if (!node) continue;
        if (node->childCount() == 0 && isClassTag(platform::tagOf(node)) && !openClassNode(node)) return false;
        node->setExpanded(true);
    }
    QTreeWidgetItem* found = tree_.item(platform::keyOfId(id));
    if (!found) return false;
    tvw1->setCurrentItem(found);
    tvw1->scrollToItem(found);
    return true;
}

void MainWindow::rollBackSelection() {
    if (rt1->isVisible()) ring_.recordPosition(ring_.currentId(), rt1->textCursor().selectionStart());
    const auto slot = ring_.rollBack();
    if (!slot || !selectDocById(slot->id)) return;
    // The record walked back to is shown again, without making a new ring entry.
    hideViewers();
    showNode(selectedNode());
    if (!rt1->isVisible()) return;
    QTextCursor caret = rt1->textCursor();
    const int end = std::max(rt1->document()->characterCount() - 1, 0);
    caret.setPosition(std::clamp(slot->position, 0, end));
    caret.setPosition(std::clamp(slot->position + 6, 0, end), QTextCursor::KeepAnchor);
    rt1->setTextCursor(caret);
}

// Noted before the node is shown: showing lets pending events run, the double click among them.
void MainWindow::onTreeClick(QTreeWidgetItem* node) {
    foldedAtClick_ = node->isExpanded() ? QString() : platform::keyOf(node);
    treeSelectionHandler();
}

void MainWindow::onTreeDoubleClick(QTreeWidgetItem* node) {
    const bool unfoldedByClick = node->isExpanded() && platform::keyOf(node) == foldedAtClick_;
    foldedAtClick_.clear();
    if (!unfoldedByClick && node->childCount() > 0) node->setExpanded(!node->isExpanded());
}

void MainWindow::goParentNode() {
    QTreeWidgetItem* node = selectedNode();
    if (!node || !node->parent()) return;
    node->parent()->setExpanded(false);
    selectAndShow(node->parent());
}

// Shown first, so that a class not opened yet asks its password once, while it is listed.
void MainWindow::goParentNext() {
    QTreeWidgetItem* node = selectedNode();
    QTreeWidgetItem* next = node ? platform::siblingOf(node->parent(), 1) : nullptr;
    if (!next) return;
    selectAndShow(next);
    if (next->childCount() > 0) next->setExpanded(true);
}

// A class that was never opened asks its password before its children appear.
void MainWindow::refreshSelectedNode() {
    QTreeWidgetItem* node = selectedNode();
    if (!node) return;
    tree_.removeChildren(node);
    if (isClassTag(platform::tagOf(node))) openClassNode(node);
}

void MainWindow::forgetLibraryViews() {
    ring_ = SelectionRing();
    list1_.clear();
    list1_.setClassTag(std::string());
    list2_.clear();
}

void MainWindow::onTreeKeyReleased(int key, Qt::KeyboardModifiers modifiers) {
    if (modifiers & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier)) return;
    switch (key) {
    case Qt::Key_Left:
    case Qt::Key_Right:
        // These fold and unfold in place; only a step to the parent or a child is shown.
        if (selectedNode() && platform::idOf(selectedNode()) != ring_.currentId()) treeSelectionHandler();
        break;
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
        treeSelectionHandler();
        break;
    default:
        break;
    }
}

void MainWindow::onTreeRightPress(const QPoint& pos) {
    if (QTreeWidgetItem* node = tvw1->itemAt(pos)) tvw1->setCurrentItem(node);
    pmenu->popup(tvw1->viewport()->mapToGlobal(pos));
}

// Only classes carry passwords: a document node counts as no class selected.
void MainWindow::changeClassPassword() {
    QTreeWidgetItem* node = selectedNode();
    if (!cbook.openOK() || !node || !isClassTag(platform::tagOf(node))) {
        showStatus("Lib not loaded yet or Class not selected!", 1);
        return;
    }
    const bool changed = store::changePassword(cbook, platform::idOf(node), s(classPrompt(node->text(0))));
    showStatus(changed ? "Changing Password OK!" : "Password changing canceled!", 1);
}

void MainWindow::changeLibraryPassword() {
    if (!cbook.openOK() || tvw1->topLevelItemCount() == 0) {
        showStatus("Lib not loaded yet !", 1);
        return;
    }
    const bool changed = store::changePassword(cbook, 1, s("Please input password for Lib <" + libTitle_ + ">: "));
    showStatus(changed ? "Lib Password Changed!" : "Password changing canceled!", 1);
}

void MainWindow::listSelectedClass() {
    QTreeWidgetItem* node = selectedNode();
    if (!node) return;
    std::string text;
    cbook.listLX(platform::idOf(node), 0, text);
    const std::string listing = filePath.tmpFileName("txt");
    filePath.saveTxtFile(listing, text);
    handToOS(q(listing));
}

void MainWindow::applyIconSize(int size) {
    const std::string folder = util::appPath();
    cbook.addImgList(size, &icons16_, folder + "icon16", settings_.currIconType);
    cbook.addImgList(size + 16, &icons32_, folder + "icon32", settings_.currIconType);
    cbook.useImgSize(size);
    settings_.currIconSize = size;
    tvw1->setIconSize(QSize(size, size));
}

}  // namespace browser
