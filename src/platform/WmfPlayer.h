#pragma once

#include "platform/WmfRecords.h"

#include <QPointF>
#include <QRectF>
#include <QSize>
#include <QSizeF>

class QPainter;

// Plays metafile records with QPainter: the device context with its object
// table, pens, brushes, fonts, mapping and clipping, as GDI keeps them.
namespace wmf {

// How logical units reach the picture.
enum class Mapping {
    Window, // the current window fills the picture (placeable, or a window extent)
    Units,  // one unit of the mapping mode each, measured first
};

struct Window {
    QPointF Origin;
    QSizeF Extent;
};

// Plays mf onto painter, whose device is device pixels large, each point
// moved by offset. Without a painter it only measures, and returns the
// extent of what would be drawn, in device pixels.
QRectF Play(const Metafile& mf, Mapping mapping, QSize device, QPointF offset,
            const std::optional<Window>& window, QPainter* painter);

} // namespace wmf
