#pragma once

#include "build/SurpriseRecord.h"

#include <QSize>
#include <QString>

#include <cstdint>
#include <stdexcept>

// The picture routines of the build: the checks before a build and the
// conversion to the 24-bit BMP the engine reads. Each loads the file anew,
// and works on the picture drawn over white (areas the picture leaves
// transparent come out white). Loading errors are thrown as PictureError,
// writing errors as FileError.

// A file that cannot be written, copied or replaced; what() is the message.
class FileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// False when the picture is empty or all its pixels have one colour.
bool HasPictureContent(const QString& path);

// The picture's own width and height.
QSize PictureSize(const QString& path);

// True when the picture is at least 100 pixels wide and 80 high.
bool IsPictureLargeEnough(const QString& path);

// Writes the picture as an uncompressed 24-bit BMP at targetPath, replacing
// any file there only once the new one is complete, and returns in colour
// the bottom-left pixel of what was written: the program reads the
// picture's transparency colour from that pixel.
void ConvertPictureToBmp(const QString& sourcePath, const QString& targetPath, BgrTriple& colour);

// A colour value 0x00BBGGRR as the bytes blue, green, red.
void ColourToBgr(std::uint32_t colour, BgrTriple& triple);
