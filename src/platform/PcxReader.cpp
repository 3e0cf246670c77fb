#include "platform/PcxReader.h"

#include "platform/PictureReader.h"

#include <QList>

#include <algorithm>
#include <vector>

namespace {

constexpr qint64 HeaderSize = 128;
constexpr qint64 VgaPaletteSize = 769; // the marker 0x0C and 256 RGB triples
constexpr uchar VgaPaletteMarker = 0x0C;
constexpr int VersionWithoutPalette = 3;
constexpr int PaletteGreyscale = 2;

// A run byte carries its count in the low six bits, so two bytes of the file
// make at most 63 bytes of picture.
constexpr qint64 MostBytesPerRunByte = 32;

[[noreturn]] void Damaged(const char* reason) {
    throw PictureError(std::string("The PCX picture is damaged: ") + reason);
}

quint16 U16(const uchar* p) {
    return quint16(p[0] | p[1] << 8);
}

// The 16 colours of a file that says it has no palette (version 3).
const QRgb DefaultEgaPalette[16] = {
    0xFF000000, 0xFF0000AA, 0xFF00AA00, 0xFF00AAAA, 0xFFAA0000, 0xFFAA00AA, 0xFFAA5500, 0xFFAAAAAA,
    0xFF555555, 0xFF5555FF, 0xFF55FF55, 0xFF55FFFF, 0xFFFF5555, 0xFFFF55FF, 0xFFFFFF55, 0xFFFFFFFF};

// Run-length decoding of the picture bytes. Runs may cross scan lines, as
// some writers let them.
class RunReader {
public:
    RunReader(const uchar* data, qint64 size, qint64 pos, bool encoded)
        : Data(data), Size(size), Pos(pos), Encoded(encoded) {}

    void Fill(uchar* out, qint64 count) {
        qint64 i = 0;
        while (i < count) {
            if (RunLeft > 0) {
                const qint64 n = std::min(RunLeft, count - i);
                std::fill(out + i, out + i + n, RunValue);
                RunLeft -= n;
                i += n;
                continue;
            }
            if (Pos >= Size)
                Damaged("the picture data ends before the picture is complete.");
            const uchar b = Data[Pos++];
            if (Encoded && (b & 0xC0) == 0xC0) {
                if (Pos >= Size)
                    Damaged("the picture data ends before the picture is complete.");
                RunLeft = b & 0x3F;
                RunValue = Data[Pos++];
            } else {
                out[i++] = b;
            }
        }
    }

    qint64 End() const { return Pos; }

private:
    const uchar* Data;
    qint64 Size;
    qint64 Pos;
    bool Encoded;
    qint64 RunLeft = 0;
    uchar RunValue = 0;
};

} // namespace

QImage ReadPcx(const QByteArray& data) {
    const auto* p = reinterpret_cast<const uchar*>(data.constData());
    const qint64 size = data.size();
    if (size < HeaderSize)
        Damaged("the header is incomplete.");
    if (p[0] != 0x0A)
        Damaged("it does not begin as a PCX file.");
    const int version = p[1];
    const int encoding = p[2];
    const int bits = p[3];
    const int xMin = U16(p + 4), yMin = U16(p + 6), xMax = U16(p + 8), yMax = U16(p + 10);
    const int planes = p[65];
    const qint64 bytesPerLine = U16(p + 66);
    const int paletteInfo = U16(p + 68);
    if (version > 5 || encoding > 1)
        Damaged("its version or encoding is unknown.");
    if (xMax < xMin || yMax < yMin)
        Damaged("its size is negative.");
    const qint64 width = qint64(xMax) - xMin + 1;
    const qint64 height = qint64(yMax) - yMin + 1;

    const bool planar = bits == 1 && planes >= 1 && planes <= 4;
    const bool packed = (bits == 2 || bits == 4 || bits == 8) && planes == 1;
    const bool trueColour = bits == 8 && (planes == 3 || planes == 4);
    if (!planar && !packed && !trueColour)
        Damaged("its bits per pixel and planes are not a known combination.");
    if (bytesPerLine * 8 < width * bits)
        Damaged("its scan lines are shorter than the picture.");
    CheckPictureSize(width, height);

    const qint64 lineBytes = bytesPerLine * planes;
    const qint64 available = size - HeaderSize;
    const qint64 most = encoding ? available * MostBytesPerRunByte : available;
    if (most / lineBytes < height)
        Damaged("the picture data ends before the picture is complete.");

    RunReader runs(p, size, HeaderSize, encoding != 0);
    std::vector<uchar> line(static_cast<size_t>(lineBytes));
    const int w = int(width), h = int(height);

    if (trueColour) {
        QImage image(w, h, QImage::Format_ARGB32);
        if (image.isNull())
            throw PictureError("Not enough memory for the picture.");
        for (int y = 0; y < h; ++y) {
            runs.Fill(line.data(), lineBytes);
            const uchar* r = line.data();
            const uchar* g = r + bytesPerLine;
            const uchar* b = g + bytesPerLine;
            const uchar* a = planes == 4 ? b + bytesPerLine : nullptr;
            auto* dst = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < w; ++x)
                dst[x] = qRgba(r[x], g[x], b[x], a ? a[x] : 255);
        }
        return image;
    }

    QImage indexed(w, h, QImage::Format_Indexed8);
    if (indexed.isNull())
        throw PictureError("Not enough memory for the picture.");
    for (int y = 0; y < h; ++y) {
        runs.Fill(line.data(), lineBytes);
        uchar* dst = indexed.scanLine(y);
        if (planar) {
            for (int x = 0; x < w; ++x) {
                int index = 0;
                for (int plane = 0; plane < planes; ++plane) {
                    const uchar byte = line[size_t(plane * bytesPerLine + x / 8)];
                    index |= ((byte >> (7 - x % 8)) & 1) << plane;
                }
                dst[x] = uchar(index);
            }
        } else {
            const int perByte = 8 / bits;
            const int mask = (1 << bits) - 1;
            for (int x = 0; x < w; ++x) {
                const uchar byte = line[size_t(x / perByte)];
                const int shift = 8 - bits * (x % perByte + 1);
                dst[x] = uchar((byte >> shift) & mask);
            }
        }
    }

    QList<QRgb> colours;
    if (bits == 8) {
        const qint64 at = size - VgaPaletteSize;
        if (at >= runs.End() && p[at] == VgaPaletteMarker) {
            for (int i = 0; i < 256; ++i) {
                const uchar* c = p + at + 1 + 3 * i;
                colours.append(qRgb(c[0], c[1], c[2]));
            }
        } else if (paletteInfo == PaletteGreyscale) {
            for (int i = 0; i < 256; ++i)
                colours.append(qRgb(i, i, i));
        } else {
            Damaged("the 256-colour palette at its end is missing.");
        }
    } else {
        const int count = 1 << (bits * planes);
        for (int i = 0; i < count; ++i) {
            const uchar* c = p + 16 + 3 * i;
            colours.append(version == VersionWithoutPalette ? DefaultEgaPalette[i]
                                                            : qRgb(c[0], c[1], c[2]));
        }
        // Many monochrome files leave the header palette blank: black and
        // white is what they mean.
        if (count == 2 && (version == VersionWithoutPalette || colours[0] == colours[1])) {
            colours[0] = qRgb(0, 0, 0);
            colours[1] = qRgb(255, 255, 255);
        }
    }
    indexed.setColorTable(colours);
    return indexed.convertToFormat(QImage::Format_ARGB32);
}
