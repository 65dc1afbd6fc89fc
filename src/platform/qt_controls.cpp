#include "platform/qt_controls.h"

#include "platform/colour.h"
#include "platform/icons.h"

#include <QComboBox>
#include <QTimer>
#include <QTreeWidget>
#include <QVariant>
#include <array>
#include <charconv>
#include <string_view>
#include <tuple>
#include <utility>

namespace platform {

namespace {

QString qs(const std::string& text) { return QString::fromStdString(text); }

const char* const kClassTagProperty = "classTag";

// A list row that keeps its texts and its column-0 key, tag, tooltip and image in members
// instead of the item's generic per-column role lists: a long list is built and freed with
// far fewer allocations. Every other role and column goes to the item as usual.
class ListRow : public QTreeWidgetItem {
public:
    static constexpr int kColumns = 1 + int(std::tuple_size_v<decltype(store::ListItem::subItems)>);

    ListRow(std::array<QString, kColumns> texts, const std::string& key, QVariant tag, QVariant image)
        : texts_(std::move(texts)), keyId_(canonicalId(key)), tag_(std::move(tag)), image_(std::move(image)) {
        if (!keyId_) key_ = qs(key);
    }

    void setToolTipText(QString text) { tooltip_ = std::move(text); }

    QVariant data(int column, int role) const override {
        if (isText(column, role)) return texts_[size_t(column)];
        if (column == 0) {
            switch (role) {
                case kKeyRole: return keyId_ ? QVariant(keyOfId(keyId_)) : key_;
                case kTagRole: return tag_;
                case Qt::ToolTipRole: return tooltip_.isNull() ? texts_[0] : tooltip_;
                case Qt::DecorationRole: return image_;
                default: break;
            }
        }
        return QTreeWidgetItem::data(column, role);
    }

    void setData(int column, int role, const QVariant& value) override {
        if (isText(column, role)) {
            QString text = value.toString();
            if (text == texts_[size_t(column)]) return;
            texts_[size_t(column)] = std::move(text);
        } else if (QVariant* held = column == 0 ? slot(role) : nullptr) {
            if (*held == value && held->metaType() == value.metaType()) return;
            *held = value;
        } else if (column == 0 && role == Qt::ToolTipRole) {
            tooltip_ = value.toString();
        } else {
            return QTreeWidgetItem::setData(column, role, value);
        }
        emitDataChanged();
    }

private:
    // Keys are "<id>id": the id of such a key is kept and its text made when asked for.
    static int32_t canonicalId(const std::string& key) {
        int32_t id = 0;
        const char* end = key.data() + key.size();
        const auto [digitsEnd, error] = std::from_chars(key.data(), end, id);
        const bool canonical = error == std::errc() && id > 0 && key[0] != '0' &&
                               std::string_view(digitsEnd, size_t(end - digitsEnd)) == "id";
        return canonical ? id : 0;
    }

    static bool isText(int column, int role) {
        return column >= 0 && column < kColumns && (role == Qt::DisplayRole || role == Qt::EditRole);
    }

    QVariant* slot(int role) {
        switch (role) {
            case kKeyRole:
                if (keyId_) key_ = keyOfId(std::exchange(keyId_, 0));
                return &key_;
            case kTagRole: return &tag_;
            case Qt::DecorationRole: return &image_;
            default: return nullptr;
        }
    }

    std::array<QString, kColumns> texts_;
    int32_t keyId_;  // 0: the key is key_
    QVariant key_, tag_;
    QString tooltip_;  // null: the row's text
    QVariant image_;
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
    std::array<QString, ListRow::kColumns> texts;
    texts[0] = qs(item.text);
    for (size_t i = 0; i < item.subItems.size(); ++i) texts[i + 1] = columnTexts_[i](item.subItems[i]);
    const std::string& icon = item.smallIcon.empty() ? item.icon : item.smallIcon;
    if (icons_ && icon != iconKey_) {
        icon_ = icon.empty() ? QIcon() : icons_->icon(icon);
        iconKey_ = icon;
    }
    auto* row = new ListRow(std::move(texts), item.key, tagText_(item.tag),
                            icon_.isNull() ? QVariant() : QVariant(icon_));
    if (item.tooltip != item.text) row->setToolTipText(qs(item.tooltip));
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
