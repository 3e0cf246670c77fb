#include "Artwork.h"
#include "ArtworkNames.h"

#include <QCursor>
#include <QDirIterator>
#include <QIcon>
#include <QImage>
#include <QSet>

#include <gtest/gtest.h>

#include <cstdlib>
#include <iterator>

namespace {

using artwork::ImageSpec;
using artwork::ImageStyle;

constexpr QRgb kStrip = 0xff005f8c;

QImage Image(const QString& name) {
    return ArtworkPixmap(name).toImage().convertToFormat(QImage::Format_ARGB32);
}

QString NameOf(const ImageSpec& entry) {
    return QLatin1String(entry.Name);
}

int Luminance(QRgb c) {
    return (qRed(c) * 299 + qGreen(c) * 587 + qBlue(c) * 114) / 1000;
}

bool IsGrey(QRgb c) {
    return qRed(c) == qGreen(c) && qGreen(c) == qBlue(c);
}

// What a person sees of image drawn over background.
QRgb Over(QRgb pixel, QRgb background) {
    const int a = qAlpha(pixel);
    auto mix = [a](int top, int bottom) { return (top * a + bottom * (255 - a)) / 255; };
    return qRgb(mix(qRed(pixel), qRed(background)), mix(qGreen(pixel), qGreen(background)),
                mix(qBlue(pixel), qBlue(background)));
}

// Mean difference in luminance from background over the pixels the image
// covers, and how many it covers.
struct Contrast {
    double Mean = 0;
    int Covered = 0;
};
Contrast ContrastOn(const QImage& image, QRgb background) {
    Contrast result;
    double sum = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (qAlpha(pixel) < 128)
                continue;
            ++result.Covered;
            sum += std::abs(Luminance(Over(pixel, background)) - Luminance(background));
        }
    }
    if (result.Covered > 0)
        result.Mean = sum / result.Covered;
    return result;
}

// The greyed copy must cover exactly what its glyph covers, in grey only,
// fainter than the glyph.
void ExpectGreyedTwin(const QImage& normal, const QImage& greyed) {
    ASSERT_EQ(normal.size(), greyed.size());
    int normalAlpha = 0, greyedAlpha = 0;
    for (int y = 0; y < normal.height(); ++y) {
        for (int x = 0; x < normal.width(); ++x) {
            const QRgb n = normal.pixel(x, y);
            const QRgb g = greyed.pixel(x, y);
            ASSERT_EQ(qAlpha(n) == 0, qAlpha(g) == 0) << "at " << x << "," << y;
            if (qAlpha(g) > 0) {
                ASSERT_TRUE(IsGrey(g)) << "at " << x << "," << y;
            }
            normalAlpha += qAlpha(n);
            greyedAlpha += qAlpha(g);
        }
    }
    EXPECT_GT(normalAlpha, 0);
    EXPECT_LT(greyedAlpha, normalAlpha * 3 / 4);
}

TEST(Artwork, EveryListedImageIsInTheResourceAtItsSize) {
    for (const ImageSpec& entry : artwork::kImages) {
        SCOPED_TRACE(entry.Name);
        const QPixmap pixmap = ArtworkPixmap(NameOf(entry));
        ASSERT_FALSE(pixmap.isNull());
        EXPECT_EQ(pixmap.size(), QSize(entry.Width, entry.Height));
        // Not a blank: every image draws something and leaves some of its
        // square clear (the cursor and the glyphs sit on other colours).
        const QImage image = Image(NameOf(entry));
        int opaque = 0, clear = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x)
                (qAlpha(image.pixel(x, y)) >= 128 ? opaque : clear) += 1;
        }
        EXPECT_GT(opaque, image.width() * image.height() / 20);
        if (!QByteArray(entry.Name).startsWith("zorvane-")) {
            EXPECT_GT(clear, 0);
        }
    }
    EXPECT_TRUE(ArtworkPixmap(QStringLiteral("no-such-image")).isNull());
}

TEST(Artwork, TheResourceHoldsNothingButTheListedImages) {
    QSet<QString> listed;
    for (const ImageSpec& entry : artwork::kImages)
        listed.insert(NameOf(entry) + QStringLiteral(".png"));
    QSet<QString> found;
    QDirIterator it(QStringLiteral(":/art"), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        found.insert(it.filePath().mid(QStringLiteral(":/art/").size()));
    }
    EXPECT_EQ(found, listed);
    EXPECT_EQ(listed.size(), artwork::kImageCount) << "a name is listed twice";
}

