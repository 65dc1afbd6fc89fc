// The whole content of a Jet file as the backend holds it in memory: table definitions,
// their user-defined properties and every row, read once at open time.
#pragma once

#include <string>
#include <vector>

#include "store/engine/database.h"

namespace engine::jet {

struct Property {
    std::string name;
    DaoType type = DaoType::Text;
    Value value;
};

struct Table {
    TableDef def;
    std::vector<Property> properties;
    std::vector<std::vector<Value>> rows;  // one value per field of def, in storage order
};

struct Image {
    std::vector<Table> tables;  // in catalog (creation) order
};

}  // namespace engine::jet
