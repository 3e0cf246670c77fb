#include "GifWriter.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QSet>

#include <gtest/gtest.h>

#include <functional>
#include <random>

namespace {

QImage Decoded(const QByteArray& gif) {
    QBuffer buffer;
    buffer.setData(gif);
    QImageReader reader(&buffer, "gif");
    const QImage image = reader.read();
    EXPECT_FALSE(image.isNull()) << qPrintable(reader.errorString());
    return image.convertToFormat(QImage::Format_RGB32);
}

QImage Painted(int width, int height, const std::function<QRgb(int, int)>& colour) {
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, colour(x, y));
    }
    return image;
}

constexpr QRgb kKeep = 0xffdcebff;

struct GifCase {
    const char* What;
    QImage Image;
};

// Qt's reader is the independent decoder; what it reads back must be what
// the encoder meant to store.
TEST(GifWriter, QtReadsBackWhatWasEncoded) {
    std::mt19937 random(7);
    std::vector<QRgb> palette(255);
    for (QRgb& colour : palette)
        colour = 0xff000000u | (random() & 0xffffff);
    const GifCase cases[] = {
        {"one pixel", Painted(1, 1, [](int, int) { return kKeep; })},
        {"two colours", Painted(17, 3, [](int x, int) { return x % 2 ? kKeep : 0xff102030u; })},
        // Noise fills the code table many times over: every clear and every
        // change of code width is crossed.
        {"noise of 256 colours",
         Painted(300, 200,
                 [&](int, int) { return random() % 256 == 0 ? kKeep : palette[random() % 255]; })},
        {"long runs",
         Painted(640, 9, [](int x, int y) { return x < 600 - y ? kKeep : 0xff00ff00u; })},
    };
    for (const GifCase& c : cases) {
        SCOPED_TRACE(c.What);
        EXPECT_EQ(Decoded(EncodeGif(c.Image, kKeep)), c.Image);
        EXPECT_EQ(QuantiseForGif(c.Image, kKeep), c.Image) << "few colours stay exact";
    }
}

TEST(GifWriter, ManyColoursKeepTheBackgroundExactAndApart) {
    // A gradient of thousands of colours beside the background, and one
    // colour a shade off the background that must not become it.
    const QRgb nearKeep = kKeep - 0x000001;
    const QImage image = Painted(256, 64, [&](int x, int y) -> QRgb {
        if (x < 16)
            return kKeep;
        if (x < 20)
            return nearKeep;
        return qRgb(x, y * 4, 255 - x);
    });
    const QImage quantised = QuantiseForGif(image, kKeep);
    EXPECT_EQ(Decoded(EncodeGif(image, kKeep)), quantised);

    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb out = quantised.pixel(x, y);
            colours.insert(out);
            EXPECT_EQ(out == kKeep, image.pixel(x, y) == kKeep) << x << "," << y;
            EXPECT_LE(std::abs(qRed(out) - qRed(image.pixel(x, y))), 48) << x << "," << y;
        }
    }
    EXPECT_LE(colours.size(), 256);
}

} // namespace
