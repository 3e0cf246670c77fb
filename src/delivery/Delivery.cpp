#include "delivery/Delivery.h"

#include "app/gVars.h"
#include "build/DataArchive.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>

QString BuiltFilePath(const AppFolders& folders, const BuilderState& state) {
    return folders.BuildFolder + state.OutputFileName;
}

QString CompressedPath(const QString& builtFile) {
    const qsizetype slash = builtFile.lastIndexOf(QLatin1Char('/'));
    const qsizetype dot = builtFile.lastIndexOf(QLatin1Char('.'));
    const QString stem = dot > slash ? builtFile.left(dot) : builtFile;
    return stem + QStringLiteral(".zip");
}

QString NormalOrCompressed(const QString& builtFile, bool compressed) {
    if (!compressed)
        return builtFile;
    const QString zip = CompressedPath(builtFile);
    MakeArchive({builtFile}, zip, QString());
    return zip;
}

void NormalOrCompressed(QString& path) {
    const BuilderState& state = builderState();
    path = NormalOrCompressed(BuiltFilePath(appFolders(), state), state.CompressedDelivery);
}

bool CopyDeliveryFile(const QString& source, const QString& target) {
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return false;
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    out.setPermissions(in.permissions());
    char buffer[64 * 1024];
    for (;;) {
        const qint64 got = in.read(buffer, sizeof buffer);
        if (got < 0) {
            out.cancelWriting();
            break;
        }
        if (got == 0)
            break;
        if (out.write(buffer, got) != got)
            break; // QSaveFile remembers the failure and commit() discards the copy
    }
    return out.commit();
}

SaveAsProposal ProposeSaveAs(const QString& deliveryFile, bool compressed) {
    SaveAsProposal proposal;
    proposal.FileName = QFileInfo(deliveryFile).fileName();
    if (compressed) {
        proposal.NameFilter = QStringLiteral("Zip files (*.zip)");
        proposal.DefaultSuffix = QStringLiteral("zip");
    } else {
        proposal.NameFilter = QStringLiteral("Executable files (*.exe)");
        proposal.DefaultSuffix = QStringLiteral("exe");
    }
    return proposal;
}

bool PreviewBuiltFile(const QString& builtFile) {
    if (!QFileInfo::exists(builtFile))
        return false;
    // The built file is a native program here; a shell open would hand the
    // ".exe" name to some other program.
    return QProcess::startDetached(builtFile, {});
}

QString DesktopNotFoundText() {
    return QStringLiteral("Desktop folder not found, use the save as method.");
}

QString DocumentsNotFoundText() {
    return QStringLiteral("My Documents folder not found, use Save As method.");
}

QString ReplaceQuestionText(const QString& target) {
    return target + QStringLiteral(" already exists.\r\nDo you want to replace it?");
}
