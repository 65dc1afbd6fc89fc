#include "util/app_path.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

#include "vyne_config.h"

#ifndef _WIN32
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace util {
namespace {

fs::path executablePath() {
    std::error_code ec;
#ifdef __linux__
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (!ec) return exe;
#endif
    return fs::current_path(ec) / "vyne-browser";
}

bool writable(const fs::path& folder) {
#ifdef _WIN32
    std::error_code ec;
    return fs::is_directory(folder, ec);
#else
    return access(folder.c_str(), W_OK | X_OK) == 0;
#endif
}

std::string withSeparator(std::string folder) {
    if (folder.empty() || (folder.back() != '/' && folder.back() != '\\')) folder += kPathSeparator;
    return folder;
}

fs::path userDataFolder() {
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg) return fs::path(xdg) / "vyne-browser";
    if (const char* home = std::getenv("HOME"); home && *home) return fs::path(home) / ".local" / "share" / "vyne-browser";
    std::error_code ec;
    return fs::temp_directory_path(ec) / "vyne-browser";
}

// <prefix> when the executable lies in <prefix>/<bin folder>; empty otherwise.
fs::path installPrefix() {
    fs::path folder = executablePath().parent_path();
    const fs::path bin = fs::path(VYNE_INSTALL_BINDIR).lexically_normal();
    std::vector<fs::path> parts(bin.begin(), bin.end());
    for (auto part = parts.rbegin(); part != parts.rend(); ++part) {
        if (folder.filename() != *part) return {};
        folder = folder.parent_path();
    }
    return folder;
}

}  // namespace

std::string installedDataPath() {
    const fs::path prefix = installPrefix();
    if (prefix.empty()) return {};
    const fs::path data = prefix / VYNE_INSTALL_DATADIR;
    std::error_code ec;
    return fs::is_directory(data, ec) ? withSeparator(data.string()) : std::string();
}

std::string appPath() {
    if (const char* home = std::getenv("VYNE_HOME"); home && *home) return withSeparator(home);
    fs::path exeFolder = executablePath().parent_path();
    if (installedDataPath().empty() && writable(exeFolder)) return withSeparator(exeFolder.string());
    fs::path user = userDataFolder();
    std::error_code ec;
    fs::create_directories(user, ec);
    return withSeparator(user.string());
}

std::string appExeName() { return executablePath().stem().string(); }

}  // namespace util
