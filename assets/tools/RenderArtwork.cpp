// Renders the project's SVG artwork at build time:
//   art <svg folder> <out folder>                   every image of ArtworkNames.h as PNG
//   samples <manifest> <svg folder> <out folder>    the sample picture libraries
//   sheet <out file> <folder>...                    a contact sheet of every picture found
// Every file written is read back with Qt's readers and compared, so a
// faulty encoder stops the build instead of shipping a broken library.

#include "ArtworkNames.h"
#include "GifWriter.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QCoreApplication>
#include <QHash>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSvgRenderer>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace {

class RenderError : public std::runtime_error {
public:
    explicit RenderError(const QString& message) : std::runtime_error(message.toStdString()) {}
};

constexpr QRgb kStripColour = 0xff005f8c;

// The artwork must not depend on anything outside the project: no pictures,
// fonts or style sheets fetched at render time.
void CheckSelfContained(const QByteArray& svg, const QString& path) {
    static const char* const kRefused[] = {"<image",      "<text",       "<font",   "@import",
                                           "href=\"http", "href=\"file", "url(http"};
    for (const char* refused : kRefused) {
        if (svg.contains(refused))
            throw RenderError(path + QStringLiteral(": uses ") + QLatin1String(refused) +
                              QStringLiteral(", the artwork must be self-contained"));
    }
}

QImage RenderSvg(const QString& path, QSize size) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw RenderError(path + QStringLiteral(": ") + file.errorString());
    const QByteArray svg = file.readAll();
    CheckSelfContained(svg, path);
    QSvgRenderer renderer(svg);
    if (!renderer.isValid())
        throw RenderError(path + QStringLiteral(": not a valid SVG"));
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    painter.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

// Desaturated and lifted towards a light grey, half transparent: on the
// strip colour it reads as unavailable, and it always matches its glyph.
QImage Greyed(const QImage& source) {
    QImage image = source.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = line[x];
            const int luminance =
                (qRed(pixel) * 299 + qGreen(pixel) * 587 + qBlue(pixel) * 114) / 1000;
            const int grey = 150 + luminance * 35 / 100;
            // Rounded up, so the faintest edge of the glyph stays part of it.
            line[x] = qRgba(grey, grey, grey, (qAlpha(pixel) * 55 + 99) / 100);
        }
    }
    return image;
}

QImage Monochrome(const QImage& source) {
    QImage image = source.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = line[x];
            if (qAlpha(pixel) < 128) {
                line[x] = 0;
                continue;
            }
            const int luminance =
                (qRed(pixel) * 299 + qGreen(pixel) * 587 + qBlue(pixel) * 114) / 1000;
            line[x] = luminance < 128 ? 0xff000000u : 0xffffffffu;
        }
    }
    return image;
}

QImage ReadBack(const QString& path) {
    QImageReader reader(path, QFileInfo(path).suffix().toLower().toLatin1());
    reader.setDecideFormatFromContent(false);
    QImage image = reader.read();
    if (image.isNull())
        throw RenderError(path + QStringLiteral(": cannot be read back: ") + reader.errorString());
    return image;
}

bool SamePixels(const QImage& a, const QImage& b) {
    if (a.size() != b.size())
        return false;
    const QImage x = a.convertToFormat(QImage::Format_ARGB32);
    const QImage y = b.convertToFormat(QImage::Format_ARGB32);
    for (int row = 0; row < x.height(); ++row) {
        if (memcmp(x.constScanLine(row), y.constScanLine(row), size_t(x.width()) * 4) != 0)
            return false;
    }
    return true;
}

void WritePng(const QImage& image, const QString& path) {
    QImageWriter writer(path, "png");
    if (!writer.write(image))
        throw RenderError(path + QStringLiteral(": ") + writer.errorString());
    if (!SamePixels(ReadBack(path), image))
        throw RenderError(path + QStringLiteral(": reads back different"));
}

void MakeFolder(const QString& path) {
    if (!QDir().mkpath(path))
        throw RenderError(path + QStringLiteral(": cannot create the folder"));
}

