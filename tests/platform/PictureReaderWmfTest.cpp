#include "platform/WmfReader.h"

#include "platform/PictureFixtures.h"
#include "platform/PictureReader.h"

#include <QPoint>

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

using fixtures::MakeDib;
using fixtures::WmfBuilder;

constexpr QRgb Red = 0xFFFF0000, Green = 0xFF00FF00, Blue = 0xFF0000FF, White = 0xFFFFFFFF,
               Black = 0xFF000000;
constexpr int NullPen = 5, NullBrush = 1, Transparent = 1, Opaque = 2;

// 100 x 100 pixels, one unit each, with a null pen and a red brush selected
// (objects 0 and 1).
WmfBuilder Canvas() {
    WmfBuilder wmf = WmfBuilder::Placeable(0, 0, 100, 100, 96);
    wmf.Pen(NullPen, 0, 0).Select(0).Brush(0, Red).Select(1);
    return wmf;
}

bool Drawn(const QImage& image, int x, int y) {
    return qAlpha(image.pixel(x, y)) > 0;
}

// Whether anything at all is drawn inside the rectangle.
bool AnyDrawn(const QImage& image, const QRect& area) {
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (Drawn(image, x, y))
                return true;
    return false;
}

struct ShapeCase {
    const char* Name;
    std::function<void(WmfBuilder&)> Draw;
    std::vector<QPoint> Filled; // red
    std::vector<QPoint> Untouched;
};

class WmfShape : public testing::TestWithParam<ShapeCase> {};

TEST_P(WmfShape, FillsWhereItDrawsAndLeavesTheRestTransparent) {
    WmfBuilder wmf = Canvas();
    GetParam().Draw(wmf);
    const QImage image = ReadWmf(wmf.Bytes());
    ASSERT_EQ(image.size(), QSize(100, 100));
    ASSERT_EQ(image.format(), QImage::Format_ARGB32);
    for (const QPoint& p : GetParam().Filled)
        EXPECT_EQ(image.pixel(p), Red) << "at " << p.x() << "," << p.y();
    for (const QPoint& p : GetParam().Untouched)
        EXPECT_EQ(qAlpha(image.pixel(p)), 0) << "at " << p.x() << "," << p.y();
}

