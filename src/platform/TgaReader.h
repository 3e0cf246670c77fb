#pragma once

#include <QByteArray>
#include <QImage>

// Truevision Targa pictures: colour-mapped (8-bit indices into a map of 15,
// 16, 24 or 32-bit entries), true colour of 15, 16, 24 or 32 bits, and 8-bit
// grey, each uncompressed or run-length encoded. Rows run from the bottom up
// unless the descriptor says top down; columns may run right to left.
//
// The fourth byte of a 32-bit pixel or map entry is alpha, unless it is zero
// throughout the picture: such writers leave it unused. The attribute bit of
// 15 and 16-bit colours is never alpha.

// Reads a TGA file into Format_ARGB32. Throws PictureError.
QImage ReadTga(const QByteArray& data);
