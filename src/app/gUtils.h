#pragma once

#include <QString>
#include <QStringList>

// Path routines shared by the whole program. Folder paths end in the
// platform separator; the routine names are the program's own.

// text without the blanks and control characters at both ends.
QString TrimBlanks(const QString& text);

// Empty stays empty; otherwise the path with one separator at its end.
QString IncludeBackslash(const QString& path);

// True when name holds none of . \ / : * ? " < > |. The dot is refused
// because callers append the extension themselves. Empty is valid.
bool IsValidFileName(const QString& name);

// The user's desktop folder, or empty when it does not exist.
QString GetDesktopFolder();

// The user's documents folder, or empty when it does not exist.
QString GetDocumentsFolder();

// $TMPDIR, else /tmp, ending in the separator.
QString GetTempFolder();

// Depth-first walk below folder in the directory's own order. Links are
// listed as files and never followed.
void CollectFolderTree(const QString& folder, QStringList& files, QStringList& folders);

// Removes root and everything below it that can be removed, silently.
void DeleteTempTree(const QString& root);

// Adds (reg true) or removes (reg false) every file of folder as a font of
// this process. Files that are not fonts are simply not taken.
void RegisterFolderFonts(const QString& folder, bool reg);
