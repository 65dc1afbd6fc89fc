// Picture1: shows one picture on black, fitted to the pane or at its own size. It takes
// pictures dropped from other programs, can be dragged when larger than the pane, and offers
// its popup menu on any other button.
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

    // Decodes picture bytes; false (and an empty pane) when they are no picture.
    bool setPictureBytes(const QByteArray& bytes);
    void setPicture(const QImage& image);
    void clearPicture();
    const QImage& picture() const { return image_; }
    bool hasPicture() const { return !image_.isNull(); }

    // Own size: drawn at the picture's size from the top-left corner; otherwise fitted.
    void setOwnSize(bool on);
    bool ownSize() const { return ownSize_; }

    // Shows the picture carried by dropped data (picture data, or the first of a list of
    // files); false when it carries none.
    bool takeDrop(const QMimeData* data);

    // Called with the dropped picture (already shown).
    std::function<void()> onDropped;
    // Called for a press of any button but the left one, at the global position.
    std::function<void(const QPoint&)> onMenu;
    // Called for a double click.
    std::function<void()> onDoubleClick;

protected:
    void paintEvent(QPaintEvent*) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QImage image_;
    bool ownSize_ = false;
    QPoint grab_;
    bool dragging_ = false;
};

}  // namespace browser
