// The media viewer: audio and video files, with a play/pause button and a position slider.
#include "vyne_config.h"
#if VYNE_WITH_MULTIMEDIA

#include "platform/viewer_kinds.h"

#include <QAudioOutput>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QMediaPlayer>
#include <QPointer>
#include <QSlider>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>
#include <QVideoWidget>

namespace platform {
namespace {

class MediaViewer : public Viewer {
public:
    explicit MediaViewer(QWidget* parent) : pane_(new QWidget(parent)) {
        pane_->setObjectName(QStringLiteral("WMP1"));
        video_ = new QVideoWidget(pane_);
        playPause_ = new QToolButton(pane_);
        position_ = new QSlider(Qt::Horizontal, pane_);
        auto* controls = new QHBoxLayout;
        controls->addWidget(playPause_);
        controls->addWidget(position_, 1);
        auto* layout = new QVBoxLayout(pane_);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(video_, 1);
        layout->addLayout(controls);

        player_ = new QMediaPlayer(pane_);
        audio_ = new QAudioOutput(pane_);
        player_->setAudioOutput(audio_);
        player_->setVideoOutput(video_);

        QObject::connect(playPause_, &QToolButton::clicked, pane_, [this] {
            if (player_->playbackState() == QMediaPlayer::PlayingState) player_->pause();
            else player_->play();
        });
        QObject::connect(player_, &QMediaPlayer::playbackStateChanged, pane_, [this] { showPlayState(); });
        QObject::connect(player_, &QMediaPlayer::durationChanged, pane_,
                         [this](qint64 ms) { position_->setRange(0, int(ms / 100)); });
        QObject::connect(player_, &QMediaPlayer::positionChanged, pane_, [this](qint64 ms) {
            if (!position_->isSliderDown()) position_->setValue(int(ms / 100));
        });
        QObject::connect(position_, &QSlider::sliderMoved, pane_,
                         [this](int tenths) { player_->setPosition(qint64(tenths) * 100); });
        QObject::connect(player_, &QMediaPlayer::errorOccurred, pane_,
                         [this](QMediaPlayer::Error, const QString& text) {
                             reportStatus(QStringLiteral("%1 cannot be played: %2").arg(shownName_, text));
                         });
        showPlayState();
        pane_->hide();
    }
    ~MediaViewer() override { delete pane_.data(); }

    // False when the system has no media back end to play with.
    bool available() const { return player_->isAvailable(); }

    ViewerKind kind() const override { return ViewerKind::Media; }
    QWidget* widget() override { return pane_; }

    bool showFile(const QString& path) override {
        if (!isShowableFile(path)) return false;
        const QFileInfo info(path);
        player_->stop();
        shownName_ = info.fileName();
        player_->setSource(QUrl::fromLocalFile(info.absoluteFilePath()));
        pane_->show();
        pane_->raise();
        player_->play();
        return true;
    }

    void hideViewer() override {
        player_->stop();
        player_->setSource(QUrl());
        pane_->hide();
    }

private:
    void showPlayState() {
        const bool playing = player_->playbackState() == QMediaPlayer::PlayingState;
        playPause_->setIcon(pane_->style()->standardIcon(playing ? QStyle::SP_MediaPause : QStyle::SP_MediaPlay));
    }

    QPointer<QWidget> pane_;
    QVideoWidget* video_;
    QToolButton* playPause_;
    QSlider* position_;
    QMediaPlayer* player_;
    QAudioOutput* audio_;
    QString shownName_;
};

}  // namespace

std::unique_ptr<Viewer> makeMediaViewer(QWidget* parent) {
    auto viewer = std::make_unique<MediaViewer>(parent);
    if (!viewer->available()) return nullptr;
    return viewer;
}

}  // namespace platform

#endif
