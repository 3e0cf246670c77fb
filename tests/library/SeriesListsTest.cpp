#include "library/SeriesFolders.h"
#include "library/Thumbnails.h"
#include "support/TestSupport.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using testsupport::WriteFile;

namespace {

QByteArray Encoded(const QImage& image, const char* format, int quality = -1) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(quality);
    if (!writer.write(image))
        qFatal("cannot encode %s", format);
    return bytes;
}

// Left part one colour, right part another.
QImage Halves(int width, int height, QColor left, QColor right) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(right);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width / 2; ++x)
            image.setPixelColor(x, y, left);
    return image;
}

QString Folder(const QTemporaryDir& dir) {
    return dir.path() + QLatin1Char('/');
}

} // namespace

TEST(SeriesNames, SortedIgnoringCaseAndOnlyPlainWritableFolders) {
    QTemporaryDir root;
    const QString base = Folder(root);
    for (const char* name : {"gamma", "alpha", "Beta", "locked", ".hidden", "plain"})
        QDir().mkpath(base + QLatin1String(name));
    WriteFile(base + "loose.png", Encoded(Halves(4, 4, Qt::red, Qt::blue), "png"));
    QFile::link(base + "alpha", base + "linked");
    QFile::setPermissions(base + "locked", QFile::ReadOwner | QFile::ExeOwner);

    EXPECT_EQ(SeriesNames(base), QStringList({"alpha", "Beta", "gamma", "plain"}))
        << "read-only, dot-named and linked folders and loose files are no series";
    QFile::setPermissions(base + "locked", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(SeriesNames(base), QStringList({"alpha", "Beta", "gamma", "locked", "plain"}));

    EXPECT_TRUE(SeriesNames(base + "missing/").isEmpty());
    EXPECT_TRUE(SeriesNames(QString()).isEmpty());
}

TEST(SeriesPicturePaths, EverythingButSeriesLikeFoldersInTheFoldersOrder) {
    QTemporaryDir dir;
    const QString series = Folder(dir);
    WriteFile(series + "one.png", "x");
    WriteFile(series + ".dotfile", "x");
    WriteFile(series + "Thumbs.db", "x");
    QDir().mkpath(series + "below");
    QDir().mkpath(series + ".hidden-folder");

    QStringList expected;
    for (const QFileInfo& entry : QDir(series).entryInfoList(
             QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
             QDir::Unsorted)) {
        if (entry.fileName() != QLatin1String("below"))
            expected.append(series + entry.fileName());
    }
    EXPECT_EQ(SeriesPicturePaths(series), expected);
}

TEST(FindItemByPath, IgnoresCaseAndFindsTheFirst) {
    const QStringList items = {"/w/Pictures/Packets/a/One.png", "/w/Pictures/Packets/a/two.BMP",
                               "/w/pictures/packets/A/ONE.PNG"};
    EXPECT_EQ(FindItemByPath(items, "/w/Pictures/Packets/a/two.bmp"), 1);
    EXPECT_EQ(FindItemByPath(items, "/W/PICTURES/PACKETS/A/one.png"), 0);
    EXPECT_EQ(FindItemByPath(items, "/w/Pictures/Packets/a/three.png"), -1);
    EXPECT_EQ(FindItemByPath({}, "/w/x.png"), -1);
}

TEST(Thumbnails, AWidePictureIsSqueezedOverTheWholeSquareAndMaskedByItsBottomLeftColour) {
    QTemporaryDir dir;
    const QString path =
        WriteFile(Folder(dir) + "wide.png", Encoded(Halves(300, 100, Qt::red, Qt::green), "png"));
    const std::optional<Thumbnail> thumbnail = MakeThumbnail(path);
    ASSERT_TRUE(thumbnail);
    EXPECT_EQ(thumbnail->Path, path);
    ASSERT_EQ(thumbnail->Image.size(), QSize(90, 90));
    EXPECT_EQ(thumbnail->MaskColour, qRgb(255, 0, 0));
    // A letterbox would leave white bands above and below; the squeeze
    // fills every row, and the red half is the transparent colour.
    for (int y : {0, 44, 89}) {
        EXPECT_EQ(qAlpha(thumbnail->Image.pixel(10, y)), 0) << y;
        EXPECT_EQ(thumbnail->Image.pixel(80, y), qRgb(0, 255, 0)) << y;
    }
}

TEST(Thumbnails, WhiteBottomLeftMakesEveryWhitePixelTransparent) {
    QTemporaryDir dir;
    QImage picture(120, 90, QImage::Format_RGB32);
    picture.fill(Qt::white);
    for (int y = 30; y < 60; ++y)
        for (int x = 40; x < 80; ++x)
            picture.setPixelColor(x, y, Qt::blue);
    const std::optional<Thumbnail> thumbnail =
        MakeThumbnail(WriteFile(Folder(dir) + "w.bmp", Encoded(picture, "bmp")));
    ASSERT_TRUE(thumbnail);
    EXPECT_EQ(qAlpha(thumbnail->Image.pixel(5, 5)), 0);
    EXPECT_EQ(qAlpha(thumbnail->Image.pixel(85, 85)), 0);
    EXPECT_EQ(thumbnail->Image.pixel(45, 45), qRgb(0, 0, 255));
}

TEST(Thumbnails, FilesThatDoNotLoadAreLeftOut) {
    QTemporaryDir dir;
    const QString base = Folder(dir);
    const QImage picture = Halves(200, 150, Qt::black, Qt::yellow);
    struct Case {
        const char* Name;
        QByteArray Bytes;
        bool Shown;
    };
    const Case cases[] = {
        {"photo.jpg", Encoded(picture, "jpg", 90), true},
        {"upper.PNG", Encoded(picture, "png"), true},
        {"damaged.png", QByteArray("\x89PNG\r\n\x1a\n garbage", 17), false},
        {"notes.txt", "hello", false},
        {"Thumbs.db", QByteArray(512, '\0'), false},
        {"empty.bmp", QByteArray(), false},
        {"named-by-content.gif", Encoded(picture, "png"), false},
    };
    for (const Case& c : cases) {
        const std::optional<Thumbnail> thumbnail =
            MakeThumbnail(WriteFile(base + QLatin1String(c.Name), c.Bytes));
        EXPECT_EQ(thumbnail.has_value(), c.Shown) << c.Name;
        if (thumbnail) {
            EXPECT_EQ(thumbnail->Image.size(), QSize(90, 90)) << c.Name;
        }
    }
    QDir().mkpath(base + "folder.png");
    EXPECT_FALSE(MakeThumbnail(base + "folder.png"));
    EXPECT_FALSE(MakeThumbnail(base + "missing.png"));
}

TEST(Thumbnails, ManyWorkersGiveTheSameListAsOne) {
    QTemporaryDir dir;
    const QString base = Folder(dir);
    QStringList paths;
    for (int i = 0; i < 24; ++i) {
        const QString name = QStringLiteral("p%1.%2").arg(i).arg(i % 5 == 3 ? "txt" : "png");
        const QColor colour = QColor::fromHsv(i * 15, 255, 255);
        paths.append(
            WriteFile(base + name, Encoded(Halves(100 + i, 80, colour, Qt::white), "png")));
    }
    const QList<Thumbnail> one = MakeThumbnails(paths, 1);
    const QList<Thumbnail> four = MakeThumbnails(paths, 4);
    ASSERT_EQ(one.size(), 24 - 5);
    ASSERT_EQ(four.size(), one.size());
    for (int i = 0; i < one.size(); ++i) {
        EXPECT_EQ(four.at(i).Path, one.at(i).Path);
        EXPECT_EQ(four.at(i).Image, one.at(i).Image) << i;
    }
    EXPECT_TRUE(MakeThumbnails({}, 4).isEmpty());
}
