#include "build/BuildProcedure.h"

#include "app/gSite.h"
#include "app/gUtils.h"
#include "build/DataArchive.h"
#include "build/SurpriseContainer.h"
#include "build/gUtils.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

const QString kPacketBmp = QStringLiteral("b1.bmp");
const QString kSurpriseBmp = QStringLiteral("b2.bmp");
const QString kDataZip = QStringLiteral("data.zip");
constexpr int kPasswordCapacity = 50;
constexpr int kUrlCapacity = 255;
// More builds within one second than anyone can start: give up rather than loop.
constexpr int kBuildFolderAttempts = 1000;

bool IsBareFileName(const QString& name) {
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") &&
           !name.contains(QLatin1Char('/'));
}

// A failed sound copy is not reported: the build goes on without that sound.
void CopySound(const QString& source, const QString& target) {
    QFile::remove(target);
    QFile::copy(source, target);
}

void CopyEngine(const QString& engine, const QString& target) {
    QFile::remove(target);
    if (!QFile::copy(engine, target))
        throw FileError(
            QStringLiteral("Cannot copy the engine %1 to %2.").arg(engine, target).toStdString());
    // The copy must run for its owner whatever the engine's own mode was.
    const auto mode = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                      QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser |
                      QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther |
                      QFileDevice::ExeOther;
    if (!QFile::setPermissions(target, mode))
        throw FileError(QStringLiteral("Cannot make %1 executable.").arg(target).toStdString());
}

} // namespace

QString BuildInputs::EnginePath() const {
    return EngineFile.isEmpty() ? EnginesFolder + QStringLiteral("Surprise.exe") : EngineFile;
}

QString BuildCheckMessage(BuildCheck check) {
    switch (check) {
    case BuildCheck::Passed:
        return {};
    case BuildCheck::EngineMissing:
    case BuildCheck::ZipLibraryMissing:
        return QStringLiteral("Engine not found, reinstalling the program may solve this problem.");
    case BuildCheck::PacketEmpty:
        return QStringLiteral("The Packet picture is empty. Double-click it to modify.");
    case BuildCheck::SurpriseEmpty:
        return QStringLiteral("The Surprise picture is empty. Double-click it to modify.");
    case BuildCheck::PacketTooSmall:
        return QStringLiteral("The Packet picture size cannot be smaller than 100 x 80 pixels.");
    case BuildCheck::SurpriseTooSmall:
        return QStringLiteral("The Surprise picture size cannot be smaller than 100 x 80 pixels.");
    case BuildCheck::UrlInvalid:
        return QStringLiteral(
                   "The Go To URL is not valid, it must begin with http:// prefix.\r\n\r\n"
                   "Example:  ") +
               gSite::HomePage();
    }
    return {};
}

BuildCheck RunBuildChecks(const BuildInputs& inputs) {
    if (!QFileInfo(inputs.EnginePath()).isFile())
        return BuildCheck::EngineMissing;
    if (!CanWriteEncryptedZip())
        return BuildCheck::ZipLibraryMissing;
    if (!HasPictureContent(inputs.PacketPicture))
        return BuildCheck::PacketEmpty;
    if (!HasPictureContent(inputs.SurprisePicture))
        return BuildCheck::SurpriseEmpty;
    if (!IsPictureLargeEnough(inputs.PacketPicture))
        return BuildCheck::PacketTooSmall;
    if (!IsPictureLargeEnough(inputs.SurprisePicture))
        return BuildCheck::SurpriseTooSmall;
    if (!IsValidGoToUrl(inputs.GoToUrl))
        return BuildCheck::UrlInvalid;
    return BuildCheck::Passed;
}

bool IsValidGoToUrl(const QString& text) {
    const QString url = TrimBlanks(text);
    if (url.isEmpty())
        return true;
    if (url.size() <= 7)
        return false;
    // Only a to z are raised: no other letter may stand in for one of "http".
    QString prefix = url.left(7);
    for (QChar& c : prefix)
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            c = QChar(c.unicode() - 'a' + 'A');
    return prefix == QLatin1String("HTTP://");
}

