#include "platform/viewer.h"
#include "support/temp_dir.h"
#include "viewer_test_support.h"
#include "vyne_config.h"

#include <gtest/gtest.h>

#if VYNE_WITH_WEBENGINE
#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QMouseEvent>
#include <QTcpServer>
#include <QTcpSocket>
#include <QVariant>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <QWidget>

using testing_support::TempDir;

namespace {

// A web server on the loopback address that counts the connections it gets and answers each
// with a small picture.
class CountingServer {
public:
    CountingServer() {
        server_.listen(QHostAddress::LocalHost);
        QObject::connect(&server_, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* socket = server_.nextPendingConnection()) {
                ++connections;
                QObject::connect(socket, &QTcpSocket::readyRead, socket, [socket] {
                    socket->readAll();
                    const QByteArray body = "<html><head><title>served</title></head><body>hi</body></html>";
                    socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nConnection: close\r\nContent-Length: " +
                                  QByteArray::number(body.size()) + "\r\n\r\n" + body);
                    socket->disconnectFromHost();
                });
            }
        });
    }
    QString url(const QString& path) const {
        return QStringLiteral("http://127.0.0.1:%1/%2").arg(server_.serverPort()).arg(path);
    }
    int connections = 0;

private:
    QTcpServer server_;
};

QString writePicture(const std::string& path) {
    QImage picture(4, 4, QImage::Format_RGB32);
    picture.fill(Qt::red);
    picture.save(QString::fromStdString(path), "PNG");
    return QString::fromStdString(path);
}

QVariant evaluate(QWebEnginePage* page, const QString& script) {
    QVariant result;
    bool done = false;
    page->runJavaScript(script, [&](const QVariant& v) {
        result = v;
        done = true;
    });
    waitUntil([&] { return done; }, 5000);
    return result;
}

class WebViewerTest : public ::testing::Test {
protected:
    void SetUp() override {
        viewer = platform::makeViewer(platform::ViewerKind::Web, &window);
        ASSERT_NE(viewer, nullptr);
        viewer->setStatusHandler([this](const QString& text) { status = text; });
        window.resize(400, 300);
        window.show();
    }
    QWebEnginePage* page() { return static_cast<QWebEngineView*>(viewer->widget())->page(); }

    // Shows the page and waits until its script has filled window.results with every key.
    QVariantMap showAndCollect(const std::string& html, int keys) {
        const std::string file = home.tmp("page.htm");
        testing_support::writeFile(file, html);
        bool loaded = false;
        QObject context;
        QObject::connect(page(), &QWebEnginePage::loadFinished, &context, [&](bool) { loaded = true; });
        EXPECT_TRUE(viewer->showFile(QString::fromStdString(file)));
        EXPECT_TRUE(waitUntil([&] { return loaded; }, 20000));
        QVariantMap results;
        waitUntil([&] {
            results = evaluate(page(), QStringLiteral("window.results || {}")).toMap();
            return results.size() >= keys;
        }, 10000);
        return results;
    }

    ScopedProgramFolder home;
    TempDir outside;
    QWidget window;
    std::unique_ptr<platform::Viewer> viewer;
    QString status;
};

TEST_F(WebViewerTest, LibraryPageLoadsOnlyItselfAndTheTemporaryFolder) {
    CountingServer server;
    writePicture(home.tmp("inside.png"));
    const QString outsidePicture = writePicture(outside.file("outside.png"));
    QFile::link(outsidePicture, QString::fromStdString(home.tmp("link.png")));  // a way out
    const std::string html =
        "<html><body><script>window.results = {};"
        "function mark(k, v) { window.results[k] = v; }</script>"
        "<img src='inside.png' onload=\"mark('inside','ok')\" onerror=\"mark('inside','blocked')\">"
        "<img src='data:image/gif;base64,R0lGODlhAQABAAAAACwAAAAAAQABAAA=' onload=\"mark('data','ok')\" "
        "onerror=\"mark('data','blocked')\">"
        "<img src='link.png' onload=\"mark('link','ok')\" onerror=\"mark('link','blocked')\">"
        "<img src='" + QUrl::fromLocalFile(outsidePicture).toString().toStdString() +
        "' onload=\"mark('outside','ok')\" onerror=\"mark('outside','blocked')\">"
        "<img src='" + server.url("r.png").toStdString() +
        "' onload=\"mark('remote','ok')\" onerror=\"mark('remote','blocked')\">"
        "<script>fetch('" + server.url("f").toStdString() +
        "').then(() => mark('fetch','ok'), () => mark('fetch','blocked'));"
        "fetch('file:///etc/hostname').then(() => mark('localfetch','ok'), () => mark('localfetch','blocked'));"
        "</script></body></html>";
    const QVariantMap results = showAndCollect(html, 7);
    EXPECT_EQ(results.value("inside").toString(), "ok");
    EXPECT_EQ(results.value("data").toString(), "ok");
    EXPECT_EQ(results.value("outside").toString(), "blocked");
    EXPECT_EQ(results.value("link").toString(), "blocked");
    EXPECT_EQ(results.value("remote").toString(), "blocked");
    EXPECT_EQ(results.value("fetch").toString(), "blocked");
    EXPECT_EQ(results.value("localfetch").toString(), "blocked");
    EXPECT_EQ(server.connections, 0);
}

