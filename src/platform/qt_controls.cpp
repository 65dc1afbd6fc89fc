#include "platform/qt_controls.h"

#include "platform/colour.h"
#include "platform/icons.h"

#include <QComboBox>
#include <QTimer>
#include <QTreeWidget>
#include <QVariant>
#include <utility>

namespace platform {

namespace {

QString qs(const std::string& text) { return QString::fromStdString(text); }

const char* const kClassTagProperty = "classTag";

// A list row that keeps its column-0 key, tag, tooltip and image in members instead of the
// item's generic role list: a long list is built and freed with far fewer allocations.
class ListRow : public QTreeWidgetItem {
public:
    explicit ListRow(const QStringList& texts) : QTreeWidgetItem(texts) {}

    QVariant data(int column, int role) const override {
        const QVariant* held = column == 0 ? slot(role) : nullptr;
        return held ? *held : QTreeWidgetItem::data(column, role);
    }

    void setData(int column, int role, const QVariant& value) override {
        QVariant* held = column == 0 ? slot(role) : nullptr;
        if (!held) return QTreeWidgetItem::setData(column, role, value);
        if (*held == value && held->metaType() == value.metaType()) return;
        *held = value;
        emitDataChanged();
    }

private:
    const QVariant* slot(int role) const { return const_cast<ListRow*>(this)->slot(role); }
    QVariant* slot(int role) {
        switch (role) {
            case kKeyRole: return &key_;
            case kTagRole: return &tag_;
            case Qt::ToolTipRole: return &tooltip_;
            case Qt::DecorationRole: return &image_;
            default: return nullptr;
        }
    }

    QVariant key_, tag_, tooltip_, image_;
};

}  // namespace

QString keyOf(const QTreeWidgetItem* item) { return item ? item->data(0, kKeyRole).toString() : QString(); }
QString tagOf(const QTreeWidgetItem* item) { return item ? item->data(0, kTagRole).toString() : QString(); }

int32_t idOfKey(const QString& key) {
    int digits = 0;
    while (digits < key.size() && key[digits].isDigit()) ++digits;
    bool ok = false;
    const qlonglong id = key.left(digits).toLongLong(&ok);
    return ok && id > 0 && id <= INT32_MAX ? int32_t(id) : 0;
}

int32_t idOf(const QTreeWidgetItem* item) { return idOfKey(keyOf(item)); }
QString keyOfId(int32_t id) { return QString::number(id) + "id"; }

QTreeWidgetItem* siblingOf(QTreeWidgetItem* item, int offset) {
    if (!item) return nullptr;
    if (QTreeWidgetItem* parent = item->parent()) {
        const int at = parent->indexOfChild(item) + offset;
        return at >= 0 && at < parent->childCount() ? parent->child(at) : nullptr;
    }
    QTreeWidget* tree = item->treeWidget();
    const int at = tree->indexOfTopLevelItem(item) + offset;
    return at >= 0 && at < tree->topLevelItemCount() ? tree->topLevelItem(at) : nullptr;
}

// --- tree ---

QtTreeControl::QtTreeControl(QTreeWidget* tree, MimeIconProvider* icons) : tree_(tree), icons_(icons) {}

void QtTreeControl::clear() {
    items_.clear();
    tree_->clear();
}

bool QtTreeControl::addNode(const store::TreeNode& node) {
    const QString key = qs(node.key);
    if (key.isEmpty() || items_.contains(key)) return false;
    QTreeWidgetItem* parent = nullptr;
    if (!node.parentKey.empty()) {
        parent = item(qs(node.parentKey));
        if (!parent) return false;
    }
    auto* added = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tree_);
    added->setText(0, qs(node.text));
    added->setData(0, kKeyRole, key);
    added->setData(0, kTagRole, qs(node.tag));
    added->setForeground(0, colourFromRgb(node.colour));
    if (node.bold) {
        QFont font = tree_->font();
        font.setBold(true);
        added->setFont(0, font);
    }
    if (icons_ && !node.imageKey.empty()) added->setIcon(0, icons_->icon(node.imageKey));
    items_.insert(key, added);
    return true;
}

bool QtTreeControl::nodeExists(const std::string& key) const { return items_.contains(qs(key)); }

int QtTreeControl::childCount(const std::string& key) const {
    QTreeWidgetItem* found = item(qs(key));
    return found ? found->childCount() : 0;
}

