#include "platform/PictureReader.h"

#include "platform/Bmp32Reader.h"
#include "platform/PcxReader.h"
#include "platform/WmfReader.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

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

QImage ReadWithQt(const QByteArray& data, const QString& ext, const QSize& decodeSize) {
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, QtFormatFor(ext));
    reader.setDecideFormatFromContent(false);
    if (decodeSize.isValid() && reader.supportsOption(QImageIOHandler::ScaledSize))
        reader.setScaledSize(decodeSize);
    QImage image;
    if (ext == QLatin1String("ico")) {
        // An icon file holds the same picture at several sizes: the largest
        // is the one worth showing.
        const int count = reader.imageCount();
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
    if (ext == QLatin1String("bmp") && IsBmp32(data))
        return ApplyAlphaRule(ReadBmp32(data), ext, true);
    return ApplyAlphaRule(ReadWithQt(data, ext, decodeSize), ext, false);
}
