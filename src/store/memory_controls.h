// Controls that keep what the store fills in memory: for command-line tools and tests.
#pragma once

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "store/controls.h"

namespace store {

class MemoryTree : public TreeControl {
public:
    std::vector<TreeNode> nodes;  // in the order added

    void clear() override {
        nodes.clear();
        index_.clear();
    }
    bool addNode(const TreeNode& node) override {
        if (index_.count(node.key) || (!node.parentKey.empty() && !index_.count(node.parentKey)))
            return false;
        index_[node.key] = nodes.size();
        nodes.push_back(node);
        return true;
    }
    bool nodeExists(const std::string& key) const override { return index_.count(key) != 0; }
    int childCount(const std::string& key) const override {
        return static_cast<int>(std::count_if(nodes.begin(), nodes.end(),
                                              [&](const TreeNode& n) { return n.parentKey == key; }));
    }
    void setUpdatesEnabled(bool) override {}
    const TreeNode* node(const std::string& key) const {
        auto it = index_.find(key);
        return it == index_.end() ? nullptr : &nodes[it->second];
    }

private:
    std::map<std::string, size_t> index_;
};

class MemoryList : public ListControl {
public:
    struct Column {
        std::string title;
        int width = 0;
    };
    std::vector<ListItem> items;
    std::vector<Column> columns;
    std::string tag;
    int pixelWidth = 600;

    void clear() override { items.clear(); }
    void addItem(const ListItem& item) override { items.push_back(item); }
    int count() const override { return static_cast<int>(items.size()); }
    int columnCount() const override { return static_cast<int>(columns.size()); }
    void addColumn(const std::string& title, int width) override { columns.push_back({title, width}); }
    void setColumn(int index, const std::string& title, int width) override {
        if (index >= 0 && index < columnCount()) columns[static_cast<size_t>(index)] = {title, width};
    }
    int width() const override { return pixelWidth; }
    void setClassTag(const std::string& text) override { tag = text; }
    std::string classTag() const override { return tag; }
};

class MemoryCombo : public ComboControl {
public:
    std::vector<std::pair<std::string, int32_t>> items;
    std::string text;

    void clear() override {
        items.clear();
        text.clear();
    }
    void addItem(const std::string& t, int32_t itemData) override { items.emplace_back(t, itemData); }
    int count() const override { return static_cast<int>(items.size()); }
    std::string itemText(int index) const override {
        return index >= 0 && index < count() ? items[static_cast<size_t>(index)].first : std::string();
    }
    void setText(const std::string& t) override { text = t; }
};

}  // namespace store
