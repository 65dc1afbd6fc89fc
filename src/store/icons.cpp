// The icon registry: one provider of document images per icon size.
#include "store/ctreebook.h"

namespace store {

int ctreebook::addImgList(int size, IconProvider* provider, const std::string& path, int type) {
    imgLists_[size] = ImgEntry{provider, path, type};
    return static_cast<int>(std::distance(imgLists_.begin(), imgLists_.find(size))) + 1;
}

IconProvider* ctreebook::getImgList(int size) const {
    auto it = imgLists_.find(size == 0 ? imgSize_ : size);
    return it == imgLists_.end() ? nullptr : it->second.provider;
}

std::string ctreebook::imgPath(int size) const {
    auto it = imgLists_.find(size == 0 ? imgSize_ : size);
    return it == imgLists_.end() ? std::string() : it->second.path;
}

int ctreebook::iconType(int size) const {
    auto it = imgLists_.find(size == 0 ? imgSize_ : size);
    return it == imgLists_.end() ? 0 : it->second.type;
}

std::string ctreebook::iconIndex(const std::string& format, int size) {
    IconProvider* provider = getImgList(size);
    return provider ? provider->iconKey(format) : std::string();
}

}  // namespace store
