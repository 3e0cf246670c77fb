#include "platform/TgaReader.h"

#include "platform/PictureFixtures.h"
#include "platform/PictureReader.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

using fixtures::MakeTgaFile;
using fixtures::TgaFile;

constexpr int RleType = 8;

void SetU16(QByteArray& bytes, int at, int value) {
    bytes[at] = char(value & 0xFF);
    bytes[at + 1] = char(value >> 8);
}

// Four pixel values a, b, c, d stored as a a a b / c d d d: the run-length
// forms hold a run, a raw packet that crosses the scan line, and a run.
std::vector<quint32> Pattern(const quint32 (&v)[4]) {
    return {v[0], v[0], v[0], v[1], v[2], v[3], v[3], v[3]};
}

struct KindCase {
    const char* Name;
    int Type; // uncompressed type; each case also runs as its run-length form
    int Depth;
    quint32 Values[4];
    QRgb Expected[4]; // what a, b, c, d become
    int MapBits = 0;
    std::vector<quint32> Map = {};
    int MapFirst = 0;
};

class TgaKinds : public testing::TestWithParam<KindCase> {};

TEST_P(TgaKinds, DecodesEveryPixel) {
    const KindCase& c = GetParam();
    for (const int rle : {0, RleType}) {
        SCOPED_TRACE(rle ? "run-length" : "uncompressed");
        TgaFile file;
        file.Type = c.Type + rle;
        file.Depth = c.Depth;
        file.Width = 4;
        file.Height = 2;
        file.Values = Pattern(c.Values);
        file.Map = c.Map;
        file.MapBits = c.MapBits;
        file.MapFirst = c.MapFirst;
        const QImage image = ReadTga(MakeTgaFile(file));
        ASSERT_EQ(image.size(), QSize(4, 2));
        ASSERT_EQ(image.format(), QImage::Format_ARGB32);
        const std::vector<int> which = {0, 0, 0, 1, 2, 3, 3, 3};
        for (int i = 0; i < 8; ++i) {
            // The first row stored is the bottom one.
            const int x = i % 4, y = 1 - i / 4;
            EXPECT_EQ(image.pixel(x, y), c.Expected[which[size_t(i)]]) << "at " << x << "," << y;
        }
    }
}

const std::vector<quint32> Map24 = {0x112233, 0x445566, 0x778899, 0xAABBCC};
const std::vector<quint32> Map16 = {0x7C00, 0x03E0, 0x001F, 0xFFFF};

INSTANTIATE_TEST_SUITE_P(TgaReader, TgaKinds,
                         testing::Values(KindCase{"grey",
                                                  3,
                                                  8,
                                                  {0x00, 0x40, 0x80, 0xFF},
                                                  {0xFF000000, 0xFF404040, 0xFF808080, 0xFFFFFFFF}},
                                         KindCase{"true24",
                                                  2,
                                                  24,
                                                  {0x123456, 0xFF0000, 0x00FF00, 0x0000FF},
                                                  {0xFF123456, 0xFFFF0000, 0xFF00FF00, 0xFF0000FF}},
                                         // The fourth byte is alpha; a clear pixel keeps its zero.
                                         KindCase{"true32",
                                                  2,
                                                  32,
                                                  {0xFF123456, 0x80FF0000, 0x00000000, 0xFF0000FF},
                                                  {0xFF123456, 0x80FF0000, 0x00000000, 0xFF0000FF}},
                                         // Five bits widen to eight by repeating their top bits;
                                         // the attribute bit (0x8000) is never alpha.
                                         KindCase{"true16",
                                                  2,
                                                  16,
                                                  {0x7C00, 0x03E0, 0x801F, 0x4210},
                                                  {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFF848484}},
                                         KindCase{"true15",
                                                  2,
                                                  15,
                                                  {0x7C00, 0x03E0, 0x801F, 0x4210},
                                                  {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFF848484}},
                                         KindCase{"mapped24",
                                                  1,
                                                  8,
                                                  {0, 1, 2, 3},
                                                  {0xFF112233, 0xFF445566, 0xFF778899, 0xFFAABBCC},
                                                  24,
                                                  Map24},
                                         KindCase{"mapped16",
                                                  1,
                                                  8,
                                                  {3, 2, 1, 0},
                                                  {0xFFFFFFFF, 0xFF0000FF, 0xFF00FF00, 0xFFFF0000},
                                                  16,
                                                  Map16},
                                         KindCase{"mapped15",
                                                  1,
                                                  8,
                                                  {0, 1, 2, 3},
                                                  {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF},
                                                  15,
                                                  Map16},
                                         KindCase{"mapped32",
                                                  1,
                                                  8,
                                                  {0, 1, 2, 3},
                                                  {0xFF112233, 0x80445566, 0x00778899, 0xFFAABBCC},
                                                  32,
                                                  {0xFF112233, 0x80445566, 0x00778899, 0xFFAABBCC}},
                                         // Index 5 names the map's first entry.
                                         KindCase{"mapped_first_entry_5",
                                                  1,
                                                  8,
                                                  {5, 6, 7, 8},
                                                  {0xFF112233, 0xFF445566, 0xFF778899, 0xFFAABBCC},
                                                  24,
                                                  Map24,
                                                  5}),
                         [](const testing::TestParamInfo<KindCase>& kind) {
                             return std::string(kind.param.Name);
                         });

