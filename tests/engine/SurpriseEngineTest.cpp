#include "engine/SurpriseEngine.h"

#include "engine/SurpriseFixture.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

using testsupport::ReadFile;
using testsupport::WriteFile;

namespace {

const QString kStagedEngine = QStringLiteral(ZORVANE_STAGE_DIR "/Engines/Surprise.exe");

class SurpriseEngineTest : public ::testing::Test {
protected:
    // A surprise made from the real engine, ready to run.
    QString BuildRunnable(SurpriseSpec wanted,
                          const QString& name = QStringLiteral("Surprise.exe")) {
        wanted.Engine = ReadFile(kStagedEngine);
        EXPECT_FALSE(wanted.Engine.isEmpty()) << "the engine is not staged";
        const QString path = BuildSurprise(wanted, Dir.path(), name);
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return path;
    }

    struct Run {
        int ExitCode = -1;
        QString Errors;
    };
    Run Start(const QString& program, const QStringList& environment) {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        for (const QString& pair : environment)
            env.insert(pair.section(QLatin1Char('='), 0, 0), pair.section(QLatin1Char('='), 1));
        process.setProcessEnvironment(env);
        process.start(program, {});
        EXPECT_TRUE(process.waitForFinished(30000)) << program.toStdString();
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                QString::fromLocal8Bit(process.readAllStandardError())};
    }

    QStringList PrivateFolders() const {
        return QDir(Home.Temp())
            .entryList({QStringLiteral("Surprise-*")}, QDir::Dirs | QDir::Hidden);
    }

    testsupport::TestHome Home;
    QTemporaryDir Dir;
};

SurpriseSpec WithASound() {
    SurpriseSpec wanted;
    wanted.PacketSound = QStringLiteral("s1.wav");
    wanted.SoundFiles = {{QStringLiteral("s1.wav"), TinyWav()}};
    return wanted;
}

TEST_F(SurpriseEngineTest, ADamagedSurpriseSaysSoOnceAndEndsWithCodeOne) {
    const std::pair<const char*, std::function<QString()>> cases[] = {
        {"bare engine",
         [this] {
             return WriteFile(Dir.filePath(QStringLiteral("bare.exe")), "\x7f"
                                                                        "ELF");
         }},
        {"truncated",
         [this] {
             const QString path = BuildSurprise(SurpriseSpec(), Dir.path());
             QByteArray bytes = ReadFile(path);
             bytes.chop(1);
             return WriteFile(path, bytes);
         }},
        {"unencrypted archive",
         [this] {
             SurpriseSpec wanted;
             wanted.ArchivePassword.clear();
             return BuildSurprise(wanted, Dir.path());
         }},
    };
    for (const auto& [name, make] : cases) {
        SCOPED_TRACE(name);
        const QString path = make();
        QString seen;
        int boxes = 0;
        testsupport::AnswerNextModal([&](QWidget* modal) {
            ++boxes;
            if (auto* box = qobject_cast<QMessageBox*>(modal))
                seen = box->text();
            modal->close();
        });
        QElapsedTimer clock;
        clock.start();
        EXPECT_EQ(RunSurpriseEngine(path, clock), 1);
        EXPECT_EQ(boxes, 1);
        EXPECT_EQ(seen, QStringLiteral("This surprise is damaged and cannot be opened."));
        EXPECT_TRUE(PrivateFolders().isEmpty());
    }
}

TEST_F(SurpriseEngineTest, TheStagedEngineRefusesDamageWithCodeOne) {
    const QStringList toStderr{QStringLiteral("ZORVANE_ENGINE_MESSAGES=stderr")};
    // The engine on its own has nothing appended.
    Run bare = Start(kStagedEngine, toStderr);
    EXPECT_EQ(bare.ExitCode, 1);
    EXPECT_TRUE(bare.Errors.contains(DamagedSurpriseMessage())) << bare.Errors.toStdString();

    const QString path = BuildRunnable(WithASound());
    QByteArray bytes = ReadFile(path);
    bytes[bytes.size() - 417 + 1] = char(bytes[bytes.size() - 417 + 1] ^ 0x10); // the signature
    WriteFile(path, bytes);
    Run damaged = Start(path, toStderr);
    EXPECT_EQ(damaged.ExitCode, 1);
    EXPECT_TRUE(damaged.Errors.contains(DamagedSurpriseMessage())) << damaged.Errors.toStdString();
    EXPECT_TRUE(PrivateFolders().isEmpty());
}

TEST_F(SurpriseEngineTest, TheStagedEngineShowsItsPacketAndCleansUp) {
    const QString path = BuildRunnable(WithASound(), QStringLiteral("Birthday.exe"));
    Run run = Start(path, {QStringLiteral("ZORVANE_ENGINE_TIMING=quit")});
    EXPECT_EQ(run.ExitCode, 0) << run.Errors.toStdString();
    EXPECT_TRUE(run.Errors.contains(QStringLiteral("Surprise: packet shown after ")))
        << run.Errors.toStdString();
    EXPECT_TRUE(PrivateFolders().isEmpty())
        << PrivateFolders().join(QLatin1Char(' ')).toStdString();
}

TEST_F(SurpriseEngineTest, ATerminatedSurpriseStillRemovesItsPrivateFolder) {
    const QString path = BuildRunnable(WithASound());
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(env);
    process.start(path, {});
    ASSERT_TRUE(process.waitForStarted());
    QString folder;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            const QStringList folders = PrivateFolders();
            if (folders.isEmpty())
                return false;
            folder = Home.Temp() + QLatin1Char('/') + folders.first();
            return QFileInfo::exists(folder + QStringLiteral("/s1.wav"));
        },
        15000));
    EXPECT_EQ(QFileInfo(folder).permissions() & 0x0777,
              QFile::ExeUser | QFile::ReadUser | QFile::WriteUser);
    EXPECT_EQ(ReadFile(folder + QStringLiteral("/s1.wav")), TinyWav());
    EXPECT_EQ(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{QStringLiteral("s1.wav")});
    process.terminate();
    ASSERT_TRUE(process.waitForFinished(15000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_FALSE(QFileInfo::exists(folder));
}

} // namespace
