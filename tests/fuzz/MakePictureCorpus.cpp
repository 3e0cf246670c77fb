// Writes the seed corpora of the picture fuzzers: small files of every kind
// each reader knows, made by the test fixtures' writers.

#include "platform/PictureFixtures.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImageWriter>
#include <QPoint>

#include <cstdio>

using namespace fixtures;

namespace {

QString Root;

void Put(const QString& corpus, const QString& name, const QByteArray& bytes) {
    QDir().mkpath(Root + QLatin1Char('/') + corpus);
    QFile file(Root + QLatin1Char('/') + corpus + QLatin1Char('/') + name);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
}

QImage Sample(int w, int h, bool alpha) {
    QImage image(w, h, QImage::Format_ARGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y,
                           qRgba(x * 255 / w, y * 255 / h, (x ^ y) * 16 & 0xFF,
                                 alpha ? (x + y) * 255 / (w + h) : 255));
    return image;
}

std::vector<int> Indices(int w, int h, int colours) {
    std::vector<int> out;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            out.push_back((x / 2 + y) % colours);
    return out;
}

std::vector<QRgb> Palette(int n) {
    std::vector<QRgb> out;
    for (int i = 0; i < n; ++i)
        out.push_back(qRgb(i * 37 & 0xFF, i * 91 & 0xFF, i * 53 & 0xFF));
    return out;
}

QByteArray ByQt(const char* format, const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, format).write(image);
    return bytes;
}

std::vector<std::pair<QString, QByteArray>> PcxSeeds() {
    return {
        {QStringLiteral("mono.pcx"), MakePcx(13, 5, Indices(13, 5, 2), Palette(2), 1, 1)},
        {QStringLiteral("cga_2bit.pcx"), MakePcx(9, 4, Indices(9, 4, 4), Palette(4), 2, 1)},
        {QStringLiteral("ega_planes.pcx"), MakePcx(11, 6, Indices(11, 6, 16), Palette(16), 1, 4)},
        {QStringLiteral("packed_4bit.pcx"), MakePcx(7, 3, Indices(7, 3, 16), Palette(16), 4, 1)},
        {QStringLiteral("vga_8bit.pcx"), MakePcx(10, 10, Indices(10, 10, 200), Palette(256), 8, 1)},
        {QStringLiteral("vga_8bit_raw.pcx"),
         MakePcx(6, 4, Indices(6, 4, 9), Palette(256), 8, 1, false)},
        {QStringLiteral("rgb_24bit.pcx"), MakePcxRgb(Sample(9, 7, false))},
        {QStringLiteral("rgb_24bit_raw.pcx"), MakePcxRgb(Sample(5, 3, false), false, false)},
        {QStringLiteral("rgba_32bit.pcx"), MakePcxRgb(Sample(6, 6, true), true)},
    };
}

std::vector<std::pair<QString, QByteArray>> Bmp32Seeds() {
    QImage clear = Sample(5, 4, false);
    for (int y = 0; y < clear.height(); ++y)
        for (int x = 0; x < clear.width(); ++x)
            clear.setPixel(x, y, clear.pixel(x, y) & 0x00FFFFFF);
    return {
        {QStringLiteral("rgb_bottom_up.bmp"), MakeBmp32(Sample(7, 5, true))},
        {QStringLiteral("rgb_top_down.bmp"), MakeBmp32(Sample(4, 6, true), Bmp32Header::Rgb, true)},
        {QStringLiteral("bitfields.bmp"), MakeBmp32(Sample(5, 5, true), Bmp32Header::Bitfields)},
        {QStringLiteral("v5_alpha.bmp"), MakeBmp32(Sample(6, 3, true), Bmp32Header::V5Alpha)},
        {QStringLiteral("fourth_byte_zero.bmp"), MakeBmp32(clear)},
    };
}

