#include "platform/PictureReader.h"

#include "platform/PictureFixtures.h"
#include "support/TestSupport.h"

#include <QBuffer>
#include <QImageWriter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
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

} // namespace
