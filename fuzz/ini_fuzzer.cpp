// libFuzzer harness over the private-profile reader: the input is a settings file; every
// section and key it names is read back, and a value written to it reads back unchanged.
#include "fuzz_support.h"
#include "settings/profile_file.h"

#include <algorithm>

namespace {
// A file of many names would make the walk quadratic; a few of each show the parsing.
constexpr size_t kNamesWalked = 16;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string file = fuzz::writeScratch("settings.ini", data, size);
    const auto sections = settings::profileSections(file);
    for (size_t s = 0; s < std::min(sections.size(), kNamesWalked); ++s) {
        const auto keys = settings::profileKeys(file, sections[s]);
        for (size_t k = 0; k < std::min(keys.size(), kNamesWalked); ++k)
            FUZZ_REQUIRE(settings::profileRead(file, sections[s], keys[k]).has_value());
    }
    FUZZ_REQUIRE(settings::profileWrite(file, "Fuzz", std::string("Key"), std::string("value 1")));
    FUZZ_REQUIRE(settings::profileRead(file, "fuzz", "key") == std::optional<std::string>("value 1"));
    return 0;
}
