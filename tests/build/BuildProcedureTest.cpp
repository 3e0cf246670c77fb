#include "build/BuildProcedure.h"
#include "build/DataArchive.h"
#include "build/SurpriseContainer.h"
#include "build/gUtils.h"
#include "platform/PictureReader.h"
#include "support/TestSupport.h"
#include "ZipTool.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QJsonArray>

#include <gtest/gtest.h>

#include <vector>

using testsupport::ReadFile;
using testsupport::TestHome;
using testsupport::WorkingFolder;
using testsupport::WriteFile;

namespace {

const QByteArray kEngine = "#!/bin/sh\necho engine\nexit 0\n";

class BuildProcedureTest : public ::testing::Test {
protected:
    void SetUp() override {
        WriteFile(Work.Path() + "Engines/Surprise.exe", kEngine);
        WriteFile(Work.Path() + "Sounds/birthday.mid", "MThd birthday");
        WriteFile(Work.Path() + "Sounds/pop.wav", "RIFF pop");
        WriteFile(Work.Path() + "Sounds/song.longextension", "long");
        Inputs.PacketPicture =
            Picture("Pictures/Packets/Series/packet.png", 120, 90, qRgb(255, 0, 0));
        Inputs.SurprisePicture =
            Picture("Pictures/Surprises/Series/surprise.png", 140, 100, qRgb(0, 0, 255));
        Inputs.OutputFileName = "Surprise.exe";
        Inputs.EnginesFolder = Work.Path() + "Engines/";
        Inputs.SoundsFolder = Work.Path() + "Sounds/";
        Inputs.TempRoot = Home.Temp() + "/Zorvane-test/";
    }

    // A picture with content: a diagonal line, and bottomLeft in the bottom-left corner.
    QString Picture(const QString& name, int w, int h, QRgb bottomLeft = qRgb(0, 0, 0)) {
        QImage image(w, h, QImage::Format_ARGB32);
        image.fill(qRgb(250, 250, 250));
        for (int i = 0; i < qMin(w, h); ++i)
            image.setPixel(i, i, qRgb(10, 20, 30));
        image.setPixel(0, h - 1, bottomLeft);
        return Save(name, image);
    }
    QString Plain(const QString& name, int w, int h) {
        QImage image(w, h, QImage::Format_ARGB32);
        image.fill(qRgb(7, 7, 7));
        return Save(name, image);
    }
    QString Save(const QString& name, const QImage& image) {
        const QString path = Work.Path() + name;
        QDir().mkpath(QFileInfo(path).path());
        EXPECT_TRUE(image.save(path));
        return path;
    }

    QStringList EntryNames(const QByteArray& zip) {
        QStringList names;
        for (const ArchiveEntry& e : ReadArchive(zip, kDataArchivePassword, false))
            names << e.Name;
        return names;
    }

    TestHome Home;
    WorkingFolder Work;
    BuildInputs Inputs;
};

} // namespace

TEST_F(BuildProcedureTest, ChecksComeInOrderWithTheirMessages) {
    const QString small = Picture("small.png", 99, 80);
    const QString low = Picture("low.png", 100, 79);
    const QString exact = Picture("exact.png", 100, 80);
    const QString plain = Plain("plain.png", 300, 300);
    struct Case {
        const char* What;
        std::function<void(BuildInputs&)> Change;
        BuildCheck Expected;
    };
    const std::vector<Case> cases = {
        {"engine missing beats an empty picture",
         [&](BuildInputs& in) {
             in.EnginesFolder += "missing/";
             in.PacketPicture = plain;
         },
         BuildCheck::EngineMissing},
        {"empty packet", [&](BuildInputs& in) { in.PacketPicture = plain; },
         BuildCheck::PacketEmpty},
        {"empty surprise beats a small packet",
         [&](BuildInputs& in) {
             in.PacketPicture = small;
             in.SurprisePicture = plain;
         },
         BuildCheck::SurpriseEmpty},
        {"packet 99 wide", [&](BuildInputs& in) { in.PacketPicture = small; },
         BuildCheck::PacketTooSmall},
        {"packet 79 high", [&](BuildInputs& in) { in.PacketPicture = low; },
         BuildCheck::PacketTooSmall},
        {"surprise 99 wide", [&](BuildInputs& in) { in.SurprisePicture = small; },
         BuildCheck::SurpriseTooSmall},
        {"a small picture beats the URL",
         [&](BuildInputs& in) {
             in.SurprisePicture = low;
             in.GoToUrl = "https://a";
         },
         BuildCheck::SurpriseTooSmall},
        {"https", [&](BuildInputs& in) { in.GoToUrl = "https://a"; }, BuildCheck::UrlInvalid},
        {"100 x 80 passes",
         [&](BuildInputs& in) {
             in.PacketPicture = exact;
             in.SurprisePicture = exact;
             in.GoToUrl = "  HTTP://a  ";
         },
         BuildCheck::Passed},
    };
    for (const Case& c : cases) {
        BuildInputs in = Inputs;
        c.Change(in);
        EXPECT_EQ(RunBuildChecks(in), c.Expected) << c.What;
    }
}

