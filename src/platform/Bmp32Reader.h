#pragma once

#include <QByteArray>
#include <QImage>

// BMP files with 32 bits per pixel, which Qt's reader takes as opaque: here
// the fourth byte of every pixel is its alpha.

// True when data is a BMP file whose header says 32 bits per pixel.
bool IsBmp32(const QByteArray& data);

// Reads a 32-bit BMP (BI_RGB, BI_BITFIELDS or BI_ALPHABITFIELDS, bottom-up or
// top-down) into Format_ARGB32. Without an alpha mask of its own the fourth
// byte is alpha. Throws PictureError.
QImage ReadBmp32(const QByteArray& data);
