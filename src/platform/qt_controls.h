// The store's tree, list and combo controls over Qt widgets.
//
// Tree and list items carry their key and tag in item data (roles kKeyRole, kTagRole); the
// tree adapter keeps a key -> item index, so nodes are removed through it (removeChildren,
// clear) to keep that index true.
#pragma once

#include "store/controls.h"

#include <QHash>
#include <QIcon>
#include <QList>
#include <QString>
#include <string>

class QComboBox;
class QTreeWidget;
class QTreeWidgetItem;

namespace platform {

class MimeIconProvider;

constexpr int kKeyRole = Qt::UserRole;
constexpr int kTagRole = Qt::UserRole + 1;

QString keyOf(const QTreeWidgetItem* item);
QString tagOf(const QTreeWidgetItem* item);
// The record id of a key: its leading number ("12id" -> 12); 0 when there is none.
int32_t idOfKey(const QString& key);
int32_t idOf(const QTreeWidgetItem* item);
QString keyOfId(int32_t id);
// The item offset places away among its siblings (+1 next, -1 previous), or null.
QTreeWidgetItem* siblingOf(QTreeWidgetItem* item, int offset);

class QtTreeControl : public store::TreeControl {
public:
    QtTreeControl(QTreeWidget* tree, MimeIconProvider* icons);

    void clear() override;
    bool addNode(const store::TreeNode& node) override;
    bool nodeExists(const std::string& key) const override;
    int childCount(const std::string& key) const override;
    void setUpdatesEnabled(bool on) override;

    QTreeWidget* widget() const { return tree_; }
    QTreeWidgetItem* item(const QString& key) const;
    void removeChildren(QTreeWidgetItem* item);

private:
    void forget(QTreeWidgetItem* item);

    QTreeWidget* tree_;
    MimeIconProvider* icons_;
    QHash<QString, QTreeWidgetItem*> items_;
};

// A report-style list: column 0 is the title, sub-items go to columns 1 and on. Rows added in
// one go reach the widget together (flush(), or by themselves once control returns to the
// event loop), so a long list is inserted in one step.
class QtListControl : public store::ListControl {
public:
    QtListControl(QTreeWidget* list, MimeIconProvider* icons);
    ~QtListControl() override;
    QtListControl(const QtListControl&) = delete;
    QtListControl& operator=(const QtListControl&) = delete;
    QtListControl(QtListControl&& other) noexcept;
    QtListControl& operator=(QtListControl&& other) noexcept;

    // Puts the rows added so far into the widget.
    void flush();

    void clear() override;
    void addItem(const store::ListItem& item) override;
    int count() const override;
    int columnCount() const override;
    void addColumn(const std::string& title, int width) override;
    void setColumn(int index, const std::string& title, int width) override;
    int width() const override;
    void setClassTag(const std::string& text) override;
    std::string classTag() const override;

    QTreeWidget* widget() const { return list_; }

private:
    // The Qt text of the last source text, kept while the next row repeats it.
    struct Repeated {
        const QString& operator()(const std::string& text);
        std::string source;
        QString shown;
        bool held = false;
    };

    QTreeWidget* list_;
    MimeIconProvider* icons_;
    QList<QTreeWidgetItem*> pending_;
    Repeated tagText_;
    Repeated columnTexts_[4];
    std::string iconKey_;
    QIcon icon_;
};

class QtComboControl : public store::ComboControl {
public:
    explicit QtComboControl(QComboBox* combo) : combo_(combo) {}

    void clear() override;
    void addItem(const std::string& text, int32_t itemData) override;
    int count() const override;
    std::string itemText(int index) const override;
    void setText(const std::string& text) override;

private:
    QComboBox* combo_;
};

}  // namespace platform
