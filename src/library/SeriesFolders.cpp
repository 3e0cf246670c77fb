#include "library/SeriesFolders.h"

#include <QCollator>
#include <QDir>
#include <QLocale>

#include <algorithm>
#include <vector>

#include <sys/types.h>
#include <unistd.h>

namespace {

QFileInfoList FolderEntries(const QString& folder) {
    // The directory's own order, with hidden and system entries, as a
    // find-first/find-next walk with every attribute sees them.
    return QDir(folder).entryInfoList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Unsorted);
}

bool InGroup(uint groupId) {
    if (groupId == ::getegid())
        return true;
    const int count = ::getgroups(0, nullptr);
    if (count <= 0)
        return false;
    std::vector<gid_t> groups(static_cast<size_t>(count));
    const int got = ::getgroups(count, groups.data());
    return std::find(groups.begin(), groups.begin() + std::max(got, 0), groupId) !=
           groups.begin() + std::max(got, 0);
}

// Read-only is judged by the mode bits that apply to the user, not by
// access(), so that a folder without write permission is read-only for the
// superuser as well.
bool UserMayWrite(const QFileInfo& entry) {
    const QFile::Permissions permissions = entry.permissions();
    if (entry.ownerId() == ::geteuid())
        return permissions.testFlag(QFile::WriteOwner);
    if (InGroup(entry.groupId()))
        return permissions.testFlag(QFile::WriteGroup);
    return permissions.testFlag(QFile::WriteOther);
}

} // namespace

bool IsSeriesFolder(const QFileInfo& entry) {
    return entry.isDir() && !entry.isSymLink() && !entry.fileName().startsWith(QLatin1Char('.')) &&
           UserMayWrite(entry);
}

bool SeriesNameLess(const QString& a, const QString& b) {
    static const QCollator collator = [] {
        QCollator c{QLocale()};
        c.setCaseSensitivity(Qt::CaseInsensitive);
        return c;
    }();
    return collator.compare(a, b) < 0;
}

QStringList SeriesNames(const QString& root) {
    QStringList names;
    if (root.isEmpty())
        return names;
    for (const QFileInfo& entry : FolderEntries(root)) {
        if (IsSeriesFolder(entry))
            names.append(entry.fileName());
    }
    // Names equal but for case keep the order the folder gave them, as the
    // sorted list box inserts them one after the other.
    std::stable_sort(names.begin(), names.end(), SeriesNameLess);
    return names;
}

QStringList SeriesPicturePaths(const QString& seriesFolder) {
    QStringList paths;
    if (seriesFolder.isEmpty())
        return paths;
    for (const QFileInfo& entry : FolderEntries(seriesFolder)) {
        if (!IsSeriesFolder(entry))
            paths.append(seriesFolder + entry.fileName());
    }
    return paths;
}

int FindItemByPath(const QStringList& items, const QString& path) {
    const QLocale locale;
    const QString wanted = locale.toUpper(path);
    for (int i = 0; i < items.size(); ++i) {
        if (locale.toUpper(items.at(i)) == wanted)
            return i;
    }
    return -1;
}
