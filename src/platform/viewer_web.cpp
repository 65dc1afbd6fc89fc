// The web viewer: HTML documents of a library and the web addresses of "url" links.
//
// Library pages are hostile until proven otherwise: they are shown in a profile of their own
// that keeps nothing on disk, whose every request passes a guard letting through only the page
// itself, files in the temporary folder, and data:, blob: and about: URLs — no network, no other
// local file. Web addresses the user opened go to a second profile that may use the network
// but no local file.
#include "vyne_config.h"
#if VYNE_WITH_WEBENGINE

#include "platform/viewer_kinds.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QPointer>
#include <QSet>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestInterceptor>
#include <QWebEngineView>

namespace platform {
namespace {

bool isUnder(const QString& canonicalPath, const QString& folder) {
    if (folder.isEmpty()) return false;
    const QString canonicalFolder = QFileInfo(folder).canonicalFilePath();
    return !canonicalFolder.isEmpty() && canonicalPath.startsWith(canonicalFolder + QLatin1Char('/'));
}

class RequestGuard : public QWebEngineUrlRequestInterceptor {
public:
    RequestGuard(bool networkAllowed, QObject* parent)
        : QWebEngineUrlRequestInterceptor(parent), networkAllowed_(networkAllowed) {}

    // The one local file outside the temporary folder that the page may load: itself.
    void setShownFile(const QString& path) { shownFile_ = QFileInfo(path).canonicalFilePath(); }

    void interceptRequest(QWebEngineUrlRequestInfo& info) override { info.block(!allowed(info.requestUrl())); }

private:
    bool allowed(const QUrl& url) const {
        const QString scheme = url.scheme().toLower();
        if (scheme == u"data" || scheme == u"about" || scheme == u"blob") return true;
        if (networkAllowed_) return scheme == u"http" || scheme == u"https";
        if (scheme != u"file") return false;
        const QString path = QFileInfo(url.toLocalFile()).canonicalFilePath();
        if (path.isEmpty()) return false;
        return path == shownFile_ || isUnder(path, temporaryFolder());
    }

    const bool networkAllowed_;
    QString shownFile_;
};

// Links meant for a new window or tab open in place, under the same guard.
class SingleWindowPage : public QWebEnginePage {
public:
    using QWebEnginePage::QWebEnginePage;

protected:
    QWebEnginePage* createWindow(WebWindowType) override { return this; }
};

// A page on an off-the-record profile with its own request guard, locked down as far as a page
// can be without breaking ordinary HTML.
struct GuardedPage {
    QWebEngineProfile* profile;
    RequestGuard* guard;
    QWebEnginePage* page;

    GuardedPage(const GuardedPage&) = delete;
    GuardedPage& operator=(const GuardedPage&) = delete;
    // A page must go before its profile.
    ~GuardedPage() {
        delete page;
        delete profile;
    }

    explicit GuardedPage(bool networkAllowed) {
        profile = new QWebEngineProfile();
        profile->setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
        profile->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
        guard = new RequestGuard(networkAllowed, profile);
        profile->setUrlRequestInterceptor(guard);
        page = new SingleWindowPage(profile);
        QWebEngineSettings* s = page->settings();
        s->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
        s->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, !networkAllowed);
        s->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
        s->setAttribute(QWebEngineSettings::JavascriptCanAccessClipboard, false);
        s->setAttribute(QWebEngineSettings::JavascriptCanPaste, false);
        s->setAttribute(QWebEngineSettings::AllowWindowActivationFromJavaScript, false);
        s->setAttribute(QWebEngineSettings::PluginsEnabled, false);
        s->setAttribute(QWebEngineSettings::ScreenCaptureEnabled, false);
        s->setAttribute(QWebEngineSettings::HyperlinkAuditingEnabled, false);
        s->setAttribute(QWebEngineSettings::DnsPrefetchEnabled, false);
        s->setAttribute(QWebEngineSettings::WebRTCPublicInterfacesOnly, true);
        s->setAttribute(QWebEngineSettings::AllowRunningInsecureContent, false);
        s->setAttribute(QWebEngineSettings::AllowGeolocationOnInsecureOrigins, false);
        s->setAttribute(QWebEngineSettings::NavigateOnDropEnabled, false);
        s->setAttribute(QWebEngineSettings::LocalStorageEnabled, networkAllowed);
        // Unknown schemes (mailto:, custom ones) would otherwise be handed to the system.
        s->setUnknownUrlSchemePolicy(QWebEngineSettings::DisallowUnknownUrlSchemes);
        QObject::connect(page, &QWebEnginePage::featurePermissionRequested, page,
                         [p = page](const QUrl& origin, QWebEnginePage::Feature feature) {
                             p->setFeaturePermission(origin, feature, QWebEnginePage::PermissionDeniedByUser);
                         });
    }
};

class WebViewer : public Viewer {
public:
    explicit WebViewer(QWidget* parent) : library_(false), web_(true), view_(new QWebEngineView(parent)) {
        view_->setObjectName(QStringLiteral("WebBrowser1"));
        view_->setPage(library_.page);
        view_->setUrl(QUrl(QStringLiteral("about:blank")));
        view_->hide();
    }