TEST_F(BuildProcedureTest, CheckMessagesAreTheBuildersTexts) {
    const QString engine = "Engine not found, reinstalling the program may solve this problem.";
    const std::vector<std::pair<BuildCheck, QString>> messages = {
        {BuildCheck::Passed, ""},
        {BuildCheck::EngineMissing, engine},
        {BuildCheck::ZipLibraryMissing, engine},
        {BuildCheck::PacketEmpty, "The Packet picture is empty. Double-click it to modify."},
        {BuildCheck::SurpriseEmpty, "The Surprise picture is empty. Double-click it to modify."},
        {BuildCheck::PacketTooSmall,
         "The Packet picture size cannot be smaller than 100 x 80 pixels."},
        {BuildCheck::SurpriseTooSmall,
         "The Surprise picture size cannot be smaller than 100 x 80 pixels."},
        {BuildCheck::UrlInvalid, "The Go To URL is not valid, it must begin with http:// "
                                 "prefix.\r\n\r\nExample:  http://zorvane.example.org/zorvane.php"},
    };
    for (const auto& [check, text] : messages)
        EXPECT_EQ(BuildCheckMessage(check), text) << int(check);
}

TEST_F(BuildProcedureTest, UnreadablePictureIsThrownByTheChecks) {
    Inputs.SurprisePicture = WriteFile(Work.Path() + "broken.png", "not a png");
    EXPECT_THROW(RunBuildChecks(Inputs), PictureError);
}

TEST(IsValidGoToUrl, PrefixAfterTrimming) {
    const std::vector<std::pair<QString, bool>> cases = {
        {"", true},
        {" \t\r\n", true},
        {"http://a", true},
        {"  HTTP://a  ", true},
        {"hTtP://zorvane.example.org/", true},
        {"\thttp://a\r\n", true},
        {"http://", false},
        {"  http://  ", false},
        {"https://a", false},
        {"http:/a.b", false},
        {"ftp://a", false},
        {"www.example.org", false},
        {QString::fromUtf8("\xEF\xBD\x88ttp://a"), false}, // a full-width h is not an h
    };
    for (const auto& [url, valid] : cases)
        EXPECT_EQ(IsValidGoToUrl(url), valid) << url.toStdString();
}

