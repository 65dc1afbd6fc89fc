// Walks of the class tree and filling the tree, list and combo controls from it.
#include <unordered_map>
#include <unordered_set>

#include "store/ctreebook.h"
#include "store/values.h"
#include "util/path_text.h"

namespace store {

namespace {

constexpr uint32_t kTopNodeColour = 0xFFFFC0;

std::string nodeKey(int32_t id) { return std::to_string(id) + "id"; }

int32_t clampToLong(int64_t v) { return static_cast<int32_t>(std::min<int64_t>(v, INT32_MAX)); }

}  // namespace

std::vector<ctreebook::ChildRow> ctreebook::children(int32_t pid, bool full) {
    std::vector<ChildRow> rows;
    if (!open_ || !rs_) return rows;
    try {
        if (rs_->index() != "pid") rs_->setIndex("pid");
        rs_->seek("=", engine::Value(pid));
        if (rs_->noMatch()) return rows;
        const size_t pidAt = rs_->fieldIndex("pid"), idAt = rs_->fieldIndex("id"), pathAt = rs_->fieldIndex("path");
        size_t btAt = 0, readedAt = 0, sizeAt = 0, dtAt = 0;
        if (full) {
            btAt = rs_->fieldIndex("bt");
            readedAt = rs_->fieldIndex("readed");
            sizeAt = rs_->fieldIndex("size");
            dtAt = rs_->fieldIndex("dt");
        }
        // A damaged index can lead the walk round in a circle: a row met before ends it.
        std::unordered_set<int32_t> seen;
        for (; !rs_->eof(); rs_->moveNext()) {
            if (longOrZero(rs_->fieldAt(pidAt)) != pid) break;
            ChildRow row;
            row.id = longOrZero(rs_->fieldAt(idAt));
            if (!seen.insert(row.id).second) break;
            row.path = boolOrFalse(rs_->fieldAt(pathAt));
            if (full) {
                row.bt = textOrEmpty(rs_->fieldAt(btAt));
                row.readed = boolOrFalse(rs_->fieldAt(readedAt));
                row.size = longOrZero(rs_->fieldAt(sizeAt));
                row.dt = dateOrZero(rs_->fieldAt(dtAt));
            }
            rows.push_back(std::move(row));
        }
    } catch (...) {
        // What was read so far stands.
    }
    return rows;
}

void ctreebook::eachClassBelow(int32_t id, bool recursive, bool full, const ClassVisit& visit) {
    struct Level {
        std::vector<ChildRow> kids;
        size_t next = 0;
        int depth = 0;
    };
    readSpan([&] {
        std::unordered_set<int32_t> seen{id};
        std::vector<Level> stack;
        stack.push_back({children(id, full), 0, 0});
        visit(id, 0, stack.back().kids);
        while (recursive && !stack.empty()) {
            Level& level = stack.back();
            if (level.next == level.kids.size()) {
                stack.pop_back();
                continue;
            }
            const ChildRow& kid = level.kids[level.next++];
            if (!kid.path || !seen.insert(kid.id).second) continue;
            const int depth = level.depth + 1;
            const int32_t classId = kid.id;
            stack.push_back({children(classId, full), 0, depth});
            visit(classId, depth, stack.back().kids);
        }
    });
}

void ctreebook::readSpan(const std::function<void()>& work) {
    bool began = false;
    if (transDepth_ == 0 && db_) {
        try {
            db_->beginTrans();
            began = true;
            ++transDepth_;
        } catch (...) {
            // Engines that refuse (read-only files) read statement by statement.
        }
    }
    try {
        work();
    } catch (...) {
    }
    if (!began) return;
    --transDepth_;
    try {
        db_->commitTrans();
    } catch (...) {
        try {
            db_->rollback();
        } catch (...) {
        }
    }
}

std::vector<int32_t> ctreebook::parentChain(int32_t id) {
    std::vector<int32_t> chain;
    std::unordered_set<int32_t> seen;
    while (id > 0 && seen.insert(id).second) {
        chain.push_back(id);
        id = pidByID(id);
    }
    return chain;
}

bool ctreebook::book2TVWzlx(TreeControl& tree, int32_t pid) {
    if (!open_) return false;
    tree.setUpdatesEnabled(false);
    tree.clear();
    const std::string classImage = iconIndex("path");
    for (const ChildRow& kid : children(pid, true)) {
        const char* tag = !kid.path ? "nr" : pid != 0 ? "lx" : "zlx";
        tree.addNode({"", nodeKey(kid.id), clsFilePath::trim(kid.bt), classImage, tag, true,
                      kid.readed ? colours.readed : kTopNodeColour});
    }
    tree.setUpdatesEnabled(true);
    return true;
}

int32_t ctreebook::book2TVWsub(TreeControl& tree, const std::string& parentKey, bool withDocs) {
    int32_t added = 0;
    for (const ChildRow& kid : children(keyID(parentKey), true))
        if ((withDocs || kid.path) &&
            addNode(tree, kid.id, kid.path, parentKey, clsFilePath::trim(kid.bt), kid.readed))
            ++added;
    return added;
}

bool ctreebook::addNode(TreeControl& tree, int32_t id, bool isClass, const std::string& parentKey,
                        const std::string& title, bool readed) {
    const int32_t parent = keyID(parentKey);
    if (id < 1 || parent < 1) return false;
    TreeNode node{parentKey, nodeKey(id), title, "", "", isClass, 0};
    if (isClass) {
        node.imageKey = iconIndex("path");
        node.tag = "lx";
        node.colour = readed ? colours.readed : parent == 1 ? colours.zlx : colours.lx;
    } else {
        node.imageKey = iconIndex(gsByid(id));
        node.tag = "nr";
        node.colour = readed ? colours.readed : colours.nr;
    }
    return tree.addNode(node);
}

bool ctreebook::zlxTVW(TreeControl& tree) { return book2TVWzlx(tree, 0); }

int32_t ctreebook::btToListView(ListControl& list, int32_t pid, bool append) {
    if (!open_) return 0;
    if (!append) list.clear();
    int32_t rows = 0;
    readSpan([&] { rows = fillList(list, pid); });
    list.setClassTag(std::to_string(pid));
    return rows;
}

int32_t ctreebook::fillList(ListControl& list, int32_t pid) {
    struct Images {
        std::string normal, small;
    };
    // A list shows few formats: each format's image keys are looked up once per fill.
    std::unordered_map<std::string, Images> images;
    auto imagesOf = [&](const std::string& format) -> const Images& {
        auto found = images.find(format);
        if (found == images.end())
            found = images.emplace(format, Images{iconIndex(format, imgNormalSize()),
                                                  iconIndex(format, imgSmallSize())}).first;
        return found->second;
    };
    // Documents added together share a date: the last text is reused while it still fits.
    engine::Date shownDate{};
    std::string shownDateText;
    bool dateShown = false;
    // The content row gives the format, the stored size and whether it is compressed.
    size_t gsAt = 0, sizeAt = 0, zedAt = 0;
    bool contentReadable = false;
    try {
        if (nrRS_) {
            gsAt = nrRS_->fieldIndex("gs");
            sizeAt = nrRS_->fieldIndex("size");
            zedAt = nrRS_->fieldIndex("zed");
            contentReadable = true;
        }
    } catch (...) {
    }
    ListItem item;  // one row's texts, reused from row to row
    int32_t rows = 0;
    for (const ChildRow& kid : children(pid, true)) {
        std::string gs;
        int32_t size = 0;
        bool zed = false;
        try {
            if (contentReadable && seekIDForward(*nrRS_, kid.id)) {
                gs = util::asciiLower(trimNull(nrRS_->fieldAt(gsAt)));
                size = longOrZero(nrRS_->fieldAt(sizeAt));
                zed = boolOrFalse(nrRS_->fieldAt(zedAt));
            }
        } catch (...) {
        }
        item.key = nodeKey(kid.id);
        item.text = clsFilePath::trim(kid.bt);
        item.tooltip = item.text;
        if (kid.path) {
            item.tag = "lx";
            size = kid.size;
            if (size == 0) {
                // A class keeps the size of its contents once it has been computed.
                size = sizePid(kid.id, true);
                if (size > 0) changeSize(kid.id, size);
            }
        } else {
            item.tag = "nr";
        }
        const Images& image = imagesOf(kid.path ? std::string("path") : gs);
        item.icon = image.normal;
        item.smallIcon = image.small;
        if (!dateShown || shownDate != kid.dt) {
            shownDate = kid.dt;
            shownDateText = formatDateYMDHM(kid.dt);
            dateShown = true;
        }
        item.subItems = {clsFilePath::lenKstr(size, false), gs, shownDateText, zed ? "Yes" : "No"};
        list.addItem(item);
        ++rows;
    }
    return rows;
}

int32_t ctreebook::lxToCombo2(ComboControl& combo) {
    if (!open_ || !db_) return 0;
    combo.clear();
    try {
        auto query = db_->openQuery("SELECT [id], [bt] From " + tabName_ +
                                    " where ([path]=True and [pid]>=1)");
        for (; !query->eof(); query->moveNext())
            combo.addItem(trimNull(query->field("bt")), longOrZero(query->field("id")));
        query->close();
    } catch (...) {
    }
    combo.addItem("All", 0);
    combo.setText(combo.itemText(0));
    return combo.count();
}

void ctreebook::listLX(int32_t id, int32_t indent, std::string& text) {
    if (!open_) return;
    eachClassBelow(id, true, true, [&](int32_t classId, int depth, const std::vector<ChildRow>& kids) {
        const size_t head = static_cast<size_t>(std::max(0, indent + 8 * depth));
        text += std::string(head, ' ') + BTByID(classId) + "\r\n";
        for (const ChildRow& kid : kids)
            text += std::string(head + 8, ' ') + clsFilePath::trim(kid.bt) + "\r\n";
    });
}

int32_t ctreebook::getParentIDs(int32_t id, std::vector<int32_t>& ids) {
    ids = parentChain(id);
    return static_cast<int32_t>(ids.size());
}

int32_t ctreebook::getSubID(int32_t pid, std::vector<int32_t>& ids) {
    ids.clear();
    for (const ChildRow& kid : children(pid, false)) ids.push_back(kid.id);
    return static_cast<int32_t>(ids.size());
}

int32_t ctreebook::getLXSubID(int32_t pid, std::vector<int32_t>& ids) {
    ids.clear();
    for (const ChildRow& kid : children(pid, false))
        if (kid.path) ids.push_back(kid.id);
    return static_cast<int32_t>(ids.size());
}

int32_t ctreebook::getNRSubID(int32_t pid, std::vector<int32_t>& ids, const std::string& format) {
    ids.clear();
    for (const ChildRow& kid : children(pid, false))
        if (!kid.path && (format.empty() || gsByid(kid.id) == format)) ids.push_back(kid.id);
    return static_cast<int32_t>(ids.size());
}

int32_t ctreebook::getAllSubID(int32_t pid, std::vector<int32_t>& ids) {
    ids.clear();
    if (!open_) return 0;
    eachClassBelow(pid, true, false, [&](int32_t, int, const std::vector<ChildRow>& kids) {
        for (const ChildRow& kid : kids) ids.push_back(kid.id);
    });
    return static_cast<int32_t>(ids.size());
}

int32_t ctreebook::getAllNRSubID(int32_t pid, std::vector<int32_t>& ids) {
    ids.clear();
    if (!open_) return 0;
    eachClassBelow(pid, true, false, [&](int32_t, int, const std::vector<ChildRow>& kids) {
        for (const ChildRow& kid : kids)
            if (!kid.path) ids.push_back(kid.id);
    });
    return static_cast<int32_t>(ids.size());
}

int32_t ctreebook::getAllNRID(std::vector<int32_t>& ids) {
    ids.clear();
    if (!open_ || !rs_) return 0;
    try {
        if (rs_->index() != "primaryKey") rs_->setIndex("primaryKey");
        for (rs_->moveFirst(); !rs_->eof(); rs_->moveNext())
            if (!boolOrFalse(rs_->field("path"))) ids.push_back(longOrZero(rs_->field("id")));
    } catch (...) {
    }
    return static_cast<int32_t>(ids.size());
}

int32_t ctreebook::sizePid(int32_t id, bool recursive) {
    if (!pathByid(id)) return 0;
    int64_t total = 0;
    eachClassBelow(id, recursive, false, [&](int32_t, int, const std::vector<ChildRow>& kids) {
        for (const ChildRow& kid : kids)
            if (!kid.path) total += getNRSize(kid.id);
    });
    return clampToLong(total);
}

int32_t ctreebook::countPid(int32_t id, bool recursive) {
    if (!pathByid(id)) return 0;
    int64_t total = 0;
    eachClassBelow(id, recursive, false, [&](int32_t, int, const std::vector<ChildRow>& kids) {
        for (const ChildRow& kid : kids)
            if (!kid.path) ++total;
    });
    return clampToLong(total);
}

}  // namespace store
