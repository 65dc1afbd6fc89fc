#include "store/engine/jet/jet_database.h"

namespace engine {

std::unique_ptr<Database> openJetDatabase(const std::string& path, OpenOptions) {
    throw Error(ErrorCode::CannotOpen, "Jet 4 libraries cannot be read yet: " + path);
}

}  // namespace engine