void RenderArt(const QString& svgFolder, const QString& outFolder) {
    MakeFolder(outFolder);
    QHash<QString, QImage> normalCache;
    for (const artwork::ImageSpec& item : artwork::kImages) {
        const QString name = QLatin1String(item.Name);
        const QString source =
            svgFolder + QLatin1Char('/') + QLatin1String(item.Source) + QStringLiteral(".svg");
        const bool paired = item.Style == artwork::ImageStyle::NormalAndDisabled;
        const QSize glyphSize(paired ? item.Width / 2 : item.Width, item.Height);
        const QString key =
            source + QString::asprintf("@%dx%d", glyphSize.width(), glyphSize.height());
        if (!normalCache.contains(key))
            normalCache.insert(key, RenderSvg(source, glyphSize));
        const QImage& glyph = normalCache[key];

        QImage image;
        switch (item.Style) {
        case artwork::ImageStyle::Normal:
            image = glyph;
            break;
        case artwork::ImageStyle::Disabled:
            image = Greyed(glyph);
            break;
        case artwork::ImageStyle::Monochrome:
            image = Monochrome(glyph);
            break;
        case artwork::ImageStyle::NormalAndDisabled: {
            image = QImage(item.Width, item.Height, QImage::Format_ARGB32);
            image.fill(Qt::transparent);
            QPainter painter(&image);
            painter.setCompositionMode(QPainter::CompositionMode_Source);
            painter.drawImage(0, 0, glyph);
            painter.drawImage(glyphSize.width(), 0, Greyed(glyph));
            break;
        }
        }
        WritePng(image, outFolder + QLatin1Char('/') + name + QStringLiteral(".png"));
    }
}

struct SampleEntry {
    QString File;   // under the out folder
    QString Source; // SVG file name
    QSize Size;
    QRgb Background = 0;
    int Line = 0;
};

QList<SampleEntry> ReadManifest(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        throw RenderError(path + QStringLiteral(": ") + file.errorString());
    static const QRegularExpression kLine(
        QStringLiteral(R"(^(\S+)\s+(\S+\.svg)\s+(\d+)x(\d+)\s+#([0-9A-Fa-f]{6})\s*$)"));
    QList<SampleEntry> entries;
    QTextStream in(&file);
    int number = 0;
    while (!in.atEnd()) {
        const QString line = in.readLine();
        ++number;
        if (line.trimmed().isEmpty() || line.trimmed().startsWith(QLatin1Char('#')))
            continue;
        const QRegularExpressionMatch match = kLine.match(line);
        if (!match.hasMatch())
            throw RenderError(path +
                              QString::asprintf(":%d: not <file> <svg> <w>x<h> #rrggbb", number));
        SampleEntry entry;
        entry.File = match.captured(1);
        entry.Source = match.captured(2);
        entry.Size = QSize(match.captured(3).toInt(), match.captured(4).toInt());
        entry.Background = 0xff000000u | match.captured(5).toUInt(nullptr, 16);
        entry.Line = number;
        entries.append(entry);
    }
    return entries;
}

// The picture's silhouette is kept hard against the background: colour-key
// transparency would otherwise leave a fringe of blended background pixels
// around every shape. Inside the shape the drawing stays smooth.
QImage OnBackground(const QImage& drawing, QRgb background) {
    QImage image(drawing.size(), QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        const QRgb* in = reinterpret_cast<const QRgb*>(drawing.constScanLine(y));
        QRgb* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            out[x] = qAlpha(in[x]) >= 128 ? (in[x] | 0xff000000u) : background;
    }
    return image;
}

int MaxChannelDifference(QRgb a, QRgb b) {
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                     std::abs(qBlue(a) - qBlue(b))});
}

