#include "platform/PcxReader.h"

#include "platform/PictureFixtures.h"
#include "platform/PictureReader.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using fixtures::MakePcx;
using fixtures::MakePcxRgb;

std::vector<QRgb> Palette(int n) {
    std::vector<QRgb> out;
    for (int i = 0; i < n; ++i)
        out.push_back(qRgb(i * 37 & 0xFF, i * 91 & 0xFF, (i * 53 + 7) & 0xFF));
    return out;
}

// Every index of the palette appears, ones of 0xC0 and above too, which must
// be written as runs of one.
std::vector<int> Indices(int w, int h, int colours) {
    std::vector<int> out;
    for (int i = 0; i < w * h; ++i)
        out.push_back((i * 7 + i / w) % colours);
    return out;
}

void SetU16(QByteArray& bytes, int at, int value) {
    bytes[at] = char(value & 0xFF);
    bytes[at + 1] = char(value >> 8);
}

struct IndexedCase {
    const char* Name;
    int Bits, Planes, Colours;
    bool Rle;
};

class PcxIndexed : public testing::TestWithParam<IndexedCase> {};

// Widths that are not a multiple of 8 or 16 check the packing of bits into
// scan lines and the padding at their ends.
TEST_P(PcxIndexed, DecodesEveryPixelToItsPaletteColour) {
    const IndexedCase& c = GetParam();
    for (const QSize size : {QSize(13, 5), QSize(1, 1), QSize(16, 3)}) {
        SCOPED_TRACE(std::to_string(size.width()) + "x" + std::to_string(size.height()));
        const std::vector<int> indices = Indices(size.width(), size.height(), c.Colours);
        const std::vector<QRgb> palette = Palette(c.Colours);
        const QImage image = ReadPcx(
            MakePcx(size.width(), size.height(), indices, palette, c.Bits, c.Planes, c.Rle));
        ASSERT_EQ(image.size(), size);
        ASSERT_EQ(image.format(), QImage::Format_ARGB32);
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x)
                ASSERT_EQ(image.pixel(x, y), palette[size_t(indices[size_t(y * size.width() + x)])])
                    << "at " << x << "," << y;
    }
}

INSTANTIATE_TEST_SUITE_P(PcxReader, PcxIndexed,
                         testing::Values(IndexedCase{"mono", 1, 1, 2, true},
                                         IndexedCase{"cga", 2, 1, 4, true},
                                         IndexedCase{"packed16", 4, 1, 16, true},
                                         IndexedCase{"ega_planes", 1, 4, 16, true},
                                         IndexedCase{"eight_colour_planes", 1, 3, 8, true},
                                         IndexedCase{"vga", 8, 1, 256, true},
                                         IndexedCase{"vga_raw", 8, 1, 256, false},
                                         IndexedCase{"ega_raw", 1, 4, 16, false}),
                         [](const auto& p) { return std::string(p.param.Name); });

TEST(PcxReader, TrueColourPlanesGiveTheirPixelsOpaque) {
    QImage source(7, 4, QImage::Format_ARGB32);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 7; ++x)
            source.setPixel(x, y, qRgb(x * 36, y * 80, 255 - x * 30));
    for (bool rle : {true, false}) {
        const QImage image = ReadPcx(MakePcxRgb(source, false, rle));
        ASSERT_EQ(image.size(), source.size());
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 7; ++x)
                ASSERT_EQ(image.pixel(x, y), source.pixel(x, y)) << x << "," << y << " rle " << rle;
    }
}

