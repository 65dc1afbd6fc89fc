#include "platform/viewer.h"
#include "support/temp_dir.h"
#include "vyne_config.h"

#include <gtest/gtest.h>

#if VYNE_WITH_PDF
#include <QPainter>
#include <QPdfWriter>
#include <QWidget>

using testing_support::TempDir;

namespace {

QString writeTinyPdf(const std::string& path) {
    QPdfWriter writer(QString::fromStdString(path));
    QPainter painter(&writer);
    painter.drawText(100, 100, QStringLiteral("VYNE"));
    painter.end();
    return QString::fromStdString(path);
}

class PdfViewerTest : public ::testing::Test {
protected:
    void SetUp() override {
        viewer = platform::makeViewer(platform::ViewerKind::Pdf, &window);
        ASSERT_NE(viewer, nullptr);
        viewer->setStatusHandler([this](const QString& text) { status = text; });
    }
    TempDir tmp;
    QWidget window;
    std::unique_ptr<platform::Viewer> viewer;
    QString status;
};

TEST_F(PdfViewerTest, ShowsAPdfAndHidesAgain) {
    ASSERT_TRUE(viewer->showFile(writeTinyPdf(tmp.file("tiny.pdf"))));
    EXPECT_FALSE(viewer->widget()->isHidden());
    viewer->hideViewer();
    EXPECT_TRUE(viewer->widget()->isHidden());
}

TEST_F(PdfViewerTest, GoesAwayWhileShowingADocument) {
    ASSERT_TRUE(viewer->showFile(writeTinyPdf(tmp.file("shown.pdf"))));
    viewer.reset();
}

TEST_F(PdfViewerTest, BrokenFilesFailWithAPlainStatus) {
    const std::string good = testing_support::readFile(writeTinyPdf(tmp.file("good.pdf")).toStdString());
    const std::pair<const char*, std::string> cases[] = {
        {"garbage.pdf", "%PDF-1.4\nthis is not really a PDF document\n"},
        {"empty.pdf", ""},
        {"truncated.pdf", good.substr(0, good.size() / 3)},
    };
    for (const auto& [name, bytes] : cases) {
        testing_support::writeFile(tmp.file(name), bytes);
        status.clear();
        EXPECT_FALSE(viewer->showFile(QString::fromStdString(tmp.file(name)))) << name;
        EXPECT_TRUE(status.contains(name)) << name << ": " << status.toStdString();
    }
    EXPECT_FALSE(viewer->showFile(QString::fromStdString(tmp.file("missing.pdf"))));
}

}  // namespace
#endif
