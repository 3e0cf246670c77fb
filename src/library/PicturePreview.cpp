#include "library/PicturePreview.h"

#include "platform/PictureReader.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QPixmap>

namespace {

constexpr int kPreviewSide = 160;

void ShowPreview(QLabel* preview, const QString& path) {
    preview->clear();
    if (!QFileInfo(path).isFile())
        return;
    try {
        const QSize side(kPreviewSide, kPreviewSide);
        const LoadedPicture picture = LoadPicture(path);
        if (!picture.Image.isNull())
            preview->setPixmap(QPixmap::fromImage(
                picture.Image.scaled(side, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
    } catch (const PictureError&) {
        // A file that is not a picture simply shows no preview.
    }
}

} // namespace

void AddPicturePreview(QFileDialog& dialog) {
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    auto* grid = qobject_cast<QGridLayout*>(dialog.layout());
    if (!grid)
        return;
    auto* preview = new QLabel(&dialog);
    preview->setObjectName(QStringLiteral("PicturePreview"));
    preview->setFixedSize(kPreviewSide, kPreviewSide);
    preview->setAlignment(Qt::AlignCenter);
    preview->setFrameShape(QFrame::StyledPanel);
    grid->addWidget(preview, 1, grid->columnCount(), 1, 1, Qt::AlignTop);
    QObject::connect(&dialog, &QFileDialog::currentChanged, preview,
                     [preview](const QString& path) { ShowPreview(preview, path); });
}
