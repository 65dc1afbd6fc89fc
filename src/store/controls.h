// What the library store fills and whom it tells: small abstract controls, the icon provider,
// the store's events and its two seams (a yes/no question, a beep).
//
// The windows implement the controls over Qt widgets; tests implement them as in-memory
// recorders. Keys are the record id followed by "id" ("1id" is the root); tags are "zlx", "lx"
// (classes) and "nr" (documents). Colours are 32-bit RGB values with red in the low byte.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

namespace store {

// One node of the class tree.
struct TreeNode {
    std::string parentKey;  // empty: a top-level node
    std::string key;
    std::string text;
    std::string imageKey;   // what IconProvider::iconKey answered
    std::string tag;
    bool bold = false;
    uint32_t colour = 0;
};

class TreeControl {
public:
    virtual ~TreeControl() = default;
    virtual void clear() = 0;
    // False when the key exists already or the parent key names no node.
    virtual bool addNode(const TreeNode& node) = 0;
    virtual bool nodeExists(const std::string& key) const = 0;
    virtual int childCount(const std::string& key) const = 0;
    // Switched off while a whole level is loaded, on again afterwards.
    virtual void setUpdatesEnabled(bool on) = 0;
};

// One row of a document or search list.
struct ListItem {
    std::string key;
    std::string text;
    std::string tooltip;
    std::string tag;
    std::string icon;       // large icon key
    std::string smallIcon;  // small icon key
    std::array<std::string, 4> subItems;  // columns 1..4 (index 0 is sub-item 1)
};

class ListControl {
public:
    virtual ~ListControl() = default;
    virtual void clear() = 0;  // removes all rows, keeps the columns
    virtual void addItem(const ListItem& item) = 0;  // appended after the last row
    virtual int count() const = 0;

    // Column headers (0-based) and the control's width in pixels.
    virtual int columnCount() const = 0;
    virtual void addColumn(const std::string& title, int width) = 0;
    virtual void setColumn(int index, const std::string& title, int width) = 0;
    virtual int width() const = 0;

    // A free text property: btToListView leaves the listed class id there (decimal text).
    virtual void setClassTag(const std::string& text) = 0;
    virtual std::string classTag() const = 0;
};

class ComboControl {
public:
    virtual ~ComboControl() = default;
    virtual void clear() = 0;
    virtual void addItem(const std::string& text, int32_t itemData) = 0;
    virtual int count() const = 0;
    virtual std::string itemText(int index) const = 0;
    virtual void setText(const std::string& text) = 0;
};

// Images for documents by format (the file-name extension without the dot, lower case) at one
// icon size. "path" is the class (folder) image. Answers the key of an image the matching
// controls can show; an image is made on first use.
class IconProvider {
public:
    virtual ~IconProvider() = default;
    virtual std::string iconKey(const std::string& format) = 0;
};

// Text colours of tree nodes, from the browser's settings.
struct TreeColours {
    uint32_t zlx = 255;          // classes directly under the root
    uint32_t lx = 0xFF0000;      // deeper classes
    uint32_t nr = 0;             // documents
    uint32_t readed = 65280;     // records marked read
};

// Events raised to the owner. Unset members are not called.
struct StoreEvents {
    // A long operation reports a step; the owner may set answer (the step then reports 1).
    std::function<void(int32_t& ownerHandle, const std::string& message, bool& answer)> showMsg;
    // gotoSelectedID walks from the topmost ancestor down: once per node key on the way.
    std::function<void(TreeControl& tree, std::string& key, bool& answer)> changeSelectID;
    // The folder import has finished with this many documents.
    std::function<void(int32_t& count)> importFinished;
    // Copying a class or a library into another store: done of total records copied so far.
    std::function<void(uint64_t done, uint64_t total)> copyProgress;
};

// Interactions the store needs from its owner; tests answer them.
struct StoreSeams {
    // A Yes/No question with the question icon; unset means No.
    std::function<bool(const std::string& question)> askYesNo;
    // The cursor wrappers beep when they hit either end; unset means silence.
    std::function<void()> beep;
};

}  // namespace store
