// The program's private temporary folder and the system's temporary files.
#include "util/file_path.h"
#include "util/app_path.h"
#include "util/path_text.h"

#include <cstdio>
#include <random>

namespace fs = std::filesystem;

namespace {

// The program's "tmp" folder, created when missing and kept private to the user: it receives
// decoded document contents.
std::string tmpFolder(clsFilePath& fp) {
    std::string folder = util::appPath() + "tmp";
    if (!fp.pathExist(folder)) fp.createPath(folder);
    std::error_code ec;
    fs::permissions(util::toFsPath(folder), fs::perms::owner_all, fs::perm_options::replace, ec);
    return folder;
}

}  // namespace

std::string clsFilePath::tmpFileName(const std::string& extension, const std::string& title) {
    std::string folder = tmpFolder(*this);
    if (!title.empty()) return util::joinPath(folder, title + "." + extension);
    if (++tmpCounter_ > 20) tmpCounter_ = 1;
    std::string ext = convTx(extension);
    if (ext.empty()) ext = "dat";
    char name[32];
    std::snprintf(name, sizeof name, "tmp%04d.", tmpCounter_ + 4300);
    return util::joinPath(folder, name + ext);
}

void clsFilePath::clearTmpPath() {
    List files;
    AllFiles(util::appPath() + "tmp", files, true);
    for (const auto& file : files) delFile(file, true);
}

std::string clsFilePath::getSystemTmpPath() const {
    std::error_code ec;
    return justPath(fs::temp_directory_path(ec).string());
}

std::string clsFilePath::GetTempFile(const std::string& extension, const std::string& prefix) {
    std::string folder = getSystemTmpPath();
    std::random_device seed;
    std::mt19937 random(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        char unique[16];
        std::snprintf(unique, sizeof unique, "%04X.tmp", static_cast<unsigned>(random() & 0xFFFF));
        std::string name = util::joinPath(folder, prefix.substr(0, 3) + unique);
        // "x": fails when the file exists, so a name is never handed out twice.
        if (std::FILE* f = std::fopen(name.c_str(), "wbx")) {
            std::fclose(f);
            return extension.empty() ? name : name + "." + extension;
        }
    }
    return {};
}
