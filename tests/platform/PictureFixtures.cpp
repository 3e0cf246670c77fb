#include "platform/PictureFixtures.h"

#include <QPoint>
#include <QSet>

#include <algorithm>
#include <stdexcept>

namespace fixtures {

namespace {

void Put8(QByteArray& out, int v) {
    out.append(char(v & 0xFF));
}
void Put16(QByteArray& out, int v) {
    Put8(out, v);
    Put8(out, v >> 8);
}
void Put32(QByteArray& out, quint32 v) {
    Put16(out, int(v & 0xFFFF));
    Put16(out, int(v >> 16));
}

// Runs within one scan line, as ZSoft's own encoder keeps them.
void PutRle(QByteArray& out, const QByteArray& line) {
    for (qsizetype i = 0; i < line.size();) {
        qsizetype n = 1;
        while (i + n < line.size() && n < 63 && line[i + n] == line[i])
            ++n;
        const auto b = uchar(line[i]);
        if (n > 1 || (b & 0xC0) == 0xC0)
            Put8(out, 0xC0 | int(n));
        Put8(out, b);
        i += n;
    }
}

QByteArray PcxHeader(int width, int height, int bits, int planes, int bytesPerLine,
                     const std::vector<QRgb>& palette, bool rle) {
    QByteArray h;
    Put8(h, 0x0A);
    Put8(h, 5);
    Put8(h, rle ? 1 : 0);
    Put8(h, bits);
    Put16(h, 0);
    Put16(h, 0);
    Put16(h, width - 1);
    Put16(h, height - 1);
    Put16(h, 96);
    Put16(h, 96);
    for (int i = 0; i < 16; ++i) {
        const QRgb c = i < int(palette.size()) && bits * planes <= 4 ? palette[size_t(i)] : 0;
        Put8(h, qRed(c));
        Put8(h, qGreen(c));
        Put8(h, qBlue(c));
    }
    Put8(h, 0);
    Put8(h, planes);
    Put16(h, bytesPerLine);
    Put16(h, 1);
    h.append(QByteArray(128 - h.size(), '\0'));
    return h;
}

void PutLine(QByteArray& out, const QByteArray& line, bool rle) {
    if (rle)
        PutRle(out, line);
    else
        out.append(line);
}

} // namespace

QByteArray MakePcx(int width, int height, const std::vector<int>& indices,
                   const std::vector<QRgb>& palette, int bits, int planes, bool rle) {
    const int bytesPerLine = ((width * bits + 15) / 16) * 2;
    QByteArray out = PcxHeader(width, height, bits, planes, bytesPerLine, palette, rle);
    for (int y = 0; y < height; ++y) {
        QByteArray line(bytesPerLine * planes, '\0');
        for (int x = 0; x < width; ++x) {
            const int index = indices[size_t(y * width + x)];
            if (planes == 1) {
                const int perByte = 8 / bits;
                const int shift = 8 - bits * (x % perByte + 1);
                line[x / perByte] = char(uchar(line[x / perByte]) | (index << shift));
            } else {
                for (int p = 0; p < planes; ++p)
                    if (index >> p & 1)
                        line[p * bytesPerLine + x / 8] =
                            char(uchar(line[p * bytesPerLine + x / 8]) | (0x80 >> (x % 8)));
            }
        }
        PutLine(out, line, rle);
    }
    if (bits == 8) {
        Put8(out, 0x0C);
        for (int i = 0; i < 256; ++i) {
            const QRgb c = i < int(palette.size()) ? palette[size_t(i)] : 0;
            Put8(out, qRed(c));
            Put8(out, qGreen(c));
            Put8(out, qBlue(c));
        }
    }
    return out;
}

QByteArray MakePcxRgb(const QImage& source, bool withAlpha, bool rle) {
    const QImage image = source.convertToFormat(QImage::Format_ARGB32);
    const int planes = withAlpha ? 4 : 3;
    const int bytesPerLine = (image.width() + 1) / 2 * 2;
    QByteArray out = PcxHeader(image.width(), image.height(), 8, planes, bytesPerLine, {}, rle);
    for (int y = 0; y < image.height(); ++y) {
        QByteArray line(bytesPerLine * planes, '\0');
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, y);
            line[x] = char(qRed(c));
            line[bytesPerLine + x] = char(qGreen(c));
            line[2 * bytesPerLine + x] = char(qBlue(c));
            if (withAlpha)
                line[3 * bytesPerLine + x] = char(qAlpha(c));
        }
        PutLine(out, line, rle);
    }
    return out;
}

