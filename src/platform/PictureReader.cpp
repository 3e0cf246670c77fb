#include "platform/PictureReader.h"

#include "platform/Bmp32Reader.h"
#include "platform/PcxReader.h"
#include "platform/TgaReader.h"
#include "platform/WmfReader.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <algorithm>
#include <cstdlib>

namespace {

QString Ext(const QString& extension) {
    QString ext = extension.toLower();
    if (ext.startsWith(QLatin1Char('.')))
        ext.remove(0, 1);
    return ext;
}

QByteArray QtFormatFor(const QString& ext) {
    if (ext == QLatin1String("jpg") || ext == QLatin1String("jpeg"))
        return QByteArrayLiteral("jpeg");
    if (ext == QLatin1String("tif"))
        return QByteArrayLiteral("tiff");
    return ext.toLatin1();
}

quint16 U16(const QByteArray& d, qsizetype at) {
    return quint16(uchar(d[at]) | uchar(d[at + 1]) << 8);
}
quint32 U32(const QByteArray& d, qsizetype at) {
    return quint32(U16(d, at)) | quint32(U16(d, at + 2)) << 16;
}

[[noreturn]] void Truncated(const QString& ext) {
    throw PictureError(QStringLiteral("The %1 picture ends before it is complete.")
                           .arg(ext.toUpper())
                           .toStdString());
}

// Qt's readers return what they could decode of a file that was cut short,
// without an error. A picture with its lower part missing must not pass for a
// whole one, so each format's end is checked here first.
void CheckComplete(const QString& ext, const QByteArray& d) {
    const qint64 size = d.size();
    if (ext == QLatin1String("bmp") && size >= 30 && d.startsWith("BM")) {
        const qint64 offset = U32(d, 10);
        const quint32 header = U32(d, 14);
        qint64 width = 0, height = 0, bits = 0, compression = 0, imageSize = 0;
        if (header == 12) {
            width = U16(d, 18);
            height = U16(d, 20);
            bits = U16(d, 24);
        } else if (header >= 40 && size >= 38) {
            width = qint32(U32(d, 18));
            height = std::abs(qint64(qint32(U32(d, 22))));
            bits = U16(d, 28);
            compression = U32(d, 30);
            imageSize = U32(d, 34);
        }
        if (width <= 0 || height <= 0 || bits <= 0 || bits > 32 || offset > size)
            return; // Qt refuses such headers itself
        if (compression == 0 || compression == 3) {
            const qint64 rowBytes = (width * bits + 31) / 32 * 4;
            if ((size - offset) / rowBytes < height)
                Truncated(ext);
        } else if ((compression == 1 || compression == 2) && imageSize > size - offset) {
            Truncated(ext);
        }
    } else if (ext == QLatin1String("gif")) {
        // The trailer byte 0x3B ends the file; some writers pad after it.
        qsizetype last = d.size() - 1;
        while (last >= 0 && d[last] == '\0')
            --last;
        if (last < 0 || d[last] != 0x3B)
            Truncated(ext);
    } else if (ext == QLatin1String("png")) {
        const qsizetype end = d.lastIndexOf("IEND");
        if (end < 0 || end + 8 > size)
            Truncated(ext);
    } else if (ext == QLatin1String("jpg") || ext == QLatin1String("jpeg")) {
        const qsizetype scan = d.lastIndexOf("\xFF\xDA");
        if (scan >= 0 && d.indexOf("\xFF\xD9", scan) < 0)
            Truncated(ext);
    }
}

QImage ReadWithQt(const QByteArray& data, const QString& ext, const QSize& decodeSize) {
    CheckComplete(ext, data);
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, QtFormatFor(ext));
    reader.setDecideFormatFromContent(false);
    // Only JPEG decodes at a reduced size for less; the others would decode
    // in full and scale, which the callers do better themselves.
    const bool jpeg = ext == QLatin1String("jpg") || ext == QLatin1String("jpeg");
    if (jpeg && decodeSize.isValid() && reader.supportsOption(QImageIOHandler::ScaledSize))
        reader.setScaledSize(decodeSize);
    QImage image;
    if (ext == QLatin1String("ico")) {
        // An icon file holds the same picture at several sizes: the largest
        // is the one worth showing. Real icons hold a handful; a damaged
        // directory may claim thousands of entries over the same bytes.
        constexpr int MostIconImages = 64;
        const int count = std::min(reader.imageCount(), MostIconImages);
        for (int i = 0; i < count; ++i) {
            if (!reader.jumpToImage(i))
                break;
            const QImage candidate = reader.read();
            if (!candidate.isNull() && qint64(candidate.width()) * candidate.height() >
                                           qint64(image.width()) * image.height())
                image = candidate;
        }
    } else {
        image = reader.read();
    }
    if (image.isNull())
        throw PictureError(QStringLiteral("The %1 picture cannot be read: %2.")
                               .arg(ext.toUpper(), reader.errorString())
                               .toStdString());
    return image;
}

