#include "build/SurpriseContainer.h"

#include <QDateTime>
#include <QFile>

#include <algorithm>
#include <vector>

namespace {

std::uint32_t gBuildRandomState = 0;

constexpr qint64 kAppendBlockSize = 65536;

[[noreturn]] void Fail(const QString& message) {
    throw ContainerError(message.toStdString());
}

[[noreturn]] void FailFile(const QFile& file, const QString& action) {
    Fail(QStringLiteral("Cannot %1 %2: %3").arg(action, file.fileName(), file.errorString()));
}

// Checks the tail (the last 417 bytes) against the file's size and returns
// its record; nothing of the file is trusted before this has passed.
SurpriseRecord CheckTail(const QByteArray& tail, qint64 fileSize, qint64 maxArchiveSize) {
    if (fileSize < kSurpriseTailSize || tail.size() != kSurpriseTailSize)
        Fail(QStringLiteral("The file is too short to be a surprise."));
    const int length = static_cast<std::uint8_t>(tail[kSurpriseRecordSize]) |
                       (static_cast<std::uint8_t>(tail[kSurpriseRecordSize + 1]) << 8);
    if (length != kSurpriseRecordSize)
        Fail(QStringLiteral("The file is not a surprise: it does not end in a surprise record."));
    const auto record = SurpriseRecord::FromBytes(tail.left(kSurpriseRecordSize));
    if (!record)
        Fail(QStringLiteral("The file is not a surprise: its record is damaged."));
    if (qint64(record->EngineSize) + qint64(record->ArchiveSize) + kSurpriseTailSize != fileSize)
        Fail(QStringLiteral("The surprise is damaged: its sizes do not match the file."));
    if (qint64(record->ArchiveSize) > maxArchiveSize)
        Fail(QStringLiteral("The surprise's data archive is too large to read."));
    return *record;
}

void Unshift(QByteArray& archive) {
    for (char& b : archive)
        b = static_cast<char>(static_cast<std::uint8_t>(b) - kArchiveShift);
}

} // namespace

int NextBuildRandom(int range) {
    gBuildRandomState = gBuildRandomState * 134775813u + 1u;
    return static_cast<int>((std::uint64_t(gBuildRandomState) * std::uint64_t(range)) >> 32);
}

void ResetBuildRandom() {
    gBuildRandomState = 0;
}

void AppendSurpriseData(const QString& containerPath, const QString& archivePath,
                        SurpriseRecord& record) {
    QFile container(containerPath);
    if (!container.open(QIODevice::ReadWrite))
        FailFile(container, QStringLiteral("open"));
    QFile archive(archivePath);
    if (!archive.open(QIODevice::ReadOnly))
        FailFile(archive, QStringLiteral("open"));
    const qint64 engineSize = container.size();
    const qint64 archiveSize = archive.size();
    if (engineSize + archiveSize + kSurpriseTailSize > qint64(UINT32_MAX))
        Fail(QStringLiteral("The surprise would be larger than 4 GB."));
    record.EngineSize = std::uint32_t(engineSize);
    record.ArchiveSize = std::uint32_t(archiveSize);
    record.BuildTime = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddhhmmsszzz"));
    // Position 1 is twice as likely as the others: draws 0 and 1 both give it.
    const int tagStart = std::max(NextBuildRandom(11), 1);
    record.BuildTag = record.BuildTime.mid(tagStart - 1, 8);

    if (!container.seek(engineSize))
        FailFile(container, QStringLiteral("write to"));
    std::vector<char> block(kAppendBlockSize);
    qint64 copied = 0;
    for (;;) {
        const qint64 n = archive.read(block.data(), kAppendBlockSize);
        if (n < 0)
            FailFile(archive, QStringLiteral("read"));
        if (n == 0)
            break;
        for (qint64 i = 0; i < n; ++i)
            block[size_t(i)] =
                static_cast<char>(static_cast<std::uint8_t>(block[size_t(i)]) + kArchiveShift);
        if (container.write(block.data(), n) != n)
            FailFile(container, QStringLiteral("write to"));
        copied += n;
    }
    // A record whose size disagrees with what was appended would make the file unreadable.
    if (copied != archiveSize)
        Fail(QStringLiteral("The archive %1 changed while it was appended.").arg(archivePath));
    QByteArray tail = record.ToBytes();
    tail.append(char(kSurpriseRecordSize & 0xFF));
    tail.append(char(kSurpriseRecordSize >> 8));
    if (container.write(tail) != tail.size() || !container.flush())
        FailFile(container, QStringLiteral("write to"));
}

SurpriseContents ReadSurpriseContainer(const QString& path, qint64 maxArchiveSize) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        FailFile(file, QStringLiteral("open"));
    const qint64 size = file.size();
    if (size < kSurpriseTailSize)
        Fail(QStringLiteral("The file is too short to be a surprise."));
    if (!file.seek(size - kSurpriseTailSize))
        FailFile(file, QStringLiteral("read"));
    const QByteArray tail = file.read(kSurpriseTailSize);
    SurpriseContents contents;
    contents.Record = CheckTail(tail, size, maxArchiveSize);
    if (!file.seek(contents.Record.EngineSize))
        FailFile(file, QStringLiteral("read"));
    contents.Archive = file.read(contents.Record.ArchiveSize);
    if (contents.Archive.size() != qint64(contents.Record.ArchiveSize))
        FailFile(file, QStringLiteral("read"));
    Unshift(contents.Archive);
    return contents;
}

SurpriseContents ParseSurpriseContainer(const QByteArray& file, qint64 maxArchiveSize) {
    const qint64 size = file.size();
    SurpriseContents contents;
    contents.Record = CheckTail(file.right(kSurpriseTailSize), size, maxArchiveSize);
    contents.Archive = file.mid(contents.Record.EngineSize, contents.Record.ArchiveSize);
    Unshift(contents.Archive);
    return contents;
}
