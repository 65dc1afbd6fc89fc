// libFuzzer harness over the HTML-to-text conversion: any bytes, as the page of a document.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "util/html_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    util::htmlBodyText(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