TEST_F(BuildProcedureTest, BuildRoundTrip) {
    Inputs.PacketSound = "birthday.mid";
    Inputs.OpenEffectSound = "pop.wav";
    Inputs.SurpriseSound = "birthday.mid";
    Inputs.Password = "  pass word \t";
    Inputs.GoToUrl = "  HTTP://a  ";
    Inputs.PacketTransparent = true;
    Inputs.SurpriseTransparent = false;
    ASSERT_EQ(RunBuildChecks(Inputs), BuildCheck::Passed);
    int pumped = 0;
    const BuildOutcome outcome = RunBuild(Inputs, [&pumped] { ++pumped; });

    ASSERT_TRUE(outcome.Built);
    EXPECT_GT(pumped, 0);
    EXPECT_TRUE(outcome.BuildFolder.startsWith(Inputs.TempRoot));
    EXPECT_EQ(outcome.OutputPath, outcome.BuildFolder + "Surprise.exe");
    const QFileInfo output(outcome.OutputPath);
    EXPECT_TRUE(output.permission(QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    EXPECT_EQ(ReadFile(outcome.OutputPath).left(kEngine.size()), kEngine);

    const SurpriseContents contents = ReadSurpriseContainer(outcome.OutputPath);
    const SurpriseRecord& r = contents.Record;
    EXPECT_EQ(r.EngineSize, quint32(kEngine.size()));
    EXPECT_EQ(r.PacketPicture, "b1.bmp");
    EXPECT_EQ(r.SurprisePicture, "b2.bmp");
    EXPECT_TRUE(r.PacketTransparent);
    EXPECT_FALSE(r.SurpriseTransparent);
    EXPECT_EQ(r.PacketTransparentColour, (BgrTriple{0x00, 0x00, 0xFF}));
    EXPECT_EQ(r.SurpriseTransparentColour, (BgrTriple{0xFF, 0x00, 0x00}));
    EXPECT_EQ(r.OpenPassword, "pass word");
    EXPECT_EQ(r.PacketSoundFile, "s1.mid");
    EXPECT_EQ(r.OpenEffectSoundFile, "s2.wav");
    EXPECT_EQ(r.SurpriseSoundFile, "s1.mid");
    EXPECT_TRUE(r.HasGoToUrl);
    EXPECT_EQ(r.GoToUrl, "HTTP://a");
    EXPECT_EQ(r.BuildTag.size(), 8);
    EXPECT_TRUE(r.BuildTime.contains(r.BuildTag));

    const QList<ArchiveEntry> entries = ReadArchive(contents.Archive, kDataArchivePassword, true);
    ASSERT_EQ(entries.size(), 4);
    EXPECT_EQ(entries[0].Name, "b1.bmp");
    EXPECT_EQ(entries[0].Data, ReadFile(outcome.BuildFolder + "b1.bmp"));
    EXPECT_EQ(entries[1].Name, "b2.bmp");
    EXPECT_EQ(entries[2].Name, "s1.mid");
    EXPECT_EQ(entries[2].Data, "MThd birthday");
    EXPECT_EQ(entries[3].Name, "s2.wav");
    for (const ArchiveEntry& e : entries)
        EXPECT_TRUE(e.Encrypted) << e.Name.toStdString();

    // Python's zipfile reads the archive taken out of the container.
    const QString zip = WriteFile(Home.Path() + "/extracted.zip", contents.Archive);
    const QJsonObject listing = ziptool::List(zip, "Kq4!)=");
    ASSERT_FALSE(listing.contains("error")) << listing["error"].toString().toStdString();
    EXPECT_EQ(listing["entries"].toArray().size(), 4);
    EXPECT_EQ(listing["entries"][1]["content"].toString(),
              ReadFile(outcome.BuildFolder + "b2.bmp").toHex());
    EXPECT_TRUE(ziptool::List(zip).contains("error"));
}

TEST_F(BuildProcedureTest, WithoutSoundsTheArchiveHoldsOnlyThePictures) {
    const BuildOutcome outcome = RunBuild(Inputs);
    ASSERT_TRUE(outcome.Built);
    const SurpriseContents contents = ReadSurpriseContainer(outcome.OutputPath);
    EXPECT_EQ(EntryNames(contents.Archive), QStringList({"b1.bmp", "b2.bmp"}));
    const QByteArray record = contents.Record.ToBytes();
    for (int offset : {68, 128, 138, 148, 158})
        EXPECT_EQ(record[offset], 0) << offset;
    EXPECT_EQ(record.mid(159), QByteArray(256, '\0'));
    QStringList files = QDir(outcome.BuildFolder).entryList(QDir::Files);
    files.sort(Qt::CaseSensitive);
    EXPECT_EQ(files, QStringList({"Surprise.exe", "b1.bmp", "b2.bmp", "data.zip"}));
}

TEST_F(BuildProcedureTest, SoundEntriesInTheArchiveCarryTheRecordsNames) {
    Inputs.PacketSound = "song.longextension";
    Inputs.OpenEffectSound = "song.longextension";
    Inputs.SurpriseSound = "missing.wav"; // a failed copy is not reported
    const BuildOutcome outcome = RunBuild(Inputs);
    ASSERT_TRUE(outcome.Built);
    const SurpriseContents contents = ReadSurpriseContainer(outcome.OutputPath);
    EXPECT_EQ(contents.Record.PacketSoundFile, "s1.longe");
    EXPECT_EQ(contents.Record.OpenEffectSoundFile, "s1.longe");
    EXPECT_EQ(contents.Record.SurpriseSoundFile, "s3.wav");
    EXPECT_EQ(EntryNames(contents.Archive), QStringList({"b1.bmp", "b2.bmp", "s1.longe"}));
}

TEST_F(BuildProcedureTest, EveryBuildHasItsOwnFolder) {
    const BuildOutcome first = RunBuild(Inputs);
    const BuildOutcome second = RunBuild(Inputs);
    ASSERT_TRUE(first.Built && second.Built);
    EXPECT_NE(first.BuildFolder, second.BuildFolder);
    EXPECT_TRUE(QFileInfo::exists(first.OutputPath));
    EXPECT_TRUE(QFileInfo::exists(second.OutputPath));
}

TEST_F(BuildProcedureTest, BuildFoldersAreTimeStampsThatNeverRepeat) {
    const QDateTime before = QDateTime::currentDateTime();
    QStringList folders;
    for (int i = 0; i < 30; ++i) {
        QString folder;
        ASSERT_TRUE(MakeBuildFolder(Inputs.TempRoot, folder));
        ASSERT_TRUE(QFileInfo(folder).isDir());
        EXPECT_FALSE(folders.contains(folder));
        folders << folder;
    }
    const QString name = QDir(folders[0]).dirName();
    ASSERT_EQ(name.size(), 15);
    const QDateTime stamp = QDateTime::fromString("20" + name, "yyyyMMddhhmmsszzz");
    ASSERT_TRUE(stamp.isValid()) << name.toStdString();
    EXPECT_LE(qAbs(before.msecsTo(stamp)), 5000);

    const QString notAFolder = WriteFile(Home.Temp() + "/file", "x");
    QString folder = "left over";
    EXPECT_FALSE(MakeBuildFolder(notAFolder + "/", folder));
    EXPECT_TRUE(folder.isEmpty());
    // The build ends quietly, not built.
    Inputs.TempRoot = notAFolder + "/";
    const BuildOutcome outcome = RunBuild(Inputs);
    EXPECT_FALSE(outcome.Built);
    EXPECT_TRUE(outcome.BuildFolder.isEmpty());
}

TEST_F(BuildProcedureTest, FailedContainerIsRemovedAndNotBuilt) {
    // Takes away what a step needs once the archive is written, as a full disk or
    // another program could.
    struct Case {
        const char* What;
        std::function<void(const QString& folder)> Spoil;
    };
    const std::vector<Case> cases = {
        {"archive gone before the append", [](const QString& f) { QFile::remove(f + "data.zip"); }},
        {"engine gone before the copy",
         [this](const QString&) { QFile::remove(Inputs.EnginePath()); }},
    };
    for (const Case& c : cases) {
        WriteFile(Inputs.EnginePath(), kEngine);
        const auto spoil = [&] {
            for (const QString& name :
                 QDir(Inputs.TempRoot).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
                const QString folder = Inputs.TempRoot + name + "/";
                if (QFileInfo::exists(folder + "data.zip") &&
                    !QFileInfo::exists(folder + "spoilt")) {
                    WriteFile(folder + "spoilt", "");
                    c.Spoil(folder);
                }
            }
        };
        EXPECT_ANY_THROW(RunBuild(Inputs, spoil)) << c.What;
        for (const QString& name :
             QDir(Inputs.TempRoot).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
            EXPECT_FALSE(QFileInfo::exists(Inputs.TempRoot + name + "/Surprise.exe")) << c.What;
    }
}

TEST_F(BuildProcedureTest, OutputNameMustBeABareNameOfItsOwn) {
    for (const char* name : {"", "../Surprise.exe", "a/b.exe", "..", "data.zip", "b1.bmp"}) {
        Inputs.OutputFileName = name;
        EXPECT_THROW(RunBuild(Inputs), FileError) << name;
    }
    EXPECT_FALSE(QFileInfo::exists(Inputs.TempRoot)) << "nothing was made";
}

TEST_F(BuildProcedureTest, OtherEngineFileAndOutputName) {
    Inputs.EngineFile = WriteFile(Home.Path() + "/elsewhere/player", kEngine + "x");
    Inputs.EnginesFolder = Home.Path() + "/no engines here/";
    Inputs.OutputFileName = "Birthday.exe";
    ASSERT_EQ(RunBuildChecks(Inputs), BuildCheck::Passed);
    const BuildOutcome outcome = RunBuild(Inputs);
    ASSERT_TRUE(outcome.Built);
    EXPECT_TRUE(outcome.OutputPath.endsWith("/Birthday.exe"));
    EXPECT_EQ(ReadSurpriseContainer(outcome.OutputPath).Record.EngineSize,
              quint32(kEngine.size() + 1));
}
