#include "build/DataArchive.h"
#include "build/SurpriseContainer.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <gtest/gtest.h>

#include <vector>

using testsupport::ReadFile;
using testsupport::TestHome;
using testsupport::WriteFile;

namespace {

struct Result {
    int Code = -1;
    QString Out;
    QString Err;
};

Result Cli(const QStringList& args) {
    QProcess process;
    process.start(ZORVANE_STAGE_DIR "/zorvane-cli", args);
    EXPECT_TRUE(process.waitForFinished(120000)) << args.join(' ').toStdString();
    Result result;
    result.Code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.Out = QString::fromUtf8(process.readAllStandardOutput());
    result.Err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

const QByteArray kEngine = "#!/bin/sh\nexit 0\n";

class CliTest : public ::testing::Test {
protected:
    void SetUp() override {
        Engine = WriteFile(P("engine/Surprise.exe"), kEngine);
        WriteFile(P("sounds/birthday.mid"), "MThd");
        WriteFile(P("sounds/pop.wav"), "RIFF");
        Packet = Picture("packet.png", 120, 90, qRgb(255, 0, 0));
        Surprise = Picture("surprise.png", 100, 80, qRgb(0, 255, 0));
    }

    QString P(const QString& name) const { return Home.Path() + "/" + name; }

    QString Picture(const QString& name, int w, int h, QRgb bottomLeft) {
        QImage image(w, h, QImage::Format_ARGB32);
        image.fill(qRgb(200, 200, 200));
        image.setPixel(w / 2, h / 2, qRgb(1, 2, 3));
        image.setPixel(0, h - 1, bottomLeft);
        EXPECT_TRUE(image.save(P(name)));
        return P(name);
    }

    QStringList BuildArgs(const QString& output) const {
        return {"build",      "--engine", Engine,     "--packet", Packet,
                "--surprise", Surprise,   "--output", output};
    }

    // A container around a plain ZIP made by Python's zipfile.
    QString ContainerAround(const QString& name, const QStringList& entries) {
        const QString zip = P(name + ".zip");
        QProcess python;
        QStringList args{"-c",
                         "import sys, zipfile\n"
                         "with zipfile.ZipFile(sys.argv[1], 'w') as z:\n"
                         "    for e in sys.argv[2:]: z.writestr(e, 'x')\n",
                         zip};
        python.start("python3", args + entries);
        EXPECT_TRUE(python.waitForFinished(60000) && python.exitCode() == 0);
        const QString container = WriteFile(P(name + ".exe"), kEngine);
        SurpriseRecord record;
        AppendSurpriseData(container, zip, record);
        return container;
    }

    TestHome Home;
    QString Engine, Packet, Surprise;
};

} // namespace

TEST_F(CliTest, HelpForTheProgramAndEachCommand) {
    const Result overview = Cli({"--help"});
    EXPECT_EQ(overview.Code, 0);
    for (const char* command : {"build", "inspect", "extract", "convert", "check"}) {
        EXPECT_TRUE(overview.Out.contains(QString("  ") + command)) << command;
        const Result help = Cli({command, "--help"});
        EXPECT_EQ(help.Code, 0) << command;
        EXPECT_TRUE(help.Out.startsWith(QString("Usage: zorvane-cli ") + command)) << command;
    }
}

TEST_F(CliTest, UsageErrorsExitWithTwo) {
    const std::vector<QStringList> cases = {
        {},
        {"frobnicate"},
        {"inspect"},
        {"inspect", "a", "b"},
        {"extract", "a"},
        {"convert", "a"},
        {"check"},
        {"check", "--colour", "red", "a"},
        {"build", "--packet", "p.png", "--surprise", "s.png", "--output", "o.exe"},
        {"build", "--engine", "e", "--packet", "p", "--surprise", "s"},
        {"build", "--engine", "e", "--packet", "p", "--surprise", "s", "--output", "o", "--output"},
        {"build", "--engine", "e", "--packet", "p", "--surprise", "s", "--output", "o",
         "--packet-transparency", "yes"},
        {"build", "--engine", "e", "--packet", "p", "--surprise", "s", "--output", "o",
         "--packet-sound", "a.mid"},
        {"build", "--engine", "e", "--packet", "p", "--surprise", "s", "--output", "o", "--sounds",
         "d", "--surprise-sound", "../a.mid"},
        {"build", "--engine", "e", "--packet", "p", "--surprise", "s", "--output", "o", "extra"},
    };
    for (const QStringList& args : cases) {
        const Result r = Cli(args);
        EXPECT_EQ(r.Code, 2) << args.join(' ').toStdString();
        EXPECT_FALSE(r.Err.isEmpty()) << args.join(' ').toStdString();
    }
}

TEST_F(CliTest, BuildInspectAndExtract) {
    QStringList args = BuildArgs(P("out/Birthday.exe"));
    args << "--sounds" << P("sounds") << "--packet-sound"
         << "birthday.mid"
         << "--open-effect"
         << "pop.wav"
         << "--surprise-sound"
         << "birthday.mid"
         << "--password"
         << "  secret "
         << "--url"
         << "  HTTP://a  "
         << "--surprise-transparency"
         << "off";
    QDir().mkpath(P("out"));
    const Result built = Cli(args);
    ASSERT_EQ(built.Code, 0) << built.Err.toStdString();
    const QFileInfo output(P("out/Birthday.exe"));
    ASSERT_TRUE(output.isFile());
    EXPECT_TRUE(output.permission(QFileDevice::ExeOwner));
    EXPECT_EQ(ReadFile(output.filePath()).left(kEngine.size()), kEngine);

    const Result inspected = Cli({"inspect", output.filePath()});
    ASSERT_EQ(inspected.Code, 0) << inspected.Err.toStdString();
    QJsonParseError error;
    const QJsonObject json = QJsonDocument::fromJson(inspected.Out.toUtf8(), &error).object();
    ASSERT_EQ(error.error, QJsonParseError::NoError) << inspected.Out.toStdString();
    EXPECT_EQ(json["EngineSize"].toInt(), kEngine.size());
    EXPECT_EQ(json["ArchiveSize"].toInt(), output.size() - kEngine.size() - 417);
    EXPECT_EQ(json["BuildTime"].toString().size(), 17);
    EXPECT_EQ(json["PacketPicture"].toString(), "b1.bmp");
    EXPECT_EQ(json["PacketTransparent"], true);
    EXPECT_EQ(json["PacketTransparentColour"].toString(), "0000ff");
    EXPECT_EQ(json["SurprisePicture"].toString(), "b2.bmp");
    EXPECT_EQ(json["SurpriseTransparent"], false);
    EXPECT_EQ(json["SurpriseTransparentColour"].toString(), "00ff00");
    EXPECT_EQ(json["OpenPassword"].toString(), "secret");
    EXPECT_TRUE(json["BuildTime"].toString().contains(json["BuildTag"].toString()));
    EXPECT_EQ(json["PacketSoundFile"].toString(), "s1.mid");
    EXPECT_EQ(json["OpenEffectSoundFile"].toString(), "s2.wav");
    EXPECT_EQ(json["SurpriseSoundFile"].toString(), "s1.mid");
    EXPECT_EQ(json["HasGoToUrl"], true);
    EXPECT_EQ(json["GoToUrl"].toString(), "HTTP://a");
    const QJsonArray entries = json["entries"].toArray();
    ASSERT_EQ(entries.size(), 4);
    EXPECT_EQ(entries[0].toObject(),
              QJsonObject({{"name", "b1.bmp"}, {"size", 54 + 360 * 90}, {"encrypted", true}}));
    EXPECT_EQ(entries[3].toObject()["name"].toString(), "s2.wav");

    const Result extracted = Cli({"extract", output.filePath(), P("extracted/here")});
    ASSERT_EQ(extracted.Code, 0) << extracted.Err.toStdString();
    EXPECT_EQ(extracted.Out, "b1.bmp\nb2.bmp\ns1.mid\ns2.wav\n");
    EXPECT_EQ(ReadFile(P("extracted/here/s1.mid")), "MThd");
    EXPECT_EQ(QImage(P("extracted/here/b1.bmp"), "BMP").size(), QSize(120, 90));
}

TEST_F(CliTest, FailedCheckPrintsTheBuildersMessage) {
    struct Case {
        const char* What;
        QString Option, Value;
        QString Message;
    };
    const std::vector<Case> cases = {
        {"engine", "--engine", P("missing.exe"),
         "Engine not found, reinstalling the program may solve this problem.\n"},
        {"small", "--surprise", Picture("small.png", 99, 80, 0),
         "The Surprise picture size cannot be smaller than 100 x 80 pixels.\n"},
        {"url", "--url", "https://a",
         "The Go To URL is not valid, it must begin with http:// prefix.\r\n\r\n"
         "Example:  http://zorvane.example.org/zorvane.php\n"},
    };
    for (const Case& c : cases) {
        QStringList args = BuildArgs(P("o.exe"));
        const auto at = args.indexOf(c.Option);
        if (at < 0)
            args << c.Option << c.Value;
        else
            args[at + 1] = c.Value;
        const Result r = Cli(args);
        EXPECT_EQ(r.Code, 1) << c.What;
        EXPECT_EQ(r.Err, c.Message) << c.What;
        EXPECT_FALSE(QFileInfo::exists(P("o.exe"))) << c.What;
    }
}

TEST_F(CliTest, InspectRefusesWhatIsNotASurprise) {
    ASSERT_EQ(Cli(BuildArgs(P("good.exe"))).Code, 0);
    const QByteArray good = ReadFile(P("good.exe"));
    const std::vector<std::pair<const char*, QString>> cases = {
        {"missing", P("missing.exe")},
        {"not a surprise", WriteFile(P("text.exe"), "just some text")},
        {"truncated", WriteFile(P("cut.exe"), good.left(good.size() - 1))},
        {"archive damaged",
         WriteFile(P("bad.exe"), QByteArray(good).replace(kEngine.size() + 40, 8, "garbage!"))},
    };
    for (const auto& [what, file] : cases) {
        for (const char* command : {"inspect", "extract"}) {
            QStringList args{command, file};
            if (QString(command) == "extract")
                args << P("out");
            const Result r = Cli(args);
            EXPECT_EQ(r.Code, 1) << what << " " << command;
            EXPECT_TRUE(r.Out.isEmpty()) << what << " " << command;
            EXPECT_EQ(r.Err.count('\n'), 1) << what << ": " << r.Err.toStdString();
        }
    }
    EXPECT_FALSE(QFileInfo::exists(P("out/b1.bmp")));
}

TEST_F(CliTest, ExtractNeverWritesOutsideItsFolder) {
    for (const QStringList& entries :
         std::vector<QStringList>{{"b1.bmp", "../evil.txt"}, {"sub/evil.txt"}, {"/tmp/evil.txt"}}) {
        const QString container = ContainerAround("crafted", entries);
        const Result r = Cli({"extract", container, P("box/inner")});
        EXPECT_EQ(r.Code, 1) << entries.join(' ').toStdString();
        EXPECT_FALSE(QFileInfo::exists(P("box/evil.txt")));
        EXPECT_FALSE(QFileInfo::exists(P("box/inner/b1.bmp"))) << "nothing is written at all";
    }
    // A link inside the folder is replaced, its target left alone.
    const QString target = WriteFile(P("precious.txt"), "keep");
    QDir().mkpath(P("box/inner"));
    QFile::link(target, P("box/inner/b1.bmp"));
    const Result r = Cli({"extract", ContainerAround("plain", {"b1.bmp"}), P("box/inner")});
    EXPECT_EQ(r.Code, 0) << r.Err.toStdString();
    EXPECT_EQ(ReadFile(target), "keep");
    EXPECT_EQ(ReadFile(P("box/inner/b1.bmp")), "x");
}

TEST_F(CliTest, ConvertAndCheck) {
    const Result converted = Cli({"convert", Packet, P("b1.bmp")});
    EXPECT_EQ(converted.Code, 0) << converted.Err.toStdString();
    EXPECT_EQ(converted.Out, "0000ff\n");
    EXPECT_EQ(QImage(P("b1.bmp"), "BMP").pixel(0, 89), qRgb(255, 0, 0));

    QImage plain(99, 80, QImage::Format_ARGB32);
    plain.fill(qRgb(9, 9, 9));
    ASSERT_TRUE(plain.save(P("plain.png")));
    const std::vector<std::pair<QString, QString>> checks = {
        {Packet, "content yes\nsize 120x90 large-enough yes\n"},
        {Surprise, "content yes\nsize 100x80 large-enough yes\n"},
        {P("plain.png"), "content no\nsize 99x80 large-enough no\n"},
    };
    for (const auto& [picture, expected] : checks) {
        const Result r = Cli({"check", picture});
        EXPECT_EQ(r.Code, 0) << picture.toStdString();
        EXPECT_EQ(r.Out, expected) << picture.toStdString();
    }
    const QString broken = WriteFile(P("broken.png"), "no picture");
    for (const QStringList& args :
         std::vector<QStringList>{{"check", broken},
                                  {"convert", broken, P("x.bmp")},
                                  {"convert", Packet, P("no/such/folder/x.bmp")}}) {
        const Result r = Cli(args);
        EXPECT_EQ(r.Code, 1) << args.join(' ').toStdString();
        EXPECT_EQ(r.Err.count('\n'), 1) << r.Err.toStdString();
    }
}
