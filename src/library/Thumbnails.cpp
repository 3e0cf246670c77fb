#include "library/Thumbnails.h"

#include "library/SeriesFolders.h"
#include "platform/PictureReader.h"

#include <QFileInfo>
#include <QPainter>

#include <algorithm>
#include <atomic>
#include <exception>
#include <system_error>
#include <thread>
#include <vector>

std::optional<Thumbnail> MakeThumbnail(const QString& path) {
    if (QFileInfo(path).isDir())
        return std::nullopt;
    try {
        // Readers that can decode at a reduced size (JPEG) do so: a photograph
        // then costs a fraction of its full decoding.
        const LoadedPicture picture = LoadPicture(path, QSize(kThumbnailSize, kThumbnailSize));
        if (picture.Image.isNull() || picture.Image.width() <= 0 || picture.Image.height() <= 0)
            return std::nullopt;
        const QImage scaled =
            picture.Image.width() == kThumbnailSize && picture.Image.height() == kThumbnailSize
                ? picture.Image
                : picture.Image.scaled(kThumbnailSize, kThumbnailSize, Qt::IgnoreAspectRatio,
                                       Qt::SmoothTransformation);
        if (scaled.isNull())
            return std::nullopt;
        QImage square(kThumbnailSize, kThumbnailSize, QImage::Format_RGB32);
        if (square.isNull())
            return std::nullopt;
        square.fill(Qt::white);
        {
            QPainter painter(&square);
            painter.drawImage(QRect(0, 0, kThumbnailSize, kThumbnailSize), scaled);
        }
        // The bottom-left pixel carries the picture's transparency colour
        // everywhere in the program.
        Thumbnail thumbnail;
        thumbnail.Path = path;
        thumbnail.MaskColour = square.pixel(0, kThumbnailSize - 1) | 0xff000000u;
        thumbnail.Image = square.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < kThumbnailSize; ++y) {
            auto* line = reinterpret_cast<QRgb*>(thumbnail.Image.scanLine(y));
            for (int x = 0; x < kThumbnailSize; ++x) {
                if (line[x] == thumbnail.MaskColour)
                    line[x] = 0;
            }
        }
        return thumbnail;
    } catch (const std::exception&) {
        // A picture that cannot be shown is left out; nothing is reported.
        return std::nullopt;
    }
}

QList<Thumbnail> MakeThumbnails(const QStringList& paths, int workers) {
    std::vector<std::optional<Thumbnail>> made(static_cast<size_t>(paths.size()));
    std::atomic<qsizetype> next{0};
    auto work = [&] {
        for (qsizetype i = next++; i < paths.size(); i = next++)
            made[static_cast<size_t>(i)] = MakeThumbnail(paths.at(i));
    };
    if (workers <= 0)
        workers = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    workers = static_cast<int>(std::min<qsizetype>(workers, paths.size()));
    {
        // This thread works too; the others join before the results are read.
        std::vector<std::thread> helpers;
        for (int i = 1; i < workers; ++i) {
            try {
                helpers.emplace_back(work);
            } catch (const std::system_error&) {
                break; // fewer helpers, same result
            }
        }
        work();
        for (std::thread& helper : helpers)
            helper.join();
    }
    QList<Thumbnail> thumbnails;
    for (std::optional<Thumbnail>& thumbnail : made) {
        if (thumbnail)
            thumbnails.append(std::move(*thumbnail));
    }
    return thumbnails;
}

QList<Thumbnail> LoadSeriesThumbnails(const QString& seriesFolder, int workers) {
    return MakeThumbnails(SeriesPicturePaths(seriesFolder), workers);
}
