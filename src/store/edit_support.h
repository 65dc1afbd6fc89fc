// Helpers of the editing operations: files as documents, titles as they are stored.
#pragma once

#include <cstdint>
#include <string>

#include "store/engine/value.h"

namespace store::edit {

struct FileDocument {
    std::string title;
    std::string gs;
    engine::Date dt;
    engine::Bytes content;
};

// Reads fileName as a document: link formats store their target, asLink stores format "lnk"
// with the full file name, "txt" in UTF-16 or UTF-8 becomes code page 936. gs overrides the
// extension. False with a reason in plain words when the file cannot be taken.
bool readFileDocument(const std::string& fileName, const std::string& gs, bool asLink,
                      FileDocument& doc, std::string& reason);

// A file or folder name as a title: valid UTF-8 as it is, anything else read as code page 936.
std::string nameAsUtf8(const std::string& name);

// A title as it is compared with stored ones: cut to the title limit, spaces trimmed.
std::string comparableTitle(const std::string& title, int titleLimit);
// A format as it is stored: lower case, cut to the size of the content table's `gs`.
std::string storedFormat(const std::string& gs);

}  // namespace store::edit