QByteArray MakeBmp32(const QImage& source, Bmp32Header header, bool topDown) {
    const QImage image = source.convertToFormat(QImage::Format_ARGB32);
    const int infoSize = header == Bmp32Header::V5Alpha ? 124 : 40;
    const int masks = header == Bmp32Header::Bitfields ? 12 : 0;
    const int offset = 14 + infoSize + masks;
    const int pixels = image.width() * image.height() * 4;
    QByteArray out;
    out.append("BM", 2);
    Put32(out, quint32(offset + pixels));
    Put32(out, 0);
    Put32(out, quint32(offset));
    Put32(out, quint32(infoSize));
    Put32(out, quint32(image.width()));
    Put32(out, quint32(topDown ? -image.height() : image.height()));
    Put16(out, 1);
    Put16(out, 32);
    Put32(out, header == Bmp32Header::Rgb ? 0 : 3);
    Put32(out, quint32(pixels));
    Put32(out, 2835);
    Put32(out, 2835);
    Put32(out, 0);
    Put32(out, 0);
    if (header != Bmp32Header::Rgb) {
        Put32(out, 0x00FF0000);
        Put32(out, 0x0000FF00);
        Put32(out, 0x000000FF);
    }
    if (header == Bmp32Header::V5Alpha) {
        Put32(out, 0xFF000000);
        out.append(QByteArray(14 + infoSize - out.size(), '\0'));
    }
    for (int row = 0; row < image.height(); ++row) {
        const int y = topDown ? row : image.height() - 1 - row;
        for (int x = 0; x < image.width(); ++x)
            Put32(out, image.pixel(x, y));
    }
    return out;
}

QByteArray MakeTga(const QImage& source, bool withAlpha) {
    const QImage image = source.convertToFormat(QImage::Format_ARGB32);
    QByteArray out;
    Put8(out, 0);
    Put8(out, 0);
    Put8(out, 2);
    out.append(QByteArray(5, '\0'));
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, image.width());
    Put16(out, image.height());
    Put8(out, withAlpha ? 32 : 24);
    Put8(out, withAlpha ? 8 : 0); // rows from the bottom up
    for (int row = image.height() - 1; row >= 0; --row) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, row);
            Put8(out, qBlue(c));
            Put8(out, qGreen(c));
            Put8(out, qRed(c));
            if (withAlpha)
                Put8(out, qAlpha(c));
        }
    }
    return out;
}

namespace {
void PutValue(QByteArray& out, quint32 value, int bits) {
    for (int i = 0; i < (bits + 7) / 8; ++i)
        Put8(out, int(value >> (8 * i)));
}
} // namespace

QByteArray MakeTgaFile(const TgaFile& file) {
    QByteArray out;
    Put8(out, int(file.Id.size()));
    Put8(out, file.Map.empty() ? 0 : 1);
    Put8(out, file.Type);
    Put16(out, file.Map.empty() ? 0 : file.MapFirst);
    Put16(out, int(file.Map.size()));
    Put8(out, file.Map.empty() ? 0 : file.MapBits);
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, file.Width);
    Put16(out, file.Height);
    Put8(out, file.Depth);
    Put8(out, file.Descriptor);
    out.append(file.Id);
    for (quint32 entry : file.Map)
        PutValue(out, entry, file.MapBits);
    const std::vector<quint32>& v = file.Values;
    if (file.Type < 9) {
        for (quint32 value : v)
            PutValue(out, value, file.Depth);
        return out;
    }
    constexpr size_t Most = 128;
    const auto runAt = [&](size_t i) {
        size_t n = 1;
        while (i + n < v.size() && n < Most && v[i + n] == v[i])
            ++n;
        return n;
    };
    for (size_t i = 0; i < v.size();) {
        const size_t run = runAt(i);
        if (run > 1) {
            Put8(out, 0x80 | int(run - 1));
            PutValue(out, v[i], file.Depth);
            i += run;
            continue;
        }
        size_t n = 1;
        while (i + n < v.size() && n < Most && runAt(i + n) == 1)
            ++n;
        Put8(out, int(n - 1));
        for (size_t k = 0; k < n; ++k)
            PutValue(out, v[i + k], file.Depth);
        i += n;
    }
    return out;
}

