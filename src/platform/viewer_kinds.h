// The viewers behind makeViewer(), one factory per kind; each is compiled only when its Qt
// module is part of the build, and returns null when it cannot run.
#pragma once

#include "platform/viewer.h"

#include <QString>

namespace platform {

// The program's temporary folder: the only local folder whose files library web pages may load,
// and where converted documents are written.
QString temporaryFolder();

std::unique_ptr<Viewer> makeWebViewer(QWidget* parent);
std::unique_ptr<Viewer> makeMediaViewer(QWidget* parent);
std::unique_ptr<Viewer> makePdfViewer(QWidget* parent);

// The Office viewer converts with officeProgram (LibreOffice's soffice) and gives a conversion
// up after timeoutMs; null when the program is missing or this build has no PDF viewer.
std::unique_ptr<Viewer> makeOfficeViewer(QWidget* parent, const QString& officeProgram, int timeoutMs);
// soffice on the search path, or empty.
QString findOfficeProgram();

}  // namespace platform
