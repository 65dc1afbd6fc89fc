// libFuzzer harness over the readers of the dictionary's sources: one input is written as each
// kind of file (CC-CEDICT, a Unihan file plain and as .bz2, CJKRadicals.txt, ECDICT's CSV) and
// read; a reader may refuse it (SourceError) but must not crash, hang or run away with memory.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>

#include "aids/dictionary_sources.h"

namespace {

const std::string& scratch() {
    static const std::string dir = [] {
        std::string tmpl = "/tmp/vyne-dict-fuzz-XXXXXX";
        if (!mkdtemp(tmpl.data())) std::abort();
        return tmpl;
    }();
    return dir;
}

std::string written(const char* name, const uint8_t* data, size_t size) {
    const std::string path = scratch() + "/" + name;
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data), std::streamsize(size));
    return path;
}

template <class Read>
void quietly(Read read) {
    try {
        read();
    } catch (const aids::SourceError&) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string cedict = written("cedict_ts.u8.js", data, size);
    const std::string unihan = written("Unihan_Readings.txt", data, size);
    const std::string compressed = written("Unihan_Variants.txt.bz2", data, size);
    const std::string radicals = written("CJKRadicals.txt", data, size);
    const std::string ecdict = written("ecdict.csv", data, size);
    size_t seen = 0;
    quietly([&] { aids::readCedict(cedict, [&](aids::CedictEntry&& e) { seen += e.glosses.size(); }); });
    for (const std::string& path : {unihan, compressed})
        quietly([&] {
            aids::readUnihan(path, {"kMandarin", "kTraditionalVariant"},
                             [&](char32_t, const std::string&, const std::string& v) { seen += v.size(); });
        });
    quietly([&] { seen += aids::readCjkRadicals(radicals).size(); });
    quietly([&] { aids::readEcdict(ecdict, [&](aids::EcdictRow&& row) { seen += row.word.size(); }); });
    return seen == size_t(-1);
}
