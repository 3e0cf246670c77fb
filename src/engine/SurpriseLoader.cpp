#include "engine/SurpriseLoader.h"

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

namespace {

constexpr int kMaxPasswordLength = 50;

[[noreturn]] void Damaged(const QString& why) {
    throw DamagedSurprise(why.toStdString());
}

QImage DecodePicture(const QString& name, const QByteArray& bytes) {
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
