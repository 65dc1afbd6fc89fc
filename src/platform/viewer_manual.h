// Which file the "User Manual" command shows.
#pragma once

#include <QString>

namespace platform {

// VYNEBrowser_UserManual.doc when it exists (show it as format "doc"), otherwise
// VYNEBrowser_UserManual.html (show it as "htm", in the web viewer); looked for in the program
// folder appPath, then beside the executable, then in the installed program's data folder.
// Empty when there is none.
QString userManualPath(const QString& appPath);

}  // namespace platform
