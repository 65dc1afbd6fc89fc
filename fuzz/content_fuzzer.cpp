// libFuzzer harness over the decoding of stored document content. One document row of a real
// library takes the input as it would be stored: the first four bytes are the claimed size
// (little-endian), the fifth says compressed (bit 0) and the format (bits 1-2: txt, htm, bin),
// the rest is the stored stream. The row is then read as the browser reads documents.
#include "fuzz_support.h"
#include "store/ctreebook.h"

#include <cstring>

namespace {

constexpr size_t kHeader = 5;
const char* const kFormats[] = {"txt", "htm", "bin", "txt"};

struct Library {
    store::ctreebook book;
    int32_t doc = 0;
    Library() {
        const std::string file = fuzz::scratchDir() + "/content.mdb";
        if (!book.createBookMDB(file) || !book.openDB(file)) std::abort();
        doc = book.insertNRBT(1, "document", "text");
        if (doc == 0) std::abort();
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Library library;
    if (size < kHeader) return 0;
    uint32_t claim = 0;
    std::memcpy(&claim, data, 4);
    const bool zed = data[4] & 1;
    const char* format = kFormats[(data[4] >> 1) & 3];

    engine::Recordset& rs = *library.book.nrRS();
    rs.seek("=", engine::Value(library.doc));
    FUZZ_REQUIRE(!rs.noMatch());
    rs.edit();
    rs.setField("size", engine::Value(static_cast<int32_t>(claim)));
    rs.setField("zed", engine::Value(zed));
    rs.setField("gs", engine::Value(std::string(format)));
    rs.setField("nr", engine::Value(engine::Bytes(data + kHeader, data + size)));
    rs.update();

    engine::Bytes bytes;
    const int32_t n = library.book.getNR(library.doc, bytes);
    FUZZ_REQUIRE(n == 0 || (n == static_cast<int32_t>(claim) && bytes.size() == static_cast<size_t>(n)));
    library.book.getTextNR(library.doc);
    library.book.getHtmNR(library.doc);
    return 0;
}
