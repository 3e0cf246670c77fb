#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>

#include <stdexcept>

// The picture object of the program: loads a picture file by the extension
// of its name, never by its content.

// Which alpha the picture arrived with, decided in one place (LoadPicture).
enum class AlphaRule {
    Opaque,                  // every pixel alpha 255
    Bmp32Alpha,              // a 32-bit BMP: its fourth byte is alpha
    TransparentWhereUndrawn, // icons and metafiles: alpha 0 where nothing is drawn
};

struct LoadedPicture {
    QImage Image; // Format_ARGB32 (not premultiplied)
    AlphaRule Alpha = AlphaRule::Opaque;
};

// A picture that cannot be loaded: missing or unreadable file, an extension
// without a reader, damaged content. what() is the user-facing message.
class PictureError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The extensions with a reader, lower case, without dot:
// bmp gif tga tif png jpg jpeg pcx ico wmf.
QStringList PictureExtensions();

// Loads path. decodeSize, when valid, lets readers that can (JPEG) decode at
// about that size instead of the full one. Throws PictureError.
LoadedPicture LoadPicture(const QString& path, const QSize& decodeSize = {});

// The same from bytes already in memory; extension as in a file name, any case.
LoadedPicture LoadPictureData(const QByteArray& data, const QString& extension,
                              const QSize& decodeSize = {});