TEST_F(WebViewerTest, LinkFollowedInLibraryPageIsRefusedBeforeTheNetwork) {
    CountingServer server;
    const QUrl away(server.url("away"));
    // The page does ask for the address: its load starts and fails as refused by the guard.
    bool asked = false, refused = false;
    int why = 0;
    QWebEngineLoadingInfo::ErrorDomain where = QWebEngineLoadingInfo::NoErrorDomain;
    QObject context;
    QObject::connect(page(), &QWebEnginePage::loadingChanged, &context, [&](const QWebEngineLoadingInfo& info) {
        if (info.url() != away) return;
        if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus) asked = true;
        if (info.status() == QWebEngineLoadingInfo::LoadFailedStatus) {
            refused = true;
            why = info.errorCode();
            where = info.errorDomain();
        }
    });
    const std::string html = "<html><body><script>window.results = {done: 1};"
                             "setTimeout(() => { location.href = '" + away.toString().toStdString() +
                             "'; }, 0);</script></body></html>";
    showAndCollect(html, 1);
    ASSERT_TRUE(waitUntil([&] { return refused; }, 20000));
    EXPECT_TRUE(asked);
    // Refused inside the browser engine: blocked by the request guard (-20) or network access
    // denied (-138), never a connection error of a request that went out.
    EXPECT_EQ(where, QWebEngineLoadingInfo::ConnectionErrorDomain) << int(where);
    EXPECT_TRUE(why == -20 || why == -138) << why;
    EXPECT_EQ(server.connections, 0);
}

TEST_F(WebViewerTest, LinksForANewWindowOpenInPlace) {
    testing_support::writeFile(home.tmp("second.htm"), "<html><head><title>second</title></head></html>");
    const std::string html = "<html><body><a id='go' href='second.htm' target='_blank'>go</a>"
                             "<script>window.results = {ready: 1};</script></body></html>";
    showAndCollect(html, 1);
    // A click of the user's: scripts may not open windows by themselves.
    const QVariantList box = evaluate(page(), QStringLiteral(
        "(() => { const r = document.getElementById('go').getBoundingClientRect();"
        " return [r.left + r.width / 2, r.top + r.height / 2]; })()")).toList();
    ASSERT_EQ(box.size(), 2);
    const QPointF at(box[0].toDouble(), box[1].toDouble());
    QWidget* input = viewer->widget()->focusProxy() ? viewer->widget()->focusProxy() : viewer->widget();
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent click(type, at, input->mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(input, &click);
    }
    EXPECT_TRUE(waitUntil([&] { return page()->title() == "second"; }, 10000));
}

TEST_F(WebViewerTest, WebAddressOfALinkMayUseTheNetwork) {
    CountingServer server;
    bool loaded = false;
    QObject context;
    ASSERT_TRUE(viewer->showUrl(server.url("index.html")));
    QObject::connect(page(), &QWebEnginePage::loadFinished, &context, [&](bool ok) { loaded = ok; });
    EXPECT_TRUE(waitUntil([&] { return loaded; }, 20000));
    EXPECT_GT(server.connections, 0);
    EXPECT_EQ(page()->title(), "served");
}

TEST_F(WebViewerTest, PagesStoredUnderOtherHtmlExtensionsAreRendered) {
    for (const char* name : {"page.asp", "page.aspx", "page.frm", "page.htm"}) {
        testing_support::writeFile(home.tmp(name), "<html><head><title>rendered</title></head><body>x</body></html>");
        bool loaded = false;
        QObject context;
        QObject::connect(page(), &QWebEnginePage::loadFinished, &context, [&](bool) { loaded = true; });
        ASSERT_TRUE(viewer->showFile(QString::fromStdString(home.tmp(name))));
        EXPECT_TRUE(waitUntil([&] { return loaded; }, 20000)) << name;
        EXPECT_EQ(page()->title(), "rendered") << name;
    }
}

TEST_F(WebViewerTest, RefusesWhatItCannotShow) {
    EXPECT_FALSE(viewer->showFile(QString::fromStdString(home.tmp("missing.htm"))));
    EXPECT_FALSE(status.isEmpty());
    EXPECT_FALSE(viewer->showUrl("mailto:someone@example.org"));
    // RealMedia files carry the extensions of the web-page family, but are no pages.
    testing_support::writeFile(home.tmp("movie.rmvb"), std::string(".RMF\0\0\0", 7));
    status.clear();
    EXPECT_FALSE(viewer->showFile(QString::fromStdString(home.tmp("movie.rmvb"))));
    EXPECT_TRUE(status.contains("movie.rmvb"));
}

}  // namespace
#endif
