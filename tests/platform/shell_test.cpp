#include "platform/shell.h"
#include "support/temp_dir.h"
#include "util/hooks.h"

#include <QFile>

#include <gtest/gtest.h>

#include <vector>

using testing_support::TempDir;

namespace {

// Records what would have been handed to the system instead of launching anything.
class ShellTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::setOsOpener([this](const QUrl& url) {
            opened.push_back(url);
            return systemAnswers;
        });
    }
    void TearDown() override { platform::setOsOpener({}); }

    QString write(const std::string& name, const std::string& bytes) {
        testing_support::writeFile(dir.file(name), bytes);
        return QString::fromStdString(dir.file(name));
    }

    TempDir dir;
    std::vector<QUrl> opened;
    bool systemAnswers = true;
};

TEST_F(ShellTest, RefusesWhatWouldRunAProgram) {
    const std::pair<const char*, std::string> cases[] = {
        {"start.desktop", "[Desktop Entry]\nType=Application\nExec=xterm\n"},
        {"notes.txt", "# comment\n\n[Desktop Entry]\nExec=rm -rf ~\n"},    // disguised desktop entry
        {"run.sh", "echo hi\n"},                                          // by extension alone
        {"story.txt", "#!/bin/sh\necho gotcha\n"},                        // disguised script
        {"picture.jpg", std::string("\x7f" "ELF\x02\x01\x01", 7) + std::string(64, '\0')},  // disguised ELF
        {"setup.doc", "MZ\x90\x00" + std::string(60, '\0')},              // disguised PE
        {"tool.EXE", "anything"},
        {"macro.vbs", "MsgBox 1"},
    };
    for (const auto& [name, bytes] : cases) {
        const auto reason = platform::openWithOS(write(name, bytes));
        ASSERT_TRUE(reason.has_value()) << name;
        EXPECT_TRUE(reason->contains(name)) << reason->toStdString();
    }
    EXPECT_TRUE(opened.empty());
}

TEST_F(ShellTest, HandsOrdinaryDocumentsToTheSystem) {
    const QString document = write("story.rtf", "{\\rtf1 hello}");
    EXPECT_FALSE(platform::openWithOS(document).has_value());
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], QUrl::fromLocalFile(document));
    EXPECT_FALSE(platform::openWithOS(write("empty.xyz", "")).has_value());
}

TEST_F(ShellTest, ReportsMissingFilesAndSystemFailures) {
    EXPECT_TRUE(platform::openWithOS(QString::fromStdString(dir.file("gone.pdf"))).has_value());
    systemAnswers = false;
    const auto reason = platform::openWithOS(write("odd.abc", "data"));
    ASSERT_TRUE(reason.has_value());
    EXPECT_TRUE(reason->contains("odd.abc"));
}

}  // namespace

namespace {

TEST_F(ShellTest, UtilitiesOpenFilesThroughTheSameChecks) {
    platform::installShellHook();
    EXPECT_FALSE(util::openFile(write("run.sh", "echo").toStdString(), ""));
    EXPECT_TRUE(util::openFile(write("fine.rtf", "{\\rtf1}").toStdString(), ""));
    EXPECT_EQ(opened.size(), 1u);
    util::setOpenFileHook({});
}

}  // namespace
