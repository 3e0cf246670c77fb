#include "delivery/Delivery.h"

#include "app/gVars.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using testsupport::ReadFile;
using testsupport::WriteFile;

namespace {

struct ZipEntry {
    QString Name;
    QByteArray Content;
    bool Encrypted = false;
};

// The archive as Python's zipfile reads it: an independent reader.
QList<ZipEntry> ReadZip(const QString& archive) {
    QProcess python;
    python.start("python3", {"-c",
                             "import json, sys, zipfile\n"
                             "z = zipfile.ZipFile(sys.argv[1])\n"
                             "print(json.dumps([{'name': i.filename, 'hex': z.read(i).hex(),"
                             " 'encrypted': bool(i.flag_bits & 1)} for i in z.infolist()]))\n",
                             archive});
    python.waitForFinished();
    QList<ZipEntry> entries;
    for (const auto& value : QJsonDocument::fromJson(python.readAllStandardOutput()).array()) {
        const QJsonObject entry = value.toObject();
        entries.append({entry["name"].toString(),
                        QByteArray::fromHex(entry["hex"].toString().toLatin1()),
                        entry["encrypted"].toBool()});
    }
    return entries;
}

QStringList FilesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
}

} // namespace

TEST(Delivery, CompressedPathReplacesTheExtension) {
    const std::pair<const char*, const char*> cases[] = {
        {"/b/Surprise.exe", "/b/Surprise.zip"},
        {"/b/Birthday.exe", "/b/Birthday.zip"},
        {"/b/Happy.Day.exe", "/b/Happy.Day.zip"},
        {"/b.d/NoExtension", "/b.d/NoExtension.zip"},
    };
    for (const auto& [built, zip] : cases)
        EXPECT_EQ(CompressedPath(built), zip) << built;
}

TEST(Delivery, NormalOrCompressed) {
    QTemporaryDir dir;
    const QByteArray engine = "\x7f"
                              "ELF fake engine with data";
    const QString built = WriteFile(dir.filePath("Birthday.exe"), engine);

    EXPECT_EQ(NormalOrCompressed(built, false), built);
    EXPECT_EQ(FilesIn(dir.path()), QStringList({"Birthday.exe"})) << "no ZIP without compression";

    const QString zip = NormalOrCompressed(built, true);
    EXPECT_EQ(zip, dir.filePath("Birthday.zip"));
    QList<ZipEntry> entries = ReadZip(zip);
    ASSERT_EQ(entries.size(), 1);
    EXPECT_EQ(entries[0].Name, "Birthday.exe");
    EXPECT_EQ(entries[0].Content, engine);
    EXPECT_FALSE(entries[0].Encrypted);

    // Delivering again updates the same archive: still one entry.
    WriteFile(built, engine + "!");
    NormalOrCompressed(built, true);
    entries = ReadZip(zip);
    ASSERT_EQ(entries.size(), 1);
    EXPECT_EQ(entries[0].Content, engine + "!");
    EXPECT_EQ(FilesIn(dir.path()), QStringList({"Birthday.exe", "Birthday.zip"}));
}

TEST(Delivery, NormalOrCompressedUsesTheBuilderState) {
    QTemporaryDir dir;
    AppFolders& folders = appFolders();
    BuilderState& state = builderState();
    const AppFolders savedFolders = folders;
    const BuilderState savedState = state;
    folders.BuildFolder = dir.path() + "/";
    state.OutputFileName = "Party.exe";
    WriteFile(dir.filePath("Party.exe"), "engine");

    QString path;
    state.CompressedDelivery = false;
    NormalOrCompressed(path);
    EXPECT_EQ(path, dir.filePath("Party.exe"));
    state.CompressedDelivery = true;
    NormalOrCompressed(path);
    EXPECT_EQ(path, dir.filePath("Party.zip"));
    EXPECT_TRUE(QFileInfo::exists(path));

    folders = savedFolders;
    state = savedState;
}

TEST(Delivery, CopyReplacesTheTargetAndKeepsPermissions) {
    QTemporaryDir from;
    QTemporaryDir to;
    const QString source = WriteFile(from.filePath("Surprise.exe"), QByteArray(300000, 'x'));
    QFile::setPermissions(source, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString target = to.filePath("Surprise.exe");

    ASSERT_TRUE(CopyDeliveryFile(source, target));
    EXPECT_EQ(ReadFile(target), ReadFile(source));
    EXPECT_TRUE(QFileInfo(target).permissions() & QFile::ExeOwner);

    WriteFile(target, "older and different");
    ASSERT_TRUE(CopyDeliveryFile(source, target));
    EXPECT_EQ(ReadFile(target), ReadFile(source));
    EXPECT_EQ(FilesIn(to.path()), QStringList({"Surprise.exe"})) << "no temporary file left";
}

TEST(Delivery, FailedCopyLeavesNothingBehind) {
    QTemporaryDir from;
    QTemporaryDir to;
    const QString source = WriteFile(from.filePath("Surprise.exe"), "engine");

    // No source: the target already there stays as it was.
    const QString existing = WriteFile(to.filePath("Surprise.exe"), "keep me");
    EXPECT_FALSE(CopyDeliveryFile(from.filePath("missing.exe"), existing));
    EXPECT_EQ(ReadFile(existing), "keep me");

    // A target that cannot be written: a folder in its place, a missing folder.
    QDir(to.path()).mkdir("Folder.exe");
    EXPECT_FALSE(CopyDeliveryFile(source, to.filePath("Folder.exe")));
    EXPECT_TRUE(QFileInfo(to.filePath("Folder.exe")).isDir());
    EXPECT_FALSE(CopyDeliveryFile(source, to.filePath("missing/Surprise.exe")));
    EXPECT_EQ(FilesIn(to.path()), QStringList({"Surprise.exe"}));
}

TEST(Delivery, SaveAsProposal) {
    SaveAsProposal zip = ProposeSaveAs("/t/Zorvane-0/240101/Birthday.zip", true);
    EXPECT_EQ(zip.FileName, "Birthday.zip");
    EXPECT_EQ(zip.NameFilter, "Zip files (*.zip)");
    EXPECT_EQ(zip.DefaultSuffix, "zip");
    SaveAsProposal exe = ProposeSaveAs("/t/Zorvane-0/240101/Surprise.exe", false);
    EXPECT_EQ(exe.FileName, "Surprise.exe");
    EXPECT_EQ(exe.NameFilter, "Executable files (*.exe)");
    EXPECT_EQ(exe.DefaultSuffix, "exe");
}

TEST(Delivery, PreviewStartsTheBuiltFileItself) {
    QTemporaryDir dir;
    const QString marker = dir.filePath("started");
    // A stand-in engine that records how it was started.
    const QString built =
        WriteFile(dir.filePath("Surprise.exe"),
                  QString("#!/bin/sh\necho \"$0 $#\" > '%1'\n").arg(marker).toUtf8());
    QFile::setPermissions(built, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    EXPECT_TRUE(PreviewBuiltFile(built));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !ReadFile(marker).isEmpty(); }, 5000));
    EXPECT_EQ(ReadFile(marker), (built + " 0\n").toUtf8());

    EXPECT_FALSE(PreviewBuiltFile(dir.filePath("missing.exe")));
}
