#pragma once

#include <QImage>
#include <QList>
#include <QRgb>
#include <QString>
#include <QStringList>

#include <optional>

// The 90 x 90 thumbnails of the picture lists.

constexpr int kThumbnailSize = 90;

struct Thumbnail {
    QString Path;
    // Format_ARGB32: the picture stretched over the whole square on white,
    // alpha 0 wherever the square has its bottom-left colour.
    QImage Image;
    QRgb MaskColour = 0; // the bottom-left colour, opaque
};

// AddThumbnail's loading and drawing of one file. Empty when the file cannot
// be loaded as a picture (no reader for its extension, unreadable, damaged,
// a folder) or its thumbnail cannot be drawn.
std::optional<Thumbnail> MakeThumbnail(const QString& path);

// The thumbnails of paths, in the same order, leaving out those that
// MakeThumbnail refuses. Works on up to workers threads (0: one per core).
QList<Thumbnail> MakeThumbnails(const QStringList& paths, int workers = 0);

// Every picture of one series folder (ending in the separator), in the
// folder's own order.
QList<Thumbnail> LoadSeriesThumbnails(const QString& seriesFolder, int workers = 0);
