// Read marks, attribute bits and titles of single records.
#include "store/ctreebook.h"
#include "store/values.h"

namespace store {

bool ctreebook::changeReaded(int32_t id, bool readed) {
    if (!pathByid(id)) return setFieldByID(rs_.get(), id, "readed", engine::Value(readed));
    // A class carries its mark down to every record below it, in one transaction.
    return inTransaction([&] {
        bool ok = setFieldByID(rs_.get(), id, "readed", engine::Value(readed));
        eachClassBelow(id, true, false, [&](int32_t, int, const std::vector<ChildRow>& kids) {
            for (const ChildRow& child : kids)
                ok = setFieldByID(rs_.get(), child.id, "readed", engine::Value(readed)) && ok;
        });
        return ok;
    });
}

bool ctreebook::changeAttr(int32_t id, int32_t mask) {
    if (!open_ || !rs_) return false;
    const int32_t attr = attrByid(id);
    return setFieldByID(rs_.get(), id, "attr", engine::Value(mask >= 0 ? attr | mask : attr & mask));
}

bool ctreebook::changeBT(int32_t id, const std::string& title) {
    return setFieldByID(rs_.get(), id, "bt", engine::Value(firstChars(title, titleLimit_)));
}

}  // namespace store
