#include "platform/viewer.h"

#include "platform/viewer_kinds.h"
#include "util/app_path.h"
#include "vyne_config.h"

#include <QFileInfo>

namespace platform {
namespace {

// An Office conversion that takes longer than this has hung; the document goes to the system.
constexpr int kOfficeTimeoutMs = 120'000;

}  // namespace

bool Viewer::isShowableFile(const QString& path) const {
    if (QFileInfo(path).isFile()) return true;
    reportStatus(QStringLiteral("File %1 not exist.").arg(path));
    return false;
}

QString temporaryFolder() { return QString::fromStdString(util::appPath() + "tmp"); }

std::unique_ptr<Viewer> makeViewer(ViewerKind kind, QWidget* parent) {
    switch (kind) {
    case ViewerKind::Web:
#if VYNE_WITH_WEBENGINE
        return makeWebViewer(parent);
#else
        return nullptr;
#endif
    case ViewerKind::Media:
#if VYNE_WITH_MULTIMEDIA
        return makeMediaViewer(parent);
#else
        return nullptr;
#endif
    case ViewerKind::Pdf:
#if VYNE_WITH_PDF
        return makePdfViewer(parent);
#else
        return nullptr;
#endif
    case ViewerKind::Office:
#if VYNE_WITH_PDF
        return makeOfficeViewer(parent, findOfficeProgram(), kOfficeTimeoutMs);
#else
        return nullptr;
#endif
    case ViewerKind::Flash:
        return nullptr;
    }
    return nullptr;
}

}  // namespace platform
