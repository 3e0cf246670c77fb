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

namespace {

// Blanks and control characters at both ends go, as the option's trim does.
QString TrimControls(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first).unicode() <= 0x20)
        ++first;
    while (last > first && text.at(last - 1).unicode() <= 0x20)
        --last;
    return text.mid(first, last - first);
}

} // namespace

void ReadOptions(BuilderState& state) {
    state.CompressedDelivery = ReadSetting(kSettingsKey, QStringLiteral("g1")) != QLatin1String("F");
    const QString name = TrimControls(ReadSetting(kSettingsKey, QStringLiteral("g2")));
    state.OutputFileName = (!name.isEmpty() && IsValidFileName(name))
                               ? name + QStringLiteral(".exe")
                               : QStringLiteral("Surprise.exe");
}
