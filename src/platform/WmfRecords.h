#pragma once

#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QString>

#include <optional>
#include <vector>

// The record layer of Windows metafiles: the header, the records with their
// 16-bit parameter words, the text encoding and the bitmaps they carry.
namespace wmf {

constexpr double ScreenDpi = 96.0;

enum : quint16 {
    MetaEof = 0x0000,
    MetaSaveDc = 0x001E,
    MetaSetBkMode = 0x0102,
    MetaSetMapMode = 0x0103,
    MetaSetPolyFillMode = 0x0106,
    MetaRestoreDc = 0x0127,
    MetaSelectObject = 0x012D,
    MetaSetTextAlign = 0x012E,
    MetaDibCreatePatternBrush = 0x0142,
    MetaDeleteObject = 0x01F0,
    MetaSetBkColor = 0x0201,
    MetaSetTextColor = 0x0209,
    MetaSetWindowOrg = 0x020B,
    MetaSetWindowExt = 0x020C,
    MetaOffsetWindowOrg = 0x020F,
    MetaLineTo = 0x0213,
    MetaMoveTo = 0x0214,
    MetaCreatePenIndirect = 0x02FA,
    MetaCreateFontIndirect = 0x02FB,
    MetaCreateBrushIndirect = 0x02FC,
    MetaPolygon = 0x0324,
    MetaPolyline = 0x0325,
    MetaScaleWindowExt = 0x0410,
    MetaExcludeClipRect = 0x0415,
    MetaIntersectClipRect = 0x0416,
    MetaEllipse = 0x0418,
    MetaRectangle = 0x041B,
    MetaSetPixel = 0x041F,
    MetaTextOut = 0x0521,
    MetaPolyPolygon = 0x0538,
    MetaRoundRect = 0x061C,
    MetaPatBlt = 0x061D,
    MetaArc = 0x0817,
    MetaPie = 0x081A,
    MetaChord = 0x0830,
    MetaDibBitBlt = 0x0940,
    MetaExtTextOut = 0x0A32,
    MetaDibStretchBlt = 0x0B41,
    MetaStretchDib = 0x0F43,
    // Objects not drawn with here; each still takes its slot in the table.
    MetaCreatePalette = 0x00F7,
    MetaCreatePatternBrush = 0x01F9,
    MetaCreateRegion = 0x06FF,
};

// Throws PictureError: the file is not a whole metafile.
[[noreturn]] void Damaged(const char* reason);

inline quint16 ReadU16(const uchar* p) {
    return quint16(p[0] | p[1] << 8);
}
inline quint32 ReadU32(const uchar* p) {
    return quint32(ReadU16(p)) | quint32(ReadU16(p + 2)) << 16;
}

// One record: its function and its parameters, read by 16-bit word index.
struct Record {
    quint16 Function = 0;
    const uchar* Params = nullptr;
    qint64 Size = 0; // bytes of parameters

    void Need(qint64 bytes) const {
        if (bytes > Size)
            Damaged("a record is too short for what it holds.");
    }
    quint16 U16(qint64 word) const {
        Need(2 * word + 2);
        return ReadU16(Params + 2 * word);
    }
    qint16 I16(qint64 word) const { return qint16(U16(word)); }
    quint32 U32(qint64 word) const {
        Need(2 * word + 4);
        return ReadU32(Params + 2 * word);
    }
    QColor Colour(qint64 word) const {
        Need(2 * word + 4);
        const uchar* c = Params + 2 * word;
        return QColor(c[0], c[1], c[2]);
    }
    QPointF Point(qint64 word) const { return QPointF(I16(word), I16(word + 1)); }
    // The GDI order of coordinate pairs in most records: y first.
    QPointF PointYx(qint64 word) const { return QPointF(I16(word + 1), I16(word)); }
    // Bottom, right, top, left, as the shape records store a rectangle.
    QRectF Box(qint64 word) const {
        return QRectF(QPointF(I16(word + 3), I16(word + 2)), QPointF(I16(word + 1), I16(word)));
    }
};

struct Metafile {
    bool Placeable = false;
    QRect Bounds; // logical units
    int Inch = 0;
    int Objects = 0;
    std::vector<Record> Records;
};

// The header and the list of records, every size checked against the file.
Metafile Parse(const QByteArray& data);

// The single-byte text of the records, Windows-1252.
QString DecodeAnsi(const uchar* p, qint64 length);

struct Dib {
    QImage Image; // opaque
    bool BottomUp = true;
};

// A BITMAPINFO and its bits, as the bitmap records carry them; nothing for
// a bitmap of a kind not drawn here. Throws when it does not fit its record.
std::optional<Dib> DecodeDib(const uchar* p, qint64 size);

} // namespace wmf
