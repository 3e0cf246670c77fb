#pragma once

#include <QString>
#include <QVector>

#include <functional>

// The sound library: the files directly in SoundsFolder whose names match
// *.mid, *.wav, *.mp3 or *.au. A sound is named everywhere by its bare file
// name with extension.

// Image index of each sound type, in the order of the scans.
enum SoundImage { kImageMidi = 0, kImageWave = 1, kImageMp3 = 2, kImageAu = 3 };

// One item of the library list.
struct SoundEntry {
    QString Caption;  // the file name without its extension
    QString FileName; // the file name with its extension
    int ImageIndex = kImageMidi;
};

// The extension of a file name or path, with its dot, as written; empty when
// the name part has no dot. The extension of ".mp3" is ".mp3".
QString ExtractFileExt(const QString& name);

// The name part of a path without its extension.
QString SoundCaption(const QString& fileName);

// The drop rule: "*" + the extension in lower case + ";" occurs in
// "*.mid;*.wav;*.mp3;*.au;".
bool HasSoundExtension(const QString& path);

// The four scans, *.mid, *.wav, *.mp3 and *.au in this order, each in the
// folder's own order and without regard to letter case. Folders are never
// sounds. Empty when the folder does not exist.
QVector<SoundEntry> ScanSounds(const QString& soundsFolder);

// Orders by caption, case-sensitive and locale-aware; equal captions keep
// their scan order, so bell.mid stays before bell.wav.
void SortSounds(QVector<SoundEntry>& entries);

// The entry whose file name is select, compared in the user's locale without
// regard to case; -1 when there is none or select is empty. Where the folder
// holds several such names, the exact spelling wins, else the last scanned.
int FindSound(const QVector<SoundEntry>& entries, const QString& select);

// Asks whether an existing library sound may be replaced.
using AskOverwrite = std::function<bool()>;

// Creates soundsFolder with its parents when missing; false when it cannot.
bool EnsureSoundsFolder(const QString& soundsFolder);

// Copies source over target through a temporary file, so a failed copy
// leaves target as it was, and a file copied onto itself survives. Keeps
// the source's modification time.
bool CopySoundFile(const QString& source, const QString& target);

// The copying steps of the dialog's import, after the working-folder
// refusal: makes the folder, asks before replacing a sound of the same name,
// copies. The imported file name, or empty when nothing was copied.
QString ImportSound(const QString& path, const QString& soundsFolder, const AskOverwrite& ask);

// The slot's drop copy. A name that exists and may not be replaced is
// returned without copying: the library's sound of that name is taken.
// Empty when the folder cannot be made or the copy fails.
QString DropSound(const QString& path, const QString& soundsFolder, const AskOverwrite& ask);
