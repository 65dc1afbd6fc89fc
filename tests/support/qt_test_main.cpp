// main() of the window tests: a real QApplication on the offscreen platform.
#include <QApplication>
#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 0);
    setenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu --no-sandbox", 0);
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
