#include "platform/shell.h"

#include "util/hooks.h"

#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QSet>

namespace platform {
namespace {

// Extensions whose files the system runs (or installs, or executes through an interpreter)
// rather than shows.
const QSet<QString>& runnableExtensions() {
    static const QSet<QString> set = {
        "desktop", "sh", "bash", "zsh", "ksh", "csh", "fish", "command", "run", "bin", "appimage",
        "py", "pyw", "pyc", "pl", "rb", "tcl", "lua", "jar", "elf", "exe", "com", "bat", "cmd",
        "msi", "msp", "scr", "pif", "cpl", "hta", "vbs", "vbe", "js", "jse", "wsf", "wsh", "ps1",
        "psm1", "reg", "lnk", "inf", "msc", "gadget", "application",
    };
    return set;
}

// What the first bytes say about a file that would run when opened, or empty.
QString runnableContent(const QByteArray& head) {
    if (head.startsWith("\x7f" "ELF")) return QStringLiteral("an ELF executable");
    if (head.startsWith("MZ")) return QStringLiteral("a Windows executable");
    if (head.startsWith("#!")) return QStringLiteral("a script");
    static const QByteArray machO[] = {QByteArray("\xfe\xed\xfa\xce", 4), QByteArray("\xfe\xed\xfa\xcf", 4),
                                       QByteArray("\xce\xfa\xed\xfe", 4), QByteArray("\xcf\xfa\xed\xfe", 4),
                                       QByteArray("\xca\xfe\xba\xbe", 4)};
    for (const auto& magic : machO)
        if (head.startsWith(magic)) return QStringLiteral("a Mach-O executable");
    // A desktop entry may begin with a byte-order mark, blank lines or comments.
    for (const QByteArray& line : head.split('\n'))
        if (line.trimmed().endsWith("[Desktop Entry]")) return QStringLiteral("a desktop entry");
    return {};
}

bool systemOpen(const QUrl& url) { return QDesktopServices::openUrl(url); }

OsOpener& opener() {
    static OsOpener current = systemOpen;
    return current;
}

}  // namespace

std::optional<QString> refusalReason(const QString& path) {
    const QFileInfo info(path);
    const QString name = info.fileName();
    if (runnableExtensions().contains(info.suffix().toLower()))
        return QStringLiteral("%1 was not opened: files of this type run programs.").arg(name);
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        const QString what = runnableContent(file.read(4096));
        if (!what.isEmpty()) return QStringLiteral("%1 was not opened: it is %2.").arg(name, what);
    }
    return std::nullopt;
}

std::optional<QString> openWithOS(const QString& path) {
    if (!QFileInfo::exists(path)) return QStringLiteral("File %1 not exist.").arg(path);
    if (auto reason = refusalReason(path)) return reason;
    if (!opener()(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath())))
        return QStringLiteral("The system could not open %1.").arg(QFileInfo(path).fileName());
    return std::nullopt;
}

std::optional<QString> openAddressWithOS(const QString& address) {
    const QUrl url = QUrl::fromUserInput(address.trimmed());
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != u"http" && scheme != u"https"))
        return QStringLiteral("%1 is not a web address.").arg(address);
    if (!opener()(url)) return QStringLiteral("The system could not open %1.").arg(address);
    return std::nullopt;
}

void installShellHook() {
    util::setOpenFileHook([](const std::string& file, const std::string&) {
        return !openWithOS(QString::fromStdString(file)).has_value();
    });
}

void setOsOpener(OsOpener replacement) {
    opener() = replacement ? std::move(replacement) : OsOpener(systemOpen);
}

}  // namespace platform
