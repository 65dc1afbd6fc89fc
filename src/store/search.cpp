// Searching a library: titles by Jet's LIKE, contents byte-wise, children by exact title.
#include <algorithm>
#include <cstring>

#include "store/ctreebook.h"
#include "store/values.h"
#include "util/path_text.h"
#include "util/codepage.h"

namespace store {

namespace {

// The first occurrence of needle in [from, end), or nullptr.
const uint8_t* findBytes(const uint8_t* from, const uint8_t* end, const Bytes& needle) {
#if defined(__GLIBC__) || defined(__APPLE__) || defined(__FreeBSD__)
    return static_cast<const uint8_t*>(
        memmem(from, static_cast<size_t>(end - from), needle.data(), needle.size()));
#else
    const uint8_t* hit = std::search(from, end, needle.begin(), needle.end());
    return hit == end ? nullptr : hit;
#endif
}

// In code page 936 a byte 0x81..0xFE begins a two-byte character; any other byte is one.
bool beginsDoubleByte(uint8_t b) { return b >= 0x81 && b <= 0xFE; }

}  // namespace

bool ctreebook::containsAtCharBoundary(const Bytes& content, const Bytes& key) {
    if (key.empty()) return !content.empty();
    const uint8_t* base = content.data();
    const uint8_t* end = base + content.size();
    // boundary: a character start at or before the next candidate, walked forward from the
    // start only as far as candidates need, so the whole check stays linear.
    const uint8_t* boundary = base;
    for (const uint8_t* from = base; from < end;) {
        const uint8_t* hit = findBytes(from, end, key);
        if (!hit) return false;
        while (boundary < hit) boundary += beginsDoubleByte(*boundary) ? 2 : 1;
        if (boundary == hit) return true;
        from = hit + 1;
    }
    return false;
}

void ctreebook::prepareSearchList(ListControl& list, bool forClasses) {
    while (list.columnCount() < 2) list.addColumn("", 0);
    const int width = list.width();
    list.setColumn(0, forClasses ? "book class" : "Title", width / 3);
    list.setColumn(1, "Parent class", width * 2 / 3);
    list.clear();
}

void ctreebook::addSearchRow(ListControl& list, int32_t id, const std::string& title,
                             const std::string& parentPath) {
    ListItem item;
    item.key = std::to_string(id) + "id";
    item.text = title;
    item.tag = std::to_string(id);
    item.subItems[0] = parentPath;
    list.addItem(item);
}

std::string ctreebook::titleSearchQuery(const std::string& key, bool forClasses) const {
    return "select [id], [bt], [pid] FROM  " + tabName_ +
           (forClasses ? "  WHERE (([path]=True) and ([bt] LIKE '*"
                       : "  WHERE (([path]=false) and ([bt] LIKE '*") +
           key + "*'));";
}

int32_t ctreebook::searchKeyToLVW(const std::string& key, ListControl& list, bool forClasses) {
    prepareSearchList(list, forClasses);
    if (!open_ || !db_) return 0;
    int32_t count = 0;
    readSpan([&] {
        try {
            auto query = db_->openQuery(titleSearchQuery(key, forClasses));
            for (; !query->eof(); query->moveNext()) {
                const int32_t id = longOrZero(query->field("id"));
                addSearchRow(list, id, trimNull(query->field("bt")),
                             getPPathName(longOrZero(query->field("pid")), true));
                ++count;
            }
            query->close();
        } catch (...) {
            // A pattern Jet rejects (a quote in the key) finds nothing.
        }
    });
    return count;
}

int32_t ctreebook::searchKeyToLVWNR(const std::string& key, ListControl& list, int32_t& classId,
                                    const std::string& format) {
    if (classId == 0) return 0;
    prepareSearchList(list, false);
    int32_t count = 0;
    return searchKeyToLVWNR2(key, list, classId, format, count);
}

int32_t ctreebook::searchKeyToLVWNR2(const std::string& key, ListControl& list, int32_t& classId,
                                     const std::string& format, int32_t& count) {
    if (!open_) return count;
    const Bytes keyBytes = util::utf8ToAnsi(key);
    std::optional<std::vector<int32_t>> candidates;
    if (contentCandidates_) candidates = contentCandidates_(keyBytes);
    eachClassBelow(classId, true, false, [&](int32_t cls, int, const std::vector<ChildRow>& kids) {
        searchClassContent(keyBytes, list, cls, kids, format, candidates ? &*candidates : nullptr, count);
    });
    return count;
}

void ctreebook::searchClassContent(const Bytes& key, ListControl& list, int32_t classId,
                                   const std::vector<ChildRow>& kids, const std::string& format,
                                   const std::vector<int32_t>* candidates, int32_t& count) {
    std::string parentPath;
    bool havePath = false;
    Bytes content;
    for (const ChildRow& kid : kids) {
        if (kid.path) continue;
        if (candidates && !std::binary_search(candidates->begin(), candidates->end(), kid.id)) continue;
        int32_t n = 0;
        try {
            if (!seekIDForward(*nrRS_, kid.id)) continue;
            if (!format.empty() && util::asciiLower(trimNull(nrRS_->field("gs"))) != format) continue;
            n = decodeCurrentNR(content);
        } catch (...) {
            continue;
        }
        if (n <= 0 || !containsAtCharBoundary(content, key)) continue;
        if (!havePath) {
            parentPath = getPPathName(classId, true);
            havePath = true;
        }
        ++count;
        addSearchRow(list, kid.id, BTByID(kid.id), parentPath);
    }
}

std::string ctreebook::reportSearch(const std::string& key, bool forClasses) {
    std::string text = forClasses
        ? "          Parent Class                                       Class \r\n" + std::string(66, '-') + "\r\n"
        : "         Parent Class                                Doc\r\n" + std::string(57, '-') + "\r\n";
    if (!open_ || !db_) return text;
    readSpan([&] {
        auto query = db_->openQuery(titleSearchQuery(key, forClasses));
        for (; !query->eof(); query->moveNext())
            text += getPPathName(longOrZero(query->field("id")), false) + std::string(13, ' ') +
                    trimNull(query->field("bt")) + "\r\n";
        query->close();
    });
    return text;
}

std::string ctreebook::searchKeyPath(const std::string& key) { return reportSearch(key, true); }
std::string ctreebook::searchKeyNR(const std::string& key) { return reportSearch(key, false); }

int32_t ctreebook::findChild(int32_t pid, const std::function<bool(const ChildRow&)>& accept) {
    for (const ChildRow& kid : children(pid, true))
        if (accept(kid)) return kid.id;
    return 0;
}

int32_t ctreebook::findPidBT(int32_t pid, const std::string& title, const std::string& gs) {
    return findChild(pid, [&](const ChildRow& kid) {
        return kid.bt == title && (gs.empty() || gsByid(kid.id) == gs);
    });
}

int32_t ctreebook::findPidPath(int32_t pid, const std::string& title) {
    return findChild(pid, [&](const ChildRow& kid) { return kid.path && kid.bt == title; });
}

int32_t ctreebook::findNrBT(int32_t pid, const std::string& title, const std::string& gs) {
    return findChild(pid, [&](const ChildRow& kid) {
        return !kid.path && kid.bt == title && (gs.empty() || gsByid(kid.id) == gs);
    });
}

int32_t ctreebook::findbtlx2(int32_t pid, const std::string& title) {
    return findChild(pid, [&](const ChildRow& kid) { return kid.bt == title; });
}

}  // namespace store
