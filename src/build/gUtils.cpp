#include "build/gUtils.h"

#include "platform/PictureReader.h"

#include <QSaveFile>

#include <vector>

namespace {

constexpr int kMinWidth = 100;
constexpr int kMinHeight = 80;
constexpr int kBmpHeadersSize = 14 + 40;

// One pixel of the working bitmap: the picture's pixel drawn over white.
QRgb OverWhite(QRgb pixel) {
    const int alpha = qAlpha(pixel);
    if (alpha == 255)
        return pixel | 0xFF000000u;
    const auto mix = [alpha](int c) { return (c * alpha + 255 * (255 - alpha) + 127) / 255; };
    return qRgb(mix(qRed(pixel)), mix(qGreen(pixel)), mix(qBlue(pixel)));
}

bool SameColour(QRgb a, QRgb b) {
    return (a & 0xFFFFFFu) == (b & 0xFFFFFFu);
}

std::uint32_t ColourValue(QRgb rgb) {
    return std::uint32_t(qRed(rgb)) | (std::uint32_t(qGreen(rgb)) << 8) |
           (std::uint32_t(qBlue(rgb)) << 16);
}

void PutU16(char* at, std::uint32_t value) {
    at[0] = char(value & 0xFF);
    at[1] = char((value >> 8) & 0xFF);
}

void PutU32(char* at, std::uint32_t value) {
    PutU16(at, value & 0xFFFF);
    PutU16(at + 2, value >> 16);
}

QByteArray BmpHeaders(int width, int height, std::uint32_t imageSize) {
    QByteArray headers(kBmpHeadersSize, '\0');
    char* h = headers.data();
    // BITMAPFILEHEADER
    h[0] = 'B';
    h[1] = 'M';
    PutU32(h + 2, kBmpHeadersSize + imageSize);
    PutU32(h + 10, kBmpHeadersSize);
    // BITMAPINFOHEADER: positive height, so rows run bottom-up; BI_RGB.
    PutU32(h + 14, 40);
    PutU32(h + 18, std::uint32_t(width));
    PutU32(h + 22, std::uint32_t(height));
    PutU16(h + 26, 1);
    PutU16(h + 28, 24);
    PutU32(h + 34, imageSize);
    return headers;
}

QImage LoadWorkingPicture(const QString& path) {
    QImage image = LoadPicture(path).Image;
    if (image.format() != QImage::Format_ARGB32)
        image = image.convertToFormat(QImage::Format_ARGB32);
    return image;
}

[[noreturn]] void FailWrite(const QSaveFile& file) {
    throw FileError(QStringLiteral("Cannot write the picture %1: %2")
                        .arg(file.fileName(), file.errorString())
                        .toStdString());
}

} // namespace

bool HasPictureContent(const QString& path) {
    const QImage image = LoadWorkingPicture(path);
    if (image.isNull() || image.width() <= 0 || image.height() <= 0)
        return false;
    const QRgb reference = OverWhite(image.pixel(0, 0));
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (!SameColour(OverWhite(row[x]), reference))
                return true;
    }
    return false;
}

QSize PictureSize(const QString& path) {
    return LoadPicture(path).Image.size();
}

bool IsPictureLargeEnough(const QString& path) {
    const QSize size = PictureSize(path);
    return size.width() >= kMinWidth && size.height() >= kMinHeight;
}

void ConvertPictureToBmp(const QString& sourcePath, const QString& targetPath, BgrTriple& colour) {
    const QImage image = LoadWorkingPicture(sourcePath);
    const int width = image.width();
    const int height = image.height();
    if (image.isNull() || width <= 0 || height <= 0)
        throw PictureError(
            QStringLiteral("The picture %1 is empty.").arg(sourcePath).toStdString());
    const qint64 rowSize = (qint64(width) * 3 + 3) / 4 * 4;
    const qint64 imageSize = rowSize * height;
    if (imageSize + kBmpHeadersSize > qint64(UINT32_MAX))
        throw PictureError(
            QStringLiteral("The picture %1 is too large.").arg(sourcePath).toStdString());

    QSaveFile file(targetPath);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(BmpHeaders(width, height, std::uint32_t(imageSize))) != kBmpHeadersSize)
        FailWrite(file);
    std::vector<char> row(size_t(rowSize), '\0');
    for (int y = height - 1; y >= 0; --y) {
        const auto* pixels = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < width; ++x) {
            const QRgb pixel = OverWhite(pixels[x]);
            row[size_t(x) * 3] = char(qBlue(pixel));
            row[size_t(x) * 3 + 1] = char(qGreen(pixel));
            row[size_t(x) * 3 + 2] = char(qRed(pixel));
        }
        if (file.write(row.data(), rowSize) != rowSize)
            FailWrite(file);
    }
    if (!file.commit())
        FailWrite(file);
    ColourToBgr(ColourValue(OverWhite(image.pixel(0, height - 1))), colour);
}

void ColourToBgr(std::uint32_t colour, BgrTriple& triple) {
    triple[0] = std::uint8_t((colour >> 16) & 0xFF);
    triple[1] = std::uint8_t((colour >> 8) & 0xFF);
    triple[2] = std::uint8_t(colour & 0xFF);
}
