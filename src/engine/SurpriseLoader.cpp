#include "engine/SurpriseLoader.h"

#include "app/gUtils.h"
#include "build/BuildProcedure.h"
#include "build/DataArchive.h"
#include "platform/PictureReader.h"
#include "platform/PrivateFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRandomGenerator>
#include <QStringList>
#include <QtEndian>

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int kMaxPasswordLength = 50;

[[noreturn]] void Damaged(const QString& why) {
    throw DamagedSurprise(why.toStdString());
}

quint32 U32At(const QByteArray& bytes, qsizetype at) {
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}
quint16 U16At(const QByteArray& bytes, qsizetype at) {
    return qFromLittleEndian<quint16>(bytes.constData() + at);
}

// Qt's reader takes a BMP whose pixel rows stop early and leaves the rest of
// the picture undefined; an uncompressed BMP must hold every row it declares.
bool HoldsAllRows(const QByteArray& bmp) {
    constexpr qsizetype kFileHeader = 14;
    if (bmp.size() < kFileHeader + 12 || !bmp.startsWith("BM"))
        return false;
    const qint64 pixelsAt = U32At(bmp, 10);
    const quint32 infoSize = U32At(bmp, kFileHeader);
    qint64 width = 0;
    qint64 height = 0;
    int bitCount = 0;
    quint32 compression = 0;
    if (infoSize == 12) {
        width = U16At(bmp, kFileHeader + 4);
        height = U16At(bmp, kFileHeader + 6);
        bitCount = U16At(bmp, kFileHeader + 10);
    } else {
        if (infoSize < 40 || bmp.size() < kFileHeader + 40)
            return false;
        width = qint32(U32At(bmp, kFileHeader + 4));
        height = qint32(U32At(bmp, kFileHeader + 8));
        bitCount = U16At(bmp, kFileHeader + 14);
        compression = U32At(bmp, kFileHeader + 16);
    }
    if (width <= 0 || height == 0)
        return false;
    // Run-length pictures have no fixed size; their reader checks them.
    const bool uncompressed = compression == 0 || compression == 3 || compression == 6;
    if (!uncompressed)
        return true;
    const qint64 rowBytes = (qint64(bitCount) * width + 31) / 32 * 4;
    return pixelsAt >= kFileHeader + infoSize &&
           pixelsAt + rowBytes * std::abs(height) <= bmp.size();
}

QImage DecodePicture(const QString& name, const QByteArray& bytes) {
    if (!HoldsAllRows(bytes))
        Damaged(QStringLiteral("The picture \"%1\" is not a complete BMP.").arg(name));
    try {
        // Always read as BMP: that is what the builder writes, whatever the name.
        return LoadPictureData(bytes, QStringLiteral("bmp")).Image;
    } catch (const PictureError& e) {
        Damaged(QStringLiteral("The picture \"%1\" is not a valid BMP: %2")
                    .arg(name, QString::fromStdString(e.what())));
    }
}

bool IsBareName(const QString& name) {
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") &&
           !name.contains(QLatin1Char('/')) && !name.contains(QChar(0));
}

} // namespace

