// libFuzzer harness over the settings-file layer: the input is a settings file; every
// enumeration and read runs over it, then one change is written, which must keep the bytes
// before it.
#include "settings/ini_file.h"
#include "settings/profile_file.h"
#include "util/text.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

const std::string& scratchFile() {
    static const std::string file = [] {
        char folder[] = "/tmp/profile_fuzzer.XXXXXX";
        if (!::mkdtemp(folder)) std::abort();
        return std::string(folder) + "/fuzz.ini";
    }();
    return file;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& file = scratchFile();
    const std::string input(reinterpret_cast<const char*>(data), size);
    std::ofstream(file, std::ios::binary | std::ios::trunc) << input;
    cInifile ini;
    ini.path = file;
    int reads = 0;
    bool hadSection = false;
    const std::vector<std::string> sections = settings::profileSections(file);
    for (const std::string& section : sections) hadSection = hadSection || util::asciiLower(section) == "fuzz section";
    for (const std::string& section : sections) {
        ini.section = section;
        for (const std::string& key : settings::profileKeys(file, section)) {
            ini.key = key;
            (void)ini.Value();
            if (++reads > 200) break;
        }
        IniFont font;
        ini.loadFont(font);
        (void)ini.numberedValues("DBFIleName", "", 2000000000);
        if (reads > 200) break;
    }
    ini.section = "fuzz section";
    ini.key = "k";
    ini.setValue("v");
    std::ifstream in(file, std::ios::binary);
    const std::string after((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // A file that could be read keeps every byte in front of the new section.
    if (ini.Success() && !hadSection && after.compare(0, input.size(), input) != 0) std::abort();
    return 0;
}
