#pragma once

#include "build/SurpriseContainer.h"
#include "build/SurpriseRecord.h"

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QPair>
#include <QString>
#include <QUrl>

#include <stdexcept>

// What the engine takes from its own file: the record, both pictures
// decoded, and the sounds, checked whole before anything is shown.

constexpr qint64 kMaxSurpriseEntrySize = qint64(64) << 20;
// Two pictures and three sounds of the largest size, plus the archive's own
// bookkeeping.
constexpr qint64 kMaxSurpriseArchiveSize = 5 * kMaxSurpriseEntrySize + (qint64(1) << 20);

// Anything wrong with the surprise's data. what() says what, for tests and
// the fuzz target; the recipient sees one fixed message.
class DamagedSurprise : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct ExtractedSurprise {
    SurpriseRecord Record;
    QImage PacketImage; // Format_ARGB32
    QImage SurpriseImage;
    // The distinct sound entries, by archive name, with their bytes.
    QList<QPair<QString, QByteArray>> Sounds;
};

// Opens the data archive of contents with the archive password and checks
// it: every entry encrypted and at most 64 MiB, exactly the entries the
// record names, both pictures valid BMP. Throws DamagedSurprise.
ExtractedSurprise ExtractSurprise(const SurpriseContents& contents);

// Reads the container at path and extracts it. Throws DamagedSurprise.
ExtractedSurprise LoadSurpriseFile(const QString& path);

// A folder of this user only (mode 0700) under the temporary folder, with a
// name nobody can guess, removed with everything in it when the object goes.
class PrivateSoundFolder {
public:
    PrivateSoundFolder(); // throws std::runtime_error when it cannot be made
    ~PrivateSoundFolder();
    PrivateSoundFolder(const PrivateSoundFolder&) = delete;
    PrivateSoundFolder& operator=(const PrivateSoundFolder&) = delete;

    QString Path() const { return Folder; } // without a trailing separator

    // Writes one sound under its entry name; the full path, or empty when it
    // could not be written (the sound then stays silent).
    QString Write(const QString& name, const QByteArray& bytes) const;

private:
    QString Folder;
};

// The surprise as the window plays it: sounds as files in the folder.
struct LoadedSurprise {
    SurpriseRecord Record;
    QImage PacketImage;
    QImage SurpriseImage;
    QString PacketSound; // full paths, or empty for none
    QString OpenEffectSound;
    QString SurpriseSound;
};

// Writes the sounds of extracted into folder.
LoadedSurprise PlaceSurprise(const ExtractedSurprise& extracted, const PrivateSoundFolder& folder);

// The password as the builder stores it: trimmed, cut to 50 characters, in
// the record's code page. Typed text matches when it reads the same.
bool IsOpenPassword(const SurpriseRecord& record, const QString& typed);

// The address to go to after the surprise: only when HasGoToUrl is set and
// the field passes the builder's own check (http:// and more) and names a
// host. Empty otherwise: nothing else in that field is ever opened.
QUrl GoToAddress(const SurpriseRecord& record);