ExtractedSurprise ExtractSurprise(const SurpriseContents& contents) {
    const SurpriseRecord& record = contents.Record;
    if (record.PacketPicture.isEmpty() || record.SurprisePicture.isEmpty())
        Damaged(QStringLiteral("The record names no picture."));

    // The archive begins right behind the engine, with its first entry.
    if (!contents.Archive.startsWith(QByteArray("PK\x03\x04", 4)))
        Damaged(QStringLiteral("The data archive does not start where the record says."));
    QList<ArchiveEntry> entries;
    try {
        entries = ReadArchive(contents.Archive, kDataArchivePassword, true, kMaxSurpriseEntrySize);
    } catch (const ArchiveError& e) {
        Damaged(QString::fromStdString(e.what()));
    }

    const QString soundSlots[] = {record.PacketSoundFile, record.OpenEffectSoundFile,
                                  record.SurpriseSoundFile};
    QStringList named{record.PacketPicture};
    for (const QString& name :
         {record.SurprisePicture, soundSlots[0], soundSlots[1], soundSlots[2]})
        if (!name.isEmpty() && !named.contains(name))
            named.append(name);

    QHash<QString, QByteArray> data;
    for (ArchiveEntry& entry : entries) {
        // Only the builder's own archive is trusted, and it encrypts everything.
        if (!entry.Encrypted)
            Damaged(QStringLiteral("The entry \"%1\" is not encrypted.").arg(entry.Name));
        if (!named.contains(entry.Name))
            Damaged(
                QStringLiteral("The archive holds an unexpected entry \"%1\".").arg(entry.Name));
        if (data.contains(entry.Name))
            Damaged(QStringLiteral("The archive holds \"%1\" twice.").arg(entry.Name));
        data.insert(entry.Name, std::move(entry.Data));
    }
    for (const QString& name : named)
        if (!data.contains(name))
            Damaged(QStringLiteral("The archive lacks the entry \"%1\".").arg(name));

    ExtractedSurprise extracted;
    extracted.Record = record;
    extracted.PacketImage = DecodePicture(record.PacketPicture, data.value(record.PacketPicture));
    extracted.SurpriseImage =
        DecodePicture(record.SurprisePicture, data.value(record.SurprisePicture));
    for (const QString& name : soundSlots) {
        if (name.isEmpty())
            continue;
        const bool known = std::any_of(extracted.Sounds.cbegin(), extracted.Sounds.cend(),
                                       [&](const auto& sound) { return sound.first == name; });
        if (!known)
            extracted.Sounds.append({name, data.value(name)});
    }
    return extracted;
}

ExtractedSurprise LoadSurpriseFile(const QString& path) {
    SurpriseContents contents;
    try {
        contents = ReadSurpriseContainer(path, kMaxSurpriseArchiveSize);
    } catch (const ContainerError& e) {
        Damaged(QString::fromStdString(e.what()));
    }
    return ExtractSurprise(contents);
}

PrivateSoundFolder::PrivateSoundFolder() {
    const QString temp = QDir::tempPath();
    for (int attempt = 0; attempt < 16 && Folder.isEmpty(); ++attempt) {
        const QString candidate = temp + QStringLiteral("/Surprise-") +
                                  QString::number(QRandomGenerator::system()->generate64(), 16)
                                      .rightJustified(16, QLatin1Char('0'));
        // A name that is already there belongs to somebody else's run.
        if (QFileInfo(candidate).exists() || QFileInfo(candidate).isSymLink())
            continue;
        if (MakePrivateFolder(candidate))
            Folder = candidate;
    }
    if (Folder.isEmpty())
        throw std::runtime_error("Cannot create a private folder in " + temp.toStdString());
}

PrivateSoundFolder::~PrivateSoundFolder() {
    // Never follows a link: only what this run wrote goes.
    QDir(Folder).removeRecursively();
}

QString PrivateSoundFolder::Write(const QString& name, const QByteArray& bytes) const {
    if (!IsBareName(name))
        return {};
    const QString path = Folder + QLatin1Char('/') + name;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return {};
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        file.remove();
        return {};
    }
    return path;
}

LoadedSurprise PlaceSurprise(const ExtractedSurprise& extracted, const PrivateSoundFolder& folder) {
    LoadedSurprise loaded;
    loaded.Record = extracted.Record;
    loaded.PacketImage = extracted.PacketImage;
    loaded.SurpriseImage = extracted.SurpriseImage;
    QHash<QString, QString> paths;
    for (const auto& [name, bytes] : extracted.Sounds)
        paths.insert(name, folder.Write(name, bytes));
    const SurpriseRecord& record = extracted.Record;
    loaded.PacketSound = paths.value(record.PacketSoundFile);
    loaded.OpenEffectSound = paths.value(record.OpenEffectSoundFile);
    loaded.SurpriseSound = paths.value(record.SurpriseSoundFile);
    return loaded;
}

bool IsOpenPassword(const SurpriseRecord& record, const QString& typed) {
    const QString stored = FromAnsi(ToAnsi(TrimBlanks(typed).left(kMaxPasswordLength)));
    return !record.OpenPassword.isEmpty() && stored == record.OpenPassword;
}

QUrl GoToAddress(const SurpriseRecord& record) {
    const QString text = TrimBlanks(record.GoToUrl);
    if (!record.HasGoToUrl || text.isEmpty() || !IsValidGoToUrl(text))
        return {};
    const QUrl url(text, QUrl::TolerantMode);
    if (!url.isValid() || url.scheme() != QLatin1String("http") || url.host().isEmpty())
        return {};
    return url;
}
