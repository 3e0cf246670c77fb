#pragma once

#include <QFileInfo>
#include <QString>
#include <QStringList>

// The series of a picture library: the sub-folders of its root that carry
// exactly the directory attribute. On this platform that is a real folder
// (not a link) whose name does not start with a dot and which the user may
// write.

bool IsSeriesFolder(const QFileInfo& entry);

// True when a sorts before b in a series list: alphabetical, ignoring case.
bool SeriesNameLess(const QString& a, const QString& b);

// The series names under root in the series list's order; empty when root
// is missing or holds no series.
QStringList SeriesNames(const QString& root);

// Every entry of seriesFolder that LoadThumbnails hands to AddThumbnail, as
// full paths in the folder's own order: everything but series-like folders.
QStringList SeriesPicturePaths(const QString& seriesFolder);

// The first index whose item equals path ignoring case, or -1.
int FindItemByPath(const QStringList& items, const QString& path);
