// The builder's picture commands: import, remove, modify, drops and drags.
#include "app/fmMain.h"

void TfrmMain::ActImportPacketPictureExecute() {}

void TfrmMain::ActImportSurprisePictureExecute() {}

void TfrmMain::ActRemovePacketPictureExecute() {}

void TfrmMain::ActRemoveSurprisePictureExecute() {}

void TfrmMain::ActModifyPacketPictureExecute() {}

void TfrmMain::ActModifySurprisePictureExecute() {}

void TfrmMain::LDAPacketPicture(const QString& path) {
    Q_UNUSED(path);
}

void TfrmMain::LDASurprisePicture(const QString& path) {
    Q_UNUSED(path);
}

void TfrmMain::DropFileTargetPacketsDrop(const QStringList& files) {
    Q_UNUSED(files);
}

void TfrmMain::DropFileTargetSurprisesDrop(const QStringList& files) {
    Q_UNUSED(files);
}

bool TfrmMain::lbPacketsDragOver(QObject* source) {
    Q_UNUSED(source);
    return false;
}

bool TfrmMain::lbSurprisesDragOver(QObject* source) {
    Q_UNUSED(source);
    return false;
}

void TfrmMain::lbPacketsDragDrop(QObject* source) {
    Q_UNUSED(source);
}

void TfrmMain::lbSurprisesDragDrop(QObject* source) {
    Q_UNUSED(source);
}

void TfrmMain::lbPacketsDblClick() {}

void TfrmMain::lbSurprisesDblClick() {}
