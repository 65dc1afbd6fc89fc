#include "platform/viewer_manual.h"
#include "support/temp_dir.h"

#include <QDir>

#include <gtest/gtest.h>

using testing_support::TempDir;

TEST(UserManual, PrefersTheDocumentThenTheHtmlAndIsEmptyWithoutEither) {
    TempDir app;
    const QString folder = QString::fromStdString(app.path());
    // The test program's own folder holds no manual.
    EXPECT_TRUE(platform::userManualPath(folder).isEmpty());
    testing_support::writeFile(app.file("VYNEBrowser_UserManual.html"), "<html></html>");
    EXPECT_EQ(platform::userManualPath(folder), QDir(folder).filePath("VYNEBrowser_UserManual.html"));
    testing_support::writeFile(app.file("VYNEBrowser_UserManual.doc"), "doc");
    EXPECT_EQ(platform::userManualPath(folder), QDir(folder).filePath("VYNEBrowser_UserManual.doc"));
}