QByteArray MakeGif(int width, int height, const std::vector<int>& indices,
                   const std::vector<QRgb>& palette, int transparentIndex) {
    QByteArray out("GIF89a");
    Put16(out, width);
    Put16(out, height);
    Put8(out, 0xF7); // a global table of 256 colours
    Put8(out, 0);
    Put8(out, 0);
    for (int i = 0; i < 256; ++i) {
        const QRgb c = i < int(palette.size()) ? palette[size_t(i)] : 0;
        Put8(out, qRed(c));
        Put8(out, qGreen(c));
        Put8(out, qBlue(c));
    }
    if (transparentIndex >= 0) {
        out.append("\x21\xF9\x04\x01\x00\x00", 6);
        Put8(out, transparentIndex);
        Put8(out, 0);
    }
    Put8(out, 0x2C);
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, width);
    Put16(out, height);
    Put8(out, 0);
    // LZW without compression: 9-bit codes, a clear code often enough that
    // the code width never grows.
    constexpr int Clear = 256, End = 257;
    QByteArray codes;
    quint32 bitBuffer = 0;
    int bitCount = 0;
    const auto code = [&](int c) {
        bitBuffer |= quint32(c) << bitCount;
        bitCount += 9;
        while (bitCount >= 8) {
            Put8(codes, int(bitBuffer & 0xFF));
            bitBuffer >>= 8;
            bitCount -= 8;
        }
    };
    for (size_t i = 0; i < indices.size(); ++i) {
        if (i % 254 == 0)
            code(Clear);
        code(indices[i]);
    }
    code(End);
    if (bitCount > 0)
        Put8(codes, int(bitBuffer & 0xFF));
    Put8(out, 8);
    for (qsizetype i = 0; i < codes.size(); i += 255) {
        const QByteArray block = codes.mid(i, 255);
        Put8(out, int(block.size()));
        out.append(block);
    }
    Put8(out, 0);
    Put8(out, 0x3B);
    return out;
}

QByteArray MakeDib(const QImage& source, int bits) {
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    std::vector<QRgb> palette;
    if (bits == 8) {
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (std::find(palette.begin(), palette.end(), image.pixel(x, y)) == palette.end())
                    palette.push_back(image.pixel(x, y));
        if (palette.size() > 256)
            throw std::invalid_argument("more than 256 colours");
    }
    const int rowBytes = ((image.width() * bits + 31) / 32) * 4;
    QByteArray out;
    Put32(out, 40);
    Put32(out, quint32(image.width()));
    Put32(out, quint32(image.height()));
    Put16(out, 1);
    Put16(out, bits);
    Put32(out, 0);
    Put32(out, quint32(rowBytes * image.height()));
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, quint32(palette.size()));
    Put32(out, 0);
    for (QRgb c : palette)
        Put32(out, c & 0xFFFFFF);
    for (int y = image.height() - 1; y >= 0; --y) {
        QByteArray row;
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, y);
            if (bits == 8) {
                Put8(row, int(std::find(palette.begin(), palette.end(), c) - palette.begin()));
            } else {
                Put8(row, qBlue(c));
                Put8(row, qGreen(c));
                Put8(row, qRed(c));
            }
        }
        row.append(QByteArray(rowBytes - row.size(), '\0'));
        out.append(row);
    }
    return out;
}

std::vector<int> ColourWords(QRgb colour) {
    return {qRed(colour) | qGreen(colour) << 8, qBlue(colour)};
}

WmfBuilder WmfBuilder::Placeable(int left, int top, int right, int bottom, int inch) {
    WmfBuilder b;
    b.HasPlaceable = true;
    b.Box[0] = left;
    b.Box[1] = top;
    b.Box[2] = right;
    b.Box[3] = bottom;
    b.Box[4] = inch;
    return b;
}

WmfBuilder WmfBuilder::Plain() {
    return WmfBuilder();
}

WmfBuilder& WmfBuilder::RecordBytes(quint16 function, const QByteArray& params) {
    QByteArray padded = params;
    if (padded.size() % 2)
        padded.append('\0');
    const int words = 3 + int(padded.size() / 2);
    Put32(Records, quint32(words));
    Put16(Records, function);
    Records.append(padded);
    Largest = std::max(Largest, words);
    // Every record that makes an object takes a slot in the table.
    static const QSet<quint16> Creators = {0x00F7, 0x01F9, 0x02FA, 0x02FB, 0x02FC, 0x06FF, 0x0142};
    if (Creators.contains(function))
        ++Objects;
    return *this;
}

