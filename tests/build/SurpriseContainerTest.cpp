#include "build/SurpriseContainer.h"
#include "support/TestSupport.h"

#include <QDateTime>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

using testsupport::ReadFile;
using testsupport::WriteFile;

namespace {

const QByteArray kEngine = QByteArray("\x7F"
                                      "ELF engine bytes",
                                      17);

QByteArray LengthWord() {
    return QByteArray::fromHex("9F01");
}

class SurpriseContainerTest : public ::testing::Test {
protected:
    void SetUp() override { ResetBuildRandom(); }
    void TearDown() override { ResetBuildRandom(); }

    QString Path(const char* name) const { return Dir.filePath(name); }

    // Appends archive to a fresh engine copy; returns the container's bytes.
    QByteArray Build(const QByteArray& archive, SurpriseRecord& record) {
        WriteFile(Path("Surprise.exe"), kEngine);
        WriteFile(Path("data.zip"), archive);
        AppendSurpriseData(Path("Surprise.exe"), Path("data.zip"), record);
        return ReadFile(Path("Surprise.exe"));
    }

    QTemporaryDir Dir;
};

} // namespace

TEST_F(SurpriseContainerTest, LayoutIsEngineShiftedArchiveRecordAndLength) {
    const QByteArray archive = QByteArray::fromHex("D6FF00012A");
    SurpriseRecord record;
    record.PacketPicture = "b1.bmp";
    const QDateTime before = QDateTime::currentDateTime();
    const QByteArray file = Build(archive, record);

    ASSERT_EQ(file.size(), kEngine.size() + archive.size() + 417);
    EXPECT_EQ(file.left(kEngine.size()), kEngine);
    EXPECT_EQ(file.mid(kEngine.size(), 5), QByteArray::fromHex("00292A2B54"));
    EXPECT_EQ(file.right(2), LengthWord());
    EXPECT_EQ(file.mid(file.size() - 417, 4), QByteArray::fromHex("05A1AB9F"));

    EXPECT_EQ(record.EngineSize, quint32(kEngine.size()));
    EXPECT_EQ(record.ArchiveSize, quint32(archive.size()));
    const QByteArray stored = file.mid(file.size() - 417, 415);
    EXPECT_EQ(stored, record.ToBytes());
    EXPECT_EQ(stored.mid(16, 4), QByteArray::fromHex("11000000"));
    EXPECT_EQ(stored.mid(20, 4), QByteArray::fromHex("05000000"));

    ASSERT_EQ(record.BuildTime.size(), 17);
    const QDateTime stamp = QDateTime::fromString(record.BuildTime, "yyyyMMddhhmmsszzz");
    ASSERT_TRUE(stamp.isValid()) << record.BuildTime.toStdString();
    EXPECT_LE(qAbs(stamp.msecsTo(before)), 5000);
}

TEST_F(SurpriseContainerTest, TagPositionsFollowTheGeneratorFromTheStartOfTheRun) {
    // The draws 0, 0, 9 take the tag from positions 1, 1 and 9.
    for (int start : {1, 1, 9}) {
        SurpriseRecord record;
        Build("zip", record);
        EXPECT_EQ(record.BuildTag, record.BuildTime.mid(start - 1, 8));
        EXPECT_EQ(record.BuildTag.size(), 8);
    }
}

TEST_F(SurpriseContainerTest, ArchiveLargerThanOneBlockIsShiftedWhole) {
    QByteArray archive(3 * 65536 + 123, '\0');
    for (int i = 0; i < archive.size(); ++i)
        archive[i] = char(i * 7 + i / 65536);
    SurpriseRecord record;
    const QByteArray file = Build(archive, record);
    const SurpriseContents contents = ReadSurpriseContainer(Path("Surprise.exe"));
    EXPECT_EQ(contents.Archive, archive);
    EXPECT_EQ(contents.Record.ToBytes(), record.ToBytes());
    EXPECT_EQ(ParseSurpriseContainer(file).Archive, archive);
}

TEST_F(SurpriseContainerTest, EmptyArchiveStillGivesAReadableContainer) {
    SurpriseRecord record;
    const QByteArray file = Build({}, record);
    EXPECT_EQ(file.size(), kEngine.size() + 417);
    EXPECT_TRUE(ParseSurpriseContainer(file).Archive.isEmpty());
}

TEST_F(SurpriseContainerTest, AppendErrorsAreThrown) {
    WriteFile(Path("Surprise.exe"), kEngine);
    SurpriseRecord record;
    EXPECT_THROW(AppendSurpriseData(Path("Surprise.exe"), Path("missing.zip"), record),
                 ContainerError);
    WriteFile(Path("data.zip"), "zip");
    EXPECT_THROW(AppendSurpriseData(Path("no/such/Surprise.exe"), Path("data.zip"), record),
                 ContainerError);
}

TEST_F(SurpriseContainerTest, DamagedContainersAreRefused) {
    SurpriseRecord record;
    const QByteArray good = Build("archive bytes", record);
    const int recordAt = good.size() - 417;
    const auto with = [&good](int offset, const QByteArray& bytes) {
        QByteArray b = good;
        b.replace(offset, bytes.size(), bytes);
        return b;
    };
    struct Case {
        const char* What;
        QByteArray File;
    };
    const std::vector<Case> cases = {
        {"empty", {}},
        {"only the length word", LengthWord()},
        {"416 bytes", QByteArray(414, '\0') + LengthWord()},
        {"the record alone without its engine", good.right(417)},
        {"length word 416", with(good.size() - 2, QByteArray::fromHex("A001"))},
        {"length word 0", with(good.size() - 2, QByteArray::fromHex("0000"))},
        {"signature", with(recordAt + 3, QByteArray(1, '\0'))},
        {"engine size one more", with(recordAt + 16, QByteArray::fromHex("12000000"))},
        {"archive size one less", with(recordAt + 20, QByteArray::fromHex("0C000000"))},
        {"sizes that wrap around 32 bits",
         with(recordAt + 16, QByteArray::fromHex("FFFFFFFF") + QByteArray::fromHex("1F000000"))},
        {"a byte cut from the engine", good.mid(1)},
        {"a byte added at the end", good + '\0'},
        {"a string longer than its field", with(recordAt + 42, "\x09")},
        {"not a surprise at all", QByteArray(4096, 'x')},
    };
    QTemporaryDir dir;
    for (const Case& c : cases) {
        EXPECT_THROW(ParseSurpriseContainer(c.File), ContainerError) << c.What;
        const QString path = WriteFile(dir.filePath("damaged.exe"), c.File);
        EXPECT_THROW(ReadSurpriseContainer(path), ContainerError) << c.What;
    }
    EXPECT_NO_THROW(ParseSurpriseContainer(good));
    EXPECT_THROW(ReadSurpriseContainer(dir.filePath("missing.exe")), ContainerError);
}

TEST_F(SurpriseContainerTest, ArchiveAboveTheReadLimitIsRefused) {
    SurpriseRecord record;
    const QByteArray file = Build(QByteArray(1000, 'a'), record);
    EXPECT_THROW(ParseSurpriseContainer(file, 999), ContainerError);
    EXPECT_THROW(ReadSurpriseContainer(Path("Surprise.exe"), 999), ContainerError);
    EXPECT_EQ(ReadSurpriseContainer(Path("Surprise.exe"), 1000).Archive.size(), 1000);
}
