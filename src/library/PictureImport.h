#pragma once

#include <QDateTime>
#include <QString>

// Copying pictures into a library series: the target folder, the
// time-stamped names and the filter for files dropped from the file manager.

// The extensions a picture list takes from a drop.
QString PictureDropPatterns();

// The open dialogs' filter list, in the form SetImportFilter takes.
QString PictureDialogFilter();

// The extension as written, with its dot ("a.JPG" gives ".JPG"); empty when
// the file name has no dot.
QString FileExtension(const QString& path);

// True when "*" + the lower-case extension + ";" occurs in patterns.
bool AcceptsDroppedFile(const QString& path, const QString& patterns);

// "yymmddhhnnsszzz": 15 digits, hours 00 to 23.
QString ImportTimeStamp(const QDateTime& when);

// "yyyymmddhhnnsszzz": 17 digits, the names of edited pictures.
QString EditTimeStamp(const QDateTime& when);

// folder + the time stamp of when + source's extension. When a file of that
// name (in any letter case) is already in folder, the milliseconds advance
// until the name is free, so nothing in the library is ever replaced.
QString FreeImportName(const QString& folder, const QString& source, const QDateTime& when);

// The series folder an import goes to: the selected series' folder, or, when
// the library has none (seriesName empty), root + "Custom/", created with
// any missing parent.
QString ImportSeriesFolder(const QString& root, const QString& seriesName);

// Copies source into folder under a free time-stamped name of the current
// time. The new file's path, or empty when the copy failed.
QString CopyIntoSeries(const QString& source, const QString& folder);
