// Windows Shell Link (.lnk) files: the target and working folder, written so that Windows
// resolves them (header, LinkInfo with the local base path, working-folder string) and read
// from links Windows made (LinkInfo local or network path, else the relative path string).
// Link files come from outside: reading checks every offset and gives nothing for a malformed
// file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace util {

struct ShellLink {
    std::string target;         // UTF-8
    std::string workingFolder;  // UTF-8, may be empty
};

std::vector<uint8_t> writeShellLink(const ShellLink& link);
std::optional<ShellLink> readShellLink(const std::vector<uint8_t>& bytes);

}  // namespace util
