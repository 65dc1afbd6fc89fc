// Picture1: shows one picture on black, fitted to the pane (scaled smoothly) or at its own
// size. It takes pictures dropped from other programs, reports drags with the left button (the
// window moves the picture), and offers its popup menu on any other button.
#pragma once

#include <QImage>
#include <QMimeData>
#include <QWidget>
#include <functional>

namespace browser {

class PicturePane : public QWidget {
    Q_OBJECT
public:
    explicit PicturePane(QWidget* parent = nullptr);

    // A null image empties the pane.
    void setPicture(const QImage& image);
    const QImage& picture() const { return image_; }
    bool hasPicture() const { return !image_.isNull(); }

    // Own size: drawn at the picture's size with its top-left corner at origin (0, 0 or left
    // and above the pane, for a picture larger than the pane); otherwise fitted.
    void setOwnSize(bool on);
    bool ownSize() const { return ownSize_; }
    void setOrigin(QPoint origin);
    QPoint origin() const { return origin_; }

    // Shows the picture carried by dropped data (picture data, or the first of a list of
    // files); false when it carries none.
    bool takeDrop(const QMimeData* data);

    // Called with the dropped picture (already shown).
    std::function<void()> onDropped;
    // Called while the left button drags, with how far the pointer moved since the last call.
    std::function<void(const QPoint&)> onDragged;
    // Called for a press of any button but the left one, at the global position.
    std::function<void(const QPoint&)> onMenu;
    // Called for a double click.
    std::function<void()> onDoubleClick;

protected:
    void paintEvent(QPaintEvent*) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void dragTo(const QPoint& globalPos);

    QImage image_;
    QImage fitted_;  // the picture scaled for the pane's size as painted last
    bool ownSize_ = false;
    QPoint origin_;
    QPoint grab_;  // global position of the pointer as the drag last moved the picture
    bool dragging_ = false;
};

}  // namespace browser
