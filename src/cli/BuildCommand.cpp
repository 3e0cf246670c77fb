#include "cli/CliCommand.h"

#include "build/BuildProcedure.h"
#include "build/gUtils.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryDir>

#include <vector>

namespace {

const char kHelp[] =
    "Usage: zorvane-cli build --engine FILE --packet PICTURE --surprise PICTURE\n"
    "                         [--sounds DIR] [--packet-sound NAME] [--open-effect NAME]\n"
    "                         [--surprise-sound NAME] [--password TEXT] [--url TEXT]\n"
    "                         [--packet-transparency on|off] [--surprise-transparency on|off]\n"
    "                         --output FILE\n"
    "\n"
    "Builds a surprise exactly as the builder does. Sound names are bare file names\n"
    "inside DIR; the surprise's own file name is the last part of FILE. Both\n"
    "transparency options are on unless switched off.\n"
    "\n"
    "Exit codes: 0 built; 1 a check failed (the builder's message is printed on\n"
    "standard error) or the build failed; 2 wrong arguments.";

QString Required(const CliArguments& args, const char* option) {
    const QString value = args.Value(option);
    if (value.isEmpty())
        throw UsageError(QStringLiteral("%1 is required").arg(QLatin1String(option)).toStdString());
    return value;
}

bool OnOff(const CliArguments& args, const char* option) {
    if (!args.Has(option))
        return true;
    const QString value = args.Value(option);
    if (value != QLatin1String("on") && value != QLatin1String("off"))
        throw UsageError(
            QStringLiteral("%1 takes on or off").arg(QLatin1String(option)).toStdString());
    return value == QLatin1String("on");
}

QString SoundName(const CliArguments& args, const char* option) {
    const QString name = args.Value(option);
    if (name.isEmpty())
        return {};
    if (!args.Has("--sounds"))
        throw UsageError(
            QStringLiteral("%1 needs --sounds DIR").arg(QLatin1String(option)).toStdString());
    if (name.contains(QLatin1Char('/')) || name == QLatin1String(".") ||
        name == QLatin1String(".."))
        throw UsageError(QStringLiteral("%1 takes a bare file name inside the sounds folder")
                             .arg(QLatin1String(option))
                             .toStdString());
    return name;
}

// The surprise leaves the private build folder whole or not at all.
void Deliver(const QString& built, const QString& target) {
    QFile source(built);
    QSaveFile output(target);
    if (!source.open(QIODevice::ReadOnly) || !output.open(QIODevice::WriteOnly))
        throw FileError(
            QStringLiteral("Cannot write %1: %2").arg(target, output.errorString()).toStdString());
    std::vector<char> block(65536);
    qint64 n;
    while ((n = source.read(block.data(), qint64(block.size()))) > 0)
        if (output.write(block.data(), n) != n)
            break;
    if (n != 0 || !output.commit())
        throw FileError(
            QStringLiteral("Cannot write %1: %2").arg(target, output.errorString()).toStdString());
    QFile::setPermissions(target, QFile::permissions(built));
}

int Run(const QStringList& arguments) {
    const CliArguments args =
        ParseArguments(arguments,
                       {QStringLiteral("--engine"), QStringLiteral("--packet"),
                        QStringLiteral("--surprise"), QStringLiteral("--sounds"),
                        QStringLiteral("--packet-sound"), QStringLiteral("--open-effect"),
                        QStringLiteral("--surprise-sound"), QStringLiteral("--password"),
                        QStringLiteral("--url"), QStringLiteral("--packet-transparency"),
                        QStringLiteral("--surprise-transparency"), QStringLiteral("--output")},
                       0);
    BuildInputs inputs;
    inputs.EngineFile = QFileInfo(Required(args, "--engine")).absoluteFilePath();
    inputs.PacketPicture = QFileInfo(Required(args, "--packet")).absoluteFilePath();
    inputs.SurprisePicture = QFileInfo(Required(args, "--surprise")).absoluteFilePath();
    const QString output = QFileInfo(Required(args, "--output")).absoluteFilePath();
    inputs.OutputFileName = QFileInfo(output).fileName();
    if (inputs.OutputFileName.isEmpty())
        throw UsageError("--output must name a file");
    if (args.Has("--sounds"))
        inputs.SoundsFolder =
            QFileInfo(args.Value("--sounds")).absoluteFilePath() + QLatin1Char('/');
    inputs.PacketSound = SoundName(args, "--packet-sound");
    inputs.OpenEffectSound = SoundName(args, "--open-effect");
    inputs.SurpriseSound = SoundName(args, "--surprise-sound");
    inputs.Password = args.Value("--password");
    inputs.GoToUrl = args.Value("--url");
    inputs.PacketTransparent = OnOff(args, "--packet-transparency");
    inputs.SurpriseTransparent = OnOff(args, "--surprise-transparency");

    const BuildCheck check = RunBuildChecks(inputs);
    if (check != BuildCheck::Passed) {
        PrintError(BuildCheckMessage(check));
        return kExitFailed;
    }
    const QTemporaryDir temp(QDir::tempPath() + QStringLiteral("/zorvane-cli-XXXXXX"));
    if (!temp.isValid())
        throw FileError("Cannot create a temporary folder.");
    inputs.TempRoot = temp.path() + QLatin1Char('/');
    const BuildOutcome outcome = RunBuild(inputs);
    if (!outcome.Built) {
        PrintError(QStringLiteral("The surprise could not be built."));
        return kExitFailed;
    }
    Deliver(outcome.OutputPath, output);
    return kExitOk;
}

} // namespace

const CliCommand kBuildCommand = {"build", "build a surprise from pictures, sounds and options",
                                  kHelp, Run};