TEST(PcxReader, FourthPlaneIsAlphaComposedOverWhiteOnArrival) {
    QImage source(2, 1, QImage::Format_ARGB32);
    source.setPixel(0, 0, qRgba(255, 0, 0, 255));
    source.setPixel(1, 0, qRgba(0, 0, 255, 0));
    EXPECT_EQ(ReadPcx(MakePcxRgb(source, true)).pixel(1, 0), qRgba(0, 0, 255, 0));
    const LoadedPicture picture = LoadPictureData(MakePcxRgb(source, true), QStringLiteral("pcx"));
    EXPECT_EQ(picture.Alpha, AlphaRule::Opaque);
    EXPECT_EQ(picture.Image.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(picture.Image.pixel(1, 0), qRgb(255, 255, 255));
}

TEST(PcxReader, MonochromeWithBlankPaletteIsBlackAndWhite) {
    const std::vector<int> indices{0, 1, 1, 0};
    const QImage image = ReadPcx(MakePcx(4, 1, indices, {0, 0}, 1, 1));
    EXPECT_EQ(image.pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(1, 0), qRgb(255, 255, 255));
}

TEST(PcxReader, VersionWithoutPaletteUsesTheStandardSixteenColours) {
    QByteArray bytes = MakePcx(3, 1, {0, 1, 14}, Palette(16), 4, 1);
    bytes[1] = 3;
    const QImage image = ReadPcx(bytes);
    EXPECT_EQ(image.pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(1, 0), qRgb(0, 0, 0xAA));
    EXPECT_EQ(image.pixel(2, 0), qRgb(0xFF, 0xFF, 0x55));
}

TEST(PcxReader, EightBitsWithoutPaletteAreGreyOnlyWhenTheHeaderSaysSo) {
    QByteArray bytes = MakePcx(3, 1, {0, 128, 255}, Palette(256), 8, 1);
    bytes.chop(769);
    SetU16(bytes, 68, 2);
    const QImage image = ReadPcx(bytes);
    EXPECT_EQ(image.pixel(1, 0), qRgb(128, 128, 128));
    SetU16(bytes, 68, 1);
    EXPECT_THROW(ReadPcx(bytes), PictureError);
}

// Some writers let a run go on into the next scan line.
TEST(PcxReader, RunsMayCrossScanLines) {
    QByteArray bytes = MakePcx(4, 2, std::vector<int>(8, 0), Palette(256), 8, 1);
    bytes.remove(128, bytes.size() - 128 - 769);
    bytes.insert(128, QByteArray("\xC8\x07", 2)); // eight pixels of index 7
    const QImage image = ReadPcx(bytes);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(image.pixel(x, y), Palette(256)[7]);
}

TEST(PcxReader, DamagedHeadersAndDataAreErrors) {
    const QByteArray good = MakePcx(16, 8, Indices(16, 8, 256), Palette(256), 8, 1);
    QImage red(8, 8, QImage::Format_ARGB32);
    red.fill(Qt::red);
    const QByteArray rgb = MakePcxRgb(red, false);
    QImage dot(1, 1, QImage::Format_ARGB32);
    dot.fill(Qt::red);
    struct Case {
        const char* Name;
        QByteArray Bytes;
    };
    std::vector<Case> cases;
    const auto with = [&](const char* name, const QByteArray& base, auto change) {
        QByteArray b = base;
        change(b);
        cases.push_back({name, b});
    };
    cases.push_back({"empty", QByteArray()});
    cases.push_back({"header cut short", good.left(127)});
    cases.push_back({"header only", good.left(128)});
    cases.push_back({"truncated_rle", rgb.left(rgb.size() - 3)});
    // A run byte as the very last byte, its value missing.
    cases.push_back({"run without value", MakePcxRgb(dot).left(128) + QByteArray("\xC5", 1)});
    cases.push_back({"palette marker missing", good.left(good.size() - 1)});
    with("wrong manufacturer", good, [](QByteArray& b) { b[0] = 0x0B; });
    with("unknown version", good, [](QByteArray& b) { b[1] = 9; });
    with("unknown encoding", good, [](QByteArray& b) { b[2] = 2; });
    with("eight bits in two planes", good, [](QByteArray& b) { b[65] = 2; });
    with("three bits", good, [](QByteArray& b) { b[3] = 3; });
    with("negative width", good, [](QByteArray& b) { SetU16(b, 4, 20); });
    with("scan line shorter than the width", good, [](QByteArray& b) { SetU16(b, 66, 15); });
    with("zero bytes per line", good, [](QByteArray& b) { SetU16(b, 66, 0); });
    // Sizes that would ask for gigabytes from a few bytes of data: refused
    // before anything is allocated.
    with("wider than any picture", rgb, [](QByteArray& b) {
        SetU16(b, 8, 30000);
        SetU16(b, 66, 30002);
    });
    with("more pixels than any picture", rgb, [](QByteArray& b) {
        SetU16(b, 8, 19999);
        SetU16(b, 10, 19999);
        SetU16(b, 66, 20000);
    });
    with("large but without the data for it", rgb, [](QByteArray& b) {
        SetU16(b, 8, 7999);
        SetU16(b, 10, 7999);
        SetU16(b, 66, 8000);
    });
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_THROW(ReadPcx(c.Bytes), PictureError);
    }
}

} // namespace