std::vector<std::pair<QString, QByteArray>> WmfSeeds() {
    const QByteArray dib24 = MakeDib(Sample(6, 4, false));
    const QByteArray dib8 = MakeDib(Sample(4, 4, false), 8);
    std::vector<std::pair<QString, QByteArray>> seeds;

    seeds.emplace_back(QStringLiteral("shapes.wmf"),
                       WmfBuilder::Placeable(0, 0, 1440, 960, 1440)
                           .Pen(0, 20, qRgb(0, 0, 128))
                           .Brush(0, qRgb(200, 30, 30))
                           .Select(0)
                           .Select(1)
                           .Rectangle(50, 50, 400, 300)
                           .Ellipse(500, 100, 900, 500)
                           .Record(0x061C, {600, 300, 900, 1400, 550, 1000})
                           .Record(0x0817, {50, 1200, 400, 900, 900, 1400, 600, 900})
                           .Record(0x081A, {700, 200, 700, 450, 950, 450, 650, 150})
                           .Record(0x0830, {800, 300, 800, 700, 940, 700, 700, 300})
                           .Polygon({QPoint(100, 600), QPoint(300, 900), QPoint(50, 900)})
                           .Record(0x0538, {2, 3, 4, 10, 10, 60, 10, 30, 60, 100, 100, 200, 100,
                                            200, 200, 100, 200})
                           .Record(0x0325, {3, 0, 0, 700, 900, 1400, 0})
                           .MoveTo(10, 950)
                           .LineTo(1430, 10)
                           .Record(0x041F, {0xFF, 0, 5, 5})
                           .Delete(0)
                           .Delete(1)
                           .Bytes());

    seeds.emplace_back(
        QStringLiteral("text.wmf"),
        WmfBuilder::Placeable(0, 0, 200, 80, 96)
            .Font(-24, QStringLiteral("Sans"), 700)
            .Select(0)
            .TextColour(qRgb(0, 90, 0))
            .BkMode(1)
            .TextOut(5, 5, "Hello \x80 world")
            .Record(0x012E, {24 | 6})
            .Font(30, QStringLiteral("Serif"), 400, 300)
            .Select(1)
            .BkMode(2)
            .Record(0x0A32, {60, 100, 3, 6, 10, 40, 190, 75, 'a' | 'b' << 8, 'c', 20, 25, 30})
            .Delete(0)
            .Bytes());

    seeds.emplace_back(QStringLiteral("bitmaps.wmf"),
                       WmfBuilder::Placeable(0, 0, 64, 48, 96)
                           .StretchDib(0, 0, 32, 24, dib24, 6, 4)
                           .StretchDib(40, 30, -20, 16, dib8, 4, 4)
                           .RecordBytes(0x0B41, QByteArray("\x20\x00\xCC\x00\x04\x00\x04\x00"
                                                           "\x00\x00\x00\x00\x10\x00\x10\x00"
                                                           "\x20\x00\x00\x00",
                                                           20) +
                                                    dib8)
                           .RecordBytes(0x0940, QByteArray("\x20\x00\xCC\x00\x00\x00\x00\x00"
                                                           "\x04\x00\x06\x00\x28\x00\x00\x00",
                                                           16) +
                                                    dib24)
                           .Brush(2, qRgb(0, 0, 255), 4)
                           .Select(0)
                           .Record(0x061D, {0x21, 0xF0, 10, 20, 2, 40})
                           .Record(0x061D, {0x42, 0x00, 5, 5, 40, 0})
                           .RecordBytes(0x0142, QByteArray("\x05\x00\x00\x00", 4) + dib8)
                           .Select(1)
                           .Rectangle(50, 0, 64, 14)
                           .Bytes());

    seeds.emplace_back(QStringLiteral("plain_window.wmf"),
                       WmfBuilder::Plain()
                           .Record(0x0103, {8})
                           .WindowOrg(-100, -100)
                           .WindowExt(200, 100)
                           .Record(0x001E, {})
                           .Record(0x0416, {0, 0, -100, -100})
                           .Brush(0, qRgb(0, 200, 0))
                           .Select(0)
                           .Ellipse(-90, -90, 90, -10)
                           .Record(0x0127, {static_cast<int>(0xFFFF)})
                           .Record(0x0415, {-20, 20, -80, -20})
                           .Record(0x0410, {2, 1, 2, 1})
                           .Record(0x020F, {5, 5})
                           .Rectangle(-100, -100, 0, 0)
                           .Bytes());

    seeds.emplace_back(QStringLiteral("plain_drawn_extent.wmf"),
                       WmfBuilder::Plain()
                           .Pen(1, 0, qRgb(255, 0, 0))
                           .Select(0)
                           .Brush(1, 0)
                           .Select(1)
                           .Rectangle(30, 40, 90, 70)
                           .Record(0x0106, {2})
                           .Polygon({QPoint(35, 45), QPoint(85, 65), QPoint(60, 42)})
                           .Bytes());

    seeds.emplace_back(QStringLiteral("metric_mode.wmf"),
                       WmfBuilder::Plain()
                           .Record(0x0103, {2})
                           .Brush(0, qRgb(128, 0, 128))
                           .Select(0)
                           .Rectangle(0, 0, 300, -200)
                           .Record(0x00F7, {0x0300, 1, 0, 0})
                           .Record(0x06FF, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0})
                           .Select(1)
                           .Delete(1)
                           .Bytes());
    return seeds;
}

