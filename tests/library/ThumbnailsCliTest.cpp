#include "support/TestSupport.h"

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using testsupport::WriteFile;

namespace {

const QString kCli = QStringLiteral(ZORVANE_STAGE_DIR "/zorvane-cli");

struct CliRun {
    int Code = -1;
    QString Out;
    QString Err;
};

CliRun Cli(const QStringList& args) {
    QProcess process;
    process.start(kCli, args);
    process.waitForFinished(60000);
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

} // namespace

TEST(ThumbnailsCommand, CountsThePicturesAndWritesTheirThumbnails) {
    QTemporaryDir dir;
    const QString series = dir.path() + "/series/";
    QDir().mkpath(series);
    QImage picture(300, 100, QImage::Format_RGB32);
    picture.fill(Qt::white);
    picture.save(series + "a.png");
    picture.fill(Qt::blue);
    picture.save(series + "b.jpg", "JPEG");
    WriteFile(series + "notes.txt", "no picture");

    const CliRun run = Cli({"thumbnails", series, "--out", dir.path() + "/out"});
    EXPECT_EQ(run.Code, 0) << run.Err.toStdString();
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^2 pictures in \\d+\\.\\d{3} seconds\\n$"))
                    .match(run.Out)
                    .hasMatch())
        << run.Out.toStdString();
    QStringList written = QDir(dir.path() + "/out").entryList(QDir::Files);
    written.sort();
    EXPECT_EQ(written, QStringList({"a.png.png", "b.jpg.png"}));
    const QImage thumbnail(dir.path() + "/out/a.png.png");
    EXPECT_EQ(thumbnail.size(), QSize(90, 90));
    EXPECT_EQ(qAlpha(thumbnail.pixel(45, 45)), 0) << "white bottom-left: all transparent";
}

TEST(ThumbnailsCommand, RefusesWhatIsNoFolder) {
    QTemporaryDir dir;
    EXPECT_EQ(Cli({"thumbnails", dir.path() + "/missing"}).Code, 1);
    EXPECT_EQ(Cli({"thumbnails"}).Code, 2);
    EXPECT_EQ(Cli({"thumbnails", dir.path(), "extra"}).Code, 2);
}
