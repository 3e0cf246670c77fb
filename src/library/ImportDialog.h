#pragma once

#include <QString>

class QFileDialog;

// The open dialog shared by every import command, and the refusal of files
// that already lie in the working folder.

// Runs dialog modally in the folder last chosen with it and remembers the
// folder of the chosen file. The remembered value is named after the owner
// form and the dialog: the objectName of dialog.parentWidget()->window()
// followed by dialog.objectName(), e.g. "frmMainOpenPictureDialog1"; both
// names must be set (std::logic_error otherwise). With no remembered folder,
// or one that no longer exists, the dialog opens on the desktop.
// True when a file was chosen: read it with dialog.selectedFiles().value(0).
// False when cancelled; nothing is stored then.
bool ExecuteImportDialog(QFileDialog& dialog);

// The settings value that remembers dialog's folder.
QString ImportDialogValueName(const QFileDialog& dialog);

// Sets dialog's name filters from a list of the form
// "Description|*.a;*.b|Description|*.c": each description is shown as
// written, its patterns match without regard to case.
void SetImportFilter(QFileDialog& dialog, const QString& filterList);

// True, after telling the user so in a message box, when fileName lies in
// workingFolder or below it; letter case does not count. The folder is
// compared with its trailing separator, so a sibling folder whose name
// merely begins with the working folder's name is not inside it.
bool IsAlreadyImported(const QString& workingFolder, const QString& fileName);

// The message IsAlreadyImported shows, with "\n" line breaks.
QString AlreadyImportedMessage();
