// DAO names (tables, fields, indexes, properties) compare without regard to case.
#pragma once

#include <string>
#include <string_view>

namespace engine {

// Latin letters compare folded (see foldLatin); every other character exactly.
bool namesEqual(std::string_view a, std::string_view b);

// A key for maps of names: the name with its Latin letters folded.
std::string nameKey(std::string_view name);

}  // namespace engine
