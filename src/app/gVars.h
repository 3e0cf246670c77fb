#pragma once

#include <QString>

// The working folder paths, each absolute and ending in the separator.
struct AppFolders {
    QString ProgramFolder;
    QString EnginesFolder;
    QString PacketsRoot;
    QString SurprisesRoot;
    QString FontsFolder;
    QString SoundsFolder;
    QString TempRoot;
    QString BuildFolder; // empty until the first build starts

    // Every folder but TempRoot and BuildFolder, from the program's folder.
    static AppFolders FromProgramFolder(const QString& programFolder);
};

// The builder's choices and flags for this run. Never stored.
struct BuilderState {
    QString PacketSound;
    QString OpenEffectSound;
    QString SurpriseSound;
    QString OutputFileName;
    bool CompressedDelivery = true;
    // -2 means no series loaded; writing -2 forces the next series change to reload.
    int LoadedPacketsSeries = -2;
    int LoadedSurprisesSeries = -2;
    int LastBuildPacketsSeries = -1;
    int LastBuildSurprisesSeries = -1;
    int LastBuildPacket = -1;
    int LastBuildSurprise = -1;
    bool Built = false;
    bool Building = false;
};

// The process-wide records.
AppFolders& appFolders();
BuilderState& builderState();

// The temporary root's folder name under the user's temporary folder.
QString TempRootName();

// CompressedDelivery from "g1" and OutputFileName from "g2" of the settings.
void ReadOptions(BuilderState& state);