const ShapeCase ShapeCases[] = {
    {"rectangle",
     [](WmfBuilder& w) { w.Rectangle(10, 10, 50, 50); },
     {{11, 11}, {30, 30}, {48, 48}},
     {{5, 5}, {60, 60}, {30, 55}}},
    {"ellipse",
     [](WmfBuilder& w) { w.Ellipse(10, 10, 90, 90); },
     {{50, 50}, {50, 12}, {12, 50}},
     {{13, 13}, {87, 87}, {95, 50}}},
    {"polygon",
     [](WmfBuilder& w) {
         w.Polygon({QPoint(10, 90), QPoint(90, 90), QPoint(50, 10)});
     },
     {{50, 70}, {50, 20}},
     {{15, 15}, {85, 20}}},
    {"round rectangle",
     [](WmfBuilder& w) {
         w.Record(0x061C, {40, 40, 90, 90, 10, 10});
     },
     {{50, 50}, {50, 11}, {11, 50}},
     {{11, 11}, {88, 88}}},
    // Counter-clockwise from the radial at 0 degrees to the one at 90: the
    // upper right quarter.
    {"pie",
     [](WmfBuilder& w) {
         w.Record(0x081A, {0, 50, 50, 100, 100, 100, 0, 0});
     },
     {{75, 25}, {55, 10}, {90, 45}},
     {{25, 25}, {25, 75}, {75, 75}}},
    {"pie the other way",
     [](WmfBuilder& w) {
         w.Record(0x081A, {50, 100, 0, 50, 100, 100, 0, 0});
     },
     {{25, 25}, {25, 75}, {75, 75}},
     {{75, 25}}},
    // The same radials as a chord: only the part beyond the straight line.
    {"chord",
     [](WmfBuilder& w) {
         w.Record(0x0830, {0, 50, 50, 100, 100, 100, 0, 0});
     },
     {{85, 15}},
     {{60, 40}, {25, 25}, {75, 75}}},
    // Squares one inside the other: alternate fill leaves the inner one out.
    {"polypolygon alternate",
     [](WmfBuilder& w) {
         w.Record(0x0538,
                  {2, 4, 4, 10, 10, 90, 10, 90, 90, 10, 90, 30, 30, 70, 30, 70, 70, 30, 70});
     },
     {{20, 20}, {80, 80}},
     {{50, 50}, {95, 95}}},
    {"polypolygon winding",
     [](WmfBuilder& w) {
         w.Record(0x0106, {2});
         w.Record(0x0538,
                  {2, 4, 4, 10, 10, 90, 10, 90, 90, 10, 90, 30, 30, 70, 30, 70, 70, 30, 70});
     },
     {{20, 20}, {50, 50}},
     {{95, 95}}},
    {"null brush draws nothing",
     [](WmfBuilder& w) { w.Brush(NullBrush, Red).Select(2).Rectangle(10, 10, 90, 90); },
     {},
     {{50, 50}}},
    {"unknown records are skipped",
     [](WmfBuilder& w) {
         w.Record(0x0999, {1, 2, 3});
         w.Record(0x0626, {15, 4, 0x4141, 0x4141}); // an escape
         w.Rectangle(10, 10, 50, 50);
     },
     {{30, 30}},
     {{60, 60}}},
    {"clip rectangle",
     [](WmfBuilder& w) {
         w.Record(0x0416, {50, 50, 0, 0}); // intersect: the upper left quarter
         w.Rectangle(0, 0, 100, 100);
     },
     {{25, 25}},
     {{75, 75}, {75, 25}}},
    {"excluded rectangle",
     [](WmfBuilder& w) {
         w.Record(0x0415, {50, 50, 0, 0});
         w.Rectangle(0, 0, 100, 100);
     },
     {{75, 75}, {75, 25}},
     {{25, 25}}},
    {"saved state comes back",
     [](WmfBuilder& w) {
         w.Record(0x001E, {});
         w.Record(0x0416, {10, 10, 0, 0});
         w.Record(0x0127, {0xFFFF}); // RestoreDC(-1)
         w.Rectangle(0, 0, 100, 100);
     },
     {{50, 50}},
     {}},
    {"window mapping",
     [](WmfBuilder& w) {
         w.WindowOrg(0, 0).WindowExt(10, 10);
         w.Rectangle(5, 5, 10, 10);
     },
     {{75, 75}},
     {{25, 25}}},
    {"pattern fill with black",
     [](WmfBuilder& w) {
         w.Record(0x061D, {0x21, 0xF0, 20, 20, 10, 10});
     },
     {{15, 15}},
     {{40, 40}}},
};

INSTANTIATE_TEST_SUITE_P(WmfReader, WmfShape, testing::ValuesIn(ShapeCases), [](const auto& p) {
    std::string name = p.param.Name;
    std::replace(name.begin(), name.end(), ' ', '_');
    return name;
});

TEST(WmfReader, LinesUseTheSelectedPen) {
    WmfBuilder wmf = WmfBuilder::Placeable(0, 0, 100, 100, 96);
    wmf.Pen(0, 0, Blue).Select(0).MoveTo(0, 50).LineTo(100, 50);
    wmf.Record(0x0325, {3, 20, 0, 20, 99, 21, 99}); // polyline
    const QImage image = ReadWmf(wmf.Bytes());
    EXPECT_EQ(image.pixel(70, 50), Blue);
    EXPECT_EQ(image.pixel(20, 70), Blue);
    EXPECT_FALSE(Drawn(image, 70, 45));
    EXPECT_FALSE(Drawn(image, 70, 55));
    EXPECT_FALSE(Drawn(image, 40, 70));
}

