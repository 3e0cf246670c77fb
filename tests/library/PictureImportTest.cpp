#include "library/PictureImport.h"

#include "support/TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using testsupport::ReadFile;
using testsupport::WriteFile;

TEST(PictureImport, FileExtensionIsTakenAsWritten) {
    const struct {
        const char* path;
        const char* extension;
    } cases[] = {
        {"/p/a.png", ".png"},     {"/p/a.JPG", ".JPG"}, {"/p/a.tar.gz", ".gz"},
        {"/p.d/noext", ""},       {"/p/ends.", "."},    {"/p/.hidden", ".hidden"},
        {"relative.Tga", ".Tga"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FileExtension(c.path), c.extension) << c.path;
}

TEST(PictureImport, DropFilter) {
    const struct {
        const char* path;
        bool accepted;
    } cases[] = {
        {"/d/a.tif", true},  {"/d/a.tiff", false},     {"/d/a.JPG", true},
        {"/d/a.jpe", false}, {"/d/a.Jpeg", true},      {"/d/noext", false},
        {"/d/a.", false},    {"/d/a.png.txt", false},  {"/d/a.wmf", true},
        {"/d/a.pcx", true},  {"/d/x.bmp;*.gif", true}, {"/d/x.png;", false},
        {"/d/a.mp", false},  {"/d/a.p", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AcceptsDroppedFile(c.path, PictureDropPatterns()), c.accepted) << c.path;
    EXPECT_TRUE(AcceptsDroppedFile("/d/s.MID", "*.mid;*.wav;*.mp3;*.au;"));
}

TEST(PictureImport, TimeStampsUseA24HourClock) {
    const QDateTime when(QDate(2025, 3, 4), QTime(17, 5, 9, 7));
    EXPECT_EQ(ImportTimeStamp(when), "250304170509007");
    EXPECT_EQ(ImportTimeStamp(QDateTime(QDate(2009, 12, 31), QTime(0, 0))), "091231000000000");
    EXPECT_EQ(EditTimeStamp(when), "20250304170509007");
}

TEST(PictureImport, FreeNameNeverTakesAnExistingOne) {
    QTemporaryDir dir;
    const QString folder = dir.path() + "/";
    const QDateTime when(QDate(2025, 3, 4), QTime(17, 5, 9, 998));
    EXPECT_EQ(FreeImportName(folder, "/x/a.PNG", when), folder + "250304170509998.PNG");
    WriteFile(folder + "250304170509998.PNG", "old");
    // Another case of the same name counts as taken as well.
    WriteFile(folder + "250304170509999.png", "old");
    EXPECT_EQ(FreeImportName(folder, "/x/a.PNG", when), folder + "250304170510000.PNG");
    // Other extensions and the bare stamp do not clash.
    EXPECT_EQ(FreeImportName(folder, "/x/a.gif", when), folder + "250304170509998.gif");
    EXPECT_EQ(FreeImportName(folder, "/x/noext", when), folder + "250304170509998");
}

TEST(PictureImport, SeriesFolderIsTheSelectedOneOrCustom) {
    QTemporaryDir dir;
    const QString root = dir.path() + "/Pictures/Packets/";
    EXPECT_EQ(ImportSeriesFolder(root, "Birthday"), root + "Birthday/");
    EXPECT_FALSE(QFileInfo::exists(root));
    // Custom comes with every missing parent.
    EXPECT_EQ(ImportSeriesFolder(root, QString()), root + "Custom/");
    EXPECT_TRUE(QFileInfo(root + "Custom").isDir());
    EXPECT_EQ(ImportSeriesFolder(root, QString()), root + "Custom/");
}

TEST(PictureImport, CopiesUnderFreshNamesAndFailsQuietly) {
    QTemporaryDir dir;
    const QString series = dir.path() + "/series/";
    QDir().mkpath(series);
    const QString first = WriteFile(dir.path() + "/in/one.png", "first");
    const QString second = WriteFile(dir.path() + "/in/two.png", "second");

    const QString a = CopyIntoSeries(first, series);
    const QString b = CopyIntoSeries(second, series);
    ASSERT_FALSE(a.isEmpty());
    ASSERT_FALSE(b.isEmpty());
    EXPECT_NE(a, b);
    EXPECT_TRUE(QRegularExpression("^\\d{15}\\.png$").match(QFileInfo(a).fileName()).hasMatch());
    EXPECT_EQ(ReadFile(a), "first");
    EXPECT_EQ(ReadFile(b), "second");

    QDir().mkpath(dir.path() + "/in/folder.png");
    for (const QString& bad : {dir.path() + "/in/missing.png", dir.path() + "/in/folder.png"})
        EXPECT_EQ(CopyIntoSeries(bad, series), "") << bad.toStdString();
    EXPECT_EQ(QDir(series).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size(), 2);
    EXPECT_EQ(CopyIntoSeries(first, dir.path() + "/no-such-series/"), "");
}
