#include "Artwork.h"

#include "ArtworkNames.h"

QPixmap ArtworkPixmap(const QString& name) {
    return QPixmap(QStringLiteral(":/art/") + name + QStringLiteral(".png"));
}

QIcon ApplicationIcon() {
    QIcon icon;
    for (int size : artwork::kIconSizes)
        icon.addPixmap(ArtworkPixmap(QStringLiteral("zorvane-%1").arg(size)));
    return icon;
}

QCursor EyedropperCursor() {
    return QCursor(ArtworkPixmap(QStringLiteral("eyedropper")), artwork::kEyedropperHotX,
                   artwork::kEyedropperHotY);
}