// A new object takes the lowest free slot, so after a deletion the indices
// of later selections refer to the new object.
TEST(WmfReader, ObjectTableReusesTheLowestFreeSlot) {
    WmfBuilder wmf = WmfBuilder::Placeable(0, 0, 100, 100, 96);
    wmf.Pen(NullPen, 0, 0).Select(0);  // slot 0
    wmf.Brush(0, Red).Brush(0, Green); // slots 1 and 2
    wmf.Delete(1).Brush(0, Blue);      // blue takes slot 1
    wmf.Select(1).Rectangle(0, 0, 50, 50);
    wmf.Delete(1).Rectangle(50, 0, 100, 50);           // the selection outlives its slot
    wmf.Select(7).Select(1).Rectangle(0, 50, 50, 100); // empty slots select nothing
    wmf.Select(2).Rectangle(50, 50, 100, 100);
    const QImage image = ReadWmf(wmf.Bytes());
    EXPECT_EQ(image.pixel(25, 25), Blue);
    EXPECT_EQ(image.pixel(75, 25), Blue);
    EXPECT_EQ(image.pixel(25, 75), Blue);
    EXPECT_EQ(image.pixel(75, 75), Green);
}

TEST(WmfReader, DefaultPenAndBrushAreBlackOnWhite) {
    const QImage image =
        ReadWmf(WmfBuilder::Placeable(0, 0, 100, 100, 96).Rectangle(10, 10, 90, 90).Bytes());
    EXPECT_EQ(image.pixel(50, 50), White);
    EXPECT_EQ(image.pixel(10, 50), Black);
    EXPECT_FALSE(Drawn(image, 5, 5));
}

// A 2 x 2 bitmap: red and green above, blue and white below.
QImage TwoByTwo() {
    QImage image(2, 2, QImage::Format_RGB32);
    image.setPixel(0, 0, Red);
    image.setPixel(1, 0, Green);
    image.setPixel(0, 1, Blue);
    image.setPixel(1, 1, White);
    return image;
}

QByteArray DibStretchBlt(int x, int y, int w, int h, const QByteArray& dib) {
    QByteArray params;
    for (int v : {0x0020, 0x00CC, 2, 2, 0, 0, h, w, y, x})
        params.append(char(v & 0xFF)).append(char(v >> 8 & 0xFF));
    return params + dib;
}

QByteArray DibBitBlt(int x, int y, const QByteArray& dib) {
    QByteArray params;
    for (int v : {0x0020, 0x00CC, 0, 0, 2, 2, y, x})
        params.append(char(v & 0xFF)).append(char(v >> 8 & 0xFF));
    return params + dib;
}