void WriteSample(const QImage& image, QRgb background, const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    QImage expected = image;
    if (suffix == QLatin1String("gif")) {
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(EncodeGif(image, background)) < 0 ||
            !file.commit())
            throw RenderError(path + QStringLiteral(": ") + file.errorString());
        expected = QuantiseForGif(image, background);
    } else {
        QImageWriter writer(path, suffix.toLatin1());
        // The colour key matches exactly, so every stray shade of the
        // background around a shape shows: the highest quality keeps them few.
        if (suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg"))
            writer.setQuality(100);
        if (!writer.write(image))
            throw RenderError(path + QStringLiteral(": ") + writer.errorString());
    }

    const QImage back = ReadBack(path);
    if (back.size() != image.size())
        throw RenderError(path + QStringLiteral(": reads back at another size"));
    if (suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg")) {
        const QRgb corner = back.pixel(0, back.height() - 1);
        if (MaxChannelDifference(corner, background) > 4)
            throw RenderError(path + QStringLiteral(": the background corner came back changed"));
    } else if (!SamePixels(back.convertToFormat(QImage::Format_RGB32), expected)) {
        throw RenderError(path + QStringLiteral(": reads back different"));
    }
}

void RenderSamples(const QString& manifest, const QString& svgFolder, const QString& outFolder) {
    for (const SampleEntry& entry : ReadManifest(manifest)) {
        const QString where = manifest + QString::asprintf(":%d: ", entry.Line);
        const QImage drawing = RenderSvg(svgFolder + QLatin1Char('/') + entry.Source, entry.Size);
        if (qAlpha(drawing.pixel(0, drawing.height() - 1)) != 0)
            throw RenderError(where + entry.Source +
                              QStringLiteral(" covers the bottom-left pixel, which must show "
                                             "the background (the transparency colour)"));
        const QString path = outFolder + QLatin1Char('/') + entry.File;
        MakeFolder(QFileInfo(path).absolutePath());
        WriteSample(OnBackground(drawing, entry.Background), entry.Background, path);
    }
}

// For looking at the artwork: small images three times enlarged, each on
// the strip colour and on white.
void RenderSheet(const QString& outFile, const QStringList& folders) {
    QStringList files;
    for (const QString& folder : folders) {
        QDirIterator it(folder,
                        {QStringLiteral("*.png"), QStringLiteral("*.bmp"), QStringLiteral("*.gif"),
                         QStringLiteral("*.jpg"), QStringLiteral("*.tif")},
                        QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            files.append(it.next());
    }
    files.sort();
    QList<QImage> images;
    for (const QString& file : files) {
        QImage image = ReadBack(file);
        if (image.width() <= 64 && image.height() <= 64)
            image = image.scaled(image.size() * 3, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        images.append(image);
    }
    const int width = 1200;
    int x = 0, y = 0, rowHeight = 0;
    QList<QPoint> places;
    for (const QImage& image : images) {
        const int cell = image.width() * 2 + 12;
        if (x + cell > width) {
            x = 0;
            y += rowHeight + 8;
            rowHeight = 0;
        }
        places.append(QPoint(x, y));
        x += cell;
        rowHeight = std::max(rowHeight, image.height());
    }
    QImage sheet(width, y + rowHeight + 8, QImage::Format_RGB32);
    sheet.fill(QColor(0xdd, 0xdd, 0xdd));
    QPainter painter(&sheet);
    for (int i = 0; i < images.size(); ++i) {
        const QImage& image = images[i];
        painter.fillRect(QRect(places[i], image.size()), QColor::fromRgb(kStripColour));
        painter.drawImage(places[i], image);
        const QPoint white = places[i] + QPoint(image.width() + 4, 0);
        painter.fillRect(QRect(white, image.size()), Qt::white);
        painter.drawImage(white, image);
    }
    painter.end();
    WritePng(sheet, outFile);
}

int Usage() {
    std::fputs("usage: zorvane_render_art art SVG_FOLDER OUT_FOLDER\n"
               "       zorvane_render_art samples MANIFEST SVG_FOLDER OUT_FOLDER\n"
               "       zorvane_render_art sheet OUT_FILE FOLDER...\n",
               stderr);
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    try {
        if (args.size() == 3 && args[0] == QLatin1String("art"))
            RenderArt(args[1], args[2]);
        else if (args.size() == 4 && args[0] == QLatin1String("samples"))
            RenderSamples(args[1], args[2], args[3]);
        else if (args.size() >= 3 && args[0] == QLatin1String("sheet"))
            RenderSheet(args[1], args.mid(2));
        else
            return Usage();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "zorvane_render_art: %s\n", error.what());
        return 1;
    }
    return 0;
}
