#include "platform/viewer.h"
#include "vyne_config.h"

#include <QWidget>

#include <gtest/gtest.h>

TEST(MakeViewer, KindsThisBuildOrPlatformLacksAreAbsent) {
    QWidget window;
    EXPECT_EQ(platform::makeViewer(platform::ViewerKind::Flash, &window), nullptr);
    const std::pair<platform::ViewerKind, bool> built[] = {
        {platform::ViewerKind::Web, VYNE_WITH_WEBENGINE},
        {platform::ViewerKind::Media, VYNE_WITH_MULTIMEDIA},
        {platform::ViewerKind::Pdf, VYNE_WITH_PDF},
        {platform::ViewerKind::Office, VYNE_WITH_PDF},  // shows its conversions as PDF
    };
    for (const auto& [kind, compiledIn] : built) {
        auto viewer = platform::makeViewer(kind, &window);
        if (!compiledIn) EXPECT_EQ(viewer, nullptr);
        if (viewer) {
            EXPECT_EQ(viewer->kind(), kind);
            EXPECT_EQ(viewer->widget()->parentWidget(), &window);
            EXPECT_TRUE(viewer->widget()->isHidden());
        }
    }
}