TEST(WmfReader, BitmapsLandWhereTheRecordsPlaceThem) {
    struct Case {
        const char* Name;
        std::function<void(WmfBuilder&)> Draw;
        QPoint Origin; // the bitmap covers 40 x 40 pixels from here
        QRgb TopLeft, TopRight, BottomLeft, BottomRight;
    };
    const Case cases[] = {
        {"StretchDIB 24 bits",
         [](WmfBuilder& w) { w.StretchDib(10, 10, 40, 40, MakeDib(TwoByTwo()), 2, 2); },
         {10, 10},
         Red,
         Green,
         Blue,
         White},
        {"StretchDIB 8 bits",
         [](WmfBuilder& w) { w.StretchDib(10, 10, 40, 40, MakeDib(TwoByTwo(), 8), 2, 2); },
         {10, 10},
         Red,
         Green,
         Blue,
         White},
        {"StretchDIB mirrored",
         [](WmfBuilder& w) { w.StretchDib(50, 10, -40, 40, MakeDib(TwoByTwo()), 2, 2); },
         {10, 10},
         Green,
         Red,
         White,
         Blue},
        {"DIBStretchBlt",
         [](WmfBuilder& w) {
             w.RecordBytes(0x0B41, DibStretchBlt(30, 20, 40, 40, MakeDib(TwoByTwo())));
         },
         {30, 20},
         Red,
         Green,
         Blue,
         White},
        // 20 pixels a unit, so the bitmap's 2 x 2 units cover 40 pixels.
        {"DIBBitBlt",
         [](WmfBuilder& w) {
             w.WindowExt(5, 5).RecordBytes(0x0940, DibBitBlt(1, 1, MakeDib(TwoByTwo())));
         },
         {20, 20},
         Red,
         Green,
         Blue,
         White},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        WmfBuilder wmf = WmfBuilder::Placeable(0, 0, 100, 100, 96);
        c.Draw(wmf);
        const QImage image = ReadWmf(wmf.Bytes());
        const QPoint o = c.Origin;
        EXPECT_EQ(image.pixel(o + QPoint(10, 10)), c.TopLeft);
        EXPECT_EQ(image.pixel(o + QPoint(30, 10)), c.TopRight);
        EXPECT_EQ(image.pixel(o + QPoint(10, 30)), c.BottomLeft);
        EXPECT_EQ(image.pixel(o + QPoint(30, 30)), c.BottomRight);
        EXPECT_FALSE(Drawn(image, o.x() + 45, o.y() + 20));
        EXPECT_FALSE(Drawn(image, o.x() + 20, o.y() + 45));
        EXPECT_FALSE(Drawn(image, 2, 2));
    }
}

WmfBuilder TextCanvas(int bkMode, int align = 0) {
    WmfBuilder wmf = WmfBuilder::Placeable(0, 0, 200, 100, 96);
    wmf.Font(-40, QStringLiteral("DejaVu Sans")).Select(0).TextColour(Blue).BkMode(bkMode);
    if (align)
        wmf.Record(0x012E, {align});
    return wmf;
}

TEST(WmfReader, TextIsDrawnInItsColourFromItsReferencePoint) {
    const QImage image = ReadWmf(TextCanvas(Transparent).TextOut(10, 10, "HH").Bytes());
    // The top of the cell lies above the capitals: nothing there.
    EXPECT_FALSE(AnyDrawn(image, QRect(0, 0, 200, 14)));
    EXPECT_TRUE(AnyDrawn(image, QRect(10, 14, 60, 40)));
    EXPECT_FALSE(AnyDrawn(image, QRect(0, 14, 9, 86)));
    EXPECT_FALSE(AnyDrawn(image, QRect(120, 0, 80, 100)));
    int blue = 0;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 200; ++x)
            blue += image.pixel(x, y) == Blue;
    EXPECT_GT(blue, 100) << "the stems of the capitals are solid text colour";
}

TEST(WmfReader, OpaqueBackgroundFillsTheTextCell) {
    const QImage image = ReadWmf(TextCanvas(Opaque).TextOut(10, 10, "HH").Bytes());
    EXPECT_EQ(image.pixel(12, 11), White);
    EXPECT_FALSE(Drawn(image, 5, 5));
}