TEST(TgaReader, RunLengthFixturesReallyHoldPackets) {
    TgaFile file;
    file.Width = 4;
    file.Height = 2;
    file.Values = Pattern({1, 2, 3, 4});
    const qsizetype raw = MakeTgaFile(file).size();
    file.Type = 2 + RleType;
    EXPECT_EQ(MakeTgaFile(file).size(), raw - 8 * 3 + 3 * (1 + 3) + 3);
}

// Six distinct greys 1..6 in file order on a 3 x 2 picture, placed by the
// descriptor's origin bits; its attribute bits (0x08) change nothing.
TEST(TgaReader, OriginBitsPlaceTheRows) {
    struct Case {
        const char* Name;
        int Descriptor;
        int TopDown[6]; // file values as they appear, top row first
    };
    const Case cases[] = {
        {"bottom left", 0x00, {4, 5, 6, 1, 2, 3}},    {"top left", 0x20, {1, 2, 3, 4, 5, 6}},
        {"bottom right", 0x10, {6, 5, 4, 3, 2, 1}},   {"top right", 0x30, {3, 2, 1, 6, 5, 4}},
        {"attribute bits", 0x28, {1, 2, 3, 4, 5, 6}},
    };
    for (const Case& c : cases) {
        for (const int rle : {0, RleType}) {
            SCOPED_TRACE(std::string(c.Name) + (rle ? " run-length" : ""));
            TgaFile file;
            file.Type = 3 + rle;
            file.Depth = 8;
            file.Width = 3;
            file.Height = 2;
            file.Values = {1, 2, 3, 4, 5, 6};
            file.Descriptor = c.Descriptor;
            const QImage image = ReadTga(MakeTgaFile(file));
            ASSERT_EQ(image.size(), QSize(3, 2));
            for (int i = 0; i < 6; ++i)
                EXPECT_EQ(qRed(image.pixel(i % 3, i / 3)), c.TopDown[i]) << "pixel " << i;
        }
    }
}

// What may surround the pixels without changing them: an ID field, a colour
// map beside true-colour pixels, the version-2 footer after them.
TEST(TgaReader, SkipsIdFieldUnusedMapAndFooter) {
    TgaFile file;
    file.Width = 2;
    file.Height = 1;
    file.Values = {0x102030, 0x405060};
    file.Id = QByteArray("written by hand, \0 inside", 25);
    file.Map = {0xFFFFFF, 0, 0xABCDEF};
    file.MapBits = 24;
    const QByteArray bytes =
        MakeTgaFile(file) + QByteArray(8, '\0') + QByteArray("TRUEVISION-XFILE.\0", 18);
    // The same map with entries of an odd size, 20 bits in three bytes.
    QByteArray oddEntries = bytes;
    oddEntries[7] = char(20);
    for (const QByteArray& b : {bytes, oddEntries}) {
        const QImage image = ReadTga(b);
        ASSERT_EQ(image.size(), QSize(2, 1));
        EXPECT_EQ(image.pixel(0, 0), 0xFF102030);
        EXPECT_EQ(image.pixel(1, 0), 0xFF405060);
    }
}

// A 32-bit picture arrives opaque, its partial alpha over white; fourth
// bytes that are zero throughout mean an unused byte, not a clear picture.
TEST(TgaReader, AlphaOnArrival) {
    TgaFile file;
    file.Depth = 32;
    file.Width = 3;
    file.Height = 1;
    file.Values = {0xFF0000FF, 0x80FF0000, 0x0000FF00};
    LoadedPicture picture = LoadPictureData(MakeTgaFile(file), QStringLiteral("tga"));
    EXPECT_EQ(picture.Alpha, AlphaRule::Opaque);
    EXPECT_EQ(picture.Image.pixel(0, 0), 0xFF0000FF);
    EXPECT_EQ(picture.Image.pixel(1, 0), 0xFFFF7F7F);
    EXPECT_EQ(picture.Image.pixel(2, 0), 0xFFFFFFFF);

    file.Values = {0x000000FF, 0x00FF0000, 0x0000FF00};
    for (const int rle : {0, RleType}) {
        file.Type = 2 + rle;
        picture = LoadPictureData(MakeTgaFile(file), QStringLiteral("tga"));
        EXPECT_EQ(picture.Image.pixel(0, 0), 0xFF0000FF);
        EXPECT_EQ(picture.Image.pixel(1, 0), 0xFFFF0000);
        EXPECT_EQ(picture.Image.pixel(2, 0), 0xFF00FF00);
    }
}

