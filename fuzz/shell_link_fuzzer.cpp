// libFuzzer harness over shortcut reading: the input as a Shell Link read from memory, and
// as a ".lnk" and a ".url" file read the way a link document's target is found.
#include "fuzz_support.h"
#include "util/file_path.h"
#include "util/shell_link.h"

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    util::readShellLink(std::vector<uint8_t>(data, data + size));
    const clsFilePath files;
    files.getPathLink(fuzz::writeScratch("link.lnk", data, size));
    files.getPathLink(fuzz::writeScratch("link.url", data, size));
    return 0;
}
