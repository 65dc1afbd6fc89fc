#include "util/app_path.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

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

}  // namespace

std::string appPath() {
    if (const char* home = std::getenv("VYNE_HOME"); home && *home) return withSeparator(home);
    fs::path exeFolder = executablePath().parent_path();
    if (writable(exeFolder)) return withSeparator(exeFolder.string());
    fs::path user = userDataFolder();
    std::error_code ec;
    fs::create_directories(user, ec);
    return withSeparator(user.string());
}

std::string appExeName() { return executablePath().stem().string(); }

}  // namespace util
