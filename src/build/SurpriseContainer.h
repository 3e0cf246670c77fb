#pragma once

#include "build/SurpriseRecord.h"

#include <QByteArray>
#include <QString>

#include <stdexcept>

// Writing and reading the tail of a built surprise.

// Errors of the container's files (open, read, write) and damaged containers.
class ContainerError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The program's pseudo-random generator for the build tag: a 32-bit linear
// congruential generator whose state is 0 at process start and never seeded.
// Returns an integer from 0 to range - 1.
int NextBuildRandom(int range);
// Back to the start state (tests only).
void ResetBuildRandom();

// Appends to the engine copy at containerPath: the archive at archivePath
// with every byte + 42, streamed through one 65,536-byte buffer; then the
// record and its length. Fills record's EngineSize, ArchiveSize, BuildTime,
// BuildTag on the way (HasGoToUrl/GoToUrl are the caller's). Throws
// ContainerError; both files are closed on every path.
void AppendSurpriseData(const QString& containerPath, const QString& archivePath,
                        SurpriseRecord& record);

struct SurpriseContents {
    SurpriseRecord Record;
    QByteArray Archive; // the data archive, un-shifted
};

// Reads a container: the length word must be 415, the signature must match,
// and EngineSize + ArchiveSize + 417 must equal the file size, before any
// offset is trusted. maxArchiveSize bounds what is read into memory.
// Throws ContainerError.
SurpriseContents ReadSurpriseContainer(const QString& path,
                                       qint64 maxArchiveSize = qint64(256) << 20);
// The same over bytes in memory (the fuzz target's entry).
SurpriseContents ParseSurpriseContainer(const QByteArray& file,
                                        qint64 maxArchiveSize = qint64(256) << 20);
