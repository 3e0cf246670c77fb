#include "app/fmMain.h"
#include "app/gRegistry.h"
#include "app/gVars.h"
#include "platform/SingleInstance.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <unistd.h>

using testsupport::TestHome;
using testsupport::WorkingFolder;
using testsupport::WriteFile;

namespace {

const QString kProgram = QStringLiteral(ZORVANE_STAGE_DIR "/zorvane");

QProcessEnvironment ChildEnvironment() {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    return env;
}

} // namespace

TEST(Startup, FormCreateMakesThePrivateTempRootAndFormCloseRemovesIt) {
    TestHome home;
    WorkingFolder work;
    TfrmMain window(work.Path());
    ASSERT_TRUE(window.FormCreate());
    const AppFolders& folders = appFolders();
    EXPECT_EQ(folders.ProgramFolder, work.Path());
    EXPECT_EQ(folders.SoundsFolder, work.Path() + "Sounds/");
    EXPECT_EQ(folders.TempRoot, home.Temp() + "/" + TempRootName() + "/");
    EXPECT_EQ(window.windowTitle(), "Zorvane");
    ASSERT_TRUE(QFileInfo(folders.TempRoot).isDir());
    WriteFile(folders.TempRoot + "250101010101010/Surprise.exe", "x");
    WriteFile(folders.TempRoot + "250101010101010/.hidden/data.zip", "x");
    EXPECT_TRUE(window.close());
    EXPECT_FALSE(QFileInfo::exists(folders.TempRoot));
}

TEST(Startup, ClosingIsRefusedWhileBuilding) {
    TestHome home;
    WorkingFolder work;
    TfrmMain window(work.Path());
    ASSERT_TRUE(window.FormCreate());
    window.show();
    builderState().Building = true;
    EXPECT_FALSE(window.close());
    EXPECT_TRUE(QFileInfo(appFolders().TempRoot).isDir());
    builderState().Building = false;
    EXPECT_TRUE(window.close());
}

TEST(Startup, TempRootThatIsALinkIsRefused) {
    TestHome home;
    const QString elsewhere = home.Path() + "/elsewhere";
    QDir().mkpath(elsewhere);
    ASSERT_EQ(::symlink(qPrintable(elsewhere), qPrintable(home.Temp() + "/" + TempRootName())), 0);
    WorkingFolder work;
    TfrmMain window(work.Path());
    QString seen;
    testsupport::AnswerNextMessageBox("OK", &seen);
    EXPECT_FALSE(window.FormCreate());
    EXPECT_EQ(seen, "Can't create temp dir.");
}

TEST(Startup, OptionsChangeOfTheNameClearsBuilt) {
    TestHome home;
    WorkingFolder work;
    TfrmMain window(work.Path());
    ASSERT_TRUE(window.FormCreate());
    builderState().Built = true;
    window.ShowOptionsDialog = [] { WriteSetting(kSettingsKey, "g1", "F"); };
    window.mniOptionsClick();
    EXPECT_TRUE(builderState().Built) << "compressed delivery alone keeps the build";
    EXPECT_FALSE(builderState().CompressedDelivery);
    window.ShowOptionsDialog = [] { WriteSetting(kSettingsKey, "g2", " Birthday "); };
    window.mniOptionsClick();
    EXPECT_FALSE(builderState().Built);
    EXPECT_EQ(builderState().OutputFileName, "Birthday.exe");
}

TEST(Startup, SecondStartRaisesTheFirstAndEndsQuietly) {
    TestHome home;
    WorkingFolder work;
    TfrmMain window(work.Path());
    ASSERT_TRUE(window.FormCreate());
    SingleInstance instance;
    ASSERT_TRUE(instance.Listen());
    QObject::connect(&instance, &SingleInstance::activationRequested, &window,
                     &TfrmMain::BringForward);
    window.showMinimized();
    ASSERT_EVENTUALLY(window.isMinimized(), 5000);
    QSignalSpy activated(&instance, &SingleInstance::activationRequested);

    QProcess second;
    second.setProcessEnvironment(ChildEnvironment());
    QElapsedTimer clock;
    clock.start();
    second.start(kProgram);
    ASSERT_TRUE(second.waitForStarted());
    while (second.state() != QProcess::NotRunning && clock.elapsed() < 10000)
        QTest::qWait(10);
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_LT(clock.elapsed(), 1000);
    ASSERT_EVENTUALLY((activated.count()) == (1), 5000);
    EXPECT_FALSE(window.isMinimized());
    EXPECT_EQ(ReadSetting(kSettingsKey, "ProgramLocation"), QString())
        << "the second start writes nothing";
}

TEST(Startup, FirstStartRecordsItsLocationAndLeftoverSocketIsReplaced) {
    TestHome home;
    // A socket file left by a crashed instance: nobody answers it.
    WriteFile(SingleInstance::ServerName(), "");
    QProcess first;
    first.setProcessEnvironment(ChildEnvironment());
    first.start(kProgram);
    ASSERT_TRUE(first.waitForStarted());
    ASSERT_EVENTUALLY((ReadSetting(kSettingsKey, "ProgramLocation")) ==
                          (QFileInfo(kProgram).absoluteFilePath()),
                      10000);
    QProcess second;
    second.setProcessEnvironment(ChildEnvironment());
    ASSERT_EVENTUALLY(
        [&] {
            second.start(kProgram);
            return second.waitForFinished(5000) && second.exitCode() == 0 &&
                   first.state() == QProcess::Running;
        }(),
        10000);
    first.terminate();
    first.waitForFinished(5000);
}
