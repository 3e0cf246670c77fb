#include "sounds/SoundLibrary.h"

#include <QCollator>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSaveFile>

#include <algorithm>

namespace {

QString NamePart(const QString& path) {
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? path : path.mid(slash + 1);
}

struct SoundType {
    QLatin1String Extension;
    int ImageIndex;
};

constexpr SoundType kSoundTypes[] = {{QLatin1String(".mid"), kImageMidi},
                                     {QLatin1String(".wav"), kImageWave},
                                     {QLatin1String(".mp3"), kImageMp3},
                                     {QLatin1String(".au"), kImageAu}};

} // namespace

QString ExtractFileExt(const QString& name) {
    const QString part = NamePart(name);
    const int dot = part.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : part.mid(dot);
}

QString SoundCaption(const QString& fileName) {
    const QString part = NamePart(fileName);
    const int dot = part.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? part : part.left(dot);
}

bool HasSoundExtension(const QString& path) {
    static const QString accepted = QStringLiteral("*.mid;*.wav;*.mp3;*.au;");
    const QString key = QLatin1Char('*') + ExtractFileExt(path).toLower() + QLatin1Char(';');
    return accepted.contains(key);
}

QVector<SoundEntry> ScanSounds(const QString& soundsFolder) {
    QVector<SoundEntry> entries;
    const QDir dir(soundsFolder);
    if (soundsFolder.isEmpty() || !dir.exists())
        return entries;
    const QFileInfoList listing = dir.entryInfoList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Unsorted);
    for (const SoundType& type : kSoundTypes) {
        for (const QFileInfo& info : listing) {
            const QString name = info.fileName();
            if (info.isDir() || !name.endsWith(type.Extension, Qt::CaseInsensitive))
                continue;
            entries.append({SoundCaption(name), name, type.ImageIndex});
        }
    }
    return entries;
}

void SortSounds(QVector<SoundEntry>& entries) {
    // The C locale would compare code points; the list is meant to read in
    // dictionary order, lower case before upper case, whatever the locale.
    const QLocale user;
    QCollator collator(
        user.language() == QLocale::C ? QLocale(QLocale::English, QLocale::UnitedStates) : user);
    collator.setCaseSensitivity(Qt::CaseSensitive);
    std::stable_sort(entries.begin(), entries.end(),
                     [&collator](const SoundEntry& a, const SoundEntry& b) {
                         return collator.compare(a.Caption, b.Caption) < 0;
                     });
}

int FindSound(const QVector<SoundEntry>& entries, const QString& select) {
    if (select.isEmpty())
        return -1;
    const QLocale locale;
    const QString wanted = locale.toUpper(select);
    int found = -1;
    for (int i = 0; i < entries.size(); ++i) {
        if (entries[i].FileName == select)
            return i;
        if (locale.toUpper(entries[i].FileName) == wanted)
            found = i;
    }
    return found;
}

bool EnsureSoundsFolder(const QString& soundsFolder) {
    return !soundsFolder.isEmpty() && QDir().mkpath(soundsFolder);
}

bool CopySoundFile(const QString& source, const QString& target) {
    const QFileInfo sourceInfo(source);
    if (!sourceInfo.isFile())
        return false;
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    QByteArray chunk;
    while (!(chunk = in.read(1 << 16)).isEmpty()) {
        if (out.write(chunk) != chunk.size()) {
            out.cancelWriting();
            break;
        }
    }
    if (in.error() != QFileDevice::NoError)
        out.cancelWriting();
    if (!out.commit())
        return false;
    QFile written(target);
    if (written.open(QIODevice::WriteOnly | QIODevice::Append))
        written.setFileTime(sourceInfo.lastModified(), QFileDevice::FileModificationTime);
    return true;
}

QString ImportSound(const QString& path, const QString& soundsFolder, const AskOverwrite& ask) {
    if (!EnsureSoundsFolder(soundsFolder))
        return {};
    const QString name = NamePart(path);
    const QString target = soundsFolder + name;
    if (QFileInfo::exists(target) && !ask())
        return {};
    return CopySoundFile(path, target) ? name : QString();
}

QString DropSound(const QString& path, const QString& soundsFolder, const AskOverwrite& ask) {
    if (!EnsureSoundsFolder(soundsFolder))
        return {};
    const QString name = NamePart(path);
    const QString target = soundsFolder + name;
    if (QFileInfo::exists(target) && !ask())
        return name;
    return CopySoundFile(path, target) ? name : QString();
}