std::vector<std::pair<QString, QByteArray>> TgaSeeds() {
    const auto values = [](int n, quint32 mask, int spread) {
        std::vector<quint32> out;
        for (int i = 0; i < n; ++i)
            out.push_back(quint32((i / 3) * spread * 2654435761u) & mask);
        return out;
    };
    const auto file = [](int type, int depth, int w, int h, std::vector<quint32> v) {
        TgaFile f;
        f.Type = type;
        f.Depth = depth;
        f.Width = w;
        f.Height = h;
        f.Values = std::move(v);
        return f;
    };
    std::vector<std::pair<QString, QByteArray>> seeds;
    for (const int rle : {0, 8}) {
        const QString suffix = rle ? QStringLiteral("_rle.tga") : QStringLiteral(".tga");
        TgaFile mapped = file(1 + rle, 8, 7, 5, values(35, 0x0F, 1));
        for (quint32 i = 0; i < 16; ++i)
            mapped.Map.push_back(i * 0x10305u);
        mapped.MapFirst = 0;
        seeds.emplace_back(QStringLiteral("mapped24") + suffix, MakeTgaFile(mapped));
        mapped.MapBits = 16;
        mapped.Descriptor = 0x20;
        seeds.emplace_back(QStringLiteral("mapped16_top") + suffix, MakeTgaFile(mapped));
        mapped.MapBits = 32;
        mapped.Id = "seed";
        seeds.emplace_back(QStringLiteral("mapped32_id") + suffix, MakeTgaFile(mapped));
        seeds.emplace_back(QStringLiteral("rgb15") + suffix,
                           MakeTgaFile(file(2 + rle, 15, 6, 4, values(24, 0x7FFF, 5))));
        TgaFile rgb16 = file(2 + rle, 16, 5, 5, values(25, 0xFFFF, 7));
        rgb16.Descriptor = 0x11;
        seeds.emplace_back(QStringLiteral("rgb16_right") + suffix, MakeTgaFile(rgb16));
        seeds.emplace_back(QStringLiteral("rgb24") + suffix,
                           MakeTgaFile(file(2 + rle, 24, 9, 3, values(27, 0xFFFFFF, 3))));
        TgaFile rgb32 = file(2 + rle, 32, 4, 6, values(24, 0xFFFFFFFF, 11));
        rgb32.Descriptor = 0x28;
        seeds.emplace_back(QStringLiteral("rgb32_top") + suffix, MakeTgaFile(rgb32));
        seeds.emplace_back(QStringLiteral("grey") + suffix,
                           MakeTgaFile(file(3 + rle, 8, 8, 4, values(32, 0xFF, 13))));
    }
    seeds.emplace_back(QStringLiteral("qt_layout.tga"), MakeTga(Sample(5, 4, true), true));
    return seeds;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s CORPUS_ROOT\n", argv[0]);
        return 2;
    }
    Root = QString::fromLocal8Bit(argv[1]);

    for (const auto& [name, bytes] : PcxSeeds())
        Put(QStringLiteral("pcx"), name, bytes);
    for (const auto& [name, bytes] : Bmp32Seeds())
        Put(QStringLiteral("bmp32"), name, bytes);
    for (const auto& [name, bytes] : WmfSeeds())
        Put(QStringLiteral("wmf"), name, bytes);
    for (const auto& [name, bytes] : TgaSeeds())
        Put(QStringLiteral("tga"), name, bytes);

    // The dispatch: one byte choosing the extension (its index among
    // bmp gif tga tif png jpg jpeg pcx ico wmf webp), then the file.
    const auto dispatch = [](int index, const QByteArray& bytes) {
        return QByteArray(1, char(index)) + bytes;
    };
    const QImage sample = Sample(12, 9, false);
    Put(QStringLiteral("picture"), QStringLiteral("bmp24.bin"),
        dispatch(0, ByQt("bmp", sample.convertToFormat(QImage::Format_RGB32))));
    Put(QStringLiteral("picture"), QStringLiteral("bmp8.bin"),
        dispatch(0, ByQt("bmp", sample.convertToFormat(QImage::Format_Indexed8))));
    Put(QStringLiteral("picture"), QStringLiteral("bmp32.bin"), dispatch(0, MakeBmp32(sample)));
    Put(QStringLiteral("picture"), QStringLiteral("gif.bin"),
        dispatch(1, MakeGif(8, 5, Indices(8, 5, 6), Palette(6), 2)));
    Put(QStringLiteral("picture"), QStringLiteral("tga.bin"), dispatch(2, MakeTga(sample, true)));
    Put(QStringLiteral("picture"), QStringLiteral("tif.bin"), dispatch(3, ByQt("tiff", sample)));
    Put(QStringLiteral("picture"), QStringLiteral("png.bin"),
        dispatch(4, ByQt("png", Sample(6, 5, true))));
    Put(QStringLiteral("picture"), QStringLiteral("jpg.bin"), dispatch(5, ByQt("jpeg", sample)));
    Put(QStringLiteral("picture"), QStringLiteral("jpeg_scaled.bin"),
        dispatch(6 | 0x80, ByQt("jpeg", Sample(64, 48, false))));
    Put(QStringLiteral("picture"), QStringLiteral("pcx.bin"), dispatch(7, PcxSeeds()[4].second));
    Put(QStringLiteral("picture"), QStringLiteral("ico.bin"),
        dispatch(8, ByQt("ico", Sample(16, 16, true))));
    Put(QStringLiteral("picture"), QStringLiteral("wmf.bin"), dispatch(9, WmfSeeds()[0].second));
    Put(QStringLiteral("picture"), QStringLiteral("refused_extension.bin"),
        dispatch(10, ByQt("png", sample)));
    return 0;
}
