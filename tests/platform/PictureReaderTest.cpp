#include "platform/PictureReader.h"

#include "platform/PictureFixtures.h"
#include "support/TestSupport.h"

#include <QBuffer>
#include <QImageWriter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <string>

namespace {

using fixtures::MakeGif;
using fixtures::MakePcx;
using fixtures::MakeTga;
using fixtures::WmfBuilder;
using testsupport::WriteFile;

constexpr QRgb Red = 0xFFFF0000, Green = 0xFF00FF00, Blue = 0xFF0000FF, White = 0xFFFFFFFF;

// 16 x 16 in four quadrants of 8 x 8 (JPEG's blocks): red, green above,
// blue, white below.
QRgb QuadrantColour(int x, int y) {
    if (y < 8)
        return x < 8 ? Red : Green;
    return x < 8 ? Blue : White;
}

QImage Quadrants() {
    QImage image(16, 16, QImage::Format_ARGB32);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            image.setPixel(x, y, QuadrantColour(x, y));
    return image;
}

std::vector<int> QuadrantIndices() {
    std::vector<int> indices;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            indices.push_back(y < 8 ? (x < 8 ? 0 : 1) : (x < 8 ? 2 : 3));
    return indices;
}

const std::vector<QRgb> QuadrantPalette{Red, Green, Blue, White};

QByteArray WrittenByQt(const char* format, const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(100);
    if (!writer.write(image))
        ADD_FAILURE() << "Qt cannot write " << format << ": " << writer.errorString().toStdString();
    return bytes;
}

QByteArray QuadrantMetafile() {
    WmfBuilder wmf = WmfBuilder::Placeable(0, 0, 16, 16, 96);
    wmf.Pen(5, 0, 0).Select(0);
    const QRgb colours[] = {Red, Green, Blue, White};
    for (int i = 0; i < 4; ++i) {
        wmf.Brush(0, colours[i]).Select(1 + i);
        const int x = i % 2 * 8, y = i / 2 * 8;
        wmf.Rectangle(x, y, x + 8, y + 8);
    }
    return wmf.Bytes();
}

struct Format {
    const char* Ext;
    std::function<QByteArray()> Make;
    int Tolerance; // JPEG is lossy
    AlphaRule Alpha;
};

const std::vector<Format>& Formats() {
    static const std::vector<Format> formats = {
        {"bmp",
         [] { return WrittenByQt("bmp", Quadrants().convertToFormat(QImage::Format_RGB32)); }, 0,
         AlphaRule::Opaque},
        {"gif", [] { return MakeGif(16, 16, QuadrantIndices(), QuadrantPalette); }, 0,
         AlphaRule::TransparentWhereUndrawn},
        {"tga", [] { return MakeTga(Quadrants(), false); }, 0, AlphaRule::Opaque},
        {"tif", [] { return WrittenByQt("tiff", Quadrants()); }, 0, AlphaRule::Opaque},
        {"png", [] { return WrittenByQt("png", Quadrants()); }, 0, AlphaRule::Opaque},
        {"jpg", [] { return WrittenByQt("jpeg", Quadrants()); }, 24, AlphaRule::Opaque},
        {"jpeg", [] { return WrittenByQt("jpeg", Quadrants()); }, 24, AlphaRule::Opaque},
        {"pcx", [] { return MakePcx(16, 16, QuadrantIndices(), QuadrantPalette, 8, 1); }, 0,
         AlphaRule::Opaque},
        {"ico", [] { return WrittenByQt("ico", Quadrants()); }, 0,
         AlphaRule::TransparentWhereUndrawn},
        {"wmf", QuadrantMetafile, 0, AlphaRule::TransparentWhereUndrawn},
    };
    return formats;
}

std::string FormatName(const testing::TestParamInfo<Format>& info) {
    return info.param.Ext;
}

void ExpectColour(const QImage& image, int x, int y, QRgb expected, int tolerance) {
    const QRgb got = image.pixel(x, y);
    EXPECT_NEAR(qRed(got), qRed(expected), tolerance) << "at " << x << "," << y;
    EXPECT_NEAR(qGreen(got), qGreen(expected), tolerance) << "at " << x << "," << y;
    EXPECT_NEAR(qBlue(got), qBlue(expected), tolerance) << "at " << x << "," << y;
    EXPECT_EQ(qAlpha(got), 255) << "at " << x << "," << y;
}

class EveryFormat : public testing::TestWithParam<Format> {
protected:
    QTemporaryDir Dir;
};

TEST_P(EveryFormat, ReadsItsFixtureByExtensionInAnyCase) {
    const Format& f = GetParam();
    const QByteArray bytes = f.Make();
    const QString ext = QString::fromLatin1(f.Ext);
    for (const QString& name :
         {QStringLiteral("picture.") + ext, QStringLiteral("PICTURE.") + ext.toUpper(),
          QStringLiteral("Mixed.") + ext.left(1).toUpper() + ext.mid(1)}) {
        SCOPED_TRACE(name.toStdString());
        const LoadedPicture picture = LoadPicture(WriteFile(Dir.filePath(name), bytes));
        ASSERT_EQ(picture.Image.size(), QSize(16, 16));
        EXPECT_EQ(picture.Image.format(), QImage::Format_ARGB32);
        EXPECT_EQ(picture.Alpha, f.Alpha);
        for (const QPoint& at : {QPoint(3, 3), QPoint(12, 3), QPoint(3, 12), QPoint(12, 12)})
            ExpectColour(picture.Image, at.x(), at.y(), QuadrantColour(at.x(), at.y()),
                         f.Tolerance);
    }
}

// Damage of every kind a file meets: cut short anywhere, emptied, or
// overwritten with bytes of no picture at all.
TEST_P(EveryFormat, DamagedOrTruncatedFileIsAnError) {
    const Format& f = GetParam();
    const QByteArray good = f.Make();
    struct Damage {
        const char* Name;
        QByteArray Bytes;
    };
    std::vector<Damage> damages = {
        {"empty", QByteArray()},
        {"first byte", good.left(1)},
        {"first 10 bytes", good.left(10)},
        {"half", good.left(good.size() / 2)},
        {"all but the last 2 bytes", good.left(good.size() - 2)},
        {"text", QByteArray("This is not a picture at all, only a few words of text.")},
        {"zeros", QByteArray(good.size(), '\0')},
    };
    for (const Damage& d : damages) {
        SCOPED_TRACE(d.Name);
        EXPECT_THROW(LoadPictureData(d.Bytes, QString::fromLatin1(f.Ext)), PictureError);
    }
}

INSTANTIATE_TEST_SUITE_P(PictureReader, EveryFormat, testing::ValuesIn(Formats()), FormatName);

QByteArray Png() {
    return WrittenByQt("png", Quadrants());
}

TEST(PictureReader, OtherExtensionsAreRefusedWhateverTheContent) {
    QTemporaryDir dir;
    for (const char* name : {"picture.webp", "picture.svg", "picture.tiff", "picture.jpe",
                             "picture", "picture.png.txt", "picture."}) {
        SCOPED_TRACE(name);
        const QString path = WriteFile(dir.filePath(QString::fromLatin1(name)), Png());
        EXPECT_THROW(LoadPicture(path), PictureError);
    }
    EXPECT_THROW(LoadPictureData(Png(), QStringLiteral("webp")), PictureError);
    EXPECT_NO_THROW(LoadPictureData(Png(), QStringLiteral(".PNG")));
}

// The extension chooses the reader; the content never does.
TEST(PictureReader, ContentOfAnotherFormatIsAnError) {
    const QByteArray bmp = WrittenByQt("bmp", Quadrants());
    const QByteArray pcx = MakePcx(16, 16, QuadrantIndices(), QuadrantPalette, 8, 1);
    const struct {
        QByteArray Bytes;
        const char* Ext;
    } cases[] = {
        {Png(), "bmp"}, {bmp, "png"},   {Png(), "jpg"}, {pcx, "wmf"}, {QuadrantMetafile(), "pcx"},
        {bmp, "gif"},   {Png(), "tga"}, {bmp, "ico"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Ext);
        EXPECT_THROW(LoadPictureData(c.Bytes, QString::fromLatin1(c.Ext)), PictureError);
    }
}

TEST(PictureReader, MissingFileIsAnErrorNamingIt) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("gone.png"));
    try {
        LoadPicture(path);
        FAIL() << "no error";
    } catch (const PictureError& e) {
        EXPECT_NE(std::string(e.what()).find("gone.png"), std::string::npos) << e.what();
    }
    EXPECT_THROW(LoadPicture(dir.path()), PictureError);
}