TEST(Artwork, DisabledImagesAreGreyedCopiesOfTheirGlyphs) {
    for (const ImageSpec& entry : artwork::kImages) {
        SCOPED_TRACE(entry.Name);
        const QString name = NameOf(entry);
        if (entry.Style == ImageStyle::Disabled) {
            ASSERT_TRUE(name.endsWith(QStringLiteral("-disabled")));
            const QString normal = name.chopped(int(sizeof("-disabled") - 1));
            ExpectGreyedTwin(Image(normal), Image(name));
        } else if (entry.Style == ImageStyle::NormalAndDisabled) {
            const QImage image = Image(name);
            const int half = image.width() / 2;
            ExpectGreyedTwin(image.copy(0, 0, half, image.height()),
                             image.copy(half, 0, half, image.height()));
        }
    }
}

TEST(Artwork, EveryCommandImageHasItsDisabledTwin) {
    QSet<QString> names;
    for (const ImageSpec& entry : artwork::kImages)
        names.insert(NameOf(entry));
    const QStringList prefixes = {QStringLiteral("tb-"), QStringLiteral("btn-"),
                                  QStringLiteral("editor-")};
    for (const QString& name : names) {
        if (name.endsWith(QStringLiteral("-disabled")))
            continue;
        for (const QString& prefix : prefixes) {
            if (name.startsWith(prefix)) {
                EXPECT_TRUE(names.contains(name + QStringLiteral("-disabled"))) << qPrintable(name);
            }
        }
    }
    for (const char* button : artwork::kEditorToolbar) {
        SCOPED_TRACE(button);
        EXPECT_EQ(ArtworkPixmap(QLatin1String(button)).size(), QSize(40, 40));
        EXPECT_EQ(ArtworkPixmap(QLatin1String(button) + QStringLiteral("-disabled")).size(),
                  QSize(40, 40));
    }
    EXPECT_EQ(std::size(artwork::kEditorToolbar), size_t(10));
}

// The strip images must read on the strip colour, the enabled ones clearly,
// and their disabled twins less so; the sound icons sit on a white list.
TEST(Artwork, GlyphsStandOutFromTheirBackground) {
    for (const ImageSpec& entry : artwork::kImages) {
        SCOPED_TRACE(entry.Name);
        const QString name = NameOf(entry);
        if (name.startsWith(QStringLiteral("sound-"))) {
            EXPECT_GT(ContrastOn(Image(name), 0xffffffff).Mean, 60);
            continue;
        }
        const bool onStrip =
            name.startsWith(QStringLiteral("tb-")) || name.startsWith(QStringLiteral("btn-")) ||
            name.startsWith(QStringLiteral("editor-")) ||
            name.startsWith(QStringLiteral("trans-")) || name == QLatin1String("title");
        if (!onStrip || entry.Style == ImageStyle::Disabled)
            continue;
        QImage glyph = Image(name);
        if (entry.Style == ImageStyle::NormalAndDisabled)
            glyph = glyph.copy(0, 0, glyph.width() / 2, glyph.height());
        const double enabled = ContrastOn(glyph, kStrip).Mean;
        EXPECT_GT(enabled, 80);
        const QString twin = name + QStringLiteral("-disabled");
        if (!ArtworkPixmap(twin).isNull()) {
            EXPECT_LT(ContrastOn(Image(twin), kStrip).Mean, enabled * 0.8);
        }
    }
}

TEST(Artwork, TheEyedropperIsAMonochromeCursorWithItsTipAtTheHotSpot) {
    EXPECT_EQ(artwork::kEyedropperHotX, 0);
    EXPECT_EQ(artwork::kEyedropperHotY, 31);
    const QImage image = Image(QStringLiteral("eyedropper"));
    ASSERT_EQ(image.size(), QSize(32, 32));
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const QRgb c = image.pixel(x, y);
            ASSERT_TRUE(c == 0 || c == 0xff000000u || c == 0xffffffffu) << x << "," << y;
        }
    }
    // The tip is the hot spot: drawn there, and nothing lies below or left of it.
    EXPECT_EQ(image.pixel(0, 31), 0xff000000u);
    EXPECT_EQ(qAlpha(image.pixel(31, 31)), 0);
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);

    const QCursor cursor = EyedropperCursor();
    EXPECT_EQ(cursor.hotSpot(), QPoint(0, 31));
    EXPECT_EQ(cursor.pixmap().size(), QSize(32, 32));
}

TEST(Artwork, TheApplicationIconComesInEveryThemeSize) {
    const QIcon icon = ApplicationIcon();
    QList<QSize> sizes = icon.availableSizes();
    for (int size : artwork::kIconSizes)
        EXPECT_TRUE(sizes.contains(QSize(size, size))) << size;
    // The same drawing at every size: the centre is the present, not the blue.
    for (int size : artwork::kIconSizes) {
        const QImage image = icon.pixmap(size).toImage();
        EXPECT_GT(Luminance(image.pixel(size / 2 - size / 8, size * 3 / 4)), 200) << size;
        EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0) << size;
    }
}

} // namespace