WmfBuilder& WmfBuilder::Record(quint16 function, const std::vector<int>& words) {
    QByteArray params;
    for (int w : words)
        Put16(params, w);
    return RecordBytes(function, params);
}

WmfBuilder& WmfBuilder::WindowOrg(int x, int y) {
    return Record(0x020B, {y, x});
}
WmfBuilder& WmfBuilder::WindowExt(int width, int height) {
    return Record(0x020C, {height, width});
}
WmfBuilder& WmfBuilder::Pen(int style, int width, QRgb colour) {
    const auto c = ColourWords(colour);
    return Record(0x02FA, {style, width, 0, c[0], c[1]});
}
WmfBuilder& WmfBuilder::Brush(int style, QRgb colour, int hatch) {
    const auto c = ColourWords(colour);
    return Record(0x02FC, {style, c[0], c[1], hatch});
}
WmfBuilder& WmfBuilder::Font(int height, const QString& face, int weight, int escapement) {
    QByteArray params;
    Put16(params, height);
    Put16(params, 0);
    Put16(params, escapement);
    Put16(params, escapement);
    Put16(params, weight);
    params.append(QByteArray(8, '\0'));
    QByteArray name = face.toLatin1().left(31);
    name.append(QByteArray(32 - name.size(), '\0'));
    params.append(name);
    return RecordBytes(0x02FB, params);
}
WmfBuilder& WmfBuilder::Select(int index) {
    return Record(0x012D, {index});
}
WmfBuilder& WmfBuilder::Delete(int index) {
    return Record(0x01F0, {index});
}
WmfBuilder& WmfBuilder::TextColour(QRgb colour) {
    return Record(0x0209, ColourWords(colour));
}
WmfBuilder& WmfBuilder::BkMode(int mode) {
    return Record(0x0102, {mode});
}
WmfBuilder& WmfBuilder::Rectangle(int left, int top, int right, int bottom) {
    return Record(0x041B, {bottom, right, top, left});
}
WmfBuilder& WmfBuilder::Ellipse(int left, int top, int right, int bottom) {
    return Record(0x0418, {bottom, right, top, left});
}
WmfBuilder& WmfBuilder::MoveTo(int x, int y) {
    return Record(0x0214, {y, x});
}
WmfBuilder& WmfBuilder::LineTo(int x, int y) {
    return Record(0x0213, {y, x});
}
WmfBuilder& WmfBuilder::Polygon(const std::vector<QPoint>& points) {
    std::vector<int> words{int(points.size())};
    for (const QPoint& p : points) {
        words.push_back(p.x());
        words.push_back(p.y());
    }
    return Record(0x0324, words);
}
WmfBuilder& WmfBuilder::TextOut(int x, int y, const QByteArray& text) {
    QByteArray params;
    Put16(params, int(text.size()));
    params.append(text);
    if (params.size() % 2)
        params.append('\0');
    Put16(params, y);
    Put16(params, x);
    return RecordBytes(0x0521, params);
}
WmfBuilder& WmfBuilder::StretchDib(int x, int y, int width, int height, const QByteArray& dib,
                                   int srcWidth, int srcHeight) {
    QByteArray params;
    Put32(params, 0x00CC0020); // SRCCOPY
    Put16(params, 0);          // colours are RGB
    Put16(params, srcHeight);
    Put16(params, srcWidth);
    Put16(params, 0);
    Put16(params, 0);
    Put16(params, height);
    Put16(params, width);
    Put16(params, y);
    Put16(params, x);
    params.append(dib);
    return RecordBytes(0x0F43, params);
}

QByteArray WmfBuilder::Bytes(bool withEof) const {
    QByteArray out;
    if (HasPlaceable) {
        Put32(out, 0x9AC6CDD7);
        Put16(out, 0);
        for (int i = 0; i < 5; ++i)
            Put16(out, Box[i]);
        Put32(out, 0);
        quint16 sum = 0;
        for (int i = 0; i < 20; i += 2)
            sum ^= quint16(uchar(out[i]) | uchar(out[i + 1]) << 8);
        Put16(out, sum);
    }
    QByteArray records = Records;
    if (withEof) {
        Put32(records, 3);
        Put16(records, 0);
    }
    Put16(out, 1);
    Put16(out, 9);
    Put16(out, 0x0300);
    Put32(out, quint32(9 + records.size() / 2));
    Put16(out, Objects);
    Put32(out, quint32(std::max(Largest, 3)));
    Put16(out, 0);
    out.append(records);
    return out;
}

} // namespace fixtures
