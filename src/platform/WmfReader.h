#pragma once

#include <QByteArray>
#include <QImage>

// Windows metafiles, placeable (with their bounding box and units per inch)
// or plain, played with QPainter onto a transparent picture of the
// metafile's own size: where nothing is drawn, alpha stays 0.
//
// The picture size of a placeable metafile is its bounding box at 96 pixels
// per inch. A plain metafile has no physical size: its first window extent
// is taken as pixels, and without one, the extent of what it draws.

// Plays a metafile into Format_ARGB32. A metafile whose size is zero gives a
// null image. Throws PictureError.
QImage ReadWmf(const QByteArray& data);
