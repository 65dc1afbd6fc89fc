// A settings file in the Windows private-profile format: "[section]" lines followed by
// "key=value" lines, code page 936 text, CR LF line ends. Section and key names match without
// regard to ASCII case; the first of duplicate names wins. Reads trim the value and drop one
// pair of enclosing quotes. Every call reads the file and every change writes it back at once
// (replacing it whole, so a failed write leaves the old file), so nothing is cached.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace settings {

// The value of the key, or nothing when the file, the section or the key is missing.
std::optional<std::string> profileRead(const std::string& file, const std::string& section, const std::string& key);

// Sets the key to the value (creating the file, the section and the key as needed); without a
// value deletes the key; without a key deletes the section. False when the file cannot be written.
bool profileWrite(const std::string& file, const std::string& section, const std::optional<std::string>& key,
                  const std::optional<std::string>& value);

// The key names of the section / the section names of the file, in file order.
std::vector<std::string> profileKeys(const std::string& file, const std::string& section);
std::vector<std::string> profileSections(const std::string& file);

}  // namespace settings
