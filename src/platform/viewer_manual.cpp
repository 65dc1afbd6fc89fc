#include "platform/viewer_manual.h"

#include "util/app_path.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace platform {

QString userManualPath(const QString& appPath) {
    const QString folders[] = {appPath, QCoreApplication::applicationDirPath(),
                               QString::fromStdString(util::installedDataPath())};
    for (const char* name : {"VYNEBrowser_UserManual.doc", "VYNEBrowser_UserManual.html"})
        for (const QString& folder : folders) {
            const QFileInfo candidate(QDir(folder), QString::fromLatin1(name));
            if (!folder.isEmpty() && candidate.isFile()) return candidate.absoluteFilePath();
        }
    return {};
}

}  // namespace platform
