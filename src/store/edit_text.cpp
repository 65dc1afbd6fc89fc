// Text documents of a class: joining them into one, replacing text in them.
#include "store/ctreebook.h"
#include "store/edit_support.h"
#include "store/values.h"
#include "util/codepage.h"

namespace store {

int32_t ctreebook::combineNR(int32_t pid, const std::string& title) {
    if (!open_ || !pathByid(pid) || clsFilePath::trim(title).empty()) return 0;
    const int32_t existing = documentChild(pid, title, "txt");
    if (existing != 0 && !(seams.askYesNo && seams.askYesNo("New Doc Existed, Overwrite It?"))) return 0;
    Bytes joined;
    const Bytes lineEnd = {'\r', '\n'};
    for (const ChildRow& child : children(pid, true)) {
        if (child.path || child.id == existing || gsByid(child.id) != "txt") continue;
        const std::string part = clsFilePath::trim(child.bt);
        report("Processing " + part + " ......");
        const Bytes heading = util::utf8ToAnsi("~~~《  " + part + "  》");
        Bytes content;
        getNR(child.id, content);
        joined.insert(joined.end(), heading.begin(), heading.end());
        joined.insert(joined.end(), lineEnd.begin(), lineEnd.end());
        joined.insert(joined.end(), content.begin(), content.end());
        joined.insert(joined.end(), lineEnd.begin(), lineEnd.end());
    }
    return insertOrUpdateRec(pid, title, "txt", std::move(joined), 0, nowDate());
}

void ctreebook::setSrcRep(const std::string& rules) { strOP_.setSrcRep(rules); }

bool ctreebook::s_replaceStrNR(int32_t id) {
    const std::string text = getTextNR(id);
    const std::string replaced = strOP_.replaceStrings(text);
    return !text.empty() && replaced != text && updateBinData(id, util::utf8ToAnsi(replaced));
}

int32_t ctreebook::replaceInClass(int32_t pid, bool recursive) {
    int32_t count = 0;
    std::vector<int32_t> ids;
    if (recursive)
        getAllNRSubID(pid, ids);
    else
        getNRSubID(pid, ids);
    inTransaction([&] {
        for (int32_t id : ids) {
            const std::string text = getTextNR(id);
            if (text.empty() || strOP_.replaceStrings(text) == text) continue;
            if (s_replaceStrNR(id)) {
                ++count;
                report(BTByID(id) + "replaced. ");
            } else {
                report(BTByID(id) + " replaced failure!");
            }
        }
        return true;
    });
    return count;
}

int32_t ctreebook::replaceStrLX(int32_t pid) { return replaceInClass(pid, false); }
int32_t ctreebook::replaceStrLXsub(int32_t pid) { return replaceInClass(pid, true); }

}  // namespace store