void QtTreeControl::setUpdatesEnabled(bool on) { tree_->setUpdatesEnabled(on); }

QTreeWidgetItem* QtTreeControl::item(const QString& key) const { return items_.value(key, nullptr); }

void QtTreeControl::removeChildren(QTreeWidgetItem* item) {
    if (!item) return;
    const QList<QTreeWidgetItem*> children = item->takeChildren();
    for (QTreeWidgetItem* child : children) {
        forget(child);
        delete child;
    }
}

void QtTreeControl::forget(QTreeWidgetItem* item) {
    items_.remove(keyOf(item));
    for (int i = 0; i < item->childCount(); ++i) forget(item->child(i));
}

// --- list ---

QtListControl::QtListControl(QTreeWidget* list, MimeIconProvider* icons) : list_(list), icons_(icons) {}

QtListControl::~QtListControl() { qDeleteAll(pending_); }

QtListControl::QtListControl(QtListControl&& other) noexcept
    : list_(other.list_), icons_(other.icons_), pending_(std::exchange(other.pending_, {})) {}

QtListControl& QtListControl::operator=(QtListControl&& other) noexcept {
    qDeleteAll(pending_);
    list_ = other.list_;
    icons_ = other.icons_;
    pending_ = std::exchange(other.pending_, {});
    iconKey_.clear();
    return *this;
}

void QtListControl::flush() {
    if (pending_.isEmpty() || !list_) return;
    list_->addTopLevelItems(std::exchange(pending_, {}));
}

void QtListControl::clear() {
    qDeleteAll(std::exchange(pending_, {}));
    list_->clear();
}

// Rows of one fill repeat their texts (tag, format, date): a repeat shares the last copy.
const QString& QtListControl::Repeated::operator()(const std::string& text) {
    if (!held || text != source) {
        source = text;
        shown = qs(text);
        held = true;
    }
    return shown;
}

void QtListControl::addItem(const store::ListItem& item) {
    texts_.clear();
    texts_.push_back(qs(item.text));
    for (size_t i = 0; i < item.subItems.size(); ++i)
        texts_.push_back(i < std::size(columnTexts_) ? columnTexts_[i](item.subItems[i]) : qs(item.subItems[i]));
    auto* row = new ListRow(texts_);
    row->setToolTip(0, item.tooltip == item.text ? texts_.front() : qs(item.tooltip));
    row->setData(0, kKeyRole, qs(item.key));
    row->setData(0, kTagRole, tagText_(item.tag));
    const std::string& icon = item.smallIcon.empty() ? item.icon : item.smallIcon;
    if (icons_ && !icon.empty()) {
        if (icon != iconKey_) {
            icon_ = icons_->icon(icon);
            iconKey_ = icon;
        }
        row->setIcon(0, icon_);
    }
    if (pending_.isEmpty()) QTimer::singleShot(0, list_, [this, list = list_] {
        if (list_ == list) flush();
    });
    pending_.push_back(row);
}

int QtListControl::count() const { return list_->topLevelItemCount() + int(pending_.size()); }

int QtListControl::columnCount() const { return list_->columnCount(); }

void QtListControl::addColumn(const std::string& title, int width) {
    const int index = list_->columnCount();
    list_->setColumnCount(index + 1);
    setColumn(index, title, width);
}

void QtListControl::setColumn(int index, const std::string& title, int width) {
    if (index < 0 || index >= list_->columnCount()) return;
    list_->headerItem()->setText(index, qs(title));
    list_->setColumnWidth(index, width);
}

int QtListControl::width() const { return list_->width(); }

void QtListControl::setClassTag(const std::string& text) { list_->setProperty(kClassTagProperty, qs(text)); }

std::string QtListControl::classTag() const { return list_->property(kClassTagProperty).toString().toStdString(); }

// --- combo ---

void QtComboControl::clear() { combo_->clear(); }

void QtComboControl::addItem(const std::string& text, int32_t itemData) { combo_->addItem(qs(text), itemData); }

int QtComboControl::count() const { return combo_->count(); }

std::string QtComboControl::itemText(int index) const { return combo_->itemText(index).toStdString(); }

void QtComboControl::setText(const std::string& text) {
    if (combo_->isEditable()) {
        combo_->setEditText(qs(text));
        return;
    }
    combo_->setCurrentIndex(combo_->findText(qs(text)));
}

}  // namespace platform
