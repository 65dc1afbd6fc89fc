// Shortcut files: Windows Shell Links ("lnk") and Internet shortcuts ("url").
#include "util/codepage.h"
#include "util/file_path.h"
#include "util/path_text.h"
#include "util/shell_link.h"

namespace {

// The URL= value of the [InternetShortcut] section of an Internet shortcut's text.
std::string internetShortcutUrl(const std::string& text) {
    bool inSection = false;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        std::string line = clsFilePath::trim(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (!line.empty() && line.front() == '[')
            inSection = util::asciiLower(line) == "[internetshortcut]";
        else if (inSection && util::asciiLower(line.substr(0, 4)) == "url=")
            return line.substr(4);
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return {};
}

}  // namespace

bool clsFilePath::createPathLink(const std::string& linkFile, const std::string& kind, const std::string& linkText) {
    std::string kindLower = util::asciiLower(kind);
    if (kindLower == "url") {
        saveTxtFile(linkFile, "[InternetShortcut]\r\nURL=" + linkText + "\r\n");
        return fileExist(linkFile);
    }
    if (kindLower != "lnk") return false;
    util::ShellLink link;
    link.target = getLinkPath(linkText, link.workingFolder);
    return saveBinFile(linkFile, util::writeShellLink(link)) == 1;
}

std::string clsFilePath::getPathLink(const std::string& linkFile) const {
    std::string kind = getFileExtName(linkFile);
    if (kind == "url") return internetShortcutUrl(loadTxtFile(linkFile));
    if (kind != "lnk") return {};
    Bytes bytes;
    loadBinFile(linkFile, bytes);
    auto link = util::readShellLink(bytes);
    if (!link) return {};
    return link->target + '\0' + link->workingFolder;
}

std::string clsFilePath::getLinkPath(const std::string& linkText, std::string& workingFolder) const {
    size_t nul = linkText.find('\0');
    workingFolder = nul == std::string::npos ? std::string() : linkText.substr(nul + 1);
    return linkText.substr(0, nul);
}
