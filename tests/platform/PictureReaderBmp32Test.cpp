#include "platform/Bmp32Reader.h"

#include "platform/PictureFixtures.h"
#include "platform/PictureReader.h"

#include <QBuffer>
#include <QImageWriter>

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

using fixtures::Bmp32Header;
using fixtures::MakeBmp32;

QImage Translucent() {
    QImage image(5, 3, QImage::Format_ARGB32);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            image.setPixel(x, y, qRgba(x * 60, y * 120, 200, x * 50 + y * 2));
    return image;
}

void Set32(QByteArray& bytes, int at, quint32 value) {
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = char(value >> (8 * i) & 0xFF);
}

// One pixel word under the given masks, BITMAPINFOHEADER with BI_BITFIELDS
// and, when alpha is given, BI_ALPHABITFIELDS.
QByteArray OnePixel(quint32 red, quint32 green, quint32 blue, quint32 alpha, quint32 word) {
    QByteArray bytes = MakeBmp32(QImage(1, 1, QImage::Format_ARGB32), Bmp32Header::Bitfields);
    Set32(bytes, 30, alpha ? 6 : 3);
    Set32(bytes, 54, red);
    Set32(bytes, 58, green);
    Set32(bytes, 62, blue);
    if (alpha) {
        bytes.insert(66, QByteArray(4, '\0'));
        Set32(bytes, 66, alpha);
        Set32(bytes, 10, 70);
    }
    Set32(bytes, int(bytes.size()) - 4, word);
    return bytes;
}

struct LayoutCase {
    const char* Name;
    Bmp32Header Header;
    bool TopDown;
};

class Bmp32Layout : public testing::TestWithParam<LayoutCase> {};

TEST_P(Bmp32Layout, KeepsEveryPixelAndItsFourthByteAsAlpha) {
    const QImage source = Translucent();
    const QByteArray bytes = MakeBmp32(source, GetParam().Header, GetParam().TopDown);
    ASSERT_TRUE(IsBmp32(bytes));
    const QImage image = ReadBmp32(bytes);
    ASSERT_EQ(image.size(), source.size());
    for (int y = 0; y < source.height(); ++y)
        for (int x = 0; x < source.width(); ++x)
            ASSERT_EQ(image.pixel(x, y), source.pixel(x, y)) << x << "," << y;
}

INSTANTIATE_TEST_SUITE_P(Bmp32Reader, Bmp32Layout,
                         testing::Values(LayoutCase{"rgb_bottom_up", Bmp32Header::Rgb, false},
                                         LayoutCase{"rgb_top_down", Bmp32Header::Rgb, true},
                                         LayoutCase{"bitfields", Bmp32Header::Bitfields, false},
                                         LayoutCase{"v5_alpha_mask", Bmp32Header::V5Alpha, false},
                                         LayoutCase{"v5_top_down", Bmp32Header::V5Alpha, true}),
                         [](const auto& p) { return std::string(p.param.Name); });

TEST(Bmp32Reader, MasksChooseTheChannels) {
    struct Case {
        const char* Name;
        QByteArray Bytes;
        QRgb Expected;
    };
    const Case cases[] = {
        // Red and blue the other way round; the free byte is alpha.
        {"swapped", OnePixel(0x000000FF, 0x0000FF00, 0x00FF0000, 0, 0x80112233), 0x80332211},
        // Alpha in the lowest byte, named by its own mask.
        {"alpha low", OnePixel(0xFF000000, 0x00FF0000, 0x0000FF00, 0x000000FF, 0x11223344),
         0x44112233},
        // Ten bits per colour and two of alpha.
        {"2-10-10-10", OnePixel(0x3FF00000, 0x000FFC00, 0x000003FF, 0xC0000000, 0xBFFFFC00),
         0xAAFFFF00},
        // Masks that leave no whole byte free: opaque.
        {"no free byte", OnePixel(0x7FF00000, 0x000FFC00, 0x000003FF, 0, 0x00000000), 0xFF000000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(ReadBmp32(c.Bytes).pixel(0, 0), c.Expected);
    }
}

TEST(Bmp32Reader, OnlyThirtyTwoBitFilesAreOurs) {
    QImage image(3, 2, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray qt24;
    QBuffer buffer(&qt24);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, "bmp").write(image);
    EXPECT_FALSE(IsBmp32(qt24));
    EXPECT_FALSE(IsBmp32(QByteArray("BM")));
    EXPECT_TRUE(IsBmp32(MakeBmp32(image)));
}

TEST(Bmp32Reader, DamagedFilesAreErrors) {
    const QByteArray good = MakeBmp32(Translucent());
    struct Case {
        const char* Name;
        QByteArray Bytes;
    };
    std::vector<Case> cases;
    const auto with = [&](const char* name, auto change) {
        QByteArray b = good;
        change(b);
        cases.push_back({name, b});
    };
    cases.push_back({"empty", QByteArray()});
    cases.push_back({"header cut short", good.left(40)});
    cases.push_back({"last row cut short", good.left(good.size() - 1)});
    cases.push_back({"masks missing", MakeBmp32(Translucent(), Bmp32Header::Bitfields).left(60)});
    with("not BM", [](QByteArray& b) { b[0] = 'X'; });
    with("unknown header size", [](QByteArray& b) { Set32(b, 14, 64); });
    with("header larger than the file", [](QByteArray& b) { Set32(b, 14, 124); });
    with("run-length compression", [](QByteArray& b) { Set32(b, 30, 1); });
    with("pixels before the header ends", [](QByteArray& b) { Set32(b, 10, 20); });
    with("pixels beyond the file", [](QByteArray& b) { Set32(b, 10, 0x7FFFFFFF); });
    with("zero width", [](QByteArray& b) { Set32(b, 18, 0); });
    with("negative width", [](QByteArray& b) { Set32(b, 18, quint32(-5)); });
    with("zero height", [](QByteArray& b) { Set32(b, 22, 0); });
    with("most negative height", [](QByteArray& b) { Set32(b, 22, quint32(INT_MIN)); });
    with("wider than any picture", [](QByteArray& b) { Set32(b, 18, 30001); });
    with("more pixels than any picture", [](QByteArray& b) {
        Set32(b, 18, 20000);
        Set32(b, 22, 20000);
    });
    cases.push_back({"mask with a gap", OnePixel(0x00FF00FF, 0x0000FF00, 0, 0, 0)});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_THROW(ReadBmp32(c.Bytes), PictureError);
    }
}

} // namespace
