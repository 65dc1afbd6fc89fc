#include "platform/shell.h"
#include "platform/viewer_kinds.h"
#include "support/temp_dir.h"
#include "viewer_test_support.h"
#include "vyne_config.h"

#include <gtest/gtest.h>

#if VYNE_WITH_PDF
#include <QFile>
#include <QPdfDocument>
#include <QPdfView>
#include <QProcess>
#include <QStackedWidget>
#include <QWidget>

#include <vector>

using testing_support::TempDir;

namespace {

class OfficeViewerTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::setOsOpener([this](const QUrl& url) {
            handedToSystem.push_back(url);
            return true;
        });
    }
    void TearDown() override { platform::setOsOpener({}); }

    std::unique_ptr<platform::Viewer> make(const QString& program, int timeoutMs) {
        auto viewer = platform::makeOfficeViewer(&window, program, timeoutMs);
        if (viewer) viewer->setStatusHandler([this](const QString& text) { status = text; });
        return viewer;
    }

    static int shownPages(platform::Viewer& viewer) {
        auto* pane = static_cast<QStackedWidget*>(viewer.widget());
        auto* pdf = qobject_cast<QPdfView*>(pane->currentWidget());
        return pdf && pdf->document() ? pdf->document()->pageCount() : 0;
    }

    ScopedProgramFolder home;
    QWidget window;
    std::vector<QUrl> handedToSystem;
    QString status;
};

TEST_F(OfficeViewerTest, ConvertsAWordDocumentAndShowsItAsPdf) {
    const QString office = platform::findOfficeProgram();
    if (office.isEmpty()) GTEST_SKIP() << "LibreOffice is not installed";
    // A .doc made by LibreOffice itself from a small text file.
    TempDir source, profile;
    testing_support::writeFile(source.file("letter.txt"), "Dear reader,\nthis is a small document.\n");
    QProcess maker;
    maker.start(office, {"-env:UserInstallation=" + QUrl::fromLocalFile(QString::fromStdString(profile.path())).toString(),
                        "--headless", "--convert-to", "doc", "--outdir", QString::fromStdString(home.tmp("")),
                        QString::fromStdString(source.file("letter.txt"))});
    ASSERT_TRUE(maker.waitForFinished(90000));
    const QString doc = QString::fromStdString(home.tmp("letter.doc"));
    ASSERT_TRUE(QFile::exists(doc));

    auto viewer = make(office, 90000);
    ASSERT_NE(viewer, nullptr);
    ASSERT_TRUE(viewer->showFile(doc));
    EXPECT_TRUE(status.startsWith("Converting letter.doc"));  // the window is told at once
    ASSERT_TRUE(waitUntil([&] { return shownPages(*viewer) > 0; }, 90000)) << status.toStdString();
    EXPECT_TRUE(handedToSystem.empty());
    const QString converted = QString::fromStdString(home.tmp("letter.doc.pdf"));
    ASSERT_TRUE(QFile::exists(converted));
    EXPECT_FALSE(QFile::permissions(converted) & (QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther));
    viewer->hideViewer();
    EXPECT_TRUE(viewer->widget()->isHidden());
}

TEST_F(OfficeViewerTest, FailedOrHungConversionsGoToTheSystem) {
    testing_support::writeFile(home.tmp("hang.sh"), "#!/bin/sh\nsleep 30\n");
    QFile::setPermissions(QString::fromStdString(home.tmp("hang.sh")), QFile::ReadOwner | QFile::ExeOwner);
    const QString programs[] = {"/bin/false", "/bin/true", QString::fromStdString(home.tmp("hang.sh"))};
    testing_support::writeFile(home.tmp("sheet.xls"), "not really a spreadsheet");
    const QString sheet = QString::fromStdString(home.tmp("sheet.xls"));
    for (const QString& program : programs) {
        handedToSystem.clear();
        auto viewer = make(program, 300);
        ASSERT_NE(viewer, nullptr);
        ASSERT_TRUE(viewer->showFile(sheet));
        EXPECT_TRUE(waitUntil([&] { return !handedToSystem.empty(); }, 5000)) << program.toStdString();
        EXPECT_EQ(handedToSystem.at(0), QUrl::fromLocalFile(sheet));
        EXPECT_TRUE(status.contains("sheet.xls"));
    }
}

TEST_F(OfficeViewerTest, AbsentWithoutLibreOffice) {
    EXPECT_EQ(make(QString::fromStdString(home.tmp("no-soffice")), 1000), nullptr);
    EXPECT_EQ(make(QString(), 1000), nullptr);
}

}  // namespace
#endif
