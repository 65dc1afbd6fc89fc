#include "platform/icons.h"

#include <QApplication>
#include <QFileIconProvider>
#include <QMimeDatabase>
#include <QStyle>

namespace platform {

std::string MimeIconProvider::iconKey(const std::string& format) {
    const std::string key = QString::fromStdString(format).trimmed().toLower().toStdString();
    icon(key);
    return key;
}

QIcon MimeIconProvider::icon(const std::string& key) {
    const QString name = QString::fromStdString(key);
    auto found = icons_.constFind(name);
    if (found != icons_.constEnd()) return *found;
    return *icons_.insert(name, make(name));
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
