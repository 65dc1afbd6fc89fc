// Handing a file to the operating system ("open" with its registered program).
//
// Library content comes from outside, so nothing that would run a program when opened is ever
// handed over: desktop entries, scripts and executables are recognised by their extension and by
// their content (ELF, PE and Mach-O headers, a "#!" line, a "[Desktop Entry]" group).
#pragma once

#include <QString>
#include <QUrl>

#include <functional>
#include <optional>

namespace platform {

// Why this file must not be handed to the operating system, or nothing when it may be.
std::optional<QString> refusalReason(const QString& path);

// Hands the file to the operating system. Returns nothing when it was handed over, otherwise the
// reason in plain words for the status bar (refused as runnable, missing, or the system failed).
std::optional<QString> openWithOS(const QString& path);

// Hands a web address (http or https only) to the system's browser. Returns nothing when it was
// handed over, otherwise the reason in plain words.
std::optional<QString> openAddressWithOS(const QString& address);

// Makes the utilities' "open with the desktop" (clsFilePath::shellShowFile, shellShowText) go
// through openWithOS; called once at start-up. Its refusals come back to those callers as false.
void installShellHook();

// What actually asks the system to open a URL; QDesktopServices::openUrl unless replaced.
// Tests replace it so that nothing is launched.
using OsOpener = std::function<bool(const QUrl&)>;
void setOsOpener(OsOpener opener);

}  // namespace platform
