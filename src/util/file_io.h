// Reading and replacing whole files safely, and a lock that two programs can share.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace util {

// Writes the bytes to a new file beside the target, flushes it to the disk and renames it over
// the target, so that neither a failing write nor a crash leaves a torn or empty file. An
// existing target keeps its permissions. False when the file could not be written.
bool replaceFile(const std::string& file, const std::vector<uint8_t>& bytes);

// What a file is now: equal stamps mean the file was not replaced or changed in between.
struct FileStamp {
    bool exists = false;
    uint64_t device = 0, inode = 0, size = 0;
    int64_t modifiedNs = 0, changedNs = 0;
    bool operator==(const FileStamp&) const = default;
};
// Nothing when the file's state cannot be read (other than its not existing).
std::optional<FileStamp> fileStamp(const std::string& file);

// The whole file, when it exists, is readable and holds at most maxBytes bytes; an empty
// vector for a file that does not exist; nothing for a read error or a larger file.
std::optional<std::vector<uint8_t>> readWholeFile(const std::string& file, uint64_t maxBytes);

// True when the file exists and either has no write permission for anybody or this program
// may not write it.
bool isReadOnlyFile(const std::string& file);

// An exclusive lock on a lock file (created when missing), held until destruction. Waits for
// another holder at most `waitMs` milliseconds; locked() tells whether it was taken.
class FileLock {
public:
    FileLock(const std::string& lockFile, int waitMs);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    bool locked() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

}  // namespace util
