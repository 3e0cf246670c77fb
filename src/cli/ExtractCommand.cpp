#include "cli/CliCommand.h"

#include "build/DataArchive.h"
#include "build/SurpriseContainer.h"
#include "build/gUtils.h"

#include <QDir>
#include <QFile>
#include <QTemporaryFile>

#include <cstdio>

namespace {

const char kHelp[] =
    "Usage: zorvane-cli extract FILE DIR\n"
    "\n"
    "Writes the entries of a surprise's data archive into DIR (made when missing)\n"
    "and prints their names. Entries are plain file names; an archive holding any\n"
    "other name is refused whole, so nothing is written outside DIR.\n"
    "\n"
    "Exit codes: 0 written; 1 not a surprise, damaged, or not writable; 2 wrong\n"
    "arguments.";

// Written beside and renamed over: a link of that name is replaced, never
// followed (QSaveFile would write through it).
void WriteEntry(const QString& path, const QByteArray& data) {
    QTemporaryFile file(path + QStringLiteral(".XXXXXX"));
    if (!file.open() || file.write(data) != data.size() || !file.flush() ||
        !file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                             QFile::ReadOther) ||
        std::rename(QFile::encodeName(file.fileName()).constData(),
                    QFile::encodeName(path).constData()) != 0)
        throw FileError(QStringLiteral("Cannot write %1.").arg(path).toStdString());
    file.setAutoRemove(false);
}

int Run(const QStringList& arguments) {
    const CliArguments args = ParseArguments(arguments, {}, 2);
    const SurpriseContents contents = ReadSurpriseContainer(args.Positional[0]);
    // Read whole before anything is written: a bad entry late in the archive
    // must not leave the first ones behind.
    const QList<ArchiveEntry> entries = ReadArchive(contents.Archive, kDataArchivePassword, true);
    const QString folder = args.Positional[1];
    if (!QDir().mkpath(folder))
        throw FileError(QStringLiteral("Cannot create the folder %1.").arg(folder).toStdString());
    for (const ArchiveEntry& entry : entries) {
        WriteEntry(QDir(folder).filePath(entry.Name), entry.Data);
        PrintLine(entry.Name);
    }
    return kExitOk;
}

} // namespace

const CliCommand kExtractCommand = {"extract", "write a surprise's pictures and sounds to a folder",
                                    kHelp, Run};
