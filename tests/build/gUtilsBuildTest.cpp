#include "build/gUtils.h"
#include "platform/PictureReader.h"
#include "support/TestSupport.h"

#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <vector>

using testsupport::ReadFile;
using testsupport::WriteFile;

namespace {

class PictureChecksTest : public ::testing::Test {
protected:
    QString Picture(const QString& name, const QImage& image) {
        const QString path = Dir.filePath(name);
        EXPECT_TRUE(image.save(path)) << name.toStdString();
        return path;
    }
    static QImage Filled(int w, int h, QRgb colour) {
        QImage image(w, h, QImage::Format_ARGB32);
        image.fill(colour);
        return image;
    }
    QTemporaryDir Dir;
};

} // namespace

TEST_F(PictureChecksTest, ContentMeansMoreThanOneColourOverWhite) {
    struct Case {
        const char* What;
        QImage Image;
        bool Content;
    };
    const auto withPixel = [](QImage image, int x, int y, QRgb colour) {
        image.setPixel(x, y, colour);
        return image;
    };
    const QImage grey = Filled(300, 200, qRgb(90, 90, 90));
    const std::vector<Case> cases = {
        {"one pixel", Filled(1, 1, qRgb(1, 2, 3)), false},
        {"one colour", grey, false},
        {"top-left differs", withPixel(grey, 0, 0, qRgb(90, 90, 91)), true},
        {"bottom-right differs", withPixel(grey, 299, 199, qRgb(91, 90, 90)), true},
        {"middle differs", withPixel(grey, 150, 100, qRgb(0, 0, 0)), true},
        {"transparent everywhere", Filled(120, 90, qRgba(10, 200, 30, 0)), false},
        {"transparent and white are both white",
         withPixel(Filled(120, 90, qRgba(0, 0, 0, 0)), 60, 40, qRgb(255, 255, 255)), false},
        {"transparent and black", withPixel(Filled(120, 90, 0), 119, 89, qRgb(0, 0, 0)), true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HasPictureContent(Picture("p.png", c.Image)), c.Content) << c.What;
}

TEST_F(PictureChecksTest, LargeEnoughFromOneHundredByEighty) {
    struct Case {
        int W, H;
        bool Large;
    };
    for (const Case c : std::vector<Case>{{100, 80, true},
                                          {99, 80, false},
                                          {100, 79, false},
                                          {99, 200, false},
                                          {300, 79, false},
                                          {3000, 2250, true}}) {
        const QString path = Picture("p.bmp", Filled(c.W, c.H, qRgb(1, 2, 3)));
        EXPECT_EQ(IsPictureLargeEnough(path), c.Large) << c.W << " x " << c.H;
        EXPECT_EQ(PictureSize(path), QSize(c.W, c.H));
    }
}

TEST_F(PictureChecksTest, ConvertWritesBottomUpPaddedRows) {
    // 3 x 2: 9 bytes of pixels per row, padded to 12.
    QImage image(3, 2, QImage::Format_ARGB32);
    image.setPixel(0, 0, qRgb(0x10, 0x11, 0x12));
    image.setPixel(1, 0, qRgb(0x20, 0x21, 0x22));
    image.setPixel(2, 0, qRgb(0x30, 0x31, 0x32));
    image.setPixel(0, 1, qRgb(0xFF, 0x00, 0x00));
    image.setPixel(1, 1, qRgb(0x00, 0xFF, 0x00));
    image.setPixel(2, 1, qRgb(0x00, 0x00, 0xFF));
    const QString target = Dir.filePath("b1.bmp");
    BgrTriple colour{};
    ConvertPictureToBmp(Picture("p.png", image), target, colour);

    const QByteArray expected =
        QByteArray::fromHex("424D"
                            "4E000000"
                            "00000000"
                            "36000000" // file header: 78 bytes, pixels at 54
                            "28000000"
                            "03000000"
                            "02000000"
                            "0100"
                            "1800" // info header: 3 x 2, 24 bits
                            "00000000"
                            "18000000"
                            "00000000"
                            "00000000"
                            "00000000"
                            "00000000"
                            "0000FF"
                            "00FF00"
                            "FF0000"
                            "000000" // bottom row first
                            "121110"
                            "222120"
                            "323130"
                            "000000");
    EXPECT_EQ(ReadFile(target).toHex(), expected.toHex());
    EXPECT_EQ(colour, (BgrTriple{0x00, 0x00, 0xFF})) << "red bottom-left";

    const QImage back(target, "BMP");
    EXPECT_EQ(back.pixel(2, 0), qRgb(0x30, 0x31, 0x32));
}

TEST_F(PictureChecksTest, TransparentBottomLeftBecomesWhite) {
    QImage image = Filled(4, 4, qRgb(200, 0, 0));
    image.setPixel(0, 3, qRgba(0, 0, 0, 0));
    image.setPixel(1, 3, qRgba(0, 0, 0, 128));
    for (const char* name : {"t.png", "t.ico"}) {
        BgrTriple colour{};
        const QString target = Dir.filePath("b2.bmp");
        ConvertPictureToBmp(Picture(name, image), target, colour);
        EXPECT_EQ(colour, (BgrTriple{0xFF, 0xFF, 0xFF})) << name;
        const QImage back(target, "BMP");
        EXPECT_EQ(back.pixel(0, 3), qRgb(255, 255, 255)) << name;
        EXPECT_EQ(back.pixel(1, 3), qRgb(127, 127, 127)) << name << ": half alpha over white";
        EXPECT_EQ(back.pixel(3, 0), qRgb(200, 0, 0)) << name;
    }
}

TEST_F(PictureChecksTest, ErrorsReachTheCallerAndKeepTheOldTarget) {
    const QString target = WriteFile(Dir.filePath("b1.bmp"), "old");
    BgrTriple colour{};
    const QString damaged = WriteFile(Dir.filePath("damaged.png"), "\x89PNG\r\n\x1a\n broken");
    EXPECT_THROW(ConvertPictureToBmp(damaged, target, colour), PictureError);
    EXPECT_THROW(ConvertPictureToBmp(Dir.filePath("missing.png"), target, colour), PictureError);
    const QString text = WriteFile(Dir.filePath("picture.txt"), "hello");
    EXPECT_THROW(ConvertPictureToBmp(text, target, colour), PictureError);
    EXPECT_EQ(ReadFile(target), "old");

    const QString good = Picture("good.png", Filled(2, 2, qRgb(1, 2, 3)));
    EXPECT_THROW(ConvertPictureToBmp(good, Dir.filePath("no/such/b1.bmp"), colour), FileError);
    EXPECT_THROW(HasPictureContent(damaged), PictureError);
    EXPECT_THROW(IsPictureLargeEnough(text), PictureError);
}

TEST(ColourToBgr, RedIsInTheLowestByte) {
    struct Case {
        std::uint32_t Colour;
        BgrTriple Triple;
    };
    for (const Case c : std::vector<Case>{{0x000000FF, {0x00, 0x00, 0xFF}},
                                          {0x00FF0000, {0xFF, 0x00, 0x00}},
                                          {0x00123456, {0x12, 0x34, 0x56}},
                                          {0xFF000000, {0x00, 0x00, 0x00}}}) {
        BgrTriple triple{};
        ColourToBgr(c.Colour, triple);
        EXPECT_EQ(triple, c.Triple) << std::hex << c.Colour;
    }
}
