// The stored properties of a catalog object ("KKD"/"MR2" blocks in MSysObjects.LvProp),
// checked before libmdb's catalog reader walks them: that reader trusts every length in
// them and loops for ever on a record of length zero.
#pragma once

#include "store/engine/value.h"

namespace engine::jet {

// nullptr when libmdb can walk the blob safely (an empty one included); otherwise what is
// wrong with it, in plain words.
const char* propertyBlobFault(const Bytes& blob);

}  // namespace engine::jet
