#include "platform/WmfRecords.h"

#include "platform/PictureReader.h"

#include <QBuffer>
#include <QImageReader>

#include <cstdlib>

namespace wmf {

namespace {
constexpr quint32 PlaceableKey = 0x9AC6CDD7;
constexpr qint64 PlaceableSize = 22;
constexpr qint64 MetaHeaderSize = 18;
} // namespace

[[noreturn]] void Damaged(const char* reason) {
    throw PictureError(std::string("The metafile is damaged: ") + reason);
}

Metafile Parse(const QByteArray& data) {
    const auto* p = reinterpret_cast<const uchar*>(data.constData());
    const qint64 size = data.size();
    Metafile mf;
    qint64 at = 0;
    if (size >= 4 && ReadU32(p) == PlaceableKey) {
        if (size < PlaceableSize)
            Damaged("the placeable header is incomplete.");
        mf.Placeable = true;
        const auto i16 = [p](qint64 off) { return int(qint16(ReadU16(p + off))); };
        mf.Bounds = QRect(QPoint(i16(6), i16(8)), QPoint(i16(10), i16(12)));
        mf.Inch = ReadU16(p + 14);
        if (mf.Inch == 0)
            Damaged("its units per inch are zero.");
        at = PlaceableSize;
    }
    if (size - at < MetaHeaderSize)
        Damaged("the header is incomplete.");
    const quint16 type = ReadU16(p + at);
    const quint16 headerWords = ReadU16(p + at + 2);
    if ((type != 1 && type != 2) || headerWords != MetaHeaderSize / 2)
        Damaged("it does not begin as a metafile.");
    mf.Objects = ReadU16(p + at + 14);
    at += MetaHeaderSize;
    for (;;) {
        if (size - at < 6)
            Damaged("it ends before its last record.");
        const qint64 bytes = qint64(ReadU32(p + at)) * 2;
        Record r;
        r.Function = ReadU16(p + at + 4);
        if (bytes < 6 || bytes > size - at)
            Damaged("a record's size does not fit the file.");
        if (r.Function == MetaEof)
            break;
        r.Params = p + at + 6;
        r.Size = bytes - 6;
        mf.Records.push_back(r);
        at += bytes;
    }
    return mf;
}

QString DecodeAnsi(const uchar* p, qint64 length) {
    static const char16_t High[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    QString text;
    text.reserve(qsizetype(length));
    for (qint64 i = 0; i < length; ++i) {
        const uchar c = p[i];
        text.append(c >= 0x80 && c < 0xA0 ? QChar(High[c - 0x80]) : QChar(char16_t(c)));
    }
    return text;
}

// Qt's BMP reader decodes the bitmap once a file header is put in front.
std::optional<Dib> DecodeDib(const uchar* p, qint64 size) {
    if (size < 12)
        Damaged("a bitmap header is incomplete.");
    const quint32 headerSize = ReadU32(p);
    qint64 width = 0, height = 0;
    int bits = 0;
    quint32 compression = 0;
    qint64 colours = 0;
    qint64 entrySize = 4;
    if (headerSize == 12) {
        width = ReadU16(p + 4);
        height = ReadU16(p + 6);
        bits = ReadU16(p + 10);
        entrySize = 3;
        colours = bits <= 8 ? qint64(1) << bits : 0;
    } else if (headerSize >= 40) {
        if (size < 40 || headerSize > size)
            Damaged("a bitmap header is incomplete.");
        width = qint32(ReadU32(p + 4));
        height = qint32(ReadU32(p + 8));
        bits = ReadU16(p + 14);
        compression = ReadU32(p + 16);
        const qint64 used = ReadU32(p + 32);
        colours = bits <= 8 ? (used ? used : qint64(1) << bits) : used;
    } else {
        Damaged("a bitmap header has an unknown size.");
    }
    if (width <= 0 || height == 0)
        return std::nullopt;
    const bool bottomUp = height > 0;
    height = std::abs(height);
    CheckPictureSize(width, height);
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return std::nullopt;
    if (colours > 256 && bits <= 8)
        Damaged("a bitmap has more colours than its pixels can name.");
    qint64 masks = 0;
    if (headerSize == 40 && compression == 3)
        masks = 12;
    else if (headerSize == 40 && compression == 6)
        masks = 16;
    const qint64 bitsAt = qint64(headerSize) + masks + colours * entrySize;
    if (bitsAt > size)
        Damaged("a bitmap's colour table does not fit its record.");
    // Uncompressed bits must all be there; Qt checks run-length data itself.
    if (compression == 0 || compression == 3 || compression == 6) {
        const qint64 rowBytes = ((width * bits + 31) / 32) * 4;
        if ((size - bitsAt) / rowBytes < height)
            Damaged("a bitmap's pixels do not fit its record.");
    }

    QByteArray file;
    file.reserve(qsizetype(14 + size));
    const auto put32 = [&file](quint32 v) {
        for (int i = 0; i < 4; ++i)
            file.append(char((v >> (8 * i)) & 0xFF));
    };
    file.append("BM", 2);
    put32(quint32(14 + size));
    put32(0);
    put32(quint32(14 + bitsAt));
    file.append(reinterpret_cast<const char*>(p), qsizetype(size));
    QBuffer buffer(&file);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "bmp");
    reader.setDecideFormatFromContent(false);
    QImage image = reader.read();
    if (image.isNull())
        return std::nullopt;
    // A blit paints every pixel it covers, whatever the fourth byte says.
    return Dib{image.convertToFormat(QImage::Format_RGB32), bottomUp};
}

} // namespace wmf