bool AllAlphaZero(const QImage& image) {
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(row[x]) != 0)
                return false;
    }
    return true;
}

// Partial transparency of a picture that arrives opaque, composed over white.
void ComposeOverWhite(QImage& image) {
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int a = qAlpha(row[x]);
            if (a == 255)
                continue;
            const auto over = [a](int c) { return (c * a + 255 * (255 - a) + 127) / 255; };
            row[x] = qRgb(over(qRed(row[x])), over(qGreen(row[x])), over(qBlue(row[x])));
        }
    }
}

void MakeOpaque(QImage& image) {
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            row[x] |= 0xFF000000u;
    }
}

// The one place where a picture's alpha on arrival is decided; the rule is
// described in the header.
LoadedPicture ApplyAlphaRule(QImage image, const QString& ext, bool bmp32) {
    LoadedPicture picture;
    if (image.isNull())
        return picture; // an empty metafile
    image = image.convertToFormat(QImage::Format_ARGB32);
    if (bmp32) {
        picture.Alpha = AlphaRule::Bmp32Alpha;
        if (AllAlphaZero(image)) {
            MakeOpaque(image);
            picture.Alpha = AlphaRule::Opaque;
        }
    } else if (ext == QLatin1String("ico") || ext == QLatin1String("gif") ||
               ext == QLatin1String("wmf")) {
        picture.Alpha = AlphaRule::TransparentWhereUndrawn;
    } else {
        ComposeOverWhite(image);
        picture.Alpha = AlphaRule::Opaque;
    }
    picture.Image = image;
    return picture;
}

} // namespace

void CheckPictureSize(qint64 width, qint64 height) {
    if (width > MaxPictureSide || height > MaxPictureSide || width * height > MaxPicturePixels)
        throw PictureError(QStringLiteral("The picture is too large (%1 x %2 pixels).")
                               .arg(width)
                               .arg(height)
                               .toStdString());
}

QStringList PictureExtensions() {
    return {QStringLiteral("bmp"),  QStringLiteral("gif"), QStringLiteral("tga"),
            QStringLiteral("tif"),  QStringLiteral("png"), QStringLiteral("jpg"),
            QStringLiteral("jpeg"), QStringLiteral("pcx"), QStringLiteral("ico"),
            QStringLiteral("wmf")};
}

LoadedPicture LoadPicture(const QString& path, const QSize& decodeSize) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw PictureError(QStringLiteral("Cannot open the picture \"%1\".")
                               .arg(QDir::toNativeSeparators(path))
                               .toStdString());
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw PictureError(QStringLiteral("Cannot read the picture \"%1\": %2.")
                               .arg(QDir::toNativeSeparators(path), file.errorString())
                               .toStdString());
    try {
        return LoadPictureData(data, QFileInfo(path).suffix(), decodeSize);
    } catch (const PictureError& error) {
        throw PictureError(
            QStringLiteral("Cannot load the picture \"%1\". %2")
                .arg(QDir::toNativeSeparators(path), QString::fromStdString(error.what()))
                .toStdString());
    }
}

LoadedPicture LoadPictureData(const QByteArray& data, const QString& extension,
                              const QSize& decodeSize) {
    const QString ext = Ext(extension);
    if (!PictureExtensions().contains(ext))
        throw PictureError(QStringLiteral("Unknown picture file extension \".%1\".")
                               .arg(Ext(extension))
                               .toStdString());
    if (ext == QLatin1String("pcx"))
        return ApplyAlphaRule(ReadPcx(data), ext, false);
    if (ext == QLatin1String("wmf"))
        return ApplyAlphaRule(ReadWmf(data), ext, false);
    if (ext == QLatin1String("tga"))
        return ApplyAlphaRule(ReadTga(data), ext, false);
    if (ext == QLatin1String("bmp") && IsBmp32(data))
        return ApplyAlphaRule(ReadBmp32(data), ext, true);
    return ApplyAlphaRule(ReadWithQt(data, ext, decodeSize), ext, false);
}
