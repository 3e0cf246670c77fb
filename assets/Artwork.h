#pragma once

#include <QCursor>
#include <QIcon>
#include <QPixmap>
#include <QString>

// The program's own artwork, rendered from the SVG sources under assets/ at
// build time and compiled in. name is the image's name without extension,
// such as "tb-build" or "tb-build-disabled" (every name is listed in
// ArtworkNames.h). A missing name gives a null pixmap.
QPixmap ArtworkPixmap(const QString& name);

// The application icon at every rendered size, for window icons.
QIcon ApplicationIcon();

// The colour picker's eyedropper, its hot spot at the lower-left tip.
QCursor EyedropperCursor();
