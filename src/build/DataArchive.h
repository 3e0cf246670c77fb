#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <stdexcept>

// The ZIP archives of the program, on libarchive: the data archive inside
// every surprise (ZipCrypto with kDataArchivePassword) and the archive of
// compressed delivery (no password). Deflate level 9, entries named by the
// file's bare name with its modification time.

extern const QString kDataArchivePassword; // Kq4!)=

// True when this libarchive can write ZipCrypto archives (the build's
// library check).
bool CanWriteEncryptedZip();

// Adds files, in order, under their bare names to archivePath; an existing
// archive keeps its other entries and has entries of the same names
// replaced. The new archive is written beside the old one and renamed over
// it. True only when every file was added. Never throws for file errors.
bool MakeArchive(const QStringList& files, const QString& archivePath, const QString& password);

struct ArchiveEntry {
    QString Name;
    qint64 Size = 0;
    bool Encrypted = false;
    QByteArray Data; // only when read with data
};

class ArchiveError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Lists (withData false) or reads the entries of a ZIP archive in memory.
// An entry whose name is not a bare file name, or whose size exceeds
// maxEntrySize, or any damage or wrong password, throws ArchiveError.
QList<ArchiveEntry> ReadArchive(const QByteArray& zip, const QString& password, bool withData,
                                qint64 maxEntrySize = qint64(64) << 20);
