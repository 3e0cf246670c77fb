#pragma once

#include <QByteArray>
#include <QImage>
#include <QRgb>

// A GIF89a encoder for the sample pictures (Qt reads GIF but does not
// write it). One image, a global colour table, no transparency index: the
// program keys pictures by their bottom-left colour, not by GIF alpha.

// Encodes image (alpha ignored). keep stays an exact palette entry and no
// other colour is mapped onto it, so a picture's background stays the one
// plain colour the transparency works with.
QByteArray EncodeGif(const QImage& image, QRgb keep);

// The colours EncodeGif gives each pixel, for comparing a read-back file.
QImage QuantiseForGif(const QImage& image, QRgb keep);
