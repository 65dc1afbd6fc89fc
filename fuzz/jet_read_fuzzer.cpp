// libFuzzer harness over the Jet reading path: the header check, the libmdb reader that
// normally runs in the child process, the stream decoder and the building of index
// orders, all in-process so that a fault shows up here instead of as a dead child.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "store/engine/database.h"
#include "store/engine/jet/jet_dump.h"
#include "store/engine/jet/jet_header.h"
#include "store/engine/jet/jet_stream.h"
#include "store/engine/jet/jet_tables.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace engine::jet;
    try {
        checkHeader(data, size, size);
    } catch (const engine::Error&) {
        return 0;
    }
    std::vector<uint8_t> image(data, data + size);
    std::string stream, why;
    dumpImage(image.data(), image.size(), [&](const std::string& piece) { stream += piece; }, why);
    try {
        // Fed in two pieces, as the pipe would deliver it, so that records broken across
        // pieces are decoded too.
        const auto* bytes = reinterpret_cast<const uint8_t*>(stream.data());
        const size_t split = stream.size() / 3;
        StreamDecoder decoder;
        decoder.feed(bytes, split);
        decoder.feed(bytes + split, stream.size() - split);
        openTables(decoder.finish());
    } catch (const engine::Error&) {
    }
    return 0;
}