TEST(WmfReader, TextAlignmentMovesTheTextAroundItsPoint) {
    struct Case {
        const char* Name;
        int Align;
        QRect Inked, Empty;
    };
    const Case cases[] = {
        {"right", 2, QRect(100, 14, 50, 40), QRect(152, 0, 48, 100)},
        {"centre", 6, QRect(55, 14, 90, 40), QRect(0, 0, 40, 100)},
        {"baseline", 24, QRect(10, 30, 80, 20), QRect(0, 53, 200, 47)},
        {"bottom", 8, QRect(10, 10, 80, 30), QRect(0, 52, 200, 48)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        const int x = c.Align == 2 ? 150 : c.Align == 6 ? 100 : 10;
        const int y = c.Align == 24 || c.Align == 8 ? 50 : 10;
        const QImage image = ReadWmf(TextCanvas(Transparent, c.Align).TextOut(x, y, "HH").Bytes());
        EXPECT_TRUE(AnyDrawn(image, c.Inked));
        EXPECT_FALSE(AnyDrawn(image, c.Empty));
    }
}

TEST(WmfReader, ExtTextOutPlacesEachCharacterByItsAdvance) {
    WmfBuilder wmf = TextCanvas(Transparent);
    // ETO_OPAQUE with its rectangle in the background colour, then "II"
    // with the second letter 120 units on.
    wmf.Record(0x0209, fixtures::ColourWords(Blue));
    wmf.Record(0x0201, fixtures::ColourWords(Green));
    wmf.Record(0x0A32, {10, 10, 2, 2, 0, 80, 6, 100, 'I' | 'I' << 8, 120, 0});
    const QImage image = ReadWmf(wmf.Bytes());
    EXPECT_EQ(image.pixel(2, 90), Green);
    EXPECT_FALSE(Drawn(image, 10, 70));
    EXPECT_TRUE(AnyDrawn(image, QRect(10, 14, 20, 30)));
    EXPECT_TRUE(AnyDrawn(image, QRect(130, 14, 20, 30)));
    EXPECT_FALSE(AnyDrawn(image, QRect(40, 0, 80, 100)));
}

TEST(WmfReader, PictureSizeComesFromTheMetafile) {
    const auto rect = [](WmfBuilder w) { return w.Rectangle(30, 40, 90, 70).Bytes(); };
    struct Case {
        const char* Name;
        QByteArray Bytes;
        QSize Size;
    };
    const Case cases[] = {
        {"placeable in twips", WmfBuilder::Placeable(0, 0, 1440, 720, 1440).Bytes(), {96, 48}},
        {"placeable around the origin",
         WmfBuilder::Placeable(-50, -50, 50, 50, 96).Bytes(),
         {100, 100}},
        {"placeable at 48 units an inch",
         WmfBuilder::Placeable(0, 0, 100, 50, 48).Bytes(),
         {200, 100}},
        {"placeable upside down", WmfBuilder::Placeable(0, 50, 100, 0, 96).Bytes(), {100, 50}},
        {"plain with a window", WmfBuilder::Plain().WindowExt(300, 200).Bytes(), {300, 200}},
        {"plain with a flipped window",
         WmfBuilder::Plain().WindowExt(300, -200).Bytes(),
         {300, 200}},
        {"plain without a window",
         rect(WmfBuilder::Plain().Pen(NullPen, 0, 0).Select(0)),
         {60, 30}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(ReadWmf(c.Bytes).size(), c.Size);
    }
}

TEST(WmfReader, PlainMetafilesMapTheirWindowOntoThePicture) {
    // Without a window: the drawn extent is the picture, all of it filled.
    const QImage drawn = ReadWmf(WmfBuilder::Plain()
                                     .Pen(NullPen, 0, 0)
                                     .Select(0)
                                     .Brush(0, Red)
                                     .Select(1)
                                     .Rectangle(30, 40, 90, 70)
                                     .Bytes());
    EXPECT_EQ(drawn.pixel(0, 0), Red);
    EXPECT_EQ(drawn.pixel(59, 29), Red);

    // A flipped window: logical y grows upwards from the bottom edge.
    const QImage flipped = ReadWmf(WmfBuilder::Plain()
                                       .WindowOrg(0, 100)
                                       .WindowExt(100, -100)
                                       .Pen(NullPen, 0, 0)
                                       .Select(0)
                                       .Brush(0, Red)
                                       .Select(1)
                                       .Rectangle(0, 0, 50, 50)
                                       .Bytes());
    EXPECT_EQ(flipped.pixel(25, 75), Red);
    EXPECT_FALSE(Drawn(flipped, 25, 25));

    // Tenths of a millimetre: 254 of them are an inch, 96 pixels.
    const QImage metric = ReadWmf(WmfBuilder::Plain()
                                      .Record(0x0103, {2})
                                      .Pen(NullPen, 0, 0)
                                      .Select(0)
                                      .Brush(0, Red)
                                      .Select(1)
                                      .Rectangle(0, 0, 254, -254)
                                      .Bytes());
    EXPECT_EQ(metric.size(), QSize(96, 96));
    EXPECT_EQ(metric.pixel(48, 48), Red);
}

TEST(WmfReader, MetafileOfNoSizeIsEmptyNotAnError) {
    EXPECT_TRUE(ReadWmf(WmfBuilder::Placeable(10, 10, 10, 50, 96).Bytes()).isNull());
    EXPECT_TRUE(ReadWmf(WmfBuilder::Plain().Bytes()).isNull());
    const LoadedPicture picture =
        LoadPictureData(WmfBuilder::Plain().Bytes(), QStringLiteral("wmf"));
    EXPECT_TRUE(picture.Image.isNull());
}

TEST(WmfReader, DamagedMetafilesAreErrors) {
    const QByteArray good = Canvas().Rectangle(10, 10, 50, 50).Bytes();
    const auto records = [](std::function<void(WmfBuilder&)> add) {
        WmfBuilder w = Canvas();
        add(w);
        return w.Bytes();
    };
    QByteArray shortDib = MakeDib(TwoByTwo());
    shortDib.chop(4);
    QByteArray oddDib = MakeDib(TwoByTwo());
    oddDib[0] = 20;
    struct Case {
        const char* Name;
        QByteArray Bytes;
    };
    std::vector<Case> cases = {
        {"empty", QByteArray()},
        {"text", QByteArray("this is a text file and no metafile")},
        {"placeable header only", good.left(22)},
        {"header cut short", good.left(30)},
        {"without its end record", Canvas().Rectangle(10, 10, 50, 50).Bytes(false)},
        {"cut in a record", good.left(good.size() - 8)},
        {"zero units per inch", WmfBuilder::Placeable(0, 0, 100, 100, 0).Bytes()},
        {"polygon with more points than its record", records([](WmfBuilder& w) {
             w.Record(0x0324, {100, 1, 2});
         })},
        {"polygon with a negative count", records([](WmfBuilder& w) {
             w.Record(0x0324, {0xFFFF, 1, 2});
         })},
        {"text longer than its record", records([](WmfBuilder& w) {
             w.Record(0x0521, {50, 0x4141});
         })},
        {"rectangle without corners", records([](WmfBuilder& w) {
             w.Record(0x041B, {1, 2});
         })},
        {"bitmap cut short",
         records([&](WmfBuilder& w) { w.StretchDib(0, 0, 10, 10, shortDib, 2, 2); })},
        {"bitmap header of no known size",
         records([&](WmfBuilder& w) { w.StretchDib(0, 0, 10, 10, oddDib, 2, 2); })},
        {"larger than any picture", WmfBuilder::Placeable(0, 0, 32000, 32000, 1).Bytes()},
        {"plain window larger than any picture", WmfBuilder::Plain().WindowExt(30001, 10).Bytes()},
    };
    QByteArray wrongType = good;
    wrongType[22] = 3;
    cases.push_back({"unknown type", wrongType});
    QByteArray wrongHeader = good;
    wrongHeader[24] = 10;
    cases.push_back({"header of the wrong size", wrongHeader});
    for (quint32 words : {0u, 2u, 0x7FFFFFFFu}) {
        QByteArray bad = good;
        const int at = 22 + 18; // the first record
        for (int i = 0; i < 4; ++i)
            bad[at + i] = char(words >> (8 * i) & 0xFF);
        cases.push_back({"record size that cannot be", bad});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_THROW(ReadWmf(c.Bytes), PictureError);
    }
}

} // namespace
