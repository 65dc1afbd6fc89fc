#include "util/file_io.h"

#include "util/path_text.h"

#include <fstream>

namespace fs = std::filesystem;

namespace util {

bool replaceFile(const std::string& file, const std::vector<uint8_t>& bytes) {
    fs::path target = toFsPath(file);
    fs::path partial = target;
    partial += ".partial";
    {
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            std::error_code ec;
            fs::remove(partial, ec);
            return false;
        }
    }
    std::error_code ec;
    fs::rename(partial, target, ec);
    if (ec) fs::remove(partial, ec);
    return !ec;
}

}  // namespace util
