#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>

#include <stdexcept>

// The picture object of the program: loads a picture file by the extension
// of its name, never by its content.
//
// Alpha on arrival, decided in one place (LoadPictureData) for every reader:
// - bmp with 32 bits per pixel: the fourth byte of each pixel is its alpha
//   (Bmp32Alpha). A file whose fourth bytes are all zero was written by a
//   program that leaves that byte unused; it arrives opaque (Opaque), since
//   taking it as alpha would make the whole picture invisible.
// - ico, gif, wmf: alpha 0 where the picture draws nothing, so those parts
//   stay white on the white working bitmap (TransparentWhereUndrawn).
// - every other picture arrives opaque, alpha 255. Where a PNG, TGA, TIFF or
//   PCX holds partial transparency, it is composed over white first, so the
//   colours are the ones a white working bitmap would show.

enum class AlphaRule {
    Opaque,                  // every pixel alpha 255
    Bmp32Alpha,              // a 32-bit BMP: its fourth byte is alpha
    TransparentWhereUndrawn, // icons, GIF pictures and metafiles
};

struct LoadedPicture {
    // Format_ARGB32 (not premultiplied). Null only for a picture that loads
    // but is empty: a metafile whose size is zero. Every damaged picture
    // throws instead.
    QImage Image;
    AlphaRule Alpha = AlphaRule::Opaque;
};

// A picture that cannot be loaded: missing or unreadable file, an extension
// without a reader, damaged content. what() is the user-facing message.
class PictureError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The largest picture the project's own readers make, so that a few bytes
// of a damaged file can never ask for gigabytes. 64 Mi pixels is 256 MB of
// ARGB, the allocation limit Qt's own readers keep by default.
constexpr int MaxPictureSide = 30000;
constexpr qint64 MaxPicturePixels = qint64(64) * 1024 * 1024;

// Throws PictureError unless width x height is a picture the readers make.
void CheckPictureSize(qint64 width, qint64 height);

// The extensions with a reader, lower case, without dot:
// bmp gif tga tif png jpg jpeg pcx ico wmf.
QStringList PictureExtensions();

// Loads path. decodeSize, when valid, lets readers that can (JPEG) decode at
// about that size instead of the full one. Throws PictureError.
LoadedPicture LoadPicture(const QString& path, const QSize& decodeSize = {});

// The same from bytes already in memory; extension as in a file name, any
// case, with or without its dot.
LoadedPicture LoadPictureData(const QByteArray& data, const QString& extension,
                              const QSize& decodeSize = {});
