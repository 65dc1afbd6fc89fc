// Caching a record's size in the main table.
#include "store/ctreebook.h"

namespace store {

bool ctreebook::changeSize(int32_t id, int32_t size) {
    return setFieldByID(rs_.get(), id, "size", engine::Value(size));
}

}  // namespace store