    // The view goes first (unless its parent took it already), then the pages it showed.
    ~WebViewer() override { delete view_.data(); }

    ViewerKind kind() const override { return ViewerKind::Web; }
    QWidget* widget() override { return view_; }

    bool showFile(const QString& path) override {
        if (!isShowableFile(path)) return false;
        const QFileInfo info(path);
        const QString page = pageFileFor(info);
        if (page.isEmpty()) return false;
        library_.guard->setShownFile(page);
        show(library_, QUrl::fromLocalFile(page));
        return true;
    }

    bool showUrl(const QString& address) override {
        const QUrl url = QUrl::fromUserInput(address.trimmed());
        const QString scheme = url.scheme().toLower();
        if (url.isLocalFile()) return showFile(url.toLocalFile());
        if (!url.isValid() || (scheme != u"http" && scheme != u"https")) {
            reportStatus(QStringLiteral("%1 is not a web address.").arg(address));
            return false;
        }
        show(web_, url);
        return true;
    }

    void hideViewer() override {
        view_->page()->setUrl(QUrl(QStringLiteral("about:blank")));
        view_->hide();
    }

private:
    // The file to load for a page: the file itself when the engine knows its extension as a web
    // page; for pages stored under the extension of a server script or form (which the engine
    // would not render), a copy named ".htm" in the temporary folder; empty for anything else.
    QString pageFileFor(const QFileInfo& info) {
        static const QSet<QString> pages = {"htm", "html", "xhtml", "shtml", "mht", "mhtml"};
        static const QSet<QString> pagesUnderOtherNames = {"asp", "aspx", "frm", "php", "jsp"};
        const QString extension = info.suffix().toLower();
        if (pages.contains(extension)) return info.absoluteFilePath();
        if (!pagesUnderOtherNames.contains(extension)) {
            reportStatus(QStringLiteral("%1 is not a web page.").arg(info.fileName()));
            return {};
        }
        const QString copy = QDir(temporaryFolder()).filePath(info.fileName() + QStringLiteral(".htm"));
        QFile::remove(copy);
        if (!QDir().mkpath(temporaryFolder()) || !QFile::copy(info.absoluteFilePath(), copy)) {
            reportStatus(QStringLiteral("%1 could not be prepared for display.").arg(info.fileName()));
            return {};
        }
        QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner);
        return copy;
    }

    void show(GuardedPage& which, const QUrl& url) {
        if (view_->page() != which.page) {
            view_->page()->setUrl(QUrl(QStringLiteral("about:blank")));
            view_->setPage(which.page);
        }
        which.page->setUrl(url);
        view_->show();
        view_->raise();
    }

    GuardedPage library_;
    GuardedPage web_;
    QPointer<QWebEngineView> view_;
};

// Qt WebEngine renders in a helper process; without it no page can be shown.
bool helperProcessPresent() {
    const QString configured = qEnvironmentVariable("QTWEBENGINEPROCESS_PATH");
    if (!configured.isEmpty()) return QFileInfo(configured).isExecutable();
    return QFileInfo(QLibraryInfo::path(QLibraryInfo::LibraryExecutablesPath) +
                     QStringLiteral("/QtWebEngineProcess"))
        .isExecutable();
}

}  // namespace

std::unique_ptr<Viewer> makeWebViewer(QWidget* parent) {
    if (!helperProcessPresent()) return nullptr;
    return std::make_unique<WebViewer>(parent);
}

}  // namespace platform

#endif
