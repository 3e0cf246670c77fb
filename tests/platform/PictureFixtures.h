#pragma once

#include <QByteArray>
#include <QImage>
#include <QRgb>
#include <QString>

#include <vector>

// Small picture files written here, byte by byte, so that every reader is
// checked against files whose content is known: never a file of unknown
// origin. The same writers make the fuzzers' seed corpora.
namespace fixtures {

// ZSoft PCX. indices holds one palette index per pixel, row by row; bits and
// planes as in the header: (1,1), (2,1), (4,1), (1,4) or (8,1). An 8-bit file
// gets its 256-colour palette at the end, the others use the header palette.
QByteArray MakePcx(int width, int height, const std::vector<int>& indices,
                   const std::vector<QRgb>& palette, int bits, int planes, bool rle = true);
// 24 bits as three planes (four with alpha); pixels from image.
QByteArray MakePcxRgb(const QImage& image, bool withAlpha = false, bool rle = true);

// BMP with 32 bits per pixel from an ARGB image, alpha in the fourth byte.
enum class Bmp32Header { Rgb, Bitfields, V5Alpha };
QByteArray MakeBmp32(const QImage& image, Bmp32Header header = Bmp32Header::Rgb,
                     bool topDown = false);

// Uncompressed true-colour Targa, 24 bits, or 32 with alpha.
QByteArray MakeTga(const QImage& image, bool withAlpha);

// Any Targa, its pixels given as stored: each value written little-endian in
// (Depth + 7) / 8 bytes, in file order (rows as Descriptor's origin bits say).
// Types 9 to 11 get run-length packets, runs of equal values and raw packets
// between them, both free to cross scan lines. A non-empty Map is written
// with MapBits per entry, its first entry numbered MapFirst.
struct TgaFile {
    int Type = 2;
    int Depth = 24;
    int Width = 0, Height = 0;
    std::vector<quint32> Values;
    int Descriptor = 0;
    QByteArray Id;
    int MapFirst = 0;
    int MapBits = 24;
    std::vector<quint32> Map;
};
QByteArray MakeTgaFile(const TgaFile& file);

// GIF89a of one frame; transparentIndex < 0 for none.
QByteArray MakeGif(int width, int height, const std::vector<int>& indices,
                   const std::vector<QRgb>& palette, int transparentIndex = -1);

// A BITMAPINFO with its bits, as metafile bitmap records carry it: 24 bits,
// or 8 bits with a palette built from the image's colours.
QByteArray MakeDib(const QImage& image, int bits = 24);

// A metafile built record by record.
class WmfBuilder {
public:
    // Starts with a placeable header (its bounding box and units per inch),
    // or without one.
    static WmfBuilder Placeable(int left, int top, int right, int bottom, int inch);
    static WmfBuilder Plain();

    // A record of 16-bit words, stored as written.
    WmfBuilder& Record(quint16 function, const std::vector<int>& words);
    WmfBuilder& RecordBytes(quint16 function, const QByteArray& params);

    // The usual records, with their parameters in natural order.
    WmfBuilder& WindowOrg(int x, int y);
    WmfBuilder& WindowExt(int width, int height);
    WmfBuilder& Pen(int style, int width, QRgb colour);
    WmfBuilder& Brush(int style, QRgb colour, int hatch = 0);
    WmfBuilder& Font(int height, const QString& face, int weight = 400, int escapement = 0);
    WmfBuilder& Select(int index);
    WmfBuilder& Delete(int index);
    WmfBuilder& TextColour(QRgb colour);
    WmfBuilder& BkMode(int mode);
    WmfBuilder& Rectangle(int left, int top, int right, int bottom);
    WmfBuilder& Ellipse(int left, int top, int right, int bottom);
    WmfBuilder& MoveTo(int x, int y);
    WmfBuilder& LineTo(int x, int y);
    WmfBuilder& Polygon(const std::vector<QPoint>& points);
    WmfBuilder& TextOut(int x, int y, const QByteArray& text);
    WmfBuilder& StretchDib(int x, int y, int width, int height, const QByteArray& dib, int srcWidth,
                           int srcHeight);

    // With the end-of-file record unless told otherwise.
    QByteArray Bytes(bool withEof = true) const;

private:
    bool HasPlaceable = false;
    int Box[5] = {};
    QByteArray Records;
    int Objects = 0;
    int Largest = 0;
};

// Colour words of a record: red and green, then blue.
std::vector<int> ColourWords(QRgb colour);

} // namespace fixtures
