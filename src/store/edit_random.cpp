// A random document, and stored pictures for the picture boxes.
#include <random>

#include "store/ctreebook.h"
#include "store/values.h"
#include "util/path_text.h"

namespace store {

int32_t ctreebook::randomIdx(const std::string& gs) {
    if (!open_ || !nrRS_ || !rs_) return 0;
    // One pass over the content rows collects the candidates; a draw then always hits one, so
    // a rare format is found as surely as a common one. Class rows (which only carry a
    // password) are no documents and never drawn.
    std::vector<int32_t> candidates;
    try {
        engine::Recordset& rs = *nrRS_;
        if (rs.index() != "primaryKey") rs.setIndex("primaryKey");
        for (rs.moveFirst(); !rs.eof(); rs.moveNext())
            if (gs.empty() || util::asciiLower(trimNull(rs.field("gs"))) == gs)
                candidates.push_back(longOrZero(rs.field("id")));
    } catch (...) {
        return 0;
    }
    static std::mt19937 random{std::random_device{}()};
    while (!candidates.empty()) {
        std::uniform_int_distribution<size_t> pick(0, candidates.size() - 1);
        const size_t k = pick(random);
        if (!pathByid(candidates[k]) && candidates[k] > 0) return candidates[k];
        candidates.erase(candidates.begin() + static_cast<std::ptrdiff_t>(k));
    }
    return 0;
}

Bytes ctreebook::loadImg(int32_t id) {
    Bytes bytes;
    if (getNR(id, bytes) <= 0) return {};
    return bytes;
}

bool ctreebook::showpic(int32_t id, PictureBox& box, int32_t loaderOption, int16_t mode) {
    Bytes bytes = loadImg(id);
    if (bytes.empty()) return false;
    if (mode == 1 || mode == 2)
        box.showPicture(bytes, box.innerWidth(), box.innerHeight(), loaderOption);
    else if (mode == 3 || mode == 4)
        box.showPicture(bytes, -1, -1, loaderOption);
    return true;
}

}  // namespace store
