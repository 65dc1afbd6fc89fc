// A settings file in the Windows private-profile format: "[section]" lines followed by
// "key=value" lines, code page 936 text, CR LF line ends.
//
// - Section and key names match without regard to letter case; the first of duplicate names
//   wins. Reads trim the value, end it at a NUL byte and drop one pair of enclosing quotes.
// - A change rewrites only its own line: a key keeps its place and spelling, a new key goes
//   after the last key of its section, a new section to the end of the file. Every other
//   byte (comments, blank lines, sections nobody asked for, their line ends) stays as it was.
// - Every change reaches the disk before the call returns: the new contents are written beside
//   the file, flushed and renamed over it, under an exclusive lock on "<file>.lock", with the
//   file read again inside the lock, so two programs never lose each other's changes.
// - A file that cannot be read (no permission, larger than kMaxProfileBytes, a folder) reads
//   as missing keys, and every change to it fails: it is never taken for an empty file. A
//   read-only file is not changed either.
// - Nothing stale is kept: a file is parsed again whenever it was changed or replaced.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace settings {

inline constexpr uint64_t kMaxProfileBytes = 32u << 20;

// The value of the key, or nothing when the file, the section or the key is missing.
std::optional<std::string> profileRead(const std::string& file, const std::string& section, const std::string& key);

// Sets the key to the value (creating the file, the section and the key as needed); without a
// value deletes the key; without a key deletes the section. False when the file cannot be
// written, or for a name that is empty, holds a line break or (a key) "=", or a value with a
// line break.
bool profileWrite(const std::string& file, const std::string& section, const std::optional<std::string>& key,
                  const std::optional<std::string>& value);

// The key names of the section / the section names of the file, in file order. A name whose
// bytes are not all code page 936 characters is left out: no read could name it.
std::vector<std::string> profileKeys(const std::string& file, const std::string& section);
std::vector<std::string> profileSections(const std::string& file);

// While a batch of a file lives, it holds the file's lock and its changes are kept in memory
// (reads see them); they are written in one replacement by commit() or at the end. Batches of
// the same file nest: the outermost one writes.
class ProfileBatch {
public:
    explicit ProfileBatch(const std::string& file);
    ~ProfileBatch();
    ProfileBatch(const ProfileBatch&) = delete;
    ProfileBatch& operator=(const ProfileBatch&) = delete;
    // False when the batch's changes could not be written: the file's lock was not taken, the
    // file could not be read or is read-only, or the replacement failed (the file then keeps
    // what it had before the batch). An inner batch answers for the changes so far.
    bool commit();

    struct State;

private:
    std::string file_;
    bool outer_ = false;
    bool committed_ = false;
    bool result_ = true;
};

}  // namespace settings