TgaFile Rgb24(int type, std::vector<quint32> values, int width, int height) {
    TgaFile file;
    file.Type = type;
    file.Width = width;
    file.Height = height;
    file.Values = std::move(values);
    return file;
}

TgaFile Mapped(std::vector<quint32> indices) {
    TgaFile file = Rgb24(1, std::move(indices), 2, 2);
    file.Depth = 8;
    file.Map = Map24;
    file.MapFirst = 1;
    return file;
}

QByteArray Edited(const TgaFile& file, const std::function<void(QByteArray&)>& edit) {
    QByteArray bytes = MakeTgaFile(file);
    edit(bytes);
    return bytes;
}

TEST(TgaReader, DamagedOrTruncatedFileIsAnError) {
    const TgaFile raw = Rgb24(2, Pattern({1, 2, 3, 4}), 4, 2);
    const TgaFile rle = Rgb24(10, Pattern({1, 2, 3, 4}), 4, 2);
    const TgaFile mapped = Mapped({1, 2, 3, 4});
    const TgaFile sameRun = Rgb24(10, std::vector<quint32>(8, 7), 4, 2);
    const TgaFile rawPacket = Rgb24(10, {1, 2, 3, 4, 5, 6, 7, 8}, 4, 2);
    const auto set8 = [](int at, int value) {
        return [at, value](QByteArray& b) { b[at] = char(value); };
    };
    const auto set16 = [](int at, int value) {
        return [at, value](QByteArray& b) { SetU16(b, at, value); };
    };
    const auto chop = [](int n) { return [n](QByteArray& b) { b.chop(n); }; };
    struct Case {
        const char* Name;
        QByteArray Bytes;
    };
    const Case cases[] = {
        {"empty", QByteArray()},
        {"header cut short", MakeTgaFile(raw).left(17)},
        {"no image data type", Edited(raw, set8(2, 0))},
        {"type 4", Edited(raw, set8(2, 4))},
        {"type 12", Edited(raw, set8(2, 12))},
        {"type 32", Edited(raw, set8(2, 32))},
        {"colour map type 2", Edited(mapped, set8(1, 2))},
        {"mapped without a map", Edited(mapped, set8(1, 0))},
        {"map of no entries", Edited(mapped, set16(5, 0))},
        {"map entries of 8 bits", Edited(mapped, set8(7, 8))},
        {"16-bit indices", Edited(mapped, set8(16, 16))},
        {"true colour of 8 bits", Edited(raw, set8(16, 8))},
        {"grey of 16 bits", Edited(Rgb24(3, {1, 2}, 2, 1), set8(16, 16))},
        {"zero width", Edited(raw, set16(12, 0))},
        {"zero height", Edited(raw, set16(14, 0))},
        {"wider than any picture", Edited(raw, set16(12, 30001))},
        {"too many pixels", Edited(raw,
                                   [](QByteArray& b) {
                                       SetU16(b, 12, 0xFFFF);
                                       SetU16(b, 14, 0xFFFF);
                                   })},
        {"large run-length picture from a few bytes", Edited(sameRun,
                                                             [](QByteArray& b) {
                                                                 SetU16(b, 12, 30000);
                                                                 SetU16(b, 14, 2000);
                                                             })},
        {"ID field past the end", Edited(raw, set8(0, 255))},
        {"colour map cut short", MakeTgaFile(mapped).left(18 + 3 * 4 - 1)},
        {"colour map longer than the file", Edited(mapped, set16(5, 500))},
        {"raw data one byte short", Edited(raw, chop(1))},
        {"raw data without pixels", MakeTgaFile(raw).left(18)},
        {"index below the map's first entry", MakeTgaFile(Mapped({1, 0, 2, 3}))},
        {"index past the map", MakeTgaFile(Mapped({1, 2, 3, 5}))},
        {"run-length index past the map", Edited(Mapped({5, 5, 5, 5}), set8(2, 9))},
        {"run past the picture", Edited(sameRun, set16(12, 3))},
        {"raw packet one pixel past the picture", Edited(rawPacket,
                                                         [](QByteArray& b) {
                                                             SetU16(b, 12, 7);
                                                             SetU16(b, 14, 1);
                                                         })},
        {"run-length ends before a packet", Edited(rle, chop(1 + 3))},
        {"run-length ends inside a run", Edited(rle, chop(1))},
        {"run-length ends inside a raw packet", MakeTgaFile(rle).left(18 + 4 + 1 + 3)},
        {"run-length without packets", MakeTgaFile(rle).left(18)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_THROW(ReadTga(c.Bytes), PictureError);
    }
    // Through the entry, the message names the format.
    try {
        (void)LoadPictureData(Edited(rle, chop(1)), QStringLiteral("TGA"));
        ADD_FAILURE() << "a cut file loaded";
    } catch (const PictureError& error) {
        EXPECT_NE(std::string(error.what()).find("TGA"), std::string::npos) << error.what();
    }
}

} // namespace
