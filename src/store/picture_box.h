// Where the store shows a stored picture: the window's picture box with its image loader.
// The windows implement it over their picture widgets; tests record what they are given.
#pragma once

#include <cstdint>
#include <vector>

namespace store {

class PictureBox {
public:
    virtual ~PictureBox() = default;
    // The inner width and height of the box.
    virtual int innerWidth() const = 0;
    virtual int innerHeight() const = 0;
    // Builds a picture from the image bytes with the image loader, scaled to width x height
    // (-1 x -1: the image's own size), hands loaderOption to the loader and shows it.
    virtual void showPicture(const std::vector<uint8_t>& image, int width, int height,
                             int32_t loaderOption) = 0;
};

}  // namespace store
