#include "store/engine/database.h"
#include "store/engine/names.h"

namespace engine {

const FieldDef* TableDef::field(const std::string& name) const {
    for (const FieldDef& f : fields)
        if (namesEqual(f.name, name)) return &f;
    return nullptr;
}

}  // namespace engine
