#include "app/gUtils.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHash>
#include <QStandardPaths>

namespace {

QString ExistingFolder(QStandardPaths::StandardLocation location) {
    const QString path = QStandardPaths::writableLocation(location);
    if (path.isEmpty() || !QFileInfo(path).isDir())
        return {};
    return IncludeBackslash(path);
}

// Font ids added by RegisterFolderFonts, by file path, so that they can be removed again.
QHash<QString, int>& RegisteredFonts() {
    static QHash<QString, int> fonts;
    return fonts;
}

} // namespace

QString TrimBlanks(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first).unicode() <= 0x20)
        ++first;
    while (last > first && text.at(last - 1).unicode() <= 0x20)
        --last;
    return text.mid(first, last - first);
}

QString IncludeBackslash(const QString& path) {
    if (path.isEmpty() || path.endsWith(QLatin1Char('/')))
        return path;
    return path + QLatin1Char('/');
}

bool IsValidFileName(const QString& name) {
    static const QString refused = QStringLiteral(".\\/:*?\"<>|");
    for (const QChar c : name)
        if (refused.contains(c))
            return false;
    return true;
}

QString GetDesktopFolder() {
    return ExistingFolder(QStandardPaths::DesktopLocation);
}

QString GetDocumentsFolder() {
    return ExistingFolder(QStandardPaths::DocumentsLocation);
}

QString GetTempFolder() {
    const QString tmp = qEnvironmentVariable("TMPDIR");
    return IncludeBackslash(tmp.isEmpty() ? QStringLiteral("/tmp") : tmp);
}

void CollectFolderTree(const QString& folder, QStringList& files, QStringList& folders) {
    const QDir dir(folder);
    const QFileInfoList entries = dir.entryInfoList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Unsorted);
    for (const QFileInfo& entry : entries) {
        const QString path = entry.absoluteFilePath();
        if (entry.isDir() && !entry.isSymLink()) {
            folders.append(path);
            CollectFolderTree(path, files, folders);
        } else {
            files.append(path);
        }
    }
}

void DeleteTempTree(const QString& root) {
    QFileInfo rootInfo(root);
    if (rootInfo.isSymLink()) {
        QFile::remove(rootInfo.absoluteFilePath());
        return;
    }
    QStringList files;
    QStringList folders;
    CollectFolderTree(root, files, folders);
    for (auto it = files.crbegin(); it != files.crend(); ++it)
        QFile::remove(*it);
    QDir dir;
    for (auto it = folders.crbegin(); it != folders.crend(); ++it)
        dir.rmdir(*it);
    dir.rmdir(root);
}

void RegisterFolderFonts(const QString& folder, bool reg) {
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return;
    const QDir dir(folder);
    const QFileInfoList entries =
        dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::System, QDir::Unsorted);
    auto& fonts = RegisteredFonts();
    for (const QFileInfo& entry : entries) {
        const QString path = entry.absoluteFilePath();
        if (reg) {
            if (fonts.contains(path))
                continue;
            const int id = QFontDatabase::addApplicationFont(path);
            if (id >= 0)
                fonts.insert(path, id);
        } else if (fonts.contains(path)) {
            QFontDatabase::removeApplicationFont(fonts.take(path));
        }
    }
}
