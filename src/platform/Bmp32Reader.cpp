#include "platform/Bmp32Reader.h"

#include "platform/PictureReader.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace {

constexpr qint64 FileHeaderSize = 14;
constexpr quint32 BiRgb = 0;
constexpr quint32 BiBitfields = 3;
constexpr quint32 BiAlphaBitfields = 6;

quint32 U32(const uchar* p) {
    return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
}
quint16 U16(const uchar* p) {
    return quint16(p[0] | p[1] << 8);
}

[[noreturn]] void Damaged(const char* reason) {
    throw PictureError(std::string("The BMP picture is damaged: ") + reason);
}

// One colour channel as a bit mask of the pixel word.
struct Channel {
    quint32 Mask = 0;
    int Shift = 0;
    int Bits = 0;

    explicit Channel(quint32 mask) : Mask(mask) {
        if (mask == 0)
            return;
        while (!(mask & 1u)) {
            mask >>= 1;
            ++Shift;
        }
        while (mask & 1u) {
            mask >>= 1;
            ++Bits;
        }
        if (mask != 0)
            Damaged("a colour mask is not one run of bits.");
    }

    int Value(quint32 pixel, int absent) const {
        if (Bits == 0)
            return absent;
        const quint32 v = (pixel & Mask) >> Shift;
        if (Bits >= 8)
            return int(v >> (Bits - 8));
        return int(v * 255u / ((1u << Bits) - 1u));
    }
};

// A mask that covers exactly one byte of the pixel word, or 0.
quint32 ByteMaskOrZero(quint32 mask) {
    for (quint32 byte : {0xFF000000u, 0x00FF0000u, 0x0000FF00u, 0x000000FFu})
        if (mask == byte)
            return mask;
    return 0;
}

} // namespace

bool IsBmp32(const QByteArray& data) {
    if (data.size() < FileHeaderSize + 16 || data[0] != 'B' || data[1] != 'M')
        return false;
    const auto* p = reinterpret_cast<const uchar*>(data.constData());
    return U32(p + 14) >= 40 && U16(p + 28) == 32;
}

QImage ReadBmp32(const QByteArray& data) {
    const auto* p = reinterpret_cast<const uchar*>(data.constData());
    const qint64 size = data.size();
    if (size < FileHeaderSize + 40 || p[0] != 'B' || p[1] != 'M')
        Damaged("the header is incomplete.");
    const quint32 headerSize = U32(p + 14);
    if (headerSize != 40 && headerSize != 52 && headerSize != 56 && headerSize != 108 &&
        headerSize != 124)
        Damaged("the header has an unknown size.");
    if (FileHeaderSize + headerSize > size)
        Damaged("the header is incomplete.");
    const uchar* info = p + FileHeaderSize;
    const qint64 width = qint32(U32(info + 4));
    const qint64 rawHeight = qint32(U32(info + 8));
    if (U16(info + 14) != 32)
        Damaged("it does not have 32 bits per pixel.");
    const quint32 compression = U32(info + 16);

    // Pixel words are B, G, R and the fourth byte, least significant first.
    std::array<quint32, 4> masks{0x00FF0000u, 0x0000FF00u, 0x000000FFu, 0xFF000000u};
    qint64 tableEnd = FileHeaderSize + headerSize;
    if (compression == BiBitfields || compression == BiAlphaBitfields) {
        const uchar* maskAt = info + 40;
        // Masks a short header has no room for follow it.
        const qint64 maskBytes = compression == BiAlphaBitfields ? 16 : 12;
        tableEnd = FileHeaderSize + std::max<qint64>(headerSize, 40 + maskBytes);
        if (tableEnd > size)
            Damaged("the colour masks are missing.");
        const bool alphaGiven = compression == BiAlphaBitfields || headerSize >= 56;
        for (int i = 0; i < 3; ++i)
            masks[size_t(i)] = U32(maskAt + 4 * i);
        masks[3] = alphaGiven ? U32(maskAt + 12) : 0;
        // Without an alpha mask of its own, the byte the colours leave free
        // is the alpha.
        if (masks[3] == 0)
            masks[3] = ByteMaskOrZero(~(masks[0] | masks[1] | masks[2]));
    } else if (compression != BiRgb) {
        Damaged("its compression is not supported.");
    }
    const Channel red(masks[0]), green(masks[1]), blue(masks[2]), alpha(masks[3]);

    if (width <= 0 || rawHeight == 0)
        Damaged("its size is zero.");
    const bool topDown = rawHeight < 0;
    const qint64 height = topDown ? -rawHeight : rawHeight;
    CheckPictureSize(width, height);
    const qint64 offset = U32(p + 10);
    const qint64 rowBytes = width * 4;
    if (offset < tableEnd || offset > size || (size - offset) / rowBytes < height)
        Damaged("the pixels end before the picture is complete.");

    QImage image(int(width), int(height), QImage::Format_ARGB32);
    if (image.isNull())
        throw PictureError("Not enough memory for the picture.");
    for (qint64 row = 0; row < height; ++row) {
        const uchar* src = p + offset + row * rowBytes;
        auto* dst = reinterpret_cast<QRgb*>(image.scanLine(int(topDown ? row : height - 1 - row)));
        for (qint64 x = 0; x < width; ++x) {
            const quint32 px = U32(src + 4 * x);
            dst[x] = qRgba(red.Value(px, 0), green.Value(px, 0), blue.Value(px, 0),
                           alpha.Value(px, 255));
        }
    }
    return image;
}
