#include "Artwork.h"

QPixmap ArtworkPixmap(const QString& name) {
    return QPixmap(QStringLiteral(":/art/") + name + QStringLiteral(".png"));
}
