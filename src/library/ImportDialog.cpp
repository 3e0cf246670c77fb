#include "library/ImportDialog.h"

#include "app/gRegistry.h"
#include "app/gUtils.h"
#include "app/gVars.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

#include <stdexcept>

namespace {

// Cleaned and absolute, ending in the separator, so that comparing two of
// them as prefixes compares whole folder names.
QString FolderKey(const QString& folder) {
    return IncludeBackslash(QDir::cleanPath(QDir::current().absoluteFilePath(folder)));
}

} // namespace

QString ImportDialogValueName(const QFileDialog& dialog) {
    const QWidget* owner = dialog.parentWidget() ? dialog.parentWidget()->window() : nullptr;
    if (!owner || owner->objectName().isEmpty() || dialog.objectName().isEmpty())
        throw std::logic_error("An import dialog needs a named owner form and a name.");
    return owner->objectName() + dialog.objectName();
}

bool ExecuteImportDialog(QFileDialog& dialog) {
    QCoreApplication::processEvents();
    const QString valueName = ImportDialogValueName(dialog);
    const QString remembered = TrimBlanks(ReadSetting(kSettingsKey, valueName));
    // Qt's own dialog everywhere: it shows the filter texts as written and
    // behaves alike on every desktop.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    if (!remembered.isEmpty() && QFileInfo(remembered).isDir()) {
        dialog.setDirectory(remembered);
    } else {
        const QString desktop = GetDesktopFolder();
        if (!desktop.isEmpty())
            dialog.setDirectory(desktop);
    }
    if (dialog.exec() != QDialog::Accepted)
        return false;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty())
        return false;
    QCoreApplication::processEvents();
    WriteSetting(kSettingsKey, valueName, QFileInfo(files.first()).absolutePath());
    return true;
}

void SetImportFilter(QFileDialog& dialog, const QString& filterList) {
    const QStringList parts = filterList.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        // Qt takes the patterns from the last parentheses, separated by
        // blanks; hiding the details leaves the description as written.
        QString patterns = parts.at(i + 1);
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        filters.append(parts.at(i) + QStringLiteral(" (") + patterns.simplified() +
                       QLatin1Char(')'));
    }
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilters(filters);
}

QString AlreadyImportedMessage() {
    return QStringLiteral("You cannot import already imported files.\n\nYou must browse outside "
                          "the ") +
           appFolders().ProgramFolder +
           QStringLiteral(" working directory.\nThe file you try to import reside in the "
                          "working directory mentioned above.");
}

bool IsAlreadyImported(const QString& workingFolder, const QString& fileName) {
    if (workingFolder.isEmpty())
        return false;
    const QString folder = FolderKey(workingFolder);
    const QString fileFolder = FolderKey(QFileInfo(fileName).absolutePath());
    if (!fileFolder.startsWith(folder, Qt::CaseInsensitive))
        return false;
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Zorvane"), AlreadyImportedMessage(),
                    QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
    return true;
}