QImage OnePixelAfterAnother(std::initializer_list<QRgb> pixels) {
    QImage image(int(pixels.size()), 1, QImage::Format_ARGB32);
    int x = 0;
    for (QRgb p : pixels)
        image.setPixel(x++, 0, p);
    return image;
}

// Two icon files of one picture each made into one file of both.
QByteArray IconOfTwo(const QByteArray& a, const QByteArray& b) {
    QByteArray out("\0\0\1\0\2\0", 6);
    const qsizetype sizeA = a.size() - 22, sizeB = b.size() - 22;
    QByteArray entryA = a.mid(6, 16), entryB = b.mid(6, 16);
    const auto setOffset = [](QByteArray& entry, quint32 offset) {
        for (int i = 0; i < 4; ++i)
            entry[12 + i] = char(offset >> (8 * i) & 0xFF);
    };
    setOffset(entryA, 6 + 32);
    setOffset(entryB, quint32(6 + 32 + sizeA));
    out += entryA + entryB + a.mid(22, sizeA) + b.mid(22, sizeB);
    return out;
}

TEST(PictureReader, IconGivesItsLargestPicture) {
    QImage small(16, 16, QImage::Format_ARGB32), large(48, 48, QImage::Format_ARGB32);
    small.fill(Red);
    large.fill(Blue);
    const QByteArray both = IconOfTwo(WrittenByQt("ico", small), WrittenByQt("ico", large));
    const LoadedPicture picture = LoadPictureData(both, QStringLiteral("ico"));
    EXPECT_EQ(picture.Image.size(), QSize(48, 48));
    EXPECT_EQ(picture.Image.pixel(20, 20), Blue);
}

