#include "platform/TgaReader.h"

#include "platform/PictureReader.h"

#include <string>
#include <vector>

namespace {

constexpr qint64 HeaderSize = 18;
constexpr int ColourMapped = 1, TrueColour = 2, Grey = 3;
constexpr int RunLengthFlag = 8;
constexpr int RightToLeft = 0x10, TopDown = 0x20;

// A packet is one header byte and at least one pixel, for up to 128 pixels.
constexpr qint64 MostPixelsPerPacket = 128;

[[noreturn]] void Damaged(const char* reason) {
    throw PictureError(std::string("The TGA picture is damaged: ") + reason);
}

[[noreturn]] void Truncated() {
    Damaged("the picture data ends before the picture is complete.");
}

quint16 U16(const uchar* p) {
    return quint16(p[0] | p[1] << 8);
}

int Expand5(int v) {
    return v << 3 | v >> 2;
}

bool IsColourDepth(int bits) {
    return bits == 15 || bits == 16 || bits == 24 || bits == 32;
}

// One colour as stored: little-endian, blue first.
QRgb Colour(const uchar* p, int bits) {
    switch (bits) {
    case 15:
    case 16: {
        const int v = U16(p);
        return qRgb(Expand5(v >> 10 & 0x1F), Expand5(v >> 5 & 0x1F), Expand5(v & 0x1F));
    }
    case 24:
        return qRgb(p[2], p[1], p[0]);
    default:
        return qRgba(p[2], p[1], p[0], p[3]);
    }
}

// Places the pixels in file order, whatever the origin.
class PixelSink {
public:
    PixelSink(QImage& image, int descriptor)
        : Image(image), Width(image.width()), Height(image.height()),
          Flip((descriptor & RightToLeft) != 0), Down((descriptor & TopDown) != 0) {}

    void Put(QRgb colour) {
        const int y = Down ? Row : Height - 1 - Row;
        const int x = Flip ? Width - 1 - Column : Column;
        reinterpret_cast<QRgb*>(Image.scanLine(y))[x] = colour;
        if (++Column == Width) {
            Column = 0;
            ++Row;
        }
    }

private:
    QImage& Image;
    int Width, Height;
    bool Flip, Down;
    int Row = 0, Column = 0;
};

void MakeOpaqueIfAlphaUnused(QImage& image) {
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(row[x]) != 0)
                return;
    }
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            row[x] |= 0xFF000000u;
    }
}

} // namespace

QImage ReadTga(const QByteArray& data) {
    const auto* p = reinterpret_cast<const uchar*>(data.constData());
    const qint64 size = data.size();
    if (size < HeaderSize)
        Damaged("the header is incomplete.");
    const int idLength = p[0];
    const int mapType = p[1];
    const int type = p[2];
    const int mapFirst = U16(p + 3);
    const int mapLength = U16(p + 5);
    const int mapBits = p[7];
    const qint64 width = U16(p + 12);
    const qint64 height = U16(p + 14);
    const int depth = p[16];
    const int descriptor = p[17];

    const int kind = type & ~RunLengthFlag;
    const bool rle = (type & RunLengthFlag) != 0;
    if ((type & ~(RunLengthFlag | 3)) != 0 || kind == 0)
        Damaged("its image type is unknown.");
    if (mapType > 1)
        Damaged("its colour map type is unknown.");
    if (kind == ColourMapped && (mapType != 1 || mapLength == 0))
        Damaged("it has no colour map.");
    if (kind == ColourMapped && !IsColourDepth(mapBits))
        Damaged("its colour map entries have no known size.");
    const bool depthKnown = (kind == ColourMapped && depth == 8) ||
                            (kind == TrueColour && IsColourDepth(depth)) ||
                            (kind == Grey && depth == 8);
    if (!depthKnown)
        Damaged("its bits per pixel do not suit its image type.");
    if (width == 0 || height == 0)
        Damaged("it has no pixels.");
    CheckPictureSize(width, height);

    qint64 pos = HeaderSize + idLength;
    std::vector<QRgb> map;
    if (mapType == 1) {
        const qint64 entryBytes = (mapBits + 7) / 8;
        if (size - pos < mapLength * entryBytes)
            Damaged("its colour map ends before it is complete.");
        // A map beside true-colour or grey pixels is only there for
        // display hardware: skipped, whatever its entries are.
        if (kind == ColourMapped) {
            map.reserve(size_t(mapLength));
            for (int i = 0; i < mapLength; ++i)
                map.push_back(Colour(p + pos + i * entryBytes, mapBits));
        }
        pos += mapLength * entryBytes;
    }
    if (pos > size)
        Truncated();

    const qint64 pixelBytes = (depth + 7) / 8;
    const qint64 pixels = width * height;
    const qint64 available = size - pos;
    const qint64 most =
        rle ? available / (1 + pixelBytes) * MostPixelsPerPacket : available / pixelBytes;
    if (most < pixels)
        Truncated();

    const auto pixel = [&](const uchar* at) -> QRgb {
        if (kind == Grey)
            return qRgb(at[0], at[0], at[0]);
        if (kind == TrueColour)
            return Colour(at, depth);
        const int index = at[0] - mapFirst;
        if (index < 0 || index >= int(map.size()))
            Damaged("a colour index lies outside its colour map.");
        return map[size_t(index)];
    };

    QImage image(int(width), int(height), QImage::Format_ARGB32);
    if (image.isNull())
        throw PictureError("Not enough memory for the picture.");
    PixelSink sink(image, descriptor);
    if (!rle) {
        for (qint64 i = 0; i < pixels; ++i, pos += pixelBytes)
            sink.Put(pixel(p + pos));
    } else {
        qint64 left = pixels;
        while (left > 0) {
            if (pos >= size)
                Truncated();
            const int packet = p[pos++];
            const qint64 count = (packet & 0x7F) + 1;
            if (count > left)
                Damaged("a run-length packet runs past the end of the picture.");
            const bool run = (packet & 0x80) != 0;
            if (size - pos < (run ? 1 : count) * pixelBytes)
                Truncated();
            if (run) {
                const QRgb colour = pixel(p + pos);
                pos += pixelBytes;
                for (qint64 i = 0; i < count; ++i)
                    sink.Put(colour);
            } else {
                for (qint64 i = 0; i < count; ++i, pos += pixelBytes)
                    sink.Put(pixel(p + pos));
            }
            left -= count;
        }
    }
    const bool alphaBytes = depth == 32 || (kind == ColourMapped && mapBits == 32);
    if (alphaBytes)
        MakeOpaqueIfAlphaUnused(image);
    return image;
}
