#include "platform/icons.h"

#include <QApplication>
#include <QFileIconProvider>
#include <QMimeDatabase>
#include <QStyle>

namespace platform {

std::string MimeIconProvider::iconKey(const std::string& format) {
    std::string key;
    key.reserve(format.size());
    for (char c : format)
        if (c != ' ') key += (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
    icon(key);
    return key;
}

QIcon MimeIconProvider::icon(const std::string& key) {
    auto found = icons_.find(key);
    if (found == icons_.end()) found = icons_.emplace(key, make(QString::fromStdString(key))).first;
    return found->second;
}

QIcon MimeIconProvider::make(const QString& key) const {
    QStyle* style = QApplication::style();
    if (key == QLatin1String("up")) return style->standardIcon(QStyle::SP_ArrowUp);
    if (key == QLatin1String("down")) return style->standardIcon(QStyle::SP_ArrowDown);
    QFileIconProvider files;
    if (key == QLatin1String("path")) return files.icon(QFileIconProvider::Folder);
    const QMimeType mime =
        QMimeDatabase().mimeTypeForFile("document." + key, QMimeDatabase::MatchExtension);
    QIcon themed = QIcon::fromTheme(mime.iconName(), QIcon::fromTheme(mime.genericIconName()));
    return themed.isNull() ? files.icon(QFileIconProvider::File) : themed;
}

}  // namespace platform