bool MakeBuildFolder(const QString& tempRoot, QString& buildFolder) {
    buildFolder.clear();
    const QString root = IncludeBackslash(tempRoot);
    if (!QDir().mkpath(root))
        return false;
    const QDir rootDir(root);
    QDateTime stamp = QDateTime::currentDateTime();
    for (int attempt = 0; attempt < kBuildFolderAttempts; ++attempt) {
        const QString name = stamp.toString(QStringLiteral("yyMMddhhmmsszzz"));
        if (rootDir.mkdir(name)) {
            buildFolder = root + name + QLatin1Char('/');
            return true;
        }
        if (!QFileInfo::exists(root + name))
            return false; // the root refuses new folders
        stamp = stamp.addMSecs(1);
    }
    return false;
}

BuildOutcome RunBuild(const BuildInputs& inputs, const std::function<void()>& processEvents) {
    const auto letEventsRun = [&processEvents] {
        if (processEvents)
            processEvents();
    };
    const QString& outputName = inputs.OutputFileName;
    if (!IsBareFileName(outputName) || outputName == kPacketBmp || outputName == kSurpriseBmp ||
        outputName == kDataZip)
        throw FileError(QStringLiteral("\"%1\" cannot be the surprise's file name.")
                            .arg(outputName)
                            .toStdString());

    BuildOutcome outcome;
    if (!MakeBuildFolder(inputs.TempRoot, outcome.BuildFolder))
        return outcome;
    const QString folder = outcome.BuildFolder;
    outcome.OutputPath = folder + outputName;

    SurpriseRecord record;
    record.OpenPassword = TrimBlanks(inputs.Password).left(kPasswordCapacity);
    record.PacketPicture = kPacketBmp;
    record.SurprisePicture = kSurpriseBmp;

    const SoundEntries entries =
        MakeSoundEntries(inputs.PacketSound, inputs.OpenEffectSound, inputs.SurpriseSound);
    record.PacketSoundFile = entries.Packet;
    record.OpenEffectSoundFile = entries.OpenEffect;
    record.SurpriseSoundFile = entries.Surprise;
    QStringList archiveFiles = {folder + kPacketBmp, folder + kSurpriseBmp};
    const auto ownSound = [&](const QString& sound, const QString& entry) {
        CopySound(inputs.SoundsFolder + sound, folder + entry);
        archiveFiles.append(folder + entry);
    };
    if (!inputs.PacketSound.isEmpty())
        ownSound(inputs.PacketSound, entries.Packet);
    if (!inputs.OpenEffectSound.isEmpty() && inputs.OpenEffectSound != inputs.PacketSound)
        ownSound(inputs.OpenEffectSound, entries.OpenEffect);
    if (!inputs.SurpriseSound.isEmpty() && inputs.SurpriseSound != inputs.PacketSound &&
        inputs.SurpriseSound != inputs.OpenEffectSound)
        ownSound(inputs.SurpriseSound, entries.Surprise);
    letEventsRun();

    ConvertPictureToBmp(inputs.PacketPicture, folder + kPacketBmp, record.PacketTransparentColour);
    letEventsRun();
    ConvertPictureToBmp(inputs.SurprisePicture, folder + kSurpriseBmp,
                        record.SurpriseTransparentColour);
    record.PacketTransparent = inputs.PacketTransparent;
    record.SurpriseTransparent = inputs.SurpriseTransparent;
    letEventsRun();

    // A failed archive shows when the container is opened for appending.
    MakeArchive(archiveFiles, folder + kDataZip, kDataArchivePassword);
    letEventsRun();

    try {
        CopyEngine(inputs.EnginePath(), outcome.OutputPath);
        const QString url = TrimBlanks(inputs.GoToUrl).left(kUrlCapacity);
        record.HasGoToUrl = !url.isEmpty();
        record.GoToUrl = url;
        AppendSurpriseData(outcome.OutputPath, folder + kDataZip, record);
    } catch (...) {
        // A half-written surprise must not pass for a built one.
        QFile::remove(outcome.OutputPath);
        throw;
    }
    outcome.Built = QFileInfo(outcome.OutputPath).isFile();
    return outcome;
}
