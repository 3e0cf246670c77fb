#include "app/gVars.h"

#include "app/gRegistry.h"
#include "app/gUtils.h"

#include <unistd.h>

AppFolders AppFolders::FromProgramFolder(const QString& programFolder) {
    AppFolders folders;
    folders.ProgramFolder = IncludeBackslash(programFolder);
    folders.EnginesFolder = folders.ProgramFolder + QStringLiteral("Engines/");
    folders.PacketsRoot = folders.ProgramFolder + QStringLiteral("Pictures/Packets/");
    folders.SurprisesRoot = folders.ProgramFolder + QStringLiteral("Pictures/Surprises/");
    folders.FontsFolder = folders.ProgramFolder + QStringLiteral("Fonts/");
    folders.SoundsFolder = folders.ProgramFolder + QStringLiteral("Sounds/");
    return folders;
}

AppFolders& appFolders() {
    static AppFolders folders;
    return folders;
}

BuilderState& builderState() {
    static BuilderState state;
    return state;
}

QString TempRootName() {
    return QStringLiteral("Zorvane-%1").arg(static_cast<qulonglong>(::getuid()));
}

void ReadOptions(BuilderState& state) {
    state.CompressedDelivery =
        ReadSetting(kSettingsKey, QStringLiteral("g1")) != QLatin1String("F");
    const QString name = TrimBlanks(ReadSetting(kSettingsKey, QStringLiteral("g2")));
    state.OutputFileName = (!name.isEmpty() && IsValidFileName(name))
                               ? name + QStringLiteral(".exe")
                               : QStringLiteral("Surprise.exe");
}
