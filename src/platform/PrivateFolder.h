#pragma once

#include <QString>

// Makes path (and any missing parents) a folder only this user may enter
// (mode 0700). False when it cannot be made, or when what lies there is a
// symbolic link or belongs to someone else: such a folder is never used.
bool MakePrivateFolder(const QString& path);
