#include "app/gRegistry.h"
#include "app/gVars.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

using testsupport::ReadFile;
using testsupport::TestHome;
using testsupport::WriteFile;

namespace {

QString StoreFile() { return SettingsFilePath(kSettingsKey); }

} // namespace

TEST(gRegistry, StoreLivesInTheConfigHomePerProduct) {
    TestHome home;
    EXPECT_EQ(StoreFile(), home.ConfigHome() + "/QUELV/Zorvane.conf");
    EXPECT_EQ(SettingsFilePath(kFlagsKey), StoreFile());
    EXPECT_EQ(SettingsFilePath("\\Other\\Key"), QString());
}

TEST(gRegistry, FreshAccountReadsEmptyAndDefaults) {
    TestHome home;
    EXPECT_EQ(ReadSetting(kSettingsKey, "g1"), QString());
    BuilderState state;
    state.CompressedDelivery = false;
    ReadOptions(state);
    EXPECT_TRUE(state.CompressedDelivery);
    EXPECT_EQ(state.OutputFileName, "Surprise.exe");
}

TEST(gRegistry, WriteReadDeleteAndKeysAreSeparate) {
    TestHome home;
    WriteSetting(kSettingsKey, "g2", "Birthday");
    WriteSetting(kFlagsKey, "g2", "T");
    WriteSetting(kSettingsKey, "DrawFNT_text", "line one\r\nline, two; @three");
    EXPECT_EQ(ReadSetting(kSettingsKey, "g2"), "Birthday");
    EXPECT_EQ(ReadSetting(kFlagsKey, "g2"), "T");
    EXPECT_EQ(ReadSetting(kSettingsKey, "DrawFNT_text"), "line one\r\nline, two; @three");
    EXPECT_TRUE(DeleteSetting(kSettingsKey, "g2"));
    EXPECT_FALSE(DeleteSetting(kSettingsKey, "g2"));
    EXPECT_EQ(ReadSetting(kSettingsKey, "g2"), QString());
    EXPECT_EQ(ReadSetting(kFlagsKey, "g2"), "T");
}

TEST(gRegistry, CompressedDeliveryOffAndOnLeavesNoValue) {
    TestHome home;
    WriteSetting(kSettingsKey, "g2", "Card");
    WriteSetting(kSettingsKey, "g1", "F");
    EXPECT_TRUE(ReadFile(StoreFile()).contains("g1=F"));
    EXPECT_TRUE(DeleteSetting(kSettingsKey, "g1"));
    EXPECT_FALSE(ReadFile(StoreFile()).contains("g1"));
    EXPECT_EQ(ReadSetting(kSettingsKey, "g2"), "Card");
}

TEST(gRegistry, EmptyValueReadsBackAsDefaultName) {
    TestHome home;
    WriteSetting(kSettingsKey, "g2", "");
    BuilderState state;
    ReadOptions(state);
    EXPECT_EQ(state.OutputFileName, "Surprise.exe");
}

TEST(gRegistry, ReadOptionsTable) {
    struct Case {
        const char* g1;
        const char* g2;
        bool compressed;
        const char* output;
    };
    const Case cases[] = {
        {nullptr, nullptr, true, "Surprise.exe"},
        {"F", "  Birthday  ", false, "Birthday.exe"},
        {"f", "\tBirthday\x01", true, "Birthday.exe"},
        {"False", "card.v2", true, "Surprise.exe"},
        {"T", "a/b", true, "Surprise.exe"},
        {"", "   ", true, "Surprise.exe"},
        {" F", "x:y", true, "Surprise.exe"},
    };
    for (const Case& c : cases) {
        TestHome home;
        if (c.g1)
            WriteSetting(kSettingsKey, "g1", c.g1);
        if (c.g2)
            WriteSetting(kSettingsKey, "g2", c.g2);
        BuilderState state;
        ReadOptions(state);
        EXPECT_EQ(state.CompressedDelivery, c.compressed) << (c.g1 ? c.g1 : "(none)");
        EXPECT_EQ(state.OutputFileName, c.output) << (c.g2 ? c.g2 : "(none)");
    }
}

TEST(gRegistry, ChangeByAnotherProcessIsSeenAtOnce) {
    TestHome home;
    WriteSetting(kSettingsKey, "g2", "First");
    EXPECT_EQ(ReadSetting(kSettingsKey, "g2"), "First");
    QProcess writer;
    writer.start("python3", {"-c",
                             "import sys; open(sys.argv[1], 'w').write('[V]\\ng2=Second\\n')",
                             StoreFile()});
    ASSERT_TRUE(writer.waitForFinished(10000));
    ASSERT_EQ(writer.exitCode(), 0);
    EXPECT_EQ(ReadSetting(kSettingsKey, "g2"), "Second");
}

TEST(gRegistry, ValueOfAnotherTypeReadsEmpty) {
    TestHome home;
    WriteFile(StoreFile(), "[V]\ng2=one, two\n");
    EXPECT_EQ(ReadSetting(kSettingsKey, "g2"), QString());
}

TEST(gRegistry, WritesKeepEveryOtherValue) {
    TestHome home;
    for (int i = 0; i < 20; ++i)
        WriteSetting(kSettingsKey, QString("v%1").arg(i), QString::number(i));
    WriteSetting(kFlagsKey, "MsgAllowFireWall", "T");
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(ReadSetting(kSettingsKey, QString("v%1").arg(i)), QString::number(i));
}

TEST(gRegistry, DamagedStoreReadsEmptyAndIsNotMadeWorse) {
    TestHome home;
    const QByteArray damaged = "[V]\ng2=Birthday\n[unfinished\n\xff\xfe garbage\n";
    WriteFile(StoreFile(), damaged);
    EXPECT_EQ(ReadSetting(kSettingsKey, "g2"), QString());
    EXPECT_THROW(WriteSetting(kSettingsKey, "g1", "F"), std::runtime_error);
    EXPECT_FALSE(DeleteSetting(kSettingsKey, "g2"));
    EXPECT_EQ(ReadFile(StoreFile()), damaged);
}
