#include "app/gVars.h"

#include <gtest/gtest.h>

TEST(gVars, FoldersDeriveFromTheProgramFolder) {
    const AppFolders folders = AppFolders::FromProgramFolder("/opt/z");
    EXPECT_EQ(folders.ProgramFolder, "/opt/z/");
    EXPECT_EQ(folders.EnginesFolder, "/opt/z/Engines/");
    EXPECT_EQ(folders.PacketsRoot, "/opt/z/Pictures/Packets/");
    EXPECT_EQ(folders.SurprisesRoot, "/opt/z/Pictures/Surprises/");
    EXPECT_EQ(folders.FontsFolder, "/opt/z/Fonts/");
    EXPECT_EQ(folders.SoundsFolder, "/opt/z/Sounds/");
    EXPECT_EQ(folders.BuildFolder, "");
}

TEST(gVars, BuilderStateStartsEmpty) {
    const BuilderState state;
    EXPECT_EQ(state.LoadedPacketsSeries, -2);
    EXPECT_EQ(state.LoadedSurprisesSeries, -2);
    EXPECT_EQ(state.LastBuildPacket, -1);
    EXPECT_EQ(state.LastBuildSurprisesSeries, -1);
    EXPECT_FALSE(state.Built);
    EXPECT_FALSE(state.Building);
}
