#include "platform/viewer.h"
#include "support/temp_dir.h"
#include "viewer_test_support.h"
#include "vyne_config.h"

#include <gtest/gtest.h>

#if VYNE_WITH_MULTIMEDIA
#include <QMediaPlayer>
#include <QWidget>
#include <QtEndian>

#include <cmath>

using testing_support::TempDir;

namespace {

// A short mono 8 kHz 16-bit PCM WAV file with a tone.
std::string toneWav(int samples) {
    auto le32 = [](quint32 v) { std::string s(4, '\0'); qToLittleEndian(v, s.data()); return s; };
    auto le16 = [](quint16 v) { std::string s(2, '\0'); qToLittleEndian(v, s.data()); return s; };
    std::string data;
    for (int i = 0; i < samples; ++i) data += le16(quint16(qint16(8000 * std::sin(i * 0.3))));
    return "RIFF" + le32(36 + quint32(data.size())) + "WAVEfmt " + le32(16) + le16(1) + le16(1) + le32(8000) +
           le32(16000) + le16(2) + le16(16) + "data" + le32(quint32(data.size())) + data;
}

TEST(MediaViewer, AcceptsAudioAndNonsenseWithoutCrashing) {
    TempDir tmp;
    QWidget window;
    auto viewer = platform::makeViewer(platform::ViewerKind::Media, &window);
    ASSERT_NE(viewer, nullptr);
    QString status;
    viewer->setStatusHandler([&](const QString& text) { status = text; });
    testing_support::writeFile(tmp.file("tone.wav"), toneWav(4000));
    testing_support::writeFile(tmp.file("noise.mp4"), "not a movie at all");
    window.show();

    auto* player = viewer->widget()->findChild<QMediaPlayer*>();
    ASSERT_NE(player, nullptr);
    // The tone is taken: its media is read (loaded, playing or played) without an error.
    const auto tookTone = [&] {
        const auto s = player->mediaStatus();
        return s == QMediaPlayer::LoadedMedia || s == QMediaPlayer::BufferingMedia ||
               s == QMediaPlayer::BufferedMedia || s == QMediaPlayer::EndOfMedia;
    };
    EXPECT_TRUE(viewer->showFile(QString::fromStdString(tmp.file("tone.wav"))));
    EXPECT_FALSE(viewer->widget()->isHidden());
    EXPECT_TRUE(waitUntil(tookTone, 10000)) << int(player->mediaStatus());
    EXPECT_EQ(player->error(), QMediaPlayer::NoError) << player->errorString().toStdString();

    EXPECT_TRUE(viewer->showFile(QString::fromStdString(tmp.file("noise.mp4"))));
    EXPECT_TRUE(waitUntil([&] { return status.contains("noise.mp4"); }, 5000));

    viewer->hideViewer();
    EXPECT_TRUE(viewer->widget()->isHidden());
    EXPECT_FALSE(viewer->showFile(QString::fromStdString(tmp.file("missing.mp3"))));
    // Going away while playing.
    EXPECT_TRUE(viewer->showFile(QString::fromStdString(tmp.file("tone.wav"))));
    EXPECT_TRUE(waitUntil(tookTone, 10000)) << int(player->mediaStatus());
    viewer.reset();
}

}  // namespace
#endif
