// Document images by format from the MIME database, the way a file manager shows them.
//
// iconKey(format) answers the key the controls show an image by: "path" for classes (the
// folder image) and the lower-case format for documents. The sort images "up" and "down" of
// the list headers come from here too.
#pragma once

#include "store/controls.h"

#include <QIcon>
#include <QString>
#include <string>
#include <unordered_map>

namespace platform {

class MimeIconProvider : public store::IconProvider {
public:
    explicit MimeIconProvider(int size = 16) : size_(size) {}

    std::string iconKey(const std::string& format) override;
    // The image of a key; an unknown key gets the image of that format.
    QIcon icon(const std::string& key);
    int size() const { return size_; }

private:
    QIcon make(const QString& key) const;

    int size_;
    std::unordered_map<std::string, QIcon> icons_;
};

}  // namespace platform
