#pragma once

#include <QPixmap>
#include <QString>

// The program's own artwork, rendered from the SVG sources under assets/ at
// build time and compiled in. name is the image's name without extension,
// such as "tb-build" or "tb-build-disabled". A missing name gives a null
// pixmap.
QPixmap ArtworkPixmap(const QString& name);
