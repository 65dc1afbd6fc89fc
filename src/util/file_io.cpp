#include "util/file_io.h"

#include "util/path_text.h"

#include <cerrno>
#include <chrono>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace util {
namespace {

// Writes every byte, retrying short writes and interruptions.
bool writeAll(int fd, const uint8_t* data, size_t size) {
    while (size > 0) {
        ssize_t written = ::write(fd, data, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        data += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

// Makes a rename inside the folder durable.
void syncFolder(const fs::path& folder) {
    int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

bool replaceFile(const std::string& file, const std::vector<uint8_t>& bytes) {
    const fs::path target = toFsPath(file);
    struct stat old {};
    const bool existed = ::stat(target.c_str(), &old) == 0;
    // A name of its own for every writer, so that two programs never share a half-written file.
    std::string pattern = target.string() + ".XXXXXX";
    int fd = ::mkstemp(pattern.data());
    if (fd < 0) return false;
    const fs::path partial = pattern;
    bool ok = writeAll(fd, bytes.data(), bytes.size());
    if (ok && existed) ok = ::fchmod(fd, old.st_mode & 07777) == 0;
    if (ok) ok = ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (ok) ok = ::rename(partial.c_str(), target.c_str()) == 0;
    if (!ok) {
        ::unlink(partial.c_str());
        return false;
    }
    syncFolder(target.parent_path());
    return true;
}

std::optional<FileStamp> fileStamp(const std::string& file) {
    struct stat st {};
    if (::stat(toFsPath(file).c_str(), &st) != 0) {
        if (errno == ENOENT || errno == ENOTDIR) return FileStamp{};
        return std::nullopt;
    }
    FileStamp stamp;
    stamp.exists = true;
    stamp.device = st.st_dev;
    stamp.inode = st.st_ino;
    stamp.size = static_cast<uint64_t>(st.st_size);
    stamp.modifiedNs = int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    stamp.changedNs = int64_t(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    return stamp;
}

std::optional<std::vector<uint8_t>> readWholeFile(const std::string& file, uint64_t maxBytes) {
    int fd = ::open(toFsPath(file).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR) return std::vector<uint8_t>{};
        return std::nullopt;
    }
    struct stat st {};
    std::optional<std::vector<uint8_t>> result;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && uint64_t(st.st_size) <= maxBytes) {
        std::vector<uint8_t> bytes(static_cast<size_t>(st.st_size));
        size_t got = 0;
        bool failed = false;
        // The size is only what the file held a moment ago: read no further than it.
        while (got < bytes.size()) {
            ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) failed = true;
            if (n <= 0) break;
            got += static_cast<size_t>(n);
        }
        if (!failed) {
            bytes.resize(got);
            result = std::move(bytes);
        }
    }
    ::close(fd);
    return result;
}

bool isReadOnlyFile(const std::string& file) {
    const fs::path path = toFsPath(file);
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return false;
    // No write permission at all counts as read-only even for a user the system would let
    // write, as the read-only attribute does on Windows.
    return (st.st_mode & 0222) == 0 || ::access(path.c_str(), W_OK) != 0;
}

FileLock::FileLock(const std::string& lockFile, int waitMs) {
    int fd = ::open(toFsPath(lockFile).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return;
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if ((errno != EWOULDBLOCK && errno != EINTR) || std::chrono::steady_clock::now() >= giveUp) {
            ::close(fd);
            return;
        }
        // Another program holds it for one write: look again shortly.
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    fd_ = fd;
}

FileLock::~FileLock() {
    if (fd_ >= 0) ::close(fd_);  // closing releases the lock
}

}  // namespace util