TEST(PictureReader, DecodeSizeScalesJpegOnly) {
    QImage big(64, 48, QImage::Format_RGB32);
    big.fill(Green);
    EXPECT_EQ(LoadPictureData(WrittenByQt("jpeg", big), QStringLiteral("jpg"), QSize(16, 12))
                  .Image.size(),
              QSize(16, 12));
    EXPECT_EQ(
        LoadPictureData(WrittenByQt("png", big), QStringLiteral("png"), QSize(16, 12)).Image.size(),
        QSize(64, 48));
}

TEST(PictureReader, TargaReadsWithAndWithoutTheVersionTwoFooter) {
    const QByteArray v1 = MakeTga(Quadrants(), false);
    const QByteArray v2 = v1 + QByteArray(8, '\0') + QByteArray("TRUEVISION-XFILE.\0", 18);
    for (const QByteArray& bytes : {v1, v2}) {
        const QImage image = LoadPictureData(bytes, QStringLiteral("tga")).Image;
        ASSERT_EQ(image.size(), QSize(16, 16));
        EXPECT_EQ(image.pixel(3, 12), Blue);
    }
}

// What each format's alpha becomes on arrival, for a pixel of each kind.
TEST(PictureReader, AlphaOnArrivalFollowsTheFormatsRule) {
    const QRgb halfRed = qRgba(255, 0, 0, 128), clear = qRgba(0, 0, 255, 0);
    const QImage mixed = OnePixelAfterAnother({Red, halfRed, clear});
    QImage icon(16, 16, QImage::Format_ARGB32);
    icon.fill(clear);
    icon.setPixel(0, 0, Red);
    QImage unused(2, 1, QImage::Format_ARGB32);
    unused.setPixel(0, 0, 0x00123456);
    unused.setPixel(1, 0, 0x00ABCDEF);
    struct Case {
        const char* Name;
        QByteArray Bytes;
        const char* Ext;
        AlphaRule Rule;
        QPoint At;
        QRgb Expected; // alpha 0 compares alpha only
    };
    const Case cases[] = {
        {"png opaque", WrittenByQt("png", mixed), "png", AlphaRule::Opaque, {0, 0}, Red},
        {"png half over white",
         WrittenByQt("png", mixed),
         "png",
         AlphaRule::Opaque,
         {1, 0},
         0xFFFF7F7F},
        {"png clear is white", WrittenByQt("png", mixed), "png", AlphaRule::Opaque, {2, 0}, White},
        {"tga clear is white", MakeTga(mixed, true), "tga", AlphaRule::Opaque, {2, 0}, White},
        {"tif half over white",
         WrittenByQt("tiff", mixed),
         "tif",
         AlphaRule::Opaque,
         {1, 0},
         0xFFFF7F7F},
        {"bmp32 keeps alpha",
         fixtures::MakeBmp32(mixed),
         "bmp",
         AlphaRule::Bmp32Alpha,
         {1, 0},
         halfRed},
        {"bmp32 keeps clear",
         fixtures::MakeBmp32(mixed),
         "bmp",
         AlphaRule::Bmp32Alpha,
         {2, 0},
         clear},
        {"bmp32 of unused fourth bytes is opaque",
         fixtures::MakeBmp32(unused),
         "bmp",
         AlphaRule::Opaque,
         {1, 0},
         0xFFABCDEF},
        {"gif transparent index",
         MakeGif(3, 1, {0, 1, 2}, QuadrantPalette, 1),
         "gif",
         AlphaRule::TransparentWhereUndrawn,
         {1, 0},
         0},
        {"gif other index",
         MakeGif(3, 1, {0, 1, 2}, QuadrantPalette, 1),
         "gif",
         AlphaRule::TransparentWhereUndrawn,
         {2, 0},
         Blue},
        {"ico clear",
         WrittenByQt("ico", icon),
         "ico",
         AlphaRule::TransparentWhereUndrawn,
         {5, 5},
         0},
        {"ico drawn",
         WrittenByQt("ico", icon),
         "ico",
         AlphaRule::TransparentWhereUndrawn,
         {0, 0},
         Red},
        {"wmf undrawn", QuadrantMetafile(), "wmf", AlphaRule::TransparentWhereUndrawn, {4, 4}, Red},
        {"wmf nothing drawn",
         WmfBuilder::Placeable(0, 0, 4, 4, 96).Bytes(),
         "wmf",
         AlphaRule::TransparentWhereUndrawn,
         {1, 1},
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        const LoadedPicture picture = LoadPictureData(c.Bytes, QString::fromLatin1(c.Ext));
        EXPECT_EQ(picture.Alpha, c.Rule);
        const QRgb got = picture.Image.pixel(c.At);
        if (qAlpha(c.Expected) == 0)
            EXPECT_EQ(qAlpha(got), 0);
        else
            EXPECT_EQ(got, c.Expected);
    }
}

} // namespace
