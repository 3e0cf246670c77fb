#pragma once

#include <QString>

struct AppFolders;
struct BuilderState;

// Handing a built surprise over: the file to deliver, the copy to a folder,
// the save dialog's proposal and the preview. No windows here; the builder
// window asks its questions and shows its messages around these.

// BuildFolder + OutputFileName.
QString BuiltFilePath(const AppFolders& folders, const BuilderState& state);

// builtFile with its extension replaced by ".zip" (Birthday.exe -> Birthday.zip).
QString CompressedPath(const QString& builtFile);

// The file to deliver for builtFile: builtFile itself, or with compressed
// delivery its ZIP beside it, written first (one entry, the built file under
// its bare name, no password). The archive's outcome is not examined and
// nothing is tested for existence: callers test the path they get.
QString NormalOrCompressed(const QString& builtFile, bool compressed);
// The same for the process-wide folders and builder state.
void NormalOrCompressed(QString& path);

// Copies source over target through a temporary file beside target that is
// renamed at the end, so a failed copy never leaves a half-written target.
// The copy keeps source's permissions (a built surprise stays executable).
bool CopyDeliveryFile(const QString& source, const QString& target);

// What the save dialog offers for a delivery file.
struct SaveAsProposal {
    QString FileName;      // bare name, e.g. "Surprise.exe"
    QString NameFilter;    // in Qt's filter syntax
    QString DefaultSuffix; // without the dot
};
SaveAsProposal ProposeSaveAs(const QString& deliveryFile, bool compressed);

// Starts builtFile as a detached process when it exists; no waiting, no report.
bool PreviewBuiltFile(const QString& builtFile);

// The messages and the question of the Send commands.
QString DesktopNotFoundText();
QString DocumentsNotFoundText();
QString ReplaceQuestionText(const QString& target);
