#include "platform/PictureReader.h"

#include <QBuffer>
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

} // namespace

QStringList PictureExtensions() {
    return {QStringLiteral("bmp"), QStringLiteral("gif"), QStringLiteral("tga"),
            QStringLiteral("tif"), QStringLiteral("png"), QStringLiteral("jpg"),
            QStringLiteral("jpeg"), QStringLiteral("pcx"), QStringLiteral("ico"),
            QStringLiteral("wmf")};
}

LoadedPicture LoadPicture(const QString& path, const QSize& decodeSize) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw PictureError(QStringLiteral("Cannot open the picture %1.").arg(path).toStdString());
    return LoadPictureData(file.readAll(), QFileInfo(path).suffix(), decodeSize);
}

LoadedPicture LoadPictureData(const QByteArray& data, const QString& extension,
                              const QSize& decodeSize) {
    const QString ext = Ext(extension);
    if (!PictureExtensions().contains(ext))
        throw PictureError(QStringLiteral("Unknown picture file extension \".%1\".")
                               .arg(extension)
                               .toStdString());
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, QtFormatFor(ext));
    reader.setDecideFormatFromContent(false);
    if (decodeSize.isValid() && reader.supportsOption(QImageIOHandler::ScaledSize))
        reader.setScaledSize(decodeSize);
    QImage image = reader.read();
    if (image.isNull())
        throw PictureError(QStringLiteral("The picture cannot be read: %1.")
                               .arg(reader.errorString())
                               .toStdString());
    LoadedPicture picture;
    picture.Alpha = ext == QLatin1String("ico") ? AlphaRule::TransparentWhereUndrawn
                                                : AlphaRule::Opaque;
    picture.Image = image.convertToFormat(QImage::Format_ARGB32);
    return picture;
}
