// Changing a document's format in the content table.
#include "store/ctreebook.h"

namespace store {

bool ctreebook::changeGS(int32_t id, const std::string& gs) {
    return setFieldByID(nrRS_.get(), id, "gs", engine::Value(gs));
}

}  // namespace store
