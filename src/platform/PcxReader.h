#pragma once

#include <QByteArray>
#include <QImage>

// ZSoft PC Paintbrush pictures: 1, 2 and 4 bits with the header's 16-colour
// palette (one to four bit planes), 8 bits with the 256-colour palette at the
// end of the file, and 24 bits as three colour planes (a fourth plane is
// alpha). Run-length encoded or not.

// Reads a PCX file into Format_ARGB32. Throws PictureError.
QImage ReadPcx(const QByteArray& data);
